// x86-host.exe: 32-bit Outlook's part for the 32-bit DLLs. It creates the add-in by its ProgID and
// connects it to an application of its own; when the application raises OptionsPagesAdd, the
// add-in adds its page, and the host creates that page by the ProgID it was given, activates it in
// a window as the Options dialog does, and asks it through its type library (GetPageInfo, Dirty).
// Each DLL must come from the folder given on the command line: the 32-bit build's.
//
//   x86-host.exe QuellinAddin.dll QLNOptions.dll      (both registered, 32-bit view)
//
// Prints what failed and exits 1; exits 0 when everything held.

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Container.h"
#include "apps/qln-addin/Extensibility.h"
#include "tests/win32/com/FakeAutomation.h"

static_assert(sizeof(void*) == 4, "x86-host plays 32-bit Outlook: build it with the mingw32 preset");

namespace {

using comtest::Call;
using comtest::FakeAutomation;
using platform::win32::com::ComPtr;
using platform::win32::com::Variant;
using namespace qln::addin;

constexpr DISPID kPagesAdd = 0x5F;
constexpr DISPID kGetPageInfo = 0x2100;
constexpr DISPID kDirty = 0x2101;

int failures = 0;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "x86-host: %s\n", what);
        ++failures;
    }
}

std::wstring lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::wstring fileName(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// The loaded module's full path, or "" when no module of that name is loaded.
std::wstring loadedFrom(const std::wstring& name)
{
    HMODULE module = GetModuleHandleW(name.c_str());
    if (!module)
        return {};
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

// The DLL `expected` (a Unix or Windows path) is the one loaded.
void checkLoadedFrom(const std::wstring& expected, const char* what)
{
    wchar_t full[MAX_PATH];
    std::wstring windowsPath = expected;
    if (!windowsPath.empty() && windowsPath[0] == L'/')
        windowsPath = L"Z:" + windowsPath;
    GetFullPathNameW(windowsPath.c_str(), MAX_PATH, full, nullptr);
    const std::wstring loaded = loadedFrom(fileName(expected));
    if (lower(loaded) != lower(full)) {
        std::fprintf(stderr, "x86-host: %s was loaded from \"%ls\", not \"%ls\"\n", what, loaded.c_str(), full);
        ++failures;
    }
}

// Creates the page by its ProgID as the Options dialog does, activates it in a window and asks
// it through IDispatch.
void showPage(const std::string& progId, const std::wstring& pageDll)
{
    const std::wstring wide(progId.begin(), progId.end());
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(wide.c_str(), &clsid);
    check(SUCCEEDED(hr), "the page's ProgID is not registered for 32-bit programs");
    if (FAILED(hr))
        return;
    ComPtr<IOleObject> page;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, &page);
    check(SUCCEEDED(hr), "the page could not be created in a 32-bit process");
    if (FAILED(hr))
        return;
    checkLoadedFrom(pageDll, "QLNOptions.dll");

    activex_tests::ContainerWindow window(40, 40, 560, 460);
    RECT position{8, 8, 552, 452};
    auto* site = new activex_tests::Site(window.handle(), position, activex_tests::PageSite::Interface);
    check(SUCCEEDED(page->SetClientSite(site)), "SetClientSite failed");
    hr = page->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, window.handle(), &position);
    check(SUCCEEDED(hr), "the page did not activate in place");
    activex_tests::pump(200);
    check(site->inPlaceActive, "the page did not tell its site it is active");

    ComPtr<IOleInPlaceObject> inPlace;
    HWND pageWindow = nullptr;
    if (SUCCEEDED(page.As(&inPlace)))
        inPlace->GetWindow(&pageWindow);
    check(pageWindow && GetParent(pageWindow) == window.handle(), "the page has no window inside the dialog's");
    RECT client{};
    if (pageWindow)
        GetClientRect(pageWindow, &client);
    check(pageWindow && IsWindowVisible(pageWindow) && client.right > 100 && client.bottom > 100,
          "the page's window is hidden or (almost) empty");

    // Outlook's PropertyPage through IDispatch, as Outlook calls it: the type library's layout
    // must be the 32-bit one for these to arrive.
    ComPtr<IDispatch> dispatch;
    check(SUCCEEDED(page.As(&dispatch)), "the page answers no IDispatch");
    if (dispatch) {
        BSTR helpFile = SysAllocString(L"");
        long helpContext = -1;
        VARIANT args[2];
        args[0].vt = VT_BYREF | VT_I4;  // reversed order: HelpContext last
        args[0].plVal = &helpContext;
        args[1].vt = VT_BYREF | VT_BSTR;
        args[1].pbstrVal = &helpFile;
        DISPPARAMS params{args, nullptr, 2, 0};
        hr = dispatch->Invoke(kGetPageInfo, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                              nullptr);
        check(SUCCEEDED(hr), "GetPageInfo through IDispatch failed");
        check(helpContext != -1, "GetPageInfo's by-reference arguments did not arrive");
        SysFreeString(helpFile);

        VARIANT dirty;
        VariantInit(&dirty);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        hr = dispatch->Invoke(kDirty, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &dirty, nullptr,
                              nullptr);
        check(SUCCEEDED(hr) && dirty.vt == VT_BOOL && dirty.boolVal == VARIANT_FALSE,
              "a page just shown should not be dirty");
        VariantClear(&dirty);
    }

    if (inPlace)
        inPlace->InPlaceDeactivate();
    page->Close(OLECLOSE_NOSAVE);
    page->SetClientSite(nullptr);
    page.Reset();
    site->Release();
}

