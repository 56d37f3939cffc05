// The one conversion between the system's UTF-8 and the wide calls.

#include <gtest/gtest.h>

#include "platform/win32/Wide.h"

namespace {

using platform::win32::toUtf8;
using platform::win32::toWide;

TEST(Wide, RoundTripsEveryPlaneAndKeepsNuls)
{
    const std::string text = std::string("Zoë – 日本 🙂 ") + std::string("a\0b", 3);
    const std::wstring wide = toWide(text);
    EXPECT_EQ(wide, std::wstring(L"Zo\u00EB \u2013 \u65E5\u672C \xD83D\xDE42 a\0b", 15));
    EXPECT_EQ(toUtf8(wide), text);
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toUtf8(L""), "");
}

TEST(Wide, IllFormedTextBecomesReplacementCharacters)
{
    EXPECT_EQ(toWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(toWide("cut \xE6\x97"), L"cut \uFFFD");
    EXPECT_EQ(toUtf8(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy");  // an unpaired surrogate
}

} // namespace
