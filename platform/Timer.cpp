#include "platform/Timer.h"

#include <memory>
#include <utility>

#include "platform/EntryGuard.h"

namespace platform {

Timer::Timer(MessageLoop& loop, std::string name, std::uint32_t intervalMs, bool enabled)
    : loop_(loop), name_(std::move(name)), interval_(intervalMs), enabled_(enabled)
{
    rearm();
}

Timer::~Timer()
{
    if (armed_)
        loop_.stopTimer(id_);
}

void Timer::setInterval(std::uint32_t intervalMs)
{
    if (interval_ == intervalMs)
        return;
    interval_ = intervalMs;
    rearm();
}

void Timer::setEnabled(bool enabled)
{
    // Enabling a running timer keeps its period: only a change starts a fresh one.
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    rearm();
}

void Timer::rearm()
{
    if (armed_) {
        armed_ = false;
        loop_.stopTimer(id_);
    }
    if (!enabled_ || interval_ == 0)
        return;
    id_ = loop_.startTimer(interval_, [this, entry = std::make_shared<const std::string>("the tick of " + name_)] {
        // The handler may disable, re-arm or reassign this timer, or even destroy its owner (and
        // this closure): run copies and touch nothing of ours afterwards. A tick is an entry
        // point: a failure ends this tick, and the next one comes as usual.
        if (auto handler = on_timer)
            guardEntry(*std::shared_ptr<const std::string>(entry), handler);
    });
    armed_ = true;
}

} // namespace platform
