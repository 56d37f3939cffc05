#pragma once
// Facts about the machine and the user over advapi32, kernel32, user32 and gdi32.
//
// Implements: SystemInfo. The user name (GetUserNameW), the program folder (the folder of the
// running executable, GetModuleFileNameW), the primary screen (GetSystemMetrics), LOGPIXELSX/Y of
// the screen's device context, the desktop window's text metric height in MM_TEXT, the version
// (GetVersionExW: the true version only for a program whose manifest lists the running system),
// the user's locale name and the temporary folder. Text is UTF-8.
// Does not: follow display changes on its own (each call asks again), or tell monitors apart.

#include "platform/SystemInfo.h"

namespace platform::win32 {

class Win32SystemInfo final : public SystemInfo {
public:
    std::string userName() override;
    std::string programFolder() override;
    int screenWidth() override;
    int screenHeight() override;
    int logPixelsX() override;
    int logPixelsY() override;
    int desktopTextMetricHeight() override;
    OsVersion osVersion() override;
    std::string localeName() override;
    std::string tempFolder() override;
};

} // namespace platform::win32
