#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/Outlook.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimOutlook.h"

using platform::Connection;
using platform::DateTime;
using platform::Failure;
using platform::sim::MailSpec;
using platform::sim::SimLoop;
using platform::sim::SimOutlook;
namespace outlook = platform::outlook;
namespace mapi = platform::mapi;

namespace {

MailSpec mail(const std::string& subject)
{
    MailSpec arriving;
    arriving.subject = subject;
    arriving.senderEmail = "bob@example.com";
    arriving.senderName = "Bob";
    return arriving;
}

// A running Outlook with the system's usual way in already taken.
struct OutlookTest : ::testing::Test {
    SimLoop loop;
    SimOutlook world{loop, loop};
    std::shared_ptr<outlook::Application> app;
    std::shared_ptr<outlook::NameSpace> ns;
    std::string log;

    void SetUp() override
    {
        world.start();
        app = world.createOutlookApplication();
        ns = app->GetNamespace("MAPI");
    }

    std::shared_ptr<outlook::MAPIFolder> folder(const std::string& path)
    {
        return ns->GetFolderFromID(world.folderEntryID(path), world.folderStoreID(path));
    }

    // Subscribes to a folder's events, logging "<tag>:Add(<subject>) ", "<tag>:Change(...) ", "<tag>:Remove ".
    std::unique_ptr<Connection> watch(const std::string& path, const std::string& tag)
    {
        outlook::ItemsEvents events;
        events.ItemAdd = [this, tag](std::shared_ptr<outlook::Item> item) { log += tag + ":Add(" + item->Subject() + ") "; };
        events.ItemChange = [this, tag](std::shared_ptr<outlook::Item> item) {
            log += tag + ":Change(" + item->Subject() + ") ";
        };
        events.ItemRemove = [this, tag] { log += tag + ":Remove "; };
        return folder(path)->Items()->advise(std::move(events));
    }

