#include "tests/win32/outlook-standin/Standin.h"

#include <array>
#include <utility>

#include "platform/Failure.h"

namespace standin {

namespace {

namespace outlook = platform::outlook;
namespace mapi = platform::mapi;

// {0006302C-0000-0000-C000-000000000046} ApplicationEvents_11, {00063077-...} ItemsEvents.
constexpr IID IID_ApplicationEvents_11 = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_ItemsEvents = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID DISPID_ItemAdd = 0xF001;
constexpr DISPID DISPID_ItemChange = 0xF002;
constexpr DISPID DISPID_ItemRemove = 0xF003;
constexpr DISPID DISPID_Quit = 0xF007;
constexpr DISPID DISPID_NewMailEx = 0xFAB5;

// Outlook's dates are OLE automation dates: days since 1899-12-30, the fraction the time of day.
double toOleDate(platform::DateTime moment)
{
    constexpr double unixEpochDay = 25569.0;  // 1970-01-01
    return unixEpochDay + static_cast<double>(moment.seconds()) / 86400.0;
}

Variant text(const std::string& value) { return Variant(value); }

double performanceCounterMs()
{
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

class ItemObject;
Variant itemObject(Standin& standin, std::shared_ptr<outlook::Item> item);
Variant folderObject(Standin& standin, std::shared_ptr<outlook::MAPIFolder> folder);

class AttachmentsObject final : public ServedAs<AttachmentsObject> {
public:
    AttachmentsObject(Standin& standin, std::int32_t count);

    // Read by the member table below the class.
    std::int32_t count_;
};

constexpr Member<AttachmentsObject> kAttachmentsObjectMembers[] = {
    {"Count", 0x50, kGet, [](AttachmentsObject& self, const Call&) { return Variant(self.count_); }},
};

AttachmentsObject::AttachmentsObject(Standin& standin, std::int32_t count)
    : ServedAs("Attachments", &standin.counts(), kAttachmentsObjectMembers), count_(count)
{
}

class ItemObject final : public ServedAs<ItemObject> {
public:
    ItemObject(Standin& standin, std::shared_ptr<outlook::Item> item);

    // What the MAPI helper reads (sender, recipients, body, attachments): the simulated Outlook
    // keeps it behind its safe wrapper.
    std::shared_ptr<mapi::SafeMailItem> wrapper()
    {
        auto wrapper = standin_.outlook().createSafeMailItem();
        wrapper->setItem(item_);
        return wrapper;
    }

    // Read by the member table below the class.
    Standin& standin_;
    std::shared_ptr<outlook::Item> item_;
};

constexpr Member<ItemObject> kItemObjectMembers[] = {
    {"Class", 0xF00A, kGet, [](ItemObject& self, const Call&) { return Variant(self.item_->Class()); }},
    {"EntryID", 0xF01E, kGet, [](ItemObject& self, const Call&) { return text(self.item_->EntryID()); }},
    {"Parent", 0xF001, kGet,
     [](ItemObject& self, const Call&) { return folderObject(self.standin_, self.item_->Parent()); }},
    {"UnRead", 0xF01C, kGet | kPut,
     [](ItemObject& self, const Call& call) {
         if (!call.put())
             return Variant(self.item_->UnRead());
         self.item_->setUnRead(call.arg(0).toBool());
         return Variant();
     }},
    {"Sent", 0xF402, kGet, [](ItemObject& self, const Call&) { return Variant(self.item_->Sent()); }},
    {"Size", 0x0E08, kGet, [](ItemObject& self, const Call&) { return Variant(self.item_->Size()); }},
    {"ReceivedTime", 0x0E06, kGet,
     [](ItemObject& self, const Call&) { return Variant::date(toOleDate(self.item_->ReceivedTime())); }},
    {"Subject", 0x0037, kGet, [](ItemObject& self, const Call&) { return text(self.item_->Subject()); }},
    // Display([Modal]): the stand-in's item windows are always modeless.
    {"Display", 0xF0A6, kMethod,
     [](ItemObject& self, const Call&) {
         self.item_->Display();
         return Variant();
     }},
    {"Delete", 0xF04A, kMethod,
     [](ItemObject& self, const Call&) {
         self.item_->Delete();
         return Variant();
     }},
    {"Reply", 0xF810, kMethod,
     [](ItemObject& self, const Call&) { return itemObject(self.standin_, self.item_->Reply()); }},
    {"Forward", 0xF813, kMethod,
     [](ItemObject& self, const Call&) { return itemObject(self.standin_, self.item_->Forward()); }},
    {"SenderName", 0x0C1A, kGet, [](ItemObject& self, const Call&) { return text(self.wrapper()->SenderName()); }},
    {"SenderEmailAddress", 0x0C1F, kGet,
     [](ItemObject& self, const Call&) { return text(self.wrapper()->Fields(mapi::PR_SENDER_EMAIL_ADDRESS)); }},
    // The simulated store knows Internet senders only.
    {"SenderEmailType", 0x0C1E, kGet,
     [](ItemObject& self, const Call&) {
         self.item_->EntryID();  // fails like any member once the item or Outlook is gone
         return Variant("SMTP");
     }},
    {"To", 0x0E04, kGet, [](ItemObject& self, const Call&) { return text(self.wrapper()->Fields(mapi::PR_DISPLAY_TO)); }},
    {"Body", 0x9100, kGet, [](ItemObject& self, const Call&) { return text(self.wrapper()->Body()); }},
    {"Attachments", 0xF815, kGet,
     [](ItemObject& self, const Call&) {
         return served<AttachmentsObject>(self.standin_, self.wrapper()->AttachmentsCount());
     }},
};

ItemObject::ItemObject(Standin& standin, std::shared_ptr<outlook::Item> item)
    : ServedAs("MailItem", &standin.counts(), kItemObjectMembers), standin_(standin), item_(std::move(item))
{
}

// One Items collection; while sinks are connected, the simulated folder's events are raised on
// them (ItemsEvents).
class ItemsObject final : public ServedAs<ItemsObject> {
public:
    ItemsObject(Standin& standin, std::shared_ptr<outlook::Items> items);

    // Read by the member table below the class.
    Standin& standin_;
    std::shared_ptr<outlook::Items> items_;

private:
    void firstSink() override
    {
        outlook::ItemsEvents handlers;
        handlers.ItemAdd = [this](std::shared_ptr<outlook::Item> item) {
            Variant argument = itemObject(standin_, std::move(item));
            standin_.itemAddRaisedMs = performanceCounterMs();
            fire(DISPID_ItemAdd, {std::move(argument)});
        };
        handlers.ItemChange = [this](std::shared_ptr<outlook::Item> item) {
            fire(DISPID_ItemChange, {itemObject(standin_, std::move(item))});
        };
        handlers.ItemRemove = [this] { fire(DISPID_ItemRemove, {}); };
        connection_ = items_->advise(std::move(handlers));
    }
    void lastSinkGone() override { connection_.reset(); }

    std::unique_ptr<platform::Connection> connection_;
};

constexpr Member<ItemsObject> kItemsObjectMembers[] = {
    {"Count", 0x50, kGet, [](ItemsObject& self, const Call&) { return Variant(self.items_->Count()); }},
};

ItemsObject::ItemsObject(Standin& standin, std::shared_ptr<outlook::Items> items)
    : ServedAs("Items", &standin.counts(), kItemsObjectMembers, IID_ItemsEvents), standin_(standin), items_(std::move(items))
{
}

class FolderObject final : public ServedAs<FolderObject> {
public:
    FolderObject(Standin& standin, std::shared_ptr<outlook::MAPIFolder> folder);

    // Read by the member table below the class.
    Standin& standin_;
    std::shared_ptr<outlook::MAPIFolder> folder_;
};

constexpr Member<FolderObject> kFolderObjectMembers[] = {
    {"Items", 0x3100, kGet,
     [](FolderObject& self, const Call&) { return served<ItemsObject>(self.standin_, self.folder_->Items()); }},
    {"EntryID", 0xF01E, kGet, [](FolderObject& self, const Call&) { return text(self.folder_->EntryID()); }},
    {"StoreID", 0x3108, kGet, [](FolderObject& self, const Call&) { return text(self.folder_->StoreID()); }},
    {"Name", 0x3001, kGet, [](FolderObject& self, const Call&) { return text(self.folder_->Name()); }},
    {"DefaultMessageClass", 0x3107, kGet,
     [](FolderObject& self, const Call&) { return text(self.folder_->DefaultMessageClass()); }},
    {"UnReadItemCount", 0x3603, kGet,
     [](FolderObject& self, const Call&) { return Variant(self.folder_->UnReadItemCount()); }},
};

FolderObject::FolderObject(Standin& standin, std::shared_ptr<outlook::MAPIFolder> folder)
    : ServedAs("MAPIFolder", &standin.counts(), kFolderObjectMembers), standin_(standin), folder_(std::move(folder))
{
}

class NameSpaceObject final : public ServedAs<NameSpaceObject> {
public:
    NameSpaceObject(Standin& standin, std::shared_ptr<outlook::NameSpace> nameSpace);

    // Read by the member table below the class.
    Standin& standin_;
    std::shared_ptr<outlook::NameSpace> nameSpace_;
};

constexpr Member<NameSpaceObject> kNameSpaceObjectMembers[] = {
    {"GetDefaultFolder", 0x210B, kMethod,
     [](NameSpaceObject& self, const Call& call) {
         return folderObject(self.standin_, self.nameSpace_->GetDefaultFolder(call.arg(0).toLong()));
     }},
    // GetFolderFromID(EntryIDFolder, [EntryIDStore]), GetItemFromID(EntryIDItem, [EntryIDStore])
    {"GetFolderFromID", 0x2108, kMethod,
     [](NameSpaceObject& self, const Call& call) {
         const std::string store = call.has(1) ? call.args[1].toString() : std::string();
         return folderObject(self.standin_, self.nameSpace_->GetFolderFromID(call.arg(0).toString(), store));
     }},
    {"GetItemFromID", 0x2109, kMethod,
     [](NameSpaceObject& self, const Call& call) {
         const auto store = call.has(1) ? std::optional(call.args[1].toString()) : std::nullopt;
         return itemObject(self.standin_, self.nameSpace_->GetItemFromID(call.arg(0).toString(), store));
     }},
    // Nothing when the user cancels the picker.
    {"PickFolder", 0x210E, kMethod,
     [](NameSpaceObject& self, const Call&) {
         auto chosen = self.nameSpace_->PickFolder();
         return chosen ? folderObject(self.standin_, std::move(chosen)) : Variant(static_cast<IDispatch*>(nullptr));
     }},
};

NameSpaceObject::NameSpaceObject(Standin& standin, std::shared_ptr<outlook::NameSpace> nameSpace)
    : ServedAs("NameSpace", &standin.counts(), kNameSpaceObjectMembers), standin_(standin), nameSpace_(std::move(nameSpace))
{
}

// The application, one per server. NewMailEx is raised for every item the simulated Outlook's
// MAPI helper reports (every delivery to the default store), while sinks are connected.
class ApplicationObject final : public ServedAs<ApplicationObject> {
public:
    explicit ApplicationObject(Standin& standin);

    // The "MAPI" name space, the only one.
    static Variant nameSpace(ApplicationObject& self, const std::string& type)
    {
        return served<NameSpaceObject>(self.standin_, self.standin_.outlook().createOutlookApplication()->GetNamespace(type));
    }

    // Read by the member table below the class.
    Standin& standin_;

private:
    void firstSink() override
    {
        connection_ = standin_.outlook().createMAPIUtils()->adviseNewMail([this](std::shared_ptr<outlook::Item> item) {
            const std::string entryID = platform::valueOr(std::string(), [&] { return item->EntryID(); });
            if (!entryID.empty())
                fire(DISPID_NewMailEx, {Variant(entryID)});
        });
    }
    void lastSinkGone() override { connection_.reset(); }

    std::unique_ptr<platform::Connection> connection_;
};

constexpr Member<ApplicationObject> kApplicationObjectMembers[] = {
    {"GetNamespace", 0x110, kMethod,
     [](ApplicationObject& self, const Call& call) { return ApplicationObject::nameSpace(self, call.arg(0).toString()); }},
    {"Session", 0xF00B, kGet, [](ApplicationObject& self, const Call&) { return ApplicationObject::nameSpace(self, "MAPI"); }},
    {"Quit", 0x113, kMethod,
     [](ApplicationObject& self, const Call&) {
         self.standin_.quit();
         return Variant();
     }},
};

ApplicationObject::ApplicationObject(Standin& standin)
    : ServedAs("Application", &standin.counts(), kApplicationObjectMembers, IID_ApplicationEvents_11), standin_(standin)
{
}

Variant itemObject(Standin& standin, std::shared_ptr<outlook::Item> item)
{
    return served<ItemObject>(standin, std::move(item));
}

Variant folderObject(Standin& standin, std::shared_ptr<outlook::MAPIFolder> folder)
{
    return served<FolderObject>(standin, std::move(folder));
}

} // namespace

ComPtr<Served> makeApplication(Standin& standin)
{
    ComPtr<Served> application;
    application.Attach(new ApplicationObject(standin));
    return application;
}

void raiseQuit(Served& application) { application.fire(DISPID_Quit, {}); }

Standin::Standin(platform::win32::Win32Loop& loop)
    : loop_(loop), outlook_(loop, loop), windows_([this] { quit(); })
{
    auto& hooks = outlook_.observers();
    hooks.displayed = [this](const std::string& entryID, const std::string& title) { windows_.openItem(entryID, title); };
    hooks.newMailIcon = [this] { windows_.showNewMailIcon(); };
    outlook_.start();
    application_ = makeApplication(*this);
    control_ = makeControl(*this);
}

Standin::~Standin() { outlook_.observers() = {}; }

IDispatch* Standin::application() const { return application_.Get(); }

IDispatch* Standin::control() const { return control_.Get(); }

bool Standin::clientsHold() const
{
    // Our own two references, and nothing else alive.
    return Served::alive() > 2 || application_->references() > 1 || control_->references() > 1;
}

void Standin::quit()
{
    if (quitting_)
        return;
    quitting_ = true;
    raiseQuit(*application_.Get());
    outlook_.quit();
    windows_.close();
    // Once the call that asked has been answered: a quit message posted while COM carries out an
    // incoming call is lost under Wine.
    loop_.post([this] { loop_.quit(0); });
}

void Standin::busyFor(std::uint32_t ms, Busy answer)
{
    busyUntil_ = GetTickCount64() + ms;
    busyAnswer_ = answer;
}

bool Standin::busy() const { return GetTickCount64() < busyUntil_; }

} // namespace standin
