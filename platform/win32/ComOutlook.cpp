#include "platform/win32/ComOutlook.h"

#include <cmath>
#include <utility>

#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/EventSink.h"

namespace platform::win32 {

namespace {

using com::ComPtr;
using com::Dispatch;
using com::DispIdCache;
using com::Variant;

// {00063077-0000-0000-C000-000000000046}: Outlook's ItemsEvents source dispinterface.
constexpr IID IID_ItemsEvents = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID DISPID_ItemAdd = 0xF001;
constexpr DISPID DISPID_ItemChange = 0xF002;
constexpr DISPID DISPID_ItemRemove = 0xF003;

// VB's "Type mismatch", what a typed assignment of the wrong kind of item raises.
constexpr std::int32_t vbTypeMismatch = 13;

// What every object of one Outlook attaches shares: the loop for events, and one id cache per
// interface.
struct Session {
    explicit Session(MessageLoop& loop) : loop(loop) {}
    MessageLoop& loop;
    // Once a call finds Outlook gone, every later call fails at once.
    std::shared_ptr<com::ServerLink> link = std::make_shared<com::ServerLink>();
    std::shared_ptr<DispIdCache> application = std::make_shared<DispIdCache>();
    std::shared_ptr<DispIdCache> nameSpace = std::make_shared<DispIdCache>();
    std::shared_ptr<DispIdCache> folder = std::make_shared<DispIdCache>();
    std::shared_ptr<DispIdCache> items = std::make_shared<DispIdCache>();
    // Items arrive untyped (events, GetItemFromID: mail, reports, meeting requests...); the
    // members they share have the same ids in every item interface of Outlook. Mail items, once
    // known as such, have their own cache.
    std::shared_ptr<DispIdCache> anyItem = std::make_shared<DispIdCache>();
    std::shared_ptr<DispIdCache> mailItem = std::make_shared<DispIdCache>();
};

// The object a member returned, which must be there.
ComPtr<IDispatch> requiredObject(const Variant& value, const std::string& member)
{
    ComPtr<IDispatch> object = value.toDispatch();
    if (!object)
        throw Failure(member + " failed: Outlook returned no object.", static_cast<std::int32_t>(E_POINTER));
    return object;
}

std::shared_ptr<outlook::Item> makeItem(const std::shared_ptr<Session>& session, ComPtr<IDispatch> object, bool mail);
std::shared_ptr<outlook::MAPIFolder> makeFolder(const std::shared_ptr<Session>& session, ComPtr<IDispatch> object);

class ComItem final : public outlook::Item {
public:
    ComItem(std::shared_ptr<Session> session, ComPtr<IDispatch> object, bool mail)
        : session_(std::move(session)), object_(std::move(object), mail ? session_->mailItem : session_->anyItem, session_->link)
    {
    }

    std::int32_t Class() override { return object_.get("Class").toLong(); }
    std::string EntryID() override { return object_.get("EntryID").toString(); }

    std::shared_ptr<outlook::MAPIFolder> Parent() override
    {
        return makeFolder(session_, requiredObject(object_.get("Parent"), "Parent"));
    }

    std::shared_ptr<outlook::Item> asMailItem() override
    {
        if (Class() != outlook::olMail)
            throw Failure("asMailItem failed: Type mismatch.", vbTypeMismatch);
        return makeItem(session_, object_.object(), true);
    }

    bool UnRead() override { return object_.get("UnRead").toBool(); }
    void setUnRead(bool unread) override { object_.put("UnRead", Variant(unread)); }
    bool Sent() override { return object_.get("Sent").toBool(); }
    std::int32_t Size() override { return object_.get("Size").toLong(); }
    DateTime ReceivedTime() override { return fromOleDate(object_.get("ReceivedTime").toDate()); }
    std::string Subject() override { return object_.get("Subject").toString(); }

    void Display() override { object_.call("Display"); }
    void Delete() override { object_.call("Delete"); }
    std::shared_ptr<outlook::Item> Reply() override { return draft("Reply"); }
    std::shared_ptr<outlook::Item> Forward() override { return draft("Forward"); }

