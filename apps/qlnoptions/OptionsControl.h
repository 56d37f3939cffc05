#pragma once
// QLNOptions.dll's control: the options page QLNOptions as an ActiveX control that implements
// Outlook's PropertyPage, for Outlook's Options dialog (or any container).
//
// Implements: creation (the page is built and loads every setting, with no site: loading leaves
// it clean), the site (Outlook's PropertyPageSite, asked of the client site by QueryInterface, or
// of its IServiceProvider; attached as the page's UserControl_InitProperties, detached when the
// container takes the site away), PropertyPage's Dirty, GetPageInfo and Apply by vtable and by
// dispatch, the read-only Name, and termination (the page, and with it Outlook's objects, goes
// with the last reference). The page's form is the control's face: it draws in the control's
// window with our painters, on the Windows world's seams (PageWorld) shared by every page of the
// process.
// Does not: persist anything (the page has no design-time properties; its state is the settings
// store), or take Outlook's application object from the site (the page creates it by its ProgID,
// which inside Outlook is the running instance).

#include <memory>

#include "KorvaneQLNOptions.h"  // the type library's header (widl)
#include "platform/win32/com/activex/DualControl.h"

namespace qln {
class OptionsServices;
class QLNOptions;
} // namespace qln

namespace qln::options_dll {

class PageWorld;
class SiteLink;

class OptionsControl final : public platform::win32::com::activex::DualControl<IQLNOptions> {
public:
    // A new page holding one reference.
    static IUnknown* create();

    // PropertyPage
    HRESULT STDMETHODCALLTYPE GetPageInfo(BSTR* helpFile, LONG* helpContext) override;
    HRESULT STDMETHODCALLTYPE get_Dirty(VARIANT_BOOL* dirty) override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    // IQLNOptions
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;

private:
    OptionsControl();
    ~OptionsControl() override;

    forms::Form& form() override;
    platform::win32::Win32Desktop& desktop() override;
    std::vector<IID> extraDualIds() const override;
    void onSiteChanged(IOleClientSite* site) override;

    std::shared_ptr<PageWorld> world_;
    std::unique_ptr<OptionsServices> services_;
    std::unique_ptr<SiteLink> site_;
    std::unique_ptr<QLNOptions> page_;
};

} // namespace qln::options_dll
