#pragma once
// An option button (VB's OptionButton). The option buttons with the same container (the same
// frame, say, or the form itself) form one group in which at most one is selected.
//
// Setting Value to True, by code or by the user's click, selects the button: every other button
// of its group is cleared, without an event of its own, and Click is raised. Selecting the button
// that is already selected, or clearing one, raises nothing.
//
// Painted in the classic look on BackColor: a 12-pixel round well at the left, centred
// vertically, its upper-left half shaded and its lower-right half lit, white inside (3D face when
// disabled), with a 4-pixel dot when selected (grey when disabled); the caption ("&" prefixes
// processed) four pixels to the right of the well, in ForeColor, embossed grey when disabled, framed
// by a dotted focus frame while the button is its form's ActiveControl.

#include "platform/forms/CaptionedControl.h"

namespace forms {

class OptionButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    bool Value() const { return value_; }
    void setValue(bool value);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void onUserClick() override { setValue(true); }

private:
    bool value_ = false;
};

} // namespace forms
