#include "Swatch.h"

#include <stdexcept>

#include "platform/Failure.h"
#include "platform/win32/com/Variant.h"
#include "platform/win32/com/activex/Entry.h"

namespace activex_tests {

namespace {

namespace com = platform::win32::com;
using com::activex::comEntry;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

} // namespace

SwatchForm::SwatchForm(forms::FormsHost& host) : Form(host, "frmSwatch"), lblCaption(add<forms::Label>("lblCaption"))
{
    move(0, 0, 160 * 15, 60 * 15);
    lblCaption.move(20 * 15, 20 * 15, 120 * 15, 20 * 15);
    lblCaption.setCaption("Swatch");
}

Swatch* Swatch::create(forms::FormsHost& host, platform::win32::Win32Desktop& desktop)
{
    return new Swatch(host, desktop);
}

Swatch::Swatch(forms::FormsHost& host, platform::win32::Win32Desktop& desktop)
    : DualControl(CLSID_Swatch, kMiscStatus, DIID_DSwatchEvents), desktop_(desktop), form_(host)
{
    form_.lblCaption.Click = [this] { raiseEvent(1); };
    recolour();
}

void Swatch::recolour()
{
    static constexpr draw::OleColour kColours[] = {0x00C0C0C0, 0x00A0E0A0, 0x00E0A0A0};
    draw::OleColour colour = kColours[style_];
    if (lit_)
        colour |= 0x000000FF;
    form_.setBackColor(colour);
}

HRESULT STDMETHODCALLTYPE Swatch::get_Caption(BSTR* caption)
{
    if (!caption)
        return E_POINTER;
    return comEntry(IID_ISwatch, [&]() -> HRESULT {
        *caption = com::Bstr(caption_).release();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Swatch::put_Caption(BSTR caption)
{
    return comEntry(IID_ISwatch, [&]() -> HRESULT {
        const std::string text = com::Bstr::toUtf8(caption);
        if (text == "#bug")
            throw std::logic_error("a bug in the swatch");  // for the tests of the entry guard
        if (text == caption_)
            return S_OK;
        caption_ = text;
        form_.lblCaption.setCaption(caption_);
        propertyChanged(0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Swatch::get_Style(LONG* style)
{
    if (!style)
        return E_POINTER;
    *style = style_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Swatch::put_Style(LONG style)
{
    return comEntry(IID_ISwatch, [&]() -> HRESULT {
        if (style < 0 || style > 2)
            throw platform::Failure("Invalid property value", 380);
        if (style == style_)
            return S_OK;
        style_ = style;
        recolour();
        propertyChanged(1);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Swatch::get_Lit(VARIANT_BOOL* lit)
{
    if (!lit)
        return E_POINTER;
    *lit = lit_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Swatch::put_Lit(VARIANT_BOOL lit)
{
    return comEntry(IID_ISwatch, [&]() -> HRESULT {
        if ((lit != VARIANT_FALSE) == lit_)
            return S_OK;
        lit_ = lit != VARIANT_FALSE;
        recolour();
        propertyChanged(2);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Swatch::Ring(LONG times)
{
    return comEntry(IID_ISwatch, [&]() -> HRESULT {
        raiseEvent(2, {com::Variant(static_cast<std::int32_t>(times))});
        return S_OK;
    });
}

std::vector<com::activex::PersistedProperty> Swatch::persistedProperties()
{
    return {
        {L"Caption", com::Variant("Swatch"), [this] { return com::Variant(caption_); },
         [this](const com::Variant& value) { put_Caption(com::Bstr(value.toString()).get()); }},
        {L"Style", com::Variant(std::int32_t{0}), [this] { return com::Variant(static_cast<std::int32_t>(style_)); },
         [this](const com::Variant& value) { platform::win32::com::check(put_Style(value.toLong()), "Style"); }},
        {L"Lit", com::Variant(false), [this] { return com::Variant(lit_); },
         [this](const com::Variant& value) { put_Lit(value.toBool() ? VARIANT_TRUE : VARIANT_FALSE); }},
    };
}

void Swatch::onAmbientChanged(DISPID id)
{
    ambientChanges.push_back(id);
    const com::Variant mode = ambient(DISPID_AMBIENT_USERMODE);
    userMode = !mode.isEmpty() && mode.toBool();
}

} // namespace activex_tests
