#pragma once
// Seam: facts about the machine and the logged-on user. Names and folders are UTF-8; the Windows
// implementation asks with the wide calls and converts at this edge.

#include <cstdint>
#include <string>

#include "platform/Failure.h"

namespace platform {

// GetVersionExA's platform id and major version.
struct OsVersion {
    static constexpr std::uint32_t Win9x = 1;   // VER_PLATFORM_WIN32_WINDOWS
    static constexpr std::uint32_t NT = 2;      // VER_PLATFORM_WIN32_NT
    std::uint32_t platformId = NT;
    std::uint32_t major = 5;
    std::uint32_t minor = 0;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // The logged-on Windows user's name, whole. Throws when the system cannot tell.
    virtual std::string userName() = 0;

    // The folder that holds the notifier's program file, without a trailing backslash
    // (App.Path), for example "C:\Program Files\Quellin".
    virtual std::string programFolder() = 0;

    // The primary screen's full size in pixels (not the work area).
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;

    // The screen device context's GetDeviceCaps LOGPIXELSX (88) and LOGPIXELSY (90).
    virtual int logPixelsX() = 0;
    virtual int logPixelsY() = 0;

    // tmHeight of the desktop window's device context in MM_TEXT (16 with small system fonts,
    // 20 with large ones). Throws when the device context cannot be obtained.
    virtual int desktopTextMetricHeight() = 0;

    // GetVersionExA. Throws when the call fails.
    virtual OsVersion osVersion() = 0;

    // The user's locale, e.g. "en-US"; it decides the date and time format.
    virtual std::string localeName() = 0;

    // GetTempPathA: the user's folder for temporary files, without a trailing backslash, for
    // example "C:\Documents and Settings\alice\Local Settings\Temp". Added after the first cut;
    // by default the system cannot tell, and the call throws.
    virtual std::string tempFolder() { throw Failure("GetTempPathA is not available", 0); }
};

} // namespace platform
