#pragma once
// A picture that can be clicked (VB's PictureBox or Image): its box filled with BackColor and its
// picture, if it has one, drawn unscaled from the top-left corner and cut off at the box's edges.

#include <optional>

#include "platform/draw/Surface.h"
#include "platform/forms/Control.h"

namespace forms {

class PictureBox : public Control {
public:
    using Control::Control;

    // The picture, or nullptr when it has none.
    const draw::Surface* Picture() const { return picture_ ? &*picture_ : nullptr; }
    void setPicture(draw::Surface picture);
    void clearPicture();

    void paint(draw::Surface& surface, draw::Point origin) const override;

private:
    std::optional<draw::Surface> picture_;
};

} // namespace forms
