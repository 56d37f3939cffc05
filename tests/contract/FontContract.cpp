// What the popup's and the page's layout rely on in a font engine: fixed metrics, FreeType and GDI
// alike. Exact sizes differ between engines; these relations hold for all of them.

#include <string>

#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

platform::FontSpec font(const char* face, double size, bool bold = false)
{
    platform::FontSpec spec;
    spec.face = face;
    spec.sizePoints = size;
    spec.bold = bold;
    return spec;
}

int ink(const platform::CoverageMask& mask, int fromRow, int toRow)
{
    int sum = 0;
    for (int y = fromRow; y < toRow && y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            sum += mask.at(x, y);
    return sum;
}

TEST_P(FontContract, ALineIsItsAscentAndDescent)
{
    for (const char* face : {"Tahoma", "Arial", "MS Sans Serif"}) {
        for (double size : {8.0, 10.0, 12.0}) {
            const auto m = engine().metrics(font(face, size), 96);
            EXPECT_EQ(m.height, m.ascent + m.descent) << face << " " << size;
            EXPECT_GT(m.ascent, m.descent) << face << " " << size;
            EXPECT_GT(m.descent, 0) << face << " " << size;
        }
    }
}

TEST_P(FontContract, LargerSizesAndDpiGiveLargerText)
{
    const auto small = engine().metrics(font("Tahoma", 8), 96);
    const auto large = engine().metrics(font("Tahoma", 12), 96);
    const auto sharp = engine().metrics(font("Tahoma", 8), 144);
    EXPECT_GT(large.height, small.height);
    // At 144 dpi the same point size is half as large again, laid out crisp rather than stretched.
    EXPECT_GE(sharp.height * 10, small.height * 13);
    EXPECT_LE(sharp.height * 10, small.height * 17);
    const int width96 = engine().textWidth(font("Tahoma", 8), 96, "Inbox: 3 new messages");
    const int width144 = engine().textWidth(font("Tahoma", 8), 144, "Inbox: 3 new messages");
    EXPECT_GE(width144 * 10, width96 * 13);
    EXPECT_LE(width144 * 10, width96 * 17);
}

TEST_P(FontContract, WidthsAddUpAndBoldIsNoNarrower)
{
    const auto f = font("Arial", 8);
    EXPECT_EQ(engine().textWidth(f, 96, ""), 0);
    const int from = engine().textWidth(f, 96, "From: ");
    const int name = engine().textWidth(f, 96, "Zoe Miller");
    const int both = engine().textWidth(f, 96, "From: Zoe Miller");
    EXPECT_GT(from, 0);
    EXPECT_NEAR(both, from + name, 1);
    EXPECT_GE(engine().textWidth(font("Arial", 8, true), 96, "Zoe Miller"), name);
}

TEST_P(FontContract, RenderingFillsTheMeasuredBox)
{
    const auto f = font("Tahoma", 10);
    const auto m = engine().metrics(f, 96);
    const auto mask = engine().render(f, 96, "Hello");
    EXPECT_EQ(mask.width, engine().textWidth(f, 96, "Hello"));
    EXPECT_EQ(mask.height, m.height);
    EXPECT_EQ(mask.ascent, m.ascent);
    ASSERT_EQ(mask.coverage.size(), static_cast<std::size_t>(mask.width * mask.height));
    EXPECT_GT(ink(mask, 0, mask.ascent), 0);  // letters stand above the baseline

    const auto blank = engine().render(f, 96, "   ");
    EXPECT_GT(blank.width, 0);
    EXPECT_EQ(ink(blank, 0, blank.height), 0);

    const auto empty = engine().render(f, 96, "");
    EXPECT_EQ(empty.width, 0);
    EXPECT_TRUE(empty.coverage.empty());
}

TEST_P(FontContract, UnderlineInksBelowTheBaseline)
{
    auto plain = font("Arial", 10);
    auto underlined = plain;
    underlined.underline = true;
    const auto a = engine().render(plain, 96, "aaaa");
    const auto b = engine().render(underlined, 96, "aaaa");
    ASSERT_EQ(a.height, b.height);
    EXPECT_GT(ink(b, b.ascent, b.height), ink(a, a.ascent, a.height));
}

} // namespace
} // namespace contract
