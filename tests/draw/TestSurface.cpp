#include "platform/draw/Surface.h"

#include <gtest/gtest.h>

namespace {

using draw::Rect;
using draw::Rgb;
using draw::Surface;

constexpr Rgb paper{255, 255, 225};
constexpr Rgb ink{0, 0, 128};

platform::CoverageMask maskOf(int width, int height, std::vector<std::uint8_t> coverage)
{
    return {width, height, height, std::move(coverage)};
}

TEST(Surface, LinesSetTheStartAndStopBeforeTheEnd)
{
    const struct {
        draw::Point from, to;
        const char* picture;
    } cases[] = {
        {{1, 1}, {4, 1}, "......\n.###..\n......\n......\n"},  // rightwards
        {{4, 2}, {1, 2}, "......\n......\n..###.\n......\n"},  // leftwards
        {{1, 0}, {1, 3}, ".#....\n.#....\n.#....\n......\n"},  // downwards
        {{0, 0}, {3, 3}, "#.....\n.#....\n..#...\n......\n"},  // diagonal
        {{5, 0}, {2, 3}, ".....#\n....#.\n...#..\n......\n"},  // other diagonal
        {{2, 2}, {2, 2}, "......\n......\n......\n......\n"},  // to itself: nothing
    };
    for (const auto& c : cases) {
        Surface s(6, 4, paper);
        s.line(c.from, c.to, ink);
        EXPECT_EQ(s.sketch(s.bounds(), paper), c.picture) << c.from.x << "," << c.from.y;
        EXPECT_EQ(s.position(), c.to);
    }

    // A shallow line still has one pixel per column, its start included and its end left out.
    Surface s(6, 4, paper);
    s.line({0, 0}, {4, 2}, ink);
    EXPECT_EQ(s.countPixels(ink), 4);
    EXPECT_EQ(s.pixel(0, 0), ink);
    EXPECT_EQ(s.pixel(4, 2), paper);
}

TEST(Surface, PolylinesJoinAndLongLinesAreCut)
{
    // The frame through (0,0), (0,B), (R,B), (R,0) back to (0,0), as the classic painters draw it:
    // each line's left-out end is drawn by the next, so the outline closes.
    Surface s(5, 4, paper);
    s.moveTo(0, 0);
    for (const draw::Point p : {draw::Point{0, 3}, {4, 3}, {4, 0}, {0, 0}})
        s.lineTo(p.x, p.y, ink);
    EXPECT_EQ(s.sketch(s.bounds(), paper), "#####\n#...#\n#...#\n#####\n");

    // Lines partly or wholly off the raster, or beyond GDI's coordinate range, touch only what fits.
    Surface t(4, 3, paper);
    t.line({-1000000, 1}, {1000000, 1}, ink);
    t.line({-1, -1}, {5, 5}, ink);
    t.line({0, 2}, {1 << 28, 2}, ink);
    EXPECT_EQ(t.sketch(t.bounds(), paper), "#...\n####\n..#.\n");
}

TEST(Surface, PixelsOutsideAreUndefinedOnReadAndIgnoredOnWrite)
{
    Surface s(3, 2, paper);
    EXPECT_EQ(s.pixel(2, 1), paper);
    for (const draw::Point p : {draw::Point{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
        EXPECT_EQ(s.pixel(p.x, p.y), std::nullopt);
        s.setPixel(p.x, p.y, ink);
    }
    EXPECT_EQ(s, Surface(3, 2, paper));
    s.setPixel(1, 1, ink);
    EXPECT_EQ(s.firstDifference(Surface(3, 2, paper)), (draw::Point{1, 1}));
    EXPECT_EQ(s.firstDifference(Surface(2, 2, paper)), (draw::Point{-1, -1}));
}

TEST(Surface, ClipLimitsEveryWrite)
{
    Surface s(6, 4, paper);
    s.setClip({1, 1, 4, 3});
    s.fill(ink);
    s.setPixel(0, 0, ink);
    s.line({0, 3}, {6, 3}, ink);
    EXPECT_EQ(s.sketch(s.bounds(), paper), "......\n.###..\n.###..\n......\n");
    EXPECT_EQ(s.pixel(0, 0), paper);  // reads ignore the clip, writes did not reach

    s.resetClip();
    s.frameRect({0, 0, 6, 4}, ink);
    EXPECT_EQ(s.sketch(s.bounds(), paper), "######\n####.#\n####.#\n######\n");
}

TEST(Surface, FocusRectangleInvertsAlternatePixelsAndCancelsItself)
{
    Surface s(6, 5, paper);
    s.fillRect({2, 2, 4, 4}, ink);
    const Surface before = s;

    s.drawFocusRect({0, 0, 6, 5});
    EXPECT_EQ(s.sketch(s.bounds(), paper), "#.#.#.\n.....#\n#.##..\n..##.#\n#.#.#.\n");
    EXPECT_EQ(s.pixel(0, 0), paper.inverted());
    s.drawFocusRect({0, 0, 6, 5});
    EXPECT_EQ(s, before);

    // Thin, partly clipped and partly outside rectangles restore too.
    for (const Rect r : {Rect{1, 1, 5, 2}, Rect{2, 0, 3, 5}, Rect{-3, -3, 4, 3}, Rect{1, 1, 2, 2}}) {
        s.setClip({0, 0, 5, 4});
        s.drawFocusRect(r);
        EXPECT_NE(s, before) << r.left << "," << r.top;
        s.drawFocusRect(r);
        EXPECT_EQ(s, before) << r.left << "," << r.top;
    }
}

TEST(Surface, PictureWithMaskColourLeavesThoseTransparent)
{
    const Rgb magenta{255, 0, 255};
    Surface picture(3, 2, magenta);
    picture.setPixel(1, 0, ink);
    picture.setPixel(2, 1, draw::white);

    Surface s(5, 4, paper);
    s.drawPicture(picture, 1, 1, magenta);
    EXPECT_EQ(s.sketch(s.bounds(), paper), ".....\n..#..\n...#.\n.....\n");
    EXPECT_EQ(s.pixel(3, 2), draw::white);

    s.drawPicture(picture, 3, 3);  // no mask colour: the whole picture, cut at the edge
    EXPECT_EQ(s.pixel(3, 3), magenta);
    EXPECT_EQ(s.pixel(4, 3), ink);

    // A blit from the surface onto itself reads the source before writing the overlap.
    Surface strip(5, 1, paper);
    for (int x = 0; x < 5; ++x)
        strip.setPixel(x, 0, Rgb{static_cast<std::uint8_t>(x), 0, 0});
    strip.blit(strip, {0, 0, 4, 1}, 1, 0);
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(strip.pixel(x, 0), (Rgb{static_cast<std::uint8_t>(x - 1), 0, 0})) << x;
}

TEST(Surface, GradientsRunFromTheFirstColourToTheLast)
{
    const Rgb top{255, 0, 10};
    const Rgb bottom{0, 255, 20};
    Surface s(4, 6, paper);
    s.gradientFill({0, 1, 3, 6}, top, bottom, draw::GradientDirection::Vertical);
    EXPECT_EQ(s.pixel(0, 0), paper);
    EXPECT_EQ(s.pixel(2, 1), top);
    EXPECT_EQ(s.pixel(2, 5), bottom);
    EXPECT_EQ(s.pixel(3, 5), paper);
    // Row 2 of 4 steps: 255 * 3/4 = 191.25, 255 / 4 = 63.75, 12.5 (a tie: to even 12).
    EXPECT_EQ(s.pixel(1, 2), (Rgb{191, 64, 12}));

    // Clipping hides rows without shifting the colours of the others.
    Surface h(5, 1, paper);
    h.setClip({3, 0, 5, 1});
    h.gradientFill(h.bounds(), draw::black, draw::white, draw::GradientDirection::Horizontal);
    EXPECT_EQ(h.pixel(2, 0), paper);
    EXPECT_EQ(h.pixel(3, 0), (Rgb{191, 191, 191}));
    EXPECT_EQ(h.pixel(4, 0), draw::white);

    Surface one(2, 1, paper);
    one.gradientFill(one.bounds(), top, bottom, draw::GradientDirection::Vertical);
    EXPECT_EQ(one.countPixels(top), 2);
}

TEST(Surface, CoverageBlendsTheColourInProportion)
{
    const auto mask = maskOf(3, 1, {0, 128, 255});
    Surface s(4, 2, draw::white);
    s.drawMask(mask, 1, 1, draw::black);
    EXPECT_EQ(s.pixel(1, 1), draw::white);
    EXPECT_EQ(s.pixel(2, 1), (Rgb{127, 127, 127}));
    EXPECT_EQ(s.pixel(3, 1), draw::black);
    EXPECT_EQ(s.countPixels(draw::white), 6);
    s.drawMask(mask, 2, 0, draw::black);  // the part beyond the right edge is dropped
    EXPECT_EQ(s.pixel(3, 0), (Rgb{127, 127, 127}));

    Surface c(4, 1, draw::white);
    c.drawMask(maskOf(4, 1, {255, 255, 255, 255}), 0, 0, ink, Rect{1, 0, 3, 1});
    EXPECT_EQ(c.sketch(c.bounds(), draw::white), ".##.\n");

    // A mask with fewer values than its size claims is refused rather than read past its end.
    Surface d(4, 1, draw::white);
    d.drawMask(maskOf(4, 1, {255}), 0, 0, ink);
    EXPECT_EQ(d, Surface(4, 1, draw::white));
}

TEST(Surface, DisabledTextIsEmbossed)
{
    const Rgb face = draw::systemColour(draw::syscolour::ButtonFace);
    const Rgb highlight = draw::systemColour(draw::syscolour::ButtonHighlight);
    const Rgb grey = draw::systemColour(draw::syscolour::GrayText);
    Surface s(5, 4, face);
    s.drawMaskDisabled(maskOf(2, 2, {255, 255, 255, 0}), 1, 1);
    // Grey over the shape; white where the shape shifted by (1, 1) is not covered by it.
    EXPECT_EQ(s.pixel(1, 1), grey);
    EXPECT_EQ(s.pixel(2, 1), grey);
    EXPECT_EQ(s.pixel(1, 2), grey);
    EXPECT_EQ(s.pixel(2, 2), highlight);
    EXPECT_EQ(s.pixel(3, 2), highlight);
    EXPECT_EQ(s.pixel(2, 3), highlight);
    EXPECT_EQ(s.pixel(3, 3), face);
    EXPECT_EQ(s.countPixels(face), 20 - 6);

    // The clip also cuts the highlight copy.
    Surface c(5, 4, face);
    c.drawMaskDisabled(maskOf(2, 2, {255, 255, 255, 0}), 1, 1, Rect{0, 0, 5, 3});
    EXPECT_EQ(c.pixel(2, 3), face);
}

TEST(Surface, ResizeKeepsThePixelsThatStillFit)
{
    Surface s(2, 2, paper);
    s.setPixel(1, 1, ink);
    s.resize(3, 1, draw::white);
    EXPECT_EQ(s.sketch(s.bounds(), paper), "..#\n");
    s.resize(3, 2, draw::white);
    EXPECT_EQ(s.pixel(1, 1), draw::white);
    s.resize(-4, 2);
    EXPECT_TRUE(s.empty());
}

} // namespace
