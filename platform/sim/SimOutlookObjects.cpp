#include "platform/sim/SimOutlookObjects.h"

#include <algorithm>
#include <utility>

#include "platform/Failure.h"

namespace platform::sim {

namespace {

using State = SimOutlook::State;

Failure failure(std::string_view operation, std::string_view why)
{
    return Failure(std::string(operation) + " failed: " + std::string(why));
}

// Destroying the connection ends the subscription at once: events already posted but not yet
// delivered find it dead and skip it. The state drops dead subscriptions lazily.
template <class Subscription>
class SubscriptionConnection final : public Connection {
public:
    explicit SubscriptionConnection(std::shared_ptr<Subscription> subscription)
        : subscription_(std::move(subscription))
    {
    }
    ~SubscriptionConnection() override { subscription_->alive = false; }

private:
    std::shared_ptr<Subscription> subscription_;
};

// What every object-model proxy shares: the store, and the Outlook session it was made in.
class Proxy {
protected:
    explicit Proxy(std::shared_ptr<State> state) : state_(std::move(state)), session_(state_->session) {}

    void enter(std::string_view operation) const { state_->enter(operation, session_); }

    std::shared_ptr<State> state_;
    std::uint64_t session_;
};

class ItemObject final : public outlook::Item, private Proxy {
public:
    ItemObject(std::shared_ptr<State> state, State::Item& item) : Proxy(std::move(state)), item_(&item) {}

    std::int32_t Class() override { return live("Class").mail.itemClass; }
    std::string EntryID() override { return live("EntryID").entryID; }

    std::shared_ptr<outlook::MAPIFolder> Parent() override
    {
        State::Item& item = live("Parent");
        if (!item.folder)
            throw failure("Parent", "the item is not saved in a folder");
        return makeFolderObject(state_, *item.folder);
    }

    std::shared_ptr<outlook::Item> asMailItem() override
    {
        State::Item& item = live("asMailItem");
        if (item.mail.itemClass != outlook::olMail)
            throw failure("asMailItem", "type mismatch");
        return makeItemObject(state_, item);
    }

    bool UnRead() override { return live("UnRead").mail.unread; }

    void setUnRead(bool unread) override
    {
        State::Item& item = live("UnRead");
        state_->notifyItemCall(item, unread ? "UnRead=true" : "UnRead=false");
        state_->setUnread(item, unread);
    }

    bool Sent() override { return live("Sent").mail.sent; }
    std::int32_t Size() override { return live("Size").mail.size; }
    DateTime ReceivedTime() override { return live("ReceivedTime").received; }
    std::string Subject() override { return live("Subject").mail.subject; }

    void Display() override { state_->display(live("Display")); }

    void Delete() override
    {
        State::Item& item = live("Delete");
        state_->notifyItemCall(item, "Delete");
        if (item.folder)
            state_->deleteItem(item);
        else
            item.gone = true;  // an unsent reply or forward is simply discarded
    }

    std::shared_ptr<outlook::Item> Reply() override { return draft("Reply", State::DraftKind::Reply); }
    std::shared_ptr<outlook::Item> Forward() override { return draft("Forward", State::DraftKind::Forward); }

    // The record behind the proxy, for the safe wrapper's reads: fails like any call on the item
    // once Outlook has quit or the item is gone, but leaves the fault to the wrapper's operation.
    State::Item& record(std::string_view operation) const
    {
        state_->ensureConnected(operation, session_);
        if (item_->gone)
            throw failure(operation, "the item no longer exists");
        return *item_;
    }

private:
    State::Item& live(std::string_view operation) const
    {
        enter(operation);
        return record(operation);
    }

    std::shared_ptr<outlook::Item> draft(std::string_view operation, State::DraftKind kind)
    {
        State::Item& item = live(operation);
        state_->notifyItemCall(item, std::string(operation));
        return makeItemObject(state_, state_->createDraft(item, kind));
    }

    State::Item* item_;
};

class ItemsObject final : public outlook::Items, private Proxy {
public:
    ItemsObject(std::shared_ptr<State> state, State::Folder& folder) : Proxy(std::move(state)), folder_(&folder) {}

