#include "apps/control-dlls/GlintControl.h"

#include <cwctype>

#include "platform/Failure.h"

namespace qln::control_dlls {

namespace {

using platform::win32::com::activex::PersistedProperty;
using B = glint::GlintButton;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTSLIKEBUTTON;

// A new instance's size, twips.
constexpr double kWidth = 1215;
constexpr double kHeight = 495;

// The events' dispatch ids, in the order of the event interface.
enum : DISPID {
    evClick = 1, evKeyDown, evKeyPress, evKeyUp, evMouseDown, evMouseEnter, evMouseExit, evMouseMove, evMouseUp,
    evResize
};

} // namespace

IUnknown* GlintControl::create() { return static_cast<IOleObject*>(new GlintControl()); }

GlintControl::GlintControl()
    : ButtonControl(CLSID_GlintButton, kMiscStatus, DIID___GlintButton, "frmGlintButton", "GlintButton1", kWidth,
                    kHeight)
{
    const auto keys = [this](DISPID id) {
        return [this, id](std::int16_t code, std::int16_t shift) {
            raiseEvent(id, {shortArgument(code), shortArgument(shift)});
        };
    };
    button_.Click = [this] { raiseEvent(evClick); };
    button_.KeyDown = keys(evKeyDown);
    button_.KeyPress = [this](std::int16_t ascii) { raiseEvent(evKeyPress, {shortArgument(ascii)}); };
    button_.KeyUp = keys(evKeyUp);
    button_.MouseDown = mouseEvent(evMouseDown);
    button_.MouseEnter = [this] { raiseEvent(evMouseEnter); };
    button_.MouseExit = [this] { raiseEvent(evMouseExit); };
    button_.MouseMove = mouseEvent(evMouseMove);
    button_.MouseUp = mouseEvent(evMouseUp);
    button_.Resize = [this] { raiseEvent(evResize); };
}

GlintControl::~GlintControl() = default;

void GlintControl::buttonAmbientChanged(DISPID id)
{
    const std::string name = ambientName(id);
    if (!name.empty())
        button_.ambientChanged(name);
    if (id == DISPID_UNKNOWN) {
        // Several changed at once: each the button reacts to.
        button_.ambientChanged("BackColor");
        button_.ambientChanged("DisplayAsDefault");
    }
}

std::wstring GlintControl::accessKeys() const
{
    std::wstring keys;
    for (char c : button_.AccessKeys())
        if (static_cast<unsigned char>(c) < 0x80)
            keys += static_cast<wchar_t>(c);
    return keys;
}

void GlintControl::onMnemonic(const MSG& msg)
{
    // The container saw one of our access keys: the button's access-key press (a Click).
    const auto pressed = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(msg.wParam)));
    for (char key : button_.AccessKeys()) {
        if (static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(key))) == pressed) {
            button_.accessKeyPress(std::string(1, key));
            return;
        }
    }
}

