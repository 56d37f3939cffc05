#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/Failure.h"
#include "platform/sim/Faults.h"
#include "platform/sim/SimLoop.h"

using platform::DateTime;
using platform::sim::Faults;
using platform::sim::SimLoop;

namespace {

std::string stamp(SimLoop& loop, const std::string& what) { return what + "@" + std::to_string(loop.nowMs()) + " "; }

} // namespace

TEST(SimLoop, TimersDueTogetherFireInTheOrderTheyWereStarted)
{
    SimLoop loop;
    std::string log;
    auto a = loop.startTimer(300, [&] { log += stamp(loop, "A"); });
    loop.startTimer(100, [&] { log += stamp(loop, "B"); });
    loop.startTimer(150, [&] { log += stamp(loop, "C"); });
    loop.advance(300);
    EXPECT_EQ(log, "B@100 C@150 B@200 A@300 B@300 C@300 ");

    // A restarted timer counts as started last.
    log.clear();
    loop.stopTimer(a);
    loop.startTimer(300, [&] { log += stamp(loop, "A"); });
    loop.advance(300);
    EXPECT_EQ(log, "B@400 C@450 B@500 B@600 C@600 A@600 ");
}

TEST(SimLoop, PostedTasksRunBeforeTheNextTimer)
{
    SimLoop loop;
    std::string log;
    loop.startTimer(100, [&] {
        log += stamp(loop, "first");
        loop.post([&] { log += stamp(loop, "posted-by-first"); });
    });
    loop.startTimer(100, [&] { log += stamp(loop, "second"); });
    loop.post([&] {
        log += stamp(loop, "task");
        // A timer started by a task counts its period from when the task ran.
        loop.startTimer(100, [&] { log += stamp(loop, "late"); });
    });
    loop.advance(0);
    EXPECT_EQ(log, "task@0 ");
    loop.advance(100);
    EXPECT_EQ(log, "task@0 first@100 posted-by-first@100 second@100 late@100 ");
    EXPECT_FALSE(loop.hasPending());
    EXPECT_EQ(loop.tickCount(), 100);
}

TEST(SimLoop, StoppedTimerDoesNotRunEvenWhenAlreadyDue)
{
    SimLoop loop;
    int bTicks = 0;
    platform::TimerId b = 0;
    auto a = loop.startTimer(100, [&] { loop.stopTimer(b); });
    b = loop.startTimer(100, [&] { ++bTicks; });
    loop.advance(1000);
    EXPECT_EQ(bTicks, 0);
    EXPECT_FALSE(loop.timerActive(b));
    EXPECT_TRUE(loop.timerActive(a));

    EXPECT_NO_THROW(loop.stopTimer(b));
    EXPECT_NO_THROW(loop.stopTimer(9999));
    EXPECT_THROW(loop.startTimer(0, [] {}), std::invalid_argument);
    EXPECT_THROW(loop.advance(-1), std::invalid_argument);
}

TEST(SimLoop, DoEventsRunsOnlyWhatWasPendingEvenReentrantly)
{
    SimLoop loop;
    std::string log;
    loop.post([&] {
        log += "A{ ";
        loop.doEvents(); // runs B and C, not what they post
        log += "}A ";
    });
    loop.post([&] {
        log += "B ";
        loop.post([&] { log += "D "; });
    });
    loop.post([&] {
        log += "C{ ";
        loop.doEvents(); // D was posted before this call, so it runs here
        log += "}C ";
    });
    loop.doEvents();
    EXPECT_EQ(log, "A{ B C{ D }C }A ");

    // The outer turn must not go on to work posted after it began, even when the nested turn has
    // already run everything the outer one had to.
    log.clear();
    loop.post([&] {
        log += "X{ ";
        loop.doEvents();
        log += "}X ";
        loop.post([&] { log += "Z "; });
    });
    loop.post([&] {
        log += "Y ";
        loop.post([&] { log += "W "; });
    });
    loop.doEvents();
    EXPECT_EQ(log, "X{ Y }X ");
    EXPECT_TRUE(loop.hasPending());
    loop.doEvents();
    EXPECT_EQ(log, "X{ Y }X W Z ");
}

