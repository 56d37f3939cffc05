// The folder lists of the Advanced tab: loading them from AutodismissFolders and AddInbox<n>,
// the Browse and Remove buttons, and writing them back on Apply.
//
// Stored formats (the notifier reads them too, so they are kept exactly):
//   AutodismissFolders  "<name>:<EntryID>|<name>:<EntryID>|..."  (empty: none)
//   AddInbox1, 2, ...   "<EntryID>|<StoreID>|<name>", numbered without gaps, ended by "EOF"
//
// What the stored text cannot be trusted to hold is read leniently: a missing part of an entry
// is empty text, and rows numbered past the last slot keep their identifiers (beside the tables)
// so that an Apply writes them back instead of losing them.

#include "options/FolderLists.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/Utf8.h"

namespace qln::options {

namespace {

using settings::AddInbox;
using settings::AutodismissFolders;

constexpr const char* kEndOfList = "EOF";
constexpr std::int16_t kLastSlotNumber = std::numeric_limits<std::int16_t>::max();

// The piece of a split text, or empty text when the text had fewer pieces.
std::string part(const std::vector<std::string>& parts, std::size_t index)
{
    return index < parts.size() ? parts[index] : std::string();
}

std::string limitMessage(const char* lead)
{
    return std::string(lead) + " " + kSupportAddress + " and let us know.";
}

// What the folder picker gave: the folder's properties, read in full before anything is added.
struct PickedFolder {
    std::string name;
    std::string entryID;
    std::string storeID;
};

enum class Pick { Chosen, Cancelled, Refused };

} // namespace

// ---- Slot tables ---------------------------------------------------------------------------------

void FolderLists::SlotTable::put(std::int32_t slot, std::string id)
{
    if (slot < 0)
        return;
    if (slot < kSlots)
        inTable[static_cast<std::size_t>(slot)] = std::move(id);
    else
        beyond[slot] = std::move(id);
}

std::string FolderLists::SlotTable::at(std::int32_t slot) const
{
    if (slot >= 0 && slot < kSlots)
        return inTable[static_cast<std::size_t>(slot)];
    auto it = beyond.find(slot);
    return it == beyond.end() ? std::string() : it->second;
}

// ---- Construction and messages -------------------------------------------------------------------

FolderLists::FolderLists(forms::ListBox& lstAddInbox, forms::ListBox& lstSpamFolders, PageMessage message,
                         std::function<void()> setDirty)
    : lstAddInbox_(lstAddInbox), lstSpamFolders_(lstSpamFolders), message_(std::move(message)),
      setDirty_(std::move(setDirty))
{
}

void FolderLists::show(const std::string& text) const
{
    if (message_)
        message_(text);
}

void FolderLists::markDirty() const
{
    if (setDirty_)
        setDirty_();
}

// ---- Loading -------------------------------------------------------------------------------------

void FolderLists::load(const settings::Settings& settings)
{
    // Ignored folders.
    lstSpamFolders_.Clear();
    ignoredFolderEntryID_ = SlotTable{};
    std::int32_t ignoredSlot = 0;
    for (const std::string& piece : lang::split(settings.read(AutodismissFolders), '|')) {
        // The empty piece after the closing bar, and scraps too short to be an entry.
        if (utf8::count(piece) <= 3)
            continue;
        if (ignoredSlot > kLastSlotNumber)
            break;
        const std::vector<std::string> parts = lang::split(piece, ':');
        lstSpamFolders_.AddItem(part(parts, 0));
        lstSpamFolders_.setItemData(lstSpamFolders_.NewIndex(), ignoredSlot);
        ignoredFolderEntryID_.put(ignoredSlot, part(parts, 1));
        ++ignoredSlot;
    }
    nextIgnoredSlot_ = static_cast<std::int16_t>(std::min<std::int32_t>(ignoredSlot, kLastSlotNumber));

    // Monitored folders, read up to the "EOF" that ends the numbering.
    lstAddInbox_.Clear();
    addInboxEntryID_ = SlotTable{};
    addInboxStoreID_ = SlotTable{};
    std::int32_t n = 1;
    for (std::string value = settings.read(AddInbox(n)); value != kEndOfList && n < kLastSlotNumber;
         value = settings.read(AddInbox(n))) {
        const std::vector<std::string> parts = lang::split(value, '|');
        addInboxEntryID_.put(n, part(parts, 0));
        addInboxStoreID_.put(n, part(parts, 1));
        lstAddInbox_.AddItem(part(parts, 2));
        lstAddInbox_.setItemData(lstAddInbox_.NewIndex(), n);
        ++n;
    }
    // One more than the slot after the last row: with k folders loaded the first one added gets
    // slot k + 3. Harmless, and kept so that slot numbers mean the same in every version.
    nextAddInboxSlot_ = static_cast<std::int16_t>(std::min<std::int32_t>(n + 1, kLastSlotNumber));
}

// ---- Saving --------------------------------------------------------------------------------------

void FolderLists::save(const settings::Settings& settings) const
{
    std::string ignored;
    for (int row = 0; row < lstSpamFolders_.ListCount(); ++row)
        ignored += lstSpamFolders_.List(row) + ":" + ignoredFolderEntryID_.at(lstSpamFolders_.ItemData(row)) + "|";
    settings.write(AutodismissFolders, ignored);

    settings.write(AddInbox(1), kEndOfList);
    const int rows = lstAddInbox_.ListCount();
    for (int row = 0; row < rows; ++row) {
        const std::int32_t slot = lstAddInbox_.ItemData(row);
        settings.write(AddInbox(row + 1),
                       addInboxEntryID_.at(slot) + "|" + addInboxStoreID_.at(slot) + "|" + lstAddInbox_.List(row));
    }
    settings.write(AddInbox(rows + 1), kEndOfList);
}

// ---- The buttons ---------------------------------------------------------------------------------

namespace {

// Outlook's picker, then the folder's properties. A folder that cannot take mail is refused with
// a message when `mailOnly`; a failure of the picker or of any property ends the pick as if
// cancelled, so that nothing half-read is ever added.
Pick pickFolder(outlook::NameSpace& mapiNamespace, bool mailOnly, PickedFolder& picked,
                const std::function<void(const std::string&)>& show)
{
    std::shared_ptr<outlook::MAPIFolder> folder;
    bool refused = false;
    const bool read = platform::ignoreFailure([&] {
        folder = mapiNamespace.PickFolder();
        if (!folder)
            return;
        if (mailOnly) {
            const std::string messageClass = folder->DefaultMessageClass();
            if (messageClass != "IPM.Note" && messageClass != "IPM.Post") {
                refused = true;
                return;
            }
        }
        picked.name = utf8::sanitize(folder->Name());
        picked.entryID = folder->EntryID();
        if (mailOnly)
            picked.storeID = folder->StoreID();
    });
    if (!read || !folder)
        return Pick::Cancelled;
    if (refused) {
        show("You must select a folder that can receive e-mail!");
        return Pick::Refused;
    }
    return Pick::Chosen;
}

} // namespace

void FolderLists::btnBrowseAddInbox_Click(outlook::NameSpace* mapiNamespace)
{
    // Each press uses up a slot number, picked or not. The counter stops at the limit instead of
    // running on towards a wrap.
    if (nextAddInboxSlot_ < kSlots)
        ++nextAddInboxSlot_;
    if (nextAddInboxSlot_ >= kSlots) {
        show(limitMessage("Error trying to add additional inbox, index exceeded! Contact"));
        return;
    }
    const std::int16_t slot = nextAddInboxSlot_;
    // Without Outlook's namespace there is no picker to show: the press ends as a cancel would.
    if (!mapiNamespace)
        return;

    PickedFolder picked;
    if (pickFolder(*mapiNamespace, true, picked, [this](const std::string& text) { show(text); }) != Pick::Chosen)
        return;

    markDirty();
    lstAddInbox_.AddItem(picked.name);
    lstAddInbox_.setItemData(lstAddInbox_.NewIndex(), slot);
    addInboxEntryID_.put(slot, picked.entryID);
    addInboxStoreID_.put(slot, picked.storeID);

    if (!addNoticeShown_) {
        show("This folder will not be monitored until you restart Outlook!");
        addNoticeShown_ = true;
    }
}

void FolderLists::btnRemoveAddInbox_Click()
{
    const int selected = lstAddInbox_.ListIndex();
    if (selected < 0)
        return;
    lstAddInbox_.RemoveItem(selected);
    if (!removeNoticeShown_) {
        show("This folder will continue to be monitored until you restart Outlook!");
        removeNoticeShown_ = true;
    }
    markDirty();
}

void FolderLists::btnAddSpamFolder_Click(outlook::NameSpace* mapiNamespace)
{
    if (nextIgnoredSlot_ < kSlots)
        ++nextIgnoredSlot_;
    if (nextIgnoredSlot_ >= kSlots) {
        show(limitMessage("You have reached the max number of ignored folders! Contact"));
        return;
    }
    const std::int16_t slot = nextIgnoredSlot_;
    if (!mapiNamespace)
        return;

    PickedFolder picked;
    if (pickFolder(*mapiNamespace, false, picked, [this](const std::string& text) { show(text); }) != Pick::Chosen)
        return;

    lstSpamFolders_.AddItem(picked.name);
    lstSpamFolders_.setItemData(lstSpamFolders_.NewIndex(), slot);
    ignoredFolderEntryID_.put(slot, picked.entryID);
    markDirty();
}

void FolderLists::btnSpamRemove_Click()
{
    const int selected = lstSpamFolders_.ListIndex();
    if (selected < 0)
        return;
    lstSpamFolders_.RemoveItem(selected);
    markDirty();
}

} // namespace qln::options
