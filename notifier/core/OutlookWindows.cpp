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

OutlookPresence IsOutlookRunning(platform::Desktop& desktop)
{
    std::vector<platform::WindowHandle> windows;
    if (!platform::ignoreFailure([&] { windows = desktop.enumWindows(); }))
        return OutlookPresence::Unknown;
    bool complete = true;
    for (platform::WindowHandle window : windows) {
        bool isMain = false;
        // A window that refuses a query is passed over; Outlook's may be the one that did.
        if (!platform::ignoreFailure([&] { isMain = isOutlookMainWindow(desktop, window); }))
            complete = false;
        else if (isMain)
            return OutlookPresence::Running;
    }
    return complete ? OutlookPresence::Gone : OutlookPresence::Unknown;
}

bool MatchesTitlePattern(std::string_view text, std::string_view pattern)
{
    // Greedy matching with one backtrack point: the last "*" seen absorbs one more character each
    // time the literal run after it fails. Linear in practice, quadratic at worst.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

namespace {

constexpr int kTitleBufferSize = 128;

bool isMatchingTopWindow(platform::Desktop& desktop, platform::WindowHandle window, std::string_view pattern)
{
    if (!desktop.isWindowVisible(window) || desktop.getParent(window) != platform::NoWindow)
        return false;
    const std::string title = desktop.getWindowText(window, kTitleBufferSize);
    return !title.empty() && MatchesTitlePattern(title, pattern);
}

} // namespace

platform::WindowHandle FindTopWindowByTitle(platform::Desktop& desktop, std::string_view pattern)
{
    // The search keeps nothing between calls: a search that finds nothing returns none, whatever
    // an earlier one found.
    const std::vector<platform::WindowHandle> windows =
        platform::valueOr(std::vector<platform::WindowHandle>{}, [&] { return desktop.enumWindows(); });
    for (platform::WindowHandle window : windows) {
        if (platform::valueOr(false, [&] { return isMatchingTopWindow(desktop, window, pattern); }))
            return window;
    }
    return platform::NoWindow;
}

void SwitchToOutlook(platform::Desktop& desktop, const settings::Settings& store)
{
    const std::string winState = store.read(settings::WinState);
    const platform::WindowHandle window = FindTopWindowByTitle(desktop, kOutlookMainTitle);
    if (window == platform::NoWindow)
        return;
    platform::ignoreFailure([&] { desktop.bringWindowToTop(window); });
    const int command = winState == "Max" ? platform::sw::Maximize : platform::sw::Restore;
    platform::ignoreFailure([&] { desktop.showWindow(window, command); });
}

void BringMessageWindowToFront(platform::Desktop& desktop)
{
    const platform::WindowHandle window = FindTopWindowByTitle(desktop, kMessageWindowTitle);
    if (window != platform::NoWindow)
        platform::ignoreFailure([&] { desktop.setForegroundWindow(window); });
}

} // namespace qln
