#include "notifier/window/PopupArt.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qln::art {

namespace {

using draw::Rgb;
using draw::Surface;

// A drawing is rows of palette characters:
//   '.' transparent   '#' outline   'o' fill   'x' accent   '+' the accent lit (a highlight)
// Button drawings are three pixels narrower than their button: one pixel of margin on the top and
// left, two on the bottom and right, so that the pressed state can shift the drawing by one pixel
// and still clear the plate's border.
struct Drawing {
    std::span<const std::string_view> rows;
    Rgb outline;
    Rgb fill;
    Rgb accent;
    bool mirrored = false;  // drawn right to left
};

constexpr int kGlyphMargin = 3;
constexpr int kButtonGrid = buttonPictureSize - kGlyphMargin;
constexpr int kQuestionGrid = questionPictureSize - kGlyphMargin;

// A square of rows, `size` characters each, of palette characters only.
constexpr bool isGrid(std::span<const std::string_view> rows, int size)
{
    if (static_cast<int>(rows.size()) != size)
        return false;
    for (std::string_view row : rows) {
        if (static_cast<int>(row.size()) != size)
            return false;
        for (char c : row) {
            if (c != '.' && c != '#' && c != 'o' && c != 'x' && c != '+')
                return false;
        }
    }
    return true;
}

// A curved arrow whose head points left; mirrored, it forwards.
constexpr std::string_view kReply[] = {
    "....#......",
    "...##......",
    "..#+#####..",
    ".#+++++++#.",
    "#+xxxxxxxx#",
    ".#xxxxxxxx#",
    "..#x####xx#",
    "...##..#xx#",
    "....#..#xx#",
    ".......#xx#",
    ".......####",
};
static_assert(isGrid(kReply, kButtonGrid));

// A bold red cross.
constexpr std::string_view kDelete[] = {
    ".##.....##.",
    "#++#...#++#",
    "#+xx#.#xxx#",
    ".#xxx#xxx#.",
    "..#xxxxx#..",
    "...#xxx#...",
    "..#xxxxx#..",
    ".#xxx#xxx#.",
    "#xxx#.#xxx#",
    "#xx#...#xx#",
    ".##.....##.",
};
static_assert(isGrid(kDelete, kButtonGrid));

// A letter taken halfway out of its envelope.
constexpr std::string_view kOpen[] = {
    "..#######..",
    "..#ooooo#..",
    "..#o###o#..",
    ".##ooooo##.",
    "#x#o###o#x#",
    "#xx#ooo#xx#",
    "#xxx#o#xxx#",
    "#xxxx#xxxx#",
    "#xxxxxxxxx#",
    "#xxxxxxxxx#",
    "###########",
};
static_assert(isGrid(kOpen, kButtonGrid));

// A push pin standing on its point.
constexpr std::string_view kPin[] = {
    "...#####...",
    "...#+xx#...",
    "...#+xx#...",
    "...#+xx#...",
    "..#+xxxx#..",
    ".#+xxxxxx#.",
    ".#########.",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
};
static_assert(isGrid(kPin, kButtonGrid));

// The same pin pushed home: its point is in the board.
constexpr std::string_view kPinned[] = {
    "...........",
    "...........",
    "...#####...",
    "...#+xx#...",
    "...#+xx#...",
    "..#+xxxx#..",
    ".#+xxxxxx#.",
    ".#########.",
    ".....#.....",
    "ooooooooooo",
    "...........",
};
static_assert(isGrid(kPinned, kButtonGrid));

// A paper clip: the inner loop inside the outer one.
constexpr std::string_view kAttach[] = {
    "...###.....",
    "..#...#....",
    "..#...#.#..",
    "..#.#.#.#..",
    "..#.#.#.#..",
    "..#.#.#.#..",
    "..#.#.#.#..",
    "..#.#.#.#..",
    "..#..#..#..",
    "...#...#...",
    "....###....",
};
static_assert(isGrid(kAttach, kButtonGrid));

// A plain thin cross, smaller than Delete's so the two are not confused.
constexpr std::string_view kClose[] = {
    "...........",
    "...........",
    "..##...##..",
    "...##.##...",
    "....###....",
    "....###....",
    "...##.##...",
    "..##...##..",
    "...........",
    "...........",
    "...........",
};
static_assert(isGrid(kClose, kButtonGrid));

// A question mark in a round blue badge.
constexpr std::string_view kQuestion[] = {
    ".....######.....",
    "...##++++++##...",
    "..#++xxxxxx++#..",
    ".#+xxxooooxxxx#.",
    ".#+xxooxxooxxx#.",
    "#+xxxooxxooxxxx#",
    "#+xxxxxxxooxxxx#",
    "#xxxxxxxooxxxxx#",
    "#xxxxxxooxxxxxx#",
    "#xxxxxxooxxxxxx#",
    "#xxxxxxxxxxxxxx#",
    ".#xxxxxooxxxxx#.",
    ".#xxxxxooxxxxx#.",
    "..#xxxxxxxxxx#..",
    "...##xxxxxx##...",
    ".....######.....",
};
static_assert(isGrid(kQuestion, kQuestionGrid));

// The history arrow pointing back (left); mirrored, it points on.
constexpr std::string_view kBackArrow[] = {
    "................",
    "................",
    ".........###....",
    "........#++#....",
    ".......#+xx#....",
    "......#+xxx#....",
    ".....#+xxxx#....",
    "....#+xxxxx#....",
    "....#xxxxxx#....",
    ".....#xxxxx#....",
    "......#xxxx#....",
    ".......#xxx#....",
    "........#xx#....",
    ".........###....",
    "................",
    "................",
};
static_assert(isGrid(kBackArrow, arrowPictureSize));

Drawing drawingOf(Glyph glyph)
{
    switch (glyph) {
    case Glyph::Reply:
        return {kReply, {24, 64, 128}, draw::white, {64, 128, 220}};
    case Glyph::Forward:
        return {kReply, {20, 90, 50}, draw::white, {60, 170, 90}, true};
    case Glyph::Delete:
        return {kDelete, {128, 16, 16}, draw::white, {220, 48, 40}};
    case Glyph::Open:
        return {kOpen, {96, 72, 32}, draw::white, {240, 200, 100}};
    case Glyph::Pin:
        return {kPin, {60, 60, 70}, draw::white, {220, 50, 50}};
    case Glyph::Pinned:
        return {kPinned, {60, 60, 70}, {150, 120, 80}, {220, 50, 50}};
    case Glyph::Attach:
        return {kAttach, {70, 80, 100}, draw::white, {150, 160, 180}};
    case Glyph::Close:
        return {kClose, {48, 48, 48}, draw::white, {48, 48, 48}};
    case Glyph::Question:
        return {kQuestion, {20, 60, 140}, draw::white, {60, 120, 210}};
    }
    return {kClose, {48, 48, 48}, draw::white, {48, 48, 48}};
}

// A disabled picture keeps only each pixel's brightness, lifted towards white so that it recedes
// like disabled text does.
Rgb greyed(Rgb colour)
{
    const int luminance = (299 * colour.r + 587 * colour.g + 114 * colour.b + 500) / 1000;
    const auto level = static_cast<std::uint8_t>(luminance + (255 - luminance) * 2 / 5);
    return {level, level, level};
}

void paint(Surface& surface, const Drawing& drawing, int left, int top, bool grey)
{
    const Rgb lit = draw::blend(drawing.accent, draw::white, 110);
    const int size = static_cast<int>(drawing.rows.size());
    for (int y = 0; y < size; ++y) {
        const std::string_view row = drawing.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size; ++x) {
            Rgb colour;
            switch (row[static_cast<std::size_t>(drawing.mirrored ? size - 1 - x : x)]) {
            case '#': colour = drawing.outline; break;
            case 'o': colour = drawing.fill; break;
            case 'x': colour = drawing.accent; break;
            case '+': colour = lit; break;
            default: continue;
            }
            surface.setPixel(left + x, top + y, grey ? greyed(colour) : colour);
        }
    }
}

