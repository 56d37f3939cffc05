# What both MinGW-w64 cross-builds share (Debian's g++-mingw-w64-*-posix: the POSIX threads model).
# The including toolchain file sets CMAKE_SYSTEM_PROCESSOR, QLN_MINGW_PREFIX and, where it needs
# more, QLN_MINGW_DLL_LINK_FLAGS.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QLN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QLN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QLN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QLN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every Windows program and DLL carries its C++ runtime: users have no MinGW DLLs, and a DLL loaded
# into Outlook must not bring libstdc++-6.dll along.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static ${QLN_MINGW_DLL_LINK_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static ${QLN_MINGW_DLL_LINK_FLAGS}")

# Tests and other built programs run under Wine, in the build folder's own prefix (tools/wine.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine.sh exec)
