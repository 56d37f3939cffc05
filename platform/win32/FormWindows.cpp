#include "platform/win32/FormWindows.h"

namespace platform::win32 {

FormWindows::FormWindows(forms::FormsHost& host, Win32Desktop& desktop) : host_(host), desktop_(desktop)
{
    desktop_.setPainter([this](WindowHandle window) -> std::optional<draw::Surface> {
        if (const forms::Form* form = formOf(window))
            return form->render();
        return std::nullopt;
    });
    host_.on_invalidate = [this](forms::Form& form) { desktop_.invalidate(form.hWnd()); };
}

FormWindows::~FormWindows()
{
    host_.on_invalidate = nullptr;
    desktop_.setPainter(nullptr);
}

forms::Form* FormWindows::formOf(WindowHandle window) const
{
    for (forms::Form* form : host_.forms())
        if (form->Loaded() && form->hWnd() == window)
            return form;
    return nullptr;
}

} // namespace platform::win32
