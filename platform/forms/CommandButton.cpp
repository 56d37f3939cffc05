#include "platform/forms/CommandButton.h"

namespace forms {

namespace {

constexpr int kFocusInset = 4;

} // namespace

void CommandButton::paint(draw::Surface& surface, draw::Point origin) const
{
    using draw::syscolour::ButtonHighlight, draw::syscolour::DarkShadow3D, draw::syscolour::Light3D,
        draw::syscolour::ButtonShadow;
    const draw::Rect box = pixelBounds(origin);
    surface.fillRect(box, draw::resolveColour(BackColor()));
    drawEdge(surface, box, draw::systemColour(ButtonHighlight), draw::systemColour(DarkShadow3D),
             draw::systemColour(Light3D), draw::systemColour(ButtonShadow));

    const std::vector<ShownLine> lines = shownLines(true, std::nullopt);
    const int textHeight = static_cast<int>(lines.size()) * layout().lineHeight();
    drawCentredLines(surface, box.left, box.right, box.top + (box.height() - textHeight) / 2, lines,
                     draw::resolveColour(ForeColor()), !Enabled());
    if (isActiveControl())
        surface.drawFocusRect({box.left + kFocusInset, box.top + kFocusInset, box.right - kFocusInset,
                               box.bottom - kFocusInset});
}

} // namespace forms
