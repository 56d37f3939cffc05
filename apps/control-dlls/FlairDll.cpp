// DorveltFlairButton.dll's exports: the in-process server of the class DorveltFlairButton.FlairButton.
//
//   regsvr32 DorveltFlairButton.dll                    registers for the current user (HKCU)
//   regsvr32 /u DorveltFlairButton.dll                 removes that
//   regsvr32 /n /i:machine DorveltFlairButton.dll      registers for every user (HKLM; Wine needs this)
//   regsvr32 /u /n /i:machine DorveltFlairButton.dll   removes that

#include <array>

#include "apps/control-dlls/FlairControl.h"
#include "platform/win32/com/activex/Server.h"

namespace {

namespace activex = platform::win32::com::activex;

const std::array<activex::ControlClass, 1> kClasses{{
    {CLSID_FlairButton, L"DorveltFlairButton.FlairButton", L"FlairButton", LIBID_DorveltFlairButton,
     OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
         OLEMISC_SETCLIENTSITEFIRST,
     &qln::control_dlls::FlairControl::create},
}};

} // namespace

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return activex::getClassObject(kClasses, clsid, iid, object);
}

HRESULT __stdcall DllCanUnloadNow() { return activex::canUnloadNow(); }

HRESULT __stdcall DllRegisterServer() { return activex::registerServer(kClasses, activex::Scope::User); }

HRESULT __stdcall DllUnregisterServer() { return activex::unregisterServer(kClasses, activex::Scope::User); }

HRESULT __stdcall DllInstall(BOOL install, LPCWSTR commandLine)
{
    return activex::install(kClasses, install, commandLine);
}

} // extern "C"
