#include "platform/draw/Surface.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace draw {

namespace {

// GDI keeps coordinates within 27 bits; inside that range the line arithmetic below cannot
// overflow 64 bits.
constexpr std::int64_t coordinateLimit = std::int64_t{1} << 27;

bool withinCoordinateLimit(std::int64_t v) { return v >= -coordinateLimit && v <= coordinateLimit; }

// num / den (num >= 0, den > 0) rounded to nearest, halves to even.
std::int64_t divideRoundHalfEven(std::int64_t num, std::int64_t den)
{
    const std::int64_t q = num / den;
    const std::int64_t twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1) != 0))
        return q + 1;
    return q;
}

Rgb interpolate(Rgb first, Rgb last, std::int64_t step, std::int64_t steps)
{
    if (steps <= 0)
        return first;
    const auto channel = [&](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(divideRoundHalfEven(a * (steps - step) + b * step, steps));
    };
    return {channel(first.r, last.r), channel(first.g, last.g), channel(first.b, last.b)};
}

// The part [start, start + length) of a line of pixels that falls in [lo, hi), as offsets from
// start: [first, last). Computed in 64 bits, so a far-away start cannot overflow.
struct Run {
    std::int64_t first;
    std::int64_t last;
};
Run visibleRun(std::int64_t start, std::int64_t length, int lo, int hi)
{
    return {std::max<std::int64_t>(0, lo - start), std::min<std::int64_t>(length, hi - start)};
}

bool maskIsWellFormed(const platform::CoverageMask& mask)
{
    return mask.width > 0 && mask.height > 0 &&
           mask.coverage.size() >= static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height);
}

} // namespace

Rect Rect::intersected(const Rect& other) const
{
    const Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                 std::min(bottom, other.bottom)};
    return r.empty() ? Rect{} : r;
}

Surface::Surface(int width, int height, Rgb fill)
    : width_(std::max(width, 0))
    , height_(std::max(height, 0))
    , bits_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill.packed())
{
}

void Surface::resize(int width, int height, Rgb fill)
{
    Surface resized(width, height, fill);
    const int keepWidth = std::min(width_, resized.width_);
    for (int y = 0; y < std::min(height_, resized.height_); ++y)
        std::copy_n(bits_.begin() + static_cast<std::ptrdiff_t>(indexOf(0, y)), keepWidth,
                    resized.bits_.begin() + static_cast<std::ptrdiff_t>(resized.indexOf(0, y)));
    width_ = resized.width_;
    height_ = resized.height_;
    bits_ = std::move(resized.bits_);
}

Rect Surface::clip() const
{
    return clip_ ? clip_->intersected(bounds()) : bounds();
}

std::optional<Rgb> Surface::pixel(int x, int y) const
{
    if (!bounds().contains(x, y))
        return std::nullopt;
    return at(x, y);
}

void Surface::setPixel(int x, int y, Rgb colour)
{
    if (clip().contains(x, y))
        put(x, y, colour);
}

void Surface::fillRect(const Rect& area, Rgb colour)
{
    const Rect r = area.intersected(clip());
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(bits_.begin() + static_cast<std::ptrdiff_t>(indexOf(r.left, y)), r.width(), colour.packed());
}

void Surface::frameRect(const Rect& area, Rgb colour)
{
    if (area.empty())
        return;
    fillRect({area.left, area.top, area.right, area.top + 1}, colour);
    fillRect({area.left, area.bottom - 1, area.right, area.bottom}, colour);
    fillRect({area.left, area.top, area.left + 1, area.bottom}, colour);
    fillRect({area.right - 1, area.top, area.right, area.bottom}, colour);
}

