#include "notifier/core/NotifierState.h"

namespace qln {

void NotifierState::reset(std::int32_t delayTicks)
{
    HistoryEntryID.fill({});
    HistoryStoreID.fill({});
    DelayedEntryID.fill({});
    DelayedStoreID.fill({});
    NewestSlot = -1;
    CurrentSlot = -1;
    DelayWriteIndex = 0;
    DelayReadIndex = 0;
    SummaryOnlyShown = false;
    DelayTicks = delayTicks;
    DelayCountdown = DelayTicks;
    ShowNoMoreMessage = true;
    Pinned = false;
    LatestItem.reset();
}

} // namespace qln
