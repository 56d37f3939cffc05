# Cross-build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686-posix, the same POSIX
# threads model as the 64-bit one): what 32-bit Office loads into Outlook, the options page, the
# add-in and the two button controls (the `mingw32` preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QLN_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QLN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QLN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QLN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QLN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# As the 64-bit build: every DLL carries its C++ runtime. On x86 the COM entry points are __stdcall
# and decorated (_DllGetClassObject@12); the .def files export them by their plain names, which
# --enable-stdcall-fixup resolves to the decorated symbols without a warning for each.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--enable-stdcall-fixup")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--enable-stdcall-fixup")

# The 32-bit pieces' tests run under the same Wine prefix as the 64-bit build's (a WoW64 prefix,
# tools/wine.sh), with its 32-bit regsvr32 and cscript.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine.sh exec)
