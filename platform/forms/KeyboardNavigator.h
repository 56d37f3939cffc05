#pragma once
// The keyboard of a form, as a Windows dialog has it: Tab and Shift+Tab move the focus through the
// controls, access keys act on the control whose caption names them, the arrow keys move among the
// option buttons of a group, Space presses a focused button, and every other key goes to the
// control with the focus. The container hands it each key pressed and released in the form's
// window (the scenario runner, a test, a platform's window procedure); it keeps no state of its
// own, so one may be made for each key: the control with the focus is the form's ActiveControl.
//
// Taking the focus: text and list boxes, command buttons, check boxes, option buttons, sliders, tab
// strips, colour pickers and user controls can have it; labels, frames, panels, pictures and lines
// cannot. A control takes it only while it reacts to the user (it, its containers and its form are
// visible and enabled: a control on a tab that is not current takes none).
//
// Tab order: the order in which the form adds its controls, whatever their containers, as VB gives
// TabIndex in creation order. Tab stops at the controls that can take the focus and have TabStop
// on; of a group of option buttons (the same container) only at the selected one, or at the group's
// first when none is selected. Tab goes to the next stop after the control with the focus, wrapping
// round; Shift+Tab to the one before; when no control has the focus, to the first or the last.
// Tab and Shift+Tab never reach a control's KeyDown. A form inside another window's dialog (the
// options page in Outlook's) is worked with Wrap::Stop: Tab from the last stop and Shift+Tab from
// the first are then not taken, for the dialog to move its own focus on.
//
// Moving the focus (Tab, an access key, an arrow key, a click in a text or list box) always goes the
// same way: the control that has it lets go first (a text or list box raises Validate, whose Cancel
// keeps the focus where it was, then LostFocus; a user control gets lostFocus), then the new one
// takes it (GotFocus; a user control gets gotFocus).
//
// Access keys: the letter underlined in a caption ("&Open": O; "&&" shows one "&"), or one of a
// user control's AccessKeys; letters and digits, compared without regard to case. Alt with the key,
// or the key alone (with or without Shift) while the control with the focus takes no characters (is
// not a text or list box), acts on the first control after the focused one, in creation order
// wrapping round, that reacts to the user and has that access key: a label (with UseMnemonic) or a
// frame moves the focus to the next control after it that can take it; a command button, check box
// or option button takes the focus and is pressed (Click: the check box toggles, the option button
// is selected); a user control takes the focus and gets accessKeyPress. A key that no control has
// as its access key goes to the control with the focus like any other key.
//
// No control has a Default or Cancel property here: Enter and Esc go to the control with the focus
// (the list editor's box takes Enter itself).
//
// Keys for the control with the focus: a text or list box gets KeyDown, its own action and
// KeyPress (InputControl::userKeyDown) and, at release, KeyUp; a user control gets keyDown, keyPress
// for a key that types a character and keyUp; a slider moves with its keys (Slider::userKey); a tab
// strip goes to the tab left or right with the arrow keys; a command button, check box or option
// button is pressed by Space.

#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Control.h"

namespace forms {

class Form;

class KeyboardNavigator {
public:
    enum class Wrap { Round, Stop };

    explicit KeyboardNavigator(Form& form, Wrap wrap = Wrap::Round) : form_(form), wrap_(wrap) {}

    // A key pressed in the form's window (key code and the Shift mask of InputControl). Returns
    // whether anything took it: a dialog key, or the control with the focus.
    bool keyDown(int keyCode, int shift);
    // The key released: to the control with the focus. Returns whether one had it.
    bool keyUp(int keyCode, int shift);

    // Moves the focus to `control` as the user does; false when the control cannot take it (see
    // above) or the one that has it keeps it.
    bool moveFocus(Control& control);
    // Tab (forwards) or Shift+Tab; false when no control is a tab stop, or with Wrap::Stop when
    // the focus would wrap round.
    bool tab(bool backwards);
    // The access key `key` (a letter or digit, either case); false when no control has it.
    bool accessKey(char key);

    // The tab stops as they are now, in tab order.
    std::vector<Control*> tabStops() const;
    // Whether the control can take the focus now.
    static bool takesFocus(const Control& control);
    // The access key a caption underlines, upper-cased; 0 when it has none that is a letter or digit.
    static char captionAccessKey(std::string_view caption);
    // Every access key of the controls that react to the user now (upper-case, each once, in
    // creation order):
    // what a container must route to the form (an ActiveX control's accelerator table).
    std::string accessKeys() const;

private:
    bool isTabStop(const Control& control) const;
    // The control's access key matches `key` (upper-case).
    static bool hasAccessKey(const Control& control, char key);
    // The first control after `from` in creation order (from the start without one), wrapping
    // round, that `wanted` accepts; nullptr when none does. `from` itself comes last.
    template <class Wanted>
    Control* nextAfter(const Control* from, bool backwards, Wanted wanted) const;
    bool actOnAccessKey(Control& control);
    bool moveAmongOptions(Control& current, bool backwards);
    bool keyForFocused(Control& control, int keyCode, int shift);

    Form& form_;
    Wrap wrap_;
};

} // namespace forms
