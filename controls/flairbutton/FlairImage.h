#pragma once
// The picture part of a FlairButton: a windowless image that sizes itself to its picture when
// given one (an image control that does not stretch) and draws it unscaled from its top-left
// corner, leaving out the pixels of a mask colour when its image list asks for that, so that the
// button's background shows around the picture.

#include <optional>

#include "platform/draw/Surface.h"
#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"

namespace flair {

class FlairImage final : public forms::Control {
public:
    using Control::Control;

    const forms::PictureRef& Picture() const { return picture_; }
    std::optional<draw::Rgb> maskColour() const { return mask_; }
    // Shows the picture and takes its size (in twips at the screen's DPI); a null picture draws
    // nothing and leaves the size.
    void setPicture(forms::PictureRef picture, std::optional<draw::Rgb> mask);

    void paint(draw::Surface& surface, draw::Point origin) const override;

private:
    forms::PictureRef picture_;
    std::optional<draw::Rgb> mask_;
};

} // namespace flair
