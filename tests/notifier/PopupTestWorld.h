#pragma once
// A notifier on the simulated world, for the suites that drive it through its popup: Outlook, the
// desktop, the settings and the popup form that owns the notifier's run.

#include <memory>
#include <string>

#include "notifier/window/frmNewMail.h"
#include "platform/sim/SimWorld.h"

namespace qln {

struct PopupTestWorld {
    // A new run of the notifier (empty history, not pinned): the popup is created and loaded and
    // the loop runs what start-up posted.
    void start()
    {
        popup.reset();
        popup = std::make_unique<frmNewMail>(host, services);
        popup->Load();
        world.loop.runPending();
    }
    // A mail arrives and Outlook's events run; returns its EntryID.
    std::string deliver(const std::string& folder, const platform::sim::MailSpec& mail = {})
    {
        std::string id = world.outlook.deliver(folder, mail);
        world.loop.runPending();
        return id;
    }
    std::string deliverSubject(const std::string& subject, std::int32_t itemClass = platform::outlook::olMail)
    {
        platform::sim::MailSpec mail;
        mail.subject = subject;
        mail.itemClass = itemClass;
        return deliver("Inbox", mail);
    }

    platform::sim::SimWorld world;
    forms::FormsHost host{world.desktop, world.loop};
    NotifierServices services{world.registry, world.files, world.system, world.desktop,
                              world.loop,     world.loop,  world.outlook};
    std::unique_ptr<frmNewMail> popup;
};

} // namespace qln
