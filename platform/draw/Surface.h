#pragma once
// The drawing surface of forms and controls: an RGB raster with the few device-context operations
// their painters use, keeping the pixel rules of GDI so that painters written against those rules
// set the same pixels here.
//
// Implements:
// - fill and frame of rectangles, pixel get/set, a clipping rectangle;
// - MoveTo/LineTo lines that stop before their end point;
// - vertical and horizontal two-colour gradients;
// - text: a font engine's coverage mask blended in a colour, plain or embossed (DrawState's
//   DSS_DISABLED look);
// - DrawFocusRect's dotted, self-cancelling XOR frame;
// - pictures (other surfaces) copied whole or in part, optionally leaving out a mask colour;
// - comparison and sketch helpers for pixel tests.
// Does not implement: pens wider than a pixel, raster operations other than copy and the focus
// frame's XOR, regions, text layout (measuring, wrapping, "&" prefixes: the caller renders the
// shown text and underlines the prefixed character with fillRect).
//
// Coordinates are pixels, (0, 0) top-left. Rectangles are GDI RECTs: right and bottom exclusive.
// Every write obeys the clipping rectangle and the raster's bounds; reads see the whole raster.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FontEngine.h"
#include "platform/draw/Colour.h"

namespace draw {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive

    static constexpr Rect ofSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    // The common part; an empty rectangle when there is none.
    Rect intersected(const Rect& other) const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

enum class GradientDirection {
    Vertical,    // the first colour on the top row, the second on the bottom row
    Horizontal,  // the first colour in the left column, the second in the right column
};

class Surface {
public:
    // An empty (0 x 0) raster.
    Surface() = default;
    // A width x height raster filled with one colour; negative sizes count as 0.
    Surface(int width, int height, Rgb fill = black);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // New dimensions, keeping the pixels that still fit at their places; new pixels get `fill`.
    void resize(int width, int height, Rgb fill = black);

    // Writes are limited to this rectangle (and the raster). Without one, the whole raster.
    void setClip(const Rect& clip) { clip_ = clip; }
    void resetClip() { clip_.reset(); }
    // The effective clipping rectangle, already within the raster.
    Rect clip() const;

    // GetPixel: the colour at (x, y), or nullopt outside the raster (GDI's CLR_INVALID).
    std::optional<Rgb> pixel(int x, int y) const;
    // SetPixel; ignored outside the clip.
    void setPixel(int x, int y, Rgb colour);

    // FillRect.
    void fillRect(const Rect& area, Rgb colour);
    void fill(Rgb colour) { fillRect(bounds(), colour); }
    // FrameRect: the one-pixel outline just inside the rectangle.
    void frameRect(const Rect& area, Rgb colour);

    // MoveToEx and LineTo: the line from the current position to (x, y) sets the start pixel and
    // every pixel up to, but not including, (x, y); the end becomes the current position, so a
    // polyline joins without drawing any corner twice. A line to the current position draws
    // nothing. Horizontal, vertical and 45-degree lines are exact; other slopes follow the
    // Bresenham choice, rounding ties away from the start. As in GDI, coordinates are limited to
    // 27 bits: a line with an end beyond +-2^27 draws nothing (the position still moves).
    void moveTo(int x, int y) { position_ = {x, y}; }
    Point position() const { return position_; }
    void lineTo(int x, int y, Rgb colour);
    void line(Point from, Point to, Rgb colour)
    {
        moveTo(from.x, from.y);
        lineTo(to.x, to.y, colour);
    }

    // A linear two-colour gradient over the rectangle, one colour per row (Vertical) or column
    // (Horizontal); channels are rounded to nearest, halves to even. A one-row (one-column)
    // rectangle shows only the first colour. Clipping does not change which colour a row gets.
    void gradientFill(const Rect& area, Rgb first, Rgb last, GradientDirection direction);

    // Text: the mask's top-left at (x, y); each pixel moves towards `colour` by the mask's
    // coverage (0 leaves it, 255 replaces it). The optional clip narrows the surface's clip.
    void drawMask(const platform::CoverageMask& mask, int x, int y, Rgb colour);
    void drawMask(const platform::CoverageMask& mask, int x, int y, Rgb colour, const Rect& clip);
    // DrawState's disabled look: the mask in the 3D highlight colour one pixel right and down,
    // then in the grey text colour at (x, y).
    void drawMaskDisabled(const platform::CoverageMask& mask, int x, int y);
    void drawMaskDisabled(const platform::CoverageMask& mask, int x, int y, const Rect& clip);

    // DrawFocusRect: the rectangle's one-pixel outline, every other pixel inverted (those whose
    // x + y is even, so that neighbouring frames share the dot pattern). Each pixel is inverted
    // at most once, so drawing the same rectangle again restores what was there.
    void drawFocusRect(const Rect& area);

    // A picture drawn unscaled with its top-left at (x, y).
    void drawPicture(const Surface& picture, int x, int y) { blit(picture, picture.bounds(), x, y); }
    // The same, leaving out (transparent) every picture pixel of the mask colour.
    void drawPicture(const Surface& picture, int x, int y, Rgb maskColour)
    {
        copyPixels(picture, picture.bounds(), x, y, maskColour);
    }
    // BitBlt with SRCCOPY: the part `from` of `source` copied with its top-left at (x, y). The
    // source may be this surface, overlapping areas included.
    void blit(const Surface& source, const Rect& from, int x, int y) { copyPixels(source, from, x, y, std::nullopt); }

    // The pixels row by row from the top, each 0x00RRGGBB: on a little-endian machine this is the
    // memory layout of a top-down 32-bit DIB.
    const std::vector<std::uint32_t>& bits() const { return bits_; }

    // For tests. Same size and same pixels (clip and current position are not compared).
    friend bool operator==(const Surface& a, const Surface& b);
    // The first pixel, in row order, where two rasters of the same size differ; (-1, -1) when the
    // sizes differ; nullopt when they are equal.
    std::optional<Point> firstDifference(const Surface& other) const;
    // How many pixels of the area (default: all) have the colour.
    int countPixels(Rgb colour) const { return countPixels(colour, bounds()); }
    int countPixels(Rgb colour, const Rect& area) const;
    // The area as text, one line per row ending in '\n': '.' for pixels of the background colour,
    // '#' for any other, ' ' outside the raster. Pixel tests compare it with a drawn picture.
    std::string sketch(const Rect& area, Rgb background) const;

private:
    std::size_t indexOf(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    void put(int x, int y, Rgb colour) { bits_[indexOf(x, y)] = colour.packed(); }
    Rgb at(int x, int y) const { return Rgb::fromPacked(bits_[indexOf(x, y)]); }
    void blendMask(const platform::CoverageMask& mask, int x, int y, Rgb colour, const Rect& limit);
    void copyPixels(const Surface& source, const Rect& from, int x, int y, std::optional<Rgb> maskColour);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> bits_;
    std::optional<Rect> clip_;
    Point position_;
};

} // namespace draw
