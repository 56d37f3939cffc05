#pragma once
// A plain container (the popup's bands): it paints its box in BackColor, and the controls whose
// Container it is are placed relative to its top-left corner, drawn above it and cut off at its
// edges.

#include "platform/forms/Control.h"

namespace forms {

class Panel : public Control {
public:
    using Control::Control;

    void paint(draw::Surface& surface, draw::Point origin) const override;
};

} // namespace forms
