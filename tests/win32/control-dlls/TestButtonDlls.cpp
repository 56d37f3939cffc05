// btGlintButton.dll and DorveltFlairButton.dll as containers host them: created by their ProgIDs
// from the registration, properties set and read by name through IDispatch (error 380 for an
// invalid enumerated value), property bags and streams read back to the state they were saved
// from, events heard by a sink (also from a real click), change notifications, mnemonics and
// ambient changes, and on the screen exactly what the button classes draw, in a container of our
// own and in Wine's ATL container.
//
// Each DLL is registered by activex.sh around its run; the filter picks the DLL's tests.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../activex/Container.h"
#include "btGlintButton.h"  // the type library's header (widl)
#include "apps/flair-gallery/Gallery.h"
#include "apps/glint-gallery/Gallery.h"
#include "controls/flairbutton/FlairButton.h"
#include "controls/glintbutton/GlintButton.h"
#include "platform/draw/Png.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/com/Dispatch.h"
#include "tests/win32/ComTestObjects.h"

namespace {

using namespace activex_tests;
namespace com = platform::win32::com;

constexpr wchar_t kGlintProgId[] = L"btGlintButton.GlintButton";
constexpr wchar_t kFlairProgId[] = L"DorveltFlairButton.FlairButton";
// The event interfaces, as the type libraries give them.
constexpr IID kGlintEvents = {0x7F17510D, 0x9957, 0x48C5, {0x9A, 0x67, 0x6A, 0x97, 0x9E, 0x80, 0xC3, 0x42}};
constexpr IID kFlairEvents = {0x78AE1716, 0xA08F, 0x4302, {0xBE, 0x05, 0x42, 0x31, 0x03, 0xEE, 0x8E, 0xC8}};
// A new instance's size in pixels at 96 dpi.
constexpr int kGlintWidth = 81, kGlintHeight = 33;    // 1215 x 495 twips
constexpr int kFlairWidth = 120, kFlairHeight = 25;   // 1800 x 375 twips

class Apartment {
public:
    Apartment() { OleInitialize(nullptr); }
    ~Apartment() { OleUninitialize(); }
};

ComPtr<IUnknown> create(const wchar_t* progId)
{
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << "the DLL is not registered";
    ComPtr<IUnknown> control;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)), S_OK);
    return control;
}

com::Dispatch late(const ComPtr<IUnknown>& control)
{
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(control.As(&dispatch), S_OK);
    return com::Dispatch(dispatch);
}

// A property put by name as a late-bound caller makes it (by value, or by reference with
// DISPATCH_PROPERTYPUTREF), answering the HRESULT and the exception's code.
std::pair<HRESULT, SCODE> putByName(const ComPtr<IUnknown>& control, const wchar_t* name, VARIANT value,
                                    WORD how = DISPATCH_PROPERTYPUT)
{
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(control.As(&dispatch), S_OK);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXCEPINFO exception{};
    const HRESULT hr =
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, how, &params, nullptr, &exception, nullptr);
    const SCODE code = exception.scode;
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return {hr, code};
}

VARIANT longValue(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

void initNew(const ComPtr<IUnknown>& control)
{
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
}

// An event sink for one event interface that writes down what it hears; a BeforeNavigate is
// answered with `cancel`.
class EventLog final : public com_tests::CountedDispatch {
public:
    explicit EventLog(const IID& events) : CountedDispatch(events) {}
    std::vector<std::pair<DISPID, std::vector<com::Variant>>> events;

    std::vector<DISPID> ids() const
    {
        std::vector<DISPID> result;
        for (const auto& event : events)
            result.push_back(event.first);
        return result;
    }
    // The ids heard, without the ones named.
    std::vector<DISPID> idsWithout(std::vector<DISPID> skipped) const
    {
        std::vector<DISPID> result;
        for (const auto& event : events)
            if (std::find(skipped.begin(), skipped.end(), event.first) == skipped.end())
                result.push_back(event.first);
        return result;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        std::vector<com::Variant> args;
        for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
            const VARIANT& arg = params->rgvarg[i - 1];
            if (arg.vt == (VT_BOOL | VT_BYREF)) {
                *arg.pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
                args.push_back(com::Variant(cancel));
            } else {
                args.push_back(com::Variant::copyOf(arg));
            }
        }
        events.emplace_back(id, std::move(args));
        return S_OK;
    }
    bool cancel = false;
};

ComPtr<EventLog> listen(const ComPtr<IUnknown>& control, const IID& events)
{
    ComPtr<EventLog> log;
    log.Attach(new EventLog(events));
    ComPtr<IConnectionPointContainer> points;
    EXPECT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(events, &point), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(log.Get(), &cookie), S_OK);
    return log;
}

// The control saved to a stream, set to a new instance's state and loaded back from the stream.
void throughStream(const ComPtr<IUnknown>& control)
{
    ComPtr<IPersistStreamInit> streamed;
    ASSERT_EQ(control.As(&streamed), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(streamed->Save(stream.Get(), TRUE), S_OK);
    ASSERT_EQ(streamed->InitNew(), S_OK);
    ASSERT_EQ(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(streamed->Load(stream.Get()), S_OK);
}

// Every property read by name, as text.
std::map<std::string, std::string> stateOf(const com::Dispatch& control, const std::vector<std::string>& names)
{
    std::map<std::string, std::string> state;
    for (const std::string& name : names)
        state[name] = control.get(name).toString();
    return state;
}

// Places the control in-place active in a container window of our own.
void host(const ComPtr<IUnknown>& control, Site& site, HWND window, const RECT& position)
{
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(&object), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &position), S_OK);
}

void closeControl(const ComPtr<IUnknown>& control)
{
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(&object), S_OK);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
}

// The buttons' own rendering on the simulated desktop with the same fonts: what the screen must
// show.
struct ReferenceWorld {
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    platform::win32::Win32SystemInfo system;
    platform::win32::GdiFontEngine fonts;
    forms::FormsHost host{desktop, loop, fonts, system};
};

class HoldingForm : public forms::Form {
public:
    HoldingForm(forms::FormsHost& host, std::string name, double width, double height) : Form(host, std::move(name))
    {
        move(0, 0, width, height);
    }
    template <class Button>
    Button& hold(std::string name)
    {
        return add<Button>(std::move(name));
    }
};

// Where two pictures of `width` pixels a row differ: nothing when they are the same.
std::string difference(const std::vector<std::uint32_t>& screen, const std::vector<std::uint32_t>& expected, int width)
{
    if (screen == expected)
        return {};
    if (screen.size() != expected.size())
        return "sizes differ";
    std::size_t count = 0, first = 0;
    for (std::size_t i = screen.size(); i-- > 0;)
        if (screen[i] != expected[i]) {
            ++count;
            first = i;
        }
    char text[160];
    std::snprintf(text, sizeof text, "%zu pixels differ, the first at (%d, %d): screen %06X, expected %06X", count,
                  static_cast<int>(first % width), static_cast<int>(first / width), screen[first], expected[first]);
    return text;
}

// Moves the real pointer out of the way, so no hover look is in a picture.
void parkPointer() { SetCursorPos(0, 0); }