void Surface::lineTo(int x, int y, Rgb colour)
{
    const Point from = position_;
    position_ = {x, y};
    if (!withinCoordinateLimit(from.x) || !withinCoordinateLimit(from.y) || !withinCoordinateLimit(x) ||
        !withinCoordinateLimit(y))
        return;
    const Rect limit = clip();
    const std::int64_t dx = std::int64_t{x} - from.x;
    const std::int64_t dy = std::int64_t{y} - from.y;
    const std::int64_t steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0 || limit.empty())
        return;

    // The major axis advances one pixel per step; the minor one follows the exact line, rounded
    // with ties away from the start. Only the steps whose major coordinate lies in the clip are
    // walked, so a long line off the surface costs nothing.
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t majorStart = xMajor ? from.x : from.y;
    const std::int64_t majorSign = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const std::int64_t minorStart = xMajor ? from.y : from.x;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t lo = xMajor ? limit.left : limit.top;
    const std::int64_t hi = (xMajor ? limit.right : limit.bottom) - 1;

    std::int64_t first = majorSign > 0 ? lo - majorStart : majorStart - hi;
    std::int64_t last = majorSign > 0 ? hi - majorStart : majorStart - lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, steps - 1);
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t major = majorStart + majorSign * i;
        const std::int64_t offset = (2 * std::abs(minorDelta) * i + steps) / (2 * steps);
        const std::int64_t minor = minorStart + (minorDelta < 0 ? -offset : offset);
        const std::int64_t px = xMajor ? major : minor;
        const std::int64_t py = xMajor ? minor : major;
        if (px >= limit.left && px < limit.right && py >= limit.top && py < limit.bottom)
            put(static_cast<int>(px), static_cast<int>(py), colour);
    }
}

void Surface::gradientFill(const Rect& area, Rgb first, Rgb last, GradientDirection direction)
{
    const Rect r = area.intersected(clip());
    if (r.empty())
        return;
    if (direction == GradientDirection::Vertical) {
        const std::int64_t steps = std::int64_t{area.bottom} - area.top - 1;
        for (int y = r.top; y < r.bottom; ++y)
            fillRect({r.left, y, r.right, y + 1}, interpolate(first, last, std::int64_t{y} - area.top, steps));
    } else {
        const std::int64_t steps = std::int64_t{area.right} - area.left - 1;
        for (int x = r.left; x < r.right; ++x)
            fillRect({x, r.top, x + 1, r.bottom}, interpolate(first, last, std::int64_t{x} - area.left, steps));
    }
}

void Surface::blendMask(const platform::CoverageMask& mask, int x, int y, Rgb colour, const Rect& limit)
{
    // A mask whose coverage is shorter than its size says is not read at all, rather than read
    // past its end.
    if (!maskIsWellFormed(mask) || limit.empty())
        return;
    const Run rows = visibleRun(y, mask.height, limit.top, limit.bottom);
    const Run columns = visibleRun(x, mask.width, limit.left, limit.right);
    for (std::int64_t my = rows.first; my < rows.last; ++my) {
        for (std::int64_t mx = columns.first; mx < columns.last; ++mx) {
            const std::uint8_t coverage = mask.at(static_cast<int>(mx), static_cast<int>(my));
            if (coverage == 0)
                continue;
            const int px = static_cast<int>(x + mx);
            const int py = static_cast<int>(y + my);
            put(px, py, blend(at(px, py), colour, coverage));
        }
    }
}

void Surface::drawMask(const platform::CoverageMask& mask, int x, int y, Rgb colour)
{
    blendMask(mask, x, y, colour, clip());
}

void Surface::drawMask(const platform::CoverageMask& mask, int x, int y, Rgb colour, const Rect& clip)
{
    blendMask(mask, x, y, colour, clip.intersected(this->clip()));
}

void Surface::drawMaskDisabled(const platform::CoverageMask& mask, int x, int y)
{
    drawMaskDisabled(mask, x, y, bounds());
}

void Surface::drawMaskDisabled(const platform::CoverageMask& mask, int x, int y, const Rect& clip)
{
    const Rect limit = clip.intersected(this->clip());
    // At the far edge of the int range there is no pixel one to the right or below to draw into.
    if (x < std::numeric_limits<int>::max() && y < std::numeric_limits<int>::max())
        blendMask(mask, x + 1, y + 1, systemColour(syscolour::ButtonHighlight), limit);
    blendMask(mask, x, y, systemColour(syscolour::GrayText), limit);
}

