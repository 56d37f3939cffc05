#include <gtest/gtest.h>

#include "platform/DateTime.h"

using platform::CivilTime;
using platform::DateTime;

namespace {

bool sameCivil(const CivilTime& a, const CivilTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

} // namespace

TEST(DateTime, KnownMomentsConvertBothWays)
{
    // Seconds from an independent source (POSIX time of the same civil moment in UTC).
    const struct {
        const char* text;
        std::int64_t seconds;
    } cases[] = {
        {"1970-01-01 00:00:00", 0},
        {"1969-12-31 23:59:59", -1},
        {"1601-01-01 00:00:00", -11'644'473'600},
        {"1900-03-01 00:00:00", -2'203'891'200},
        {"2000-02-29 12:34:56", 951'827'696},
        {"2026-01-05 09:00:00", 1'767'603'600},
        {"2100-02-28 23:59:59", 4'107'542'399},
        {"9999-12-31 23:59:59", 253'402'300'799},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = DateTime::parse(c.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->seconds(), c.seconds);
        EXPECT_EQ(DateTime::fromSeconds(c.seconds).toIsoString(), c.text);
        const CivilTime civil = DateTime::fromSeconds(c.seconds).civil();
        EXPECT_EQ(DateTime::fromCivil(civil).seconds(), c.seconds);
    }
}

TEST(DateTime, EveryDayFrom1601To9999FollowsTheGregorianCalendar)
{
    const auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    const auto monthLength = [&](int y, int m) {
        constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return m == 2 && leap(y) ? 29 : kDays[m - 1];
    };
    CivilTime expected{1601, 1, 1, 0, 0, 0};
    std::int64_t seconds = DateTime::fromCivil(expected).seconds();
    int failures = 0;
    while (expected.year <= 9999 && failures < 5) {
        // Noon, so that a wrong floor or truncation of the day would show.
        const DateTime noon = DateTime::fromSeconds(seconds + 12 * 3600);
        CivilTime noonCivil = expected;
        noonCivil.hour = 12;
        if (!sameCivil(noon.civil(), noonCivil) || DateTime::fromCivil(noonCivil) != noon) {
            ADD_FAILURE() << "day " << expected.year << '-' << expected.month << '-' << expected.day << " reads "
                          << noon.toIsoString();
            ++failures;
        }
        seconds += 86'400;
        if (++expected.day > monthLength(expected.year, expected.month)) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
}

TEST(DateTime, ParseAcceptsOnlyRealMomentsInTheExactForm)
{
    for (const char* good :
         {"2024-02-29 00:00:00", "2000-02-29 23:59:59", "2026-04-30 12:00:00", "0001-01-01 00:00:00"})
        EXPECT_TRUE(DateTime::parse(good).has_value()) << good;

    for (const char* bad : {
             "2026-02-30 00:00:00", // no such day
             "2025-02-29 00:00:00", // not a leap year
             "1900-02-29 00:00:00", // century, not a leap year
             "2026-04-31 00:00:00", "2026-13-01 00:00:00", "2026-00-10 00:00:00", "2026-01-00 00:00:00",
             "2026-01-05 24:00:00", "2026-01-05 09:60:00", "2026-01-05 09:00:60", "0000-01-01 00:00:00",
             "2026-1-05 09:00:00", "2026-01-05 9:00:00", "2026-01-05T09:00:00", "2026/01/05 09:00:00",
             " 2026-01-05 09:00:00", "2026-01-05 09:00:00 ", "2026-01-05 09:00", "2026-01-05", "",
             "+026-01-05 09:00:00", "2026-01-05 09:0-1:00", "2026-01-05 09:00:0x"})
        EXPECT_FALSE(DateTime::parse(bad).has_value()) << '"' << bad << '"';

    // An embedded NUL is not a digit, even where the length is right.
    EXPECT_FALSE(DateTime::parse(std::string_view("2026-01-05 09:00:0\0", 19)).has_value());
}

TEST(DateTime, FromCivilCarriesOverflowingFieldsLikeDateSerial)
{
    const struct {
        CivilTime civil;
        const char* expected;
    } cases[] = {
        {{2026, 13, 1, 0, 0, 0}, "2027-01-01 00:00:00"},
        {{2026, 0, 1, 0, 0, 0}, "2025-12-01 00:00:00"},
        {{2026, 3, 0, 0, 0, 0}, "2026-02-28 00:00:00"},
        {{2024, 3, 0, 0, 0, 0}, "2024-02-29 00:00:00"},
        {{2026, 1, 31, 23, 59, 60}, "2026-02-01 00:00:00"},
        {{2026, 1, 5, 0, 0, -1}, "2026-01-04 23:59:59"},
        {{2026, 12, 31, 24, 0, 0}, "2027-01-01 00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateTime::fromCivil(c.civil).toIsoString(), c.expected);
}
