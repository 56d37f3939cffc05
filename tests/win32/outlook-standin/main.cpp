// outlook-standin: a local COM server registered as "Outlook.Application" in the test Wine prefix,
// so that QLN's side of COM crosses a process boundary as it does with Outlook.
//
//   outlook-standin.exe /RegServer     registers it under HKLM (Wine ignores per-user classes);
//                                      refuses when another program holds Outlook's class
//   outlook-standin.exe /UnregServer   removes its registration (only its own)
//   outlook-standin.exe -Embedding     as COM starts it for a client
//
// This first slice serves the path to the Inbox with Outlook's names and ids: Application
// (GetNamespace 0x110, Quit 0x113), NameSpace (GetDefaultFolder 0x210B), MAPIFolder (Items 0x3100,
// EntryID 0xF01E, StoreID 0x3108, Name 0x3001) and Items (Count 0x50). It ends when its last
// client lets go of the application, on Quit, or after 20 seconds without a call.
// Not yet: the simulated Outlook's store and control interface, events (the event
// dispinterfaces' type library), Outlook's windows.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/com/Variant.h"
#include "tests/win32/com/FakeAutomation.h"

namespace {

using comtest::Call;
using comtest::FakeAutomation;
using platform::win32::com::ComPtr;
using platform::win32::com::Variant;

// Outlook's Application coclass.
constexpr CLSID CLSID_OutlookApplication = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr wchar_t kClsidKey[] = L"Software\\Classes\\CLSID\\{0006F03A-0000-0000-C000-000000000046}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Outlook.Application";
constexpr UINT_PTR kLifeTimer = 1;
constexpr UINT kLifeCheckMs = 200;
// A client that died holding references never lets go: a stand-in asked nothing for this long ends.
constexpr int kIdleChecks = 20 * 1000 / kLifeCheckMs;

std::wstring modulePath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

std::wstring readValue(const std::wstring& key)
{
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// The registered server, "" when none.
std::wstring registeredServer() { return readValue(std::wstring(kClsidKey) + L"\\LocalServer32"); }

int registerServer()
{
    const std::wstring self = modulePath();
    const std::wstring current = registeredServer();
    if (!current.empty() && current != self)
        return 3;  // a real Outlook (or another stand-in) is registered: leave it alone
    const std::wstring clsid = L"{0006F03A-0000-0000-C000-000000000046}";
    const bool ok = setValue(kClsidKey, nullptr, L"Outlook stand-in for tests") &&
                    setValue(std::wstring(kClsidKey) + L"\\LocalServer32", nullptr, self) &&
                    setValue(std::wstring(kClsidKey) + L"\\ProgID", nullptr, L"Outlook.Application") &&
                    setValue(kProgIdKey, nullptr, L"Outlook stand-in for tests") &&
                    setValue(std::wstring(kProgIdKey) + L"\\CLSID", nullptr, clsid);
    return ok ? 0 : 1;
}

int unregisterServer()
{
    if (registeredServer() != modulePath())
        return registeredServer().empty() ? 0 : 3;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdKey);
    return 0;
}

comtest::Member returns(Variant value)
{
    return [value](const Call&, Variant& result, EXCEPINFO&) {
        result = value;
        return S_OK;
    };
}

Variant object(const ComPtr<FakeAutomation>& fake) { return Variant(static_cast<IDispatch*>(fake.Get())); }

class Outlook {
public:
    Outlook()
    {
        application->member("GetNamespace", 0x110, [this](const Call& call, Variant& result, EXCEPINFO& e) {
            if (call.args.size() != 1 || call.args[0].toString() != "MAPI")
                return comtest::raise(e, L"The operation failed.", E_INVALIDARG);
            result = object(nameSpace);
            return S_OK;
        });
        application->member("Quit", 0x113, [](const Call&, Variant&, EXCEPINFO&) {
            PostQuitMessage(0);
            return S_OK;
        });
        nameSpace->member("GetDefaultFolder", 0x210B, [this](const Call& call, Variant& result, EXCEPINFO& e) {
            if (call.args.size() != 1 || call.args[0].toLong() != 6)
                return comtest::raise(e, L"The operation failed.", E_FAIL);
            result = object(inbox);
            return S_OK;
        });
        inbox->member("Items", 0x3100, returns(object(items)));
        inbox->property("EntryID", 0xF01E, Variant("00000000INBOX"));
        inbox->property("StoreID", 0x3108, Variant("00000000STORE"));
        inbox->property("Name", 0x3001, Variant("Inbox"));
        items->property("Count", 0x50, Variant(0));
    }

    ComPtr<FakeAutomation> application = FakeAutomation::create();
    ComPtr<FakeAutomation> nameSpace = FakeAutomation::create();
    ComPtr<FakeAutomation> inbox = FakeAutomation::create();
    ComPtr<FakeAutomation> items = FakeAutomation::create();

    int callsServed() const
    {
        return application->invocations() + nameSpace->invocations() + inbox->invocations() + items->invocations();
    }
};

// Every client gets the one application object, as Outlook's is one per process.
class Factory final : public IClassFactory {
public:
    explicit Factory(Outlook& outlook) : outlook_(outlook) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the stack of the server's main for its whole life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        served_ = true;
        return outlook_.application->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    bool served() const { return served_; }

private:
    Outlook& outlook_;
    bool served_ = false;
};

int serve()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int status = 0;
    {
        Outlook outlook;
        Factory factory(outlook);
        DWORD cookie = 0;
        if (FAILED(CoRegisterClassObject(CLSID_OutlookApplication, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                         &cookie))) {
            status = 1;
        } else {
            SetTimer(nullptr, kLifeTimer, kLifeCheckMs, nullptr);
            int idle = 0;
            int served = 0;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
                    // Only our own reference left: every client has let go.
                    const bool clients = outlook.application->references() > 1;
                    if (factory.served() && !clients)
                        break;
                    idle = outlook.callsServed() == served ? idle + 1 : 0;
                    served = outlook.callsServed();
                    if (idle >= kIdleChecks)
                        break;
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            CoRevokeClassObject(cookie);
        }
    }
    CoUninitialize();
    return status;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring verb = args && count > 1 ? args[1] : L"";
    LocalFree(args);
    try {
        if (_wcsicmp(verb.c_str(), L"/RegServer") == 0 || _wcsicmp(verb.c_str(), L"-RegServer") == 0)
            return registerServer();
        if (_wcsicmp(verb.c_str(), L"/UnregServer") == 0 || _wcsicmp(verb.c_str(), L"-UnregServer") == 0)
            return unregisterServer();
        return serve();
    } catch (const std::exception&) {
        return 2;
    }
}
