#pragma once
// What the notifier remembers between events: the notification history, the delay queue that
// paces bursts, the sender lists and the few flags the popup's routines share. One instance is
// owned by the popup for the whole run; the routines that change it live beside it in this folder.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Outlook.h"

namespace qln {

// The history and the delay queue are rings of 100 slots; the tables have one spare slot (100),
// as the stored form of the popup always had.
inline constexpr int kRingSize = 100;
inline constexpr int kSlotTableSize = kRingSize + 1;

struct NotifierState {
    // ---- History: the last 100 notified items, by identifiers -------------------------------
    std::array<std::string, kSlotTableSize> HistoryEntryID;  // "" = free or removed
    std::array<std::string, kSlotTableSize> HistoryStoreID;
    std::int16_t NewestSlot = -1;
    std::int16_t CurrentSlot = -1;

    // ---- Delay queue: items held back while a burst is paced -----------------------------------
    std::array<std::string, kSlotTableSize> DelayedEntryID;
    std::array<std::string, kSlotTableSize> DelayedStoreID;
    std::int16_t DelayWriteIndex = 0;
    std::int16_t DelayReadIndex = 0;
    std::int32_t DelayTicks = 4;       // pacing interval in queue ticks (seconds)
    std::int32_t DelayCountdown = 4;   // ticks left until the next release step

    // The newest accepted item, handed to the composition of a fresh arrival.
    std::shared_ptr<platform::outlook::Item> LatestItem;

    bool SummaryOnlyShown = false;     // the popup shows the summary-only layout (no item)
    bool ShowNoMoreMessage = true;     // HistoryBack may say that nothing older is left
    bool Pinned = false;               // the user pinned the popup

    // ---- Watchers of the shown item ------------------------------------------------------------
    std::int32_t SecondsLeft = 0;      // of the auto-dismiss countdown; 0 while none runs
    std::int16_t SweepTicks = 0;       // ignored-items sweep ticks left after a layout
    platform::DateTime ShownTime;      // when the item now shown was composed and laid out

    // ---- Sender lists, as last loaded ----------------------------------------------------------
    std::vector<std::string> BList;
    std::vector<std::string> WList;

    // A burst is under way while the two delay indexes differ.
    bool burstUnderWay() const { return DelayWriteIndex != DelayReadIndex; }

    // Start-up values: empty rings, no slot shown, the queue idle with the given pacing.
    void reset(std::int32_t delayTicks);
};

} // namespace qln