TEST(SimLoop, RunPendingSettlesChainsAndRefusesEndlessOnes)
{
    SimLoop loop;
    int depth = 0;
    std::function<void()> chain = [&] {
        if (++depth < 50)
            loop.post(chain);
    };
    loop.post(chain);
    loop.runPending();
    EXPECT_EQ(depth, 50);
    EXPECT_FALSE(loop.hasPending());
    EXPECT_EQ(loop.nowMs(), 0) << "running tasks takes no virtual time";

    std::function<void()> forever = [&] { loop.post(forever); };
    loop.post(forever);
    EXPECT_THROW(loop.runPending(), std::logic_error);
}

TEST(SimLoop, AdvanceRefusesToRunBackwardsOrPastTheClocksRange)
{
    SimLoop loop;
    loop.advance(1000);
    EXPECT_THROW(loop.advance(-1), std::invalid_argument);
    EXPECT_THROW(loop.advance(std::numeric_limits<std::int64_t>::max()), std::invalid_argument);
    EXPECT_EQ(loop.nowMs(), 1000);
}

TEST(SimLoop, WallClockFollowsVirtualTimeInWholeSeconds)
{
    SimLoop loop;
    EXPECT_EQ(loop.now().toIsoString(), "2026-01-05 09:00:00");
    loop.advance(999);
    EXPECT_EQ(loop.now().toIsoString(), "2026-01-05 09:00:00");
    loop.advance(1);
    EXPECT_EQ(loop.now().toIsoString(), "2026-01-05 09:00:01");

    const DateTime midnight = *DateTime::parse("2026-12-31 23:59:59");
    loop.setWallClock(midnight);
    EXPECT_EQ(loop.now(), midnight);
    loop.advance(999);
    EXPECT_EQ(loop.now(), midnight);
    loop.advance(1);
    EXPECT_EQ(loop.now().toIsoString(), "2027-01-01 00:00:00");
    loop.advance(3'600'000);
    EXPECT_EQ(loop.now().toIsoString(), "2027-01-01 01:00:00");

    // Setting it mid-second: it reads the moment at once, and goes on in step with the loop's
    // seconds.
    loop.advance(400);
    loop.setWallClock(midnight);
    EXPECT_EQ(loop.now(), midnight);
    loop.advance(600);
    EXPECT_EQ(loop.now(), midnight.plusSeconds(1));
}

TEST(Faults, CountedAndPermanentFailures)
{
    Faults faults;
    EXPECT_NO_THROW(faults.check("Items.Find"));
    EXPECT_FALSE(faults.armed("Items.Find"));

    faults.fail("Items.Find", 2);
    EXPECT_TRUE(faults.armed("Items.Find"));
    EXPECT_NO_THROW(faults.check("items.find")) << "names are case-sensitive";
    EXPECT_NO_THROW(faults.check("Items.Restrict"));
    EXPECT_THROW(faults.check("Items.Find"), platform::Failure);
    EXPECT_THROW(faults.check("Items.Find"), platform::Failure);
    EXPECT_NO_THROW(faults.check("Items.Find"));
    EXPECT_FALSE(faults.armed("Items.Find"));

    faults.fail("Display");
    for (int i = 0; i < 5; ++i)
        EXPECT_THROW(faults.check("Display"), platform::Failure);
    faults.clear("Display");
    EXPECT_NO_THROW(faults.check("Display"));

    // A new count replaces the old one; zero disarms.
    faults.fail("Delete", 5);
    faults.fail("Delete", 1);
    EXPECT_THROW(faults.check("Delete"), platform::Failure);
    EXPECT_NO_THROW(faults.check("Delete"));
    faults.fail("Delete");
    faults.fail("Delete", 0);
    EXPECT_NO_THROW(faults.check("Delete"));
    faults.fail("B", 3);
    faults.clearAll();
    EXPECT_FALSE(faults.armed("B"));

    // The failure names the operation, so a test log shows what was refused.
    faults.fail("Reply", 1);
    try {
        faults.check("Reply");
        ADD_FAILURE() << "no failure";
    } catch (const platform::Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("Reply"), std::string::npos);
    }
}