std::vector<PersistedProperty> GlintControl::persistedProperties()
{
    // In the button's loading order; each assignment is the property's own.
    const auto number = [this](const wchar_t* name, std::int32_t byDefault, auto read, auto write) {
        return PersistedProperty{name, com::Variant(byDefault),
                                 [this, read] { return com::Variant(static_cast<std::int32_t>(read(button_))); },
                                 [this, write](const com::Variant& v) { write(button_, v.toLong()); }};
    };
    const auto flag = [this](const wchar_t* name, bool byDefault, auto read, auto write) {
        return PersistedProperty{name, com::Variant(byDefault), [this, read] { return com::Variant(read(button_)); },
                                 [this, write](const com::Variant& v) { write(button_, v.toBool()); }};
    };
    const auto words = [this](const wchar_t* name, const char* byDefault, auto read, auto write) {
        return PersistedProperty{name, com::Variant(byDefault), [this, read] { return com::Variant(read(button_)); },
                                 [this, write](const com::Variant& v) { write(button_, v.toString()); }};
    };
    const auto colour = [](std::int32_t value) { return static_cast<draw::OleColour>(value); };
    std::vector<PersistedProperty> properties{
        number(L"Appearance", 2, [](B& b) { return b.Appearance(); }, [](B& b, std::int32_t v) { b.setAppearance(v); }),
        flag(L"AutoMask", true, [](B& b) { return b.AutoMask(); }, [](B& b, bool v) { b.setAutoMask(v); }),
        flag(L"AutoSize", true, [](B& b) { return b.AutoSize(); }, [](B& b, bool v) { b.setAutoSize(v); }),
        number(L"BackColor", static_cast<std::int32_t>(0x8000000F), [](B& b) { return b.BackColor(); },
               [colour](B& b, std::int32_t v) { b.setBackColor(colour(v)); }),
        number(L"BackStyle", 0, [](B& b) { return b.BackStyle(); }, [](B& b, std::int32_t v) { b.setBackStyle(v); }),
        number(L"BorderColor", 0, [](B& b) { return b.BorderColor(); },
               [colour](B& b, std::int32_t v) { b.setBorderColor(colour(v)); }),
        words(L"Caption", glint::className, [](B& b) { return b.Caption(); },
              [](B& b, std::string v) { b.setCaption(std::move(v)); }),
        number(L"CaptionOffsetX", 0, [](B& b) { return b.CaptionOffsetX(); },
               [](B& b, std::int32_t v) { b.setCaptionOffsetX(v); }),
        number(L"CaptionOffsetY", 0, [](B& b) { return b.CaptionOffsetY(); },
               [](B& b, std::int32_t v) { b.setCaptionOffsetY(v); }),
        flag(L"Enabled", true, [](B& b) { return b.Enabled(); }, [](B& b, bool v) { b.setEnabled(v); }),
        number(L"ForeColor", static_cast<std::int32_t>(0x80000012), [](B& b) { return b.ForeColor(); },
               [colour](B& b, std::int32_t v) { b.setForeColor(colour(v)); }),
        fontProperty(),
        number(L"HighlightColor", static_cast<std::int32_t>(0x80000012), [](B& b) { return b.HighlightColor(); },
               [colour](B& b, std::int32_t v) { b.setHighlightColor(colour(v)); }),
        pictureProperty(L"MouseIcon", [](B& b) { return b.MouseIcon(); },
                        [](B& b, forms::PictureRef p) { b.setMouseIcon(std::move(p)); }),
        number(L"MousePointer", 0, [](B& b) { return b.MousePointer(); },
               [](B& b, std::int32_t v) { b.setMousePointer(v); }),
        flag(L"RightToLeft", false, [](B& b) { return b.RightToLeft(); }, [](B& b, bool v) { b.setRightToLeft(v); }),
    };
    for (int skin = 0; skin < B::SkinCount; ++skin) {
        const auto which = static_cast<B::Skin>(skin);
        const std::string name = B::skinNames[skin];
        properties.push_back(pictureProperty(
            std::wstring(name.begin(), name.end()).c_str(), [which](B& b) { return b.skin(which); },
            [which](B& b, forms::PictureRef p) { b.setSkin(which, std::move(p)); }));
    }
    properties.insert(properties.end(), {
        number(L"Style", 0, [](B& b) { return b.Style(); }, [](B& b, std::int32_t v) { b.setStyle(v); }),
        number(L"MaskColor", 0, [](B& b) { return b.MaskColor(); },
               [colour](B& b, std::int32_t v) { b.setMaskColor(colour(v)); }),
        number(L"Value", 1, [](B& b) { return b.Value(); }, [](B& b, std::int32_t v) { b.setValue(v); }),
        number(L"WhatsThisHelpID", 0, [](B& b) { return b.WhatsThisHelpID(); },
               [](B& b, std::int32_t v) { b.setWhatsThisHelpID(v); }),
        number(L"CaptionAlignVert", 1, [](B& b) { return b.CaptionAlignVert(); },
               [](B& b, std::int32_t v) { b.setCaptionAlignVert(v); }),
        flag(L"ShowFocus", true, [](B& b) { return b.ShowFocus(); }, [](B& b, bool v) { b.setShowFocus(v); }),
    });
    for (int skin = 0; skin < glint::GlintButton::SkinCount; ++skin) {
        const auto which = static_cast<glint::GlintButton::Skin>(skin);
        const std::string name = glint::GlintButton::skinPathNames[skin];
        properties.push_back(PersistedProperty{std::wstring(name.begin(), name.end()), com::Variant(""),
                                               [this, which] { return com::Variant(button_.skinPath(which)); },
                                               [this, which](const com::Variant& v) {
                                                   button_.setSkinPath(which, v.toString());
                                               }});
    }
    properties.push_back(number(L"CaptionAlignHorz", 1, [](B& b) { return b.CaptionAlignHorz(); },
                                [](B& b, std::int32_t v) { b.setCaptionAlignHorz(v); }));
    return properties;
}

