#pragma once
// DorveltFlairButton.dll's control: FlairButton (DorveltFlairButton.FlairButton) as an ActiveX
// control.
//
// Implements: the button's dual interface _FlairButton (every property of the button, with Font as
// a COM font object and the three image lists as objects of the image-list component's shape), its
// events (__FlairButton, raised from the
// button's own; BeforeNavigate's Cancel comes back by reference), change notifications by the
// button's own rule (each name it reports becomes its dispatch id; Checked and Locked notify
// nothing), persistence by name in the button's loading order, each step going on past its own
// failure, the font as a font object (first initialisation is the button's InitProperties),
// ambient properties from the site (an ambient background or font change reaches the button), and
// hyperlinks opened with the machine's real files and browser. The button fills the control's
// form and follows its size.
// Does not: save the image lists (as the button does not).

#include "DorveltFlairButton.h"  // the type library's header (widl)
#include "apps/control-dlls/ButtonControl.h"
#include "apps/control-dlls/ComImageList.h"
#include "controls/flairbutton/FlairButton.h"

namespace qln::control_dlls {

class FlairControl final : public ButtonControl<_FlairButton, flair::FlairButton> {
public:
    // A new control holding one reference.
    static IUnknown* create();

    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_CaptionDetail(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_CaptionDetail(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Style(ButtonStyleEnum* value) override;
    HRESULT STDMETHODCALLTYPE put_Style(ButtonStyleEnum value) override;
    HRESULT STDMETHODCALLTYPE get_State(ButtonStateEnum* value) override;
    HRESULT STDMETHODCALLTYPE put_State(ButtonStateEnum value) override;
    HRESULT STDMETHODCALLTYPE get_Image(SHORT* value) override;
    HRESULT STDMETHODCALLTYPE put_Image(SHORT value) override;
    HRESULT STDMETHODCALLTYPE get_ImageOver(SHORT* value) override;
    HRESULT STDMETHODCALLTYPE put_ImageOver(SHORT value) override;
    HRESULT STDMETHODCALLTYPE get_ImageDisabled(SHORT* value) override;
    HRESULT STDMETHODCALLTYPE put_ImageDisabled(SHORT value) override;
    HRESULT STDMETHODCALLTYPE get_Checked(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Checked(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Locked(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Locked(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_Hyperlink(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Hyperlink(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_ImageList(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE put_ImageList(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE putref_ImageList(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE get_ImageListOver(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE put_ImageListOver(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE putref_ImageListOver(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE get_ImageListDisabled(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE put_ImageListDisabled(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE putref_ImageListDisabled(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;

private:
    FlairControl();
    ~FlairControl() override;

    std::vector<platform::win32::com::activex::PersistedProperty> persistedProperties() override;
    void buttonAmbientChanged(DISPID id) override;

    ImageListObjects imageLists_;
};

} // namespace qln::control_dlls
