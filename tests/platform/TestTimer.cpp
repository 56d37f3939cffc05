#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/EntryGuard.h"
#include "platform/Timer.h"
#include "platform/sim/SimLoop.h"

using platform::Timer;
using platform::sim::SimLoop;

namespace {

using Ticks = std::vector<std::int64_t>;

// A handler that records the virtual millisecond of every tick.
std::function<void()> recordInto(SimLoop& loop, Ticks& ticks)
{
    return [&loop, &ticks] { ticks.push_back(loop.nowMs()); };
}

} // namespace

TEST(Timer, EnablingAndChangingTheIntervalStartAFreshPeriod)
{
    SimLoop loop;
    Ticks ticks;
    Timer timer(loop, "t", 1000, false);
    timer.on_timer = recordInto(loop, ticks);
    loop.advance(5000);     // created disabled: nothing
    timer.setEnabled(true); // at 5000
    loop.advance(1700);     // tick at 6000
    timer.setEnabled(true); // already running: the period is kept
    loop.advance(300);      // tick at 7000
    timer.setEnabled(false);
    timer.setEnabled(true); // at 7000: off and on again restarts
    loop.advance(400);
    timer.setInterval(500); // at 7400: fresh period of the new length
    loop.advance(1100);     // ticks at 7900, 8400
    timer.setInterval(500); // at 8500, unchanged: the period is kept
    loop.advance(400);      // tick at 8900
    EXPECT_EQ(ticks, (Ticks{6000, 7000, 7900, 8400, 8900}));

    timer.setEnabled(false);
    timer.setInterval(200); // while disabled nothing starts
    loop.advance(1000);
    EXPECT_EQ(ticks.size(), 5u);
}

TEST(Timer, StopsWhenDisabledDestroyedOrGivenIntervalZero)
{
    SimLoop loop;
    Ticks ticks;
    {
        Timer timer(loop, "t", 0, true);
        timer.on_timer = recordInto(loop, ticks);
        loop.advance(10'000);   // interval 0 never ticks
        timer.setInterval(250); // enabled all along: a real interval starts it
        loop.advance(500);
        timer.setInterval(0);
        loop.advance(1000);
        EXPECT_TRUE(timer.Enabled()) << "interval 0 does not switch Enabled off";
        timer.setInterval(100);
        loop.advance(100);
        timer.setEnabled(false);
        loop.advance(1000);
        timer.setEnabled(true);
        loop.advance(50);
    }
    loop.advance(1000);
    EXPECT_EQ(ticks, (Ticks{10'250, 10'500, 11'600}));
    EXPECT_EQ(loop.activeTimerCount(), 0u);

    Timer bare(loop, "no handler", 10, true);
    EXPECT_NO_THROW(loop.advance(100));
}

TEST(Timer, HandlerMayReconfigureItsOwnTimer)
{
    SimLoop loop;

    Ticks once; // a start-up delay that runs once
    Timer delay(loop, "tmrLoadDelay", 5000, true);
    delay.on_timer = [&] {
        delay.setEnabled(false);
        once.push_back(loop.nowMs());
    };

    Ticks restarted; // restarted from inside the tick: the next period counts from the tick
    Timer restart(loop, "restart", 300, true);
    restart.on_timer = [&] {
        restarted.push_back(loop.nowMs());
        restart.setEnabled(false);
        restart.setEnabled(true);
    };

    Ticks growing; // doubles its own interval on each tick
    Timer grow(loop, "grow", 100, true);
    grow.on_timer = [&] {
        growing.push_back(loop.nowMs());
        grow.setInterval(grow.Interval() * 2);
    };

    loop.advance(20'000);
    EXPECT_EQ(once, (Ticks{5000}));
    EXPECT_EQ(restarted.size(), 66u);
    EXPECT_EQ(restarted.back(), 19'800);
    EXPECT_EQ(growing, (Ticks{100, 300, 700, 1500, 3100, 6300, 12'700}));
}

TEST(Timer, HandlerMayReplaceItselfOrDestroyItsTimer)
{
    SimLoop loop;
    std::vector<int> seen;

    Timer swapping(loop, "swap", 100, true);
    swapping.on_timer = [&] {
        seen.push_back(1);
        swapping.on_timer = [&] { seen.push_back(2); };
        seen.push_back(1); // the running handler is still alive
    };

    auto owned = std::make_unique<Timer>(loop, "owned", 100, true);
    owned->on_timer = [&] {
        seen.push_back(3);
        owned.reset();
    };

    loop.advance(200);
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 3, 2}));
    EXPECT_EQ(loop.activeTimerCount(), 1u);
}

TEST(Timer, ATickThatFailsEndsThereAndTheTimerTicksOn)
{
    // A tick is an entry point: its failure is reported, never thrown into the loop.
    std::vector<std::string> reported;
    const auto previous = platform::setEntryFailureReporter(
        [&](std::string_view entry, const platform::Failure& failure) {
            reported.push_back(std::string(entry) + ": " + failure.what());
        });
    SimLoop loop;
    Ticks ticks;
    Timer timer(loop, "tmrPoll", 1000, true);
    int count = 0;
    timer.on_timer = [&] {
        ticks.push_back(loop.nowMs());
        if (++count == 2)
            throw platform::Failure("EnumWindows failed");
        ticks.push_back(-1);  // the rest of the tick
    };
    loop.advance(3000);
    EXPECT_EQ(ticks, (Ticks{1000, -1, 2000, 3000, -1}));
    EXPECT_EQ(reported, (std::vector<std::string>{"the tick of tmrPoll: EnumWindows failed"}));

    // A bug is not a seam's failure: it goes on up.
    timer.on_timer = [] { throw std::logic_error("a bug"); };
    EXPECT_THROW(loop.advance(1000), std::logic_error);
    platform::setEntryFailureReporter(previous);
}

TEST(Timer, ATickMayStopAndDestroyItsTimerAndStillFail)
{
    std::vector<std::string> reported;
    const auto previous = platform::setEntryFailureReporter(
        [&](std::string_view entry, const platform::Failure&) { reported.emplace_back(entry); });
    SimLoop loop;
    auto timer = std::make_unique<Timer>(loop, "tmrOnce", 100, true);
    timer->on_timer = [&] {
        timer.reset();
        throw platform::Failure("gone");
    };
    loop.advance(500);
    EXPECT_EQ(timer, nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"the tick of tmrOnce"}));
    platform::setEntryFailureReporter(previous);
}
