#pragma once
// Two small services that keep the notifier in step with what the user sees: whether a screen
// saver runs (a hidden popup must not appear over it), and the removal of Outlook's own new-mail
// icon from the notification area once the user has dealt with a message through the popup.
// Both fail silently: a failed call counts as no screen saver, or leaves the icon where it is.

#include "platform/Desktop.h"
#include "platform/SystemInfo.h"

namespace qln {

class PresenceChecks {
public:
    PresenceChecks(platform::Desktop& desktop, platform::SystemInfo& system);

    // Start-up: records once whether the system is NT 5 or later (a major version of 5 or more),
    // which decides how the screen saver is asked for. A failed version query records false.
    void RecordNT5Flag();
    // The recorded flag; false until RecordNT5Flag ran.
    bool NT5() const { return nt5_; }

    // NT 5 and later answer the question directly; older systems only show a running screen saver
    // as a desktop of its own named "screen-saver".
    bool IsScreenSaverRunning() const;

    // Deletes the new-mail icon (id 0) of the first title-less window of Outlook's class that owns
    // one and sends that window 0x407, as Outlook does when it takes the icon away itself.
    void RemoveOutlookNewMailIcon() const;

private:
    platform::Desktop& desktop_;
    platform::SystemInfo& system_;
    bool nt5_ = false;
};

} // namespace qln
