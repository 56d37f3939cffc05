// QuellinAddin.dll as Outlook meets it: registered by its own DllInstall, created by its ProgID,
// connected to an Application of the tests' own that raises Outlook's application events.
//
// QLN.exe is played by FakeNotifier.exe, copied as QLN.exe into a folder of its own that the
// install key names; it notes each start in starts.txt beside itself.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "apps/qln-addin/Extensibility.h"
#include "apps/qln-addin/NotifierStarter.h"
#include "platform/Failure.h"
#include "platform/win32/NotifierInstance.h"
#include "platform/win32/com/Dispatch.h"
#include "tests/win32/com/FakeAutomation.h"

namespace {

using comtest::Call;
using comtest::FakeAutomation;
using platform::win32::com::ComPtr;
using platform::win32::com::Dispatch;
using platform::win32::com::Variant;
using namespace qln::addin;
namespace fs = std::filesystem;

constexpr wchar_t kInstallKey[] = L"Software\\Korvane\\Quellin\\Main";
constexpr DISPID kPagesAdd = 0x5F;

using InstallFunction = HRESULT(__stdcall*)(BOOL, LPCWSTR);

InstallFunction installOf(HMODULE dll)
{
    // Through void*: GetProcAddress's type names no parameters.
    return reinterpret_cast<InstallFunction>(reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
}

std::wstring windowsPath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

std::optional<std::wstring> readInstallValue(const wchar_t* name)
{
    wchar_t data[1024];
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, kInstallKey, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

void writeInstallValue(const wchar_t* name, const std::optional<std::wstring>& value)
{
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kInstallKey, name);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, kInstallKey, name, REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

template <class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Asks a running (fake) notifier to end and waits until it is gone.
bool stopNotifier()
{
    HANDLE quit = OpenEventW(EVENT_MODIFY_STATE, FALSE, platform::win32::kNotifierQuitEvent);
    if (quit) {
        SetEvent(quit);
        CloseHandle(quit);
    }
    return waitFor([] { return !notifierRunning(); });
}

class AddinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dll_ = LoadLibraryW(windowsPath(QLN_ADDIN_DLL).c_str());
        ASSERT_NE(dll_, nullptr);
        const InstallFunction install = installOf(dll_);
        ASSERT_NE(install, nullptr);
        // Wine's COM reads classes only from HKLM.
        ASSERT_EQ(install(TRUE, L"machine"), S_OK);
    }
    static void TearDownTestSuite()
    {
        const InstallFunction install = installOf(dll_);
        EXPECT_EQ(install(FALSE, L"machine"), S_OK);
        CLSID clsid;
        EXPECT_FALSE(SUCCEEDED(CLSIDFromProgID(kAddinProgId, &clsid))) << "the class is still registered";
        FreeLibrary(dll_);
    }

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        savedPath_ = readInstallValue(L"QLNPath");
        folder_ = fs::temp_directory_path() / ("qln-addin-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        fs::copy_file(windowsPath(QLN_FAKE_NOTIFIER), folder_ / "QLN.exe", fs::copy_options::overwrite_existing);
        writeInstallValue(L"QLNPath", folder_.wstring());

        CLSID clsid;
        ASSERT_EQ(CLSIDFromProgID(kAddinProgId, &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDTExtensibility2, &addin_), S_OK);
        application_ = FakeAutomation::create(DIID_ApplicationEvents_11);
    }
    void TearDown() override
    {
        stopNotifier();
        addin_.Reset();
        application_.Reset();
        writeInstallValue(L"QLNPath", savedPath_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        CoUninitialize();
    }

    int starts() const
    {
        std::ifstream log(folder_ / "starts.txt");
        int lines = 0;
        for (std::string line; std::getline(log, line);)
            ++lines;
        return lines;
    }
    // A PropertyPages of the tests' own that notes each Add.
    ComPtr<FakeAutomation> pages(std::vector<Call>& calls, HRESULT answer = S_OK)
    {
        ComPtr<FakeAutomation> made = FakeAutomation::create();
        made->member("Add", kPagesAdd, [&calls, answer](const Call& call, Variant&, EXCEPINFO& exception) {
            calls.push_back(call);
            return FAILED(answer) ? comtest::raise(exception, L"The page could not be added.", answer) : S_OK;
        });
        return made;
    }
    void connect(ConnectMode mode)
    {
        SAFEARRAY* custom = nullptr;
        ASSERT_EQ(addin_->OnConnection(application_.Get(), mode, nullptr, &custom), S_OK);
    }

    static HMODULE dll_;
    std::optional<std::wstring> savedPath_;
    fs::path folder_;
    ComPtr<IDTExtensibility2> addin_;
    ComPtr<FakeAutomation> application_;
};

HMODULE AddinTest::dll_ = nullptr;

TEST_F(AddinTest, OptionsPagesAddAddsThePageByItsProgIdWithItsCaption)
{
    connect(kStartup);
    EXPECT_EQ(application_->sinks(), 1u);

    std::vector<Call> calls;
    ComPtr<FakeAutomation> dialogPages = pages(calls);
    for (HRESULT answered : application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(dialogPages.Get()))}))
        EXPECT_EQ(answered, S_OK);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].args.size(), 2u);
    EXPECT_EQ(calls[0].args[0].toString(), "KorvaneQLNOptions.QLNOptions");
    EXPECT_EQ(calls[0].args[1].toString(), "Quellin");
    // Opening the page adds nothing else and starts nothing.
    EXPECT_EQ(starts(), 0);
}

