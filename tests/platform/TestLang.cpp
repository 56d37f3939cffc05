#include "platform/Lang.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace {

TEST(Lang, RoundHalfEvenSendsTiesToTheEvenNeighbour)
{
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},     {3.5, 4},       {-0.5, 0},      {-1.5, -2},        {-2.5, -2},
        {4.9, 5},   {4.2, 4},   {199.6, 200}, {200.4, 200},   {-0.49, 0},     {0.5000001, 1},    {100.0, 100},
        {2147483647.4, 2147483647},           {-2147483648.5, -2147483648}, {-2147483647.5, -2147483648},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lang::roundHalfEven(c.in), c.out) << c.in;
}

TEST(Lang, RoundHalfEvenOverflowAndNonNumbersFail)
{
    for (double bad : {2147483647.5, 2147483648.0, -2147483648.6, -2147483649.0, 1e300,
                       std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(lang::roundHalfEven(bad), platform::Failure) << bad;
}

TEST(Lang, NumericTextAcceptsPlainDecimalForms)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"90", 90},       {" 90 ", 90},      {"\t4\t", 4},   {"+5", 5},         {"-5", -5},    {"4.9", 4.9},
        {".5", 0.5},      {"5.", 5},         {"1e2", 100},   {"2.5E-3", 0.0025}, {"-1.5e+1", -15}, {"0", 0},
        {"007", 7},       {"199.6", 199.6},
    };
    for (const auto& c : cases) {
        const auto v = lang::parseNumeric(c.text);
        ASSERT_TRUE(v.has_value()) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(*v, c.value) << '"' << c.text << '"';
    }
}

TEST(Lang, NumericTextRefusesEverythingElse)
{
    for (const char* text : {"", " ", "abc", "+", "-", ".", "e5", "1e", "1e+", "0x50", "1,000", "1 000", "$5", "5%",
                             "inf", "nan", "Infinity", "--5", "+-5", "1.2.3", "5a", "1e400", "(5)", "- 5", "1d2"})
        EXPECT_FALSE(lang::isNumeric(text)) << '"' << text << '"';
    // A NUL inside is not a blank: the text is not numeric.
    EXPECT_FALSE(lang::isNumeric(std::string_view("5\0", 2)));
}

TEST(Lang, SplitKeepsEmptyPieces)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(lang::split("", '|'), V{""});
    EXPECT_EQ(lang::split("a", '|'), V{"a"});
    EXPECT_EQ(lang::split("a|b|", '|'), (V{"a", "b", ""}));
    EXPECT_EQ(lang::split("||", '|'), (V{"", "", ""}));
    EXPECT_EQ(lang::split("|a", '|'), (V{"", "a"}));
}

TEST(Lang, CaseRulesAreAsciiOnly)
{
    EXPECT_TRUE(lang::containsNoCase("Bob@Example.COM", "example.com"));
    EXPECT_TRUE(lang::containsNoCase("bob@example.com", "@EXAMPLE"));
    EXPECT_TRUE(lang::containsNoCase("abc", ""));
    EXPECT_TRUE(lang::containsNoCase("", ""));
    EXPECT_FALSE(lang::containsNoCase("ab", "abc"));
    EXPECT_FALSE(lang::containsNoCase("a.b", "a,b"));
    // Bytes outside ASCII are compared as they are (0xC4 and 0xE4 are not folded).
    EXPECT_FALSE(lang::containsNoCase("\xC4", "\xE4"));
    EXPECT_EQ(lang::lowerAscii("MiXeD@Ex.ORG"), "mixed@ex.org");
    EXPECT_TRUE(lang::equalsNoCase("Normal", "NORMAL"));
    EXPECT_FALSE(lang::equalsNoCase("Normal", "Norma"));
}

TEST(Lang, TrimBlanksRemovesSpacesOnly)
{
    EXPECT_EQ(lang::trimBlanks("  a b  "), "a b");
    EXPECT_EQ(lang::trimBlanks("   "), "");
    EXPECT_EQ(lang::trimBlanks("\ta\t"), "\ta\t");
}

TEST(Lang, SixteenBitIndexArithmetic)
{
    EXPECT_EQ(lang::wrap16(32767 + 1), -32768);
    EXPECT_EQ(lang::wrap16(-32769), 32767);
    EXPECT_EQ(lang::ringIndex(-1, 100), 99);
    EXPECT_EQ(lang::ringIndex(100, 100), 0);
    EXPECT_EQ(lang::ringIndex(-200, 100), 0);
}

} // namespace
