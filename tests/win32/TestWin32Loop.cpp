// The Windows loop's waits for kernel objects beside its messages (QLN.exe waits so for its quit
// request): what signals the object, when the callback runs, and that messages, tasks and timers go
// on around it. Timings are bounds, not measurements: the loop runs in real time on a busy machine.
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Loop.h"

namespace {

using platform::win32::Win32Loop;

// A manual-reset event, closed with the test.
class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE handle() const { return handle_; }
    void set() const { SetEvent(handle_); }

private:
    HANDLE handle_;
};

TEST(Win32LoopWaits, AnEventSetByAnotherThreadEndsRunWhileTimersTasksAndMessagesGoOn)
{
    Win32Loop loop;
    Event quit;
    int ticks = 0;
    std::string log;
    loop.startTimer(20, [&] { ++ticks; });
    loop.startTimer(20000, [&] { loop.quit(-1); });  // a loop that never saw the event
    loop.post([&] { log += "task "; });
    loop.waitFor(quit.handle(), [&] {
        log += "signalled ";
        loop.post([&] { log += "after "; });
        loop.quit(7);
    });
    const auto started = std::chrono::steady_clock::now();
    std::thread requester([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        quit.set();
    });
    const int code = loop.run();
    requester.join();
    const auto waited = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(code, 7);
    // The task posted before the quit runs before WM_QUIT ends the loop.
    EXPECT_EQ(log, "task signalled after ");
    EXPECT_GE(ticks, 3);
    EXPECT_GE(waited, std::chrono::milliseconds(350));
    EXPECT_LT(waited, std::chrono::seconds(20));
}

TEST(Win32LoopWaits, TheCallbackRunsOnceThenTheWaitIsOverUnlessCancelledFirst)
{
    Win32Loop loop;
    Event set;
    set.set();  // manual reset: it stays signalled
    int calls = 0;
    const auto id = loop.waitFor(set.handle(), [&] { ++calls; });
    EXPECT_TRUE(loop.waiting(id));
    loop.doEvents();  // does not wait
    EXPECT_EQ(calls, 0);
    loop.runFor(100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(loop.waiting(id));

    // Waiting again goes on; a cancelled wait never calls.
    int again = 0;
    loop.waitFor(set.handle(), [&] {
        ++again;
        loop.waitFor(set.handle(), [&] { ++again; });  // from its own callback
    });
    loop.runFor(100);
    EXPECT_EQ(again, 2);
    int cancelled = 0;
    const auto gone = loop.waitFor(set.handle(), [&] { ++cancelled; });
    loop.cancelWait(gone);
    loop.cancelWait(gone);  // unknown ids are ignored
    loop.runFor(100);
    EXPECT_EQ(cancelled, 0);
}

TEST(Win32LoopWaits, OnlyTheSignalledObjectsCallbackRunsAndTimeStillPasses)
{
    Win32Loop loop;
    Event first;
    Event second;
    std::string log;
    loop.waitFor(first.handle(), [&] { log += "first "; });
    loop.waitFor(second.handle(), [&] { log += "second "; });
    const std::int64_t start = loop.tickCount();
    loop.runFor(150);
    EXPECT_EQ(log, "");
    EXPECT_GE(loop.tickCount() - start, 150);

    second.set();
    loop.runFor(100);
    EXPECT_EQ(log, "second ");
    first.set();
    loop.runFor(100);
    EXPECT_EQ(log, "second first ");
}

TEST(Win32LoopWaits, AnEndingThreadIsSignalled)
{
    Win32Loop loop;
    // As a process is: signalled when it ends.
    HANDLE thread = CreateThread(
        nullptr, 0, [](void*) -> DWORD { Sleep(100); return 0; }, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    bool ended = false;
    loop.waitFor(thread, [&] { ended = true; });
    for (int i = 0; i < 100 && !ended; ++i)
        loop.runFor(100);
    EXPECT_TRUE(ended);
    CloseHandle(thread);
}

TEST(Win32LoopWaits, AFailingCallbackComesOutOfTheLoopAndTheLoopGoesOn)
{
    Win32Loop loop;
    Event set;
    set.set();
    loop.waitFor(set.handle(), [] { throw std::runtime_error("wait"); });
    EXPECT_THROW(loop.runFor(100), std::runtime_error);

    std::string log;
    loop.post([&] { log += "task "; });
    loop.waitFor(set.handle(), [&] { log += "wait "; });
    loop.runFor(100);
    EXPECT_EQ(log, "task wait ");

    // A handle Windows refuses fails the loop's call; the loop works again once it is gone.
    EXPECT_THROW(loop.waitFor(nullptr, [] {}), std::invalid_argument);
    const auto bad = loop.waitFor(reinterpret_cast<HANDLE>(std::uintptr_t{0x12345678}), [] {});
    EXPECT_ANY_THROW(loop.runFor(50));
    loop.cancelWait(bad);
    loop.post([&] { log += "again "; });
    loop.runFor(50);
    EXPECT_EQ(log, "task wait again ");
}

TEST(Win32LoopWaits, AtMostSixtyThreeWaitsAtOnce)
{
    Win32Loop loop;
    Event never;
    for (std::size_t i = 0; i < Win32Loop::kMaxWaits; ++i)
        loop.waitFor(never.handle(), [] {});
    EXPECT_THROW(loop.waitFor(never.handle(), [] {}), std::length_error);
    bool ticked = false;
    loop.startTimer(10, [&] { ticked = true; });
    loop.runFor(200);
    EXPECT_TRUE(ticked);
}

} // namespace
