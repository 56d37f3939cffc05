#include "platform/forms/Line.h"

#include <algorithm>

namespace forms {

void Line::setPoints(double x1, double y1, double x2, double y2)
{
    if (x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_)
        return;
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    invalidate();
}

void Line::setBorderColor(draw::OleColour colour)
{
    if (borderColor_ == colour)
        return;
    borderColor_ = colour;
    invalidate();
}

void Line::paint(draw::Surface& surface, draw::Point origin) const
{
    surface.line({origin.x + pixelsX(x1_), origin.y + pixelsY(y1_)},
                 {origin.x + pixelsX(x2_), origin.y + pixelsY(y2_)}, draw::resolveColour(borderColor_));
}

draw::Rect Line::paintBounds(draw::Point origin) const
{
    const int ax = origin.x + pixelsX(x1_), ay = origin.y + pixelsY(y1_);
    const int bx = origin.x + pixelsX(x2_), by = origin.y + pixelsY(y2_);
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1};
}

} // namespace forms
