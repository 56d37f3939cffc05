#include "apps/control-dlls/FlairControl.h"

#include "platform/Failure.h"

namespace qln::control_dlls {

namespace {

using platform::win32::com::activex::PersistedProperty;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

// A new instance's size, twips (a push button of the options page).
constexpr double kWidth = 1800;
constexpr double kHeight = 375;

} // namespace

IUnknown* FlairControl::create() { return static_cast<IOleObject*>(new FlairControl()); }

FlairControl::FlairControl()
    : ButtonControl(CLSID_FlairButton, kMiscStatus, DIID___FlairButton, "frmFlairButton", "FlairButton1", kWidth,
                    kHeight)
{
    button_.setHyperlinkServices(&world_->files, &world_->system);

    button_.MouseEnter = [this] { raiseEvent(flair::dispMouseEnter); };
    button_.MouseExit = [this] { raiseEvent(flair::dispMouseExit); };
    button_.MouseDown = mouseEvent(flair::dispMouseDown);
    button_.MouseUp = mouseEvent(flair::dispMouseUp);
    button_.MouseMove = mouseEvent(flair::dispMouseMove);
    button_.Click = [this] { raiseEvent(flair::dispClick); };
    button_.BeforeNavigate = [this](bool& cancel) {
        // Cancel goes by reference: a sink that sets it stops the navigation.
        VARIANT_BOOL answer = boolOf(cancel);
        std::vector<com::Variant> args(1);
        VARIANT* reference = args[0].receive();
        reference->vt = VT_BOOL | VT_BYREF;
        reference->pboolVal = &answer;
        raiseEvent(flair::dispBeforeNavigate, args);
        cancel = answer != VARIANT_FALSE;
    };
    button_.OnNavigate = [this](const std::string& link) { raiseEvent(flair::dispOnNavigate, {com::Variant(link)}); };
    button_.OnStateChange = [this](std::int32_t status) {
        raiseEvent(flair::dispOnStateChange, {com::Variant(status)});
    };
}

FlairControl::~FlairControl() = default;

void FlairControl::buttonAmbientChanged(DISPID id)
{
    if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN)
        button_.ambientChanged("BackColor");
    if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN)
        button_.ambientChanged("Font");
}

std::vector<PersistedProperty> FlairControl::persistedProperties()
{
    // In the button's loading order; each step goes on past its own failure.
    using B = flair::FlairButton;
    const auto make = [this](const wchar_t* name, com::Variant byDefault, auto read, auto write) {
        return PersistedProperty{name, std::move(byDefault), [this, read] { return read(button_); },
                                 [this, write](const com::Variant& v) {
                                     platform::ignoreFailure([&] { write(button_, v); });
                                 }};
    };
    const auto number = [](std::int32_t value) { return com::Variant(value); };
    const auto colour = [](const com::Variant& v) { return static_cast<draw::OleColour>(v.toLong()); };
    const auto index = [](const com::Variant& v) { return static_cast<std::int16_t>(v.toLong()); };
    std::vector<PersistedProperty> properties{
        make(L"Caption", com::Variant(""), [](B& b) { return com::Variant(b.Caption()); },
             [](B& b, const com::Variant& v) { b.setCaption(v.toString()); }),
        make(L"CaptionDetail", com::Variant(""), [](B& b) { return com::Variant(b.CaptionDetail()); },
             [](B& b, const com::Variant& v) { b.setCaptionDetail(v.toString()); }),
        make(L"Style", number(0), [number](B& b) { return number(b.Style()); },
             [](B& b, const com::Variant& v) { b.setStyle(v.toLong()); }),
        make(L"Image", number(0), [number](B& b) { return number(b.Image()); },
             [index](B& b, const com::Variant& v) { b.setImage(index(v)); }),
        make(L"ImageOver", number(0), [number](B& b) { return number(b.ImageOver()); },
             [index](B& b, const com::Variant& v) { b.setImageOver(index(v)); }),
        make(L"ImageDisabled", number(0), [number](B& b) { return number(b.ImageDisabled()); },
             [index](B& b, const com::Variant& v) { b.setImageDisabled(index(v)); }),
        make(L"BackColor", number(static_cast<std::int32_t>(0x8000000F)),
             [number](B& b) { return number(static_cast<std::int32_t>(b.BackColor())); },
             [colour](B& b, const com::Variant& v) { b.setBackColor(colour(v)); }),
        make(L"ForeColor", number(static_cast<std::int32_t>(0x80000012)),
             [number](B& b) { return number(static_cast<std::int32_t>(b.ForeColor())); },
             [colour](B& b, const com::Variant& v) { b.setForeColor(colour(v)); }),
        make(L"Locked", com::Variant(false), [](B& b) { return com::Variant(b.Locked()); },
             [](B& b, const com::Variant& v) { b.setLocked(v.toBool()); }),
        make(L"Checked", com::Variant(false), [](B& b) { return com::Variant(b.Checked()); },
             [](B& b, const com::Variant& v) { b.setChecked(v.toBool()); }),
        make(L"State", number(0), [number](B& b) { return number(b.State()); },
             [](B& b, const com::Variant& v) { b.setState(v.toLong()); }),
        make(L"Hyperlink", com::Variant(""), [](B& b) { return com::Variant(b.Hyperlink()); },
             [](B& b, const com::Variant& v) { b.setHyperlink(v.toString()); }),
    };
    // The font last, its failure ignored too: bytes that are no font leave the font as it was.
    PersistedProperty font = fontProperty();
    font.set = [set = std::move(font.set)](const com::Variant& v) { platform::ignoreFailure([&] { set(v); }); };
    font.fromBytes = [get = font.get, from = std::move(font.fromBytes)](std::span<const std::uint8_t> bytes) {
        com::Variant result;
        if (!platform::ignoreFailure([&] { result = from(bytes); }))
            result = get();
        return result;
    };
    properties.push_back(std::move(font));
    return properties;
}

