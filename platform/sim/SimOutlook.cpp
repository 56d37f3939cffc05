#include "platform/sim/SimOutlook.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/sim/SimOutlookObjects.h"
#include "platform/sim/SimOutlookState.h"

namespace platform::sim {

namespace {

// Sorted as std::string_view compares (upper case before lower case), so callers can binary-search.
constexpr std::array<std::string_view, 34> kOperationNames{
    "AttachmentsCount",
    "Body",
    "Class",
    "Cleanup",
    "Count",
    "CreateMAPIUtils",
    "CreateOutlookApplication",
    "CreateSafeMailItem",
    "DefaultMessageClass",
    "Delete",
    "Display",
    "EntryID",
    "Fields",
    "Forward",
    "GetDefaultFolder",
    "GetFolderFromID",
    "GetItemFromID",
    "GetNamespace",
    "Items",
    "Name",
    "Parent",
    "PickFolder",
    "ReceivedTime",
    "Reply",
    "SenderName",
    "Sent",
    "Size",
    "StoreID",
    "Subject",
    "UnRead",
    "UnReadItemCount",
    "asMailItem",
    "item",
    "setItem",
};
static_assert(std::is_sorted(kOperationNames.begin(), kOperationNames.end()));

} // namespace

SimOutlook::SimOutlook(MessageLoop& loop, const Clock& clock) : state_(std::make_shared<State>(loop, clock)) {}

SimOutlook::~SimOutlook()
{
    // Objects the system still holds keep the state alive: they must fail from now on, and events
    // already posted must find nobody to call, since the loop and the observers may be gone too.
    state_->running = false;
    state_->loop = nullptr;
    state_->clock = nullptr;
    state_->observers = {};
}

// --- Outlook's process -------------------------------------------------------------------------

void SimOutlook::start()
{
    if (state_->running)
        return;
    state_->running = true;
    ++state_->session;
}

void SimOutlook::quit() { state_->running = false; }

bool SimOutlook::running() const { return state_->running; }

// --- The MAPI helper library -------------------------------------------------------------------

void SimOutlook::setMapiLibraryPresent(bool present) { state_->mapiLibraryPresent = present; }

bool SimOutlook::mapiLibraryPresent() const { return state_->mapiLibraryPresent; }

int SimOutlook::cleanupCount() const { return state_->cleanupCount; }

// --- Stores and folders ------------------------------------------------------------------------

void SimOutlook::addStore(const std::string& name) { state_->addStore(name); }

void SimOutlook::addFolder(const std::string& path, const std::string& messageClass,
                           const std::optional<std::string>& store)
{
    State& s = *state_;
    State::Store* target = &s.defaultStore();
    std::string_view relative = path;
    if (store) {
        target = s.storeNamed(*store);
        if (!target)
            throw std::invalid_argument("no store \"" + *store + "\"");
    } else if (auto colon = path.find(':'); colon != std::string::npos && s.storeNamed(relative.substr(0, colon))) {
        target = s.storeNamed(relative.substr(0, colon));
        relative = relative.substr(colon + 1);
    }
    const auto segments = lang::split(relative, '/');
    if (std::any_of(segments.begin(), segments.end(), [](const std::string& segment) { return segment.empty(); }))
        throw std::invalid_argument("invalid folder path \"" + path + "\"");

    State::Folder* parent = nullptr;
    bool created = false;
    for (const auto& segment : segments) {
        const auto& level = parent ? parent->children : target->roots;
        auto it = std::find_if(level.begin(), level.end(),
                               [&](const State::Folder* f) { return lang::equalsNoCase(f->name, segment); });
        created = it == level.end();
        parent = created ? &s.createFolder(*target, parent, segment, messageClass) : *it;
    }
    if (!created)
        throw std::invalid_argument("folder \"" + path + "\" exists already");
}

void SimOutlook::deleteFolder(const std::string& path) { state_->removeFolder(state_->folderAt(path)); }

bool SimOutlook::folderExists(const std::string& path) const { return state_->findFolder(path) != nullptr; }

std::string SimOutlook::folderEntryID(const std::string& path) const { return state_->folderAt(path).entryID; }

std::string SimOutlook::folderStoreID(const std::string& path) const
{
    return state_->folderAt(path).store->storeID;
}

std::string SimOutlook::defaultStoreName() const { return state_->defaultStore().name; }

// --- Items -------------------------------------------------------------------------------------

std::string SimOutlook::deliver(const std::string& folderPath, const MailSpec& mail)
{
    return state_->deliver(state_->folderAt(folderPath), mail).entryID;
}

void SimOutlook::move(const std::string& entryID, const std::string& folderPath)
{
    State::Item& item = state_->liveItem(entryID);
    state_->moveItem(item, state_->folderAt(folderPath));
}

void SimOutlook::setUnread(const std::string& entryID, bool unread)
{
    state_->setUnread(state_->liveItem(entryID), unread);
}

void SimOutlook::deleteItem(const std::string& entryID) { state_->deleteItem(state_->liveItem(entryID)); }

void SimOutlook::purge(const std::string& entryID) { state_->purgeItem(state_->liveItem(entryID)); }

std::optional<ItemState> SimOutlook::item(const std::string& entryID) const
{
    auto it = state_->items.find(entryID);
    if (it == state_->items.end())
        return std::nullopt;
    const State::Item& item = *it->second;
    ItemState result;
    result.entryID = item.entryID;
    result.storeName = item.folder->store->name;
    result.folderPath = item.folder->path();
    result.folderEntryID = item.folder->entryID;
    result.gone = item.gone;
    result.unread = item.mail.unread;
    result.sent = item.mail.sent;
    result.displayed = item.displayed;
    result.replies = item.replies;
    result.forwards = item.forwards;
    result.itemClass = item.mail.itemClass;
    result.subject = item.mail.subject;
    return result;
}

// --- Dialog answers, faults, observers ---------------------------------------------------------

void SimOutlook::setPickFolderAnswer(std::optional<std::string> folderPath)
{
    state_->pickFolderAnswer = folderPath ? &state_->folderAt(*folderPath) : nullptr;
}

Faults& SimOutlook::faults() { return state_->faults; }

std::span<const std::string_view> SimOutlook::operationNames() { return kOperationNames; }

SimOutlook::Observers& SimOutlook::observers() { return state_->observers; }

// --- ObjectFactory -----------------------------------------------------------------------------

std::shared_ptr<outlook::Application> SimOutlook::createOutlookApplication()
{
    state_->faults.check("CreateOutlookApplication");
    if (!state_->running)
        throw Failure("CreateOutlookApplication failed: Outlook is not running");
    return makeApplicationObject(state_);
}

std::shared_ptr<mapi::SafeMailItem> SimOutlook::createSafeMailItem()
{
    state_->faults.check("CreateSafeMailItem");
    if (!state_->mapiLibraryPresent)
        throw Failure("CreateSafeMailItem failed: class not registered");
    return makeSafeMailItemObject(state_);
}

std::shared_ptr<mapi::MAPIUtils> SimOutlook::createMAPIUtils()
{
    state_->faults.check("CreateMAPIUtils");
    if (!state_->mapiLibraryPresent)
        throw Failure("CreateMAPIUtils failed: class not registered");
    return makeMAPIUtilsObject(state_);
}

} // namespace platform::sim
