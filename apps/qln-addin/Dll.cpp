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

#include <array>
#include <string>

#include <windows.h>
#include <objbase.h>

#include "apps/qln-addin/Connect.h"
#include "platform/win32/ThisModule.h"
#include "platform/win32/com/activex/Entry.h"
#include "platform/win32/com/activex/Server.h"

namespace {

namespace activex = platform::win32::com::activex;
using qln::addin::CLSID_QuellinAddin;
using qln::addin::kAddinProgId;

constexpr wchar_t kDescription[] = L"Quellin Outlook add-in";

// The class factory is the toolkit's; the registration is this DLL's own (an add-in is no control:
// no Control, MiscStatus or type library keys).
const std::array<activex::ControlClass, 1> kClasses{{
    {CLSID_QuellinAddin, kAddinProgId, kDescription, GUID_NULL, 0, &qln::addin::Connect::create},
}};

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
    const std::wstring path = platform::win32::thisModulePath();
    if (path.empty())
        return HRESULT_FROM_WIN32(GetLastError());
    const std::wstring clsid = L"CLSID\\" + activex::guidText(CLSID_QuellinAddin);
    for (LSTATUS status : {setValue(root, clsid, nullptr, kDescription),
                           setValue(root, clsid + L"\\InprocServer32", nullptr, path),
                           setValue(root, clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
                           setValue(root, clsid + L"\\ProgID", nullptr, kAddinProgId),
                           setValue(root, kAddinProgId, nullptr, kDescription),
                           setValue(root, std::wstring(kAddinProgId) + L"\\CLSID", nullptr, activex::guidText(CLSID_QuellinAddin))}) {
        if (status != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

HRESULT unregisterClass(HKEY root)
{
    for (const std::wstring& path : {L"Software\\Classes\\CLSID\\" + activex::guidText(CLSID_QuellinAddin),
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
    return activex::getClassObject(kClasses, clsid, iid, object);
}

HRESULT __stdcall DllCanUnloadNow() { return activex::canUnloadNow(); }

HRESULT __stdcall DllRegisterServer()
{
    return activex::comEntry([] { return registerClass(HKEY_CURRENT_USER); });
}

HRESULT __stdcall DllUnregisterServer()
{
    return activex::comEntry([] { return unregisterClass(HKEY_CURRENT_USER); });
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
    return activex::comEntry([&] { return install ? registerClass(root) : unregisterClass(root); });
}

} // extern "C"