    std::unique_ptr<Connection> watchNewMail(mapi::MAPIUtils& utils)
    {
        return utils.adviseNewMail([this](std::shared_ptr<outlook::Item> item) { log += "NewMail(" + item->Subject() + ") "; });
    }
};

bool isUpperHex(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

} // namespace

TEST_F(OutlookTest, TheStoreHoldsFoldersAndCountsItsContent)
{
    const std::map<std::string, std::string> defaults{
        {"Inbox", "IPM.Note"},         {"Outbox", "IPM.Note"},    {"Sent Items", "IPM.Note"},
        {"Deleted Items", "IPM.Note"}, {"Drafts", "IPM.Note"},    {"Calendar", "IPM.Appointment"},
        {"Contacts", "IPM.Contact"},
    };
    for (const auto& [name, messageClass] : defaults) {
        EXPECT_EQ(folder(name)->Name(), name);
        EXPECT_EQ(folder(name)->DefaultMessageClass(), messageClass) << name;
    }
    auto inbox = ns->GetDefaultFolder(outlook::olFolderInbox);
    EXPECT_EQ(inbox->EntryID(), world.folderEntryID("Inbox"));
    EXPECT_THROW(ns->GetDefaultFolder(99), Failure);

    // Missing parents are created with the child's class; paths ignore case like Outlook's names.
    world.addFolder("Inbox/Lists/Dev", "IPM.Post");
    EXPECT_EQ(folder("inbox/lists")->DefaultMessageClass(), "IPM.Post");
    EXPECT_EQ(folder("Inbox/Lists/Dev")->Name(), "Dev");

    MailSpec read = mail("old");
    read.unread = false;
    world.deliver("Inbox", mail("a"));
    world.deliver("Inbox", read);
    const auto c = world.deliver("Inbox", mail("c"));
    world.deliver("Inbox/Lists/Dev", mail("d"));
    EXPECT_EQ(inbox->Items()->Count(), 3);
    EXPECT_EQ(inbox->UnReadItemCount(), 2);
    world.setUnread(c, false);
    world.move(c, "Inbox/Lists/Dev");
    EXPECT_EQ(inbox->Items()->Count(), 2);
    EXPECT_EQ(inbox->UnReadItemCount(), 1);
    EXPECT_EQ(folder("Inbox/Lists/Dev")->Items()->Count(), 2);
    EXPECT_EQ(folder("Inbox/Lists/Dev")->UnReadItemCount(), 1);

    // Stores: a plain path means the default store's folder, then any other store's.
    world.addStore("Archive");
    world.addFolder("Inbox", "IPM.Note", "Archive");
    world.addFolder("Archive:Projects");
    EXPECT_NE(world.folderEntryID("Archive:Inbox"), world.folderEntryID("Inbox"));
    EXPECT_NE(world.folderStoreID("Archive:Inbox"), world.folderStoreID("Inbox"));
    EXPECT_EQ(world.folderEntryID("Projects"), world.folderEntryID("Archive:Projects"));
    // A colon that names no store is part of a folder's name.
    world.addFolder("Spam: Junk");
    EXPECT_EQ(folder("Spam: Junk")->Name(), "Spam: Junk");
}

TEST_F(OutlookTest, WorldActionsRejectUnknownNamesWithInvalidArgument)
{
    const auto id = world.deliver("Inbox", mail("x"));
    world.purge(id);
    const std::vector<std::pair<const char*, std::function<void()>>> actions{
        {"deliver to unknown folder", [&] { world.deliver("Nowhere", mail("x")); }},
        {"folder exists", [&] { world.addFolder("Inbox"); }},
        {"unknown store", [&] { world.addFolder("X", "IPM.Note", std::string("Nope")); }},
        {"empty segment", [&] { world.addFolder("Inbox//X"); }},
        {"duplicate store", [&] { world.addStore("personal folders"); }},
        {"delete unknown folder", [&] { world.deleteFolder("Nowhere"); }},
        {"entry id of unknown folder", [&] { world.folderEntryID("Nowhere"); }},
        {"move unknown item", [&] { world.move("00", "Inbox"); }},
        {"move to unknown folder", [&] { world.move(world.deliver("Inbox", mail("y")), "Nowhere"); }},
        {"read gone item", [&] { world.setUnread(id, false); }},
        {"delete gone item", [&] { world.deleteItem(id); }},
        {"purge gone item", [&] { world.purge(id); }},
        {"pick unknown folder", [&] { world.setPickFolderAnswer("Nowhere"); }},
    };
    for (const auto& [what, action] : actions)
        EXPECT_THROW(action(), std::invalid_argument) << what;
    EXPECT_FALSE(world.item("00").has_value());
    EXPECT_TRUE(world.item(id)->gone);
}

TEST(SimOutlookIdentifiers, AreOutlookShapedHexAndTheSameForTheSameActions)
{
    auto script = [](SimOutlook& world) {
        world.addStore("Archive");
        world.addFolder("Inbox/Spam");
        world.addFolder("Archive:Old");
        std::vector<std::string> ids{world.folderStoreID("Inbox"), world.folderStoreID("Archive:Old"),
                                     world.folderEntryID("Inbox"), world.folderEntryID("Inbox/Spam"),
                                     world.folderEntryID("Archive:Old")};
        for (const char* path : {"Inbox", "Inbox/Spam", "Archive:Old"})
            ids.push_back(world.deliver(path, MailSpec{}));
        return ids;
    };
    SimLoop loop1;
    SimLoop loop2;
    SimOutlook first(loop1, loop1);
    SimOutlook second(loop2, loop2);
    second.start();  // running or not makes no difference to the identifiers
    const auto ids = script(first);
    EXPECT_EQ(ids, script(second));

    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_TRUE(isUpperHex(ids[i])) << ids[i];
        EXPECT_EQ(ids[i].size(), i < 2 ? 84u : 48u) << ids[i];
        EXPECT_EQ(std::count(ids.begin(), ids.end(), ids[i]), 1) << ids[i];
    }
}

