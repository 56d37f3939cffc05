#include <gtest/gtest.h>

#include "FlairTestWorld.h"

namespace {

using namespace flair;
using flairtest::face;
using flairtest::highlight;
using flairtest::shadow;
using flairtest::World;

constexpr draw::Rgb xpOver{182, 189, 210};
constexpr draw::Rgb xpDown{133, 146, 181};
constexpr draw::Rgb xpPressed{212, 213, 216};
constexpr draw::Rgb xpFrame{10, 36, 106};
constexpr draw::Rgb black{0, 0, 0};

// A button without picture or caption, so that only the painters' pixels are on it.
FlairButton& bare(World& w, int width, int height, ButtonStyleEnum style)
{
    FlairButton& b = w.button(0, 0, width, height);
    b.setImage(0);
    b.setImageOver(0);
    b.setImageDisabled(0);
    b.setStyle(style);
    return b;
}

draw::Rgb at(const FlairButton& b, int x, int y) { return *b.image().pixel(x, y); }

TEST(FlairPaint, SeparatorDrawsTheSameTwoLinesInEveryState)
{
    World w;
    FlairButton& b = bare(w, 100, 6, enmButtonStyleSeperator);
    ASSERT_EQ(b.scaleWidth(), 2);
    const draw::Surface normal = b.image();
    EXPECT_EQ(normal.sketch(normal.bounds(), face), "##\n##\n##\n##\n##\n..\n");
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(at(b, 0, y), shadow);
        EXPECT_EQ(at(b, 1, y), highlight);
    }
    for (std::int32_t state : {enmButtonStateOver, enmButtonStateDown, enmButtonStatePressed, enmButtonStateNormal}) {
        b.setState(state);
        EXPECT_EQ(b.image(), normal) << state;
    }
}

TEST(FlairPaint, FlatEdgesAreRaisedOverAndSunkenDown)
{
    World w;
    FlairButton& b = bare(w, 8, 5, enmButtonStyleFlat);
    EXPECT_EQ(b.image().countPixels(face), 40);  // Normal: nothing but the background

    b.setState(enmButtonStateOver);
    const std::string raised = b.image().sketch(b.image().bounds(), face);
    EXPECT_EQ(raised, "########\n#......#\n#......#\n#......#\n########\n");
    EXPECT_EQ(at(b, 0, 0), highlight);
    EXPECT_EQ(at(b, 3, 0), highlight);
    EXPECT_EQ(at(b, 0, 3), highlight);
    EXPECT_EQ(at(b, 7, 0), shadow);   // the right edge is drawn over the top one
    EXPECT_EQ(at(b, 0, 4), shadow);   // and the bottom over the left one
    EXPECT_EQ(at(b, 7, 4), shadow);

    b.setState(enmButtonStateDown);
    EXPECT_EQ(b.image().sketch(b.image().bounds(), face), raised);
    EXPECT_EQ(at(b, 0, 0), shadow);
    EXPECT_EQ(at(b, 0, 3), shadow);
    EXPECT_EQ(at(b, 7, 0), highlight);
    EXPECT_EQ(at(b, 4, 4), highlight);
}

TEST(FlairPaint, XPFillsAndFramesEachState)
{
    World w;
    FlairButton& b = bare(w, 10, 6, enmButtonStyleXP);
    b.setCaption("x");
    b.setBackColor(0x00FF00);
    EXPECT_EQ(b.image().countPixels({0, 255, 0}), 60);

    struct Row {
        ButtonStateEnum state;
        draw::Rgb fill;
        draw::OleColour text;
    };
    for (const Row& row : {Row{enmButtonStateOver, xpOver, 0x80000012}, Row{enmButtonStateDown, xpDown, 0x8000000E},
                           Row{enmButtonStatePressed, xpPressed, 0x80000012}}) {
        b.setState(row.state);
        EXPECT_EQ(b.image().countPixels(xpFrame), 2 * 10 + 2 * 4) << row.state;
        EXPECT_EQ(b.image().countPixels(row.fill), 8 * 4) << row.state;
        EXPECT_EQ(at(b, 9, 5), xpFrame);
        EXPECT_EQ(b.lbl().ForeColor(), row.text) << row.state;
    }
    b.setState(enmButtonStateNormal);
    EXPECT_EQ(b.image().countPixels({0, 255, 0}), 60);
}

TEST(FlairPaint, HyperlinkNeverDrawsEdges)
{
    World w;
    FlairButton& b = bare(w, 20, 8, enmButtonStyleHyperlink);
    const draw::Rgb back = draw::resolveColour(b.BackColor());
    for (std::int32_t state : {enmButtonStateOver, enmButtonStateDown, enmButtonStatePressed, enmButtonStateNormal}) {
        b.setState(state);
        EXPECT_EQ(b.image().countPixels(back), 160) << state;
    }
}

