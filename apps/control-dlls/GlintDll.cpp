// btGlintButton.dll's class table: the in-process server of the class btGlintButton.GlintButton
// (its exports are DllExports.cpp's).

#include <array>

#include "apps/control-dlls/DllExports.h"
#include "apps/control-dlls/GlintControl.h"

namespace qln::control_dlls {

std::span<const platform::win32::com::activex::ControlClass> dllClasses()
{
    static const std::array<platform::win32::com::activex::ControlClass, 1> classes{{
        {CLSID_GlintButton, L"btGlintButton.GlintButton", L"GlintButton", LIBID_btGlintButton,
         OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
             OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTSLIKEBUTTON,
         &GlintControl::create},
    }};
    return classes;
}

} // namespace qln::control_dlls
