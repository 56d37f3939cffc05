#pragma once
// What the popup's buttons and labels do to the item they show: open it (or switch to Outlook),
// reply, forward, delete, or just dismiss the notification. Each action looks the item of the
// history slot now shown up afresh by its identifiers, works on it through a fresh safe wrapper
// and ends by taking the popup out of the way unless the user pinned it:
//
//   action          not pinned   pinned
//   open            dismissed    stays on the item
//   dismiss         dismissed    dismissed
//   delete          dismissed    moves to the previous history item
//   reply, forward  dismissed    stays on the item
//
// With MarkRead on, dismiss, delete, reply and forward mark the item read and take Outlook's own
// new-mail icon away; opening never does. Every step ignores failures: an item deleted or moved
// in Outlook meanwhile only loses the Outlook side of the action, the popup still goes (and a
// delete still empties the history slot).

#include <memory>

#include "notifier/core/NotifierServices.h"
#include "platform/Outlook.h"

namespace qln {

class frmNewMail;
class PresenceChecks;

class MessageActions {
public:
    MessageActions(frmNewMail& popup, NotifierServices& services, PresenceChecks& presence)
        : popup_(popup), services_(services), presence_(presence)
    {
    }

    // The five opening controls: SwitchTo "Open" displays the item and brings its window to the
    // front, "Switch" only brings Outlook's main window up, anything else does both.
    void OpenItem();
    // The close button and the dismiss hot key: goes away even when pinned.
    void Dismiss();
    void Delete();
    void Reply();
    void Forward();

private:
    // The shown item behind its safe wrapper; either part is null when it could not be had.
    struct Target {
        std::shared_ptr<platform::mapi::SafeMailItem> wrapper;
        std::shared_ptr<platform::outlook::Item> item;  // the item the wrapper hands back
    };

    Target lookUp();
    void release(Target& target);
    // UnRead false, then Outlook's new-mail icon goes.
    void markRead(Target& target);
    void answer(bool forward);
    // Dismisses unless pinned; the countdown stops either way.
    void finish();

    frmNewMail& popup_;
    NotifierServices& services_;
    PresenceChecks& presence_;
};

} // namespace qln
