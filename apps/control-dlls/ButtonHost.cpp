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

namespace {

// A font object as its own stream describes it: version 1, the character set (16 bits), the
// italic, underline and strikethrough bits, the weight (16 bits), the size in ten-thousandths of a
// point (32 bits), and the name's length and characters in the ANSI code page. This is the font
// as it was asked for; its properties may answer the face the machine put in its place, when it
// has no such face. Nothing when the font cannot say.
std::shared_ptr<forms::StdFont> describedFont(IFont& font)
{
    com::ComPtr<IPersistStream> persist;
    com::ComPtr<IStream> stream;
    if (FAILED(font.QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.GetAddressOf()))) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || FAILED(persist->Save(stream.Get(), FALSE)) ||
        FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr)))
        return nullptr;
    std::uint8_t head[11] = {};
    ULONG read = 0;
    if (FAILED(stream->Read(head, sizeof head, &read)) || read != sizeof head || head[0] != 1)
        return nullptr;
    std::string ansi(head[10], '\0');
    if (!ansi.empty() && (FAILED(stream->Read(ansi.data(), static_cast<ULONG>(ansi.size()), &read)) ||
                          read != ansi.size()))
        return nullptr;
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring name(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), name.data(), wideLength);
    if (name.empty())
        return nullptr;
    const unsigned attributes = head[3];
    const unsigned weight = head[4] | head[5] << 8;
    const std::uint32_t size = head[6] | head[7] << 8 | head[8] << 16 | static_cast<std::uint32_t>(head[9]) << 24;
    auto result = std::make_shared<forms::StdFont>();
    result->Name = platform::win32::toUtf8(name);
    result->Size = size / 10000.0;
    result->Bold = weight >= FW_SEMIBOLD;
    result->Italic = (attributes & 0x02) != 0;
    result->Underline = (attributes & 0x04) != 0;
    result->Strikethrough = (attributes & 0x08) != 0;
    return result;
}

} // namespace

forms::FontRef fontOf(IUnknown* object)
{
    if (!object)
        return nullptr;
    com::ComPtr<IFont> font;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&font))))
        return nullptr;
    if (std::shared_ptr<forms::StdFont> described = describedFont(*font.Get()))
        return described;
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