// Wine's ATL container (AtlAxWin) holding a control by its ProgID.
class AtlHost {
public:
    AtlHost(const wchar_t* progId, int left, int top, int width, int height)
    {
        const HMODULE atl = LoadLibraryW(L"atl.dll");
        EXPECT_NE(atl, nullptr);
        using Init = BOOL(WINAPI*)();
        const auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        getControl_ = reinterpret_cast<GetControl>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        EXPECT_TRUE(init && getControl_ && init());
        window_ = CreateWindowExW(0, L"AtlAxWin", progId, WS_POPUP | WS_VISIBLE, left, top, width, height, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(window_, nullptr);
        pump(400);
    }
    ~AtlHost()
    {
        DestroyWindow(window_);
        pump(100);
    }
    HWND window() const { return window_; }
    ComPtr<IUnknown> control() const
    {
        ComPtr<IUnknown> control;
        EXPECT_EQ(getControl_(window_, &control), S_OK);
        return control;
    }

private:
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    GetControl getControl_ = nullptr;
    HWND window_ = nullptr;
};

// ---- Pictures and the galleries ----------------------------------------------------------------

// An object as a by-value argument (the caller keeps its reference).
VARIANT objectValue(IDispatch* object)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

// A picture object of a bitmap with these 0x00RRGGBB pixels, top row first.
ComPtr<IPictureDisp> bitmapPicture(int width, int height, const std::uint32_t* pixels)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(bitmap, nullptr);
    std::copy(pixels, pixels + width * height, static_cast<std::uint32_t*>(bits));
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    ComPtr<IPictureDisp> picture;
    EXPECT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                       reinterpret_cast<void**>(picture.GetAddressOf())),
              S_OK);
    return picture;
}

ComPtr<IPictureDisp> solidPicture(int width, int height, std::uint32_t rgb)
{
    const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, rgb);
    return bitmapPicture(width, height, pixels.data());
}

ComPtr<IPictureDisp> pictureOf(const forms::Picture& picture)
{
    return bitmapPicture(picture.image.width(), picture.image.height(), picture.image.bits().data());
}

// A picture object's bitmap as pixels (0x00RRGGBB, top row first) and its size; nothing for a
// picture that is no bitmap.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> bits;
};

Pixels pixelsOf(IUnknown* object)
{
    Pixels result;
    ComPtr<IPicture> picture;
    if (!object || FAILED(object->QueryInterface(IID_PPV_ARGS(&picture))))
        return result;
    OLE_HANDLE handle = 0;
    SHORT type = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return result;
    const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle));
    BITMAP header{};
    GetObjectW(bitmap, sizeof header, &header);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = -header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    result.width = header.bmWidth;
    result.height = header.bmHeight;
    result.bits.resize(static_cast<std::size_t>(header.bmWidth) * header.bmHeight);
    const HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(header.bmHeight), result.bits.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    for (auto& p : result.bits)
        p &= 0x00FFFFFFu;
    return result;
}

// Whether two objects are the same COM object.
bool sameObject(IUnknown* a, IUnknown* b)
{
    if (!a || !b)
        return a == b;
    ComPtr<IUnknown> first, second;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(first.GetAddressOf()));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(second.GetAddressOf()));
    return first.Get() == second.Get();
}

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A VT_ARRAY | VT_UI1 Variant of the bytes, as some property bags hand back an object's data.
com::Variant byteArray(const std::vector<std::uint8_t>& bytes)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
    SafeArrayUnaccessData(array);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = array;
    com::Variant result = com::Variant::copyOf(v);
    VariantClear(&v);
    return result;
}

// The gallery's pictures, written by the gallery's own code into a fresh temporary folder.
std::filesystem::path writtenGallery(const wchar_t* name, int (*render)(const std::filesystem::path&))
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    EXPECT_GT(render(folder), 0);
    return folder;
}

// The pixels of a rectangle of a PNG picture, top row first.
std::vector<std::uint32_t> pngPixels(const std::filesystem::path& file, int left, int top, int width, int height)
{
    const draw::Surface picture = draw::readPicture(fileBytes(file));
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            pixels.push_back(picture.pixel(x, y).value_or(draw::Rgb{1, 2, 3}).packed());
    return pixels;
}

// A container window with a background of its own colour (the gallery's paper), so that what a
// transparent button leaves out shows the same colour as on the gallery's pictures.
class PaperWindow {
public:
    PaperWindow(int left, int top, int width, int height, COLORREF paper) : brush_(CreateSolidBrush(paper))
    {
        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hbrBackground = brush_;
        type.lpszClassName = L"QlnPaperWindow";
        UnregisterClassW(type.lpszClassName, type.hInstance);
        RegisterClassW(&type);
        window_ = CreateWindowExW(0, type.lpszClassName, L"Paper", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, left, top,
                                  width, height, nullptr, nullptr, type.hInstance, nullptr);
        EXPECT_NE(window_, nullptr);
    }
    ~PaperWindow()
    {
        DestroyWindow(window_);
        UnregisterClassW(L"QlnPaperWindow", GetModuleHandleW(nullptr));
        DeleteObject(brush_);
    }
    PaperWindow(const PaperWindow&) = delete;
    PaperWindow& operator=(const PaperWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HBRUSH brush_;
    HWND window_ = nullptr;
};

// Moves the real pointer onto a point of the screen as the user's mouse does: from a pixel to
// its left, so that the window under it sees it move there.
void pointerTo(POINT screen)
{
    for (const LONG x : {screen.x - 1, screen.x}) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        pump(100);
    }
}

// A control set up as a container sets one up: site, new state, then in-place activation.
void placeNew(const ComPtr<IUnknown>& control, Site& site, HWND window, const RECT& position)
{
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(&object), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    initNew(control);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &position), S_OK);
}

// ---- GlintButton --------------------------------------------------------------------------------

const std::vector<std::string> kGlintScalars{
    "Appearance", "AutoMask", "AutoSize", "BackColor", "BackStyle", "BorderColor", "Caption", "CaptionAlignHorz",
    "CaptionAlignVert", "CaptionOffsetX", "CaptionOffsetY", "Enabled", "FontBold", "FontItalic", "FontName",
    "FontSize", "FontStrikethru", "FontUnderline", "ForeColor", "HighlightColor", "MaskColor", "MousePointer",
    "RightToLeft", "ShowFocus", "SkinDisabledPath", "SkinDownPath", "SkinFocusPath", "SkinOverPath", "SkinUpPath",
    "Style", "Value", "WhatsThisHelpID"};

struct GlintReference {
    GlintReference() { button.InitProperties(); }
    ReferenceWorld world;
    HoldingForm form{world.host, "frmGlintButton", kGlintWidth * 15.0, kGlintHeight * 15.0};
    glint::GlintButton& button = form.hold<glint::GlintButton>("GlintButton");
};

class GlintDll : public ::testing::Test {
protected:
    Apartment apartment;
};

