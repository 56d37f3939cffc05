#include "platform/fonts/TextLayout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fonts/FixedFontEngine.h"

namespace {

using Lines = std::vector<std::string>;

platform::FontSpec font(double size, bool bold = false)
{
    platform::FontSpec f;
    f.sizePoints = size;
    f.bold = bold;
    return f;
}

class TextLayoutTest : public ::testing::Test {
protected:
    fonts::FixedFontEngine engine;
    fonts::TextLayout small{engine, font(8), 96};        // 6 x 13 cells
    fonts::TextLayout large{engine, font(10), 120};      // 10 x 21 cells
    fonts::TextLayout smallBold{engine, font(8, true), 96};  // 7 x 13 cells
};

TEST_F(TextLayoutTest, SplitsAtEveryKindOfLineBreak)
{
    const struct {
        const char* text;
        std::vector<std::string_view> lines;
    } cases[] = {
        {"", {""}},
        {"one", {"one"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\n", {"a", ""}},
        {"\r\n\r\n", {"", "", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fonts::TextLayout::splitLines(c.text), c.lines) << c.text;
}

TEST_F(TextLayoutTest, AutoSizeIsTheWidestLineByTheLinesHeight)
{
    EXPECT_EQ(small.autoSize("Hello"), (fonts::TextSize{30, 13}));
    EXPECT_EQ(small.autoSize("ab\r\nlonger"), (fonts::TextSize{36, 26}));
    EXPECT_EQ(small.autoSize("Hello\r\n"), (fonts::TextSize{30, 26}));
    EXPECT_EQ(small.autoSize(""), (fonts::TextSize{0, 13}));
    EXPECT_EQ(small.autoSize("    8 KB"), (fonts::TextSize{48, 13}));  // leading blanks count
    EXPECT_EQ(large.autoSize("Hello"), (fonts::TextSize{50, 21}));
    EXPECT_EQ(large.autoSize("a\nbc\nd"), (fonts::TextSize{20, 63}));
    EXPECT_EQ(smallBold.autoSize("Hello"), (fonts::TextSize{35, 13}));
}

TEST_F(TextLayoutTest, WrapsAtBlanksIntoTheLongestLinesThatFit)
{
    const struct {
        const char* text;
        int width;
        Lines lines;
    } cases[] = {
        {"the quick brown fox", 200, {"the quick brown fox"}},
        {"the quick brown fox", 60, {"the quick", "brown fox"}},
        {"the quick brown fox", 54, {"the quick", "brown fox"}},  // exactly the width still fits
        {"the quick brown fox", 53, {"the", "quick", "brown", "fox"}},
        {"one   two", 30, {"one", "two"}},                      // the blanks at a break go
        {"abc      ", 24, {"abc"}},                             // trailing blanks make no empty line
        {"  ab cd", 30, {"  ab", "cd"}},                        // indentation stays with its word
        {"ab\r\n\r\ncd ef", 12, {"ab", "", "cd", "ef"}},        // paragraphs wrap separately
        {"a b", 0, {"a", "b"}},
        {"        ", 12, {""}},
        {"", 30, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(small.wrap(c.text, c.width), c.lines) << '"' << c.text << "\" at " << c.width;

    EXPECT_EQ(large.wrap("aaa bbb ccc", 70), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(small.wrap("aaa bbb", 48), (Lines{"aaa bbb"}));
    EXPECT_EQ(smallBold.wrap("aaa bbb", 48), (Lines{"aaa", "bbb"}));
}

TEST_F(TextLayoutTest, AWordTooLongStaysWholeAndWidensTheLabel)
{
    EXPECT_EQ(small.wrap("a verylongword b", 30), (Lines{"a", "verylongword", "b"}));
    EXPECT_EQ(small.wrappedSize("a verylongword b", 30), (fonts::TextSize{72, 39}));
    EXPECT_EQ(small.wrap("verylongword", 30), (Lines{"verylongword"}));
    EXPECT_EQ(small.wrap("verylongword   ", 30), (Lines{"verylongword"}));
    EXPECT_EQ(large.wrappedSize("http://example.com/a/long/path", 100), (fonts::TextSize{300, 21}));
}

TEST_F(TextLayoutTest, WrappingCountsCellsOfCharacters)
{
    // Six cells of 6 px to a line of 36: "Grüße" is five characters, the CJK words two cells each.
    EXPECT_EQ(small.wrap("Gr\u00fc\u00dfe aus K\u00f6ln", 36),
              (std::vector<std::string>{"Gr\u00fc\u00dfe", "aus", "K\u00f6ln"}));
    EXPECT_EQ(small.wrap("\u65e5\u672c \u8a9e\u3067\u3059", 36),
              (std::vector<std::string>{"\u65e5\u672c", "\u8a9e\u3067\u3059"}));
    EXPECT_EQ(small.autoSize("\u03a3\u03c3\u03c2\r\n\u65e5"), (fonts::TextSize{18, 26}));
}

TEST_F(TextLayoutTest, EastAsianTextBreaksBetweenCharactersButNotBeforeClosingPunctuation)
{
    using Lines = std::vector<std::string>;
    // Three wide characters to a line of 36 px.
    EXPECT_EQ(small.wrap("\u65e5\u672c\u8a9e\u3067\u3059\u3002", 36), (Lines{"\u65e5\u672c\u8a9e", "\u3067\u3059\u3002"}));
    // The full stop stays with the character before it, even when that line is then too wide.
    EXPECT_EQ(small.wrap("\u65e5\u672c\u3002\u8a9e", 18), (Lines{"\u65e5", "\u672c\u3002", "\u8a9e"}));
    // An opening bracket stays with what follows; Latin words still break only at blanks.
    EXPECT_EQ(small.wrap("\u65e5\u300c\u672c\u300d", 24), (Lines{"\u65e5", "\u300c\u672c\u300d"}));
    EXPECT_EQ(small.wrap("Hello \u65e5\u672c", 36), (Lines{"Hello", "\u65e5\u672c"}));
    EXPECT_EQ(small.wrap("Gr\u00fc\u00dfeGr\u00fc\u00dfe", 36), (Lines{"Gr\u00fc\u00dfeGr\u00fc\u00dfe"}));
    EXPECT_EQ(small.wrappedSize("\u65e5\u672c\u8a9e\u65e5\u672c\u8a9e\u65e5\u672c\u8a9e", 40), (fonts::TextSize{40, 39}));
}

TEST_F(TextLayoutTest, WrappedLabelKeepsTheWidthItIsGiven)
{
    EXPECT_EQ(small.wrappedSize("hi", 100), (fonts::TextSize{100, 13}));
    EXPECT_EQ(small.wrappedSize("the quick brown fox", 60), (fonts::TextSize{60, 26}));
    EXPECT_EQ(large.wrappedSize("aaa bbb ccc\r\nd", 70), (fonts::TextSize{70, 63}));
    EXPECT_EQ(small.wrappedSize("", 40), (fonts::TextSize{40, 13}));
    EXPECT_EQ(small.wrappedSize("ab", -5), (fonts::TextSize{12, 13}));
}

TEST(TextLayoutPrefix, AmpersandsMarkTheAccessKey)
{
    const struct {
        const char* caption;
        const char* shown;
        int underline;
    } cases[] = {
        {"&File", "File", 0},
        {"Save && &Close", "Save & Close", 7},
        {"a&&b", "a&b", -1},
        {"end&", "end", -1},
        {"&", "", -1},
        {"&&", "&", -1},
        {"&&&x", "&x", 1},
        {"&a&b", "ab", 1},
        {"x& y", "x y", 1},
        {"no prefix", "no prefix", -1},
        {"", "", -1},
        // The marked character is whole, however many bytes it takes; the index is its first byte.
        {"&\u00c4nderung", "\u00c4nderung", 0},
        {"\u0424\u0430\u0439&\u043b", "\u0424\u0430\u0439\u043b", 6},
        {"&\u65e5\u672c", "\u65e5\u672c", 0},
        {"x&\U0001F600y", "x\U0001F600y", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fonts::TextLayout::processPrefix(c.caption), (fonts::PrefixedText{c.shown, c.underline}))
            << c.caption;
}

} // namespace