// ---- _GlintButton ------------------------------------------------------------------------------


HRESULT GlintControl::get_Appearance(AppearanceConstants* v)
{
    return get(v, [&] { return static_cast<AppearanceConstants>(button_.Appearance()); });
}
HRESULT GlintControl::put_Appearance(AppearanceConstants v)
{
    return set([&] { button_.setAppearance(v); });
}
HRESULT GlintControl::get_AutoMask(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.AutoMask()); }); }
HRESULT GlintControl::put_AutoMask(VARIANT_BOOL v) { return set([&] { button_.setAutoMask(v != VARIANT_FALSE); }); }
HRESULT GlintControl::get_AutoSize(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.AutoSize()); }); }
HRESULT GlintControl::put_AutoSize(VARIANT_BOOL v) { return set([&] { button_.setAutoSize(v != VARIANT_FALSE); }); }
HRESULT GlintControl::get_BackColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.BackColor()}; }); }
HRESULT GlintControl::put_BackColor(OLE_COLOR v) { return set([&] { button_.setBackColor(v); }); }
HRESULT GlintControl::get_BackStyle(BackStyleConstants* v)
{
    return get(v, [&] { return static_cast<BackStyleConstants>(button_.BackStyle()); });
}
HRESULT GlintControl::put_BackStyle(BackStyleConstants v) { return set([&] { button_.setBackStyle(v); }); }
HRESULT GlintControl::get_BorderColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.BorderColor()}; }); }
HRESULT GlintControl::put_BorderColor(OLE_COLOR v) { return set([&] { button_.setBorderColor(v); }); }
HRESULT GlintControl::get_Caption(BSTR* v) { return get(v, [&] { return bstr(button_.Caption()); }); }
HRESULT GlintControl::put_Caption(BSTR v) { return set([&] { button_.setCaption(text(v)); }); }
HRESULT GlintControl::get_CaptionAlignHorz(EnumHorzAlignConstants* v)
{
    return get(v, [&] { return static_cast<EnumHorzAlignConstants>(button_.CaptionAlignHorz()); });
}
HRESULT GlintControl::put_CaptionAlignHorz(EnumHorzAlignConstants v)
{
    return set([&] { button_.setCaptionAlignHorz(v); });
}
HRESULT GlintControl::get_CaptionAlignVert(EnumVertAlignConstants* v)
{
    return get(v, [&] { return static_cast<EnumVertAlignConstants>(button_.CaptionAlignVert()); });
}
HRESULT GlintControl::put_CaptionAlignVert(EnumVertAlignConstants v)
{
    return set([&] { button_.setCaptionAlignVert(v); });
}
HRESULT GlintControl::get_CaptionOffsetX(LONG* v) { return get(v, [&] { return LONG{button_.CaptionOffsetX()}; }); }
HRESULT GlintControl::put_CaptionOffsetX(LONG v) { return set([&] { button_.setCaptionOffsetX(v); }); }
HRESULT GlintControl::get_CaptionOffsetY(LONG* v) { return get(v, [&] { return LONG{button_.CaptionOffsetY()}; }); }
HRESULT GlintControl::put_CaptionOffsetY(LONG v) { return set([&] { button_.setCaptionOffsetY(v); }); }
HRESULT GlintControl::get_Enabled(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.Enabled()); }); }
HRESULT GlintControl::put_Enabled(VARIANT_BOOL v) { return set([&] { button_.setEnabled(v != VARIANT_FALSE); }); }
HRESULT GlintControl::get_Font(IFontDisp** v) { return getFont(v); }
HRESULT GlintControl::putref_Font(IFontDisp* v) { return putFont(v); }
HRESULT GlintControl::get_FontBold(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.FontBold()); }); }
HRESULT GlintControl::put_FontBold(VARIANT_BOOL v) { return set([&] { button_.setFontBold(v != VARIANT_FALSE); }); }
HRESULT GlintControl::get_FontItalic(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.FontItalic()); }); }
HRESULT GlintControl::put_FontItalic(VARIANT_BOOL v)
{
    return set([&] { button_.setFontItalic(v != VARIANT_FALSE); });
}
HRESULT GlintControl::get_FontName(BSTR* v) { return get(v, [&] { return bstr(button_.FontName()); }); }
HRESULT GlintControl::put_FontName(BSTR v) { return set([&] { button_.setFontName(text(v)); }); }
HRESULT GlintControl::get_FontSize(float* v) { return get(v, [&] { return static_cast<float>(button_.FontSize()); }); }
HRESULT GlintControl::put_FontSize(float v) { return set([&] { button_.setFontSize(v); }); }
HRESULT GlintControl::get_FontStrikethru(VARIANT_BOOL* v)
{
    return get(v, [&] { return boolOf(button_.FontStrikethru()); });
}
HRESULT GlintControl::put_FontStrikethru(VARIANT_BOOL v)
{
    return set([&] { button_.setFontStrikethru(v != VARIANT_FALSE); });
}
HRESULT GlintControl::get_FontUnderline(VARIANT_BOOL* v)
{
    return get(v, [&] { return boolOf(button_.FontUnderline()); });
}
HRESULT GlintControl::put_FontUnderline(VARIANT_BOOL v)
{
    return set([&] { button_.setFontUnderline(v != VARIANT_FALSE); });
}
HRESULT GlintControl::get_ForeColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.ForeColor()}; }); }
HRESULT GlintControl::put_ForeColor(OLE_COLOR v) { return set([&] { button_.setForeColor(v); }); }
HRESULT GlintControl::get_HighlightColor(OLE_COLOR* v)
{
    return get(v, [&] { return OLE_COLOR{button_.HighlightColor()}; });
}
HRESULT GlintControl::put_HighlightColor(OLE_COLOR v) { return set([&] { button_.setHighlightColor(v); }); }
HRESULT GlintControl::get_hWnd(LONG* v) { return get(v, [&] { return handleValue(button_.hWnd()); }); }
HRESULT GlintControl::get_MaskColor(OLE_COLOR* v) { return get(v, [&] { return OLE_COLOR{button_.MaskColor()}; }); }
HRESULT GlintControl::put_MaskColor(OLE_COLOR v) { return set([&] { button_.setMaskColor(v); }); }
HRESULT GlintControl::get_MousePointer(LONG* v) { return get(v, [&] { return LONG{button_.MousePointer()}; }); }
HRESULT GlintControl::put_MousePointer(LONG v) { return set([&] { button_.setMousePointer(v); }); }
HRESULT GlintControl::get_RightToLeft(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.RightToLeft()); }); }
HRESULT GlintControl::put_RightToLeft(VARIANT_BOOL v)
{
    return set([&] { button_.setRightToLeft(v != VARIANT_FALSE); });
}
HRESULT GlintControl::get_ShowFocus(VARIANT_BOOL* v) { return get(v, [&] { return boolOf(button_.ShowFocus()); }); }
HRESULT GlintControl::put_ShowFocus(VARIANT_BOOL v) { return set([&] { button_.setShowFocus(v != VARIANT_FALSE); }); }
HRESULT GlintControl::get_SkinDisabledPath(BSTR* v) { return get(v, [&] { return bstr(button_.SkinDisabledPath()); }); }
HRESULT GlintControl::put_SkinDisabledPath(BSTR v) { return set([&] { button_.setSkinDisabledPath(text(v)); }); }
HRESULT GlintControl::get_SkinDownPath(BSTR* v) { return get(v, [&] { return bstr(button_.SkinDownPath()); }); }
HRESULT GlintControl::put_SkinDownPath(BSTR v) { return set([&] { button_.setSkinDownPath(text(v)); }); }
HRESULT GlintControl::get_SkinFocusPath(BSTR* v) { return get(v, [&] { return bstr(button_.SkinFocusPath()); }); }
HRESULT GlintControl::put_SkinFocusPath(BSTR v) { return set([&] { button_.setSkinFocusPath(text(v)); }); }
HRESULT GlintControl::get_SkinOverPath(BSTR* v) { return get(v, [&] { return bstr(button_.SkinOverPath()); }); }
HRESULT GlintControl::put_SkinOverPath(BSTR v) { return set([&] { button_.setSkinOverPath(text(v)); }); }
HRESULT GlintControl::get_SkinUpPath(BSTR* v) { return get(v, [&] { return bstr(button_.SkinUpPath()); }); }
HRESULT GlintControl::put_SkinUpPath(BSTR v) { return set([&] { button_.setSkinUpPath(text(v)); }); }
HRESULT GlintControl::get_Style(StyleConstants* v)
{
    return get(v, [&] { return static_cast<StyleConstants>(button_.Style()); });
}
HRESULT GlintControl::put_Style(StyleConstants v) { return set([&] { button_.setStyle(v); }); }
HRESULT GlintControl::get_Value(ValueConstants* v)
{
    return get(v, [&] { return static_cast<ValueConstants>(button_.Value()); });
}
HRESULT GlintControl::put_Value(ValueConstants v) { return set([&] { button_.setValue(v); }); }
HRESULT GlintControl::get_WhatsThisHelpID(LONG* v) { return get(v, [&] { return LONG{button_.WhatsThisHelpID()}; }); }
HRESULT GlintControl::put_WhatsThisHelpID(LONG v) { return set([&] { button_.setWhatsThisHelpID(v); }); }
HRESULT GlintControl::get_MouseIcon(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.MouseIcon(); });
}
HRESULT GlintControl::put_MouseIcon(IPictureDisp* v) { return putref_MouseIcon(v); }
HRESULT GlintControl::putref_MouseIcon(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setMouseIcon(std::move(p)); });
}
HRESULT GlintControl::get_SkinDisabled(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.SkinDisabled(); });
}
HRESULT GlintControl::put_SkinDisabled(IPictureDisp* v) { return putref_SkinDisabled(v); }
HRESULT GlintControl::putref_SkinDisabled(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setSkinDisabled(std::move(p)); });
}
HRESULT GlintControl::get_SkinDown(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.SkinDown(); });
}
HRESULT GlintControl::put_SkinDown(IPictureDisp* v) { return putref_SkinDown(v); }
HRESULT GlintControl::putref_SkinDown(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setSkinDown(std::move(p)); });
}
HRESULT GlintControl::get_SkinFocus(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.SkinFocus(); });
}
HRESULT GlintControl::put_SkinFocus(IPictureDisp* v) { return putref_SkinFocus(v); }
HRESULT GlintControl::putref_SkinFocus(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setSkinFocus(std::move(p)); });
}
HRESULT GlintControl::get_SkinOver(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.SkinOver(); });
}
HRESULT GlintControl::put_SkinOver(IPictureDisp* v) { return putref_SkinOver(v); }
HRESULT GlintControl::putref_SkinOver(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setSkinOver(std::move(p)); });
}
HRESULT GlintControl::get_SkinUp(IPictureDisp** v)
{
    return getPicture(v, [](B& b) { return b.SkinUp(); });
}
HRESULT GlintControl::put_SkinUp(IPictureDisp* v) { return putref_SkinUp(v); }
HRESULT GlintControl::putref_SkinUp(IPictureDisp* v)
{
    return putPicture(v, [](B& b, forms::PictureRef p) { b.setSkinUp(std::move(p)); });
}
HRESULT GlintControl::Refresh() { return set([&] { button_.Refresh(); }); }

} // namespace qln::control_dlls
