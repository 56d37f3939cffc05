#include "platform/forms/PictureBox.h"

#include <utility>

namespace forms {

void PictureBox::setPicture(draw::Surface picture)
{
    if (picture_ && *picture_ == picture)
        return;
    picture_ = std::move(picture);
    invalidate();
}

void PictureBox::clearPicture()
{
    if (!picture_)
        return;
    picture_.reset();
    invalidate();
}

void PictureBox::paint(draw::Surface& surface, draw::Point origin) const
{
    const draw::Rect box = pixelBounds(origin);
    surface.fillRect(box, draw::resolveColour(BackColor()));
    if (picture_)
        surface.drawPicture(*picture_, box.left, box.top);
}

} // namespace forms
