#include "platform/sim/SimOutlookState.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/sim/SimOutlookObjects.h"

namespace platform::sim {

namespace {

// Outlook's identifiers are MAPI entry identifiers printed as hexadecimal: four flag bytes, the
// 16-byte identifier of the store provider or store, then the object's node. Ours keep that shape
// (48 hex digits for folders and items, 84 for stores) but are made from counters, so a scenario
// gets the same identifiers on every run.
constexpr std::string_view kFlags = "00000000";
constexpr std::string_view kStoreProvider = "7E3A91C2D45B4F0E9A6C1B2D3E4F5A6B";
constexpr std::string_view kStoreTag = "51534C4E";  // the first four bytes of every store's uid
constexpr std::uint32_t kFolderNode = 0x02;
constexpr std::uint32_t kMessageNode = 0x04;

// Outlook gives an item that was never received this date ("none").
constexpr CivilTime kNoDate{4501, 1, 1, 0, 0, 0};

constexpr std::string_view kDeletedItems = "Deleted Items";

struct DefaultFolder {
    std::int32_t type;
    std::string_view name;
    std::string_view messageClass;
};

// OlDefaultFolders values and the default store's folders, in the order Outlook creates them.
constexpr std::array kDefaultFolders{
    DefaultFolder{outlook::olFolderInbox, "Inbox", "IPM.Note"},
    DefaultFolder{4, "Outbox", "IPM.Note"},
    DefaultFolder{5, "Sent Items", "IPM.Note"},
    DefaultFolder{3, kDeletedItems, "IPM.Note"},
    DefaultFolder{16, "Drafts", "IPM.Note"},
    DefaultFolder{9, "Calendar", "IPM.Appointment"},
    DefaultFolder{10, "Contacts", "IPM.Contact"},
};

std::string hexDigits(std::uint64_t value, int digits)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value != 0; --i) {
        text[static_cast<std::size_t>(i)] = kHex[value & 0xF];
        value >>= 4;
    }
    return text;
}

// The segments of a folder path; nullopt when a segment is empty ("Inbox//Spam", "", "Inbox/").
std::optional<std::vector<std::string>> pathSegments(std::string_view path)
{
    auto segments = lang::split(path, '/');
    if (std::any_of(segments.begin(), segments.end(), [](const std::string& s) { return s.empty(); }))
        return std::nullopt;
    return segments;
}

Failure failure(std::string_view operation, std::string_view why)
{
    return Failure(std::string(operation) + " failed: " + std::string(why));
}

} // namespace

// --- Folder ------------------------------------------------------------------------------------

std::string SimOutlook::State::Folder::path() const
{
    return parent ? parent->path() + "/" + name : name;
}

bool SimOutlook::State::Folder::within(const Folder& ancestor) const
{
    for (const Folder* f = this; f; f = f->parent) {
        if (f == &ancestor)
            return true;
    }
    return false;
}

// --- State -------------------------------------------------------------------------------------

SimOutlook::State::State(MessageLoop& loop, const Clock& clock) : loop(&loop), clock(&clock)
{
    // The default store exists from the start, so the world can be furnished before Outlook runs.
    Store& store = addStore("Personal Folders");
    for (const auto& folder : kDefaultFolders)
        createFolder(store, nullptr, std::string(folder.name), std::string(folder.messageClass));
}

void SimOutlook::State::enter(std::string_view operation, std::uint64_t objectSession)
{
    faults.check(operation);
    ensureConnected(operation, objectSession);
}

void SimOutlook::State::ensureConnected(std::string_view operation, std::uint64_t objectSession) const
{
    if (!connected(objectSession))
        throw failure(operation, running ? "the object is disconnected" : "Outlook is not running");
}

SimOutlook::State::Store* SimOutlook::State::storeNamed(std::string_view name) const
{
    for (const auto& store : stores) {
        if (lang::equalsNoCase(store->name, name))
            return store.get();
    }
    return nullptr;
}

SimOutlook::State::Store* SimOutlook::State::storeWithID(std::string_view storeID) const
{
    for (const auto& store : stores) {
        if (store->storeID == storeID)
            return store.get();
    }
    return nullptr;
}

SimOutlook::State::Folder* SimOutlook::State::folderIn(const Store& store, std::string_view path) const
{
    const auto segments = pathSegments(path);
    if (!segments)
        return nullptr;
    const std::vector<Folder*>* level = &store.roots;
    Folder* found = nullptr;
    for (const auto& segment : *segments) {
        auto it = std::find_if(level->begin(), level->end(),
                               [&](const Folder* f) { return lang::equalsNoCase(f->name, segment); });
        if (it == level->end())
            return nullptr;
        found = *it;
        level = &found->children;
    }
    return found;
}

SimOutlook::State::Folder* SimOutlook::State::findFolder(std::string_view path) const
{
    if (auto colon = path.find(':'); colon != std::string_view::npos) {
        if (const Store* store = storeNamed(path.substr(0, colon)))
            return folderIn(*store, path.substr(colon + 1));
    }
    // A plain path means the default store's folder; failing that, the first store that has it.
    for (const auto& store : stores) {
        if (Folder* folder = folderIn(*store, path))
            return folder;
    }
    return nullptr;
}