TEST_F(OutlookTest, EventsArriveThroughTheLoopInOutlooksOrder)
{
    auto utils = world.createMAPIUtils();
    world.addFolder("Inbox/Spam");
    world.addStore("Archive");
    world.addFolder("Archive:Inbox");
    auto inbox = watch("Inbox", "In");
    auto spam = watch("Inbox/Spam", "Spam");
    auto archive = watch("Archive:Inbox", "Ar");
    auto newMail = watchNewMail(*utils);
    int icons = 0;
    world.observers().newMailIcon = [&] { ++icons; };

    // Nothing happens until the loop runs; then ItemAdd comes before NewMail.
    const auto a = world.deliver("Inbox", mail("a"));
    EXPECT_EQ(log, "");
    EXPECT_EQ(icons, 1);
    loop.runPending();
    EXPECT_EQ(log, "In:Add(a) NewMail(a) ");

    // NewMail for any folder of the default store, never for another store, never when told not to.
    log.clear();
    MailSpec quiet = mail("quiet");
    quiet.newMailEvent = false;
    MailSpec read = mail("read");
    read.unread = false;
    world.deliver("Inbox/Spam", mail("b"));
    world.deliver("Archive:Inbox", mail("c"));
    world.deliver("Inbox", quiet);
    world.deliver("Inbox", read);
    loop.runPending();
    EXPECT_EQ(log, "Spam:Add(b) NewMail(b) Ar:Add(c) In:Add(quiet) In:Add(read) NewMail(read) ");
    // Outlook's tray icon only for unread mail in the default Inbox.
    EXPECT_EQ(icons, 2);

    // A move removes from one folder and adds to the other; read state changes are item changes.
    log.clear();
    world.move(a, "Inbox/Spam");
    world.setUnread(a, false);
    world.setUnread(a, false);  // no change, no event
    world.deleteItem(a);
    loop.runPending();
    EXPECT_EQ(log, "In:Remove Spam:Add(a) Spam:Change(a) Spam:Remove ");
    EXPECT_EQ(world.item(a)->folderPath, "Deleted Items");
}

TEST_F(OutlookTest, ConnectionsHearOnlyWhileTheyLive)
{
    auto utils = world.createMAPIUtils();
    auto inbox = watch("Inbox", "In");
    auto second = watch("Inbox", "In2");
    auto newMail = watchNewMail(*utils);

    // Events already posted do not reach a connection destroyed before delivery...
    world.deliver("Inbox", mail("a"));
    inbox.reset();
    newMail.reset();
    // ...but do reach one made before delivery.
    auto late = watch("Inbox", "Late");
    loop.runPending();
    EXPECT_EQ(log, "In2:Add(a) Late:Add(a) ");

    // A handler that disconnects a later listener silences it for the rest of that delivery.
    second.reset();
    late.reset();
    log.clear();
    std::unique_ptr<Connection> victim;
    outlook::ItemsEvents killer;
    killer.ItemAdd = [&](std::shared_ptr<outlook::Item>) {
        log += "killer ";
        victim.reset();
    };
    auto killerConnection = folder("Inbox")->Items()->advise(killer);
    victim = watch("Inbox", "Victim");
    world.deliver("Inbox", mail("b"));
    loop.runPending();
    EXPECT_EQ(log, "killer ");
}

