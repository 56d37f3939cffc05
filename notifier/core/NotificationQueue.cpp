#include "notifier/core/NotificationQueue.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/Failure.h"
#include "platform/Lang.h"

namespace qln {

namespace {

using platform::valueOr;

// Outlook's wastebasket: a deleted item keeps its identifiers there, but the user threw it away.
constexpr std::string_view kDeletedItems = "Deleted Items";

// Paging gives up after a little more than one turn of the ring: the newest slot ends every walk
// that can end, so only a ring without a newest item gets this far.
constexpr int kMaxPagingSteps = 105;

constexpr std::string_view kNoMoreText = "No more available e-mails in history!";
constexpr std::string_view kNoMoreTitle = "Quellin History";

std::int16_t nextRingSlot(std::int16_t index) { return lang::ringIndex(lang::wrap16(index + 1), kRingSize); }
std::int16_t previousRingSlot(std::int16_t index) { return lang::ringIndex(lang::wrap16(index - 1), kRingSize); }

bool inTable(std::int16_t slot) { return slot >= 0 && slot < kSlotTableSize; }

// Whether the item of the slot can still be found in Outlook.
bool stillThere(NotifierState& state, FolderMonitor& monitor, std::int16_t slot)
{
    if (!inTable(slot))
        return false;
    return platform::ignoreFailure(
        [&] { monitor.GetItemFromID(state.HistoryEntryID[slot], state.HistoryStoreID[slot]).reset(); });
}

} // namespace

void NotificationQueue::tmrCountQueue_Timer()
{
    // Saturating: with a pacing interval of 0 or less the countdown is already below 1, and a
    // hand-written minimum must not run off the end of the type.
    if (state_.DelayCountdown >= 1)
        --state_.DelayCountdown;
    else
        state_.DelayCountdown = 0;
    if (state_.DelayCountdown < 1)
        ShowNextDelayed();

    // An item on screen keeps the next one waiting for the countdown; once it is gone (or only the
    // summary shows), the next waiting item follows at once.
    if (popup_.popupVisible() && !state_.SummaryOnlyShown)
        return;
    if (state_.burstUnderWay())
        ShowNextDelayed();
}

void NotificationQueue::ShowNextDelayed()
{
    if (state_.burstUnderWay()) {
        state_.DelayReadIndex = nextRingSlot(state_.DelayReadIndex);
        // The step that finds nothing more waiting ends the burst.
        if (state_.burstUnderWay()) {
            state_.NewestSlot = nextRingSlot(state_.NewestSlot);
            state_.CurrentSlot = state_.NewestSlot;
            state_.HistoryEntryID[state_.CurrentSlot] = state_.DelayedEntryID[state_.DelayReadIndex];
            state_.HistoryStoreID[state_.CurrentSlot] = state_.DelayedStoreID[state_.DelayReadIndex];
            popup_.ComposeContent(state_.CurrentSlot, ComposeKind::ArrivalByIdentifiers);
        }
    }
    state_.DelayCountdown = state_.DelayTicks;
}

void NotificationQueue::HistoryBack()
{
    const std::int16_t start = state_.CurrentSlot;
    int steps = 0;
    bool found = false;
    while (!found) {
        if (++steps > kMaxPagingSteps) {
            state_.HistoryEntryID[state_.CurrentSlot].clear();
            popup_.ComposeContent(state_.CurrentSlot, ComposeKind::HistoryView);
            return;
        }
        state_.CurrentSlot = previousRingSlot(state_.CurrentSlot);
        if (state_.CurrentSlot == state_.NewestSlot) {
            // Walked round to the newest item: nothing older is left.
            if (state_.ShowNoMoreMessage) {
                popup_.messageBox(std::string(kNoMoreText), std::string(kNoMoreTitle),
                                  platform::mb::IconStop | platform::mb::Ok);
            }
            popup_.SetBackEnabled(false);
            state_.CurrentSlot = start;
            found = true;
        } else {
            found = slotAvailable(state_.CurrentSlot);
        }
    }
    if (!stillThere(state_, monitor_, state_.CurrentSlot))
        state_.CurrentSlot = start;
    popup_.SetNextEnabled(true);
    state_.LatestItem.reset();
    popup_.ComposeContent(state_.CurrentSlot, ComposeKind::HistoryView);
}

void NotificationQueue::HistoryNext()
{
    const std::int16_t start = state_.CurrentSlot;
    int steps = 0;
    bool found = false;
    while (!found) {
        if (++steps > kMaxPagingSteps) {
            state_.HistoryEntryID[state_.CurrentSlot].clear();
            popup_.ComposeContent(state_.CurrentSlot, ComposeKind::HistoryView);
            return;
        }
        state_.CurrentSlot = nextRingSlot(state_.CurrentSlot);
        if (state_.CurrentSlot == state_.NewestSlot) {
            // The newest item ends the walk unchecked; the look-up below still guards it.
            popup_.SetNextEnabled(false);
            found = true;
        } else {
            found = slotAvailable(state_.CurrentSlot);
        }
    }
    if (!stillThere(state_, monitor_, state_.CurrentSlot))
        state_.CurrentSlot = start;
    popup_.SetBackEnabled(true);
    state_.LatestItem.reset();
    popup_.ComposeContent(state_.CurrentSlot, ComposeKind::HistoryView);
}

bool NotificationQueue::slotAvailable(std::int16_t slot)
{
    if (!inTable(slot) || state_.HistoryEntryID[slot].empty())
        return false;
    // An item that cannot be found, or whose folder cannot be named, is passed over like a
    // deleted one.
    return valueOr(false, [&] {
        auto item = monitor_.GetItemFromID(state_.HistoryEntryID[slot], state_.HistoryStoreID[slot]);
        return item->Parent()->Name() != kDeletedItems;
    });
}

} // namespace qln