SimOutlook::State::Folder& SimOutlook::State::folderAt(std::string_view path) const
{
    Folder* folder = findFolder(path);
    if (!folder)
        throw std::invalid_argument("no folder \"" + std::string(path) + "\"");
    return *folder;
}

SimOutlook::State::Folder* SimOutlook::State::topFolder(const Store& store, std::string_view name) const
{
    auto it = std::find_if(store.roots.begin(), store.roots.end(),
                           [&](const Folder* f) { return lang::equalsNoCase(f->name, name); });
    return it == store.roots.end() ? nullptr : *it;
}

SimOutlook::State::Folder* SimOutlook::State::defaultFolder(std::int32_t folderType) const
{
    for (const auto& folder : kDefaultFolders) {
        if (folder.type == folderType)
            return topFolder(defaultStore(), folder.name);
    }
    return nullptr;
}

SimOutlook::State::Folder* SimOutlook::State::folderByID(std::string_view entryID, std::string_view storeID) const
{
    // Outlook takes an empty StoreID as "the default store".
    const Store* store = storeID.empty() ? &defaultStore() : storeWithID(storeID);
    if (!store || entryID.empty())
        return nullptr;
    for (const auto& folder : folders) {
        if (!folder->gone && folder->store == store && folder->entryID == entryID)
            return folder.get();
    }
    return nullptr;
}

SimOutlook::State::Item* SimOutlook::State::storedItem(std::string_view entryID, const Store& store) const
{
    auto it = items.find(entryID);
    if (it == items.end())
        return nullptr;
    Item& item = *it->second;
    return !item.gone && item.folder && item.folder->store == &store ? &item : nullptr;
}

SimOutlook::State::Item& SimOutlook::State::liveItem(const std::string& entryID) const
{
    auto it = items.find(entryID);
    if (it == items.end() || it->second->gone)
        throw std::invalid_argument("no item with EntryID " + entryID);
    return *it->second;
}

SimOutlook::State::Store& SimOutlook::State::addStore(const std::string& name)
{
    // A colon would make "Store:Path" ambiguous.
    if (name.empty() || name.find(':') != std::string::npos)
        throw std::invalid_argument("invalid store name \"" + name + "\"");
    if (storeNamed(name))
        throw std::invalid_argument("store \"" + name + "\" exists already");
    auto store = std::make_unique<Store>();
    store->name = name;
    store->uid = std::string(kStoreTag) + hexDigits(nextStore_++, 24);
    store->storeID = std::string(kFlags) + std::string(kStoreProvider) + "0000" + store->uid + "00000000";
    stores.push_back(std::move(store));
    return *stores.back();
}

std::string SimOutlook::State::mintEntryID(const Store& store, std::uint32_t nodeType)
{
    return std::string(kFlags) + store.uid + hexDigits((nextNode_++ << 5) | nodeType, 8);
}

SimOutlook::State::Folder& SimOutlook::State::createFolder(Store& store, Folder* parent, const std::string& name,
                                                           const std::string& messageClass)
{
    auto folder = std::make_unique<Folder>();
    folder->name = name;
    folder->messageClass = messageClass;
    folder->entryID = mintEntryID(store, kFolderNode);
    folder->store = &store;
    folder->parent = parent;
    (parent ? parent->children : store.roots).push_back(folder.get());
    folders.push_back(std::move(folder));
    return *folders.back();
}

void SimOutlook::State::removeFolder(Folder& folder)
{
    auto& siblings = folder.parent ? folder.parent->children : folder.store->roots;
    std::erase(siblings, &folder);
    // Everything below goes with it; the records stay so that late look-ups fail cleanly.
    std::vector<Folder*> pending{&folder};
    while (!pending.empty()) {
        Folder* f = pending.back();
        pending.pop_back();
        f->gone = true;
        for (Item* item : f->items)
            item->gone = true;
        pending.insert(pending.end(), f->children.begin(), f->children.end());
    }
}

SimOutlook::State::Item& SimOutlook::State::deliver(Folder& folder, const MailSpec& mail)
{
    auto record = std::make_unique<Item>();
    record->entryID = mintEntryID(*folder.store, kMessageNode);
    record->mail = mail;
    record->received = mail.received ? *mail.received : clock->now();
    record->folder = &folder;
    Item& item = *record;
    items.emplace(item.entryID, std::move(record));
    folder.items.push_back(&item);

    if (!running)
        return item;
    postItemsEvent(folder, ItemsEvent::Add, &item);
    if (folder.store == &defaultStore() && mail.newMailEvent)
        postNewMail(item);
    if (mail.unread && &folder == defaultFolder(outlook::olFolderInbox) && observers.newMailIcon)
        observers.newMailIcon();
    return item;
}

void SimOutlook::State::moveItem(Item& item, Folder& to)
{
    Folder& from = *item.folder;
    if (&from == &to)
        return;
    std::erase(from.items, &item);
    to.items.push_back(&item);
    item.folder = &to;
    postItemsEvent(from, ItemsEvent::Remove, nullptr);
    postItemsEvent(to, ItemsEvent::Add, &item);
}

