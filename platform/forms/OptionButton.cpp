#include "platform/forms/OptionButton.h"

#include <array>

#include "platform/forms/Form.h"

namespace forms {

namespace {

constexpr int kWell = 12;
constexpr int kCaptionGap = 4;

// The classic round well: 'o' the outer ring, 'i' the inner ring, 'w' the inside, '#' the dot
// (inside, when selected).
constexpr std::array<const char*, kWell> kWellShape = {
    "....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.", "oiwww##wwwio", "oiww####wwio",
    "oiww####wwio", "oiwww##wwwio", ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo....",
};

} // namespace

void OptionButton::setValue(bool value)
{
    if (value_ == value)
        return;
    value_ = value;
    invalidate();
    if (!value)
        return;
    for (const auto& control : parent().controls()) {
        auto* sibling = dynamic_cast<OptionButton*>(control.get());
        if (sibling && sibling != this && sibling->Container() == Container() && sibling->value_) {
            sibling->value_ = false;
            sibling->invalidate();
        }
    }
    raiseClick();
}

void OptionButton::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    surface.fillRect(box, draw::resolveColour(BackColor()));

    const int left = box.left;
    const int top = box.top + (box.height() - kWell) / 2;
    for (int y = 0; y < kWell; ++y) {
        for (int x = 0; x < kWell; ++x) {
            // The rings are shaded above the diagonal from bottom-left to top-right and lit below it.
            const bool upperLeft = x + y < kWell - 1;
            int colour = -1;
            switch (kWellShape[y][x]) {
            case 'o':
                colour = upperLeft ? ButtonShadow : ButtonHighlight;
                break;
            case 'i':
                colour = upperLeft ? DarkShadow3D : Light3D;
                break;
            case 'w':
                colour = Enabled() ? Window : ButtonFace;
                break;
            case '#':
                colour = value_ ? (Enabled() ? WindowText : GrayText) : (Enabled() ? Window : ButtonFace);
                break;
            default:
                break;
            }
            if (colour >= 0)
                surface.setPixel(left + x, top + y, draw::systemColour(colour));
        }
    }

    const std::vector<ShownLine> lines = shownLines(true, std::nullopt);
    const fonts::TextLayout measure = layout();
    const int textTop = box.top + (box.height() - static_cast<int>(lines.size()) * measure.lineHeight()) / 2;
    int y = textTop;
    for (const ShownLine& line : lines) {
        drawLine(surface, left + kWell + kCaptionGap, y, line, draw::resolveColour(ForeColor()), !Enabled());
        y += measure.lineHeight();
    }
    drawCaptionFocus(surface, left + kWell + kCaptionGap, textTop, lines);
}

} // namespace forms
