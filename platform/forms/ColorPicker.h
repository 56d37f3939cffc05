#pragma once
// A colour picker (the ColorPickerCtl control): a box showing one OLE colour, with a drop-down
// button that opens a colour dialog captioned DialogTitle.
//
// Change is raised whenever Color changes, by code or by the user's pick; assigning the colour it
// already holds raises nothing. Any OLE colour is taken, system colours included.
//
// The dialog itself is the host's (setDialog: the system's colour dialog on Windows); a user's
// click on the control opens it with DialogTitle and the current colour, and the colour chosen
// with OK is the user's pick. Without a dialog a click opens nothing (the scenario runner picks
// with userPickColour).
//
// Painted in the classic look: a sunken two-pixel 3D edge around the window colour, the colour as
// a swatch two pixels inside the edge up to the drop-down button, with a one-pixel frame in the
// window text colour (grey when disabled), and the button (16 pixels wide, raised edge, a black
// arrow of 7, 5, 3 and 1 pixels, grey when disabled) at the right.

#include <functional>
#include <optional>
#include <string>

#include "platform/forms/Control.h"

namespace forms {

class ColorPicker : public Control {
public:
    using Control::Control;

    draw::OleColour Color() const { return color_; }
    void setColor(draw::OleColour colour);
    const std::string& DialogTitle() const { return dialogTitle_; }
    void setDialogTitle(std::string title) { dialogTitle_ = std::move(title); }

    std::function<void()> Change;

    // The colour dialog: given the title and the colour it opens with, the colour the user chose,
    // or nullopt when the user cancelled.
    using Dialog = std::function<std::optional<draw::OleColour>(const std::string& title, draw::OleColour current)>;
    void setDialog(Dialog dialog) { dialog_ = std::move(dialog); }

    // The user picks a colour in the dialog and presses OK. Ignored when the control does not
    // react to the user.
    void userPickColour(draw::OleColour colour);

    // The swatch's box in pixels for the control's box.
    static draw::Rect swatchBounds(const draw::Rect& box);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void onUserClick() override;

private:
    draw::OleColour color_ = 0xFFFFFF;
    std::string dialogTitle_;
    Dialog dialog_;
};

} // namespace forms
