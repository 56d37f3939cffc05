#pragma once
// Forms shown on real windows.
//
// Implements: the link between the forms runtime and the Win32 desktop. Forms already create
// their windows through the Desktop seam; this paints each loaded form's window with the form's
// own rendering (Form::render, the same painters as in the simulated world) on WM_PAINT, and turns
// a form's repaint request into InvalidateRect, for as long as the object lives.
// Does not (yet): route mouse, keyboard, focus and capture into the forms runtime.

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
    forms::FormsHost& host_;
    Win32Desktop& desktop_;
};

} // namespace platform::win32