TEST_F(OutlookTest, ItemsKeepTheirEntryIDWhenMovedAndFailOnceGone)
{
    world.addFolder("Inbox/Spam");
    const auto id = world.deliver("Inbox", mail("a"));
    auto held = ns->GetItemFromID(id);

    world.move(id, "Inbox/Spam");
    auto found = ns->GetItemFromID(id);
    EXPECT_EQ(found->EntryID(), id);
    EXPECT_EQ(found->Parent()->Name(), "Spam");
    EXPECT_EQ(held->Parent()->Name(), "Spam");  // proxies refer to the item, not to a copy

    // Deleting moves into Deleted Items; deleting there removes the item for good.
    held->Delete();
    EXPECT_EQ(ns->GetItemFromID(id)->Parent()->Name(), "Deleted Items");
    EXPECT_EQ(world.item(id)->folderEntryID, world.folderEntryID("Deleted Items"));
    held->Delete();
    EXPECT_TRUE(world.item(id)->gone);
    EXPECT_THROW(ns->GetItemFromID(id), Failure);
    EXPECT_THROW(held->Subject(), Failure);
    EXPECT_THROW(held->EntryID(), Failure);

    // A deleted folder takes its items and subfolders with it.
    world.addFolder("Inbox/Spam/Deep");
    const auto deep = world.deliver("Inbox/Spam/Deep", mail("deep"));
    auto deepItem = ns->GetItemFromID(deep);
    auto deepFolder = folder("Inbox/Spam/Deep");
    const auto deepIDs = std::make_pair(world.folderEntryID("Inbox/Spam/Deep"), world.folderStoreID("Inbox"));
    world.deleteFolder("Inbox/Spam");
    EXPECT_FALSE(world.folderExists("Inbox/Spam/Deep"));
    EXPECT_TRUE(world.item(deep)->gone);
    EXPECT_THROW(deepItem->UnRead(), Failure);
    EXPECT_THROW(deepFolder->Items(), Failure);
    EXPECT_THROW(ns->GetFolderFromID(deepIDs.first, deepIDs.second), Failure);
    EXPECT_THROW(ns->GetItemFromID(deep), Failure);

    // A store without Deleted Items gets one at its first delete.
    world.addStore("Archive");
    world.addFolder("Archive:Inbox");
    const auto archived = world.deliver("Archive:Inbox", mail("old"));
    world.deleteItem(archived);
    EXPECT_EQ(world.item(archived)->storeName, "Archive");
    EXPECT_EQ(world.item(archived)->folderPath, "Deleted Items");
}

TEST_F(OutlookTest, GetItemFromIDSearchesOneStore)
{
    world.addStore("Archive");
    world.addFolder("Archive:Inbox");
    const auto local = world.deliver("Inbox", mail("local"));
    const auto remote = world.deliver("Archive:Inbox", mail("remote"));
    const auto defaultStore = world.folderStoreID("Inbox");
    const auto archiveStore = world.folderStoreID("Archive:Inbox");

    EXPECT_EQ(ns->GetItemFromID(local)->Subject(), "local");
    EXPECT_EQ(ns->GetItemFromID(local, defaultStore)->Subject(), "local");
    EXPECT_EQ(ns->GetItemFromID(remote, archiveStore)->Subject(), "remote");
    EXPECT_THROW(ns->GetItemFromID(remote), Failure);
    EXPECT_THROW(ns->GetItemFromID(remote, defaultStore), Failure);
    EXPECT_THROW(ns->GetItemFromID(local, archiveStore), Failure);
    EXPECT_THROW(ns->GetItemFromID(local, "0000"), Failure);
    EXPECT_THROW(ns->GetItemFromID(""), Failure);
    EXPECT_THROW(ns->GetFolderFromID(world.folderEntryID("Archive:Inbox"), defaultStore), Failure);
    EXPECT_EQ(ns->GetFolderFromID(world.folderEntryID("Archive:Inbox"), archiveStore)->StoreID(), archiveStore);
}

TEST_F(OutlookTest, AfterQuitEveryObjectFailsAndEventsStop)
{
    auto utils = world.createMAPIUtils();
    auto wrapper = world.createSafeMailItem();
    auto inbox = folder("Inbox");
    auto items = inbox->Items();
    auto connection = watch("Inbox", "In");
    auto newMail = watchNewMail(*utils);
    const auto id = world.deliver("Inbox", mail("a"));
    auto item = ns->GetItemFromID(id);
    wrapper->setItem(item);

    world.quit();
    loop.runPending();
    EXPECT_EQ(log, "");  // posted before the quit, never delivered
    world.deliver("Inbox", mail("b"));
    loop.runPending();
    EXPECT_EQ(log, "");

    const std::vector<std::pair<const char*, std::function<void()>>> calls{
        {"GetNamespace", [&] { app->GetNamespace("MAPI"); }},
        {"GetDefaultFolder", [&] { ns->GetDefaultFolder(outlook::olFolderInbox); }},
        {"GetItemFromID", [&] { ns->GetItemFromID(id); }},
        {"Items", [&] { inbox->Items(); }},
        {"EntryID", [&] { inbox->EntryID(); }},
        {"Count", [&] { items->Count(); }},
        {"advise", [&] { items->advise({}); }},
        {"Subject", [&] { item->Subject(); }},
        {"UnRead", [&] { item->setUnRead(false); }},
        {"wrapper item", [&] { wrapper->item(); }},
        {"wrapper Fields", [&] { wrapper->Fields(mapi::PR_SENDER_EMAIL_ADDRESS); }},
        {"create", [&] { world.createOutlookApplication(); }},
    };
    for (const auto& [what, call] : calls)
        EXPECT_THROW(call(), Failure) << what;
    utils->Cleanup();  // the library's own object outlives Outlook
    EXPECT_EQ(world.cleanupCount(), 1);

    // A new Outlook keeps the mail but not the old objects.
    world.start();
    EXPECT_THROW(item->Subject(), Failure);
    EXPECT_THROW(items->Count(), Failure);
    auto ns2 = world.createOutlookApplication()->GetNamespace("MAPI");
    EXPECT_EQ(ns2->GetDefaultFolder(outlook::olFolderInbox)->Items()->Count(), 2);
    world.deliver("Inbox", mail("c"));
    loop.runPending();
    EXPECT_EQ(log, "NewMail(c) ");  // the old Items connection belongs to the old Outlook
}