    std::int32_t Count() override
    {
        enter("Count");
        ensureFolder("Count");
        return static_cast<std::int32_t>(folder_->items.size());
    }

    std::unique_ptr<Connection> advise(outlook::ItemsEvents handlers) override
    {
        state_->ensureConnected("advise", session_);
        ensureFolder("advise");
        auto subscription = std::make_shared<State::Subscription>();
        subscription->handlers = std::move(handlers);
        subscription->session = session_;
        std::erase_if(folder_->subscriptions, [](const auto& s) { return !s->alive; });
        folder_->subscriptions.push_back(subscription);
        return std::make_unique<SubscriptionConnection<State::Subscription>>(std::move(subscription));
    }

private:
    void ensureFolder(std::string_view operation) const
    {
        if (folder_->gone)
            throw failure(operation, "the folder no longer exists");
    }

    State::Folder* folder_;
};

class FolderObject final : public outlook::MAPIFolder, private Proxy {
public:
    FolderObject(std::shared_ptr<State> state, State::Folder& folder) : Proxy(std::move(state)), folder_(&folder) {}

    std::shared_ptr<outlook::Items> Items() override
    {
        return std::make_shared<ItemsObject>(state_, live("Items"));
    }

    std::string EntryID() override { return live("EntryID").entryID; }
    std::string StoreID() override { return live("StoreID").store->storeID; }
    std::string Name() override { return live("Name").name; }
    std::string DefaultMessageClass() override { return live("DefaultMessageClass").messageClass; }

    std::int32_t UnReadItemCount() override
    {
        const auto& items = live("UnReadItemCount").items;
        return static_cast<std::int32_t>(
            std::count_if(items.begin(), items.end(), [](const State::Item* item) { return item->mail.unread; }));
    }

private:
    State::Folder& live(std::string_view operation) const
    {
        enter(operation);
        if (folder_->gone)
            throw failure(operation, "the folder no longer exists");
        return *folder_;
    }

    State::Folder* folder_;
};

class NameSpaceObject final : public outlook::NameSpace, private Proxy {
public:
    explicit NameSpaceObject(std::shared_ptr<State> state) : Proxy(std::move(state)) {}

    std::shared_ptr<outlook::MAPIFolder> GetDefaultFolder(std::int32_t folderType) override
    {
        enter("GetDefaultFolder");
        State::Folder* folder = state_->defaultFolder(folderType);
        if (!folder)
            throw failure("GetDefaultFolder", "no such default folder");
        return makeFolderObject(state_, *folder);
    }

    std::shared_ptr<outlook::MAPIFolder> GetFolderFromID(const std::string& entryID,
                                                         const std::string& storeID) override
    {
        enter("GetFolderFromID");
        State::Folder* folder = state_->folderByID(entryID, storeID);
        if (!folder)
            throw failure("GetFolderFromID", "the folder cannot be found");
        return makeFolderObject(state_, *folder);
    }

    std::shared_ptr<outlook::Item> GetItemFromID(const std::string& entryID,
                                                 const std::optional<std::string>& storeID) override
    {
        enter("GetItemFromID");
        // Without a StoreID (or with an empty one) Outlook searches the default store only.
        const State::Store* store =
            !storeID || storeID->empty() ? &state_->defaultStore() : state_->storeWithID(*storeID);
        State::Item* item = store ? state_->storedItem(entryID, *store) : nullptr;
        if (!item)
            throw failure("GetItemFromID", "the item cannot be found");
        return makeItemObject(state_, *item);
    }

    std::shared_ptr<outlook::MAPIFolder> PickFolder() override
    {
        enter("PickFolder");
        // The prepared answer serves one dialog only.
        State::Folder* answer = std::exchange(state_->pickFolderAnswer, nullptr);
        if (!answer || answer->gone)
            return nullptr;
        return makeFolderObject(state_, *answer);
    }
};

class ApplicationObject final : public outlook::Application, private Proxy {
public:
    explicit ApplicationObject(std::shared_ptr<State> state) : Proxy(std::move(state)) {}

