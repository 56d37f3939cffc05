// QuellinAddin.dll's exports: the in-process server of the class QuellinAddin.Connect.
//
//   regsvr32 QuellinAddin.dll                       registers the class for the current user (HKCU)
//   regsvr32 /u QuellinAddin.dll                    removes that
//   regsvr32 /n /i:machine QuellinAddin.dll         registers it for every user (HKLM; Wine's COM
//                                                   reads only those)
//   regsvr32 /u /n /i:machine QuellinAddin.dll      removes that
//
// Registration writes, under HKCU or HKLM Software\Classes: CLSID\{clsid} with InprocServer32 (this
// DLL, ThreadingModel Apartment) and ProgID, and the ProgID's key with its CLSID. Outlook's own
// Addins key (LoadBehavior, FriendlyName, Description) is the installer's to write: it says whether
// Outlook loads the add-in, which is the user's choice, not the class's.

#include <atomic>
#include <string>

#include <windows.h>
#include <objbase.h>

#include "apps/qln-addin/Connect.h"
#include "platform/win32/CallbackGuard.h"

namespace qln::addin {
long connectObjects();
} // namespace qln::addin

namespace {

using qln::addin::CLSID_QuellinAddin;
using qln::addin::kAddinProgId;

constexpr wchar_t kDescription[] = L"Quellin Outlook add-in";

std::atomic<long> factories{0};
std::atomic<long> locks{0};

class ClassFactory final : public IClassFactory {
public:
    ClassFactory() { ++factories; }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&] {
            IUnknown* made = qln::addin::Connect::create();
            const HRESULT hr = made->QueryInterface(iid, object);
            made->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ++locks : --locks;
        return S_OK;
    }

private:
    ~ClassFactory() { --factories; }
    std::atomic<ULONG> references_{1};
};

std::wstring guidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring thisModulePath()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModulePath), &module);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

LSTATUS setValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value)
{
    HKEY key = nullptr;
    const std::wstring full = L"Software\\Classes\\" + path;
    LSTATUS status = RegCreateKeyExW(root, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

HRESULT registerClass(HKEY root)
{
    const std::wstring path = thisModulePath();
    if (path.empty())
        return HRESULT_FROM_WIN32(GetLastError());
    const std::wstring clsid = L"CLSID\\" + guidText(CLSID_QuellinAddin);
    for (LSTATUS status : {setValue(root, clsid, nullptr, kDescription),
                           setValue(root, clsid + L"\\InprocServer32", nullptr, path),
                           setValue(root, clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
                           setValue(root, clsid + L"\\ProgID", nullptr, kAddinProgId),
                           setValue(root, kAddinProgId, nullptr, kDescription),
                           setValue(root, std::wstring(kAddinProgId) + L"\\CLSID", nullptr, guidText(CLSID_QuellinAddin))}) {
        if (status != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

HRESULT unregisterClass(HKEY root)
{
    for (const std::wstring& path : {L"Software\\Classes\\CLSID\\" + guidText(CLSID_QuellinAddin),
                                     L"Software\\Classes\\" + std::wstring(kAddinProgId)}) {
        const LSTATUS status = RegDeleteTreeW(root, path.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(status);
        RegDeleteKeyW(root, path.c_str());
    }
    return S_OK;
}

} // namespace

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_QuellinAddin)
        return CLASS_E_CLASSNOTAVAILABLE;
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&] {
        IClassFactory* factory = new ClassFactory();
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    });
}

HRESULT __stdcall DllCanUnloadNow()
{
    return qln::addin::connectObjects() == 0 && factories == 0 && locks == 0 ? S_OK : S_FALSE;
}

HRESULT __stdcall DllRegisterServer()
{
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [] { return registerClass(HKEY_CURRENT_USER); });
}

HRESULT __stdcall DllUnregisterServer()
{
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [] { return unregisterClass(HKEY_CURRENT_USER); });
}

// The command line names the scope: "user" (also when empty) or "machine".
HRESULT __stdcall DllInstall(BOOL install, LPCWSTR commandLine)
{
    HKEY root = HKEY_CURRENT_USER;
    if (commandLine && *commandLine) {
        if (CompareStringOrdinal(commandLine, -1, L"machine", -1, TRUE) == CSTR_EQUAL)
            root = HKEY_LOCAL_MACHINE;
        else if (CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) != CSTR_EQUAL)
            return E_INVALIDARG;
    }
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED,
                                                   [&] { return install ? registerClass(root) : unregisterClass(root); });
}

} // extern "C"
