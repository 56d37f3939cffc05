#pragma once
// A line (VB's Line control) from (X1, Y1) to (X2, Y2), in twips relative to its container or the
// form, one pixel wide in BorderColor (by default the window text colour). As GDI's LineTo, it
// stops before its end point, so a line of no length draws nothing. Its place is its end points:
// Left, Top, Width and Height are not used.

#include "platform/forms/Control.h"

namespace forms {

class Line : public Control {
public:
    using Control::Control;

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void setX1(double twips) { setPoints(twips, y1_, x2_, y2_); }
    void setY1(double twips) { setPoints(x1_, twips, x2_, y2_); }
    void setX2(double twips) { setPoints(x1_, y1_, twips, y2_); }
    void setY2(double twips) { setPoints(x1_, y1_, x2_, twips); }
    void setPoints(double x1, double y1, double x2, double y2);

    draw::OleColour BorderColor() const { return borderColor_; }
    void setBorderColor(draw::OleColour colour);

    void paint(draw::Surface& surface, draw::Point origin) const override;
    draw::Rect paintBounds(draw::Point origin) const override;

private:
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    draw::OleColour borderColor_ = draw::systemOleColour(draw::syscolour::WindowText);
};

} // namespace forms