    std::shared_ptr<outlook::NameSpace> GetNamespace(const std::string& type) override
    {
        enter("GetNamespace");
        if (type != "MAPI")
            throw failure("GetNamespace", "unknown name space type \"" + type + "\"");
        return std::make_shared<NameSpaceObject>(state_);
    }
};

// The library's objects are not Outlook's: they live on when Outlook quits, but whatever they read
// goes through the wrapped Outlook item and fails with it.
class SafeMailItemObject final : public mapi::SafeMailItem {
public:
    explicit SafeMailItemObject(std::shared_ptr<State> state) : state_(std::move(state)) {}

    void setItem(std::shared_ptr<outlook::Item> item) override
    {
        state_->faults.check("setItem");
        auto object = std::dynamic_pointer_cast<ItemObject>(item);
        if (!object)
            throw failure("setItem", "not an Outlook item");
        object->record("setItem");
        item_ = std::move(object);
    }

    std::shared_ptr<outlook::Item> item() override
    {
        state_->faults.check("item");
        wrapped("item");
        return item_;
    }

    std::string SenderName() override
    {
        state_->faults.check("SenderName");
        return wrapped("SenderName").mail.senderName;
    }

    std::string Body() override
    {
        state_->faults.check("Body");
        return wrapped("Body").mail.body;
    }

    std::int32_t AttachmentsCount() override
    {
        state_->faults.check("AttachmentsCount");
        return wrapped("AttachmentsCount").mail.attachments;
    }

    std::string Fields(std::uint32_t tag) override
    {
        state_->faults.check("Fields");
        const MailSpec& mail = wrapped("Fields").mail;
        switch (tag) {
        case mapi::PR_SENDER_EMAIL_ADDRESS:
            return mail.senderEmail;
        case mapi::PR_SENDER_NAME:
            return mail.prSenderName.value_or(mail.senderName);
        case mapi::PR_DISPLAY_TO:
            return mail.to;
        case mapi::PR_SUBJECT:
            return mail.prSubject.value_or(mail.subject);
        case mapi::PR_BODY:
            return mail.prBody.value_or(mail.body);
        default:
            return {};
        }
    }

private:
    const State::Item& wrapped(std::string_view operation) const
    {
        if (!item_)
            throw failure(operation, "no item was handed to the wrapper");
        return item_->record(operation);
    }

    std::shared_ptr<State> state_;
    std::shared_ptr<ItemObject> item_;
};

class MAPIUtilsObject final : public mapi::MAPIUtils {
public:
    explicit MAPIUtilsObject(std::shared_ptr<State> state) : state_(std::move(state)) {}

    std::unique_ptr<Connection> adviseNewMail(std::function<void(std::shared_ptr<outlook::Item>)> handler) override
    {
        auto subscription = std::make_shared<State::NewMailSubscription>();
        subscription->handler = std::move(handler);
        auto& subscriptions = state_->newMailSubscriptions;
        std::erase_if(subscriptions, [](const auto& s) { return !s->alive; });
        subscriptions.push_back(subscription);
        return std::make_unique<SubscriptionConnection<State::NewMailSubscription>>(std::move(subscription));
    }

    void Cleanup() override
    {
        state_->faults.check("Cleanup");
        ++state_->cleanupCount;
    }

private:
    std::shared_ptr<State> state_;
};

} // namespace

std::shared_ptr<outlook::Application> makeApplicationObject(std::shared_ptr<SimOutlook::State> state)
{
    return std::make_shared<ApplicationObject>(std::move(state));
}

std::shared_ptr<outlook::MAPIFolder> makeFolderObject(std::shared_ptr<SimOutlook::State> state,
                                                      SimOutlook::State::Folder& folder)
{
    return std::make_shared<FolderObject>(std::move(state), folder);
}

std::shared_ptr<outlook::Item> makeItemObject(std::shared_ptr<SimOutlook::State> state, SimOutlook::State::Item& item)
{
    return std::make_shared<ItemObject>(std::move(state), item);
}

std::shared_ptr<mapi::SafeMailItem> makeSafeMailItemObject(std::shared_ptr<SimOutlook::State> state)
{
    return std::make_shared<SafeMailItemObject>(std::move(state));
}

std::shared_ptr<mapi::MAPIUtils> makeMAPIUtilsObject(std::shared_ptr<SimOutlook::State> state)
{
    return std::make_shared<MAPIUtilsObject>(std::move(state));
}

} // namespace platform::sim
