#pragma once
// Forms shown on real windows.
//
// Implements: the link between the forms runtime and the Win32 desktop. Forms already create
// their windows through the Desktop seam; this paints each loaded form's window with the form's
// own rendering (Form::render, the same painters as in the simulated world) on WM_PAINT, turns a
// form's repaint request into InvalidateRect, and routes the mouse: a button going down over a
// shown control captures the mouse for it until the last button is up; user controls get their
// mouse down, move and up in their own pixels, text and list boxes their mouse down and up (which
// gives them the focus), other controls a click when the left button goes down and up over them.
// The keyboard goes to the form's KeyboardNavigator: Tab and Shift+Tab, access keys (Alt with the
// key, WM_SYSKEYDOWN; its WM_SYSCHAR is then swallowed so that Windows does not beep for a menu the
// window lacks), arrow keys among option buttons and Space on buttons; every other key goes to the
// control with the focus (a text or list box: KeyDown with its own action and KeyPress, then KeyUp;
// a user control its keys), and a key nobody takes goes on to DefWindowProc.
// A press in a text or list box moves the focus there the same way as Tab (the focused control's
// Validate may refuse, and the press is then lost). Nothing here activates a window or calls
// SetFocus: a form that appears without taking the focus (the popup) gets no keys until the user
// activates it. All for as long as the object lives.
// Does not (yet): default and cancel buttons (the forms have none).

#include <cstdint>
#include <optional>

#include "platform/forms/Form.h"
#include "platform/win32/Win32Desktop.h"

namespace platform::win32 {

class FormWindows {
public:
    FormWindows(forms::FormsHost& host, Win32Desktop& desktop);
    ~FormWindows();
    FormWindows(const FormWindows&) = delete;
    FormWindows& operator=(const FormWindows&) = delete;

    // The loaded form whose window this is, or nullptr.
    forms::Form* formOf(WindowHandle window) const;

private:
    std::optional<std::intptr_t> onMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam);

    forms::FormsHost& host_;
    Win32Desktop& desktop_;
    // The control holding the mouse (a button went down over it), and the one a left click began on.
    WindowHandle captureWindow_ = NoWindow;
    forms::Control* captured_ = nullptr;
    forms::Control* pressed_ = nullptr;
    // The last WM_SYSKEYDOWN was taken, so the WM_SYSCHAR that TranslateMessage makes of it is ours.
    bool sysKeyTaken_ = false;
};

} // namespace platform::win32
