#include "OptionsControl.h"

#include <servprov.h>

#include <functional>

#include "apps/qlnoptions/PageWorld.h"
#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/activex/Entry.h"

namespace qln::options_dll {

namespace {

namespace com = platform::win32::com;
using com::activex::comEntry;

// Outlook's PropertyPageSite (dual); OnStatusChange is DISPID 0x2100.
constexpr IID kPropertyPageSite = {0x0006307F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID kOnStatusChange = 0x2100;
// PropertyPage's Dirty.
constexpr DISPID kDirty = 0x2101;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

} // namespace

// The page's site: Outlook's PropertyPageSite, called by its dispatch id (its vtable order is
// Outlook's business).
class SiteLink final : public outlook::PropertyPageSite {
public:
    // `changed` runs first: the control tells its own sinks that Dirty changed.
    SiteLink(com::ComPtr<IDispatch> site, std::function<void()> changed)
        : site_(std::move(site)), changed_(std::move(changed))
    {
    }
    void OnStatusChange() override
    {
        changed_();
        // A notification the dialog does not take is lost: the page stays dirty, and the dialog
        // asks Dirty again before it closes.
        platform::ignoreFailure([&] { site_.invoke(kOnStatusChange, DISPATCH_METHOD, {}, "OnStatusChange"); });
    }

private:
    com::Dispatch site_;
    std::function<void()> changed_;
};

IUnknown* OptionsControl::create()
{
    return static_cast<IOleObject*>(new OptionsControl());
}

OptionsControl::OptionsControl()
    : DualControl(CLSID_QLNOptions, kMiscStatus), world_(PageWorld::shared()),
      services_(world_->optionsServices()), page_(std::make_unique<QLNOptions>(world_->host, *services_))
{
}

OptionsControl::~OptionsControl()
{
    // UserControl_Terminate: the page releases Outlook; its window goes with it.
    page_.reset();
    site_.reset();
}

forms::Form& OptionsControl::form() { return *page_; }

platform::win32::Win32Desktop& OptionsControl::desktop() { return world_->desktop; }

std::vector<IID> OptionsControl::extraDualIds() const { return {IID_PropertyPage}; }

void OptionsControl::onSiteChanged(IOleClientSite* site)
{
    page_->UserControl_InitProperties(nullptr);
    site_.reset();
    if (!site)
        return;
    com::ComPtr<IDispatch> pageSite;
    if (FAILED(site->QueryInterface(kPropertyPageSite, reinterpret_cast<void**>(pageSite.GetAddressOf())))) {
        pageSite.Reset();
        com::ComPtr<IServiceProvider> services;
        if (SUCCEEDED(site->QueryInterface(IID_PPV_ARGS(&services))))
            services->QueryService(kPropertyPageSite, IID_IDispatch, reinterpret_cast<void**>(pageSite.GetAddressOf()));
    }
    if (!pageSite)
        return;  // a container that is not Outlook's dialog: edits leave the page clean
    site_ = std::make_unique<SiteLink>(std::move(pageSite), [this] { propertyChanged(kDirty); });
    page_->UserControl_InitProperties(site_.get());
}

HRESULT STDMETHODCALLTYPE OptionsControl::GetPageInfo(BSTR* helpFile, LONG* helpContext)
{
    if (!helpFile || !helpContext)
        return E_POINTER;
    return comEntry(IID_PropertyPage, [&]() -> HRESULT {
        std::string file;
        std::int32_t context = 0;
        page_->GetPageInfo(file, context);
        com::Bstr text(file);
        SysFreeString(*helpFile);
        *helpFile = text.release();
        *helpContext = context;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE OptionsControl::get_Dirty(VARIANT_BOOL* dirty)
{
    if (!dirty)
        return E_POINTER;
    return comEntry(IID_PropertyPage, [&]() -> HRESULT {
        *dirty = page_->Dirty() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE OptionsControl::Apply()
{
    return comEntry(IID_PropertyPage, [&]() -> HRESULT {
        page_->Apply();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE OptionsControl::get_Name(BSTR* name)
{
    if (!name)
        return E_POINTER;
    return comEntry(IID_IQLNOptions, [&]() -> HRESULT {
        *name = com::Bstr(QLNOptions::NameProperty()).release();
        return S_OK;
    });
}

} // namespace qln::options_dll
