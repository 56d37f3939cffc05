#include "platform/fonts/FixedFontEngine.h"

#include <climits>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace {

using platform::FontSpec;

FontSpec font(double size, bool bold = false)
{
    FontSpec f;
    f.sizePoints = size;
    f.bold = bold;
    return f;
}

TEST(FixedFontEngine, CellsAndLinesFollowSizeAndDpi)
{
    const struct {
        double size;
        int dpi;
        bool bold;
        int cell, height, ascent, descent;
    } cases[] = {
        {8, 96, false, 6, 13, 11, 2},   {8, 96, true, 7, 13, 11, 2},   {10, 120, false, 10, 21, 18, 3},
        {10, 120, true, 11, 21, 18, 3}, {9, 96, false, 7, 15, 13, 2},  {12, 96, false, 9, 20, 17, 3},
        {8, 192, false, 12, 26, 22, 4}, {1, 96, false, 1, 2, 2, 0},
        // 3.2 is not a binary fraction: 3.2 × 3/4 × 120/96 must still give exactly 3, not 4.
        {3.2, 120, false, 3, 7, 6, 1},
    };
    fonts::FixedFontEngine engine;
    for (const auto& c : cases) {
        const auto m = engine.metrics(font(c.size, c.bold), c.dpi);
        EXPECT_EQ(fonts::FixedFontEngine::cellWidth(font(c.size, c.bold), c.dpi), c.cell) << c.size << " pt " << c.dpi;
        EXPECT_EQ(m.height, c.height) << c.size << " pt " << c.dpi;
        EXPECT_EQ(m.ascent, c.ascent) << c.size << " pt " << c.dpi;
        EXPECT_EQ(m.descent, c.descent) << c.size << " pt " << c.dpi;
    }
}

TEST(FixedFontEngine, WidthIsOneCellPerCharacterWhateverTheFace)
{
    fonts::FixedFontEngine engine;
    FontSpec tahoma = font(8);
    tahoma.face = "Tahoma";
    tahoma.italic = true;
    EXPECT_EQ(engine.textWidth(font(8), 96, "Hello"), 30);
    EXPECT_EQ(engine.textWidth(tahoma, 96, "Hello"), 30);
    EXPECT_EQ(engine.textWidth(font(8, true), 96, "Hello"), 35);
    EXPECT_EQ(engine.textWidth(font(10), 120, "Hello"), 50);
    EXPECT_EQ(engine.textWidth(font(8), 96, ""), 0);
    // UTF-8: one cell a character, two for an East Asian wide one; invalid bytes one each.
    EXPECT_EQ(engine.textWidth(font(8), 96, "J\u00fcrgen Gro\u00df"), 11 * 6);
    EXPECT_EQ(engine.textWidth(font(8), 96, "\u0394\u0434\u05d0\u0301"), 4 * 6);
    EXPECT_EQ(engine.textWidth(font(8), 96, "\u65e5\u672c\u8a9e"), 6 * 6);
    EXPECT_EQ(engine.textWidth(font(8), 96, "\U0001F600 \u2713"), 4 * 6);
    EXPECT_EQ(engine.textWidth(font(8), 96, "\x80\xe9 "), 18);  // not UTF-8: U+FFFD U+FFFD and a blank
}

TEST(FixedFontEngine, UnusableSizesGiveEmptyTextNotGarbage)
{
    fonts::FixedFontEngine engine;
    for (double size : {0.0, -8.0, std::nan("")}) {
        const auto m = engine.metrics(font(size), 96);
        EXPECT_EQ(m.height, 0) << size;
        EXPECT_EQ(m.ascent, 0) << size;
        EXPECT_EQ(engine.textWidth(font(size), 96, "abc"), 0) << size;
        const auto mask = engine.render(font(size), 96, "abc");
        EXPECT_EQ(mask.width, 0) << size;
        EXPECT_TRUE(mask.coverage.empty()) << size;
    }
    EXPECT_EQ(engine.textWidth(font(8), -96, "abc"), 0);
    // Widths of huge fonts saturate instead of wrapping round to negative numbers.
    const int huge = engine.textWidth(font(1e12), 96, std::string(100000, 'x'));
    EXPECT_GT(huge, 0);
    EXPECT_LE(huge, INT_MAX);
}

TEST(FixedFontEngine, RenderDrawsABoxPerCharacterOnTheBaseline)
{
    fonts::FixedFontEngine engine;
    const auto mask = engine.render(font(8), 96, "A b");
    ASSERT_EQ(mask.width, 18);
    ASSERT_EQ(mask.height, 13);
    EXPECT_EQ(mask.ascent, 11);
    ASSERT_EQ(mask.coverage.size(), 18u * 13u);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 18; ++x) {
            const int cell = x / 6;
            const int cx = x % 6;
            const bool ink = cell != 1 && cx >= 1 && cx <= 4 && y >= 1 && y <= 10;
            EXPECT_EQ(mask.at(x, y), ink ? 255 : 0) << x << ',' << y;
        }
    }
    const auto bold = engine.render(font(8, true), 96, "A");
    EXPECT_EQ(bold.width, 7);
    EXPECT_EQ(bold.at(5, 5), 255);
    EXPECT_EQ(bold.at(6, 5), 0);
    EXPECT_EQ(engine.render(font(8), 96, "A b").coverage, mask.coverage);
}

TEST(FixedFontEngine, AWideCharacterIsOneBoxOverTwoCells)
{
    fonts::FixedFontEngine engine;
    const auto mask = engine.render(font(8), 96, "\u65e5\u00a0a");  // wide, no-break space, a
    ASSERT_EQ(mask.width, 24);
    for (int x = 0; x < 24; ++x) {
        const bool ink = (x >= 1 && x <= 10) || (x >= 19 && x <= 22);
        EXPECT_EQ(mask.at(x, 5), ink ? 255 : 0) << x;
    }
}

TEST(FixedFontEngine, UnderlineRunsUnderTheWholeTextBelowTheBoxes)
{
    fonts::FixedFontEngine engine;
    FontSpec underlined = font(8);
    underlined.underline = true;
    const auto mask = engine.render(underlined, 96, "a b");
    for (int x = 0; x < mask.width; ++x) {
        EXPECT_EQ(mask.at(x, 12), 255) << x;
        EXPECT_EQ(mask.at(x, 11), 0) << x;
    }
}

} // namespace