    IDispatch* object() const { return object_.raw(); }

private:
    // Replies and forwards of a mail are mail items.
    std::shared_ptr<outlook::Item> draft(const std::string& member)
    {
        return makeItem(session_, requiredObject(object_.call(member), member), true);
    }

    std::shared_ptr<Session> session_;
    Dispatch object_;
};

// The events of one Items collection for as long as it lives. Handlers run as tasks on the loop;
// `alive` tells a task posted before the connection ended to do nothing.
class ItemsConnection final : public Connection {
public:
    ItemsConnection(const std::shared_ptr<Session>& session, IDispatch& items, outlook::ItemsEvents handlers)
        : connection_(items, sink(session, std::make_shared<outlook::ItemsEvents>(std::move(handlers)), alive_))
    {
    }
    ~ItemsConnection() override { *alive_ = false; }

private:
    static ComPtr<com::EventSink> sink(const std::shared_ptr<Session>& session,
                                       const std::shared_ptr<outlook::ItemsEvents>& handlers,
                                       const std::shared_ptr<bool>& alive)
    {
        ComPtr<com::EventSink> sink = com::EventSink::create(IID_ItemsEvents);
        auto withItem = [session, handlers, alive](auto member) {
            return [session, handlers, alive, member](const std::vector<Variant>& args) {
                // An argument that is no object (never seen from Outlook) drops the event.
                ComPtr<IDispatch> item;
                if (!args.empty())
                    item = valueOr(ComPtr<IDispatch>(), [&] { return args[0].toDispatch(); });
                session->loop.post([session, handlers, alive, member, item] {
                    const auto& handler = (*handlers).*member;
                    if (*alive && handler && item)
                        handler(makeItem(session, item, false));
                });
            };
        };
        sink->on(DISPID_ItemAdd, withItem(&outlook::ItemsEvents::ItemAdd));
        sink->on(DISPID_ItemChange, withItem(&outlook::ItemsEvents::ItemChange));
        sink->on(DISPID_ItemRemove, [session, handlers, alive](const std::vector<Variant>&) {
            session->loop.post([handlers, alive] {
                if (*alive && handlers->ItemRemove)
                    handlers->ItemRemove();
            });
        });
        return sink;
    }

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    com::SinkConnection connection_;
};

class ComItems final : public outlook::Items {
public:
    ComItems(std::shared_ptr<Session> session, ComPtr<IDispatch> object)
        : session_(std::move(session)), object_(std::move(object), session_->items, session_->link)
    {
    }

    std::int32_t Count() override { return object_.get("Count").toLong(); }

    std::unique_ptr<Connection> advise(outlook::ItemsEvents handlers) override
    {
        return std::make_unique<ItemsConnection>(session_, *object_.raw(), std::move(handlers));
    }

private:
    std::shared_ptr<Session> session_;
    Dispatch object_;
};

class ComFolder final : public outlook::MAPIFolder {
public:
    ComFolder(std::shared_ptr<Session> session, ComPtr<IDispatch> object)
        : session_(std::move(session)), object_(std::move(object), session_->folder, session_->link)
    {
    }

    std::shared_ptr<outlook::Items> Items() override
    {
        return std::make_shared<ComItems>(session_, requiredObject(object_.get("Items"), "Items"));
    }
    std::string EntryID() override { return object_.get("EntryID").toString(); }
    std::string StoreID() override { return object_.get("StoreID").toString(); }
    std::string Name() override { return object_.get("Name").toString(); }
    std::string DefaultMessageClass() override { return object_.get("DefaultMessageClass").toString(); }
    std::int32_t UnReadItemCount() override { return object_.get("UnReadItemCount").toLong(); }

private:
    std::shared_ptr<Session> session_;
    Dispatch object_;
};

class ComNameSpace final : public outlook::NameSpace {
public:
    ComNameSpace(std::shared_ptr<Session> session, ComPtr<IDispatch> object)
        : session_(std::move(session)), object_(std::move(object), session_->nameSpace, session_->link)
    {
    }

