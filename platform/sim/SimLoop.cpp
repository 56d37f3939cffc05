#include "platform/sim/SimLoop.h"

#include <limits>
#include <stdexcept>

namespace platform::sim {

namespace {
// A scenario posts a handful of tasks per command; a million without the queue running dry can
// only be a task that keeps posting itself.
constexpr std::size_t kSettleLimit = 1'000'000;
} // namespace

SimLoop::SimLoop() : wallAtZero_(DateTime::fromCivil({2026, 1, 5, 9, 0, 0})) {}

void SimLoop::post(std::function<void()> task) { tasks_.push_back(std::move(task)); }

void SimLoop::doEvents()
{
    // Only what was pending on entry: work posted meanwhile waits for the next turn, so a handler
    // that calls doEvents() cannot be kept in it forever. The queue is first in, first out, so the
    // pending tasks are exactly those taken before the count reaches `end`; counting takes rather
    // than turns keeps that true when a task's own doEvents() runs some of them first.
    const std::uint64_t end = tasksTaken_ + tasks_.size();
    while (tasksTaken_ < end && !tasks_.empty()) {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        ++tasksTaken_;
        task();
    }
}

TimerId SimLoop::startTimer(std::uint32_t intervalMs, std::function<void()> tick)
{
    if (intervalMs == 0)
        throw std::invalid_argument("timer interval must be positive");
    const TimerId id = nextTimerId_++;
    timers_.emplace(id, TimerRecord{intervalMs, nowMs_ + intervalMs, nextOrder_++, std::move(tick)});
    return id;
}

void SimLoop::stopTimer(TimerId id) { timers_.erase(id); }

DateTime SimLoop::now() const { return wallAtZero_.plusSeconds(nowMs_ / 1000); }

void SimLoop::setWallClock(DateTime moment) { wallAtZero_ = moment.plusSeconds(-(nowMs_ / 1000)); }

void SimLoop::runPending()
{
    std::size_t ran = 0;
    while (!tasks_.empty()) {
        if (++ran > kSettleLimit)
            throw std::logic_error("message loop does not settle: tasks keep posting tasks");
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        ++tasksTaken_;
        task();
    }
}

void SimLoop::advance(std::int64_t ms)
{
    if (ms < 0)
        throw std::invalid_argument("time cannot go backwards");
    if (ms > std::numeric_limits<std::int64_t>::max() - nowMs_)
        throw std::invalid_argument("time cannot go beyond the virtual clock's range");
    const std::int64_t target = nowMs_ + ms;
    for (;;) {
        runPending();
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == timers_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == timers_.end())
            break;
        nowMs_ = next->second.due;
        next->second.due += next->second.interval;
        // The tick may stop or restart any timer, this one included: call a copy.
        auto tick = next->second.tick;
        tick();
    }
    nowMs_ = target;
    runPending();
}

} // namespace platform::sim
