#include "platform/win32/FormWindows.h"

#include <windows.h>

#include "platform/forms/InputControl.h"
#include "platform/forms/KeyboardNavigator.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/UserControl.h"

namespace platform::win32 {

namespace {

bool inside(const draw::Rect& r, draw::Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The shown control under the point, the last made first (it is painted above the earlier ones).
forms::Control* controlAt(const forms::Form& form, draw::Point p)
{
    const auto& controls = form.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if ((*it)->shown() && inside((*it)->clientBounds(), p))
            return it->get();
    return nullptr;
}

int buttonsOf(std::uintptr_t wParam)
{
    return ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) | ((wParam & MK_MBUTTON) ? 4 : 0);
}

int shiftOf(std::uintptr_t wParam)
{
    return ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int keyShift()
{
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

FormWindows::FormWindows(forms::FormsHost& host, Win32Desktop& desktop) : host_(host), desktop_(desktop)
{
    desktop_.setPainter([this](WindowHandle window) -> std::optional<draw::Surface> {
        if (const forms::Form* form = formOf(window))
            return form->render();
        return std::nullopt;
    });
    desktop_.setMessageFilter([this](WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) { return onMessage(window, message, wParam, lParam); });
    host_.on_invalidate = [this](forms::Form& form) { desktop_.invalidate(form.hWnd()); };
}

FormWindows::~FormWindows()
{
    host_.on_invalidate = nullptr;
    desktop_.setMessageFilter(nullptr);
    desktop_.setPainter(nullptr);
}

forms::Form* FormWindows::formOf(WindowHandle window) const
{
    for (forms::Form* form : host_.forms())
        if (form->Loaded() && form->hWnd() == window)
            return form;
    return nullptr;
}

std::optional<std::intptr_t> FormWindows::onMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                                    std::intptr_t lParam)
{
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    if (message == WM_DESTROY) {
        // The window's controls stop receiving anything from here.
        if (window == captureWindow_) {
            captureWindow_ = NoWindow;
            captured_ = pressed_ = nullptr;
        }
        return std::nullopt;
    }
    if (message == WM_CAPTURECHANGED && window == captureWindow_) {
        captureWindow_ = NoWindow;
        captured_ = pressed_ = nullptr;
        return std::nullopt;
    }
    if (message == WM_SYSCHAR && sysKeyTaken_ && formOf(window)) {
        sysKeyTaken_ = false;
        return 0;
    }
    const bool key = message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!down && !up && !key && message != WM_MOUSEMOVE)
        return std::nullopt;
    forms::Form* form = formOf(window);
    if (!form)
        return std::nullopt;

    if (key) {
        // Characters come from the key itself (InputControl::keyAscii), so WM_CHAR is not used. A
        // key may unload the form (an access key presses OK): nothing of it is used afterwards.
        forms::KeyboardNavigator keyboard(*form);
        const int code = static_cast<int>(wParam);
        bool taken = false;
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            taken = keyboard.keyDown(code, keyShift());
            if (message == WM_SYSKEYDOWN)
                sysKeyTaken_ = taken;
        } else {
            taken = keyboard.keyUp(code, keyShift());
        }
        return taken ? std::optional<std::intptr_t>(0) : std::nullopt;
    }

    const draw::Point point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int shift = shiftOf(wParam);
    // The button that changed, for down and up; the buttons held, for a move.
    const int button = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? 1
                       : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? 2
                       : message == WM_MBUTTONDOWN || message == WM_MBUTTONUP ? 4
                                                                              : buttonsOf(wParam);
    forms::Control* target = captureWindow_ == window && captured_ ? captured_ : controlAt(*form, point);
    if (down && !captured_ && target) {
        captured_ = target;
        captureWindow_ = window;
        SetCapture(reinterpret_cast<HWND>(window));
    }
    if (down && button == 1)
        pressed_ = target;

    if (auto* input = dynamic_cast<forms::InputControl*>(target)) {
        const draw::Rect box = input->clientBounds();
        const int x = point.x - box.left, y = point.y - box.top;
        if (down) {
            // The focused control lets go first; its Validate may keep the focus, and the press is lost.
            if (forms::KeyboardNavigator(*form).moveFocus(*input)) {
                input->userMouseDown(button, shift, x, y);
                // A list box selects the row the left button went down on.
                if (auto* list = dynamic_cast<forms::ListBox*>(input); list && button == 1)
                    if (const int row = list->rowAt(point.y, box); row >= 0)
                        list->userSelect(row);
            }
        } else if (up) {
            input->userMouseUp(button, shift, x, y);
        }
    } else if (auto* user = dynamic_cast<forms::UserControl*>(target)) {
        const draw::Rect box = user->clientBounds();
        const int x = point.x - box.left, y = point.y - box.top;
        if (down)
            user->mouseDown(button, shift, x, y);
        else if (up)
            user->mouseUp(button, shift, x, y);
        else
            user->mouseMove(button, shift, x, y);
    } else if (auto* strip = dynamic_cast<forms::TabStrip*>(target)) {
        // A tab control turns to the tab pressed when the left button goes down, as Windows' does.
        if (down && button == 1) {
            const draw::Rect box = strip->clientBounds();
            const draw::Point inStrip{point.x - box.left, point.y - box.top};
            for (int tab = 0; tab < strip->Tabs(); ++tab)
                if (inside(strip->tabBounds(tab), inStrip)) {
                    strip->userClickTab(tab);
                    break;
                }
        }
    } else if (auto* slider = dynamic_cast<forms::Slider*>(target)) {
        // The left button pressed on the slider puts the thumb under the pointer; the thumb follows
        // the pointer while the button stays down.
        if ((down && button == 1) || (!down && !up && (button & 1) && slider == pressed_))
            slider->userSlide(slider->positionAt(point.x, slider->clientBounds()));
    } else if (up && button == 1 && target && target == pressed_ && controlAt(*form, point) == target) {
        target->userClick();
    }

    if (up && (buttonsOf(wParam) == 0)) {
        pressed_ = nullptr;
        if (captureWindow_ == window) {
            captured_ = nullptr;
            captureWindow_ = NoWindow;
            ReleaseCapture();
        }
    }
    return 0;
}

} // namespace platform::win32
