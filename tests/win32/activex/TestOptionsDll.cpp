// QLNOptions.dll as containers host it: created by its ProgID from the registration, in Wine's ATL
// container and in a container of our own that is Outlook's PropertyPageSite; drawn exactly as the
// page's form draws itself; a real click on one of its check boxes makes it dirty and tells the
// site; Apply writes the settings.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "Container.h"
#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/com/Dispatch.h"

namespace {

using namespace activex_tests;
namespace com = platform::win32::com;

constexpr wchar_t kProgId[] = L"KorvaneQLNOptions.QLNOptions";
constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings";
constexpr IID kPropertyPage = {0x0006307E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The page's design size in pixels at 96 dpi (6300 x 5250 twips).
constexpr int kPageWidth = 420;
constexpr int kPageHeight = 350;

// Outlook's PropertyPage as Outlook calls it: slots 7, 8 and 9 after IDispatch's. Written as the
// C vtable it is (an abstract C++ class that nothing in this program derives from invites GCC to
// take its calls for unreachable).
struct PropertyPageSlots {
    void* dispatch[7];
    HRESULT(STDMETHODCALLTYPE* GetPageInfo)(IUnknown* self, BSTR* helpFile, LONG* helpContext);
    HRESULT(STDMETHODCALLTYPE* get_Dirty)(IUnknown* self, VARIANT_BOOL* dirty);
    HRESULT(STDMETHODCALLTYPE* Apply)(IUnknown* self);
};

// The page's PropertyPage, asked of the object by its interface id.
class PropertyPageOf {
public:
    explicit PropertyPageOf(IUnknown& object)
    {
        EXPECT_EQ(object.QueryInterface(kPropertyPage, reinterpret_cast<void**>(page_.GetAddressOf())), S_OK);
    }
    const PropertyPageSlots& slots() const { return **reinterpret_cast<PropertyPageSlots* const*>(page_.Get()); }
    IUnknown* self() const { return page_.Get(); }
    explicit operator bool() const { return page_ != nullptr; }

private:
    ComPtr<IUnknown> page_;
};

class Apartment {
public:
    Apartment() { OleInitialize(nullptr); }
    ~Apartment() { OleUninitialize(); }
};

// The same page on the simulated desktop over the same registry, files and fonts: what the page's
// form draws, to hold the screen against.
struct ReferencePage {
    ReferencePage(int width, int height)
    {
        page.move(0, 0, width * 15.0, height * 15.0);
    }
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::GdiFontEngine fonts;
    platform::win32::ComObjectFactory com{loop};
    forms::FormsHost host{desktop, loop, fonts, system};
    qln::OptionsServices services{registry, files, system, desktop, loop, com};
    qln::QLNOptions page{host, services};
};

// A control's box in its form's pixels, containers included.
RECT boxOf(const forms::Control& control)
{
    draw::Point origin{0, 0};
    if (const forms::Control* container = control.Container()) {
        const RECT outer = boxOf(*container);
        origin = {outer.left, outer.top};
    }
    const draw::Rect r = control.pixelBounds(origin);
    return RECT{r.left, r.top, r.right, r.bottom};
}

void clearSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

std::optional<DWORD> setting(const wchar_t* name)
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

ComPtr<IUnknown> createPage()
{
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK) << "the DLL is not registered";
    ComPtr<IUnknown> page;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)), S_OK);
    return page;
}

bool dirtyByVtable(IUnknown& object)
{
    const PropertyPageOf page(object);
    if (!page)
        return false;
    VARIANT_BOOL dirty = 7;
    EXPECT_EQ(page.slots().get_Dirty(page.self(), &dirty), S_OK);
    EXPECT_TRUE(dirty == VARIANT_TRUE || dirty == VARIANT_FALSE);
    return dirty != VARIANT_FALSE;
}

HWND childWindow(HWND parent) { return FindWindowExW(parent, nullptr, L"ThunderRT6FormDC", nullptr); }

class OptionsDll : public ::testing::Test {
protected:
    void SetUp() override { clearSettings(); }
    void TearDown() override { clearSettings(); }
    Apartment apartment;
};

