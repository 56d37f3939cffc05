#include "platform/DateTime.h"

#include <cstdio>

namespace platform {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

// Floor division: moments before 1970 must fall on the previous day, not round towards it.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - floorDiv(a, b) * b; }

constexpr bool isLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr int daysInMonth(std::int64_t year, int month)
{
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 in the proleptic Gregorian calendar. The year is counted from March so
// that the leap day falls at the end of each 400-year era's year (Hinnant's algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;                            // [0, 399]
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + dayOfEra - 719'468;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

constexpr CivilDate civilFromDays(std::int64_t days)
{
    days += 719'468;
    const std::int64_t era = floorDiv(days, 146'097);
    const std::int64_t dayOfEra = days - era * 146'097;                        // [0, 146096]
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;               // 0 = March
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(daysFromCivil(2000, 3, 1) == 11'017);
static_assert(civilFromDays(-1).year == 1969 && civilFromDays(-1).month == 12 && civilFromDays(-1).day == 31);

// Reads exactly `width` decimal digits; no sign, no blanks.
bool readDigits(std::string_view text, std::size_t pos, std::size_t width, int& out)
{
    int value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

} // namespace

DateTime DateTime::fromCivil(const CivilTime& civil)
{
    // Out-of-range fields carry over like VB's DateSerial/TimeSerial (month 13 is January of the
    // next year, second 60 the next minute), so arithmetic on fields never lands on a bogus date.
    const std::int64_t monthIndex = static_cast<std::int64_t>(civil.year) * 12 + (civil.month - 1);
    const std::int64_t year = floorDiv(monthIndex, 12);
    const int month = static_cast<int>(floorMod(monthIndex, 12)) + 1;
    const std::int64_t days = daysFromCivil(year, month, 1) + (civil.day - 1);
    const std::int64_t seconds = days * kSecondsPerDay + static_cast<std::int64_t>(civil.hour) * 3600 +
                                 static_cast<std::int64_t>(civil.minute) * 60 + civil.second;
    return DateTime(seconds);
}

std::optional<DateTime> DateTime::parse(std::string_view text)
{
    // "YYYY-MM-DD HH:MM:SS", nothing more or less.
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    CivilTime c;
    if (!readDigits(text, 0, 4, c.year) || !readDigits(text, 5, 2, c.month) || !readDigits(text, 8, 2, c.day) ||
        !readDigits(text, 11, 2, c.hour) || !readDigits(text, 14, 2, c.minute) || !readDigits(text, 17, 2, c.second))
        return std::nullopt;
    if (c.year < 1 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > daysInMonth(c.year, c.month) ||
        c.hour > 23 || c.minute > 59 || c.second > 59)
        return std::nullopt;
    return fromCivil(c);
}

CivilTime DateTime::civil() const
{
    const std::int64_t days = floorDiv(seconds_, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds_ - days * kSecondsPerDay;
    const CivilDate date = civilFromDays(days);
    CivilTime c;
    c.year = static_cast<int>(date.year);
    c.month = date.month;
    c.day = date.day;
    c.hour = static_cast<int>(secondOfDay / 3600);
    c.minute = static_cast<int>(secondOfDay / 60 % 60);
    c.second = static_cast<int>(secondOfDay % 60);
    return c;
}

std::string DateTime::toIsoString() const
{
    const CivilTime c = civil();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return buffer;
}

} // namespace platform
