// FlairButton: the four painters in each style, the latched checkerboard, the layout of the parts
// and the composite paint of surface and parts.

#include "controls/flairbutton/FlairButton.h"

#include <algorithm>
#include <cmath>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace flair {

namespace {

using draw::oleRgb;
using draw::systemOleColour;

constexpr draw::OleColour kShadow = systemOleColour(draw::syscolour::ButtonShadow);
constexpr draw::OleColour kHighlight3D = systemOleColour(draw::syscolour::ButtonHighlight);
constexpr draw::OleColour kHighlightText = systemOleColour(draw::syscolour::HighlightText);
constexpr draw::OleColour kGrayText = systemOleColour(draw::syscolour::GrayText);
// The XP look's fills (pointer over, held down, latched) and its frame.
constexpr draw::OleColour kXPOver = oleRgb(182, 189, 210);
constexpr draw::OleColour kXPDown = oleRgb(133, 146, 181);
constexpr draw::OleColour kXPPressed = oleRgb(212, 213, 216);
constexpr draw::OleColour kXPFrame = oleRgb(10, 36, 106);
// Twips: one pixel at 96 dpi, the parts' margins and the pressed offset.
constexpr int kPixel = 15;
constexpr double kMargin = 30;
constexpr double kDetailMargin = 60;
constexpr double kCaptionGap = 60;
constexpr double kCaptionLeft = 45;

// VB's integer division: both sides rounded to whole numbers first, the quotient truncated.
int integerHalf(double twips) { return lang::roundHalfEven(std::fabs(twips)) / 2; }

} // namespace

int FlairButton::twipsWidth() const { return lang::roundHalfEven(scaleWidth() * twipsPerPixelX()); }
int FlairButton::twipsHeight() const { return lang::roundHalfEven(scaleHeight() * twipsPerPixelY()); }

void FlairButton::Refresh() { repaint(); }

void FlairButton::repaint()
{
    switch (state_) {
    case enmButtonStateOver:
        PaintOver();
        break;
    case enmButtonStateDown:
    case enmButtonStateUnPressed:
        PaintDown();
        break;
    case enmButtonStatePressed:
        PaintPressed();
        break;
    case enmButtonStateNormal:
    case enmButtonStateDisabled:
        PaintNormal();
        break;
    }
}

void FlairButton::clearSurface()
{
    draw::Surface& surface = canvas();
    surface.resetClip();
    surface.fill(draw::resolveColour(surfaceBack_));
    invalidate();
}

void FlairButton::setLabelColour(draw::OleColour colour)
{
    lbl_.setForeColor(colour);
    lblRight_.setForeColor(colour);
}

void FlairButton::keepDisabledLook()
{
    // Whatever repainted a disabled button (a colour, a style, the host's Refresh), its texts stay
    // grey for as long as it is disabled.
    if (state_ == enmButtonStateDisabled)
        setLabelColour(kGrayText);
}

void FlairButton::PaintNormal()
{
    if (isXP()) {
        setLabelColour(ForeColor());
        surfaceBack_ = BackColor();
    }
    clearSurface();
    if (style_ == enmButtonStyleSeperator)
        drawSeparator();
    keepDisabledLook();
}

void FlairButton::PaintOver()
{
    if (isXP()) {
        surfaceBack_ = kXPOver;
        setLabelColour(ForeColor());
    }
    clearSurface();
    if (style_ == enmButtonStyleSeperator)
        drawSeparator();
    else if (isFlat())
        drawEdges(false);
    else if (isXP())
        drawXPFrame();
    keepDisabledLook();
}

void FlairButton::PaintDown()
{
    if (isXP()) {
        surfaceBack_ = kXPDown;
        setLabelColour(kHighlightText);
    }
    clearSurface();
    if (style_ == enmButtonStyleSeperator)
        drawSeparator();
    else if (isFlat())
        drawEdges(true);
    else if (isXP())
        drawXPFrame();
    keepDisabledLook();
}

void FlairButton::PaintPressed()
{
    if (isXP()) {
        surfaceBack_ = kXPPressed;
        setLabelColour(ForeColor());
    }
    clearSurface();
    if (style_ == enmButtonStyleSeperator) {
        drawSeparator();
    } else if (isFlat()) {
        drawEdges(true);
        DitherChecked();
    } else if (isXP()) {
        drawXPFrame();
    }
    keepDisabledLook();
}

void FlairButton::drawSeparator()
{
    draw::Surface& s = canvas();
    const int h = pixelsY(twipsHeight() - kPixel);
    s.line({0, 0}, {0, h}, draw::resolveColour(kShadow));
    s.line({pixelsX(kPixel), 0}, {pixelsX(kPixel), h}, draw::resolveColour(kHighlight3D));
}

