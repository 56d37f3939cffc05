#include "apps/control-dlls/ButtonHost.h"

#include <cstdio>
#include <vector>

#include "platform/Failure.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"

namespace qln::control_dlls {

draw::Point Win32ControlEnvironment::cursorPos()
{
    POINT point{};
    if (!GetCursorPos(&point))
        throw platform::Failure("GetCursorPos failed");
    return {point.x, point.y};
}

forms::PictureRef Win32ControlEnvironment::loadPicture(std::string_view path)
{
    FILE* file = _wfopen(platform::win32::toWide(path).c_str(), L"rb");
    if (!file)
        throw platform::Failure("No picture at " + std::string(path));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[8192];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return forms::readPictureBytes(bytes);
}

ButtonWorld::ButtonWorld() = default;

std::shared_ptr<ButtonWorld> ButtonWorld::shared()
{
    // The buttons live on their container's one user-interface thread.
    static std::weak_ptr<ButtonWorld> current;
    std::shared_ptr<ButtonWorld> world = current.lock();
    if (!world) {
        world = std::make_shared<ButtonWorld>();
        current = world;
    }
    return world;
}

ComSite::ComSite(forms::UserControl& control, std::function<com::Variant(DISPID)> ambient,
                 std::function<void(std::string_view)> changed)
    : ControlSite(control), ambient_(std::move(ambient)), changed_(std::move(changed))
{
}

com::Variant ComSite::read(DISPID id, const char* name)
{
    com::Variant value = ambient_(id);
    if (value.isEmpty())
        throw platform::Failure(std::string("The container has no ambient ") + name);
    return value;
}

bool ComSite::userMode()
{
    // A container that does not say is running its form.
    const com::Variant value = ambient_(DISPID_AMBIENT_USERMODE);
    return value.isEmpty() || value.toBool();
}

draw::OleColour ComSite::ambientBackColor()
{
    const com::Variant value = ambient_(DISPID_AMBIENT_BACKCOLOR);
    if (value.isEmpty())
        return ControlSite::ambientBackColor();
    return static_cast<draw::OleColour>(value.toLong());
}

forms::FontRef ComSite::ambientFont()
{
    const com::Variant value = ambient_(DISPID_AMBIENT_FONT);
    if (value.type() == VT_DISPATCH || value.type() == VT_UNKNOWN) {
        if (forms::FontRef font = fontOf(value.raw().punkVal))
            return font;
    }
    return ControlSite::ambientFont();
}

bool ComSite::displayAsDefault()
{
    const com::Variant value = ambient_(DISPID_AMBIENT_DISPLAYASDEFAULT);
    return !value.isEmpty() && value.toBool();
}

std::string ComSite::extenderName() { return read(DISPID_AMBIENT_DISPLAYNAME, "DisplayName").toString(); }

platform::WindowHandle ComSite::hWnd() { return control().parent().hWnd(); }

draw::Point ComSite::cursorPosition()
{
    const HWND window = reinterpret_cast<HWND>(hWnd());
    POINT point{};
    if (!window || !GetCursorPos(&point) || !ScreenToClient(window, &point))
        throw platform::Failure("The pointer is nowhere known");
    const draw::Rect box = control().pixelBounds(draw::Point{0, 0});
    return {point.x - box.left, point.y - box.top};
}

void ComSite::propertyChanged(std::string_view name)
{
    ControlSite::propertyChanged(name);
    changed_(name);
}

std::string ambientName(DISPID id)
{
    switch (id) {
    case DISPID_AMBIENT_BACKCOLOR:
        return "BackColor";
    case DISPID_AMBIENT_FORECOLOR:
        return "ForeColor";
    case DISPID_AMBIENT_FONT:
        return "Font";
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        return "DisplayAsDefault";
    case DISPID_AMBIENT_USERMODE:
        return "UserMode";
    case DISPID_AMBIENT_DISPLAYNAME:
        return "DisplayName";
    default:
        return {};
    }
}

forms::FontRef fontOf(IUnknown* object)
{
    if (!object)
        return nullptr;
    com::ComPtr<IFont> font;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&font))))
        return nullptr;
    auto result = std::make_shared<forms::StdFont>();
    com::Bstr name;
    if (SUCCEEDED(font->get_Name(name.receive())))
        result->Name = name.utf8();
    CY size{};
    if (SUCCEEDED(font->get_Size(&size)))
        result->Size = static_cast<double>(size.int64) / 10000.0;
    BOOL flag = FALSE;
    if (SUCCEEDED(font->get_Bold(&flag)))
        result->Bold = flag != FALSE;
    if (SUCCEEDED(font->get_Italic(&flag)))
        result->Italic = flag != FALSE;
    if (SUCCEEDED(font->get_Underline(&flag)))
        result->Underline = flag != FALSE;
    if (SUCCEEDED(font->get_Strikethrough(&flag)))
        result->Strikethrough = flag != FALSE;
    return result;
}

com::ComPtr<IFontDisp> fontDispOf(const forms::StdFont& font)
{
    const std::wstring name = platform::win32::toWide(font.Name);
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = const_cast<LPOLESTR>(name.c_str());
    description.cySize.int64 = static_cast<LONGLONG>(font.Size * 10000.0 + 0.5);
    description.sWeight = static_cast<SHORT>(font.Bold ? FW_BOLD : FW_NORMAL);
    description.sCharset = DEFAULT_CHARSET;
    description.fItalic = font.Italic;
    description.fUnderline = font.Underline;
    description.fStrikethrough = font.Strikethrough;
    com::ComPtr<IFontDisp> result;
    com::check(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(result.GetAddressOf())),
               "OleCreateFontIndirect");
    return result;
}

com::Variant shortArgument(std::int16_t value)
{
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_I2;
    raw.iVal = value;
    return com::Variant::copyOf(raw);
}

com::Variant singleArgument(float value)
{
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_R4;
    raw.fltVal = value;
    return com::Variant::copyOf(raw);
}

LONG handleValue(platform::WindowHandle window)
{
    return static_cast<LONG>(window);
}

} // namespace qln::control_dlls
