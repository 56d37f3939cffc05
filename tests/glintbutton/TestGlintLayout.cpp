#include <gtest/gtest.h>

#include "GlintTestWorld.h"

// The fixed font engine: 8 pt at 96 dpi is 6 x 13 pixel cells; each character's block covers
// columns 1..4 and rows 1..10 of its cell.

namespace {

using namespace glint;
using draw::Rgb;
using glinttest::face;
using glinttest::World;

struct Row {
    std::string text;
    int top;
    int left;
};

std::vector<Row> rows(const GlintButton& b)
{
    std::vector<Row> out;
    for (const CaptionLine& line : b.CaptionLines())
        out.push_back({line.text, line.top, line.left});
    return out;
}

void expectRows(const GlintButton& b, const std::vector<Row>& expected, const std::string& what)
{
    const std::vector<Row> actual = rows(b);
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << what << " row " << i;
        EXPECT_EQ(actual[i].top, expected[i].top) << what << " row " << i;
        EXPECT_EQ(actual[i].left, expected[i].left) << what << " row " << i;
    }
}

TEST(GlintLayout, RowsAreAlignedByTheButtonsArithmetic)
{
    World w;
    auto& b = w.button(0, 0, 50, 33);
    b.setCaption("Save all");  // 48 pixels: wider than 50 - 8, so two rows

    // Two rows centred in 33 pixels with 13-pixel lines: A = 25, row 0 at round(12.5 - 13 + 3),
    // which ties to even 2. One left for the block: round(25 - 24/2) - 1 = 12, under "Save".
    expectRows(b, {{"Save", 2, 12}, {"all", 15, 12}}, "centre, middle");
    b.setCaptionAlignVert(AlignTop);
    expectRows(b, {{"Save", 4, 12}, {"all", 17, 12}}, "top");
    b.setCaptionAlignVert(AlignBottom);
    expectRows(b, {{"Save", 2, 12}, {"all", 15, 12}}, "bottom");  // 33 - 13 - 5 = 15 for the last
    b.setCaptionAlignHorz(AlignRight);
    expectRows(b, {{"Save", 2, 22}, {"all", 15, 28}}, "bottom, right");
    b.setCaptionAlignHorz(AlignLeft);
    expectRows(b, {{"Save", 2, 4}, {"all", 15, 4}}, "bottom, left");

    // Odd counts centre on the middle row with truncating halves: 1 row in 23 pixels at
    // 15 \ 2 - 13 \ 2 + 3 = 4; three rows in 50 pixels put the middle one at 21 - 6 + 3 = 18,
    // and the block's left is under its widest row.
    auto& one = w.button(0, 0, 75, 23, "btnOne");
    one.setCaption("Go");
    expectRows(one, {{"Go", 4, 31}}, "one row");  // round(37.5) = 38; round(37.5 - 6) - 1 = 31
    auto& three = w.button(0, 0, 40, 50, "btnThree");
    three.setCaption("Reply to all");
    expectRows(three, {{"Reply", 5, 4}, {"to", 18, 4}, {"all", 31, 4}}, "three rows");
}

TEST(GlintLayout, WideWordsAreCutAndNarrowButtonsGetOneCharacterARow)
{
    World w;
    auto& b = w.button(0, 0, 40, 60);
    b.setCaptionAlignHorz(AlignLeft);
    b.setCaptionAlignVert(AlignTop);
    b.setCaption("Reply Forwarding");  // 40 - 8 = 32 pixels: five characters a row
    std::vector<std::string> texts;
    for (const Row& r : rows(b))
        texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Reply", "Forwa", "rding"}));

    b.setWidth(8 * 15);
    texts.clear();
    for (const Row& r : rows(b))
        texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"R", "e", "p", "l", "y", "F", "o", "r", "w", "a", "r", "d", "i",
                                               "n", "g", ""}));

    // Pieces of a cut word are whole characters: "Grüße" cut to rows of 32 pixels, and wide CJK
    // characters two cells each.
    b.setWidth(40 * 15);
    b.setCaption("Gr\u00fc\u00dfeGr\u00fc\u00dfe \u65e5\u672c\u8a9e\u3067\u3059");
    texts.clear();
    for (const Row& r : rows(b))
        texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Gr\u00fc\u00dfe", "Gr\u00fc\u00dfe", "\u65e5\u672c",
                                               "\u8a9e\u3067", "\u3059"}));

    // Runs of spaces are kept inside a row; "&" is measured as it stands.
    b.setWidth(100 * 15);
    b.setCaption("a  b &&c");
    EXPECT_EQ(b.CaptionLines().size(), 1u);
    EXPECT_EQ(b.CaptionLines()[0].text, "a  b &&c");
}