void Surface::drawFocusRect(const Rect& area)
{
    if (area.empty())
        return;
    const Rect limit = clip();
    const auto invertRow = [&](int y) {
        if (y < limit.top || y >= limit.bottom)
            return;
        for (int x = std::max(area.left, limit.left); x < std::min(area.right, limit.right); ++x)
            if (((x + y) & 1) == 0)
                put(x, y, at(x, y).inverted());
    };
    const auto invertColumn = [&](int x, int top, int bottom) {
        if (x < limit.left || x >= limit.right)
            return;
        for (int y = std::max(top, limit.top); y < std::min(bottom, limit.bottom); ++y)
            if (((x + y) & 1) == 0)
                put(x, y, at(x, y).inverted());
    };
    // Each edge pixel exactly once: the rows take the corners, the columns the pixels between.
    invertRow(area.top);
    if (area.height() > 1)
        invertRow(area.bottom - 1);
    if (area.height() > 2) {
        invertColumn(area.left, area.top + 1, area.bottom - 1);
        if (area.width() > 1)
            invertColumn(area.right - 1, area.top + 1, area.bottom - 1);
    }
}

void Surface::copyPixels(const Surface& source, const Rect& from, int x, int y, std::optional<Rgb> maskColour)
{
    const Rect area = from.intersected(source.bounds());
    if (area.empty())
        return;
    // Where the visible part of the source lands; 64 bits, as x + offset may leave the int range.
    const std::int64_t destLeft = std::int64_t{x} + (area.left - from.left);
    const std::int64_t destTop = std::int64_t{y} + (area.top - from.top);
    const Rect limit = clip();
    const Run rows = visibleRun(destTop, area.height(), limit.top, limit.bottom);
    const Run columns = visibleRun(destLeft, area.width(), limit.left, limit.right);
    if (rows.first >= rows.last || columns.first >= columns.last)
        return;

    // Copying from this very surface: take the source pixels first, so overlapping areas are
    // read before they are overwritten.
    const Surface* src = &source;
    Surface copy;
    if (&source == this) {
        copy = source;
        src = &copy;
    }
    for (std::int64_t row = rows.first; row < rows.last; ++row) {
        for (std::int64_t col = columns.first; col < columns.last; ++col) {
            const Rgb colour = src->at(static_cast<int>(area.left + col), static_cast<int>(area.top + row));
            if (maskColour && colour == *maskColour)
                continue;
            put(static_cast<int>(destLeft + col), static_cast<int>(destTop + row), colour);
        }
    }
}

bool operator==(const Surface& a, const Surface& b)
{
    return a.width_ == b.width_ && a.height_ == b.height_ && a.bits_ == b.bits_;
}

std::optional<Point> Surface::firstDifference(const Surface& other) const
{
    if (width_ != other.width_ || height_ != other.height_)
        return Point{-1, -1};
    const auto mismatch = std::mismatch(bits_.begin(), bits_.end(), other.bits_.begin());
    if (mismatch.first == bits_.end())
        return std::nullopt;
    const auto index = static_cast<std::size_t>(mismatch.first - bits_.begin());
    return Point{static_cast<int>(index % static_cast<std::size_t>(width_)),
                 static_cast<int>(index / static_cast<std::size_t>(width_))};
}

int Surface::countPixels(Rgb colour, const Rect& area) const
{
    const Rect r = area.intersected(bounds());
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += at(x, y) == colour ? 1 : 0;
    return count;
}

std::string Surface::sketch(const Rect& area, Rgb background) const
{
    std::string text;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::optional<Rgb> colour = pixel(x, y);
            text += !colour ? ' ' : *colour == background ? '.' : '#';
        }
        text += '\n';
    }
    return text;
}

} // namespace draw
