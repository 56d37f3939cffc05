#pragma once
// The exports every button control DLL has, over its class table: DllExports.cpp, linked into each
// DLL, defines DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer and
// DllInstall; the DLL's own source defines dllClasses().
//
//   regsvr32 THE.dll                     registers for the current user (HKCU)
//   regsvr32 /u THE.dll                  removes that
//   regsvr32 /n /i:machine THE.dll       registers for every user (HKLM; Wine needs this)
//   regsvr32 /u /n /i:machine THE.dll    removes that

#include <span>

#include "platform/win32/com/activex/Server.h"

namespace qln::control_dlls {

// The classes this DLL serves.
std::span<const platform::win32::com::activex::ControlClass> dllClasses();

} // namespace qln::control_dlls
