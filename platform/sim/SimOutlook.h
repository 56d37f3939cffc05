#pragma once
// The simulated Outlook: a small, real mail store with Outlook's object model on top, plus the
// maker's MAPI helper library. Deterministic; events are posted to the simulated message loop.
//
// The world (tests, the scenario runner) drives it through this class: start and quit Outlook,
// open stores, create and delete folders, deliver, move, read, delete and purge items, and make
// any object-model operation fail. The system sees it only through the seam (platform/Outlook.h),
// via createOutlookApplication(), createSafeMailItem() and createMAPIUtils().
//
// Folder paths: "Inbox/Spam" names a folder within the default store; "Archive:Inbox" one within
// the store named Archive. Where stores share a path, a plain path means the default store's.
//
// Identifiers: StoreIDs, folder EntryIDs and item EntryIDs are upper-case hexadecimal text made
// from counters, so the same scenario always gives the same identifiers. An item keeps its EntryID
// when it moves (also into "Deleted Items"); a purged item and the items of a deleted folder are
// gone: every look-up by their identifiers fails, and so does every call on their objects.
//
// Events, each posted to the loop as a task and delivered to every live connection then:
//   deliver  -> ItemAdd on the folder's Items; for the default store also NewMail (unless the
//               item says not to), after ItemAdd
//   move     -> ItemRemove on the old folder's Items, then ItemAdd on the new one's
//   setRead  -> ItemChange on the folder's Items (also when the system sets UnRead itself), only
//               when the read state actually changes
//   deleteItem (elsewhere) and Item::Delete -> a move into "Deleted Items"; for an item already
//               there, a purge (Outlook deletes it for good)
//   purge    -> ItemRemove
//
// Fault operations: see operationNames(). Once Outlook has quit, every call of every object fails.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/sim/Faults.h"

namespace platform::sim {

// Everything an arriving item can carry.
struct MailSpec {
    std::int32_t itemClass = outlook::olMail;        // 43 mail, 46 report, ...
    std::string senderEmail;                         // PR_SENDER_EMAIL_ADDRESS
    std::string senderName;                          // the wrapper's SenderName
    std::optional<std::string> prSenderName;         // PR_SENDER_NAME; defaults to senderName
    std::string to;                                  // PR_DISPLAY_TO
    std::string subject;                             // Subject
    std::optional<std::string> prSubject;            // PR_SUBJECT; defaults to subject
    std::string body;                                // the wrapper's Body
    std::optional<std::string> prBody;               // PR_BODY; defaults to body
    std::int32_t size = 1024;                        // Size, bytes
    std::optional<DateTime> received;                // ReceivedTime; defaults to the clock's now
    std::int32_t attachments = 0;
    bool unread = true;
    bool sent = true;
    bool newMailEvent = true;                        // the MAPI helper reports it (default store)
};

// What the world can observe of an item.
struct ItemState {
    std::string entryID;
    std::string storeName;
    std::string folderPath;       // current folder, e.g. "Deleted Items"
    std::string folderEntryID;    // that folder's EntryID (compare with folderEntryID(path))
    bool gone = false;            // purged, or its folder deleted
    bool unread = true;
    bool sent = true;
    int displayed = 0;            // Display calls on the item itself
    int replies = 0;              // replies created from it and displayed
    int forwards = 0;             // forwards created from it and displayed
    std::int32_t itemClass = outlook::olMail;
    std::string subject;
};

class SimOutlook final : public ObjectFactory {
public:
    SimOutlook(MessageLoop& loop, const Clock& clock);
    ~SimOutlook() override;
    SimOutlook(const SimOutlook&) = delete;
    SimOutlook& operator=(const SimOutlook&) = delete;

    // --- Outlook's process -----------------------------------------------------------------
    // Outlook runs: the default store "Personal Folders" with Inbox, Outbox, Sent Items,
    // Deleted Items, Drafts (IPM.Note), Calendar (IPM.Appointment) and Contacts (IPM.Contact).
    // Starting again after a quit keeps the store's content; objects of the earlier run stay dead.
    // The default store exists from construction, so the world can be furnished before start().
    void start();
    // Outlook's objects fail from now on (existing objects too) and events stop.
    void quit();
    bool running() const;

    // --- The maker's MAPI helper library ----------------------------------------------------
    void setMapiLibraryPresent(bool present);   // absent: its objects cannot be created
    bool mapiLibraryPresent() const;
    int cleanupCount() const;                   // MAPIUtils::Cleanup calls so far

    // --- Stores and folders (the world's own actions; no faults) ----------------------------
    void addStore(const std::string& name);     // starts without folders
    // Creates the folder (and missing parents with the same class). Throws std::invalid_argument
    // for a store that does not exist or a folder that exists already.
    void addFolder(const std::string& path, const std::string& messageClass = "IPM.Note",
                   const std::optional<std::string>& store = std::nullopt);
    void deleteFolder(const std::string& path);  // its items and subfolders are gone
    bool folderExists(const std::string& path) const;
    std::string folderEntryID(const std::string& path) const;  // throws std::invalid_argument if unknown
    std::string folderStoreID(const std::string& path) const;
    std::string defaultStoreName() const;

    // --- Items (the world's own actions; no faults) -----------------------------------------
    // A new item arrives in the folder; returns its EntryID. Throws std::invalid_argument for an
    // unknown folder.
    std::string deliver(const std::string& folderPath, const MailSpec& mail);
    void move(const std::string& entryID, const std::string& folderPath);
    void setUnread(const std::string& entryID, bool unread);
    void deleteItem(const std::string& entryID);   // moves it to "Deleted Items"
    void purge(const std::string& entryID);
    std::optional<ItemState> item(const std::string& entryID) const;  // nullopt: never existed

    // --- Dialog answers ---------------------------------------------------------------------
    // What the next PickFolder returns: a folder path, or nullopt for cancel (the default).
    void setPickFolderAnswer(std::optional<std::string> folderPath);

    // --- Faults -----------------------------------------------------------------------------
    Faults& faults();
    // Every operation name that fault injection knows, sorted.
    static std::span<const std::string_view> operationNames();

    // --- Observers (the desktop and the transcript hook in here) -----------------------------
    struct Observers {
        // An item window opened by Display: its title is "<subject> - Message".
        std::function<void(const std::string& entryID, const std::string& windowTitle)> displayed;
        // A call made by the system on an item: "Display", "Delete", "Reply", "Forward",
        // "UnRead=false", "UnRead=true".
        std::function<void(const std::string& entryID, const std::string& call)> itemCall;
        // A new unread item in the default store's Inbox: Outlook shows its new-mail tray icon.
        std::function<void()> newMailIcon;
    };
    Observers& observers();

    // --- ObjectFactory (the system's way in) ------------------------------------------------
    std::shared_ptr<outlook::Application> createOutlookApplication() override;  // fails unless running
    std::shared_ptr<mapi::SafeMailItem> createSafeMailItem() override;          // fails when absent
    std::shared_ptr<mapi::MAPIUtils> createMAPIUtils() override;                // fails when absent

    struct State;  // the store's content, shared with the object-model proxies

private:
    std::shared_ptr<State> state_;
};

} // namespace platform::sim
