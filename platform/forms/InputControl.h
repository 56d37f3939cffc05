#pragma once
// A control that takes the keyboard focus and the keys typed into it (the text box and the list
// box): VB's focus events, its key events and its mouse-button events, and the input entry points
// through which the container (the scenario runner, a test, a platform's window procedure) hands
// it the user's actions.
//
// Focus is the control's own: giving it to one control does not take it from another, because the
// container decides when the focus leaves (the scenario runner only through userBlur, the form's
// keyboard navigator and a platform's window procedure through KeyboardNavigator::moveFocus).
// Taking it makes the control its form's ActiveControl. Losing it raises Validate, whose handler
// may cancel (the focus then stays), and then LostFocus.
//
// A key goes as Windows delivers it: KeyDown with the key code and the modifier mask; unless the
// handler zeroed the key code the control acts on the key itself (a text box moves its caret);
// then, for a key that types a character, KeyPress with KeyAscii, which the handler may zero to
// swallow the character before the control takes it; finally, at release, KeyUp. Zeroing the key
// code in KeyDown does not stop the character: it was already produced when KeyDown ran.
//
// User input reaches the control only while it reacts to the user (Control::reactsToUser). A key
// press, a mouse press and the entry points of the controls built on these give the control the
// focus first, as a click or a key press in it would; releases only reach it.

#include <functional>

#include "platform/forms/CaptionedControl.h"

namespace forms {

class InputControl : public CaptionedControl {
public:
    // Modifier masks of the Shift arguments, and mouse buttons.
    static constexpr int vbShiftMask = 1;
    static constexpr int vbCtrlMask = 2;
    static constexpr int vbAltMask = 4;
    static constexpr int vbLeftButton = 1;
    static constexpr int vbRightButton = 2;
    static constexpr int vbMiddleButton = 4;

    // Key codes (Windows virtual keys) that the controls act on.
    static constexpr int vbKeyBack = 8;
    static constexpr int vbKeyTab = 9;
    static constexpr int vbKeyReturn = 13;
    static constexpr int vbKeyEscape = 27;
    static constexpr int vbKeySpace = 32;
    static constexpr int vbKeyPageUp = 33;
    static constexpr int vbKeyPageDown = 34;
    static constexpr int vbKeyEnd = 35;
    static constexpr int vbKeyHome = 36;
    static constexpr int vbKeyLeft = 37;
    static constexpr int vbKeyUp = 38;
    static constexpr int vbKeyRight = 39;
    static constexpr int vbKeyDown = 40;
    static constexpr int vbKeyDelete = 46;

    using CaptionedControl::CaptionedControl;

    bool hasFocus() const { return focused_; }
    // VB's SetFocus. Throws platform::Failure (5, invalid procedure call) when the control cannot
    // take the focus: it, a container or its form is hidden or disabled.
    void SetFocus();

    // The character a key types on a US keyboard without Caps Lock, as KeyPress reports it: 0
    // for keys that type none (modifiers, arrows, function keys, anything with Alt). Ctrl with a
    // letter gives its control character (Ctrl+A 1), Ctrl+Enter 10.
    static int keyAscii(int keyCode, int shift);

    std::function<void()> GotFocus;
    std::function<void(bool& Cancel)> Validate;
    std::function<void()> LostFocus;
    std::function<void(int& KeyCode, int Shift)> KeyDown;
    std::function<void(int& KeyAscii)> KeyPress;
    std::function<void(int& KeyCode, int Shift)> KeyUp;
    // X and Y in twips from the control's top-left corner.
    std::function<void(int Button, int Shift, double X, double Y)> MouseDown;
    std::function<void(int Button, int Shift, double X, double Y)> MouseUp;

    // The user moves the focus into the control; GotFocus when it did not have it.
    void userFocus();
    // The focus leaves the control: Validate, then (unless cancelled) LostFocus. Returns whether
    // the focus left; false too when the control did not have it.
    bool userBlur();
    // A key pressed (KeyDown, the control's own action, KeyPress) and released (KeyUp); the two
    // halves separately for keys held while others are pressed.
    void userKey(int keyCode, int shift);
    void userKeyDown(int keyCode, int shift);
    void userKeyUp(int keyCode, int shift);
    void userEnter() { userKey(vbKeyReturn, 0); }
    // A mouse button pressed or released at (x, y) pixels of the control.
    void userMouseDown(int button = vbLeftButton, int shift = 0, int x = 0, int y = 0);
    void userMouseUp(int button = vbLeftButton, int shift = 0, int x = 0, int y = 0);

protected:
    // The control's own response to a key whose KeyDown was not swallowed.
    virtual void onKeyDown(int /*keyCode*/, int /*shift*/) {}
    // The control's own response to a typed character that KeyPress let through.
    virtual void onKeyChar(int /*keyAscii*/) {}
    // Gives the focus when the control reacts to the user; false when it does not.
    bool takeFocusFromUser();
    // The sunken well of text and list boxes: BackColor inside a two-pixel 3D client edge. Returns
    // the area inside the edge, which becomes the surface's clip.
    draw::Rect paintSunkenWell(draw::Surface& surface, const draw::Rect& box) const;
    static constexpr int kSunkenEdge = 2;

private:
    void gainFocus();

    bool focused_ = false;
};

} // namespace forms