    std::shared_ptr<outlook::MAPIFolder> GetDefaultFolder(std::int32_t folderType) override
    {
        return folder(object_.call("GetDefaultFolder", {Variant(folderType)}), "GetDefaultFolder");
    }

    std::shared_ptr<outlook::MAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) override
    {
        return folder(object_.call("GetFolderFromID", {Variant(entryID), Variant(storeID)}), "GetFolderFromID");
    }

    std::shared_ptr<outlook::Item> GetItemFromID(const std::string& entryID,
                                                 const std::optional<std::string>& storeID) override
    {
        // No StoreID (or an empty one) leaves the argument out: Outlook searches the default store.
        const Variant store = storeID && !storeID->empty() ? Variant(*storeID) : Variant::missing();
        return makeItem(session_, requiredObject(object_.call("GetItemFromID", {Variant(entryID), store}), "GetItemFromID"),
                        false);
    }

    std::shared_ptr<outlook::MAPIFolder> PickFolder() override
    {
        ComPtr<IDispatch> chosen = object_.call("PickFolder").toDispatch();
        return chosen ? makeFolder(session_, std::move(chosen)) : nullptr;
    }

private:
    std::shared_ptr<outlook::MAPIFolder> folder(const Variant& value, const std::string& member)
    {
        return makeFolder(session_, requiredObject(value, member));
    }

    std::shared_ptr<Session> session_;
    Dispatch object_;
};

class ComApplication final : public outlook::Application {
public:
    ComApplication(std::shared_ptr<Session> session, ComPtr<IDispatch> object)
        : session_(std::move(session)), object_(std::move(object), session_->application, session_->link)
    {
    }

    std::shared_ptr<outlook::NameSpace> GetNamespace(const std::string& type) override
    {
        return std::make_shared<ComNameSpace>(session_,
                                              requiredObject(object_.call("GetNamespace", {Variant(type)}), "GetNamespace"));
    }

private:
    std::shared_ptr<Session> session_;
    Dispatch object_;
};

std::shared_ptr<outlook::Item> makeItem(const std::shared_ptr<Session>& session, ComPtr<IDispatch> object, bool mail)
{
    return std::make_shared<ComItem>(session, std::move(object), mail);
}

std::shared_ptr<outlook::MAPIFolder> makeFolder(const std::shared_ptr<Session>& session, ComPtr<IDispatch> object)
{
    return std::make_shared<ComFolder>(session, std::move(object));
}

} // namespace

com::ComPtr<IDispatch> createOutlookObject()
{
    CLSID clsid{};
    com::check(CLSIDFromProgID(L"Outlook.Application", &clsid), "CLSIDFromProgID(Outlook.Application)");
    ComPtr<IDispatch> application;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&application)),
               "CoCreateInstance(Outlook.Application)");
    return application;
}

std::shared_ptr<outlook::Application> comOutlookApplication(IDispatch* application, MessageLoop& loop)
{
    if (!application)
        throw Failure("Outlook.Application failed: no object.", static_cast<std::int32_t>(E_POINTER));
    return std::make_shared<ComApplication>(std::make_shared<Session>(loop), ComPtr<IDispatch>(application));
}

IDispatch* comObjectOf(outlook::Item& item)
{
    auto* ours = dynamic_cast<ComItem*>(&item);
    return ours ? ours->object() : nullptr;
}

DateTime fromOleDate(double oleDate)
{
    // Before 1899-12-30 the whole days count down but the fraction still counts up from midnight.
    constexpr std::int64_t unixEpochDay = 25569;  // 1970-01-01 as an OLE date
    const double days = std::trunc(oleDate);
    const double fraction = std::fabs(oleDate - days);
    const auto seconds = (static_cast<std::int64_t>(days) - unixEpochDay) * 86400 +
                         static_cast<std::int64_t>(std::llround(fraction * 86400.0));
    return DateTime::fromSeconds(seconds);
}

} // namespace platform::win32
