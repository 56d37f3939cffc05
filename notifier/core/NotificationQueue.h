#pragma once
// The queue and history routines: the one-second queue tick that releases held items of a burst,
// and paging back and forth through the last 100 notified items.

#include "notifier/core/FolderMonitor.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/core/NotifierState.h"
#include "notifier/core/PopupPort.h"

namespace qln {

class NotificationQueue {
public:
    NotificationQueue(NotifierServices& services, NotifierState& state, FolderMonitor& monitor, PopupPort& popup)
        : services_(services), state_(state), monitor_(monitor), popup_(popup)
    {
    }

    // tmrCountQueue's tick, every second.
    void tmrCountQueue_Timer();
    // One release step of the delay queue.
    void ShowNextDelayed();
    // Pages to the previous available item (picBack, and when a pinned popup must leave a removed item).
    void HistoryBack();
    // Pages to the next available item (picNext).
    void HistoryNext();

private:
    // Whether the slot holds an item that can still be shown: not empty, found, not deleted.
    bool slotAvailable(std::int16_t slot);

    NotifierServices& services_;
    NotifierState& state_;
    FolderMonitor& monitor_;
    PopupPort& popup_;
};

} // namespace qln