TEST_F(OutlookTest, ItemCallsActLikeOutlook)
{
    MailSpec reportMail = mail("Delivered");
    reportMail.itemClass = outlook::olReport;
    const auto report = world.deliver("Inbox", reportMail);
    const auto id = world.deliver("Inbox", mail("Hello"));
    loop.runPending();
    auto connection = watch("Inbox", "In");
    std::vector<std::string> calls;
    std::vector<std::string> windows;
    world.observers().itemCall = [&](const std::string& entryID, const std::string& call) {
        calls.push_back(entryID == id ? call : "?" + call);
    };
    world.observers().displayed = [&](const std::string& entryID, const std::string& title) {
        windows.push_back((entryID == id ? "" : "?") + title);
    };

    EXPECT_THROW(ns->GetItemFromID(report)->asMailItem(), Failure);
    EXPECT_EQ(ns->GetItemFromID(report)->Class(), outlook::olReport);
    auto item = ns->GetItemFromID(id)->asMailItem();
    EXPECT_EQ(item->EntryID(), id);
    EXPECT_EQ(item->ReceivedTime(), loop.now());

    item->Display();
    EXPECT_EQ(world.item(id)->displayed, 1);
    EXPECT_EQ(windows, std::vector<std::string>{"Hello - Message"});

    // A reply is a new unsent item outside any folder; showing it is what counts as replying.
    auto reply = item->Reply();
    EXPECT_EQ(reply->Subject(), "RE: Hello");
    EXPECT_FALSE(reply->Sent());
    EXPECT_EQ(reply->EntryID(), "");
    EXPECT_THROW(reply->Parent(), Failure);
    EXPECT_EQ(world.item(id)->replies, 0);
    reply->Display();
    auto forward = item->Forward();
    EXPECT_EQ(forward->Subject(), "FW: Hello");
    forward->Display();
    forward->Display();
    EXPECT_EQ(world.item(id)->replies, 1);
    EXPECT_EQ(world.item(id)->forwards, 2);
    EXPECT_EQ(world.item(id)->displayed, 1);
    EXPECT_EQ(folder("Inbox")->Items()->Count(), 2);

    item->setUnRead(false);
    EXPECT_FALSE(world.item(id)->unread);
    loop.runPending();
    EXPECT_EQ(log, "In:Change(Hello) ");

    item->Delete();
    loop.runPending();
    EXPECT_EQ(log, "In:Change(Hello) In:Remove ");
    EXPECT_EQ(calls, (std::vector<std::string>{"Display", "Reply", "Forward", "UnRead=false", "Delete"}));
    EXPECT_EQ(world.item(id)->folderPath, "Deleted Items");
}

