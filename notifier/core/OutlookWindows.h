#pragma once
// Finding Outlook's windows among every program's top-level windows, and bringing them up. The
// notifier is a separate process without handles of Outlook's windows, so it knows them by their
// titles: "<folder> - Microsoft Outlook" for the main window, "<subject> - Message" for an item's.

#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "shared/Settings.h"

namespace qln {

// What one look for Outlook's main window (a top-level window without parent whose class begins
// with "rctrl_renwnd32" and whose title contains "- ") found.
enum class OutlookPresence {
    Running,  // such a window was found
    Gone,     // every top-level window was looked at, and none is such a window
    Unknown,  // none was found, but the look was not complete: the enumeration failed, or a window
              // refused a query. Failing to look is no evidence that Outlook has gone.
};

OutlookPresence IsOutlookRunning(platform::Desktop& desktop);

// The title patterns of Outlook's windows (English Outlook).
inline constexpr std::string_view kOutlookMainTitle = "* - Microsoft Outlook*";
inline constexpr std::string_view kMessageWindowTitle = "* - Message*";

// Whether `text` matches `pattern` as a whole: "*" stands for any run of characters, every other
// character for itself, letter case included.
bool MatchesTitlePattern(std::string_view text, std::string_view pattern);

// The first visible top-level window without parent, in the system's order, whose title (as far as
// a 128-byte buffer holds it, 127 characters) is not empty and matches `pattern`; NoWindow when
// none does. Failing calls count as no match.
platform::WindowHandle FindTopWindowByTitle(platform::Desktop& desktop, std::string_view pattern);

// Brings Outlook's main window up: maximised when WinState is exactly "Max", restored otherwise.
// Without such a window nothing happens.
void SwitchToOutlook(platform::Desktop& desktop, const settings::Settings& store);

// Gives the foreground to the first item window Outlook has open.
void BringMessageWindowToFront(platform::Desktop& desktop);

} // namespace qln
