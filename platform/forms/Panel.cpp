#include "platform/forms/Panel.h"

namespace forms {

void Panel::paint(draw::Surface& surface, draw::Point origin) const
{
    surface.fillRect(pixelBounds(origin), draw::resolveColour(BackColor()));
}

} // namespace forms