TEST_F(OutlookTest, SafeWrapperReadsTheItemHandedToIt)
{
    MailSpec arriving = mail("  Subject  ");
    arriving.to = "Alice";
    arriving.body = "Body";
    arriving.prBody = "Raw body";
    arriving.attachments = 2;
    const auto id = world.deliver("Inbox", arriving);
    MailSpec bare;
    bare.senderName = "Carol";
    const auto bareID = world.deliver("Inbox", bare);

    auto wrapper = world.createSafeMailItem();
    EXPECT_THROW(wrapper->item(), Failure);
    EXPECT_THROW(wrapper->SenderName(), Failure);
    EXPECT_THROW(wrapper->setItem(nullptr), Failure);

    auto item = ns->GetItemFromID(id);
    wrapper->setItem(item);
    EXPECT_EQ(wrapper->item(), item);
    EXPECT_EQ(wrapper->SenderName(), "Bob");
    EXPECT_EQ(wrapper->Body(), "Body");
    EXPECT_EQ(wrapper->AttachmentsCount(), 2);
    const std::vector<std::pair<std::uint32_t, std::string>> fields{
        {mapi::PR_SENDER_EMAIL_ADDRESS, "bob@example.com"},
        {mapi::PR_SENDER_NAME, "Bob"},  // defaults to the sender name
        {mapi::PR_DISPLAY_TO, "Alice"},
        {mapi::PR_SUBJECT, "  Subject  "},
        {mapi::PR_BODY, "Raw body"},
        {0x0E1D001E, ""},  // a tag the item lacks
    };
    for (const auto& [tag, value] : fields)
        EXPECT_EQ(wrapper->Fields(tag), value) << std::hex << tag;

    auto other = world.createSafeMailItem();
    other->setItem(ns->GetItemFromID(bareID));
    EXPECT_EQ(other->Fields(mapi::PR_SENDER_NAME), "Carol");
    EXPECT_EQ(other->Fields(mapi::PR_SENDER_EMAIL_ADDRESS), "");
    EXPECT_EQ(other->AttachmentsCount(), 0);

    world.purge(id);
    EXPECT_THROW(wrapper->item(), Failure);
    EXPECT_THROW(wrapper->Body(), Failure);
    EXPECT_THROW(wrapper->Fields(mapi::PR_SUBJECT), Failure);
    EXPECT_THROW(world.createSafeMailItem()->setItem(item), Failure);

    auto utils = world.createMAPIUtils();
    utils->Cleanup();
    utils->Cleanup();
    EXPECT_EQ(world.cleanupCount(), 2);

    // Without the library neither object exists; the ones made before keep working.
    world.setMapiLibraryPresent(false);
    EXPECT_THROW(world.createSafeMailItem(), Failure);
    EXPECT_THROW(world.createMAPIUtils(), Failure);
    EXPECT_EQ(other->SenderName(), "Carol");
}

