#pragma once
// A wall-clock moment of one-second resolution, and the calendar arithmetic the system needs.
// Counted in whole seconds since 1970-01-01 00:00:00 in local time (no time zones: the notifier
// only ever compares and shows local moments).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct CivilTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
};

class DateTime {
public:
    constexpr DateTime() = default;
    static constexpr DateTime fromSeconds(std::int64_t seconds) { return DateTime(seconds); }
    static DateTime fromCivil(const CivilTime& civil);
    // "YYYY-MM-DD HH:MM:SS"; nullopt when the text is not such a valid moment.
    static std::optional<DateTime> parse(std::string_view text);

    constexpr std::int64_t seconds() const { return seconds_; }
    CivilTime civil() const;
    // "YYYY-MM-DD HH:MM:SS"
    std::string toIsoString() const;

    constexpr DateTime plusSeconds(std::int64_t s) const { return DateTime(seconds_ + s); }
    friend constexpr std::int64_t secondsBetween(DateTime from, DateTime to) { return to.seconds_ - from.seconds_; }
    friend constexpr auto operator<=>(DateTime, DateTime) = default;

private:
    constexpr explicit DateTime(std::int64_t seconds) : seconds_(seconds) {}
    std::int64_t seconds_ = 0;
};

} // namespace platform