TEST_F(OptionsDll, IsRegisteredPerUserByDllRegisterServerAndRemovedAgain)
{
    const char* path = std::getenv("QLN_CONTROL_DLL");
    ASSERT_NE(path, nullptr);
    const HMODULE dll = LoadLibraryW(platform::win32::toWide(path).c_str());
    ASSERT_NE(dll, nullptr);
    using Entry = HRESULT(__stdcall*)();
    const auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    const auto unregisterServer =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    ASSERT_TRUE(registerServer && unregisterServer);

    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    wchar_t clsidText[40];
    StringFromGUID2(clsid, clsidText, 40);
    const std::wstring server = std::wstring(L"Software\\Classes\\CLSID\\") + clsidText + L"\\InprocServer32";
    const std::wstring progId = std::wstring(L"Software\\Classes\\") + kProgId + L"\\CLSID";

    ASSERT_EQ(registerServer(), S_OK);
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, server.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size), ERROR_SUCCESS);
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(dll, module, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(text, module), 0);
    size = sizeof text;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, server.c_str(), L"ThreadingModel", RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, L"Apartment");
    size = sizeof text;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, progId.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, clsidText);

    ASSERT_EQ(unregisterServer(), S_OK);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, server.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, progId.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    // The machine-wide registration the tests run on is untouched.
    EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    FreeLibrary(dll);
}

TEST_F(OptionsDll, HostedByWinesAtlContainerItDrawsThePageInItsChildWindow)
{
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    ASSERT_NE(atl, nullptr);
    using Init = BOOL(WINAPI*)();
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    const auto getControl = reinterpret_cast<GetControl>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ASSERT_TRUE(init && getControl);
    ASSERT_TRUE(init());

    const HWND host = CreateWindowExW(0, L"AtlAxWin", kProgId, WS_POPUP | WS_VISIBLE, 40, 40, kPageWidth, kPageHeight,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    pump(500);
    ComPtr<IUnknown> page;
    ASSERT_EQ(getControl(host, &page), S_OK);

    // The page's window is a child of the container's, where the container put it.
    const HWND window = childWindow(host);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD, WS_CHILD);
    // Its window class is the DLL's own, not the host program's.
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE)), GetModuleHandleW(L"QLNOptions.dll"));
    EXPECT_NE(GetModuleHandleW(L"QLNOptions.dll"), nullptr);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 40);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(bounds.right - bounds.left, kPageWidth);
    EXPECT_EQ(bounds.bottom - bounds.top, kPageHeight);

    // On the screen: exactly what the page's form draws.
    ReferencePage reference(kPageWidth, kPageHeight);
    EXPECT_EQ(screenPixels(bounds), reference.page.render().bits());

    // ATL's site is no PropertyPageSite: the page is clean, and its PropertyPage answers.
    EXPECT_FALSE(dirtyByVtable(*page.Get()));
    {
    const PropertyPageOf pageInterface(*page.Get());
    ASSERT_TRUE(pageInterface);
    BSTR helpFile = SysAllocString(L"before");
    LONG context = 0;
    EXPECT_EQ(pageInterface.slots().GetPageInfo(pageInterface.self(), &helpFile, &context), S_OK);
    EXPECT_EQ(SysStringLen(helpFile), 0u);
    EXPECT_EQ(context, 102);
    SysFreeString(helpFile);
    }

    page.Reset();
    DestroyWindow(host);
    pump(100);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(OptionsDll, InOutlooksRoleAClickMakesItDirtyTellsTheSiteAndApplyWritesTheSettings)
{
    ContainerWindow container(60, 60, kPageWidth + 40, kPageHeight + 40);
    const RECT position{20, 20, 20 + kPageWidth, 20 + kPageHeight};
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), position, PageSite::Interface));

    ComPtr<IUnknown> page = createPage();
    ASSERT_TRUE(page);
    ComPtr<IOleObject> object;
    ASSERT_EQ(page.As(&object), S_OK);
    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
    SIZEL extent{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 11113);  // 6300 twips in HIMETRIC
    EXPECT_EQ(extent.cy, 9260);   // 5250 twips

    // The way Office's dialogs start a control: everything at once through IQuickActivate.
    ComPtr<IQuickActivate> quick;
    ASSERT_EQ(page.As(&quick), S_OK);
    QACONTAINER qa{};
    qa.cbSize = sizeof qa;
    qa.pClientSite = site.Get();
    qa.pPropertyNotifySink = site.Get();
    QACONTROL answer{};
    answer.cbSize = sizeof answer;
    ASSERT_EQ(quick->QuickActivate(&qa, &answer), S_OK);
    EXPECT_NE(answer.dwPropNotifyCookie, 0u);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(page.As(&persist), S_OK);
    EXPECT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, container.handle(), &position), S_OK);
    EXPECT_TRUE(site->inPlaceActive);

    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(page.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), container.handle());
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 80);
    EXPECT_EQ(bounds.top, 80);
    pump(400);

    // Loading left the page clean, the site attached.
    EXPECT_FALSE(dirtyByVtable(*page.Get()));
    EXPECT_EQ(site->statusChanges, 0);
    ReferencePage reference(kPageWidth, kPageHeight);
    EXPECT_EQ(screenPixels(bounds), reference.page.render().bits());

    // The user clicks "Enable Quellin" (checked by default) with the real mouse.
    const RECT box = boxOf(reference.page.chkIsEnabled);
    clickAt(POINT{bounds.left + box.left + 8, bounds.top + (box.top + box.bottom) / 2});
    pump(400);
    EXPECT_TRUE(site->uiActive);  // a click into the control activates it
    EXPECT_TRUE(dirtyByVtable(*page.Get()));
    EXPECT_GE(site->statusChanges, 1);
    ASSERT_FALSE(site->changedProperties.empty());
    EXPECT_EQ(site->changedProperties.back(), 0x2101);  // Dirty

    // Late bound, by name, as Outlook's dialog may call it.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(page.As(&dispatch), S_OK);
    com::Dispatch late(dispatch);
    EXPECT_TRUE(late.get("Dirty").toBool());
    EXPECT_EQ(late.get("Name").toString(), "Quellin");
    late.call("Apply");
    EXPECT_FALSE(late.get("Dirty").toBool());
    EXPECT_EQ(setting(L"IsEnabled"), DWORD{0});
    EXPECT_EQ(setting(L"DismissTime"), DWORD{90});  // every value is written, changed or not

    // The keyboard as Outlook's dialog hands it over: Tab walks the page's stops and, from the
    // last one, is the dialog's again (to move on to its buttons); Shift+Tab comes back in.
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(page.As(&active), S_OK);
    MSG tab{window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    int stops = 0;
    while (stops < 200 && active->TranslateAccelerator(&tab) == S_OK)
        ++stops;
    EXPECT_GE(stops, 1);
    EXPECT_LT(stops, 200);  // it comes to an end rather than wrapping round
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB, 0);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_NE(SendMessageW(window, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB, 0);
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_OK);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    MSG ctrlTab = tab;
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(active->TranslateAccelerator(&ctrlTab), S_FALSE);  // a property sheet's next page
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    // The page's captions underline no letters: it asks the dialog to route none to it.
    ComPtr<IOleControl> oleControl;
    ASSERT_EQ(page.As(&oleControl), S_OK);
    CONTROLINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(oleControl->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);

    // Outlook closes its dialog: the page goes, its window with it.
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(site->inPlaceActive);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
}

