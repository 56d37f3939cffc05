#pragma once
// ScreenNewItem: decides whether a newly arrived item is notified, and records an accepted one
// in the history (shown at once) or, while a burst is paced, in the delay queue.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "notifier/core/FolderMonitor.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/core/NotifierState.h"
#include "notifier/core/PopupPort.h"

namespace qln {

// Whether a folder is among the ignored ones: `pieces` is AutodismissFolders split at "|", each
// piece "<name>:<EntryID>" (pieces of three characters or less are padding). Compared is the
// second part of a piece split at ":" with the folder's EntryID; no EntryID matches nothing.
bool InIgnoredFolder(const std::vector<std::string>& pieces, const std::optional<std::string>& folderEntryID);

class NewItemScreening {
public:
    NewItemScreening(NotifierServices& services, NotifierState& state, FolderMonitor& monitor, PopupPort& popup)
        : services_(services), state_(state), monitor_(monitor), popup_(popup)
    {
    }

    // Re-reads the screening settings, then applies in order: reports, ignored folders, the sender
    // lists, the on/off switch, the read state and the sent state. Never throws platform::Failure.
    void ScreenNewItem(std::shared_ptr<platform::outlook::Item> item);

private:
    NotifierServices& services_;
    NotifierState& state_;
    FolderMonitor& monitor_;
    PopupPort& popup_;
};

} // namespace qln
