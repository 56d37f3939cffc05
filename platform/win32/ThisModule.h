#pragma once
// The module (EXE or DLL) this code is linked into.
//
// Window classes belong to the module that registers them. A program registers its classes under
// its own instance; a control DLL inside another program (Outlook) must register under the DLL's,
// else its classes would be the host's, shared with any other DLL of ours that registers the same
// name, and left pointing into unloaded code once the DLL goes.
//
// Implements: thisModule(), the HINSTANCE of the module holding this function; its file name.

#include <string>

#include <windows.h>

namespace platform::win32 {

HINSTANCE thisModule();
// The module's full path, as LoadLibrary found it.
std::wstring thisModulePath();

} // namespace platform::win32
