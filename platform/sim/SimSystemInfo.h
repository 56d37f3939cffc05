#pragma once
// The simulated machine's facts: the logged-on user, the notifier's program folder, the screen,
// the system font, the operating system, the locale and the folder for temporary files. Defaults: a
// 1024 x 768 screen at 96 dpi, small fonts, Windows NT 5, en-US, temporary files in C:\Temp.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/Failure.h"
#include "platform/SystemInfo.h"

namespace platform::sim {

class SimSystemInfo final : public SystemInfo {
public:
    std::string userName() override;   // throws when the user is set to none
    std::string programFolder() override { return programFolder_; }

    // nullopt: the system cannot tell the user name (GetUserName fails).
    void setUserName(std::optional<std::string> name) { userName_ = std::move(name); }
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

    int screenWidth() override { return screenWidth_; }
    int screenHeight() override { return screenHeight_; }
    int logPixelsX() override { return logPixelsX_; }
    int logPixelsY() override { return logPixelsY_; }
    int desktopTextMetricHeight() override
    {
        if (!textMetricHeight_)
            throw Failure("GetWindowDC failed: no desktop device context (simulated)");
        return *textMetricHeight_;
    }
    OsVersion osVersion() override { return os_; }
    std::string localeName() override { return locale_; }
    // Throws when set to none. The folder is only named here; the file system decides whether it
    // exists.
    std::string tempFolder() override
    {
        if (!tempFolder_)
            throw Failure("GetTempPathA failed (simulated)");
        return *tempFolder_;
    }

    void setScreenSize(int width, int height) { screenWidth_ = width; screenHeight_ = height; }
    void setDpi(int dpi) { logPixelsX_ = logPixelsY_ = dpi; }
    void setLogPixels(int x, int y) { logPixelsX_ = x; logPixelsY_ = y; }
    // Small system fonts give a text metric height of 16, large ones 20.
    void setLargeFonts(bool large) { textMetricHeight_ = large ? LargeFontHeight : SmallFontHeight; }
    // nullopt: the desktop's device context cannot be obtained.
    void setTextMetricHeight(std::optional<int> height) { textMetricHeight_ = height; }
    void setOsVersion(OsVersion os) { os_ = os; }
    void setOsVersion(std::uint32_t platformId, std::uint32_t major) { os_ = OsVersion{platformId, major, 0}; }
    void setLocaleName(std::string locale) { locale_ = std::move(locale); }
    void setTempFolder(std::optional<std::string> folder) { tempFolder_ = std::move(folder); }

    static constexpr int SmallFontHeight = 16;
    static constexpr int LargeFontHeight = 20;

private:
    std::optional<std::string> userName_ = "alice";
    std::string programFolder_ = "C:\\Program Files\\Quellin";
    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    int logPixelsX_ = 96;
    int logPixelsY_ = 96;
    std::optional<int> textMetricHeight_ = SmallFontHeight;
    OsVersion os_;
    std::string locale_ = "en-US";
    std::optional<std::string> tempFolder_ = "C:\\Temp";
};

} // namespace platform::sim