TEST_F(GlintDll, EveryPropertyIsSetAndReadByNameNotifiesByIdAndAnInvalidEnumeratedValueRaises380)
{
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    // A new instance: the class name as caption, the documented defaults.
    EXPECT_EQ(button.get("Caption").toString(), "GlintButton");
    EXPECT_EQ(button.get("Appearance").toLong(), 2);
    EXPECT_EQ(button.get("BackColor").toLong(), static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(button.get("Value").toLong(), 1);
    EXPECT_TRUE(button.get("ShowFocus").toBool());

    ComPtr<Site> site;
    site.Attach(new Site(nullptr, RECT{}, PageSite::None));
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> notify;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(notify->Advise(static_cast<IPropertyNotifySink*>(site.Get()), &cookie), S_OK);

    const std::vector<std::pair<std::string, com::Variant>> values{
        {"Appearance", com::Variant(std::int32_t{3})},   {"AutoMask", com::Variant(false)},
        {"AutoSize", com::Variant(false)},               {"BackColor", com::Variant(std::int32_t{0x00336699})},
        {"BackStyle", com::Variant(std::int32_t{1})},    {"BorderColor", com::Variant(std::int32_t{0x00FF0000})},
        {"Caption", com::Variant("&Reply")},             {"CaptionAlignHorz", com::Variant(std::int32_t{2})},
        {"CaptionAlignVert", com::Variant(std::int32_t{0})}, {"CaptionOffsetX", com::Variant(std::int32_t{3})},
        {"CaptionOffsetY", com::Variant(std::int32_t{-2})}, {"Enabled", com::Variant(false)},
        {"FontName", com::Variant("Tahoma")},            {"FontSize", com::Variant(10.0)},
        {"FontBold", com::Variant(true)},                {"FontItalic", com::Variant(true)},
        {"FontStrikethru", com::Variant(true)},          {"FontUnderline", com::Variant(true)},
        {"ForeColor", com::Variant(std::int32_t{0x000000FF})}, {"HighlightColor", com::Variant(std::int32_t{0x0000FF00})},
        {"MaskColor", com::Variant(std::int32_t{0x00FF00FF})}, {"MousePointer", com::Variant(std::int32_t{11})},
        {"RightToLeft", com::Variant(true)},             {"ShowFocus", com::Variant(false)},
        {"SkinDisabledPath", com::Variant("C:\\no\\disabled.bmp")}, {"SkinDownPath", com::Variant("C:\\no\\down.bmp")},
        {"SkinFocusPath", com::Variant("C:\\no\\focus.bmp")}, {"SkinOverPath", com::Variant("C:\\no\\over.bmp")},
        {"SkinUpPath", com::Variant("C:\\no\\up.bmp")},  {"Style", com::Variant(std::int32_t{1})},
        {"WhatsThisHelpID", com::Variant(std::int32_t{42})},
    };
    ASSERT_EQ(values.size() + 1, kGlintScalars.size());  // Value is below: it raises Click
    for (const auto& [name, value] : values) {
        button.put(name, value);
        EXPECT_EQ(button.get(name).toString(), value.toString()) << name;
    }
    // Each assignment told the sink its property's dispatch id (the font's as "Font").
    const auto heard = [&](DISPID id) {
        return std::count(site->changedProperties.begin(), site->changedProperties.end(), id);
    };
    EXPECT_GE(heard(1), 1);     // Appearance
    EXPECT_GE(heard(-518), 1);  // Caption
    EXPECT_GE(heard(-501), 1);  // BackColor
    EXPECT_GE(heard(-512), 5);  // Font, from the five font properties
    EXPECT_GE(heard(28), 1);    // WhatsThisHelpID
    EXPECT_EQ(heard(DISPID_UNKNOWN), 0);

    // The font as a font object, and one given to the button.
    const com::Variant font = button.get("Font");
    ASSERT_EQ(font.type(), VT_DISPATCH);
    EXPECT_TRUE(com::Dispatch(font.toDispatch()).get("Bold").toBool());
    EXPECT_NEAR(com::Dispatch(font.toDispatch()).get("Size").toDouble(), 10.0, 0.5);  // as the font realises it

    // Value Down raises Click, even when it is Down already.
    ComPtr<EventLog> log = listen(control, kGlintEvents);
    button.put("Value", std::int32_t{0});
    button.put("Value", std::int32_t{0});
    EXPECT_EQ(log->ids(), (std::vector<DISPID>{1, 1}));
    EXPECT_EQ(button.get("Value").toLong(), 0);

    // Invalid enumerated values: error 380 through IDispatch, the value kept.
    for (const wchar_t* name : {L"Appearance", L"BackStyle", L"CaptionAlignHorz", L"CaptionAlignVert", L"Style",
                                L"Value"}) {
        const auto [hr, code] = putByName(control, name, longValue(9));
        EXPECT_EQ(hr, DISP_E_EXCEPTION) << name;
        EXPECT_EQ(code, CTL_E_INVALIDPROPERTYVALUE) << name;
    }
    EXPECT_EQ(button.get("Appearance").toLong(), 3);
    EXPECT_EQ(button.get("Style").toLong(), 1);
    EXPECT_EQ(notify->Unadvise(cookie), S_OK);
}

TEST_F(GlintDll, APropertyBagAndAStreamGiveBackTheStateTheyWereSavedFrom)
{
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    button.put("Appearance", std::int32_t{0});
    button.put("Caption", "Saved \xE2\x9C\x89");
    button.put("BackColor", std::int32_t{0x00102030});
    button.put("CaptionAlignHorz", std::int32_t{0});
    button.put("ShowFocus", com::Variant(false));
    button.put("Enabled", com::Variant(false));
    button.put("SkinUpPath", "C:\\no\\up.bmp");
    button.put("WhatsThisHelpID", std::int32_t{7});
    const auto saved = stateOf(button, kGlintScalars);

    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(control.As(&bagged), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values[L"Caption"].toString(), "Saved \xE2\x9C\x89");
    EXPECT_EQ(bag.values[L"CaptionAlignHorz"].toLong(), 0);

    ASSERT_EQ(bagged->InitNew(), S_OK);
    EXPECT_NE(stateOf(button, kGlintScalars), saved);
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(stateOf(button, kGlintScalars), saved);

    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    ASSERT_NO_FATAL_FAILURE(throughStream(control));
    EXPECT_EQ(stateOf(button, kGlintScalars), saved);

    // A stored value the button refuses ends the loading with error 380.
    bag.values[L"Style"] = com::Variant(std::int32_t{5});
    EXPECT_EQ(bagged->Load(&bag, nullptr), CTL_E_INVALIDPROPERTYVALUE);
}

TEST_F(GlintDll, HostedItDrawsAsTheButtonDoesARealClickRaisesClickAndItsAccessKeyToo)
{
    parkPointer();
    ContainerWindow container(200, 200, kGlintWidth + 40, kGlintHeight + 40);
    const RECT position{20, 20, 20 + kGlintWidth, 20 + kGlintHeight};
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), position, PageSite::None));
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    host(control, *site.Get(), container.handle(), position);
    initNew(control);
    pump(300);

    const RECT screen{220, 220, 220 + kGlintWidth, 220 + kGlintHeight};
    {
        GlintReference reference;
        EXPECT_EQ(difference(screenPixels(screen), reference.form.render().bits(), kGlintWidth), "");
    }
    com::Dispatch button = late(control);
    button.put("Caption", "&Go");
    button.put("Appearance", std::int32_t{1});
    pump(200);
    {
        GlintReference reference;
        reference.button.setCaption("&Go");
        reference.button.setAppearance(1);
        EXPECT_EQ(difference(screenPixels(screen), reference.form.render().bits(), kGlintWidth), "");
    }

    // The container shows it as its default button: the ambient change repaints it so.
    site->ambients[DISPID_AMBIENT_DISPLAYASDEFAULT] = com::Variant(true);
    ComPtr<IOleControl> oleControl;
    ASSERT_EQ(control.As(&oleControl), S_OK);
    ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_DISPLAYASDEFAULT), S_OK);
    pump(200);
    {
        GlintReference reference;
        reference.button.setCaption("&Go");
        reference.button.setAppearance(1);
        const auto plain = reference.form.render().bits();
        reference.button.site().setDisplayAsDefault(true);
        EXPECT_EQ(difference(screenPixels(screen), reference.form.render().bits(), kGlintWidth), "");
        EXPECT_NE(plain, reference.form.render().bits());
    }

    ComPtr<EventLog> log = listen(control, kGlintEvents);
    clickAt(POINT{220 + kGlintWidth / 2, 220 + kGlintHeight / 2});
    pump(300);
    // MouseDown, Click, MouseUp in that order (moves and hover between them); the click made the
    // control UI-active, with the focus in its window.
    EXPECT_EQ(log->idsWithout({6, 7, 8}), (std::vector<DISPID>{5, 1, 9}));
    EXPECT_TRUE(site->uiActive);
    EXPECT_EQ(GetFocus(), reinterpret_cast<HWND>(static_cast<std::intptr_t>(button.get("hWnd").toLong())));
    for (const auto& [id, args] : log->events) {
        if (id != 5)
            continue;
        ASSERT_EQ(args.size(), 4u);
        EXPECT_EQ(args[0].type(), VT_I2);  // Button, 16-bit
        EXPECT_EQ(args[0].toLong(), 1);
        EXPECT_EQ(args[2].type(), VT_R4);  // x, in twips
    }

    // Its access key, by the container's accelerator table and OnMnemonic.
    CONTROLINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(oleControl->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 1);
    log->events.clear();
    MSG msg{};
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = 'G';
    ASSERT_EQ(oleControl->OnMnemonic(&msg), S_OK);
    EXPECT_EQ(log->ids(), (std::vector<DISPID>{1}));

    // Another access key: the container asks again and gets the new one.
    button.put("Caption", "&Stop");
    info = CONTROLINFO{};
    info.cb = sizeof info;
    ASSERT_EQ(oleControl->GetControlInfo(&info), S_OK);
    ASSERT_EQ(info.cAccel, 1);
    ACCEL accel{};
    ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, &accel, 1), 1);
    EXPECT_EQ(accel.key, 'S');
    log->events.clear();
    msg.wParam = 'S';
    ASSERT_EQ(oleControl->OnMnemonic(&msg), S_OK);
    EXPECT_EQ(log->ids(), (std::vector<DISPID>{1}));
    parkPointer();
    closeControl(control);
}

