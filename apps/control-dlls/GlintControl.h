#pragma once
// btGlintButton.dll's control: GlintButton (btGlintButton.GlintButton) as an ActiveX control.
//
// Implements: the button's dual interface _GlintButton (every property of the button, with Font
// as a COM font object and MouseIcon and the five skins as COM picture objects, set by value or by
// reference, Nothing clearing), its events (__GlintButton, raised from the button's own), change
// notifications by the button's own rule (each name the button reports becomes its dispatch id),
// persistence of every property by name in the button's loading order (the font and the pictures
// as objects; first initialisation is the button's InitProperties), ambient properties from the
// site (an ambient change reaches the button, which repaints), and the button's access key as the
// control's mnemonic (a press raises Click). The button fills the control's form and follows its
// size; it draws with our painters in the control's window and through IViewObject2.

#include "btGlintButton.h"  // the type library's header (widl)
#include "apps/control-dlls/ButtonControl.h"
#include "controls/glintbutton/GlintButton.h"

namespace qln::control_dlls {

class GlintControl final : public ButtonControl<_GlintButton, glint::GlintButton> {
public:
    // A new control holding one reference.
    static IUnknown* create();

    HRESULT STDMETHODCALLTYPE get_Appearance(AppearanceConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_Appearance(AppearanceConstants value) override;
    HRESULT STDMETHODCALLTYPE get_AutoMask(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AutoMask(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AutoSize(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AutoSize(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_BackStyle(BackStyleConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_BackStyle(BackStyleConstants value) override;
    HRESULT STDMETHODCALLTYPE get_BorderColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_BorderColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionAlignHorz(EnumHorzAlignConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionAlignHorz(EnumHorzAlignConstants value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionAlignVert(EnumVertAlignConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionAlignVert(EnumVertAlignConstants value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionOffsetX(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionOffsetX(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionOffsetY(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionOffsetY(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_FontBold(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontBold(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontItalic(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontItalic(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_FontName(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_FontSize(float* value) override;
    HRESULT STDMETHODCALLTYPE put_FontSize(float value) override;
    HRESULT STDMETHODCALLTYPE get_FontStrikethru(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontStrikethru(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontUnderline(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontUnderline(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_HighlightColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_HighlightColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_MaskColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_MaskColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_MousePointer(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MousePointer(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_RightToLeft(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_RightToLeft(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ShowFocus(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_ShowFocus(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_SkinDisabledPath(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SkinDisabledPath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_SkinDownPath(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SkinDownPath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_SkinFocusPath(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SkinFocusPath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_SkinOverPath(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SkinOverPath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_SkinUpPath(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SkinUpPath(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Style(StyleConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_Style(StyleConstants value) override;
    HRESULT STDMETHODCALLTYPE get_Value(ValueConstants* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(ValueConstants value) override;
    HRESULT STDMETHODCALLTYPE get_WhatsThisHelpID(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_WhatsThisHelpID(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MouseIcon(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_MouseIcon(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_MouseIcon(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_SkinDisabled(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_SkinDisabled(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_SkinDisabled(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_SkinDown(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_SkinDown(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_SkinDown(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_SkinFocus(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_SkinFocus(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_SkinFocus(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_SkinOver(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_SkinOver(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_SkinOver(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_SkinUp(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_SkinUp(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_SkinUp(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;

private:
    GlintControl();
    ~GlintControl() override;

    std::vector<platform::win32::com::activex::PersistedProperty> persistedProperties() override;
    void buttonAmbientChanged(DISPID id) override;
    void onMnemonic(const MSG& msg) override;
    std::wstring accessKeys() const override;
};

} // namespace qln::control_dlls