void cutCorners(Surface& surface)
{
    const int right = surface.width() - 1;
    const int bottom = surface.height() - 1;
    for (const draw::Point corner : {draw::Point{0, 0}, {right, 0}, {0, bottom}, {right, bottom}})
        surface.setPixel(corner.x, corner.y, maskColour);
}

// The plate behind a hovered or pressed glyph: a soft vertical gradient in a one-pixel border,
// its corners cut so that the cut-out button is rounded.
void plate(Surface& surface, Rgb top, Rgb bottom, Rgb border)
{
    surface.gradientFill(surface.bounds(), top, bottom, draw::GradientDirection::Vertical);
    surface.frameRect(surface.bounds(), border);
    cutCorners(surface);
}

// A dotted frame on the picture's edge, the dots on even x + y like DrawFocusRect's, but drawn
// in a colour rather than inverted, since the ground under a mask pixel is not known here.
void focusFrame(Surface& surface)
{
    constexpr Rgb dot{64, 64, 64};
    const draw::Rect edge = surface.bounds();
    for (int x = 0; x < edge.right; ++x) {
        for (int y : {0, edge.bottom - 1}) {
            if ((x + y) % 2 == 0)
                surface.setPixel(x, y, dot);
        }
    }
    for (int y = 0; y < edge.bottom; ++y) {
        for (int x : {0, edge.right - 1}) {
            if ((x + y) % 2 == 0)
                surface.setPixel(x, y, dot);
        }
    }
    cutCorners(surface);
}