void SimOutlook::State::purgeItem(Item& item)
{
    std::erase(item.folder->items, &item);
    item.gone = true;
    postItemsEvent(*item.folder, ItemsEvent::Remove, nullptr);
}

SimOutlook::State::Folder& SimOutlook::State::deletedItemsOf(Store& store)
{
    // Outlook gives every store it opens a Deleted Items folder; ours appears at the first delete.
    if (Folder* folder = topFolder(store, kDeletedItems))
        return *folder;
    return createFolder(store, nullptr, std::string(kDeletedItems), "IPM.Note");
}

void SimOutlook::State::deleteItem(Item& item)
{
    Folder& deleted = deletedItemsOf(*item.folder->store);
    // Deleting what is already in Deleted Items removes it for good, as Outlook does.
    if (item.folder->within(deleted))
        purgeItem(item);
    else
        moveItem(item, deleted);
}

void SimOutlook::State::setUnread(Item& item, bool unread)
{
    // Outlook reports a change only when there is one.
    if (item.mail.unread == unread)
        return;
    item.mail.unread = unread;
    if (item.folder)
        postItemsEvent(*item.folder, ItemsEvent::Change, &item);
}

SimOutlook::State::Item& SimOutlook::State::createDraft(Item& original, DraftKind kind)
{
    auto draft = std::make_unique<Item>();
    draft->mail.itemClass = outlook::olMail;
    draft->mail.subject = (kind == DraftKind::Reply ? "RE: " : "FW: ") + original.mail.subject;
    draft->mail.to = kind == DraftKind::Reply ? original.mail.senderName : std::string();
    draft->mail.body = original.mail.body;
    draft->mail.attachments = kind == DraftKind::Forward ? original.mail.attachments : 0;
    draft->mail.size = original.mail.size;
    draft->mail.unread = false;
    draft->mail.sent = false;
    draft->mail.newMailEvent = false;
    draft->received = DateTime::fromCivil(kNoDate);
    draft->draft = kind;
    draft->origin = &original;
    drafts.push_back(std::move(draft));
    return *drafts.back();
}

void SimOutlook::State::display(Item& item)
{
    if (item.draft != DraftKind::None) {
        // The user now sees the reply or forward: that is what counts as replying or forwarding.
        (item.draft == DraftKind::Reply ? item.origin->replies : item.origin->forwards)++;
        return;
    }
    ++item.displayed;
    notifyItemCall(item, "Display");
    if (observers.displayed)
        observers.displayed(item.entryID, item.mail.subject + " - Message");
}

void SimOutlook::State::notifyItemCall(const Item& item, const std::string& call) const
{
    if (observers.itemCall && !item.entryID.empty())
        observers.itemCall(item.entryID, call);
}

// --- Events ------------------------------------------------------------------------------------

void SimOutlook::State::postItemsEvent(Folder& folder, ItemsEvent event, Item* item)
{
    if (!running || !loop)
        return;
    loop->post([weak = weak_from_this(), folder = &folder, event, item, posted = session] {
        if (auto self = weak.lock())
            self->deliverItemsEvent(*folder, event, item, posted);
    });
}

void SimOutlook::State::deliverItemsEvent(Folder& folder, ItemsEvent event, Item* item, std::uint64_t postedSession)
{
    if (!connected(postedSession) || folder.gone)
        return;
    // Handlers may advise or disconnect (also each other): work on a snapshot and ask each
    // subscription, right before its turn, whether it still listens.
    const auto subscriptions = folder.subscriptions;
    std::shared_ptr<outlook::Item> object;
    if (item)
        object = makeItemObject(shared_from_this(), *item);
    for (const auto& subscription : subscriptions) {
        if (!subscription->alive || subscription->session != postedSession || !connected(postedSession))
            continue;
        const auto& handlers = subscription->handlers;
        switch (event) {
        case ItemsEvent::Add:
            if (handlers.ItemAdd)
                handlers.ItemAdd(object);
            break;
        case ItemsEvent::Change:
            if (handlers.ItemChange)
                handlers.ItemChange(object);
            break;
        case ItemsEvent::Remove:
            if (handlers.ItemRemove)
                handlers.ItemRemove();
            break;
        }
    }
    std::erase_if(folder.subscriptions, [](const auto& s) { return !s->alive; });
}

void SimOutlook::State::postNewMail(Item& item)
{
    if (!running || !loop)
        return;
    loop->post([weak = weak_from_this(), item = &item, posted = session] {
        if (auto self = weak.lock())
            self->deliverNewMail(*item, posted);
    });
}

void SimOutlook::State::deliverNewMail(Item& item, std::uint64_t postedSession)
{
    if (!connected(postedSession))
        return;
    const auto subscriptions = newMailSubscriptions;
    auto object = makeItemObject(shared_from_this(), item);
    for (const auto& subscription : subscriptions) {
        if (subscription->alive && connected(postedSession) && subscription->handler)
            subscription->handler(object);
    }
    std::erase_if(newMailSubscriptions, [](const auto& s) { return !s->alive; });
}

} // namespace platform::sim
