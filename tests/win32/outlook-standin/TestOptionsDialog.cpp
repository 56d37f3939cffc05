// The stand-in's Options dialog from a client process, as a user meets it in Outlook: the add-ins
// registered for Outlook loaded at the stand-in's start (a test add-in of our own that adds
// QLNOptions.dll's page), the dialog opened through the control object with the "Quellin" page
// hosted, real clicks on the page and on the dialog's buttons, and the settings the page writes.
// Runs through options.sh, which registers the stand-in, the page's DLL and the test add-in.

#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Failure.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/Dispatch.h"
#include "tests/win32/activex/Container.h"
#include "tests/win32/activex/ReferencePage.h"

namespace {

using platform::win32::com::ComPtr;
using platform::win32::com::Dispatch;
using namespace activex_tests;

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";
constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings";
constexpr wchar_t kLogKey[] = L"Software\\Quellin Tests\\Standin add-in";
// Listed for start-up: our add-in, one whose ProgID nobody registered; listed on demand only: one
// the stand-in must not load.
constexpr wchar_t kAddin[] = L"QuellinStandinTest.Addin";
constexpr wchar_t kUnregistered[] = L"QuellinStandinTest.Unregistered";
constexpr wchar_t kOnDemand[] = L"QuellinStandinTest.OnDemand";

void listAddin(const wchar_t* progId, DWORD loadBehavior, HKEY root = HKEY_CURRENT_USER)
{
    const std::wstring key = std::wstring(kAddinsKey) + L"\\" + progId;
    RegSetKeyValueW(root, key.c_str(), L"LoadBehavior", REG_DWORD, &loadBehavior, sizeof loadBehavior);
    const std::wstring name = std::wstring(progId) + L" for tests";
    RegSetKeyValueW(root, key.c_str(), L"FriendlyName", REG_SZ, name.c_str(),
                    static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
}

void unlistAddins()
{
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const wchar_t* progId : {kAddin, kUnregistered, kOnDemand})
            RegDeleteTreeW(root, (std::wstring(kAddinsKey) + L"\\" + progId).c_str());
    }
}

std::string addinLog()
{
    wchar_t log[4096] = {};
    DWORD size = sizeof log - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kLogKey, L"Log", RRF_RT_REG_SZ, nullptr, log, &size) != ERROR_SUCCESS)
        return {};
    return platform::win32::toUtf8(log);
}

std::optional<DWORD> setting(const wchar_t* name)
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

HWND windowOf(const Dispatch& control, const char* which)
{
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(control.get("OptionsWindow", {which}).toLong()));
}

RECT rectOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A key pressed and let go by real input.
void pressKey(WORD key)
{
    INPUT keys[2] = {};
    for (INPUT& input : keys) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    pump(400);
}

// One test's stand-in, started with the add-ins listed and ended by Quit (killed if it will not).
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kLogKey);
        listAddin(kAddin, 3);
        listAddin(kUnregistered, 3);
        listAddin(kOnDemand, 9);  // on demand (8) and loaded (1), not at start-up (2)
        start();
    }
    // Starts a stand-in (Outlook starts).
    void start()
    {
        CLSID clsid{};
        platform::win32::com::check(CLSIDFromProgID(L"OutlookStandin.Control", &clsid), "CLSIDFromProgID");
        ComPtr<IDispatch> object;
        platform::win32::com::check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)),
                                    "CoCreateInstance");
        control = Dispatch(object);
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                               static_cast<DWORD>(control.get("ProcessId").toLong()));
        ASSERT_NE(process_, nullptr);
    }
    void TearDown() override
    {
        quit();
        control = Dispatch();
        unlistAddins();
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kLogKey);
        OleUninitialize();
    }
    void quit()
    {
        if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            platform::ignoreFailure([&] { control.call("Quit"); });
            if (WaitForSingleObject(process_, 5000) == WAIT_TIMEOUT)
                TerminateProcess(process_, 9);
            WaitForSingleObject(process_, 3000);
        }
        if (process_)
            CloseHandle(process_);
        process_ = nullptr;
    }
    // A real click on "Enable Quellin" of the shown page.
    void clickEnableQuellin()
    {
        const HWND page = windowOf(control, "page");
        ASSERT_NE(page, nullptr);
        const RECT bounds = rectOf(page);
        ReferencePage reference(kPageWidth, kPageHeight);
        const RECT box = boxOf(reference.page.chkIsEnabled);
        clickAt(POINT{bounds.left + box.left + 8, bounds.top + (box.top + box.bottom) / 2});
        pump(500);
    }

    Dispatch control;