TEST_F(GlintDll, HostedByWinesAtlContainerItIsCreatedByProgIdAndDrawsAsTheButton)
{
    parkPointer();
    AtlHost atl(kGlintProgId, 60, 60, kGlintWidth, kGlintHeight);
    ComPtr<IUnknown> control = atl.control();
    ASSERT_TRUE(control);
    com::Dispatch button = late(control);
    button.put("Caption", "Atl");
    button.put("Appearance", std::int32_t{0});
    EXPECT_EQ(button.get("Caption").toString(), "Atl");
    pump(200);
    const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(button.get("hWnd").toLong()));
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), atl.window());
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, kGlintWidth);
    GlintReference reference;
    reference.button.setCaption("Atl");
    reference.button.setAppearance(0);
    EXPECT_EQ(difference(screenPixels(bounds), reference.form.render().bits(), kGlintWidth), "");
}

// A 24-bit BMP file of `width` x `height` pixels of one colour (0x00RRGGBB) in the temporary
// folder; its path.
std::wstring writeBitmap(const wchar_t* name, int width, int height, std::uint32_t colour)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<std::uint8_t>(colour);
        row[x * 3 + 1] = static_cast<std::uint8_t>(colour >> 8);
        row[x * 3 + 2] = static_cast<std::uint8_t>(colour >> 16);
    }
    FILE* out = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(out, nullptr);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    for (int y = 0; y < height; ++y)
        std::fwrite(row.data(), 1, row.size(), out);
    std::fclose(out);
    return path;
}

TEST_F(GlintDll, ASkinPathIsReadFromItsFileAfterTheAssignmentAndSwitchesToTheSkinLook)
{
    const std::wstring path = writeBitmap(L"qln-glint-skin-up.bmp", 40, 20, 0x002060A0);
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    button.put("SkinUpPath", platform::win32::toUtf8(path));
    EXPECT_EQ(button.get("Appearance").toLong(), 2);  // read later, on the message loop
    pump(200);
    EXPECT_EQ(button.get("Appearance").toLong(), 4);  // btSkin
    // A path with no picture behind it leaves the skin as it was.
    button.put("SkinUpPath", "C:\\nowhere\\none.bmp");
    pump(200);
    EXPECT_EQ(button.get("Appearance").toLong(), 4);
    DeleteFileW(path.c_str());
}

TEST_F(GlintDll, AHostThatDrawsItThroughIViewObjectGetsWhatTheButtonRenders)
{
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    button.put("Caption", "Drawn");
    button.put("Appearance", std::int32_t{3});
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(&view), S_OK);
    SIZEL extent{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_EQ(extent.cx, 2143);  // 1215 twips in HIMETRIC
    EXPECT_EQ(extent.cy, 873);   // 495 twips

    MemoryCanvas canvas(kGlintWidth, kGlintHeight);
    const RECTL bounds{0, 0, kGlintWidth, kGlintHeight};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    const std::vector<std::uint32_t> drawn = canvas.pixels();

    GlintReference reference;
    reference.button.setCaption("Drawn");
    reference.button.setAppearance(3);
    EXPECT_EQ(difference(drawn, reference.form.render().bits(), kGlintWidth), "");
}

TEST_F(GlintDll, EveryPictureIsAPictureObjectByValueOrReferenceNothingClearsAndEachNotifies)
{
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    ComPtr<Site> site;
    site.Attach(new Site(nullptr, RECT{}, PageSite::None));
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> notify;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(notify->Advise(static_cast<IPropertyNotifySink*>(site.Get()), &cookie), S_OK);

    // A new instance has none of them: each reads as Nothing.
    const std::vector<std::pair<const wchar_t*, DISPID>> pictures{{L"MouseIcon", 29}, {L"SkinDisabled", 30},
                                                                  {L"SkinDown", 31},  {L"SkinFocus", 32},
                                                                  {L"SkinOver", 33},  {L"SkinUp", 34}};
    for (const auto& [name, id] : pictures) {
        const com::Variant none = button.get(platform::win32::toUtf8(name));
        EXPECT_EQ(none.type(), VT_DISPATCH);
        EXPECT_EQ(none.raw().pdispVal, nullptr);
    }
    // Set by reference and by value alternately: each reads back as the object given, and tells
    // the sinks its own dispatch id.
    WORD how = DISPATCH_PROPERTYPUTREF;
    std::uint32_t colour = 0x00204080;
    for (const auto& [name, id] : pictures) {
        const ComPtr<IPictureDisp> picture = solidPicture(24, 12, colour++);
        site->changedProperties.clear();
        EXPECT_EQ(putByName(control, name, objectValue(picture.Get()), how).first, S_OK) << name;
        how = how == DISPATCH_PROPERTYPUTREF ? DISPATCH_PROPERTYPUT : DISPATCH_PROPERTYPUTREF;
        const com::Variant back = button.get(platform::win32::toUtf8(name));
        ASSERT_EQ(back.type(), VT_DISPATCH);
        EXPECT_TRUE(sameObject(back.raw().pdispVal, picture.Get())) << name;
        EXPECT_EQ(std::count(site->changedProperties.begin(), site->changedProperties.end(), id), 1) << name;
    }
    // The first skin made a skinned button of it.
    EXPECT_EQ(button.get("Appearance").toLong(), 4);

    // Something that is no picture: refused by IDispatch already (no picture interface), and by
    // the property itself with error 481 when it reaches it through the dual interface; the
    // picture is kept.
    const com::Variant font = button.get("Font");
    EXPECT_TRUE(FAILED(
        putByName(control, L"SkinUp", objectValue(font.raw().pdispVal), DISPATCH_PROPERTYPUTREF).first));
    ComPtr<_GlintButton> dual;
    ASSERT_EQ(control.As(&dual), S_OK);
    EXPECT_EQ(dual->putref_SkinUp(reinterpret_cast<IPictureDisp*>(font.raw().pdispVal)), CTL_E_INVALIDPICTURE);
    EXPECT_EQ(pixelsOf(button.get("SkinUp").raw().pdispVal).bits.at(0), 0x00204085u);

    // Nothing clears each one; without any skin the button is a 3D button again.
    for (const auto& [name, id] : pictures) {
        EXPECT_EQ(putByName(control, name, objectValue(nullptr), DISPATCH_PROPERTYPUTREF).first, S_OK) << name;
        EXPECT_EQ(button.get(platform::win32::toUtf8(name)).raw().pdispVal, nullptr) << name;
    }
    EXPECT_EQ(button.get("Appearance").toLong(), 2);
    EXPECT_EQ(notify->Unadvise(cookie), S_OK);
}

