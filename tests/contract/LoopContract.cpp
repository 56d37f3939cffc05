// What the notifier relies on in its message loop and clock, in either world. Timings are bounds,
// not measurements: the Windows loop runs in real time on a busy machine.

#include <stdexcept>
#include <string>

#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

TEST_P(LoopContract, PostedTasksRunInOrderOnlyWhenTheLoopRuns)
{
    std::string log;
    loop().post([&] { log += "a "; });
    loop().post([&] {
        log += "b ";
        loop().post([&] { log += "d "; });  // behind everything already pending
    });
    loop().post([&] { log += "c "; });
    EXPECT_EQ(log, "");
    runFor(50);
    EXPECT_EQ(log, "a b c d ");
}

TEST_P(LoopContract, DoEventsRunsWhatWasPendingAndPostedWorkWaits)
{
    std::string log;
    loop().post([&] {
        log += "a< ";
        loop().doEvents();
        log += ">a ";
    });
    loop().post([&] {
        log += "b ";
        loop().post([&] { log += "y "; });
    });
    loop().post([&] { log += "c "; });
    runFor(50);
    EXPECT_EQ(log, "a< b c >a y ");
}

TEST_P(LoopContract, NestedDoEventsRunsEachTaskOnce)
{
    std::string log;
    loop().post([&] {
        log += "a< ";
        loop().doEvents();
        log += ">a ";
    });
    loop().post([&] {
        log += "b< ";
        loop().doEvents();
        log += ">b ";
    });
    loop().post([&] { log += "c "; });
    runFor(50);
    EXPECT_EQ(log, "a< b< c >b >a ");
}

TEST_P(LoopContract, TimersTickUntilStopped)
{
    int ticks = 0;
    const platform::TimerId timer = loop().startTimer(20, [&] { ++ticks; });
    runFor(400);
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, 20);

    loop().stopTimer(timer);
    const int stoppedAt = ticks;
    runFor(100);
    EXPECT_EQ(ticks, stoppedAt);
    loop().stopTimer(timer);   // again: ignored
    loop().stopTimer(987654);  // never started: ignored
    EXPECT_THROW(loop().startTimer(0, [] {}), std::invalid_argument);
}

TEST_P(LoopContract, ATickMayStopItsOwnTimerAndStartAnother)
{
    int first = 0, second = 0;
    platform::TimerId timer = 0;
    timer = loop().startTimer(20, [&] {
        ++first;
        loop().stopTimer(timer);
        loop().startTimer(20, [&] { ++second; });
    });
    runFor(300);
    EXPECT_EQ(first, 1);
    EXPECT_GE(second, 2);
}

TEST_P(LoopContract, AFailingTaskOrTickComesOutOfTheLoopAndTheLoopGoesOn)
{
    std::string log;
    loop().post([] { throw std::runtime_error("task"); });
    loop().post([&] { log += "after "; });
    EXPECT_THROW(runFor(50), std::runtime_error);
    runFor(50);
    EXPECT_EQ(log, "after ");

    platform::TimerId timer = 0;
    timer = loop().startTimer(20, [&] {
        loop().stopTimer(timer);
        throw std::logic_error("tick");
    });
    EXPECT_THROW(runFor(300), std::logic_error);
    loop().post([&] { log += "again "; });
    runFor(50);
    EXPECT_EQ(log, "after again ");
}

TEST_P(LoopContract, TheTickCountAndTheClockMoveWithTime)
{
    const std::int64_t start = loop().tickCount();
    const platform::DateTime wall = clock().now();
    runFor(1100);
    EXPECT_GE(loop().tickCount() - start, 1100);
    const auto seconds = secondsBetween(wall, clock().now());
    EXPECT_GE(seconds, 1);
    EXPECT_LE(seconds, 30);
}

} // namespace
} // namespace contract
