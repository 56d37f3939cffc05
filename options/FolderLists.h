#pragma once
// The options page's two folder lists on its Advanced tab: the additional folders the notifier
// watches besides the Inbox (`lstAddInbox`, values AddInbox1, AddInbox2, ...) and the folders whose
// items are ignored (`lstSpamFolders`, AutodismissFolders). Each list row's ItemData is a slot
// number; the slot's identifiers sit in the tables beside it. Slots are handed out in increasing
// order and never reused while the page lives.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "options/PageMessages.h"
#include "platform/Outlook.h"
#include "platform/forms/ListBox.h"
#include "shared/Settings.h"

namespace qln {
// The options page names Outlook's object model by its short name.
namespace outlook = platform::outlook;
} // namespace qln

namespace qln::options {

class FolderLists {
public:
    static constexpr int kSlots = 101;  // slots 0 to 100

    FolderLists(forms::ListBox& lstAddInbox, forms::ListBox& lstSpamFolders, PageMessage message,
                std::function<void()> setDirty);

    // Part of the page's loading: both lists from the store.
    void load(const settings::Settings& settings);
    // Part of Apply: AutodismissFolders, then AddInbox1 ... and the closing "EOF".
    void save(const settings::Settings& settings) const;

    // The four buttons. The namespace is the page's (it may be missing when Outlook could not
    // be reached at creation; then a Browse press uses up its slot and ends as a cancel would). A
    // failure of Outlook's picker or of a folder's properties ends the action without adding
    // anything.
    void btnBrowseAddInbox_Click(outlook::NameSpace* mapiNamespace);
    void btnRemoveAddInbox_Click();
    void btnAddSpamFolder_Click(outlook::NameSpace* mapiNamespace);
    void btnSpamRemove_Click();

    std::int16_t NextAddInboxSlot() const { return nextAddInboxSlot_; }
    std::int16_t NextIgnoredSlot() const { return nextIgnoredSlot_; }
    bool AddNoticeShown() const { return addNoticeShown_; }
    bool RemoveNoticeShown() const { return removeNoticeShown_; }

private:
    forms::ListBox& lstAddInbox_;
    forms::ListBox& lstSpamFolders_;
    PageMessage message_;
    std::function<void()> setDirty_;
    // Identifiers by slot: the table proper for slots 0 to 100, and beside it those of rows that
    // loading numbered past 100, so that Apply writes them back unchanged.
    struct SlotTable {
        std::array<std::string, kSlots> inTable;
        std::map<std::int32_t, std::string> beyond;
        void put(std::int32_t slot, std::string id);
        std::string at(std::int32_t slot) const;  // empty text for a slot never filled
    };

    void show(const std::string& text) const;
    void markDirty() const;

    SlotTable addInboxEntryID_;
    SlotTable addInboxStoreID_;
    SlotTable ignoredFolderEntryID_;
    std::int16_t nextAddInboxSlot_ = 0;
    std::int16_t nextIgnoredSlot_ = 0;
    bool addNoticeShown_ = false;
    bool removeNoticeShown_ = false;
};

} // namespace qln::options
