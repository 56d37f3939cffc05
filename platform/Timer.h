#pragma once
// A form's Timer control: an interval in milliseconds, an Enabled switch and a Timer event.
// Enabling it (or changing the interval while enabled) starts a fresh period; an interval of 0
// never ticks. Ticks run on the message loop.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/MessageLoop.h"

namespace platform {

class Timer {
public:
    Timer(MessageLoop& loop, std::string name, std::uint32_t intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }

    std::uint32_t Interval() const { return interval_; }
    void setInterval(std::uint32_t intervalMs);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // The Timer event.
    std::function<void()> on_timer;

private:
    void rearm();

    MessageLoop& loop_;
    std::string name_;
    std::uint32_t interval_;
    bool enabled_;
    TimerId id_ = 0;
    bool armed_ = false;
};

} // namespace platform