// ---- _FlairButton ------------------------------------------------------------------------------

HRESULT FlairControl::get_Caption(BSTR* v) { return get(v, [&] { return bstr(button_.Caption()); }); }
HRESULT FlairControl::put_Caption(BSTR v) { return set([&] { button_.setCaption(text(v)); }); }
HRESULT FlairControl::get_CaptionDetail(BSTR* v) { return get(v, [&] { return bstr(button_.CaptionDetail()); }); }
HRESULT FlairControl::put_CaptionDetail(BSTR v) { return set([&] { button_.setCaptionDetail(text(v)); }); }
HRESULT FlairControl::get_Style(ButtonStyleEnum* v)
{
    return get(v, [&] { return static_cast<ButtonStyleEnum>(button_.Style()); });
}
HRESULT FlairControl::put_Style(ButtonStyleEnum v) { return set([&] { button_.setStyle(v); }); }
HRESULT FlairControl::get_State(ButtonStateEnum* v)
{
    return get(v, [&] { return static_cast<ButtonStateEnum>(button_.State()); });
}
HRESULT FlairControl::put_State(ButtonStateEnum v) { return set([&] { button_.setState(v); }); }
HRESULT FlairControl::get_Image(SHORT* v) { return get(v, [&] { return SHORT{button_.Image()}; }); }
HRESULT FlairControl::put_Image(SHORT v) { return set([&] { button_.setImage(v); }); }
HRESULT FlairControl::get_ImageOver(SHORT* v) { return get(v, [&] { return SHORT{button_.ImageOver()}; }); }
HRESULT FlairControl::put_ImageOver(SHORT v) { return set([&] { button_.setImageOver(v); }); }
HRESULT FlairControl::get_ImageDisabled(SHORT* v) { return get(v, [&] { return SHORT{button_.ImageDisabled()}; }); }
HRESULT FlairControl::put_ImageDisabled(SHORT v) { return set([&] { button_.setImageDisabled(v); }); }
HRESULT FlairControl::get_Checked(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.Checked()); }); }
HRESULT FlairControl::put_Checked(VARIANT_BOOL v) { return set([&] { button_.setChecked(v != VARIANT_FALSE); }); }
HRESULT FlairControl::get_Locked(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.Locked()); }); }
HRESULT FlairControl::put_Locked(VARIANT_BOOL v) { return set([&] { button_.setLocked(v != VARIANT_FALSE); }); }
HRESULT FlairControl::get_BackColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.BackColor()}; }); }
HRESULT FlairControl::put_BackColor(OLE_COLOR v) { return set([&] { button_.setBackColor(v); }); }
HRESULT FlairControl::get_ForeColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.ForeColor()}; }); }
HRESULT FlairControl::put_ForeColor(OLE_COLOR v) { return set([&] { button_.setForeColor(v); }); }
HRESULT FlairControl::get_Font(IFontDisp** v) { return getFont(v); }
HRESULT FlairControl::putref_Font(IFontDisp* v) { return putFont(v); }
HRESULT FlairControl::get_Hyperlink(BSTR* v) { return get(v, [&] { return bstr(button_.Hyperlink()); }); }
HRESULT FlairControl::put_Hyperlink(BSTR v) { return set([&] { button_.setHyperlink(text(v)); }); }
HRESULT FlairControl::get_hWnd(LONG* v) { return get(v, [&] { return handleValue(button_.hWnd()); }); }
HRESULT FlairControl::get_ImageList(IDispatch** v)
{
    return get(v, [&] { return imageLists_.toObject(button_.ImageList()).Detach(); });
}
HRESULT FlairControl::put_ImageList(IDispatch* v) { return putref_ImageList(v); }
HRESULT FlairControl::putref_ImageList(IDispatch* v)
{
    return set([&] { button_.setImageList(imageLists_.toList(v, pictures_)); });
}
HRESULT FlairControl::get_ImageListOver(IDispatch** v)
{
    return get(v, [&] { return imageLists_.toObject(button_.ImageListOver()).Detach(); });
}
HRESULT FlairControl::put_ImageListOver(IDispatch* v) { return putref_ImageListOver(v); }
HRESULT FlairControl::putref_ImageListOver(IDispatch* v)
{
    return set([&] { button_.setImageListOver(imageLists_.toList(v, pictures_)); });
}
HRESULT FlairControl::get_ImageListDisabled(IDispatch** v)
{
    return get(v, [&] { return imageLists_.toObject(button_.ImageListDisabled()).Detach(); });
}
HRESULT FlairControl::put_ImageListDisabled(IDispatch* v) { return putref_ImageListDisabled(v); }
HRESULT FlairControl::putref_ImageListDisabled(IDispatch* v)
{
    return set([&] { button_.setImageListDisabled(imageLists_.toList(v, pictures_)); });
}
HRESULT FlairControl::Refresh() { return set([&] { button_.Refresh(); }); }

} // namespace qln::control_dlls
