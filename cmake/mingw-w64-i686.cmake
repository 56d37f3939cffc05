# Cross-build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686-posix): what 32-bit
# Office loads into Outlook, the options page, the add-in and the two button controls (the
# `mingw32` preset). Its tests run under the same kind of Wine prefix as the 64-bit build's (a WoW64
# prefix, tools/wine.sh), with its 32-bit regsvr32 and cscript.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QLN_MINGW_PREFIX i686-w64-mingw32)
# On x86 the COM entry points are __stdcall and decorated (_DllGetClassObject@12); the .def files
# export them by their plain names, which --enable-stdcall-fixup resolves to the decorated symbols
# without a warning for each.
set(QLN_MINGW_DLL_LINK_FLAGS "-Wl,--enable-stdcall-fixup")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
