#pragma once
// The simulated Outlook's mail store, shared by SimOutlook (the world's side) and the object-model
// proxies (the system's side). Private to platform/sim.
//
// Records are owned here and never freed while the state lives, so proxies, posted events and
// items of deleted folders can point at them safely; "gone" is a flag, not a destruction. Proxies
// hold the state by shared_ptr and remember the Outlook session they were made in: once Outlook
// quits (or restarts) they are disconnected for good, as COM proxies of a dead server are.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/sim/Faults.h"
#include "platform/sim/SimOutlook.h"

namespace platform::sim {

struct SimOutlook::State : std::enable_shared_from_this<SimOutlook::State> {
    struct Folder;

    struct Store {
        std::string name;
        std::string storeID;
        std::string uid;             // 32 hex digits, part of every EntryID minted in the store
        std::vector<Folder*> roots;  // top-level folders, in creation order
    };

    // One live advise() on a folder's Items.
    struct Subscription {
        outlook::ItemsEvents handlers;
        std::uint64_t session = 0;
        bool alive = true;
    };

    struct NewMailSubscription {
        std::function<void(std::shared_ptr<outlook::Item>)> handler;
        bool alive = true;
    };

    struct Item;

    struct Folder {
        std::string name;
        std::string messageClass;
        std::string entryID;
        Store* store = nullptr;
        Folder* parent = nullptr;
        std::vector<Folder*> children;
        std::vector<Item*> items;  // arrival order
        std::vector<std::shared_ptr<Subscription>> subscriptions;
        bool gone = false;

        std::string path() const;  // within its store, "Inbox/Spam"
        bool within(const Folder& ancestor) const;
    };

    enum class DraftKind { None, Reply, Forward };

    struct Item {
        std::string entryID;       // empty for an unsent reply or forward
        MailSpec mail;
        DateTime received;
        Folder* folder = nullptr;  // nullptr: an unsent reply or forward, outside any folder
        Folder* lastFolder = nullptr;
        bool gone = false;
        int displayed = 0;
        int replies = 0;
        int forwards = 0;
        DraftKind draft = DraftKind::None;
        Item* origin = nullptr;    // the item a reply or forward was made from
    };

    enum class ItemsEvent { Add, Change, Remove };

    State(MessageLoop& loop, const Clock& clock);

    // --- Guards of the object model ---------------------------------------------------------
    // An object made in `session` may be used: Outlook runs and has not restarted since.
    bool connected(std::uint64_t objectSession) const { return running && objectSession == session; }
    // Fault check, then connection check: the start of every object-model operation.
    void enter(std::string_view operation, std::uint64_t objectSession);
    void ensureConnected(std::string_view operation, std::uint64_t objectSession) const;

    // --- Look-ups ---------------------------------------------------------------------------
    Store& defaultStore() const { return *stores.front(); }
    Store* storeNamed(std::string_view name) const;
    Store* storeWithID(std::string_view storeID) const;
    // A world path ("Inbox/Spam", "Archive:Inbox"); nullptr when there is no such folder.
    Folder* findFolder(std::string_view path) const;
    Folder& folderAt(std::string_view path) const;  // throws std::invalid_argument
    Folder* folderIn(const Store& store, std::string_view path) const;
    Folder* topFolder(const Store& store, std::string_view name) const;
    Folder* defaultFolder(std::int32_t folderType) const;
    Folder* folderByID(std::string_view entryID, std::string_view storeID) const;
    Item* storedItem(std::string_view entryID, const Store& store) const;
    Item& liveItem(const std::string& entryID) const;  // throws std::invalid_argument

    // --- Changes (shared by the world's actions and the system's calls) ----------------------
    Store& addStore(const std::string& name);
    Folder& createFolder(Store& store, Folder* parent, const std::string& name, const std::string& messageClass);
    void removeFolder(Folder& folder);
    Item& deliver(Folder& folder, const MailSpec& mail);
    void moveItem(Item& item, Folder& to);
    void purgeItem(Item& item);
    void deleteItem(Item& item);  // into the store's Deleted Items; from there, for good
    void setUnread(Item& item, bool unread);
    Item& createDraft(Item& original, DraftKind kind);
    void display(Item& item);

    // --- Events -----------------------------------------------------------------------------
    void postItemsEvent(Folder& folder, ItemsEvent event, Item* item);
    void postNewMail(Item& item);

    // --- Notifications to the world's observers ----------------------------------------------
    void notifyItemCall(const Item& item, const std::string& call) const;

    MessageLoop* loop;      // nullptr once the SimOutlook is gone
    const Clock* clock;
    Faults faults;
    SimOutlook::Observers observers;
    bool running = false;
    std::uint64_t session = 0;  // counts starts; objects of an earlier session stay disconnected
    bool mapiLibraryPresent = true;
    int cleanupCount = 0;
    Folder* pickFolderAnswer = nullptr;  // nullptr: the user cancels

    std::vector<std::unique_ptr<Store>> stores;  // the default store first
    std::vector<std::unique_ptr<Folder>> folders;
    std::map<std::string, std::unique_ptr<Item>, std::less<>> items;  // stored items by EntryID
    std::vector<std::unique_ptr<Item>> drafts;
    std::vector<std::shared_ptr<NewMailSubscription>> newMailSubscriptions;

private:
    void deliverItemsEvent(Folder& folder, ItemsEvent event, Item* item, std::uint64_t postedSession);
    void deliverNewMail(Item& item, std::uint64_t postedSession);
    std::string mintEntryID(const Store& store, std::uint32_t nodeType);
    Folder& deletedItemsOf(Store& store);

    std::uint64_t nextStore_ = 1;
    std::uint64_t nextNode_ = 1;
};

} // namespace platform::sim
