#pragma once
// Keeps the popup honest once an item is shown, against what happens to the item elsewhere.
//
// The sweep: for a few seconds after each layout (the layout grants five one-second ticks, so the
// item is checked about 1 to 4 seconds after it appeared), the folder that now holds the shown
// item is compared with the folders the user ignores. A spam filter running inside Outlook that
// moves the item there makes the popup go (or page back, when pinned). The item is not marked
// read; with MarkRead on, Outlook's new-mail icon goes.
//
// The removal handling: when an item in a monitored folder changes or goes, the shown item is
// looked up again. If it is read now, or can no longer be found as a mail item, it counts as
// gone. Within the spam window after showing (2.592 seconds, counted in whole seconds, so 0 to 2
// seconds) that is taken for another program's work inside Outlook; later for the user's:
//
//   Autodismiss3rdPartySpam   within the window                     later
//   on                        pinned: the item leaves the history,  pinned: summary-only layout
//                             the popup pages back silently;        on removal, nothing on read;
//                             not pinned: dismissed                 not pinned: dismissed
//   off                       nothing                               as above

#include <cstdint>

#include "notifier/core/NotifierServices.h"

namespace qln {

class frmNewMail;
class PresenceChecks;

class ShownItemWatch {
public:
    // The spam window in seconds: 0.00003 of a day.
    static constexpr double kSpamWindowSeconds = 0.00003 * 86400.0;

    ShownItemWatch(frmNewMail& popup, NotifierServices& services, PresenceChecks& presence)
        : popup_(popup), services_(services), presence_(presence)
    {
    }

    // tmrCheckIgnored's tick.
    void tmrCheckIgnored_Timer();

    // An item of a monitored folder changed (removal false) or went (removal true).
    void OnShownItemReadOrRemoved(bool removal);

private:
    // Whether the item of the shown slot is read, gone, or not a mail item.
    bool shownItemGone();

    frmNewMail& popup_;
    NotifierServices& services_;
    PresenceChecks& presence_;
};

} // namespace qln
