// outlook-standin: a local COM server registered as "Outlook.Application" in the test Wine prefix,
// so that QLN's side of COM crosses a process boundary as it does with Outlook. Its mail store is
// the simulated Outlook's (Standin.h lists the object model it serves, with Outlook's names and
// dispatch ids, and its events); StandinControl.cpp documents the control object
// "OutlookStandin.Control" that tests drive it with; StandinWindows.h Outlook's windows.
//
//   outlook-standin.exe /RegServer     registers both classes and the events' type library under
//                                      HKLM (Wine ignores per-user classes); refuses when another
//                                      program holds Outlook's class
//   outlook-standin.exe /UnregServer   removes its registration (only its own)
//   outlook-standin.exe -Embedding     as COM starts it for a client
//
// At start it loads and connects the add-ins registered for Outlook (AddIns.h), as Outlook does;
// they go when it ends. It ends on Outlook's Quit, when every client has let go of everything it
// was given, or after the control's idle limit without a call while no client waits for events. While the control
// says so, it answers calls other than the control's "busy" (its own IMessageFilter), as Outlook
// does behind a modal dialog.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Win32Loop.h"
#include "tests/win32/ComTestObjects.h"
#include "tests/win32/outlook-standin/Standin.h"

namespace {

using standin::ComPtr;
using standin::Standin;

// Outlook's Application coclass, and the stand-in's control class and events' type library.
constexpr CLSID CLSID_OutlookApplication = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr CLSID CLSID_StandinControl = {0x6C1D2A47, 0x93B8, 0x4E0F, {0xA5, 0x1C, 0x2F, 0x7E, 0x90, 0x4B, 0x3D, 0x61}};
constexpr GUID LIBID_StandinEvents = {0x6C1D2A48, 0x93B8, 0x4E0F, {0xA5, 0x1C, 0x2F, 0x7E, 0x90, 0x4B, 0x3D, 0x61}};
constexpr wchar_t kClsidKey[] = L"Software\\Classes\\CLSID\\{0006F03A-0000-0000-C000-000000000046}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Outlook.Application";
constexpr wchar_t kControlClsidKey[] = L"Software\\Classes\\CLSID\\{6C1D2A47-93B8-4E0F-A51C-2F7E904B3D61}";
constexpr wchar_t kControlProgIdKey[] = L"Software\\Classes\\OutlookStandin.Control";
constexpr UINT kLifeCheckMs = 200;

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

bool registerClass(const std::wstring& clsidKey, const std::wstring& progIdKey, const std::wstring& clsid,
                   const std::wstring& progId, const std::wstring& self)
{
    return setValue(clsidKey, nullptr, L"Outlook stand-in for tests") &&
           setValue(clsidKey + L"\\LocalServer32", nullptr, self) && setValue(clsidKey + L"\\ProgID", nullptr, progId) &&
           setValue(progIdKey, nullptr, L"Outlook stand-in for tests") && setValue(progIdKey + L"\\CLSID", nullptr, clsid);
}

// The events' dispinterfaces, so that COM can carry a client's sink across processes.
bool registerTypeLibrary(const std::wstring& self)
{
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(self.c_str(), REGKIND_NONE, library.GetAddressOf())))
        return false;
    std::wstring path = self;
    return SUCCEEDED(RegisterTypeLib(library.Get(), path.data(), nullptr));
}

int registerServer()
{
    const std::wstring self = modulePath();
    const std::wstring current = registeredServer();
    if (!current.empty() && current != self)
        return 3;  // a real Outlook (or another stand-in) is registered: leave it alone
    const bool ok =
        registerClass(kClsidKey, kProgIdKey, L"{0006F03A-0000-0000-C000-000000000046}", L"Outlook.Application", self) &&
        registerClass(kControlClsidKey, kControlProgIdKey, L"{6C1D2A47-93B8-4E0F-A51C-2F7E904B3D61}",
                      L"OutlookStandin.Control", self) &&
        registerTypeLibrary(self);
    return ok ? 0 : 1;
}

