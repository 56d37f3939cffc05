#pragma once
// An in-process COM server of ActiveX controls: what a control DLL's exported entry points do.
//
// Implements: the class table of a DLL (ControlClass), its class factories (IClassFactory with
// LockServer), the count of live objects and locks behind DllCanUnloadNow, and self-registration.
// A DLL's own exports stay one line each (see apps/qlnoptions/Dll.cpp):
//
//   DllGetClassObject   -> getClassObject(classes, ...)
//   DllCanUnloadNow     -> canUnloadNow()
//   DllRegisterServer   -> registerServer(classes, Scope::User)     per user, no rights needed
//   DllUnregisterServer -> unregisterServer(classes, Scope::User)
//   DllInstall          -> install(classes, install, commandLine)   "user" or "machine"
//
// Registration writes, under HKCU\Software\Classes (Scope::User) or HKLM\Software\Classes
// (Scope::Machine): CLSID\{clsid} with InprocServer32 (this DLL, ThreadingModel Apartment),
// ProgID, Control, MiscStatus\1, TypeLib and Version; the ProgID's key with its CLSID; and the
// type library's TypeLib\{libid}\1.0 key (0\win64 or 0\win32 naming this DLL, FLAGS, HELPDIR).
// Windows merges HKCU\Software\Classes into HKEY_CLASSES_ROOT for a normal process, so a per-user
// registration serves Outlook without administrator rights. Wine's COM reads classes only from
// HKLM: tests and CI register with `regsvr32 /n /i:machine QLNOptions.dll` (DllInstall with the
// command line "machine") and remove it with `regsvr32 /u /n /i:machine QLNOptions.dll`.
// Unregistering removes exactly those keys. Each entry point is guarded (Entry.h).
// Does not: register proxies for the interfaces (the controls live in their container's
// apartment), or component categories.

#include <span>
#include <string>

#include <windows.h>
#include <unknwn.h>

namespace platform::win32::com::activex {

struct ControlClass {
    CLSID clsid;
    const wchar_t* progId;
    const wchar_t* description;
    GUID libId;                 // the type library in this DLL's resources (TYPELIB 1)
    DWORD miscStatus;           // OLEMISC_* for DVASPECT_CONTENT
    // A new object, holding the one reference the caller receives. May throw.
    IUnknown* (*create)();
};

enum class Scope { User, Machine };

// Live objects of this module: every COM object of ours counts itself while it lives.
void objectCreated();
void objectDestroyed();

HRESULT getClassObject(std::span<const ControlClass> classes, REFCLSID clsid, REFIID iid, void** object);
HRESULT canUnloadNow();
HRESULT registerServer(std::span<const ControlClass> classes, Scope scope);
HRESULT unregisterServer(std::span<const ControlClass> classes, Scope scope);
// DllInstall: the command line names the scope ("user", the default, or "machine").
HRESULT install(std::span<const ControlClass> classes, BOOL installing, LPCWSTR commandLine);

// "{XXXXXXXX-XXXX-...}"
std::wstring guidText(const GUID& guid);

} // namespace platform::win32::com::activex
