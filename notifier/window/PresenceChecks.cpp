#include "notifier/window/PresenceChecks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Failure.h"

namespace qln {

using platform::valueOr;
using platform::WindowHandle;

namespace {

constexpr std::uint32_t kFirstNT5Major = 5;
constexpr std::string_view kScreenSaverDesktop = "screen-saver";
constexpr std::uint32_t kDesktopEnumerate = 0x40;   // DESKTOP_ENUMERATE: enough to learn that it exists
constexpr std::string_view kOutlookClass = "rctrl_renwnd32";
constexpr int kClassBufferSize = 64;
constexpr std::uint32_t kNewMailIconId = 0;
constexpr std::uint32_t kNewMailIconGone = platform::wm::User + 7;   // 0x407

// The owner of Outlook's new-mail icon is a window of Outlook's class without a title; the titled
// one is Outlook's main window, which never owns it.
bool isIconOwnerCandidate(platform::Desktop& desktop, WindowHandle window)
{
    if (desktop.getWindowTextLength(window) > 0)
        return false;
    const std::string className = desktop.getClassName(window, kClassBufferSize);
    // Compared as the C string the buffer holds, letter case included.
    return std::string_view(className).substr(0, className.find('\0')) == kOutlookClass;
}

} // namespace

PresenceChecks::PresenceChecks(platform::Desktop& desktop, platform::SystemInfo& system)
    : desktop_(desktop), system_(system)
{
}

void PresenceChecks::RecordNT5Flag()
{
    nt5_ = valueOr(false, [&] { return system_.osVersion().major >= kFirstNT5Major; });
}

bool PresenceChecks::IsScreenSaverRunning() const
{
    if (nt5_)
        return valueOr(false, [&] { return desktop_.screenSaverRunning(); });

    return valueOr(false, [&] {
        const platform::DesktopHandle handle = desktop_.openDesktop(std::string(kScreenSaverDesktop),
                                                                    kDesktopEnumerate);
        if (handle == 0)
            return false;
        // The handle only proved that the desktop exists; a failed close changes nothing about that.
        platform::ignoreFailure([&] { desktop_.closeDesktop(handle); });
        return true;
    });
}

void PresenceChecks::RemoveOutlookNewMailIcon() const
{
    const std::vector<WindowHandle> windows =
        valueOr(std::vector<WindowHandle>{}, [&] { return desktop_.enumWindows(); });
    for (WindowHandle window : windows) {
        // A window that vanishes or refuses a query while being looked at is passed over.
        if (!valueOr(false, [&] { return isIconOwnerCandidate(desktop_, window); }))
            continue;
        // Several windows of the class exist; only the one that owns the icon lets it be deleted.
        if (!platform::ignoreFailure([&] { desktop_.deleteNotifyIcon(window, kNewMailIconId); }))
            continue;
        platform::ignoreFailure([&] { desktop_.sendMessage(window, kNewMailIconGone, 0, 0); });
        return;
    }
}

} // namespace qln