int unregisterServer()
{
    if (registeredServer() != modulePath())
        return registeredServer().empty() ? 0 : 3;
    UnRegisterTypeLib(LIBID_StandinEvents, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    for (const wchar_t* key : {kClsidKey, kProgIdKey, kControlClsidKey, kControlProgIdKey})
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    return 0;
}

// Hands out one of the server's two objects: every client gets the same one, as Outlook's
// application is one per process. Lives on the stack of serve() for the server's whole life.
class Factory final : public com_tests::Uncounted<IClassFactory> {
public:
    explicit Factory(IDispatch& object) : object_(object) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        served_ = true;
        return object_.QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    bool served() const { return served_; }

private:
    IDispatch& object_;
    bool served_ = false;
};

// The stand-in's own filter of incoming calls: "busy" while the control says so, except for the
// control's own calls (where COM says whose they are). Wine (up to 8 at least) carries out a call
// answered SERVERCALL_RETRYLATER all the same and never asks the caller's filter to retry; it
// honours SERVERCALL_REJECTED (the call fails with RPC_E_CALL_REJECTED). Lives on the stack of
// serve(), registered only meanwhile.
class BusyFilter final : public com_tests::Uncounted<IMessageFilter> {
public:
    explicit BusyFilter(Standin& standin) : standin_(standin) {}

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override
    {
        return platform::win32::guardCallback<DWORD>(SERVERCALL_ISHANDLED, [&]() -> DWORD {
            if (!standin_.busy() || (info && info->pUnk && isControl(info->pUnk)))
                return SERVERCALL_ISHANDLED;
            ++standin_.busyAnswers;
            return standin_.busyAnswer() == Standin::Busy::Rejected ? SERVERCALL_REJECTED : SERVERCALL_RETRYLATER;
        });
    }
    // The server calls out only to raise events: a busy client's sink is not waited for.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    bool isControl(IUnknown* object) const
    {
        ComPtr<IUnknown> identity;
        ComPtr<IUnknown> control;
        return SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&identity))) &&
               SUCCEEDED(standin_.control()->QueryInterface(IID_PPV_ARGS(&control))) &&
               identity.Get() == control.Get();  // MinGW's ComPtr == compares as bool
    }

    Standin& standin_;
};

int serve()
{
    // OLE, not only COM: the Options dialog hosts ActiveX controls.
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    int status = 0;
    {
        platform::win32::Win32Loop loop;
        Standin standin(loop);
        Factory application(*standin.application());
        Factory control(*standin.control());
        BusyFilter filter(standin);
        ComPtr<IMessageFilter> previousFilter;
        CoRegisterMessageFilter(&filter, previousFilter.GetAddressOf());
        DWORD applicationCookie = 0;
        DWORD controlCookie = 0;
        if (FAILED(CoRegisterClassObject(CLSID_OutlookApplication, &application, CLSCTX_LOCAL_SERVER,
                                         REGCLS_MULTIPLEUSE, &applicationCookie)) ||
            FAILED(CoRegisterClassObject(CLSID_StandinControl, &control, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                         &controlCookie))) {
            status = 1;
        } else {
            standin.startAddIns();
            std::uint64_t lastCalls = standin::Served::calls();
            ULONGLONG lastCallAt = GetTickCount64();
            loop.startTimer(kLifeCheckMs, [&] {
                if (standin::Served::calls() != lastCalls) {
                    lastCalls = standin::Served::calls();
                    lastCallAt = GetTickCount64();
                }
                // Every client has let go; or one that died holding references never will.
                const bool served = application.served() || control.served();
                if (standin::Served::connectedSinks() > standin.ownSinks())
                    lastCallAt = GetTickCount64();  // a client waits for events
                const bool idle = standin.idleLimitMs != 0 && GetTickCount64() - lastCallAt >= standin.idleLimitMs;
                if ((served && !standin.clientsHold()) || idle)
                    loop.quit(0);
            });
            status = loop.run();
        }
        if (applicationCookie)
            CoRevokeClassObject(applicationCookie);
        if (controlCookie)
            CoRevokeClassObject(controlCookie);
        standin.shutDown();
        standin.windows().close();
        ComPtr<IMessageFilter> ours;
        CoRegisterMessageFilter(previousFilter.Get(), ours.GetAddressOf());
        // Clients' proxies must not reach objects of a store that is about to go.
        CoDisconnectObject(standin.application(), 0);
        CoDisconnectObject(standin.control(), 0);
    }
    OleUninitialize();
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