TEST_F(OptionsDll, FindsThePageSiteAsAServiceOfTheSiteAndLetsTheDllGoWithItsLastPage)
{
    ContainerWindow container(80, 80, kPageWidth, kPageHeight);
    const RECT position{0, 0, kPageWidth, kPageHeight};
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), position, PageSite::Service));
    {
        ComPtr<IUnknown> page = createPage();
        ASSERT_TRUE(page);
        ComPtr<IOleObject> object;
        ASSERT_EQ(page.As(&object), S_OK);
        ASSERT_EQ(object->SetClientSite(site.Get()), S_OK);
        ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, container.handle(), &position), S_OK);
        EXPECT_TRUE(site->uiActive);
        ComPtr<IOleInPlaceObject> inPlace;
        ASSERT_EQ(page.As(&inPlace), S_OK);
        HWND window = nullptr;
        ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
        EXPECT_EQ(GetFocus(), window);
        pump(300);

        ReferencePage reference(kPageWidth, kPageHeight);
        const RECT box = boxOf(reference.page.chkIsEnabled);
        clickAt(POINT{80 + box.left + 8, 80 + (box.top + box.bottom) / 2});
        pump(300);
        EXPECT_TRUE(dirtyByVtable(*page.Get()));
        EXPECT_GE(site->statusChanges, 1);

        EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
        EXPECT_FALSE(site->uiActive);
        EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    }
    // No page is left: the DLL may be unloaded.
    using Entry = HRESULT(__stdcall*)();
    const auto canUnloadNow = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"QLNOptions.dll"), "DllCanUnloadNow")));
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

} // namespace