void FlairButton::drawEdges(bool sunken)
{
    draw::Surface& s = canvas();
    const draw::Rgb light = draw::resolveColour(sunken ? kShadow : kHighlight3D);
    const draw::Rgb dark = draw::resolveColour(sunken ? kHighlight3D : kShadow);
    const int w = pixelsX(twipsWidth());
    const int right = pixelsX(twipsWidth() - kPixel);
    const int h = pixelsY(twipsHeight() - kPixel);
    s.line({0, h}, {0, 0}, light);
    s.line({0, 0}, {w, 0}, light);
    s.line({0, h}, {w, h}, dark);
    s.line({right, 0}, {right, h}, dark);
}

void FlairButton::drawXPFrame()
{
    // The outline includes both corners given.
    const int right = pixelsX(twipsWidth() - kPixel);
    const int bottom = pixelsY(twipsHeight() - kPixel);
    canvas().frameRect({0, 0, right + 1, bottom + 1}, draw::resolveColour(kXPFrame));
}

void FlairButton::DitherChecked()
{
    const int perPixelX = std::max(lang::roundHalfEven(twipsPerPixelX()), 1);
    const int perPixelY = std::max(lang::roundHalfEven(twipsPerPixelY()), 1);
    const int w = twipsWidth();
    const int h = twipsHeight() - kPixel;
    const int left = 30 / perPixelX;
    const int top = 30 / perPixelY;
    const int right = (w - 45) / perPixelX;
    const int bottom = (h - 30) / perPixelY;

    // The caption and the picture stand on the surface as the screen shows it; only the pixels
    // that show the plain background turn white.
    const draw::Surface shown = composed();
    const std::optional<draw::Rgb> reference = shown.pixel(2, 2);
    if (!reference)
        return;
    draw::Surface& s = canvas();
    for (int y = top; y <= bottom; ++y) {
        for (int x = left + (y - top) % 2; x <= right; x += 2) {
            if (shown.pixel(x, y) == reference)
                s.setPixel(x, y, draw::white);
        }
    }
}

void FlairButton::Layout()
{
    const double H = twipsHeight();
    const double t = std::max(integerHalf(H - lbl_.Height()), static_cast<int>(kMargin));
    lbl_.setTop(t);
    lblRight_.setTop(t);
    placeDetail();
    const double ti = std::max(integerHalf(H - img_.Height()), static_cast<int>(kMargin));
    img_.move(kMargin, ti, img_.Width(), img_.Height());
}

void FlairButton::placeDetail()
{
    lblRight_.setLeft(twipsWidth() - lblRight_.Width() - kDetailMargin);
    lblRight_.setVisible(lbl_.Left() + lbl_.Width() < lblRight_.Left());
}

void FlairButton::placeCaption()
{
    if (!imageList_ || image_ == 0)
        lbl_.setLeft(kCaptionLeft);
    else
        lbl_.setLeft(img_.Left() + img_.Width() + kCaptionGap);
}

void FlairButton::shiftParts(double by)
{
    for (forms::Control* part : {static_cast<forms::Control*>(&lbl_), static_cast<forms::Control*>(&lblRight_),
                                 static_cast<forms::Control*>(&img_)})
        part->move(part->Left() + by, part->Top() + by, part->Width(), part->Height());
}

void FlairButton::onResize()
{
    Layout();
    repaint();
}

draw::Surface FlairButton::composed() const
{
    draw::Surface surface = image();
    for (const forms::Control* part : {static_cast<const forms::Control*>(&img_),
                                       static_cast<const forms::Control*>(&lbl_),
                                       static_cast<const forms::Control*>(&lblRight_)})
        if (part->Visible())
            part->paint(surface, {0, 0});
    return surface;
}

void FlairButton::paint(draw::Surface& surface, draw::Point origin) const
{
    UserControl::paint(surface, origin);
    const draw::Rect box = pixelBounds(origin);
    const draw::Rect outer = surface.clip();
    const draw::Rect clip = box.intersected(outer);
    if (clip.empty())
        return;
    surface.setClip(clip);
    for (const forms::Control* part : {static_cast<const forms::Control*>(&img_),
                                       static_cast<const forms::Control*>(&lbl_),
                                       static_cast<const forms::Control*>(&lblRight_)})
        if (part->Visible())
            part->paint(surface, {box.left, box.top});
    surface.setClip(outer);
}

} // namespace flair
