// DorveltFlairButton.dll's class table: the in-process server of the class
// DorveltFlairButton.FlairButton (its exports are DllExports.cpp's).

#include <array>

#include "apps/control-dlls/DllExports.h"
#include "apps/control-dlls/FlairControl.h"

namespace qln::control_dlls {

std::span<const platform::win32::com::activex::ControlClass> dllClasses()
{
    static const std::array<platform::win32::com::activex::ControlClass, 1> classes{{
        {CLSID_FlairButton, L"DorveltFlairButton.FlairButton", L"FlairButton", LIBID_DorveltFlairButton,
         OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
             OLEMISC_SETCLIENTSITEFIRST,
         &FlairControl::create},
    }};
    return classes;
}

} // namespace qln::control_dlls
