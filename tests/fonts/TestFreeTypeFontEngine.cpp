#include "platform/fonts/FreeTypeFontEngine.h"

#include <numeric>
#include <string>

#include <gtest/gtest.h>

namespace {

using platform::FontSpec;

FontSpec font(const char* face = "MS Sans Serif", double size = 8, bool bold = false)
{
    FontSpec f;
    f.face = face;
    f.sizePoints = size;
    f.bold = bold;
    return f;
}

int ink(const platform::CoverageMask& mask)
{
    return std::accumulate(mask.coverage.begin(), mask.coverage.end(), 0);
}

class FreeTypeFontEngineTest : public ::testing::Test {
protected:
    fonts::FreeTypeFontEngine engine;
};

TEST_F(FreeTypeFontEngineTest, WindowsFacesResolveToPlausibleLines)
{
    for (const char* face : {"MS Sans Serif", "Tahoma", "Arial", "No Such Face At All"}) {
        EXPECT_FALSE(engine.matchedFile(font(face)).empty()) << face;
        const auto m = engine.metrics(font(face), 96);
        EXPECT_GE(m.height, 11) << face;
        EXPECT_LE(m.height, 18) << face;
        EXPECT_EQ(m.ascent + m.descent, m.height) << face;
        EXPECT_GT(m.ascent, m.descent) << face;
        EXPECT_GT(m.descent, 0) << face;
    }
    // The em is in whole pixels, so 8 pt at 192 dpi is 16 pt at 96 dpi.
    EXPECT_EQ(engine.metrics(font("Arial", 8), 192).height, engine.metrics(font("Arial", 16), 96).height);
    EXPECT_GT(engine.metrics(font("Arial", 16), 96).height, engine.metrics(font("Arial", 8), 96).height);
}

TEST_F(FreeTypeFontEngineTest, WidthsGrowWithTheTextAndWithBold)
{
    const std::string text = "The quick brown fox jumps over the lazy dog, 0123456789.";
    int previous = 0;
    for (std::size_t n = 1; n <= text.size(); ++n) {
        const int width = engine.textWidth(font(), 96, std::string_view(text).substr(0, n));
        EXPECT_GE(width, previous) << n;
        previous = width;
    }
    EXPECT_GT(previous, 150);
    EXPECT_LT(previous, 450);
    EXPECT_EQ(engine.textWidth(font(), 96, ""), 0);
    EXPECT_GT(engine.textWidth(font(), 96, "W"), engine.textWidth(font(), 96, "i"));
    for (const char* face : {"MS Sans Serif", "Arial"})
        EXPECT_GE(engine.textWidth(font(face, 8, true), 96, text), engine.textWidth(font(face), 96, text)) << face;
    // No kerning: a text is as wide as its pieces.
    EXPECT_EQ(engine.textWidth(font(), 96, "AVAV"), 2 * engine.textWidth(font(), 96, "AV"));
}

TEST_F(FreeTypeFontEngineTest, MaskHasTheMeasuredSizeAndInk)
{
    for (const FontSpec& f : {font(), font("Arial", 10, true), font("Tahoma", 12)}) {
        const auto m = engine.metrics(f, 96);
        const auto mask = engine.render(f, 96, "Hello, World!");
        EXPECT_EQ(mask.width, engine.textWidth(f, 96, "Hello, World!")) << f.face;
        EXPECT_EQ(mask.height, m.height) << f.face;
        EXPECT_EQ(mask.ascent, m.ascent) << f.face;
        EXPECT_EQ(mask.coverage.size(), static_cast<std::size_t>(mask.width * mask.height)) << f.face;
        EXPECT_GT(ink(mask), 0) << f.face;
        // Antialiased: some coverage between none and full.
        bool partial = false;
        for (auto c : mask.coverage)
            partial = partial || (c > 0 && c < 255);
        EXPECT_TRUE(partial) << f.face;
    }
    const auto blanks = engine.render(font(), 96, "   ");
    EXPECT_GT(blanks.width, 0);
    EXPECT_EQ(ink(blanks), 0);

    // An "H" stands on the baseline: ink above it, none in the descent.
    const auto h = engine.render(font("Arial", 12), 96, "H");
    int above = 0, below = 0;
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x)
            (y < h.ascent ? above : below) += h.at(x, y);
    EXPECT_GT(above, 0);
    EXPECT_EQ(below, 0);
}

