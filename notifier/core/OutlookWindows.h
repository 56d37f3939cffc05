#pragma once
// Finding Outlook's windows among every program's top-level windows.

#include "platform/Desktop.h"

namespace qln {

// Whether Outlook's main window exists: a top-level window without parent whose class begins with
// "rctrl_renwnd32" and whose title contains "- ". Failing calls count as no such window.
bool IsOutlookRunning(platform::Desktop& desktop);

} // namespace qln
