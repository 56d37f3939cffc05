#pragma once
// The simulated message loop and wall clock, on virtual time.
//
// Nothing moves time but advance(): it fires every timer tick and runs every posted task in order,
// to the millisecond. Timers due at the same millisecond fire in the order they were started.
// The wall clock shows start time + elapsed virtual time, truncated to whole seconds.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>

#include "platform/MessageLoop.h"

namespace platform::sim {

class SimLoop final : public MessageLoop, public Clock {
public:
    // Default wall clock: 2026-01-05 09:00:00.
    SimLoop();

    // MessageLoop
    void post(std::function<void()> task) override;
    void doEvents() override;
    TimerId startTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    std::int64_t tickCount() const override { return nowMs_; }

    // Clock
    DateTime now() const override;

    // Sets the wall clock so that now() reads `moment` at the current virtual time.
    void setWallClock(DateTime moment);

    // Virtual milliseconds since the loop began.
    std::int64_t nowMs() const { return nowMs_; }

    // Runs posted tasks, including those they post, until none is pending at the current time.
    // Throws std::logic_error when the tasks never settle (a task that keeps posting itself).
    void runPending();

    // Moves virtual time forward by `ms`, firing due timers and running posted tasks in order.
    void advance(std::int64_t ms);

    bool hasPending() const { return !tasks_.empty(); }
    bool timerActive(TimerId id) const { return timers_.count(id) != 0; }
    std::size_t activeTimerCount() const { return timers_.size(); }

private:
    struct TimerRecord {
        std::uint32_t interval;
        std::int64_t due;
        std::uint64_t order;
        std::function<void()> tick;
    };

    std::deque<std::function<void()>> tasks_;
    // Tasks taken off the queue so far, by any caller: doEvents() uses it to tell the tasks that were
    // pending on entry from those posted meanwhile, even when a nested doEvents() ran some of them.
    std::uint64_t tasksTaken_ = 0;
    std::map<TimerId, TimerRecord> timers_;
    TimerId nextTimerId_ = 1;
    std::uint64_t nextOrder_ = 1;
    std::int64_t nowMs_ = 0;
    DateTime wallAtZero_;
};

} // namespace platform::sim
