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
// The focus among a form's text and list boxes is kept here, as a container keeps it: a press on
// another one asks the focused one to let go (its Validate may refuse), and the keys typed in the
// form's window go to the focused one (KeyDown with its own action and KeyPress, then KeyUp). All
// for as long as the object lives.
// Does not (yet): the Tab order, access keys, default and cancel buttons, or keys for user controls.

#include <cstdint>
#include <optional>

#include "platform/forms/Form.h"
#include "platform/forms/InputControl.h"
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
    // The text or list box with the focus, with its form's window.
    WindowHandle focusWindow_ = NoWindow;
    forms::InputControl* focused_ = nullptr;
};

} // namespace platform::win32
