#pragma once
// The user-interface thread's message loop and the wall clock over Win32.
//
// Implements: MessageLoop and Clock. Tasks wait in our own queue; one message posted to a hidden
// message-only window wakes the loop for them, so window messages and tasks take turns. Timers are
// SetTimer timers of that window (Windows raises intervals below 10 ms to 10 ms). doEvents() runs
// the tasks pending on entry, then the window messages waiting, with the simulated loop's
// re-entrancy: a task or handler may call doEvents() again, and work posted meanwhile waits for the
// next turn. Every entry from Windows is guarded (CallbackGuard.h); an exception from a task or a tick
// comes out of the call that pumped it. Beside messages, run() and runFor() wait for kernel objects
// (waitFor: an event, a process), all in one MsgWaitForMultipleObjectsEx, so a program that waits
// for a request from another process needs no timer to look for it.
// Does not: run more than one thread's loop, or wait for objects inside doEvents() or a modal loop
// of Windows' own (a message box, a COM call's wait).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

#include "platform/MessageLoop.h"

namespace platform::win32 {

class Win32Loop final : public MessageLoop, public Clock {
public:
    Win32Loop();
    ~Win32Loop() override;
    Win32Loop(const Win32Loop&) = delete;
    Win32Loop& operator=(const Win32Loop&) = delete;

    // MessageLoop
    void post(std::function<void()> task) override;
    void doEvents() override;
    TimerId startTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    std::int64_t tickCount() const override;

    // Clock: the local time, to the second.
    DateTime now() const override;

    // Runs the loop for `ms` milliseconds of real time: waits for messages and dispatches them,
    // tasks and ticks included. Returns false early when a WM_QUIT arrives (it is kept for run()).
    bool runFor(std::int64_t ms);
    // Runs the loop until quit(); returns the exit code.
    int run();
    void quit(int exitCode);

    bool hasPending() const { return !tasks_.empty(); }
    bool timerActive(TimerId id) const { return timers_.count(id) != 0; }

    // A kernel object the loop waits for beside messages while run() or runFor() waits. `handle` is
    // a HANDLE with SYNCHRONIZE access (an event, a process, a mutex: an abandoned one counts as
    // signalled) that stays open for as long as the wait lasts. `signalled` runs once, on this
    // thread, the first time the loop finds the object signalled, and the wait is then over (a
    // manual-reset event that stays set is not reported again; wait again to go on). It is an entry
    // like a tick: guarded, and an exception from it comes out of the call that pumped it. At most
    // kMaxWaits at a time; a handle Windows refuses to wait for fails the wait, run() or runFor().
    using WaitId = std::uint32_t;
    static constexpr std::size_t kMaxWaits = 63;  // MAXIMUM_WAIT_OBJECTS, less one for the messages
    WaitId waitFor(void* handle, std::function<void()> signalled);
    // Ends a wait; its callback does not run. Unknown and finished ids are ignored.
    void cancelWait(WaitId id);
    bool waiting(WaitId id) const { return waits_.count(id) != 0; }

private:
    friend class LoopWindow;  // the hidden window's procedure and the pump (Win32Loop.cpp)

    void onWake();
    void onTimer(std::uintptr_t id);
    void requestWake();
    void runPendingTasks();
    // Dispatches every message waiting; false on WM_QUIT (its code kept in exitCode_).
    bool pumpMessages();
    // Waits up to `timeoutMs` for a message or a waited-for object; runs the wait's callback when
    // one is signalled.
    void waitForInput(std::uint32_t timeoutMs);

    struct Wait {
        void* handle;
        std::function<void()> signalled;
    };

    void* window_ = nullptr;
    std::deque<std::function<void()>> tasks_;
    std::uint64_t tasksTaken_ = 0;
    bool wakePosted_ = false;
    int exitCode_ = 0;
    std::map<TimerId, std::function<void()>> timers_;
    TimerId nextTimerId_ = 1;
    std::map<WaitId, Wait> waits_;
    WaitId nextWaitId_ = 1;
    std::uint64_t startMs_ = 0;
};

} // namespace platform::win32