TEST(GlintLayout, ResizeRelaysTheCaptionThenRaisesResize)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setCaption("Save all");
    ASSERT_EQ(b.CaptionLines().size(), 1u);
    std::size_t rowsAtResize = 0;
    b.Resize = [&] { rowsAtResize = b.CaptionLines().size(); };
    b.setWidth(50 * 15);
    EXPECT_EQ(rowsAtResize, 2u);
}

TEST(GlintCaption, ColourShiftAndLookFollowTheState)
{
    World w;
    auto& b = w.button(10, 10, 75, 23);
    // Laid out as "&Go", 18 pixels wide: left round(37.5 - 9) - 1 = 27, top 4. Shown as "Go":
    // the G's block from (28, 5).
    b.setCaption("&Go");
    b.setHighlightColor(0xFF);  // red
    const Rgb red{255, 0, 0};
    EXPECT_EQ(b.point(28, 5), draw::black);
    EXPECT_EQ(b.point(27, 5), face);
    EXPECT_EQ(b.point(27, 16), draw::black);  // the access key's underline, under the whole cell

    b.mouseMove(0, 0, 10, 10);
    b.mouseMove(0, 0, 10, 10);
    EXPECT_EQ(b.point(28, 5), red);
    // Pressed while hovering: highlighted, and one pixel right and down.
    b.mouseDown(1, 0, 10, 10);
    EXPECT_EQ(b.point(28, 5), face);
    EXPECT_EQ(b.point(29, 6), red);
    // The pointer gone: pressed, but in the plain colour.
    w.environment->setCursorPos({0, 0});
    w.loop.advance(55);
    ASSERT_EQ(b.LastHoverEvent(), "MouseExit");
    b.mouseDown(1, 0, 10, 10);
    EXPECT_EQ(b.point(29, 6), draw::black);
    b.mouseUp(1, 0, 10, 10);

    // The XP look does not shift pressed text.
    b.setAppearance(btXP);
    b.mouseDown(1, 0, 10, 10);
    EXPECT_EQ(b.point(28, 5), draw::black);
    b.mouseUp(1, 0, 10, 10);

    b.setAppearance(bt3D);
    b.setCaptionOffsetX(3);
    b.setCaptionOffsetY(2);
    EXPECT_EQ(b.point(31, 7), draw::black);
    EXPECT_EQ(b.point(28, 5), face);
}

TEST(GlintCaption, DisabledTextIsEmbossedOrPaleInTheXPLook)
{
    World w;
    auto& b = w.button(10, 10, 75, 60);
    b.setCaption("Go");
    b.setCaptionAlignHorz(AlignLeft);
    b.setCaptionAlignVert(AlignBottom);  // at (4, 42): the row's top lies below its left edge
    b.setEnabled(false);
    EXPECT_EQ(b.point(5, 43), (Rgb{128, 128, 128}));
    EXPECT_EQ(b.point(9, 53), draw::white);  // the highlight, one pixel right and down

    b.setAppearance(btXP);
    const Rgb pale{160, 160, 160};  // black blended 160/255 of the way to white
    EXPECT_EQ(b.image().countPixels(pale, draw::Rect::ofSize(4, 42, 12, 13)), 2 * 4 * 10);
    EXPECT_EQ(b.image().countPixels(pale), 2 * 4 * 10);
    EXPECT_NE(b.point(9, 53), draw::white);
}

} // namespace
