#include "notifier/core/FolderMonitor.h"

#include <utility>
#include <vector>

#include "platform/EntryGuard.h"
#include "platform/Failure.h"
#include "platform/Lang.h"

namespace qln {

namespace {

// A call on an object that was never obtained fails like any call into Outlook would (VB's
// "object variable not set"), so the step that needs it is skipped like a refused call.
template <class T>
T& need(const std::shared_ptr<T>& object)
{
    if (!object)
        throw platform::Failure("object variable not set");
    return *object;
}

// An event Outlook or the MAPI helper raises is an entry point: whatever fails in its handler ends
// the handler there and goes no further back into Outlook.
template <class Handler>
auto guarded(const char* event, Handler handler)
{
    return [event, handler = std::move(handler)](auto... args) {
        platform::guardEntry(event, [&] { handler(std::move(args)...); });
    };
}

} // namespace

// Holds one additional folder's item events for as long as the sink lives.
class FolderMonitor::clsAddInbox {
public:
    explicit clsAddInbox(FolderMonitor& monitor) : monitor_(monitor) {}

    void watch(platform::outlook::Items& items)
    {
        clsInboxItems = items.advise({
            .ItemAdd = guarded("ItemAdd of an additional folder",
                               [this](std::shared_ptr<platform::outlook::Item> item) {
                                   monitor_.AddInboxItems_ItemAdd(std::move(item));
                               }),
            .ItemChange = guarded("ItemChange of an additional folder",
                                  [this](std::shared_ptr<platform::outlook::Item> item) {
                                      monitor_.AddInboxItems_ItemChange(std::move(item));
                                  }),
            .ItemRemove = guarded("ItemRemove of an additional folder",
                                  [this] { monitor_.AddInboxItems_ItemRemove(); }),
        });
    }