TEST_F(GlintDll, PicturesAndTheFontAreSavedAsObjectsInABagAndAsBytesInAStream)
{
    ComPtr<IUnknown> control = create(kGlintProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    const std::string ambientName = button.get("FontName").toString();
    const ComPtr<IPictureDisp> up = solidPicture(40, 20, 0x002060A0);
    const ComPtr<IPictureDisp> icon = solidPicture(16, 16, 0x00FF0000);
    ASSERT_EQ(putByName(control, L"SkinUp", objectValue(up.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
    ASSERT_EQ(putByName(control, L"MouseIcon", objectValue(icon.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
    button.put("FontName", "Tahoma");
    button.put("FontBold", com::Variant(true));
    button.put("FontSize", 11.0);

    // A bag holds the objects themselves; pictures that are none are not written.
    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(control.As(&bagged), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values[L"SkinUp"].type(), VT_UNKNOWN);
    EXPECT_EQ(bag.values[L"Font"].type(), VT_UNKNOWN);
    EXPECT_EQ(bag.values.count(L"SkinDown"), 0u);
    ASSERT_EQ(bagged->InitNew(), S_OK);
    EXPECT_EQ(button.get("SkinUp").raw().pdispVal, nullptr);
    EXPECT_EQ(button.get("FontName").toString(), ambientName);
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_TRUE(sameObject(button.get("SkinUp").raw().pdispVal, up.Get()));
    EXPECT_TRUE(sameObject(button.get("MouseIcon").raw().pdispVal, icon.Get()));
    EXPECT_EQ(button.get("SkinDown").raw().pdispVal, nullptr);
    EXPECT_EQ(button.get("Appearance").toLong(), 4);
    EXPECT_EQ(button.get("FontName").toString(), "Tahoma");
    EXPECT_TRUE(button.get("FontBold").toBool());

    // A stream holds their bytes: the pictures come back as new objects of the same pixels.
    ComPtr<IPersistStreamInit> streamed;
    ASSERT_EQ(control.As(&streamed), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(streamed->Save(stream.Get(), TRUE), S_OK);
    ULARGE_INTEGER most{};
    ASSERT_EQ(streamed->GetSizeMax(&most), S_OK);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_GE(most.QuadPart, stat.cbSize.QuadPart);
    ASSERT_EQ(streamed->InitNew(), S_OK);
    ASSERT_EQ(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(streamed->Load(stream.Get()), S_OK);
    const Pixels skin = pixelsOf(button.get("SkinUp").raw().pdispVal);
    EXPECT_EQ(skin.width, 40);
    EXPECT_EQ(skin.height, 20);
    EXPECT_EQ(skin.bits, std::vector<std::uint32_t>(40 * 20, 0x002060A0u));
    EXPECT_EQ(pixelsOf(button.get("MouseIcon").raw().pdispVal).bits.at(0), 0x00FF0000u);
    EXPECT_EQ(button.get("SkinOver").raw().pdispVal, nullptr);
    EXPECT_EQ(button.get("Appearance").toLong(), 4);
    EXPECT_EQ(button.get("FontName").toString(), "Tahoma");
    EXPECT_TRUE(button.get("FontBold").toBool());
    EXPECT_NEAR(button.get("FontSize").toDouble(), 11.0, 0.5);

    // A bag may hand a picture back as its file's bytes; bytes that are no picture end the
    // loading with error 481 (the button's loading stops at a value it refuses).
    const std::wstring file = writeBitmap(L"qln-glint-bag.bmp", 8, 4, 0x0000C000);
    MemoryBag bytes;
    bytes.values[L"SkinOver"] = byteArray(fileBytes(file));
    ASSERT_EQ(bagged->Load(&bytes, nullptr), S_OK);
    EXPECT_EQ(pixelsOf(button.get("SkinOver").raw().pdispVal).bits, std::vector<std::uint32_t>(8 * 4, 0x0000C000u));
    EXPECT_EQ(button.get("SkinUp").raw().pdispVal, nullptr);  // not in that bag: none
    EXPECT_EQ(button.get("FontName").toString(), ambientName);  // not in that bag: the ambient font
    bytes.values[L"SkinOver"] = byteArray({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    EXPECT_EQ(bagged->Load(&bytes, nullptr), CTL_E_INVALIDPICTURE);
    DeleteFileW(file.c_str());

    // An icon is drawn into the button's picture: a stream keeps it as a bitmap of the icon's size.
    PICTDESC iconDescription{};
    iconDescription.cbSizeofstruct = sizeof iconDescription;
    iconDescription.picType = PICTYPE_ICON;
    iconDescription.icon.hicon = LoadIconW(nullptr, IDI_APPLICATION);
    ComPtr<IPictureDisp> shown;
    ASSERT_EQ(OleCreatePictureIndirect(&iconDescription, IID_IPictureDisp, FALSE,
                                       reinterpret_cast<void**>(shown.GetAddressOf())),
              S_OK);
    ASSERT_EQ(putByName(control, L"MouseIcon", objectValue(shown.Get())).first, S_OK);
    EXPECT_TRUE(sameObject(button.get("MouseIcon").raw().pdispVal, shown.Get()));
    ASSERT_NO_FATAL_FAILURE(throughStream(control));
    const Pixels drawn = pixelsOf(button.get("MouseIcon").raw().pdispVal);
    EXPECT_EQ(drawn.width, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(drawn.height, GetSystemMetrics(SM_CYICON));
    EXPECT_NE(std::count(drawn.bits.begin(), drawn.bits.end(), 0x00FFFFFFu),
              static_cast<std::ptrdiff_t>(drawn.bits.size()));  // the icon, not only the white
}

TEST_F(GlintDll, HostedItLooksAsTheGallerysPictureOfTheSameState)
{
    const std::filesystem::path gallery = writtenGallery(L"qln-glint-gallery", &gallery::renderGallery);
    constexpr int kW = gallery::sampleWidth, kH = gallery::sampleHeight;
    const COLORREF paper = gallery::samplePaper;  // OLE colours and COLORREFs share the layout
    const auto skins = [](const ComPtr<IUnknown>& control, com::Dispatch& button) {
        for (const auto& [name, picture] : gallery::skinPictures()) {
            const ComPtr<IPictureDisp> object = pictureOf(*picture);
            const std::wstring wide(name.begin(), name.end());
            ASSERT_EQ(putByName(control, wide.c_str(), objectValue(object.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
        }
        button.put("ForeColor", std::int32_t{0xFFFFFF});
        button.put("HighlightColor", std::int32_t{0});
    };
    const POINT inside{220 + kW / 2, 220 + kH / 2};
    struct Case {
        const char* sample;
        std::function<void(const ComPtr<IUnknown>&, com::Dispatch&, Site&)> enter;
    };
    const std::vector<Case> cases{
        {"3d-up", [](auto&, com::Dispatch&, Site&) {}},
        {"xp-hover", [&](auto&, com::Dispatch& b, Site&) {
             b.put("Appearance", std::int32_t{3});
             pointerTo(inside);
         }},
        {"flat-border-disabled", [](auto&, com::Dispatch& b, Site&) {
             b.put("Appearance", std::int32_t{1});
             b.put("BorderColor", std::int32_t{0x5A5A5A});
             b.put("Enabled", com::Variant(false));
         }},
        {"xp-toggle-down", [](auto&, com::Dispatch& b, Site&) {
             b.put("Appearance", std::int32_t{3});
             b.put("Style", std::int32_t{1});
             b.put("Value", std::int32_t{0});
         }},
        {"3d-default", [](const ComPtr<IUnknown>& c, com::Dispatch&, Site& site) {
             site.ambients[DISPID_AMBIENT_DISPLAYASDEFAULT] = com::Variant(true);
             ComPtr<IOleControl> ole;
             ASSERT_EQ(c.As(&ole), S_OK);
             ASSERT_EQ(ole->OnAmbientPropertyChange(DISPID_AMBIENT_DISPLAYASDEFAULT), S_OK);
         }},
        {"skin-up", [&](const ComPtr<IUnknown>& c, com::Dispatch& b, Site&) { skins(c, b); }},
        {"skin-hover", [&](const ComPtr<IUnknown>& c, com::Dispatch& b, Site&) {
             skins(c, b);
             pointerTo(inside);
         }},
        {"skin-disabled", [&](const ComPtr<IUnknown>& c, com::Dispatch& b, Site&) {
             skins(c, b);
             b.put("Enabled", com::Variant(false));
         }},
    };
    for (const Case& sample : cases) {
        SCOPED_TRACE(sample.sample);
        parkPointer();
        PaperWindow container(200, 200, kW + 40, kH + 40, paper);
        const RECT position{20, 20, 20 + kW, 20 + kH};
        ComPtr<Site> site;
        site.Attach(new Site(container.handle(), position, PageSite::None));
        ComPtr<IUnknown> control = create(kGlintProgId);
        ASSERT_TRUE(control);
        site->ambients[DISPID_AMBIENT_BACKCOLOR] = com::Variant(static_cast<std::int32_t>(paper));
        placeNew(control, *site.Get(), container.handle(), position);
        com::Dispatch button = late(control);
        button.put("Caption", "&Reply");
        sample.enter(control, button, *site.Get());
        pump(300);
        const RECT screen{220, 220, 220 + kW, 220 + kH};
        EXPECT_EQ(difference(screenPixels(screen),
                             pngPixels(gallery / (std::string(sample.sample) + ".png"), gallery::sampleMargin,
                                       gallery::sampleMargin, kW, kH),
                             kW),
                  "");
        parkPointer();
        pump(100);
        closeControl(control);
    }
}

// ---- FlairButton --------------------------------------------------------------------------------

const std::vector<std::string> kFlairScalars{"Caption", "CaptionDetail", "Style",  "State",   "Image",   "ImageOver",
                                             "ImageDisabled", "Checked", "Locked", "BackColor", "ForeColor",
                                             "Hyperlink"};

struct FlairReference {
    FlairReference()
    {
        form.Show();
        button.move(0, 0, form.Width(), form.Height());
        button.InitProperties();
    }
    ReferenceWorld world;
    HoldingForm form{world.host, "frmFlairButton", kFlairWidth * 15.0, kFlairHeight * 15.0};
    flair::FlairButton& button = form.hold<flair::FlairButton>("FlairButton1");
};

class FlairDll : public ::testing::Test {
protected:
    Apartment apartment;
};

TEST_F(FlairDll, EveryPropertyIsSetAndReadByNameNotifiesByIdAndAnInvalidEnumeratedValueRaises380)
{
    ComPtr<IUnknown> control = create(kFlairProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    EXPECT_EQ(button.get("Image").toLong(), 1);  // a new instance's pictures
    EXPECT_EQ(button.get("ImageOver").toLong(), 2);

    ComPtr<Site> site;
    site.Attach(new Site(nullptr, RECT{}, PageSite::None));
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> notify;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(notify->Advise(static_cast<IPropertyNotifySink*>(site.Get()), &cookie), S_OK);
    ComPtr<EventLog> log = listen(control, kFlairEvents);

    const std::vector<std::pair<std::string, com::Variant>> values{
        {"Caption", com::Variant("Browse")},       {"CaptionDetail", com::Variant("Ctrl+B")},
        {"Style", com::Variant(std::int32_t{1})},  {"Image", com::Variant(std::int32_t{5})},
        {"ImageOver", com::Variant(std::int32_t{6})}, {"ImageDisabled", com::Variant(std::int32_t{7})},
        {"Checked", com::Variant(true)},           {"BackColor", com::Variant(std::int32_t{0x00C0FFEE})},
        {"ForeColor", com::Variant(std::int32_t{0x00000080})}, {"Hyperlink", com::Variant("http://example.com/")},
        {"State", com::Variant(std::int32_t{3})},  {"Locked", com::Variant(true)},
    };
    ASSERT_EQ(values.size(), kFlairScalars.size());
    for (const auto& [name, value] : values) {
        button.put(name, value);
        EXPECT_EQ(button.get(name).toString(), value.toString()) << name;
    }
    const auto heard = [&](DISPID id) {
        return std::count(site->changedProperties.begin(), site->changedProperties.end(), id);
    };
    EXPECT_GE(heard(-518), 1);  // Caption
    EXPECT_GE(heard(2), 1);     // Style
    EXPECT_GE(heard(3), 1);     // State
    EXPECT_GE(heard(9), 1);     // Hyperlink
    EXPECT_EQ(heard(7), 0);     // Checked and Locked store only
    EXPECT_EQ(heard(8), 0);
    EXPECT_EQ(heard(DISPID_UNKNOWN), 0);
    // Assigning State raised OnStateChange with the new state.
    ASSERT_FALSE(log->events.empty());
    EXPECT_EQ(log->events.back().first, 9);
    EXPECT_EQ(log->events.back().second.at(0).toLong(), 3);

    for (const wchar_t* name : {L"Style", L"State"}) {
        const auto [hr, code] = putByName(control, name, longValue(9));
        EXPECT_EQ(hr, DISP_E_EXCEPTION) << name;
        EXPECT_EQ(code, CTL_E_INVALIDPROPERTYVALUE) << name;
    }
    EXPECT_EQ(button.get("Style").toLong(), 1);
    EXPECT_EQ(button.get("State").toLong(), 3);
    EXPECT_EQ(notify->Unadvise(cookie), S_OK);
}

TEST_F(FlairDll, APropertyBagAndAStreamGiveBackTheStateTheyWereSavedFrom)
{
    ComPtr<IUnknown> control = create(kFlairProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    button.put("Caption", "Saved");
    button.put("CaptionDetail", "detail");
    button.put("Style", std::int32_t{3});
    button.put("BackColor", std::int32_t{0x00445566});  // wins over the style's background
    button.put("Checked", com::Variant(true));
    button.put("Hyperlink", "http://example.com/");
    const auto saved = stateOf(button, kFlairScalars);

    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(control.As(&bagged), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    ASSERT_EQ(bagged->InitNew(), S_OK);
    EXPECT_NE(stateOf(button, kFlairScalars), saved);
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(stateOf(button, kFlairScalars), saved);

    ASSERT_NO_FATAL_FAILURE(throughStream(control));
    EXPECT_EQ(stateOf(button, kFlairScalars), saved);

    // Loading goes on past a value the button refuses.
    bag.values[L"Style"] = com::Variant(std::int32_t{9});
    bag.values[L"Hyperlink"] = com::Variant("http://example.org/");
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(button.get("Hyperlink").toString(), "http://example.org/");
}

TEST_F(FlairDll, HostedItDrawsAsTheButtonDoesAndARealClickRaisesItsEvents)
{
    parkPointer();
    ContainerWindow container(200, 300, kFlairWidth + 40, kFlairHeight + 40);
    const RECT position{20, 20, 20 + kFlairWidth, 20 + kFlairHeight};
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), position, PageSite::None));
    ComPtr<IUnknown> control = create(kFlairProgId);
    ASSERT_TRUE(control);
    host(control, *site.Get(), container.handle(), position);
    initNew(control);
    com::Dispatch button = late(control);
    button.put("Caption", "Apply");
    button.put("Style", std::int32_t{1});
    pump(300);

    const RECT screen{220, 320, 220 + kFlairWidth, 320 + kFlairHeight};
    {
        FlairReference reference;
        reference.button.setCaption("Apply");
        reference.button.setStyle(1);
        EXPECT_EQ(difference(screenPixels(screen), reference.form.render().bits(), kFlairWidth), "");
    }

    // The container's background changes: the button takes it, and repaints.
    site->ambients[DISPID_AMBIENT_BACKCOLOR] = com::Variant(std::int32_t{0x00E0D0C0});
    ComPtr<IOleControl> oleControl;
    ASSERT_EQ(control.As(&oleControl), S_OK);
    ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
    EXPECT_EQ(button.get("BackColor").toLong(), 0x00E0D0C0);
    pump(200);
    {
        FlairReference reference;
        reference.button.setCaption("Apply");
        reference.button.setStyle(1);
        reference.button.setBackColor(0x00E0D0C0);
        EXPECT_EQ(difference(screenPixels(screen), reference.form.render().bits(), kFlairWidth), "");
    }

    ComPtr<EventLog> log = listen(control, kFlairEvents);
    clickAt(POINT{220 + kFlairWidth / 2, 320 + kFlairHeight / 2});
    pump(300);
    // MouseDown, MouseUp, Click in that order (moves, hover and state changes between them).
    EXPECT_EQ(log->idsWithout({1, 2, 5, 9}), (std::vector<DISPID>{3, 4, 6}));
    EXPECT_EQ(button.get("State").toLong(), 1);  // Over, under the pointer

    // A hyperlink whose sink cancels the navigation: Click, BeforeNavigate, no OnNavigate.
    button.put("Style", std::int32_t{3});
    button.put("Hyperlink", "http://example.com/");
    log->events.clear();
    log->cancel = true;
    clickAt(POINT{220 + kFlairWidth / 2, 320 + kFlairHeight / 2});
    pump(300);
    EXPECT_EQ(log->idsWithout({1, 2, 3, 4, 5, 9}), (std::vector<DISPID>{6, 7}));
    parkPointer();
    pump(100);
    closeControl(control);
}

TEST_F(FlairDll, HostedByWinesAtlContainerItIsCreatedByProgIdAndDrawsAsTheButton)
{
    parkPointer();
    AtlHost atl(kFlairProgId, 60, 60, kFlairWidth, kFlairHeight);
    ComPtr<IUnknown> control = atl.control();
    ASSERT_TRUE(control);
    com::Dispatch button = late(control);
    button.put("Caption", "Atl");
    button.put("Image", std::int32_t{3});
    pump(200);
    const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(button.get("hWnd").toLong()));
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), atl.window());
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, kFlairWidth);
    FlairReference reference;
    reference.button.setCaption("Atl");
    reference.button.setImage(3);
    EXPECT_EQ(difference(screenPixels(bounds), reference.form.render().bits(), kFlairWidth), "");
}

TEST_F(FlairDll, TheFontIsSavedAsAnObjectInABagAndAsBytesInAStream)
{
    ComPtr<IUnknown> control = create(kFlairProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    // The font as its object describes it in its stream (asking its properties would answer the
    // face Wine puts in the place of one it lacks).
    const auto described = [&] {
        ComPtr<IPersistStream> persist;
        EXPECT_EQ(button.get("Font").toDispatch().As(&persist), S_OK);
        ComPtr<IStream> stream;
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        EXPECT_EQ(persist->Save(stream.Get(), FALSE), S_OK);
        HGLOBAL memory = nullptr;
        GetHGlobalFromStream(stream.Get(), &memory);
        const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
        const std::string name(reinterpret_cast<const char*>(bytes + 11), bytes[10]);
        const bool bold = (bytes[4] | bytes[5] << 8) >= FW_SEMIBOLD;
        GlobalUnlock(memory);
        return std::make_pair(name, bold);
    };
    const auto fontName = [&] { return described().first; };
    const auto fontBold = [&] { return described().second; };
    const std::string ambientName = fontName();
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = const_cast<LPOLESTR>(L"Tahoma");
    description.cySize.int64 = 100000;
    description.sWeight = FW_BOLD;
    ComPtr<IFontDisp> tahoma;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(tahoma.GetAddressOf())),
              S_OK);
    ASSERT_EQ(putByName(control, L"Font", objectValue(tahoma.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
    ASSERT_EQ(fontName(), "Tahoma");

    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(control.As(&bagged), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values[L"Font"].type(), VT_UNKNOWN);
    MemoryBag empty;
    ASSERT_EQ(bagged->Load(&empty, nullptr), S_OK);
    EXPECT_EQ(fontName(), ambientName);  // not in the bag: the ambient font
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(fontName(), "Tahoma");
    EXPECT_TRUE(fontBold());

    ASSERT_NO_FATAL_FAILURE(throughStream(control));
    EXPECT_EQ(fontName(), "Tahoma");
    EXPECT_TRUE(fontBold());

    // Bytes that are no font are passed over, as every value of the button's loading is: the
    // font stays as it was, and the values before it loaded.
    MemoryBag damaged;
    damaged.values[L"Font"] = byteArray({1, 2, 3});
    damaged.values[L"Caption"] = com::Variant("Before");
    ASSERT_EQ(bagged->Load(&damaged, nullptr), S_OK);
    EXPECT_EQ(button.get("Caption").toString(), "Before");
    EXPECT_EQ(fontName(), "Tahoma");
}

TEST_F(FlairDll, HostedItLooksAsTheGallerysPictureOfTheSameState)
{
    const std::filesystem::path gallery = writtenGallery(L"qln-flair-gallery", &flairgallery::renderGallery);
    constexpr int kW = flairgallery::sampleWidth, kH = flairgallery::sampleHeight;
    const POINT inside{220 + kW / 2, 220 + kH / 2};
    const auto plain = [](com::Dispatch& b, std::int32_t style) {
        b.put("Style", style);
        b.put("Caption", "&Options");
        b.put("Image", std::int32_t{0});
        b.put("ImageOver", std::int32_t{0});
        b.put("ImageDisabled", std::int32_t{0});
    };
    const auto pictured = [](com::Dispatch& b, std::int32_t style) {
        b.put("Style", style);
        b.put("Caption", style == 3 ? "Visit the &web site" : "&Options");
        if (style == 3) {
            b.put("Image", std::int32_t{11});
            b.put("ImageOver", std::int32_t{12});
            b.put("ImageDisabled", std::int32_t{11});
        }
        b.put("CaptionDetail", "Ctrl+O");
    };
    struct Case {
        const char* sample;
        std::function<void(com::Dispatch&)> enter;
    };
    const std::vector<Case> cases{
        {"xp-plain-normal", [&](com::Dispatch& b) { plain(b, 1); }},
        {"xp-plain-over", [&](com::Dispatch& b) {
             plain(b, 1);
             pointerTo(inside);
         }},
        {"flat-plain-over", [&](com::Dispatch& b) {
             plain(b, 0);
             pointerTo(inside);
         }},
        {"flat-picture-disabled", [&](com::Dispatch& b) {
             pictured(b, 0);
             b.put("State", std::int32_t{5});
         }},
        {"xp-picture-normal", [&](com::Dispatch& b) { pictured(b, 1); }},
        {"hyperlink-picture-normal", [&](com::Dispatch& b) { pictured(b, 3); }},
        {"flat-plain-checked", [&](com::Dispatch& b) {
             plain(b, 0);
             b.put("Checked", com::Variant(true));
             pointerTo(inside);
             clickAt(inside);
             pump(200);
             parkPointer();
         }},
    };
    for (const Case& sample : cases) {
        SCOPED_TRACE(sample.sample);
        parkPointer();
        PaperWindow container(200, 200, kW + 40, kH + 40, GetSysColor(COLOR_BTNFACE));
        const RECT position{20, 20, 20 + kW, 20 + kH};
        ComPtr<Site> site;
        site.Attach(new Site(container.handle(), position, PageSite::None));
        ComPtr<IUnknown> control = create(kFlairProgId);
        ASSERT_TRUE(control);
        placeNew(control, *site.Get(), container.handle(), position);
        com::Dispatch button = late(control);
        sample.enter(button);
        pump(300);
        const RECT screen{220, 220, 220 + kW, 220 + kH};
        EXPECT_EQ(difference(screenPixels(screen),
                             pngPixels(gallery / (std::string(sample.sample) + ".png"), flairgallery::sampleMargin,
                                       flairgallery::sampleMargin, kW, kH),
                             kW),
                  "");
        parkPointer();
        pump(100);
        closeControl(control);
    }
}

// A host's image list of the forms' component's shape, late-bound only: ImageWidth, ImageHeight,
// Tag, ListImages (Count, Item(index)) and each picture's Picture.
class FakeImageList final : public com_tests::CountedDispatch {
public:
    FakeImageList(std::string tag, std::vector<ComPtr<IPictureDisp>> pictures, int kind = 0, int index = 0)
        : tag_(std::move(tag)), pictures_(std::move(pictures)), kind_(kind), index_(index)
    {
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override
    {
        static const std::map<std::wstring, DISPID> known{{L"ImageWidth", 1}, {L"ImageHeight", 2}, {L"Tag", 3},
                                                          {L"ListImages", 4}, {L"Count", 5},      {L"Item", 0},
                                                          {L"Picture", 6}};
        const auto found = known.find(names[0]);
        *ids = found == known.end() ? DISPID_UNKNOWN : found->second;
        return found == known.end() ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        VariantInit(result);
        const auto give = [&](com::Variant value) { return VariantCopy(result, const_cast<VARIANT*>(&value.raw())); };
        if (kind_ == 0 && (id == 1 || id == 2))
            return give(com::Variant(std::int32_t{16}));
        if (kind_ == 0 && id == 3)
            return give(com::Variant(tag_));
        if (kind_ == 0 && id == 4)
            return give(part(1, 0));
        if (kind_ == 1 && id == 5)
            return give(com::Variant(static_cast<std::int32_t>(pictures_.size())));
        if (kind_ == 1 && id == 0 && params && params->cArgs == 1) {
            const int at = com::Variant::copyOf(params->rgvarg[0]).toLong();
            if (at < 1 || at > static_cast<int>(pictures_.size()))
                return DISP_E_BADINDEX;
            return give(part(2, at));
        }
        if (kind_ == 2 && id == 6)
            return give(com::Variant(static_cast<IDispatch*>(pictures_[index_ - 1].Get())));
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    // The ListImages collection (kind 1) or one of its pictures (kind 2).
    com::Variant part(int kind, int index) const
    {
        ComPtr<IDispatch> made;
        made.Attach(new FakeImageList(tag_, pictures_, kind, index));
        return com::Variant(made);
    }

    std::string tag_;
    std::vector<ComPtr<IPictureDisp>> pictures_;
    int kind_;
    int index_;
};

ComPtr<IDispatch> fakeImageList(const char* tag, std::vector<std::uint32_t> colours)
{
    std::vector<ComPtr<IPictureDisp>> pictures;
    for (std::uint32_t colour : colours)
        pictures.push_back(solidPicture(16, 16, colour));
    ComPtr<IDispatch> list;
    list.Attach(new FakeImageList(tag, std::move(pictures)));
    return list;
}

// The control drawn through IViewObject::Draw, as a host that paints it itself.
std::vector<std::uint32_t> drawnPixels(const ComPtr<IUnknown>& control, int width, int height)
{
    ComPtr<IViewObject2> view;
    EXPECT_EQ(control.As(&view), S_OK);
    const std::vector<std::uint32_t> none(static_cast<std::size_t>(width) * height, 0);
    const ComPtr<IPictureDisp> canvas = bitmapPicture(width, height, none.data());
    ComPtr<IPicture> picture;
    EXPECT_EQ(canvas.As(&picture), S_OK);
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle)));
    const RECTL bounds{0, 0, width, height};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0), S_OK);
    GdiFlush();
    SelectObject(memory, previous);
    DeleteDC(memory);
    return pixelsOf(canvas.Get()).bits;
}

TEST_F(FlairDll, ImageListsAreObjectsOfTheImageListComponentsShapeAndFollowTheBuiltInList)
{
    ComPtr<IUnknown> control = create(kFlairProgId);
    ASSERT_TRUE(control);
    initNew(control);
    com::Dispatch button = late(control);
    // A new instance: all three are the built-in list, one object of the component's shape.
    const com::Variant builtIn = button.get("ImageList");
    ASSERT_EQ(builtIn.type(), VT_DISPATCH);
    const com::Dispatch list(builtIn.toDispatch());
    EXPECT_EQ(list.get("Tag").toString(), "dorveltimagelist");
    EXPECT_EQ(list.get("ImageWidth").toLong(), 16);
    const com::Dispatch images(list.get("ListImages").toDispatch());
    EXPECT_EQ(images.get("Count").toLong(), 48);
    EXPECT_EQ(pixelsOf(com::Dispatch(images.get("Item", {com::Variant(std::int32_t{3})}).toDispatch())
                           .get("Picture")
                           .raw()
                           .pdispVal)
                  .width,
              16);
    EXPECT_TRUE(sameObject(button.get("ImageListOver").raw().pdispVal, builtIn.raw().pdispVal));
    EXPECT_TRUE(sameObject(button.get("ImageListDisabled").raw().pdispVal, builtIn.raw().pdispVal));

    // A host's list: read back as itself; the over and disabled lists, still the built-in one,
    // follow it; its second picture is the button's picture 2.
    const ComPtr<IDispatch> mine = fakeImageList("mine", {0x00FF0000, 0x0000FF00});
    ASSERT_EQ(putByName(control, L"ImageList", objectValue(mine.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
    EXPECT_TRUE(sameObject(button.get("ImageList").raw().pdispVal, mine.Get()));
    EXPECT_TRUE(sameObject(button.get("ImageListOver").raw().pdispVal, mine.Get()));
    EXPECT_TRUE(sameObject(button.get("ImageListDisabled").raw().pdispVal, mine.Get()));
    button.put("Image", std::int32_t{2});
    const auto drawn = drawnPixels(control, kFlairWidth, kFlairHeight);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 0x0000FF00u), 16 * 16);

    // An over list of the host's own stays when the list changes again.
    const ComPtr<IDispatch> over = fakeImageList("over", {0x000000FF});
    ASSERT_EQ(putByName(control, L"ImageListOver", objectValue(over.Get()), DISPATCH_PROPERTYPUTREF).first, S_OK);
    ASSERT_EQ(putByName(control, L"ImageList", objectValue(builtIn.raw().pdispVal)).first, S_OK);
    EXPECT_TRUE(sameObject(button.get("ImageListOver").raw().pdispVal, over.Get()));
    EXPECT_EQ(com::Dispatch(button.get("ImageList").toDispatch()).get("Tag").toString(), "dorveltimagelist");

    // An object of another shape: error 380, the list kept; Nothing: no list.
    const com::Variant font = button.get("Font");
    const auto [hr, code] = putByName(control, L"ImageListOver", objectValue(font.raw().pdispVal));
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(code, CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_TRUE(sameObject(button.get("ImageListOver").raw().pdispVal, over.Get()));
    ASSERT_EQ(putByName(control, L"ImageListDisabled", objectValue(nullptr), DISPATCH_PROPERTYPUTREF).first, S_OK);
    EXPECT_EQ(button.get("ImageListDisabled").raw().pdispVal, nullptr);
}

} // namespace
