#pragma once
// A check box (VB's CheckBox). As in VB, a change of Value, by the user or by code, raises Click.
//
// Painted in the classic look on BackColor: a 13-pixel square with a sunken 3D edge at the left,
// centred vertically, white inside (3D face when grayed or disabled), its check mark in the
// window text colour (grey when grayed or disabled); the caption ("&" prefixes processed) four
// pixels to the right of the square, in ForeColor, embossed grey when disabled, framed by a dotted
// focus frame while the box is its form's ActiveControl.

#include "platform/forms/CaptionedControl.h"

namespace forms {

class CheckBox : public CaptionedControl {
public:
    static constexpr int vbUnchecked = 0;
    static constexpr int vbChecked = 1;
    static constexpr int vbGrayed = 2;

    using CaptionedControl::CaptionedControl;
    int Value() const { return value_; }
    // Throws platform::Failure (invalid property value) outside 0..2.
    void setValue(int value);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    // The user's click checks an unchecked box and clears a checked or grayed one.
    void onUserClick() override;

private:
    int value_ = vbUnchecked;
};

} // namespace forms
