#pragma once
// What the two button control DLLs share: the Windows world their buttons live in, the site that
// answers a button's questions from its ActiveX container, and the conversions between COM's
// fonts and arguments and ours.
//
// - ButtonWorld: the real desktop, message loop (the host's pump), GDI fonts, files and machine
//   facts, the forms on real windows, and a control environment of the real pointer and pictures
//   read from files. One world serves every button of the process (shared()): made with the
//   first, gone with the last.
// - ButtonForm: the form that is a control's face, holding the one button that fills it.
// - ComSite: the button's ControlSite. Ambient properties (user mode, background colour, font,
//   DisplayAsDefault, the extender's name) are read from the container through `ambient`; a
//   property change goes to `changed` (the control maps it to its dispatch id and tells its
//   sinks); the window handle is the form's; the pointer is the real one, through that window.
// Does not: read skins by URL (a path is read as a file, when the read is finished on the loop).

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <ocidl.h>
#include <olectl.h>

#include "platform/forms/ControlSite.h"
#include "platform/forms/Form.h"
#include "platform/forms/UserControl.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/com/Variant.h"

namespace qln::control_dlls {

namespace com = platform::win32::com;

// The real pointer, and pictures read from files.
class Win32ControlEnvironment final : public forms::ControlEnvironment {
public:
    draw::Point cursorPos() override;
    forms::PictureRef loadPicture(std::string_view path) override;
};

class ButtonWorld {
public:
    ButtonWorld();
    ButtonWorld(const ButtonWorld&) = delete;
    ButtonWorld& operator=(const ButtonWorld&) = delete;

    // The world of the buttons that live now, or a new one.
    static std::shared_ptr<ButtonWorld> shared();

    platform::win32::Win32Loop loop;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32Desktop desktop;
    platform::win32::GdiFontEngine fonts;
    forms::FormsHost host{desktop, loop, fonts, system};
    platform::win32::FormWindows windows{host, desktop};
    std::shared_ptr<Win32ControlEnvironment> environment = std::make_shared<Win32ControlEnvironment>();
};

// A control's face: a form that holds one button, which follows the form's size.
class ButtonForm : public forms::Form {
public:
    ButtonForm(forms::FormsHost& host, std::string name) : Form(host, std::move(name)) {}
    // The button, made once.
    template <class Button>
    Button& hold(std::string name)
    {
        return add<Button>(std::move(name));
    }
    // The form's size changed (the container placed the control): the button fills it again.
    void fill(forms::Control& button) { button.move(0, 0, Width(), Height()); }
};

class ComSite final : public forms::ControlSite {
public:
    ComSite(forms::UserControl& control, std::function<com::Variant(DISPID)> ambient,
            std::function<void(std::string_view)> changed);

    bool userMode() override;
    draw::OleColour ambientBackColor() override;
    forms::FontRef ambientFont() override;
    bool displayAsDefault() override;
    std::string extenderName() override;
    platform::WindowHandle hWnd() override;
    // The real pointer relative to the button, through the form's window wherever the container
    // put it (the form's own position is relative to the container's window, not the screen).
    draw::Point cursorPosition() override;
    void propertyChanged(std::string_view name) override;

private:
    com::Variant read(DISPID id, const char* name);

    std::function<com::Variant(DISPID)> ambient_;
    std::function<void(std::string_view)> changed_;
};

// The ambient property's name as the forms runtime tells a control ("BackColor", "Font",
// "DisplayAsDefault", "UserMode"), or empty for one it does not know.
std::string ambientName(DISPID id);

// A font object of COM's as ours (a copy: the font as it was described, its name even when the
// machine has no such face), and ours as a new COM font object.
forms::FontRef fontOf(IUnknown* font);
com::ComPtr<IFontDisp> fontDispOf(const forms::StdFont& font);

// Event arguments of the exact types the event interfaces declare.
com::Variant shortArgument(std::int16_t value);
com::Variant singleArgument(float value);

// Booleans and strings as the dual interfaces take and give them.
inline VARIANT_BOOL boolOf(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
inline std::string text(BSTR value) { return com::Bstr::toUtf8(value); }
inline BSTR bstr(const std::string& value) { return com::Bstr(value).release(); }

// A 32-bit window handle, as hWnd properties give it.
LONG handleValue(platform::WindowHandle window);

} // namespace qln::control_dlls