TEST(FlairPaint, LatchedFlatButtonIsACheckerboardAroundItsCaption)
{
    World w;
    FlairButton& b = bare(w, 12, 9, enmButtonStyleFlat);
    b.setState(enmButtonStatePressed);
    // Rows 2..6 and columns 2..9 (30 twips in, 45 from the right, 30 above the bottom line).
    const std::string expected = "############\n"
                                 "#..........#\n"
                                 "#.#.#.#.#..#\n"
                                 "#..#.#.#.#.#\n"
                                 "#.#.#.#.#..#\n"
                                 "#..#.#.#.#.#\n"
                                 "#.#.#.#.#..#\n"
                                 "#..........#\n"
                                 "############\n";
    EXPECT_EQ(b.image().sketch(b.image().bounds(), face), expected);
    EXPECT_EQ(at(b, 2, 2), draw::white);
    EXPECT_EQ(at(b, 3, 3), draw::white);

    // With a caption, its pixels are left alone and only the background between them turns white.
    World v;
    FlairButton& c = bare(v, 60, 24, enmButtonStyleFlat);
    c.setCaption("Mm");
    c.setState(enmButtonStateDown);
    const draw::Surface down = c.composed();
    c.setState(enmButtonStatePressed);
    const draw::Surface pressed = c.composed();
    EXPECT_GT(down.countPixels(black), 0);
    EXPECT_EQ(pressed.countPixels(black), down.countPixels(black));
    for (int y = 0; y < pressed.height(); ++y)
        for (int x = 0; x < pressed.width(); ++x)
            if (*down.pixel(x, y) == black) {
                EXPECT_EQ(*pressed.pixel(x, y), black) << x << "," << y;
                // Under the text the surface itself keeps its background.
                EXPECT_EQ(*c.image().pixel(x, y), flairtest::face) << x << "," << y;
            }
    EXPECT_GT(pressed.countPixels(draw::white), 100);
}

TEST(FlairPaint, LayoutCentresThePartsWithAMargin)
{
    World w;
    FlairButton& b = w.button(0, 0, 100, 24);  // H = 360 twips; the caption is 195 high, the picture 240
    b.setCaption("Go");
    EXPECT_EQ(b.lbl().Height(), 195);
    b.move(0, 0, 1500, 361);  // a new size lays the parts out again
    EXPECT_EQ(b.lbl().Top(), 82);  // |360 - 195| \ 2
    EXPECT_EQ(b.img().Top(), 60);
    EXPECT_EQ(b.img().Left(), 30);

    b.move(0, 0, 1500, 150);  // small: the margin holds
    EXPECT_EQ(b.lbl().Top(), 30);
    EXPECT_EQ(b.img().Top(), 45);  // |150 - 240| \ 2
}

TEST(FlairPaint, DetailTextGivesWayToTheCaption)
{
    World w;
    FlairButton& b = w.button(0, 0, 100, 24);
    b.setCaption("Options");       // 42 px at 330 twips: it ends at 960
    b.setCaptionDetail("Ctrl+O");  // 36 px = 540 twips
    EXPECT_EQ(b.lblRight().Left(), 1500 - 540 - 60);
    EXPECT_FALSE(b.lblRight().Visible());

    b.move(0, 0, 1800, 360);
    EXPECT_EQ(b.lblRight().Left(), 1200);
    EXPECT_TRUE(b.lblRight().Visible());
    EXPECT_EQ(b.lblRight().Top(), b.lbl().Top());

    // A longer caption that now runs into the detail text hides it at once.
    b.setCaption("All the options");
    EXPECT_FALSE(b.lblRight().Visible());
    b.setCaption("Options");
    EXPECT_TRUE(b.lblRight().Visible());
    // A new detail text stays right-aligned.
    b.setCaptionDetail("F1");
    EXPECT_EQ(b.lblRight().Left(), 1800 - 180 - 60);
}

TEST(FlairPaint, TheFormShowsThePartsOverTheSurface)
{
    World w;
    FlairButton& b = w.button(10, 10, 80, 24);
    b.setCaption("Hi");
    const draw::Surface screen = w.form.render();
    const draw::Rect box = draw::Rect::ofSize(10, 10, 80, 24);
    EXPECT_EQ(screen.countPixels(black, box), b.composed().countPixels(black));
    EXPECT_GT(b.composed().countPixels(black), 0);
    // The picture's mask colour never reaches the screen.
    EXPECT_EQ(screen.countPixels({255, 0, 255}), 0);
}

} // namespace