TEST_F(FreeTypeFontEngineTest, UnderlineAndBytesThatAreNotUtf8)
{
    FontSpec underlined = font();
    underlined.underline = true;
    const auto plain = engine.render(font(), 96, "a b");
    const auto lined = engine.render(underlined, 96, "a b");
    ASSERT_EQ(lined.width, plain.width);
    EXPECT_GT(ink(lined), ink(plain));

    // Text is UTF-8: the euro sign is one glyph; a byte that is not UTF-8 is drawn as U+FFFD.
    const auto euro = engine.render(font(), 96, "\u20ac");
    EXPECT_GT(ink(euro), 0);
    EXPECT_EQ(engine.render(font(), 96, "\x80").coverage, engine.render(font(), 96, "\uFFFD").coverage);
    EXPECT_EQ(engine.textWidth(font(), 96, "\xe9\xfc"), engine.textWidth(font(), 96, "\uFFFD\uFFFD"));
}

TEST_F(FreeTypeFontEngineTest, EveryScriptShowsInkAndMissingCharactersFallBack)
{
    const char* texts[] = {
        "J\u00fcrgen Gro\u00df",                      // Latin with diacritics
        "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1",  // Greek
        "\u041f\u0440\u0438\u0432\u0435\u0442",            // Cyrillic
        "\u65e5\u672c\u8a9e",                             // CJK
        "\U0001F600\U0001F389",                           // emoji
        "\u2713",                                         // a check mark
        "\u05e9\u05dc\u05d5\u05dd",                        // Hebrew
        "\u0633\u0644\u0627\u0645",                        // Arabic
        "\u0928\u092e\u0938\u094d\u0924\u0947",              // Devanagari
    };
    for (const char* text : texts) {
        const auto mask = engine.render(font(), 96, text);
        EXPECT_EQ(mask.width, engine.textWidth(font(), 96, text)) << text;
        EXPECT_GT(mask.width, 0) << text;
        EXPECT_GT(ink(mask), 0) << text;
        // The missing-glyph box is not ink enough: no character draws as the first one does.
        EXPECT_NE(mask.coverage, engine.render(font(), 96, "\U0010FFFD").coverage) << text;
    }
    // CJK and a party popper come from other faces than the matched one, at the same line height.
    const std::string matched = engine.matchedFile(font());
    EXPECT_EQ(engine.fileFor(font(), 96, U'a'), matched);
    for (char32_t c : {char32_t{0x65E5}, char32_t{0x1F389}}) {
        const std::string file = engine.fileFor(font(), 96, c);
        EXPECT_FALSE(file.empty()) << static_cast<std::uint32_t>(c);
        EXPECT_NE(file, matched) << static_cast<std::uint32_t>(c);
    }
    EXPECT_EQ(engine.fileFor(font(), 96, 0x10FFFD), "");  // a private-use character nobody has
    EXPECT_EQ(engine.render(font(), 96, "\u65e5").height, engine.metrics(font(), 96).height);
    // A bold request falls back to a bold or emboldened face: wider strokes.
    EXPECT_GT(ink(engine.render(font("MS Sans Serif", 8, true), 96, "\u65e5")), ink(engine.render(font(), 96, "\u65e5")));
}