TEST_F(AddinTest, APagesObjectThatRefusesLeavesTheAddinWorking)
{
    connect(kStartup);
    std::vector<Call> refused;
    ComPtr<FakeAutomation> refusing = pages(refused, E_FAIL);
    for (HRESULT answered : application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(refusing.Get()))}))
        EXPECT_EQ(answered, S_OK);
    EXPECT_EQ(refused.size(), 1u);

    std::vector<Call> calls;
    ComPtr<FakeAutomation> accepting = pages(calls);
    application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(accepting.Get()))});
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(AddinTest, StartupStartsTheInstalledNotifierOnceAndNotWhileOneRuns)
{
    connect(kStartup);
    EXPECT_EQ(starts(), 0);  // not at connection: Outlook has not finished starting

    application_->fire(kStartupEvent, {});
    ASSERT_TRUE(waitFor([&] { return starts() == 1; })) << "QLN.exe was not started";
    EXPECT_TRUE(notifierRunning());

    // Outlook raising Startup again (or another Outlook profile's add-in) finds it running.
    application_->fire(kStartupEvent, {});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(starts(), 1);

    // Once it has ended, the next Startup starts it again.
    ASSERT_TRUE(stopNotifier());
    application_->fire(kStartupEvent, {});
    EXPECT_TRUE(waitFor([&] { return starts() == 2; })) << "QLN.exe was not started again";
}

TEST_F(AddinTest, ANotifierStartedByOthersIsLeftAlone)
{
    // This process holds the notifier's instance mutex, as a QLN.exe started from the Start menu does.
    HANDLE held = CreateMutexW(nullptr, FALSE, platform::win32::kNotifierInstanceMutex);
    ASSERT_NE(held, nullptr);
    connect(kStartup);
    application_->fire(kStartupEvent, {});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    CloseHandle(held);
    EXPECT_EQ(starts(), 0);
}

TEST_F(AddinTest, ConnectedAfterOutlooksStartItStartsTheNotifierAtOnce)
{
    connect(kAfterStartup);
    EXPECT_TRUE(waitFor([&] { return starts() == 1; })) << "QLN.exe was not started";
}

TEST_F(AddinTest, WithoutAnInstallationNothingIsStartedAndOutlookGoesOn)
{
    writeInstallValue(L"QLNPath", folder_.wstring() + L"\\missing\\");
    EXPECT_EQ(notifierPath(), folder_.wstring() + L"\\missing\\QLN.exe");
    connect(kStartup);
    for (HRESULT answered : application_->fire(kStartupEvent, {}))
        EXPECT_EQ(answered, S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(notifierRunning());
}

TEST_F(AddinTest, DisconnectionLetsGoOfTheEventsAndTheApplication)
{
    const ULONG before = application_->references();
    connect(kStartup);
    EXPECT_GT(application_->references(), before);
    SAFEARRAY* custom = nullptr;
    EXPECT_EQ(addin_->OnDisconnection(kHostShutdown, &custom), S_OK);
    EXPECT_EQ(application_->sinks(), 0u);
    EXPECT_EQ(application_->references(), before);

    std::vector<Call> calls;
    ComPtr<FakeAutomation> dialogPages = pages(calls);
    application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(dialogPages.Get()))});
    EXPECT_TRUE(calls.empty());
}

TEST_F(AddinTest, Outlook2002sOlderApplicationEventsServeAsWell)
{
    application_ = FakeAutomation::create(DIID_ApplicationEvents_10);
    connect(kStartup);
    EXPECT_EQ(application_->sinks(), 1u);
    std::vector<Call> calls;
    ComPtr<FakeAutomation> dialogPages = pages(calls);
    application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(dialogPages.Get()))});
    EXPECT_EQ(calls.size(), 1u);
    application_->fire(kStartupEvent, {});
    EXPECT_TRUE(waitFor([&] { return starts() == 1; })) << "QLN.exe was not started";
}

TEST_F(AddinTest, AnApplicationWithoutOutlooksEventsFailsTheConnection)
{
    ComPtr<FakeAutomation> other = FakeAutomation::create();
    SAFEARRAY* custom = nullptr;
    EXPECT_TRUE(FAILED(addin_->OnConnection(other.Get(), kStartup, nullptr, &custom)));
    // The add-in stays usable: a later connection to Outlook works.
    connect(kStartup);
    EXPECT_EQ(application_->sinks(), 1u);
}

TEST_F(AddinTest, LateBoundHostsReachTheSameMethodsByName)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(addin_.As(&dispatch), S_OK);
    const Dispatch late(dispatch);
    late.call("OnConnection", {Variant(static_cast<IDispatch*>(application_.Get())), Variant(1),
                               Variant(static_cast<IDispatch*>(nullptr)), Variant::missing()});
    EXPECT_EQ(application_->sinks(), 1u);
    std::vector<Call> calls;
    ComPtr<FakeAutomation> dialogPages = pages(calls);
    application_->fire(kOptionsPagesAdd, {Variant(static_cast<IDispatch*>(dialogPages.Get()))});
    EXPECT_EQ(calls.size(), 1u);
    late.call("OnStartupComplete", {Variant::missing()});
    late.call("onbeginshutdown", {Variant::missing()});
    late.call("OnDisconnection", {Variant(0), Variant::missing()});
    EXPECT_EQ(application_->sinks(), 0u);
    EXPECT_THROW(late.call("OnSomethingElse"), platform::Failure);
}

} // namespace
