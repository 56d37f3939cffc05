#pragma once
// Finding Outlook's windows among every program's top-level windows, and bringing them up. The
// notifier is a separate process without handles of Outlook's windows, so it knows them by their
// titles: "<folder> - Microsoft Outlook" for the main window, "<subject> - Message" for an item's.

#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "shared/Settings.h"

namespace qln {

// Whether Outlook's main window exists: a top-level window without parent whose class begins with
// "rctrl_renwnd32" and whose title contains "- ". Failing calls count as no such window.
bool IsOutlookRunning(platform::Desktop& desktop);

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
