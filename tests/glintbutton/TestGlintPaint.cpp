#include <gtest/gtest.h>

#include "GlintTestWorld.h"
#include "controls/glintbutton/GlintColours.h"
#include "platform/Lang.h"

namespace {

using namespace glint;
using draw::Rgb;
using glinttest::face;
using glinttest::framedPicture;
using glinttest::paper;
using glinttest::World;

constexpr Rgb light = draw::white;
constexpr Rgb dark{128, 128, 128};
constexpr Rgb darkest{64, 64, 64};
constexpr Rgb magenta{255, 0, 255};
constexpr Rgb green{0, 160, 0};

Rgb at(const GlintButton& b, int x, int y) { return b.point(x, y).value_or(Rgb{1, 2, 3}); }

// Puts the button in StateOver the way the pointer does: the first move starts the hover watch,
// the second shows it.
void hover(GlintButton& b, int x = 10, int y = 10)
{
    b.mouseMove(0, 0, x, y);
    b.mouseMove(0, 0, x, y);
}

TEST(GlintColours, GradientAndBlendArithmetic)
{
    EXPECT_EQ(BlendColor({192, 192, 192}, draw::white, 160), (Rgb{232, 232, 232}));
    EXPECT_EQ(BlendColor({10, 20, 30}, {200, 100, 0}, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(BlendColor({10, 20, 30}, {200, 100, 0}, 255), (Rgb{200, 100, 0}));
    EXPECT_EQ(TranslateColor(0x8000000F), face);
    EXPECT_EQ(TranslateColor(0x0000FF), (Rgb{255, 0, 0}));
    EXPECT_EQ(ShadeColor({224, 0, 255}, 64), (Rgb{255, 64, 255}));

    // Channels fall from the first colour by the difference, whichever way the second lies:
    // 100 towards 250 over two steps goes 100, 25, then |100 - 150| = 50.
    draw::Surface s(4, 3, draw::black);
    GradientFill(s, 0, 0, 3, 2, {100, 100, 100}, {250, 40, 100});
    EXPECT_EQ(s.pixel(0, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(s.pixel(2, 1), (Rgb{25, 70, 100}));
    EXPECT_EQ(s.pixel(1, 2), (Rgb{50, 40, 100}));
    EXPECT_EQ(s.pixel(3, 1), draw::black);  // the line stops before its end
    EXPECT_THROW(GradientFill(s, 0, 1, 3, 1, draw::white, draw::black), platform::Failure);
}

TEST(GlintPaint, ThreeDBevelAndItsFocusFrame)
{
    World w;
    auto& b = w.button(10, 10, 75, 23);
    b.setCaption("");
    const struct {
        int x, y;
        Rgb colour;
    } up[] = {{0, 0, light},    {73, 0, light}, {74, 0, darkest}, {0, 21, light},  {0, 22, darkest},
              {74, 22, darkest}, {73, 1, dark},  {73, 21, dark},    {1, 21, dark},   {1, 1, face},
              {72, 20, face},    {4, 4, face}};
    for (const auto& p : up)
        EXPECT_EQ(at(b, p.x, p.y), p.colour) << "up " << p.x << "," << p.y;

    // Focused: a black frame round the edge and the bevel one pixel further in, then the dotted
    // focus rectangle from (4,4) to (71,19).
    b.gotFocus();
    const struct {
        int x, y;
        Rgb colour;
    } focused[] = {{0, 0, draw::black},  {74, 22, draw::black}, {0, 22, draw::black}, {74, 0, draw::black},
                   {1, 1, light},        {1, 20, light},        {73, 1, darkest},     {73, 21, darkest},
                   {1, 21, darkest},     {72, 2, dark},         {2, 20, dark},        {2, 2, face},
                   {4, 4, face.inverted()}, {5, 4, face},       {70, 18, face.inverted()}, {71, 19, face}};
    for (const auto& p : focused)
        EXPECT_EQ(at(b, p.x, p.y), p.colour) << "focused " << p.x << "," << p.y;

    // ShowFocus off: the frame stays, the dots go.
    b.setShowFocus(false);
    EXPECT_EQ(at(b, 4, 4), face);
    EXPECT_EQ(at(b, 0, 0), draw::black);

    // Pressed (not focused): dark and darkest on the top and left, light on the right and bottom.
    b.lostFocus();
    b.mouseDown(1, 0, 10, 10);
    const struct {
        int x, y;
        Rgb colour;
    } pressed[] = {{0, 0, darkest}, {74, 0, darkest}, {0, 22, darkest}, {74, 1, light},
                   {74, 22, light}, {1, 1, dark},     {73, 1, dark},    {1, 21, dark}, {2, 2, face}};
    for (const auto& p : pressed)
        EXPECT_EQ(at(b, p.x, p.y), p.colour) << "pressed " << p.x << "," << p.y;
}

TEST(GlintPaint, FlatButtonsShowEdgesOnlyWhenHoveredOrPressed)
{
    World w;
    auto& flat = w.button(0, 0, 75, 23, "btnFlat");
    flat.setCaption("");
    flat.setAppearance(btFlat);
    EXPECT_EQ(flat.image().countPixels(face), 75 * 23);

    auto& bordered = w.button(100, 0, 75, 23, "btnBordered");
    bordered.setCaption("");
    bordered.setAppearance(btFlatWithBorder);
    bordered.setBorderColor(0xFF);  // red
    const Rgb red{255, 0, 0};
    EXPECT_EQ(bordered.image().countPixels(red), 2 * 75 + 2 * 21);
    EXPECT_EQ(bordered.image().countPixels(face, {1, 1, 74, 22}), 73 * 21);

    hover(flat);
    EXPECT_EQ(at(flat, 0, 0), light);
    EXPECT_EQ(at(flat, 0, 21), light);
    EXPECT_EQ(at(flat, 73, 0), light);
    EXPECT_EQ(at(flat, 74, 0), dark);
    EXPECT_EQ(at(flat, 0, 22), dark);
    EXPECT_EQ(at(flat, 1, 1), face);
    flat.mouseDown(1, 0, 10, 10);
    EXPECT_EQ(at(flat, 0, 0), dark);
    EXPECT_EQ(at(flat, 74, 22), light);

    // With a border the edges sit inside the frame.
    hover(bordered);
    EXPECT_EQ(at(bordered, 0, 0), red);
    EXPECT_EQ(at(bordered, 1, 1), light);
    EXPECT_EQ(at(bordered, 1, 20), light);
    EXPECT_EQ(at(bordered, 73, 1), dark);
    EXPECT_EQ(at(bordered, 1, 21), dark);
    EXPECT_EQ(at(bordered, 74, 22), red);
}

TEST(GlintPaint, XPButtonEdgeStripsFollowFocus)
{
    World w;
    auto& b = w.button(10, 10, 75, 23);
    b.setCaption("");
    b.setAppearance(btXP);

    // The body: a gradient from 232 down by 1.6 a row, from row 1.
    const auto body = [](int y) {
        const std::uint8_t v = static_cast<std::uint8_t>(lang::roundHalfEven(232 - 1.6 * (y - 1)));
        return Rgb{v, v, v};
    };
    for (int y = 3; y <= 18; ++y) {
        EXPECT_EQ(at(b, 10, y), body(y)) << y;
        EXPECT_EQ(at(b, 1, y), body(y)) << "no left strips, row " << y;
        EXPECT_EQ(at(b, 2, y), body(y)) << "no left strips, row " << y;
        EXPECT_NE(at(b, 72, y), body(y)) << "right strip, row " << y;
        EXPECT_NE(at(b, 73, y), body(y)) << "right strip, row " << y;
    }
    EXPECT_EQ(at(b, 10, 1), body(1));               // no top lines without focus
    EXPECT_EQ(at(b, 10, 20), (Rgb{180, 180, 180}));  // the two bottom shadow rows
    EXPECT_EQ(at(b, 10, 21), (Rgb{157, 157, 157}));
    // The outline: border, the corners in the form's colour, the pixels beside them halfway.
    EXPECT_EQ(at(b, 2, 0), draw::black);
    EXPECT_EQ(at(b, 0, 2), draw::black);
    EXPECT_EQ(at(b, 1, 1), draw::black);
    EXPECT_EQ(at(b, 0, 0), paper);
    EXPECT_EQ(at(b, 74, 22), paper);
    EXPECT_EQ(at(b, 1, 0), (Rgb{127, 127, 112}));
    EXPECT_EQ(at(b, 74, 21), (Rgb{127, 127, 112}));

    b.gotFocus();
    for (int y = 3; y <= 18; ++y) {
        EXPECT_NE(at(b, 1, y), body(y)) << "left strip, row " << y;
        EXPECT_NE(at(b, 72, y), body(y)) << "right strip, row " << y;
    }
    EXPECT_NE(at(b, 10, 1), body(1));
    // The focus rectangle's dots from (2,2); the accent colour tints the strips blue.
    const Rgb strip = *b.point(1, 10);
    EXPECT_GT(strip.b, strip.r);
}

TEST(GlintPaint, AFailedGradientEndsTheRepaintQuietly)
{
    World w;
    auto& b = w.button(0, 0, 40, 5);
    b.setCaption("");
    b.setAppearance(btXP);  // the right strip's gradient has no height at 5 pixels
    EXPECT_EQ(at(b, 0, 0), face);  // the outline was never reached
    b.setAppearance(bt3D);
    EXPECT_EQ(at(b, 0, 0), light);
}

TEST(GlintPaint, SkinsShowPerStateAndTheMaskCutsTheShape)
{
    World w;
    auto& b = w.button(10, 10, 75, 23);
    b.setCaption("");
    b.setSkinUp(framedPicture(20, 16, draw::white, magenta));
    b.setSkinOver(framedPicture(20, 16, draw::black, green));
    b.setSkinDown(framedPicture(20, 16, Rgb{0, 0, 255}, magenta));
    b.setSkinFocus(framedPicture(20, 16, Rgb{255, 255, 0}, magenta));
    b.setSkinDisabled(framedPicture(20, 16, dark, magenta));
    ASSERT_EQ(b.scaleWidth(), 20);
    ASSERT_EQ(b.scaleHeight(), 16);

    // On the form only the skin's inside shows; the border of mask colour lets the form through.
    draw::Surface s = w.form.render();
    EXPECT_EQ(s.pixel(10, 10), paper);
    EXPECT_EQ(s.pixel(11, 11), draw::white);
    EXPECT_EQ(s.pixel(29, 25), paper);
    EXPECT_FALSE(b.inShape(0, 0));
    EXPECT_TRUE(b.inShape(1, 1));

    // The mask colour follows the picture that shows.
    hover(b, 5, 5);
    EXPECT_EQ(at(b, 5, 5), draw::black);
    EXPECT_EQ(b.MaskColor(), draw::toOle(green));
    s = w.form.render();
    EXPECT_EQ(s.pixel(10, 10), paper);
    EXPECT_EQ(s.pixel(11, 11), draw::black);

    b.mouseDown(1, 0, 5, 5);
    EXPECT_EQ(at(b, 5, 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(b.MaskColor(), draw::toOle(magenta));
    b.mouseUp(1, 0, 5, 5);
    EXPECT_EQ(at(b, 5, 5), draw::white);
    b.gotFocus();
    EXPECT_EQ(at(b, 5, 5), (Rgb{255, 255, 0}));
    b.setEnabled(false);
    EXPECT_EQ(at(b, 5, 5), dark);

    // Opaque: the whole rectangle shows, mask colour and all.
    b.setBackStyle(btOpaque);
    s = w.form.render();
    EXPECT_EQ(s.pixel(10, 10), magenta);
}

TEST(GlintPaint, AnEmptySkinnedButtonDrawsNothingButItsFill)
{
    World w;
    auto& b = w.button(0, 0, 30, 20);
    b.setCaption("");
    b.setSkinOver(framedPicture(20, 16, draw::white, magenta));
    ASSERT_EQ(b.Appearance(), btSkin);
    EXPECT_EQ(b.image().countPixels(face), 30 * 20);
}

} // namespace