Surface scaled(const Surface& picture, int factor)
{
    Surface big(picture.width() * factor, picture.height() * factor);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            big.fillRect(draw::Rect::ofSize(x * factor, y * factor, factor, factor), *picture.pixel(x, y));
    }
    return big;
}

} // namespace

Surface buttonPicture(Glyph glyph, State state)
{
    const int size = glyph == Glyph::Question ? questionPictureSize : buttonPictureSize;
    Surface picture(size, size, maskColour);
    const Drawing drawing = drawingOf(glyph);
    switch (state) {
    case State::Up:
        paint(picture, drawing, 1, 1, false);
        break;
    case State::Over:
        plate(picture, {255, 255, 255}, {212, 228, 250}, {120, 156, 210});
        paint(picture, drawing, 1, 1, false);
        break;
    case State::Down:
        plate(picture, {170, 196, 232}, {206, 222, 246}, {72, 104, 160});
        paint(picture, drawing, 2, 2, false);
        break;
    case State::Focus:
        paint(picture, drawing, 1, 1, false);
        focusFrame(picture);
        break;
    case State::Disabled:
        paint(picture, drawing, 1, 1, true);
        break;
    }
    return picture;
}

Surface arrowPicture(Arrow arrow)
{
    const bool next = arrow == Arrow::Next || arrow == Arrow::NextDisabled;
    const bool disabled = arrow == Arrow::BackDisabled || arrow == Arrow::NextDisabled;
    Surface picture(arrowPictureSize, arrowPictureSize, maskColour);
    paint(picture, {kBackArrow, {30, 70, 140}, draw::white, {70, 130, 220}, next}, 0, 0, disabled);
    return picture;
}

Surface contactSheet()
{
    // The popup's default background, where the pictures will be seen.
    constexpr Rgb background{255, 255, 225};
    constexpr Rgb rule{230, 230, 205};
    constexpr int cell = contactSheetCell;
    const int columns = static_cast<int>(allStates.size());
    const int rows = static_cast<int>(allGlyphs.size()) + 1;
    Surface sheet(columns * cell, rows * cell, background);

    const auto place = [&](const Surface& picture, int column, int row) {
        const int left = column * cell;
        const int top = row * cell;
        sheet.frameRect(draw::Rect::ofSize(left, top, cell, cell), rule);
        sheet.drawPicture(picture, left + (cell - picture.width()) / 2, top + (cell - picture.height()) / 2,
                          maskColour);
    };
    for (std::size_t row = 0; row < allGlyphs.size(); ++row) {
        for (std::size_t column = 0; column < allStates.size(); ++column)
            place(buttonPicture(allGlyphs[row], allStates[column]), static_cast<int>(column), static_cast<int>(row));
    }
    for (std::size_t column = 0; column < allArrows.size(); ++column)
        place(arrowPicture(allArrows[column]), static_cast<int>(column), rows - 1);
    return scaled(sheet, contactSheetScale);
}

} // namespace qln::art