TEST_F(FreeTypeFontEngineTest, OddTextsMeasureAsTheyDraw)
{
    // Only combining marks, only emoji, joiners and variation selectors, a mark after a wide
    // character, right-to-left text around digits and brackets, a long line: widths and masks agree.
    std::string longLine;
    for (int i = 0; i < 2000; ++i)
        longLine += "\u65e5a\u05d0";
    const std::string texts[] = {
        "\u0301\u0301\u0301", "\U0001F600\U0001F389\U0001F44D", "\U0001F468\u200D\U0001F469\uFE0F",
        "\u65e5\u0301", "\u05d0(1)\u05d1 [2] \u0627\u0661\u0662", "\xF0\x9F\x98", longLine,
    };
    for (const std::string& text : texts) {
        for (bool bold : {false, true}) {
            const auto mask = engine.render(font("Tahoma", 9, bold), 96, text);
            EXPECT_EQ(mask.width, engine.textWidth(font("Tahoma", 9, bold), 96, text)) << text;
            EXPECT_EQ(mask.coverage.size(), static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height));
        }
    }
}

TEST_F(FreeTypeFontEngineTest, ComplexScriptsAreShapedAndRightToLeftRunsReversed)
{
    // Devanagari: consonant, virama, consonant form one conjunct, narrower than its pieces.
    const int conjunct = engine.textWidth(font("Arial", 12), 96, "\u0915\u094d\u0937");
    EXPECT_LT(conjunct, engine.textWidth(font("Arial", 12), 96, "\u0915") + engine.textWidth(font("Arial", 12), 96, "\u0937"));

    // Arabic letters join: the word is not the same picture as its letters side by side.
    const auto word = engine.render(font("Arial", 12), 96, "\u0633\u0644\u0627\u0645");
    EXPECT_GT(word.width, 0);

    // Hebrew on a left-to-right line: the first letter written stands at the right.
    const FontSpec f = font("Arial", 14);
    const auto both = engine.render(f, 96, "\u05d0\u05d1");
    const auto alef = engine.render(f, 96, "\u05d0");
    const auto bet = engine.render(f, 96, "\u05d1");
    ASSERT_EQ(both.width, alef.width + bet.width);
    int sameAsBetFirst = 0;
    int sameAsAlefFirst = 0;
    for (int y = 0; y < both.height; ++y) {
        for (int x = 0; x < bet.width; ++x)
            sameAsBetFirst += both.at(x, y) == bet.at(x, y);
        for (int x = 0; x < alef.width; ++x)
            sameAsAlefFirst += both.at(x, y) == alef.at(x, y);
    }
    EXPECT_GT(sameAsBetFirst, sameAsAlefFirst);
    EXPECT_EQ(sameAsBetFirst, bet.width * both.height);
}

TEST_F(FreeTypeFontEngineTest, RenderingIsDeterministic)
{
    const auto first = engine.render(font("Arial", 9, true), 96, "Re: Quarterly report");
    // After other sizes and faces went through the caches, and from a second engine.
    engine.render(font("Tahoma", 14), 120, "something else");
    const auto again = engine.render(font("Arial", 9, true), 96, "Re: Quarterly report");
    fonts::FreeTypeFontEngine other;
    const auto fresh = other.render(font("Arial", 9, true), 96, "Re: Quarterly report");
    EXPECT_EQ(again.coverage, first.coverage);
    EXPECT_EQ(fresh.coverage, first.coverage);
    EXPECT_EQ(fresh.width, first.width);
}

TEST_F(FreeTypeFontEngineTest, ManySizesDoNotBreakTheCache)
{
    // More sizes than the cache keeps: it starts over and answers the same.
    const int before = engine.textWidth(font(), 96, "Hello");
    for (int size = 6; size < 60; ++size)
        EXPECT_GT(engine.textWidth(font("Arial", size), 96, "Hello"), 0) << size;
    EXPECT_EQ(engine.textWidth(font(), 96, "Hello"), before);
    // Unusable sizes still give a line, never a crash.
    EXPECT_GT(engine.metrics(font("Arial", 0), 96).height, 0);
    EXPECT_GT(engine.metrics(font("Arial", -3), 96).height, 0);
    EXPECT_GT(engine.metrics(font("Arial", 1e9), 96).height, 0);
}

} // namespace
