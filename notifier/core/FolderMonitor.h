#pragma once
// The notifier's connection to Outlook and the sinks that tell it of new items: the default
// Inbox's items, up to 100 additional folders (AddInbox1, AddInbox2, ...) and the MAPI helper's
// NewMail. Item-added events go to screening; item-changed and item-removed events go to the
// handling of a shown item that was read or removed elsewhere.
//
// It also owns the Outlook objects the other routines use: the MAPI name space (look-ups by
// identifiers), the default Inbox and the utilities object (the clean-up after every wrapper use).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "notifier/core/NotifierServices.h"
#include "platform/Desktop.h"
#include "platform/Outlook.h"

namespace qln {

class FolderMonitor {
public:
    // The slots of AdditionalFolderSinks: 0 to 100, of which 1 to 100 are used.
    static constexpr int kSinkSlots = 101;

    struct Handlers {
        // ScreenNewItem: an item arrived in a monitored folder.
        std::function<void(std::shared_ptr<platform::outlook::Item>)> screen;
        // The shown item may have been read (false) or removed (true) elsewhere.
        std::function<void(bool removal)> shownItemReadOrRemoved;
    };

    FolderMonitor(NotifierServices& services, Handlers handlers);
    ~FolderMonitor();
    FolderMonitor(const FolderMonitor&) = delete;
    FolderMonitor& operator=(const FolderMonitor&) = delete;

    // Start-up: create the Outlook application and the utilities object (its NewMail now
    // arrives), get the MAPI name space and the default Inbox, subscribe to its items and record
    // its EntryID. Each step that fails is skipped.
    void Connect();
    // Start-up: for n = 1, 2, ... read AddInbox n until "EOF" and subscribe to that folder's
    // items in sink slot n. The first failure ends the attaching silently.
    void AttachAdditionalFolders();
    // Shutdown, in this order: the Inbox's items and folder, every additional sink, the name
    // space and the application, then the utilities clean-up and release. Failures are ignored.
    void Disconnect();

    // --- For the other routines ---------------------------------------------------------------
    // NameSpace.GetItemFromID; throws platform::Failure when there is no name space or no item.
    std::shared_ptr<platform::outlook::Item> GetItemFromID(const std::string& entryID, const std::string& storeID);
    // A new safe wrapper (created anew for every use); throws when the library is missing.
    std::shared_ptr<platform::mapi::SafeMailItem> createSafeMailItem();
    // The utilities clean-up after a wrapper use; nothing when there is no utilities object.
    void cleanup();

    const std::string& InboxEntryID() const { return InboxEntryID_; }
    std::shared_ptr<platform::outlook::NameSpace> nameSpace() const { return nameSpace_; }
    std::shared_ptr<platform::outlook::MAPIFolder> inbox() const { return inbox_; }
    // The window that was in front when the last item arrived.
    platform::WindowHandle previousForeground() const { return previousForeground_; }
    // How many additional folders are being watched.
    int attachedFolderCount() const;

    // --- Event handlers ---------------------------------------------------------------------
    void objInboxItems_ItemAdd(std::shared_ptr<platform::outlook::Item> item);
    void objInboxItems_ItemChange(std::shared_ptr<platform::outlook::Item> item);
    void objInboxItems_ItemRemove();
    void AddInboxItems_ItemAdd(std::shared_ptr<platform::outlook::Item> item);
    void AddInboxItems_ItemChange(std::shared_ptr<platform::outlook::Item> item);
    void AddInboxItems_ItemRemove();
    void SafeMapiUtils_NewMail(std::shared_ptr<platform::outlook::Item> item);

private:
    // One additional folder's sink: forwards its folder's item events to the AddInboxItems_ handlers.
    class clsAddInbox;

    void recordForeground();

    NotifierServices& services_;
    Handlers handlers_;

    std::shared_ptr<platform::outlook::Application> application_;
    std::shared_ptr<platform::mapi::MAPIUtils> SafeMapiUtils_;
    std::unique_ptr<platform::Connection> newMailSink_;
    std::shared_ptr<platform::outlook::NameSpace> nameSpace_;
    std::shared_ptr<platform::outlook::MAPIFolder> inbox_;
    std::unique_ptr<platform::Connection> objInboxItems_;
    std::string InboxEntryID_;
    std::array<std::unique_ptr<clsAddInbox>, kSinkSlots> AdditionalFolderSinks_;
    platform::WindowHandle previousForeground_ = platform::NoWindow;
};

} // namespace qln
