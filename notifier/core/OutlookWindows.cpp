#include "notifier/core/OutlookWindows.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/Failure.h"

namespace qln {

namespace {

constexpr std::string_view kOutlookClassPrefix = "rctrl_renwnd32";
constexpr int kClassBufferSize = 64;

// Outlook's main window among the class's windows: the hidden helper windows have no title, and
// the main window's title is "<folder> - Microsoft Outlook".
bool isOutlookMainWindow(platform::Desktop& desktop, platform::WindowHandle window)
{
    if (desktop.getParent(window) != platform::NoWindow)
        return false;
    const int length = desktop.getWindowTextLength(window);
    if (length <= 0)
        return false;
    const std::string title = desktop.getWindowText(window, length + 1);
    const std::string className = desktop.getClassName(window, kClassBufferSize);
    return className.substr(0, kOutlookClassPrefix.size()) == kOutlookClassPrefix &&
           title.find("- ") != std::string::npos;
}

} // namespace

bool IsOutlookRunning(platform::Desktop& desktop)
{
    const std::vector<platform::WindowHandle> windows =
        platform::valueOr(std::vector<platform::WindowHandle>{}, [&] { return desktop.enumWindows(); });
    for (platform::WindowHandle window : windows) {
        // A window that vanishes or refuses a query while being looked at is not Outlook's.
        if (platform::valueOr(false, [&] { return isOutlookMainWindow(desktop, window); }))
            return true;
    }
    return false;
}

} // namespace qln
