#include "notifier/window/ShownItemWatch.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "notifier/core/NewItemScreening.h"
#include "notifier/window/PresenceChecks.h"
#include "notifier/window/frmNewMail.h"
#include "platform/Failure.h"
#include "platform/Lang.h"

namespace qln {

using platform::ignoreFailure;

namespace {

// The identifiers of the slot now shown; empty when no slot is shown.
struct ShownSlot {
    std::string entryID;
    std::string storeID;
};

ShownSlot shownSlot(const NotifierState& state)
{
    const auto slot = static_cast<std::size_t>(state.CurrentSlot);
    if (slot >= state.HistoryEntryID.size())
        return {};
    return {state.HistoryEntryID[slot], state.HistoryStoreID[slot]};
}

} // namespace

void ShownItemWatch::tmrCheckIgnored_Timer()
{
    NotifierState& state = popup_.state();
    state.SweepTicks = lang::wrap16(state.SweepTicks - 1);
    const settings::Settings& store = services_.settings;
    const std::vector<std::string> ignoredFolders = lang::split(store.read(settings::AutodismissFolders), '|');
    const bool markRead = store.read(settings::MarkRead) != 0;

    const ShownSlot shown = shownSlot(state);
    if (shown.entryID.empty() || state.SweepTicks == 0) {
        popup_.tmrCheckIgnored.setEnabled(false);
        return;
    }

    FolderMonitor& monitor = popup_.monitor();
    std::shared_ptr<platform::mapi::SafeMailItem> wrapper;
    bool hit = false;
    const bool looked = ignoreFailure([&] {
        wrapper = monitor.createSafeMailItem();
        wrapper->setItem(monitor.GetItemFromID(shown.entryID, shown.storeID));
        std::shared_ptr<platform::outlook::Item> item = wrapper->item();
        if (!item)
            throw platform::Failure("the wrapper holds no item");
        std::shared_ptr<platform::outlook::MAPIFolder> folder = item->Parent();
        if (!folder)
            throw platform::Failure("the item has no folder");
        hit = InIgnoredFolder(ignoredFolders, folder->EntryID());
    });
    if (!looked) {
        // The shown item is gone, or Outlook refuses: nothing more to watch for this item.
        if (wrapper)
            monitor.cleanup();
        wrapper.reset();
        popup_.tmrCheckIgnored.setEnabled(false);
        return;
    }

    if (hit) {
        if (markRead)
            presence_.RemoveOutlookNewMailIcon();
        if (!state.Pinned)
            popup_.DismissPopup();
        else
            popup_.queue().HistoryBack();
        popup_.tmrCountDown.setEnabled(false);
    }

    monitor.cleanup();
    wrapper.reset();
    popup_.DoEvents();
}

bool ShownItemWatch::shownItemGone()
{
    const ShownSlot shown = shownSlot(popup_.state());
    bool unread = false;
    const bool read = ignoreFailure([&] {
        std::shared_ptr<platform::outlook::Item> item = popup_.monitor().GetItemFromID(shown.entryID, shown.storeID);
        std::shared_ptr<platform::outlook::Item> mail = item ? item->asMailItem() : nullptr;
        if (!mail)
            throw platform::Failure("the shown item is not a mail item");
        unread = mail->UnRead();
    });
    return !read || !unread;
}

void ShownItemWatch::OnShownItemReadOrRemoved(bool removal)
{
    if (!shownItemGone())
        return;

    NotifierState& state = popup_.state();
    const bool spamOption = services_.settings.read(settings::Autodismiss3rdPartySpam) != 0;
    // Both moments come from a clock of one-second resolution: 0 to 2 whole seconds are within
    // the window, 3 or more are later, whatever fraction of a second either moment had.
    const auto elapsed = static_cast<double>(secondsBetween(state.ShownTime, services_.clock.now()));

    if (elapsed < kSpamWindowSeconds && spamOption && state.Pinned) {
        // Another program took the item away at once: it leaves the history without a word.
        const auto slot = static_cast<std::size_t>(state.CurrentSlot);
        if (slot < state.HistoryEntryID.size())
            state.HistoryEntryID[slot].clear();
        // A popup the user dismissed stays dismissed: paging back would bring it up again with an
        // older item (the close button marks the item read, which is what reports it here).
        if (!popup_.Visible())
            return;
        state.ShowNoMoreMessage = false;
        popup_.queue().HistoryBack();
        popup_.SetNextEnabled(false);
        state.ShowNoMoreMessage = true;
        if (state.burstUnderWay())
            state.DelayCountdown = 1;
    } else if (spamOption || elapsed > kSpamWindowSeconds) {
        if (!state.Pinned) {
            popup_.DismissPopup();
            popup_.tmrCountDown.setEnabled(false);
        } else if (removal) {
            popup_.LayoutSummaryOnly();
        }
    }
}

} // namespace qln
