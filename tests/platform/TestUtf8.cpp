#include <gtest/gtest.h>

#include <string>

#include "platform/UnicodeTables.h"
#include "platform/Utf8.h"

namespace {

// U+FFFD as UTF-8.
const std::string R = "\xEF\xBF\xBD";

TEST(Utf8, DecodesEveryLength)
{
    const std::string text = "a\u00e9\u65e5\U0001F600";
    EXPECT_TRUE(utf8::isValid(text));
    EXPECT_EQ(utf8::count(text), 4u);
    std::size_t at = 0;
    const char32_t expected[] = {U'a', 0xE9, 0x65E5, 0x1F600};
    for (char32_t cp : expected) {
        const utf8::Decoded d = utf8::decode(text, at);
        EXPECT_TRUE(d.valid);
        EXPECT_EQ(d.codePoint, cp);
        at += d.length;
    }
    EXPECT_EQ(at, text.size());
}

TEST(Utf8, InvalidSequencesBecomeOneReplacementEach)
{
    struct Case {
        std::string bytes;
        std::string sanitized;
        std::size_t characters;
    };
    const Case cases[] = {
        {"\xFF", R, 1},                                // never in UTF-8
        {"a\xC3", "a" + R, 2},                         // truncated two-byte sequence at the end
        {"\xE6\x97x", R + "x", 2},                     // truncated three-byte sequence before ASCII
        {"\xC0\xAF", R + R, 2},                        // overlong '/': C0 is never a lead byte
        {"\xE0\x80\xAF", R + R + R, 3},                // overlong three-byte form
        {"\xED\xA0\x80", R + R + R, 3},                // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R, 4},        // beyond U+10FFFF
        {"\x80\x80", R + R, 2},                        // continuation bytes alone
        {"\xF0\x9F\x98", R, 1},                        // three bytes of a four-byte emoji
        {"ok\xF0\x9F\x98\x80ok", "ok\U0001F600ok", 5}, // valid stays as it is
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8::sanitize(c.bytes), c.sanitized) << testing::PrintToString(c.bytes);
        EXPECT_EQ(utf8::count(c.bytes), c.characters) << testing::PrintToString(c.bytes);
        EXPECT_EQ(utf8::count(c.sanitized), c.characters);
        EXPECT_TRUE(utf8::isValid(c.sanitized));
        std::string inPlace = c.bytes;
        utf8::sanitizeInPlace(inPlace);
        EXPECT_EQ(inPlace, c.sanitized);
    }
}

TEST(Utf8, CutsAndWalksOnCharacterBoundaries)
{
    const std::string text = "\u65e5\u672c\u8a9e!";  // 3 + 3 + 3 + 1 bytes
    EXPECT_EQ(utf8::prefixBytes(text, 0), 0u);
    EXPECT_EQ(utf8::prefixBytes(text, 2), 6u);
    EXPECT_EQ(utf8::prefixBytes(text, 4), 10u);
    EXPECT_EQ(utf8::prefixBytes(text, 99), 10u);
    EXPECT_EQ(utf8::next(text, 0), 3u);
    EXPECT_EQ(utf8::next(text, 9), 10u);
    EXPECT_EQ(utf8::next(text, 10), 10u);
    EXPECT_EQ(utf8::previous(text, 10), 9u);
    EXPECT_EQ(utf8::previous(text, 9), 6u);
    EXPECT_EQ(utf8::previous(text, 3), 0u);
    EXPECT_EQ(utf8::previous(text, 0), 0u);
    // Stray continuation bytes are stepped over one at a time.
    EXPECT_EQ(utf8::previous("a\x80\x80", 3), 2u);
}

TEST(Utf8, Windows1252AndByteOrderMark)
{
    EXPECT_EQ(utf8::fromWindows1252("J\xFCrgen Gro\xDF \x80 \x93q\x94 \x81"),
              "J\u00fcrgen Gro\u00df \u20ac \u201cq\u201d \u0081");
    EXPECT_EQ(utf8::fromWindows1252("plain"), "plain");
    EXPECT_EQ(utf8::withoutBom("\xEF\xBB\xBFx|"), "x|");
    EXPECT_EQ(utf8::withoutBom("x|"), "x|");
    std::string out;
    utf8::append(out, 0xD800);
    utf8::append(out, 0x110000);
    utf8::append(out, 0x10FFFF);
    EXPECT_EQ(out, R + R + "\U0010FFFF");
}

TEST(UnicodeTables, EastAsianWideCharactersTakeTwoCells)
{
    EXPECT_EQ(unicode::cells(U'a'), 1);
    EXPECT_EQ(unicode::cells(0x00E9), 1);
    EXPECT_EQ(unicode::cells(0x0301), 1);   // a combining mark still takes its own cell
    EXPECT_EQ(unicode::cells(0x03A3), 1);
    EXPECT_EQ(unicode::cells(0x65E5), 2);   // 日
    EXPECT_EQ(unicode::cells(0x3042), 2);   // あ
    EXPECT_EQ(unicode::cells(0xAC00), 2);   // 가
    EXPECT_EQ(unicode::cells(0xFF21), 2);   // full-width A
    EXPECT_EQ(unicode::cells(0xFF71), 1);   // half-width katakana
    EXPECT_EQ(unicode::cells(0x1F600), 2);  // 😀
    EXPECT_EQ(unicode::cells(0x2713), 1);   // ✓
}

} // namespace
