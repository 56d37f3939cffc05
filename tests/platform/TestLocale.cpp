#include "platform/Locale.h"

#include <gtest/gtest.h>

using platform::DateTime;
using platform::Locale;

namespace {

DateTime at(const char* iso) { return *DateTime::parse(iso); }

} // namespace

TEST(Locale, DefaultDateTimeTextPerLocale)
{
    const struct {
        const char* locale;
        const char* moment;
        const char* text;
    } cases[] = {
        {"en-US", "2026-01-05 09:00:00", "1/5/2026 9:00:00 AM"},
        {"en-US", "2026-12-07 12:00:05", "12/7/2026 12:00:05 PM"},
        {"en-US", "2026-12-07 00:00:01", "12/7/2026 12:00:01 AM"},
        {"en-US", "2026-12-07 23:59:59", "12/7/2026 11:59:59 PM"},
        {"en-US", "2026-12-07 00:00:00", "12/7/2026"},
        {"en-US", "0999-03-04 13:05:09", "3/4/0999 1:05:09 PM"},
        {"en-GB", "2026-01-05 09:00:00", "05/01/2026 09:00:00"},
        {"en-GB", "2026-12-07 23:59:59", "07/12/2026 23:59:59"},
        {"en-GB", "2026-12-07 00:00:00", "07/12/2026"},
        {"de-DE", "2026-01-05 09:00:00", "05.01.2026 09:00:00"},
        {"de-DE", "2026-12-07 12:00:05", "07.12.2026 12:00:05"},
        {"de-DE", "2026-12-07 00:00:00", "07.12.2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.moment);
        EXPECT_EQ(Locale::fromName(c.locale).dateTimeText(at(c.moment)), c.text);
    }
}

TEST(Locale, NamesMatchLooselyAndUnknownOnesFallBackToUnitedStates)
{
    EXPECT_EQ(Locale::fromName("DE-de").name(), "de-DE");
    EXPECT_EQ(Locale::fromName("en_GB").name(), "en-GB");
    for (const char* unknown : {"", "fr-FR", "en", "en-USA", "de-DE "}) {
        SCOPED_TRACE(unknown);
        const Locale locale = Locale::fromName(unknown);
        EXPECT_EQ(locale.name(), "en-US");
        EXPECT_EQ(locale.dateTimeText(at("2026-01-05 09:00:00")), "1/5/2026 9:00:00 AM");
    }
}
