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

TEST(Lang, CaseIsIgnoredInEveryScriptWithCase)
{
    EXPECT_TRUE(lang::containsNoCase("Bob@Example.COM", "example.com"));
    EXPECT_TRUE(lang::containsNoCase("bob@example.com", "@EXAMPLE"));
    EXPECT_TRUE(lang::containsNoCase("abc", ""));
    EXPECT_TRUE(lang::containsNoCase("", ""));
    EXPECT_FALSE(lang::containsNoCase("ab", "abc"));
    EXPECT_FALSE(lang::containsNoCase("a.b", "a,b"));
    EXPECT_EQ(lang::lowerAscii("MiXeD@Ex.ORG"), "mixed@ex.org");
    EXPECT_TRUE(lang::equalsNoCase("Normal", "NORMAL"));
    EXPECT_FALSE(lang::equalsNoCase("Normal", "Norma"));

    // Latin with diacritics, Greek with both small sigmas, Cyrillic.
    EXPECT_TRUE(lang::containsNoCase("J\u00dcRGEN@K\u00d6LN.DE", "j\u00fcrgen@k\u00f6ln"));
    EXPECT_TRUE(lang::equalsNoCase("\u039f\u0394\u03a5\u03a3\u03a3\u0395\u03a5\u03a3", "\u03bf\u03b4\u03c5\u03c3\u03c3\u03b5\u03c5\u03c2"));
    EXPECT_TRUE(lang::containsNoCase("\u0434\u043c\u0438\u0442\u0440\u0438\u0439@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444", "\u0414\u041c\u0418\u0422\u0420\u0418\u0419"));
    EXPECT_FALSE(lang::containsNoCase("\u0434\u043c\u0438\u0442\u0440\u0438\u0439", "\u0414\u041c\u0418\u0422\u0420\u0418\u0419\u0419"));
    // Dotted and dotless i, capital or small, all meet the Latin i.
    EXPECT_TRUE(lang::containsNoCase("\u0130stanbul", "istanbul"));
    EXPECT_TRUE(lang::containsNoCase("ISTANBUL", "\u0131stanbul"));
    EXPECT_TRUE(lang::equalsNoCase("D\u0130YARBAKIR", "diyarbak\u0131r"));
    // A precomposed and a decomposed \u00c4 are one letter.
    EXPECT_TRUE(lang::equalsNoCase("\u00c4rger", "a\u0308RGER"));
    // ASCII needle in a non-ASCII haystack and the other way round.
    EXPECT_TRUE(lang::containsNoCase("\u00fcber@M\u00dcNCHEN.de", "@m\u00fcnchen.DE"));
    EXPECT_TRUE(lang::containsNoCase("gro\u00df@example.de", "GRO\u00df@"));
    EXPECT_FALSE(lang::containsNoCase("ascii@example.com", "\u00e9"));
    // Case folding finds nothing that is not there, nor matches across letters.
    EXPECT_FALSE(lang::equalsNoCase("\u00e4", "a"));
    EXPECT_FALSE(lang::containsNoCase("\u0434", "\u0434\u0434"));
}

TEST(Lang, InvalidBytesCompareAsReplacementCharacters)
{
    // Bytes of another code page are not letters: 0xC4 and 0xE4 are both U+FFFD, never Ä and ä,
    // and what stands around them still counts.
    EXPECT_FALSE(lang::containsNoCase("\xC4x", "\xC3\xA4x"));
    EXPECT_FALSE(lang::containsNoCase("\xC4x", "\xE4y"));
    EXPECT_TRUE(lang::containsNoCase("a\xFF" "b", "A\xFE"));  // both sides U+FFFD
    EXPECT_EQ(lang::foldCase("\xC3\x84\xFF"), "\u00e4\ufffd");
    std::string folded = lang::foldCase("M\u00dcLLER@X.DE");
    EXPECT_TRUE(lang::containsFolded(folded, "m\u00fcller"));
    EXPECT_TRUE(lang::containsFolded(folded, "@x.de"));
    EXPECT_FALSE(lang::containsFolded(folded, "mueller"));
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
