#pragma once
// Seam: the one user-interface thread's message loop, and the wall clock.
//
// Outlook's events, timer ticks and clicks all arrive as tasks on this loop; nothing runs
// concurrently. doEvents() lets pending work run once from inside a handler, re-entrantly, as
// VB's DoEvents does on Windows.

#include <cstdint>
#include <functional>

#include "platform/DateTime.h"

namespace platform {

using TimerId = std::uint32_t;

class MessageLoop {
public:
    virtual ~MessageLoop() = default;

    // Queues a task behind everything already pending.
    virtual void post(std::function<void()> task) = 0;

    // Runs the tasks that were pending when called, in order (the ones they post wait).
    virtual void doEvents() = 0;

    // A periodic timer: `tick` runs every `intervalMs` (> 0) from now on until stopped.
    virtual TimerId startTimer(std::uint32_t intervalMs, std::function<void()> tick) = 0;
    // Stops a timer; a tick already due but not yet run does not run. Unknown ids are ignored.
    virtual void stopTimer(TimerId id) = 0;

    // Milliseconds since the loop began; only differences mean anything.
    virtual std::int64_t tickCount() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The local wall clock, to the second (VB's Now).
    virtual DateTime now() const = 0;
};

} // namespace platform
