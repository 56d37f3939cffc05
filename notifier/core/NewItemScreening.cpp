#include "notifier/core/NewItemScreening.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/Utf8.h"
#include "shared/SenderLists.h"
#include "shared/Settings.h"

namespace qln {

namespace {

namespace outlook = platform::outlook;
namespace mapi = platform::mapi;
using platform::ignoreFailure;
using platform::valueOr;

// Items in the sending queue are unsent by nature, yet the user asked to hear of them.
constexpr std::string_view kOutboxName = "Outbox";

// Ignored-folder pieces this short or shorter (in characters) are padding (the empty piece after the last bar
// among them) and never name a folder.
constexpr std::size_t kLongestPaddingPiece = 3;

// A character takes at most four bytes, so only a piece of twelve bytes or fewer needs counting.
bool isPadding(const std::string& piece)
{
    return piece.size() <= 4 * kLongestPaddingPiece && utf8::count(piece) <= kLongestPaddingPiece;
}

} // namespace

// A folder whose EntryID could not be read is in none of them: one failed Outlook call must not
// silently swallow a notification. A piece without a colon (only a hand-edited value has one)
// names no folder.
bool InIgnoredFolder(const std::vector<std::string>& pieces, const std::optional<std::string>& folderEntryID)
{
    if (!folderEntryID)
        return false;
    bool ignored = false;
    for (const auto& piece : pieces) {
        if (isPadding(piece))
            continue;
        // The second part, not everything after the first colon: the page stores names unprotected,
        // so a name holding a colon shifts the EntryID out of place and the entry matches nothing.
        const std::vector<std::string> parts = lang::split(piece, ':');
        if (parts.size() >= 2 && parts[1] == *folderEntryID)
            ignored = true;
    }
    return ignored;
}

namespace {

bool anyFolderPiece(const std::vector<std::string>& pieces)
{
    for (const auto& piece : pieces) {
        if (!isPadding(piece))
            return true;
    }
    return false;
}

bool onList(const std::vector<std::string>& entries, const std::string& senderAddress)
{
    const SenderAddress sender(senderAddress);
    for (const auto& entry : entries) {
        if (sender.matches(entry))
            return true;
    }
    return false;
}

std::int16_t nextRingSlot(std::int16_t index) { return lang::ringIndex(lang::wrap16(index + 1), kRingSize); }

} // namespace

void NewItemScreening::ScreenNewItem(std::shared_ptr<outlook::Item> item)
{
    if (!item)
        return;

    // Read afresh for every item: the options page may have changed any of them since the last.
    const settings::Settings& store = services_.settings;
    const std::int32_t isEnabled = store.read(settings::IsEnabled);
    const std::int32_t notifyReports = store.read(settings::NotifyReports);
    const std::vector<std::string> ignoredFolders = lang::split(store.read(settings::AutodismissFolders), '|');
    const bool reReadBList = store.read(settings::ReReadBList) != 0;
    const bool reReadWList = store.read(settings::ReReadWList) != 0;
    const std::int32_t listMode = store.read(settings::ListMode);
    const bool multMsgDelay = store.read(settings::MultMsgDelay) != 0;
    const bool delayTimeChanged = store.read(settings::MultMsgDelayTimeChanged) != 0;

    // Reports are dropped before any wrapper exists, so they cost no clean-up.
    if (notifyReports == 0 && valueOr<std::int32_t>(0, [&] { return item->Class(); }) == outlook::olReport)
        return;

    // The guarded values come through the maker's wrapper. Without its library every read stays
    // empty or false, and an item that is not known to be unread is never notified.
    auto wrapper = valueOr<std::shared_ptr<mapi::SafeMailItem>>(nullptr, [&] { return monitor_.createSafeMailItem(); });
    bool unread = false;
    bool sent = false;
    std::string folderName;
    std::string senderAddress;
    if (wrapper) {
        ignoreFailure([&] { wrapper->setItem(item); });
        auto wrapped = valueOr<std::shared_ptr<outlook::Item>>(nullptr, [&] { return wrapper->item(); });
        if (wrapped) {
            unread = valueOr(false, [&] { return wrapped->UnRead(); });
            folderName = valueOr(std::string(), [&] { return wrapped->Parent()->Name(); });
            sent = valueOr(false, [&] { return wrapped->Sent(); });
        }
        senderAddress = valueOr(std::string(), [&] { return wrapper->Fields(mapi::PR_SENDER_EMAIL_ADDRESS); });
    }

    // The item's own folder, for its identifiers; a failed read is tried again at the next use.
    std::shared_ptr<outlook::MAPIFolder> folder;
    auto itemFolder = [&] {
        if (!folder)
            folder = valueOr<std::shared_ptr<outlook::MAPIFolder>>(nullptr, [&] { return item->Parent(); });
        return folder;
    };
    auto folderStoreID = [&] {
        auto f = itemFolder();
        return f ? valueOr(std::string(), [&] { return f->StoreID(); }) : std::string();
    };
    auto itemEntryID = [&] { return valueOr(std::string(), [&] { return item->EntryID(); }); };

    bool verdict = false;

    if (anyFolderPiece(ignoredFolders)) {
        std::optional<std::string> folderEntryID;
        if (auto f = itemFolder())
            folderEntryID = valueOr<std::optional<std::string>>(std::nullopt, [&] { return f->EntryID(); });
        if (InIgnoredFolder(ignoredFolders, folderEntryID))
            verdict = true;
    }

    // Each list is reloaded only in its own mode, so a raised flag waits until that mode is used.
    if (listMode == 1) {
        if (reReadBList)
            state_.BList = services_.lists.LoadBList();
        if (onList(state_.BList, senderAddress))
            verdict = true;
    } else if (listMode == 2) {
        if (reReadWList)
            state_.WList = services_.lists.LoadWList();
        // Allowed senders are notified even from an ignored folder.
        verdict = !onList(state_.WList, senderAddress);
    }

    if (isEnabled != 1)
        verdict = true;
    if (!unread)
        verdict = true;
    if (folderName != kOutboxName && !sent)
        verdict = true;

    auto endWrapperUse = [&] {
        item.reset();
        ignoreFailure([&] { monitor_.cleanup(); });
        wrapper.reset();
    };

    if (verdict) {
        endWrapperUse();
        return;
    }

    if (multMsgDelay) {
        if (delayTimeChanged) {
            state_.DelayTicks = store.read(settings::MultMsgDelayTime);
            store.write(settings::MultMsgDelayTimeChanged, 0);
        }
        if (state_.burstUnderWay()) {
            // Held back: the queue shows it when its turn comes.
            state_.DelayWriteIndex = nextRingSlot(state_.DelayWriteIndex);
            const std::int16_t slot = lang::ringIndex(lang::wrap16(state_.DelayWriteIndex + kRingSize - 1), kRingSize);
            state_.DelayedEntryID[slot] = itemEntryID();
            state_.DelayedStoreID[slot] = folderStoreID();
            state_.LatestItem.reset();
            endWrapperUse();
            return;
        }
        // The first item of a burst opens it and is shown at once; the next ones wait their turn.
        state_.DelayWriteIndex = nextRingSlot(state_.DelayWriteIndex);
        state_.DelayCountdown = state_.DelayTicks;
    }

    state_.NewestSlot = nextRingSlot(state_.NewestSlot);
    state_.CurrentSlot = state_.NewestSlot;
    state_.HistoryEntryID[state_.CurrentSlot] = itemEntryID();
    state_.HistoryStoreID[state_.CurrentSlot] = folderStoreID();
    state_.LatestItem = item;
    endWrapperUse();

    popup_.SetNextEnabled(false);
    popup_.SetBackEnabled(true);
    // Handlers may run in here (another arrival among them); the composition takes whatever slot
    // is current afterwards.
    popup_.DoEvents();
    popup_.ComposeContent(state_.CurrentSlot, ComposeKind::Arrival);
}

} // namespace qln
