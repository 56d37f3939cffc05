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

TEST_F(FreeTypeFontEngineTest, UnderlineAndHighAnsiBytes)
{
    FontSpec underlined = font();
    underlined.underline = true;
    const auto plain = engine.render(font(), 96, "a b");
    const auto lined = engine.render(underlined, 96, "a b");
    ASSERT_EQ(lined.width, plain.width);
    EXPECT_GT(ink(lined), ink(plain));

    // 0x80 is the euro sign in Windows-1252, a real glyph; 0x81 is undefined there.
    const auto euro = engine.render(font(), 96, "\x80");
    EXPECT_GT(ink(euro), 0);
    EXPECT_NE(euro.coverage, engine.render(font(), 96, "\x81").coverage);
    EXPECT_GT(engine.textWidth(font(), 96, "\xe9\xfc"), 0);
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
