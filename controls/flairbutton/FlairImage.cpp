#include "controls/flairbutton/FlairImage.h"

#include <utility>

namespace flair {

void FlairImage::setPicture(forms::PictureRef picture, std::optional<draw::Rgb> mask)
{
    picture_ = std::move(picture);
    mask_ = mask;
    if (picture_)
        move(Left(), Top(), twipsX(picture_->image.width()), twipsY(picture_->image.height()));
    invalidate();
}

void FlairImage::paint(draw::Surface& surface, draw::Point origin) const
{
    if (!picture_)
        return;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rect outer = surface.clip();
    const draw::Rect clip = box.intersected(outer);
    if (clip.empty())
        return;
    surface.setClip(clip);
    if (mask_)
        surface.drawPicture(picture_->image, box.left, box.top, *mask_);
    else
        surface.drawPicture(picture_->image, box.left, box.top);
    surface.setClip(outer);
}

} // namespace flair