private:
    HANDLE process_ = nullptr;
};

TEST_F(OptionsDialog, LoadsTheListedAddInsHostsTheirPageAndARealClickOnApplyWritesTheSettings)
{
    // Start-up: our add-in connected as Outlook connects it; the unregistered one skipped; the
    // on-demand one left alone.
    EXPECT_EQ(control.get("AddIn", {"QuellinStandinTest.Addin"}).toString(), "connected");
    EXPECT_EQ(control.get("AddIn", {"QuellinStandinTest.Unregistered"}).toString(), "failed");
    EXPECT_EQ(control.get("AddIn", {"QuellinStandinTest.OnDemand"}).toString(), "");
    EXPECT_EQ(addinLog(), "OnConnection 1;OnAddInsUpdate;Startup;OnStartupComplete;");

    // The dialog opens with the page the add-in added; the page it could not create is left out.
    EXPECT_EQ(control.call("OpenOptions").toLong(), 1);
    EXPECT_EQ(addinLog(), "OnConnection 1;OnAddInsUpdate;Startup;OnStartupComplete;OptionsPagesAdd;"
                          "Add KorvaneQLNOptions.QLNOptions;Add QuellinStandinTest.NoSuchPage;");
    EXPECT_TRUE(control.get("Options", {"open"}).toBool());
    EXPECT_EQ(control.get("Options", {"pages"}).toLong(), 1);
    EXPECT_EQ(control.get("Options", {"failed"}).toString(), "QuellinStandinTest.NoSuchPage\n");
    EXPECT_EQ(control.get("PageTitle", {0}).toString(), "Quellin");
    const HWND dialog = windowOf(control, "dialog");
    const HWND page = windowOf(control, "page");
    ASSERT_TRUE(IsWindow(dialog) && IsWindow(page));
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(GetParent(page), dialog);  // in place, in the dialog's page area
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Options");
    // Loading leaves the page clean: Apply is disabled and a press on it does nothing.
    EXPECT_FALSE(control.get("PageDirty", {0}).toBool());
    EXPECT_FALSE(control.get("Options", {"apply"}).toBool());
    EXPECT_FALSE(IsWindowEnabled(windowOf(control, "apply")));
    EXPECT_FALSE(control.call("PressOptions", {"apply"}).toBool());
    EXPECT_EQ(control.get("PageStatusChanges", {0}).toLong(), 0);

    // The user unchecks "Enable Quellin": the page tells its site, the dialog asks Dirty.
    clickEnableQuellin();
    EXPECT_EQ(control.get("PageStatusChanges", {0}).toLong(), 1);
    EXPECT_TRUE(control.get("PageDirty", {0}).toBool());
    EXPECT_TRUE(control.get("Options", {"apply"}).toBool());
    EXPECT_FALSE(setting(L"IsEnabled").has_value());

    // A real click on Apply: the page writes every setting and is clean again; the dialog stays.
    const RECT apply = rectOf(windowOf(control, "apply"));
    clickAt(POINT{(apply.left + apply.right) / 2, (apply.top + apply.bottom) / 2});
    pump(500);
    EXPECT_EQ(setting(L"IsEnabled"), DWORD{0});
    EXPECT_EQ(setting(L"DismissTime"), DWORD{90});
    EXPECT_FALSE(control.get("PageDirty", {0}).toBool());
    EXPECT_FALSE(control.get("Options", {"apply"}).toBool());
    EXPECT_TRUE(control.get("Options", {"open"}).toBool());

    // Cancel closes it, the page's window with it; Outlook's quit disconnects the add-in.
    EXPECT_TRUE(control.call("PressOptions", {"cancel"}).toBool());
    EXPECT_FALSE(control.get("Options", {"open"}).toBool());
    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE(IsWindow(dialog));
    quit();
    const std::string log = addinLog();
    const std::string ending = "Quit;OnBeginShutdown;OnDisconnection 0;";
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending) << log;
}

