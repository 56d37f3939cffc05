#include "apps/control-dlls/DllExports.h"

namespace {

namespace activex = platform::win32::com::activex;
using qln::control_dlls::dllClasses;

} // namespace

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return activex::getClassObject(dllClasses(), clsid, iid, object);
}

HRESULT __stdcall DllCanUnloadNow() { return activex::canUnloadNow(); }

HRESULT __stdcall DllRegisterServer() { return activex::registerServer(dllClasses(), activex::Scope::User); }

HRESULT __stdcall DllUnregisterServer() { return activex::unregisterServer(dllClasses(), activex::Scope::User); }

HRESULT __stdcall DllInstall(BOOL install, LPCWSTR commandLine)
{
    return activex::install(dllClasses(), install, commandLine);
}

} // extern "C"