int run(const std::wstring& addinDll, const std::wstring& pageDll)
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(kAddinProgId, &clsid);
    check(SUCCEEDED(hr), "QuellinAddin.Connect is not registered for 32-bit programs");
    if (FAILED(hr))
        return 1;
    ComPtr<IDTExtensibility2> addin;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDTExtensibility2, &addin);
    check(SUCCEEDED(hr), "the add-in could not be created in a 32-bit process");
    if (FAILED(hr))
        return 1;
    checkLoadedFrom(addinDll, "QuellinAddin.dll");

    // Connected at Outlook's start: the notifier starts with Outlook's Startup event, which this
    // host never raises, so nothing is started here.
    ComPtr<FakeAutomation> application = FakeAutomation::create(DIID_ApplicationEvents_11);
    SAFEARRAY* custom = nullptr;
    check(addin->OnConnection(application.Get(), kStartup, nullptr, &custom) == S_OK, "OnConnection failed");
    check(application->sinks() == 1, "the add-in did not advise Outlook's application events");

    std::vector<Call> calls;
    ComPtr<FakeAutomation> pages = FakeAutomation::create();
    pages->member("Add", kPagesAdd, [&calls](const Call& call, Variant&, EXCEPINFO&) {
        calls.push_back(call);
        return S_OK;
    });
    for (HRESULT answered : application->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(pages.Get()))}))
        check(answered == S_OK, "the add-in failed OptionsPagesAdd");
    check(calls.size() == 1 && calls[0].args.size() == 2, "the add-in did not add one page");
    if (calls.size() == 1 && calls[0].args.size() == 2) {
        check(calls[0].args[1].toString() == "Quellin", "the page's caption is not Quellin");
        showPage(calls[0].args[0].toString(), pageDll);
    }

    check(addin->OnDisconnection(kHostShutdown, &custom) == S_OK, "OnDisconnection failed");
    check(application->sinks() == 0, "the add-in kept its event sink after disconnection");
    addin.Reset();
    return failures == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: x86-host.exe QuellinAddin.dll QLNOptions.dll\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "x86-host: OleInitialize failed\n");
        return 1;
    }
    int status = 1;
    try {
        status = run(argv[1], argv[2]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "x86-host: %s\n", failure.what());
    }
    OleUninitialize();
    if (status == 0)
        std::printf("x86-host: the 32-bit add-in added the 32-bit page, shown and answering\n");
    return status;
}
