#pragma once
// The tests' own control on the ActiveX toolkit: a form with one label (the Caption) whose colour
// follows Style and Lit. Its properties notify and persist by name; Style refuses values outside
// 0..2 with error 380; Ring raises Rung; a click on the label raises Click. The caption "#bug"
// throws what no COM method may let out.

#include <string>

#include "QuellinSwatchTest.h"  // the type library's header (widl)
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/win32/com/activex/DualControl.h"

namespace activex_tests {

class SwatchForm : public forms::Form {
public:
    explicit SwatchForm(forms::FormsHost& host);
    forms::Label& lblCaption;
};

class Swatch final : public platform::win32::com::activex::DualControl<ISwatch> {
public:
    // A new control on `host`'s desktop, holding one reference.
    static Swatch* create(forms::FormsHost& host, platform::win32::Win32Desktop& desktop);

    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) override;
    HRESULT STDMETHODCALLTYPE get_Style(LONG* style) override;
    HRESULT STDMETHODCALLTYPE put_Style(LONG style) override;
    HRESULT STDMETHODCALLTYPE get_Lit(VARIANT_BOOL* lit) override;
    HRESULT STDMETHODCALLTYPE put_Lit(VARIANT_BOOL lit) override;
    HRESULT STDMETHODCALLTYPE Ring(LONG times) override;

    SwatchForm& swatch() { return form_; }
    // What the control was told of its container.
    std::vector<DISPID> ambientChanges;
    bool userMode = false;

private:
    Swatch(forms::FormsHost& host, platform::win32::Win32Desktop& desktop);

    forms::Form& form() override { return form_; }
    platform::win32::Win32Desktop& desktop() override { return desktop_; }
    std::vector<platform::win32::com::activex::PersistedProperty> persistedProperties() override;
    std::wstring accessKeys() const override { return L"S"; }
    void onAmbientChanged(DISPID id) override;
    void recolour();

    platform::win32::Win32Desktop& desktop_;
    SwatchForm form_;
    std::string caption_ = "Swatch";
    LONG style_ = 0;
    bool lit_ = false;
};

} // namespace activex_tests