TEST_F(OptionsDialog, AnAddInListedForAllUsersLoadsOnceThoughListedForTheUserToo)
{
    quit();
    RegDeleteTreeW(HKEY_CURRENT_USER, kLogKey);
    unlistAddins();
    listAddin(kAddin, 3, HKEY_LOCAL_MACHINE);
    start();
    EXPECT_EQ(control.get("AddIn", {"QuellinStandinTest.Addin"}).toString(), "connected");
    EXPECT_EQ(addinLog(), "OnConnection 1;OnAddInsUpdate;Startup;OnStartupComplete;");
    quit();

    RegDeleteTreeW(HKEY_CURRENT_USER, kLogKey);
    listAddin(kAddin, 3);
    start();
    EXPECT_EQ(control.get("AddIn", {"QuellinStandinTest.Addin"}).toString(), "connected");
    EXPECT_EQ(addinLog(), "OnConnection 1;OnAddInsUpdate;Startup;OnStartupComplete;");
}

TEST_F(OptionsDialog, CancelLeavesTheSettingsAsTheyWereAndOkAppliesAndCloses)
{
    ASSERT_EQ(control.call("OpenOptions").toLong(), 1);
    clickEnableQuellin();
    ASSERT_TRUE(control.get("Options", {"apply"}).toBool());
    EXPECT_TRUE(control.call("PressOptions", {"cancel"}).toBool());
    EXPECT_FALSE(control.get("Options", {"open"}).toBool());
    EXPECT_FALSE(setting(L"IsEnabled").has_value());
    EXPECT_FALSE(control.call("PressOptions", {"ok"}).toBool());  // no dialog to press in

    // Opened again, the page loads afresh (still enabled); OK applies the change and closes.
    ASSERT_EQ(control.call("OpenOptions").toLong(), 1);
    EXPECT_FALSE(control.get("PageDirty", {0}).toBool());
    clickEnableQuellin();
    EXPECT_TRUE(control.get("PageDirty", {0}).toBool());
    EXPECT_TRUE(control.call("PressOptions", {"ok"}).toBool());
    EXPECT_FALSE(control.get("Options", {"open"}).toBool());
    EXPECT_EQ(setting(L"IsEnabled"), DWORD{0});
}

TEST_F(OptionsDialog, TheCloseBoxAndEscCloseWithoutApplyingAndEnterStaysWithThePage)
{
    ASSERT_EQ(control.call("OpenOptions").toLong(), 1);
    clickEnableQuellin();
    PostMessageW(windowOf(control, "dialog"), WM_CLOSE, 0, 0);
    pump(300);
    EXPECT_FALSE(control.get("Options", {"open"}).toBool());
    EXPECT_FALSE(setting(L"IsEnabled").has_value());

    // The keyboard, with the focus on the page's check box: Enter is the page's (the dialog's
    // default button does not take it); Esc is the dialog's Cancel.
    ASSERT_EQ(control.call("OpenOptions").toLong(), 1);
    clickEnableQuellin();
    ASSERT_TRUE(control.get("PageDirty", {0}).toBool());
    pressKey(VK_RETURN);
    EXPECT_TRUE(control.get("Options", {"open"}).toBool());
    EXPECT_FALSE(setting(L"IsEnabled").has_value());
    pressKey(VK_ESCAPE);
    EXPECT_FALSE(control.get("Options", {"open"}).toBool());
    EXPECT_FALSE(setting(L"IsEnabled").has_value());
}

} // namespace
