#pragma once
// Seam: Outlook's object model, exactly the operations the system calls.
//
// Objects are shared_ptr; "release" and "set to none" are reset(). Every call may throw
// platform::Failure (Outlook gone, item or folder gone, a call refused). Identifiers (EntryID,
// StoreID) are Outlook's hexadecimal text, only ever compared or passed back. Every text is UTF-8;
// the Windows implementation takes Outlook's BSTRs (UTF-16) and converts at this edge. Whoever
// shows a text still replaces bytes that are not UTF-8 with U+FFFD.
//
// Events are delivered through Connection objects: the events of an Items collection arrive, as
// tasks on the message loop, for as long as the Connection returned by advise() lives.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/DateTime.h"

namespace platform {

// An event subscription. Destroying it (or reset() on the owning pointer) stops the events.
class Connection {
public:
    virtual ~Connection() = default;
};

namespace outlook {

class Item;
class MAPIFolder;
class Items;
class NameSpace;
class Application;

inline constexpr std::int32_t olMail = 43;
inline constexpr std::int32_t olReport = 46;
inline constexpr std::int32_t olFolderInbox = 6;

// Any Outlook item (mail, report, post, ...), with the members the system reads or calls by name.
class Item {
public:
    virtual ~Item() = default;

    virtual std::int32_t Class() = 0;
    virtual std::string EntryID() = 0;
    virtual std::shared_ptr<MAPIFolder> Parent() = 0;

    // The same item taken as a MailItem (a typed assignment in VB); fails for other classes.
    virtual std::shared_ptr<Item> asMailItem() = 0;

    virtual bool UnRead() = 0;
    virtual void setUnRead(bool unread) = 0;
    virtual bool Sent() = 0;
    virtual std::int32_t Size() = 0;
    virtual DateTime ReceivedTime() = 0;
    virtual std::string Subject() = 0;

    // Opens the item's own window, modeless.
    virtual void Display() = 0;
    // Deletes the item (Outlook moves it to "Deleted Items").
    virtual void Delete() = 0;
    // A new, unsent reply or forward of this item.
    virtual std::shared_ptr<Item> Reply() = 0;
    virtual std::shared_ptr<Item> Forward() = 0;
};

struct ItemsEvents {
    std::function<void(std::shared_ptr<Item>)> ItemAdd;
    std::function<void(std::shared_ptr<Item>)> ItemChange;
    std::function<void()> ItemRemove;  // Outlook does not say which item went
};

class Items {
public:
    virtual ~Items() = default;
    virtual std::int32_t Count() = 0;
    // Subscribes to the collection's events; they stop when the returned connection is destroyed.
    virtual std::unique_ptr<Connection> advise(ItemsEvents handlers) = 0;
};

class MAPIFolder {
public:
    virtual ~MAPIFolder() = default;
    virtual std::shared_ptr<outlook::Items> Items() = 0;
    virtual std::string EntryID() = 0;
    virtual std::string StoreID() = 0;
    virtual std::string Name() = 0;
    virtual std::string DefaultMessageClass() = 0;
    virtual std::int32_t UnReadItemCount() = 0;
};

class NameSpace {
public:
    virtual ~NameSpace() = default;
    virtual std::shared_ptr<MAPIFolder> GetDefaultFolder(std::int32_t folderType) = 0;
    // Fails when the folder (or its store) is gone.
    virtual std::shared_ptr<MAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) = 0;
    // Without a StoreID the default store is searched. Fails when the item is gone.
    virtual std::shared_ptr<Item> GetItemFromID(const std::string& entryID,
                                                const std::optional<std::string>& storeID = std::nullopt) = 0;
    // Outlook's folder picker: the chosen folder, or nullptr when the user cancels.
    virtual std::shared_ptr<MAPIFolder> PickFolder() = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::shared_ptr<NameSpace> GetNamespace(const std::string& type) = 0;
};

// The site Outlook's Options dialog gives a page it hosts.
class PropertyPageSite {
public:
    virtual ~PropertyPageSite() = default;
    // The page's state changed: the dialog asks Dirty again and enables its Apply button.
    virtual void OnStatusChange() = 0;
};

// A page of Outlook's Options dialog, as the dialog calls it.
class PropertyPage {
public:
    virtual ~PropertyPage() = default;
    virtual bool Dirty() = 0;
    virtual void GetPageInfo(std::string& helpFile, std::int32_t& helpContext) = 0;
    // The dialog's OK and Apply buttons.
    virtual void Apply() = 0;
};

} // namespace outlook

namespace mapi {

// PR_ tags the system reads through the safe wrapper (string type).
inline constexpr std::uint32_t PR_SENDER_EMAIL_ADDRESS = 0x0C1F001E;
inline constexpr std::uint32_t PR_SENDER_NAME = 0x0C1A001E;
inline constexpr std::uint32_t PR_DISPLAY_TO = 0x0E04001E;
inline constexpr std::uint32_t PR_SUBJECT = 0x0037001E;
inline constexpr std::uint32_t PR_BODY = 0x1000001E;

// The maker's safe mail-item wrapper: created anew for every use, released at its end.
class SafeMailItem {
public:
    virtual ~SafeMailItem() = default;
    // Hands it an Outlook item; the wrapper now stands for that item.
    virtual void setItem(std::shared_ptr<outlook::Item> item) = 0;
    // The wrapped item (the same Outlook item). Fails when none was handed over.
    virtual std::shared_ptr<outlook::Item> item() = 0;
    virtual std::string SenderName() = 0;
    virtual std::string Body() = 0;
    virtual std::int32_t AttachmentsCount() = 0;
    // One MAPI property by tag, as text; empty when the item lacks it.
    virtual std::string Fields(std::uint32_t tag) = 0;
};

// The maker's utilities object: the NewMail event and the clean-up after each wrapper use.
class MAPIUtils {
public:
    virtual ~MAPIUtils() = default;
    // NewMail is raised once for each message delivered to the default store, whatever folder it
    // lands in; it stops when the returned connection is destroyed.
    virtual std::unique_ptr<Connection> adviseNewMail(std::function<void(std::shared_ptr<outlook::Item>)> handler) = 0;
    virtual void Cleanup() = 0;
};

} // namespace mapi

// Creation of COM objects by ProgID. Each creation throws when the class is not registered or
// the server cannot be reached.
class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // "Outlook.Application": attaches to the running Outlook.
    virtual std::shared_ptr<outlook::Application> createOutlookApplication() = 0;
    // "KorvaneMAPI.KorvaneSafeMailItem"
    virtual std::shared_ptr<mapi::SafeMailItem> createSafeMailItem() = 0;
    // "KorvaneMAPI.KorvaneMAPIUtils"
    virtual std::shared_ptr<mapi::MAPIUtils> createMAPIUtils() = 0;
};

} // namespace platform
