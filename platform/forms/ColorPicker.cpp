#include "platform/forms/ColorPicker.h"

#include <algorithm>

namespace forms {

namespace {

constexpr int kEdge = 2;
constexpr int kButtonWidth = 16;
constexpr int kSwatchInset = 2;
constexpr int kArrowWidth = 7;

} // namespace

void ColorPicker::setColor(draw::OleColour colour)
{
    if (color_ == colour)
        return;
    color_ = colour;
    invalidate();
    if (Change)
        Change();
}

void ColorPicker::userPickColour(draw::OleColour colour)
{
    if (reactsToUser())
        setColor(colour);
}

void ColorPicker::onUserClick()
{
    raiseClick();
    if (!dialog_)
        return;
    if (const std::optional<draw::OleColour> chosen = dialog_(dialogTitle_, color_))
        userPickColour(*chosen);
}

draw::Rect ColorPicker::swatchBounds(const draw::Rect& box)
{
    const int inset = kEdge + kSwatchInset;
    return {box.left + inset, box.top + inset, std::max(box.right - kEdge - kButtonWidth - kSwatchInset, box.left + inset),
            box.bottom - inset};
}

void ColorPicker::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    surface.fillRect(box, draw::systemColour(Window));
    const draw::Rect inner{box.left + kEdge, box.top + kEdge, box.right - kEdge, box.bottom - kEdge};

    const draw::Rect swatch = swatchBounds(box);
    surface.fillRect(swatch, draw::resolveColour(color_));
    surface.frameRect(swatch, draw::systemColour(Enabled() ? WindowText : GrayText));

    const draw::Rect button{std::max(inner.right - kButtonWidth, inner.left), inner.top, inner.right, inner.bottom};
    surface.fillRect(button, draw::systemColour(ButtonFace));
    surface.fillRect({button.left, button.bottom - 1, button.right, button.bottom}, draw::systemColour(DarkShadow3D));
    surface.fillRect({button.right - 1, button.top, button.right, button.bottom}, draw::systemColour(DarkShadow3D));
    surface.fillRect({button.left, button.top, button.right - 1, button.top + 1}, draw::systemColour(ButtonHighlight));
    surface.fillRect({button.left, button.top, button.left + 1, button.bottom - 1}, draw::systemColour(ButtonHighlight));
    const draw::Rgb arrow = draw::systemColour(Enabled() ? WindowText : GrayText);
    const int arrowLeft = button.left + (button.width() - kArrowWidth) / 2;
    const int arrowTop = button.top + (button.height() - 4) / 2;
    for (int row = 0; row < 4; ++row)
        surface.fillRect(draw::Rect::ofSize(arrowLeft + row, arrowTop + row, kArrowWidth - 2 * row, 1), arrow);

    // The edge last, so that a box too small for the button still shows its border.
    surface.fillRect({box.left, box.top, box.right - 1, box.top + 1}, draw::systemColour(ButtonShadow));
    surface.fillRect({box.left, box.top, box.left + 1, box.bottom - 1}, draw::systemColour(ButtonShadow));
    surface.fillRect({box.left, box.bottom - 1, box.right, box.bottom}, draw::systemColour(ButtonHighlight));
    surface.fillRect({box.right - 1, box.top, box.right, box.bottom}, draw::systemColour(ButtonHighlight));
    surface.fillRect({box.left + 1, box.top + 1, box.right - 2, box.top + 2}, draw::systemColour(DarkShadow3D));
    surface.fillRect({box.left + 1, box.top + 1, box.left + 2, box.bottom - 2}, draw::systemColour(DarkShadow3D));
    surface.fillRect({box.left + 1, box.bottom - 2, box.right - 1, box.bottom - 1}, draw::systemColour(Light3D));
    surface.fillRect({box.right - 2, box.top + 1, box.right - 1, box.bottom - 1}, draw::systemColour(Light3D));
}

} // namespace forms
