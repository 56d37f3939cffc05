#include "notifier/window/MessageActions.h"

#include <string>

#include "notifier/core/OutlookWindows.h"
#include "notifier/window/PresenceChecks.h"
#include "notifier/window/frmNewMail.h"
#include "platform/Failure.h"

namespace qln {

using platform::ignoreFailure;

MessageActions::Target MessageActions::lookUp()
{
    FolderMonitor& monitor = popup_.monitor();
    const NotifierState& state = popup_.state();
    Target target;
    ignoreFailure([&] { target.wrapper = monitor.createSafeMailItem(); });
    std::shared_ptr<platform::outlook::Item> found;
    ignoreFailure([&] {
        const auto slot = static_cast<std::size_t>(state.CurrentSlot);
        if (slot >= state.HistoryEntryID.size())
            throw platform::Failure("no history slot is shown");
        found = monitor.GetItemFromID(state.HistoryEntryID[slot], state.HistoryStoreID[slot]);
    });
    if (target.wrapper && found) {
        ignoreFailure([&] {
            target.wrapper->setItem(found);
            target.item = target.wrapper->item();
        });
    }
    return target;
}

void MessageActions::release(Target& target)
{
    target.item.reset();
    if (target.wrapper)
        popup_.monitor().cleanup();
    target.wrapper.reset();
}

void MessageActions::markRead(Target& target)
{
    if (target.item)
        ignoreFailure([&] { target.item->setUnRead(false); });
    presence_.RemoveOutlookNewMailIcon();
}

void MessageActions::finish()
{
    if (!popup_.state().Pinned)
        popup_.DismissPopup();
    popup_.tmrCountDown.setEnabled(false);
}

void MessageActions::OpenItem()
{
    const std::string switchTo = services_.settings.read(settings::SwitchTo);
    Target target = lookUp();
    auto display = [&] {
        if (target.item)
            ignoreFailure([&] { target.item->Display(); });
    };
    if (switchTo == "Open") {
        display();
        BringMessageWindowToFront(services_.desktop);
    } else if (switchTo == "Switch") {
        SwitchToOutlook(services_.desktop, services_.settings);
    } else {
        SwitchToOutlook(services_.desktop, services_.settings);
        display();
    }
    release(target);
    finish();
}

void MessageActions::Dismiss()
{
    if (services_.settings.read(settings::MarkRead) != 0) {
        Target target = lookUp();
        markRead(target);
        release(target);
    }
    popup_.DismissPopup();
    popup_.tmrCountDown.setEnabled(false);
}

void MessageActions::Delete()
{
    const bool markRead = services_.settings.read(settings::MarkRead) != 0;
    Target target = lookUp();

    // The slot is no longer offered when paging, whether or not Outlook could delete the item.
    NotifierState& state = popup_.state();
    const auto slot = static_cast<std::size_t>(state.CurrentSlot);
    if (slot < state.HistoryEntryID.size())
        state.HistoryEntryID[slot].clear();

    if (markRead)
        this->markRead(target);
    if (target.item)
        ignoreFailure([&] { target.item->Delete(); });
    release(target);

    if (state.Pinned)
        popup_.queue().HistoryBack();
    else
        popup_.DismissPopup();
    popup_.tmrCountDown.setEnabled(false);
}

void MessageActions::Reply() { answer(false); }

void MessageActions::Forward() { answer(true); }

void MessageActions::answer(bool forward)
{
    const bool markRead = services_.settings.read(settings::MarkRead) != 0;
    Target target = lookUp();
    if (markRead)
        this->markRead(target);
    if (target.item) {
        ignoreFailure([&] {
            std::shared_ptr<platform::outlook::Item> draft = forward ? target.item->Forward() : target.item->Reply();
            if (draft)
                draft->Display();
        });
    }
    release(target);
    finish();
}

} // namespace qln
