#pragma once
// A captioned container (VB's Frame): the controls whose Container it is are placed relative to
// its top-left corner, drawn above it and cut off at its edges, and take the user's input only
// while it is visible and enabled. It groups option buttons.
//
// Painted in the classic look: BackColor over the box, an etched frame (a grey line with a white
// one a pixel inside, below and to the right) from half the caption's line height down, and the
// caption ("&" prefixes processed) at the top, eight pixels from the left, on BackColor that breaks
// the frame's top line; in ForeColor, embossed grey when disabled. Without a caption the top line
// is whole.

#include "platform/forms/CaptionedControl.h"

namespace forms {

class Frame : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    void paint(draw::Surface& surface, draw::Point origin) const override;
};

} // namespace forms