    std::unique_ptr<platform::Connection> clsInboxItems;

private:
    FolderMonitor& monitor_;
};

FolderMonitor::FolderMonitor(NotifierServices& services, Handlers handlers)
    : services_(services), handlers_(std::move(handlers))
{
}

FolderMonitor::~FolderMonitor() = default;

void FolderMonitor::Connect()
{
    using platform::ignoreFailure;
    ignoreFailure([&] { application_ = services_.com.createOutlookApplication(); });
    ignoreFailure([&] {
        SafeMapiUtils_ = services_.com.createMAPIUtils();
        newMailSink_ = SafeMapiUtils_->adviseNewMail(
            guarded("NewMail", [this](std::shared_ptr<platform::outlook::Item> item) {
                SafeMapiUtils_NewMail(std::move(item));
            }));
    });
    ignoreFailure([&] { nameSpace_ = need(application_).GetNamespace("MAPI"); });
    ignoreFailure([&] { inbox_ = need(nameSpace_).GetDefaultFolder(platform::outlook::olFolderInbox); });
    ignoreFailure([&] {
        auto items = need(inbox_).Items();
        objInboxItems_ = need(items).advise({
            .ItemAdd = guarded("ItemAdd of the Inbox",
                               [this](std::shared_ptr<platform::outlook::Item> item) {
                                   objInboxItems_ItemAdd(std::move(item));
                               }),
            .ItemChange = guarded("ItemChange of the Inbox",
                                  [this](std::shared_ptr<platform::outlook::Item> item) {
                                      objInboxItems_ItemChange(std::move(item));
                                  }),
            .ItemRemove = guarded("ItemRemove of the Inbox", [this] { objInboxItems_ItemRemove(); }),
        });
    });
    ignoreFailure([&] { InboxEntryID_ = need(inbox_).EntryID(); });
}

void FolderMonitor::AttachAdditionalFolders()
{
    // The folders read before a failure stay attached; the failure itself is not reported.
    platform::ignoreFailure([&] {
        for (int n = 1;; ++n) {
            const std::string value = services_.settings.read(settings::AddInbox(n));
            if (value == "EOF")
                return;
            if (n >= kSinkSlots)
                throw platform::Failure("more additional folders than sink slots");
            const std::vector<std::string> parts = lang::split(value, '|');
            if (parts.size() < 2)
                throw platform::Failure("an additional folder without its StoreID");
            auto folder = need(nameSpace_).GetFolderFromID(parts[0], parts[1]);
            auto items = need(folder).Items();
            auto& sink = AdditionalFolderSinks_[static_cast<std::size_t>(n)];
            if (!sink)
                sink = std::make_unique<clsAddInbox>(*this);
            sink->watch(need(items));
        }
    });
}

void FolderMonitor::Disconnect()
{
    objInboxItems_.reset();
    inbox_.reset();
    for (auto& sink : AdditionalFolderSinks_)
        if (sink)
            sink->clsInboxItems.reset();
    nameSpace_.reset();
    application_.reset();
    cleanup();
    newMailSink_.reset();
    SafeMapiUtils_.reset();
}

std::shared_ptr<platform::outlook::Item> FolderMonitor::GetItemFromID(const std::string& entryID,
                                                                       const std::string& storeID)
{
    auto item = need(nameSpace_).GetItemFromID(entryID, storeID);
    need(item);
    return item;
}

std::shared_ptr<platform::mapi::SafeMailItem> FolderMonitor::createSafeMailItem()
{
    auto wrapper = services_.com.createSafeMailItem();
    need(wrapper);
    return wrapper;
}

void FolderMonitor::cleanup()
{
    // Housekeeping after a wrapper use: every caller goes on whether it worked or not.
    if (SafeMapiUtils_)
        platform::ignoreFailure([&] { SafeMapiUtils_->Cleanup(); });
}

int FolderMonitor::attachedFolderCount() const
{
    int count = 0;
    for (const auto& sink : AdditionalFolderSinks_)
        if (sink && sink->clsInboxItems)
            ++count;
    return count;
}

void FolderMonitor::recordForeground()
{
    // GetForegroundWindow reports no window rather than an error on Windows.
    previousForeground_ =
        platform::valueOr(platform::NoWindow, [&] { return services_.desktop.getForegroundWindow(); });
}

void FolderMonitor::objInboxItems_ItemAdd(std::shared_ptr<platform::outlook::Item> item)
{
    if (services_.settings.read(settings::IgnoreInbox) != 0)
        return;
    AddInboxItems_ItemAdd(std::move(item));
}

void FolderMonitor::objInboxItems_ItemChange(std::shared_ptr<platform::outlook::Item> item)
{
    // A mail that became read, or any item that cannot be read as a mail, may be the shown one.
    const bool unread = platform::valueOr(false, [&] { return need(need(item).asMailItem()).UnRead(); });
    if (!unread && handlers_.shownItemReadOrRemoved)
        platform::ignoreFailure([&] { handlers_.shownItemReadOrRemoved(false); });
}

void FolderMonitor::objInboxItems_ItemRemove()
{
    if (handlers_.shownItemReadOrRemoved)
        platform::ignoreFailure([&] { handlers_.shownItemReadOrRemoved(true); });
}

void FolderMonitor::AddInboxItems_ItemAdd(std::shared_ptr<platform::outlook::Item> item)
{
    recordForeground();
    if (handlers_.screen)
        platform::ignoreFailure([&] { handlers_.screen(std::move(item)); });
}

void FolderMonitor::AddInboxItems_ItemChange(std::shared_ptr<platform::outlook::Item> item)
{
    objInboxItems_ItemChange(std::move(item));
}

void FolderMonitor::AddInboxItems_ItemRemove() { objInboxItems_ItemRemove(); }

void FolderMonitor::SafeMapiUtils_NewMail(std::shared_ptr<platform::outlook::Item> item)
{
    if (services_.settings.read(settings::IgnoreInbox) != 0)
        return;
    platform::ignoreFailure([&] {
        // The helper's own item object is not used: the item is taken again from Outlook by its
        // EntryID alone, which searches the default store, where NewMail's items always land.
        const std::string entryID = need(item).EntryID();
        auto found = need(nameSpace_).GetItemFromID(entryID);
        const std::string folderEntryID = need(need(found).Parent()).EntryID();
        // A mail in the Inbox is the Inbox's ItemAdd's to screen, so that it is screened once.
        if (folderEntryID == InboxEntryID_)
            return;
        recordForeground();
        if (handlers_.screen)
            handlers_.screen(std::move(found));
    });
}

} // namespace qln