TEST_F(OutlookTest, EveryNamedOperationCanBeMadeToFail)
{
    world.addFolder("Inbox/Spam");
    const auto id = world.deliver("Inbox", mail("a"));
    auto inbox = folder("Inbox");
    auto items = inbox->Items();
    auto item = ns->GetItemFromID(id);
    auto wrapper = world.createSafeMailItem();
    wrapper->setItem(item);
    auto utils = world.createMAPIUtils();

    const std::map<std::string, std::function<void()>> calls{
        {"AttachmentsCount", [&] { wrapper->AttachmentsCount(); }},
        {"Body", [&] { wrapper->Body(); }},
        {"Class", [&] { item->Class(); }},
        {"Cleanup", [&] { utils->Cleanup(); }},
        {"Count", [&] { items->Count(); }},
        {"CreateMAPIUtils", [&] { world.createMAPIUtils(); }},
        {"CreateOutlookApplication", [&] { world.createOutlookApplication(); }},
        {"CreateSafeMailItem", [&] { world.createSafeMailItem(); }},
        {"DefaultMessageClass", [&] { inbox->DefaultMessageClass(); }},
        {"Delete", [&] { ns->GetItemFromID(world.deliver("Inbox/Spam", mail("d")))->Delete(); }},
        {"Display", [&] { item->Display(); }},
        {"EntryID", [&] { item->EntryID(); }},
        {"Fields", [&] { wrapper->Fields(mapi::PR_SUBJECT); }},
        {"Forward", [&] { item->Forward(); }},
        {"GetDefaultFolder", [&] { ns->GetDefaultFolder(outlook::olFolderInbox); }},
        {"GetFolderFromID", [&] { folder("Inbox"); }},
        {"GetItemFromID", [&] { ns->GetItemFromID(id); }},
        {"GetNamespace", [&] { app->GetNamespace("MAPI"); }},
        {"Items", [&] { inbox->Items(); }},
        {"Name", [&] { inbox->Name(); }},
        {"Parent", [&] { item->Parent(); }},
        {"PickFolder", [&] { ns->PickFolder(); }},
        {"ReceivedTime", [&] { item->ReceivedTime(); }},
        {"Reply", [&] { item->Reply(); }},
        {"SenderName", [&] { wrapper->SenderName(); }},
        {"Sent", [&] { item->Sent(); }},
        {"Size", [&] { item->Size(); }},
        {"StoreID", [&] { inbox->StoreID(); }},
        {"Subject", [&] { item->Subject(); }},
        {"UnRead", [&] { item->setUnRead(true); }},
        {"UnReadItemCount", [&] { inbox->UnReadItemCount(); }},
        {"asMailItem", [&] { item->asMailItem(); }},
        {"item", [&] { wrapper->item(); }},
        {"setItem", [&] { wrapper->setItem(item); }},
    };
    const auto names = SimOutlook::operationNames();
    ASSERT_EQ(names.size(), calls.size());
    auto call = calls.begin();
    for (const auto name : names) {
        // The table above is sorted the same way, so this also checks the order of the names.
        ASSERT_EQ(name, call->first);
        const std::string op(name);
        world.faults().fail(op, 2);
        EXPECT_THROW(call->second(), Failure) << op;
        EXPECT_THROW(call->second(), Failure) << op;
        EXPECT_NO_THROW(call->second()) << op;
        ++call;
    }
    // Only the call that went through counts.
    EXPECT_EQ(world.cleanupCount(), 1);

    // A failed call does nothing: no display counted, no window, no item moved.
    int windows = 0;
    world.observers().displayed = [&](const std::string&, const std::string&) { ++windows; };
    const int displayed = world.item(id)->displayed;
    world.faults().fail("Display");
    EXPECT_THROW(item->Display(), Failure);
    world.faults().fail("Delete");
    EXPECT_THROW(item->Delete(), Failure);
    EXPECT_EQ(world.item(id)->displayed, displayed);
    EXPECT_EQ(windows, 0);
    EXPECT_EQ(world.item(id)->folderPath, "Inbox");
}

TEST_F(OutlookTest, PickFolderAnswersOnce)
{
    world.addFolder("Inbox/Spam");
    EXPECT_EQ(ns->PickFolder(), nullptr);
    world.setPickFolderAnswer("Inbox/Spam");
    auto picked = ns->PickFolder();
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->EntryID(), world.folderEntryID("Inbox/Spam"));
    EXPECT_EQ(ns->PickFolder(), nullptr);
    world.setPickFolderAnswer("Inbox/Spam");
    world.setPickFolderAnswer(std::nullopt);
    EXPECT_EQ(ns->PickFolder(), nullptr);
}

TEST(SimOutlookLifetime, ObjectsOutlivingTheWorldFailQuietly)
{
    SimLoop loop;
    std::shared_ptr<outlook::Item> item;
    std::shared_ptr<mapi::SafeMailItem> wrapper;
    std::unique_ptr<Connection> connection;
    int heard = 0;
    {
        SimOutlook world(loop, loop);
        world.start();
        auto ns = world.createOutlookApplication()->GetNamespace("MAPI");
        connection = ns->GetDefaultFolder(outlook::olFolderInbox)->Items()->advise(
            {[&](std::shared_ptr<outlook::Item>) { ++heard; }, {}, {}});
        item = ns->GetItemFromID(world.deliver("Inbox", MailSpec{}));
        wrapper = world.createSafeMailItem();
        wrapper->setItem(item);
    }
    loop.runPending();  // the ItemAdd posted before the world went away
    EXPECT_EQ(heard, 0);
    EXPECT_THROW(item->Subject(), Failure);
    EXPECT_THROW(wrapper->SenderName(), Failure);
    connection.reset();
}
