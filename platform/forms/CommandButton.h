#pragma once
// A push button (VB's CommandButton), painted in the classic look: a face in BackColor inside a
// raised two-pixel 3D edge, the caption ("&" prefixes processed) centred in ForeColor, embossed
// grey when disabled; while it is its form's ActiveControl, a dotted focus frame four pixels inside
// the box. No pressed state: the forms that need more use controls of their own.

#include "platform/forms/CaptionedControl.h"

namespace forms {

class CommandButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    void paint(draw::Surface& surface, draw::Point origin) const override;
};

} // namespace forms
