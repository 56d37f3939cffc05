// The Outlook stand-in from a client process: Outlook.Application and the control object created
// by their ProgIDs, the object model by Outlook's names and ids, QLN's own COM side (ComOutlook,
// ComMapi) against it, events into the client's sinks, Outlook's windows, a busy server and a
// killed one. Each test starts a stand-in of its own and ends it (Quit, or killed).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "platform/Failure.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/ComOutlook.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/EventSink.h"
#include "platform/win32/com/MessageFilter.h"

namespace {

namespace outlook = platform::outlook;
using platform::Failure;
using platform::win32::com::ComPtr;
using platform::win32::com::Dispatch;
using platform::win32::com::Variant;

constexpr IID IID_ApplicationEvents_11 = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

ComPtr<IDispatch> create(const wchar_t* progId)
{
    CLSID clsid{};
    platform::win32::com::check(CLSIDFromProgID(progId, &clsid), "CLSIDFromProgID");
    ComPtr<IDispatch> object;
    platform::win32::com::check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)),
                                "CoCreateInstance");
    return object;
}

// QueryPerformanceCounter in milliseconds, the stand-in's clock for ItemAddTime.
double counterMs()
{
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::int64_t msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// One test's COM apartment, message loop, client message filter and stand-in (its control
// object). The stand-in is made to quit at the end, killed if it will not.
class OutlookStandin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        filter_ = platform::win32::com::MessageFilter::create(3000, 100);
        registration_ = std::make_unique<platform::win32::com::MessageFilterRegistration>(filter_);
        loop_ = std::make_unique<platform::win32::Win32Loop>();
        control_ = Dispatch(create(L"OutlookStandin.Control"));
        const DWORD pid = static_cast<DWORD>(control_.get("ProcessId").toLong());
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        ASSERT_NE(process_, nullptr);
    }

    void TearDown() override
    {
        if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            platform::ignoreFailure([&] { control_.call("Quit"); });
            if (WaitForSingleObject(process_, 3000) == WAIT_TIMEOUT)
                TerminateProcess(process_, 9);
            WaitForSingleObject(process_, 3000);
        }
        if (process_)
            CloseHandle(process_);
        control_ = Dispatch();
        loop_.reset();
        registration_.reset();
        filter_.Reset();
        CoUninitialize();
    }

    // Pumps messages (events arrive so) until the condition holds, for two seconds at most.
    bool pumpUntil(const std::function<bool()>& condition)
    {
        const auto start = std::chrono::steady_clock::now();
        while (!condition()) {
            if (msSince(start) > 2000)
                return false;
            loop_->runFor(10);
        }
        return true;
    }

    // Whether the stand-in's process ends within the time. Messages are pumped meanwhile: a server
    // that ends releases its proxies of our sinks, calls our apartment has to answer.
    bool ended(DWORD ms)
    {
        const auto start = std::chrono::steady_clock::now();
        while (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            if (msSince(start) > ms)
                return false;
            loop_->runFor(10);
        }
        return true;
    }

    std::string addMail(const std::string& folder, const std::vector<Variant>& options)
    {
        std::vector<Variant> args{Variant(folder)};
        args.insert(args.end(), options.begin(), options.end());
        return control_.call("AddMail", args).toString();
    }

    Variant state(const std::string& entryID, const char* field)
    {
        return control_.call("ItemState", {Variant(entryID), Variant(field)});
    }

    ComPtr<platform::win32::com::MessageFilter> filter_;
    std::unique_ptr<platform::win32::com::MessageFilterRegistration> registration_;
    std::unique_ptr<platform::win32::Win32Loop> loop_;
    Dispatch control_;
    HANDLE process_ = nullptr;
};

// Registered by /RegServer: both classes under HKLM and the events' dispinterfaces with a type
// library, so a sink can be marshalled.
TEST(OutlookStandinRegistration, RegistersItsClassesAndTheEventsTypeLibrary)
{
    for (const wchar_t* key : {L"Software\\Classes\\Outlook.Application\\CLSID",
                               L"Software\\Classes\\OutlookStandin.Control\\CLSID",
                               L"Software\\Classes\\Interface\\{00063077-0000-0000-C000-000000000046}\\TypeLib",
                               L"Software\\Classes\\Interface\\{0006302C-0000-0000-C000-000000000046}\\TypeLib"}) {
        wchar_t value[128] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size), ERROR_SUCCESS)
            << platform::win32::toUtf8(key);
    }
}

// A client that knows only Outlook's published ids: GetIDsOfNames answers them, and calls by
// those ids alone reach the store.
TEST_F(OutlookStandin, ServesOutlooksMembersByNameWithOutlooksIds)
{
    const std::string entryID = addMail("Inbox", {"from", "zoe@example.com", "sender-name", "Zoë Quinn", "to", "Me",
                                                  "subject", "Quarterly ☃", "body", "Numbers inside", "size", 2048,
                                                  "attachments", 2, "received", "2026-03-04 05:06:07"});
    const Dispatch application(create(L"Outlook.Application"));
    struct Expected {
        const Dispatch* object;
        const char* name;
        DISPID id;
    };
    const Dispatch nameSpace(application.invoke(0x110, DISPATCH_METHOD, {Variant("MAPI")}, "GetNamespace").toDispatch());
    const Dispatch inbox(nameSpace.invoke(0x210B, DISPATCH_METHOD, {Variant(6)}, "GetDefaultFolder").toDispatch());
    const Dispatch items(inbox.invoke(0x3100, DISPATCH_PROPERTYGET, {}, "Items").toDispatch());
    const Dispatch item(nameSpace.invoke(0x2109, DISPATCH_METHOD, {Variant(entryID)}, "GetItemFromID").toDispatch());
    const Dispatch attachments(item.invoke(0xF815, DISPATCH_PROPERTYGET, {}, "Attachments").toDispatch());
    const Expected members[] = {
        {&application, "GetNamespace", 0x110}, {&application, "Session", 0xF00B}, {&application, "Quit", 0x113},
        {&nameSpace, "GetDefaultFolder", 0x210B}, {&nameSpace, "GetItemFromID", 0x2109},
        {&nameSpace, "GetFolderFromID", 0x2108}, {&nameSpace, "PickFolder", 0x210E},
        {&inbox, "Items", 0x3100}, {&inbox, "EntryID", 0xF01E}, {&inbox, "StoreID", 0x3108}, {&inbox, "Name", 0x3001},
        {&inbox, "DefaultMessageClass", 0x3107}, {&inbox, "UnReadItemCount", 0x3603}, {&items, "Count", 0x50},
        {&item, "Class", 0xF00A}, {&item, "EntryID", 0xF01E}, {&item, "Parent", 0xF001}, {&item, "UnRead", 0xF01C},
        {&item, "Sent", 0xF402}, {&item, "Size", 0x0E08}, {&item, "ReceivedTime", 0x0E06}, {&item, "Subject", 0x0037},
        {&item, "Display", 0xF0A6}, {&item, "Delete", 0xF04A}, {&item, "Reply", 0xF810}, {&item, "Forward", 0xF813},
        {&item, "SenderName", 0x0C1A}, {&item, "SenderEmailAddress", 0x0C1F}, {&item, "SenderEmailType", 0x0C1E},
        {&item, "To", 0x0E04}, {&item, "Body", 0x9100}, {&item, "Attachments", 0xF815},
        {&attachments, "Count", 0x50},
    };
    for (const auto& member : members) {
        const std::wstring name = platform::win32::toWide(member.name);
        LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
        DISPID id = 0;
        EXPECT_EQ(member.object->raw()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << member.name;
        EXPECT_EQ(id, member.id) << member.name;
    }
    // Outlook's names are not case-sensitive; names it lacks are unknown.
    LPOLESTR lower[] = {const_cast<LPOLESTR>(L"subject")};
    DISPID id = 0;
    EXPECT_EQ(item.raw()->GetIDsOfNames(IID_NULL, lower, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 0x0037);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"HTMLBodyX")};
    EXPECT_EQ(item.raw()->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

    // Values by id alone.
    const auto get = [](const Dispatch& object, DISPID member) {
        return object.invoke(member, DISPATCH_PROPERTYGET, {}, "by id");
    };
    EXPECT_EQ(get(inbox, 0x3001).toString(), "Inbox");
    EXPECT_EQ(get(inbox, 0xF01E).toString(), control_.call("FolderEntryID", {Variant("Inbox")}).toString());
    EXPECT_EQ(get(items, 0x50).toLong(), 1);
    EXPECT_EQ(get(inbox, 0x3603).toLong(), 1);
    EXPECT_EQ(get(item, 0xF00A).toLong(), outlook::olMail);
    EXPECT_EQ(get(item, 0x0037).toString(), "Quarterly ☃");
    EXPECT_EQ(get(item, 0x0C1A).toString(), "Zoë Quinn");
    EXPECT_EQ(get(item, 0x0C1F).toString(), "zoe@example.com");
    EXPECT_EQ(get(item, 0x0C1E).toString(), "SMTP");
    EXPECT_EQ(get(item, 0x0E04).toString(), "Me");
    EXPECT_EQ(get(item, 0x9100).toString(), "Numbers inside");
    EXPECT_EQ(get(item, 0x0E08).toLong(), 2048);
    EXPECT_EQ(get(attachments, 0x50).toLong(), 2);
    EXPECT_EQ(get(item, 0x0E06).type(), VT_DATE);
    EXPECT_EQ(platform::win32::fromOleDate(get(item, 0x0E06).toDate()).toIsoString(), "2026-03-04 05:06:07");
    // A put by id, as VB's "item.UnRead = False".
    item.invoke(0xF01C, DISPATCH_PROPERTYPUT, {Variant(false)}, "UnRead");
    EXPECT_FALSE(state(entryID, "unread").toBool());
    EXPECT_FALSE(get(item, 0xF01C).toBool());
    // A get of a method-only member is refused, as a member that is not there.
    EXPECT_THROW(item.invoke(0xF04A, DISPATCH_PROPERTYGET, {}, "Delete"), Failure);
    EXPECT_EQ(state(entryID, "folder").toString(), "Inbox");
}

// QLN's own seam over COM against the stand-in in another process: every member it uses.
TEST_F(OutlookStandin, QlnsComSeamReadsAndActsOnTheStore)
{
    control_.call("AddFolder", {Variant("Inbox/Rules")});
    const std::string entryID = addMail("Inbox", {"from", "ann@example.com", "sender-name", "Ann", "to", "Bob",
                                                  "subject", "Lunch", "body", "At noon?", "attachments", 1});
    const std::string report = addMail("Inbox/Rules", {"class", 46, "subject", "Undeliverable", "unsent", true});

    platform::win32::ComObjectFactory com(*loop_);
    auto application = com.createOutlookApplication();
    auto nameSpace = application->GetNamespace("MAPI");
    auto inbox = nameSpace->GetDefaultFolder(outlook::olFolderInbox);
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_EQ(inbox->EntryID(), control_.call("FolderEntryID", {Variant("Inbox")}).toString());
    EXPECT_EQ(inbox->StoreID(), control_.call("FolderStoreID", {Variant("Inbox")}).toString());
    EXPECT_EQ(inbox->DefaultMessageClass(), "IPM.Note");
    EXPECT_EQ(inbox->UnReadItemCount(), 1);
    EXPECT_EQ(inbox->Items()->Count(), 1);

    auto rules = nameSpace->GetFolderFromID(control_.call("FolderEntryID", {Variant("Inbox/Rules")}).toString(),
                                            inbox->StoreID());
    EXPECT_EQ(rules->Name(), "Rules");
    auto other = nameSpace->GetItemFromID(report);
    EXPECT_EQ(other->Class(), outlook::olReport);
    EXPECT_FALSE(other->Sent());
    EXPECT_THROW(other->asMailItem(), Failure);

    auto item = nameSpace->GetItemFromID(entryID)->asMailItem();
    EXPECT_EQ(item->EntryID(), entryID);
    EXPECT_EQ(item->Parent()->EntryID(), inbox->EntryID());
    EXPECT_TRUE(item->UnRead());
    EXPECT_TRUE(item->Sent());
    EXPECT_EQ(item->Subject(), "Lunch");
    EXPECT_EQ(item->Size(), 1024);

    // The MAPI helper, ours, reads through the same members.
    auto wrapper = com.createSafeMailItem();
    wrapper->setItem(item);
    EXPECT_EQ(wrapper->SenderName(), "Ann");
    EXPECT_EQ(wrapper->Body(), "At noon?");
    EXPECT_EQ(wrapper->AttachmentsCount(), 1);
    EXPECT_EQ(wrapper->Fields(platform::mapi::PR_SENDER_EMAIL_ADDRESS), "ann@example.com");
    EXPECT_EQ(wrapper->Fields(platform::mapi::PR_DISPLAY_TO), "Bob");
    EXPECT_EQ(wrapper->Fields(platform::mapi::PR_SUBJECT), "Lunch");

    // Actions: Display opens the item's window, a displayed reply and forward count, UnRead and
    // Delete change the store.
    item->Display();
    EXPECT_NE(FindWindowW(L"rctrl_renwnd32", L"Lunch - Message"), nullptr);
    item->Reply()->Display();
    item->Forward()->Display();
    EXPECT_EQ(state(entryID, "displayed").toLong(), 1);
    EXPECT_EQ(state(entryID, "replies").toLong(), 1);
    EXPECT_EQ(state(entryID, "forwards").toLong(), 1);
    item->setUnRead(false);
    EXPECT_FALSE(state(entryID, "unread").toBool());
    item->Delete();
    EXPECT_EQ(state(entryID, "folder").toString(), "Deleted Items");
    EXPECT_EQ(inbox->Items()->Count(), 0);

    // The picker's answer, then its cancel.
    control_.call("SetPickFolderAnswer", {Variant("Inbox/Rules")});
    auto picked = nameSpace->PickFolder();
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->Name(), "Rules");
    EXPECT_EQ(nameSpace->PickFolder(), nullptr);

    // The server's refusals cross the boundary with their text.
    try {
        application->GetNamespace("OTHER");
        ADD_FAILURE() << "no Failure";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "GetNamespace failed: unknown name space type \"OTHER\". (0x80004005)");
    }
    control_.call("Purge", {Variant(entryID)});
    EXPECT_THROW(item->Subject(), Failure);
    EXPECT_THROW(nameSpace->GetItemFromID(entryID), Failure);
    control_.call("Fail", {Variant("Subject"), Variant(1)});
    auto fresh = nameSpace->GetItemFromID(report);
    EXPECT_THROW(fresh->Subject(), Failure);
    EXPECT_EQ(fresh->Subject(), "Undeliverable");
}

// ItemAdd, ItemChange, ItemRemove and NewMailEx reach sinks in the client, through QLN's seam.
TEST_F(OutlookStandin, EventsReachTheClientsSinks)
{
    control_.call("AddFolder", {Variant("Filed")});
    platform::win32::ComObjectFactory com(*loop_);
    auto application = com.createOutlookApplication();
    auto inbox = application->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    auto items = inbox->Items();
    std::vector<std::string> seen;
    outlook::ItemsEvents handlers;
    handlers.ItemAdd = [&](std::shared_ptr<outlook::Item> item) { seen.push_back("add " + item->Subject()); };
    handlers.ItemChange = [&](std::shared_ptr<outlook::Item> item) {
        seen.push_back(std::string("change ") + (item->UnRead() ? "unread" : "read"));
    };
    handlers.ItemRemove = [&] { seen.push_back("remove"); };
    auto itemsConnection = items->advise(std::move(handlers));
    auto utils = com.createMAPIUtils();
    auto newMail = utils->adviseNewMail([&](std::shared_ptr<outlook::Item> item) {
        seen.push_back("newmail " + item->Subject() + " in " + item->Parent()->Name());
    });

    // Both sinks are connected; ItemAdd's moment is read on the machine's one counter clock, so
    // it lies between the client's readings around the call that raised it.
    EXPECT_EQ(control_.get("Sinks").toLong(), 2);
    EXPECT_EQ(control_.get("ItemAddTime").toDouble(), 0.0);
    const double before = counterMs();
    const std::string first = addMail("Inbox", {"subject", "One"});
    const double after = counterMs();
    const double raised = control_.get("ItemAddTime").toDouble();
    EXPECT_LE(before, raised);
    EXPECT_LE(raised, after);
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 2; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"add One", "newmail One in Inbox"}));
    seen.clear();
    // Filed elsewhere in the default store: NewMailEx only.
    addMail("Filed", {"subject", "Two"});
    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
    control_.call("MarkRead", {Variant(first)});
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 2; }));
    control_.call("Move", {Variant(first), Variant("Filed")});
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 3; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"newmail Two in Filed", "change read", "remove"}));

    // Once the connections are gone, nothing more arrives.
    seen.clear();
    itemsConnection.reset();
    newMail.reset();
    addMail("Inbox", {"subject", "Three"});
    loop_->runFor(300);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(control_.get("Sinks").toLong(), 0);
}

// Outlook's Quit, whoever asks for it: Quit is raised on the application's sinks, then the server
// ends and every call on what the client holds fails at once.
TEST_F(OutlookStandin, QuitRaisesQuitThenEveryCallFails)
{
    auto object = platform::win32::createOutlookObject();
    auto application = platform::win32::comOutlookApplication(object.Get(), *loop_);
    auto inbox = application->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    int quits = 0;
    auto sink = platform::win32::com::EventSink::create(IID_ApplicationEvents_11);
    sink->on(0xF007, [&](const std::vector<Variant>&) { ++quits; });
    auto connection = std::make_unique<platform::win32::com::SinkConnection>(*object.Get(), sink);

    Dispatch(object).call("Quit");
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(ended(2000));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(inbox->Name(), Failure);
    EXPECT_THROW(inbox->Items(), Failure);
    EXPECT_LT(msSince(start), 1000);
    connection.reset();  // Unadvise on a gone server fails quietly
}

// The control's Quit and the user closing the main window are the same quit.
TEST_F(OutlookStandin, ClosingTheMainWindowQuitsOutlook)
{
    auto object = platform::win32::createOutlookObject();
    int quits = 0;
    auto sink = platform::win32::com::EventSink::create(IID_ApplicationEvents_11);
    sink->on(0xF007, [&](const std::vector<Variant>&) { ++quits; });
    platform::win32::com::SinkConnection connection(*object.Get(), sink);
    HWND main = FindWindowW(L"rctrl_renwnd32", L"Inbox - Microsoft Outlook");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return quits == 1; }));
    EXPECT_TRUE(ended(2000));
    EXPECT_EQ(FindWindowW(L"rctrl_renwnd32", L"Inbox - Microsoft Outlook"), nullptr);
}

// Outlook's windows: the main one, the hidden title-less owner of the new-mail icon, the icon
// once a new unread item reaches the default Inbox, and an item window per Display.
TEST_F(OutlookStandin, MakesOutlooksWindows)
{
    HWND main = FindWindowW(L"rctrl_renwnd32", L"Inbox - Microsoft Outlook");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(main), control_.call("WindowOf", {Variant("main")}).toLong());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(GetParent(main), nullptr);
    HWND tray = reinterpret_cast<HWND>(static_cast<std::intptr_t>(control_.call("WindowOf", {Variant("tray")}).toLong()));
    ASSERT_TRUE(IsWindow(tray));
    wchar_t className[64] = {};
    GetClassNameW(tray, className, 64);
    EXPECT_STREQ(className, L"rctrl_renwnd32");
    EXPECT_EQ(GetWindowTextLengthW(tray), 0);
    EXPECT_FALSE(IsWindowVisible(tray));

    // A read item, or one in another folder, shows no icon; a new unread one in the Inbox does.
    addMail("Inbox", {"subject", "Seen", "read", true});
    addMail("Sent Items", {"subject", "Mine"});
    EXPECT_EQ(control_.call("TrayIcon").toString(), "absent");
    const std::string entryID = addMail("Inbox", {"subject", "Fresh"});
    EXPECT_EQ(control_.call("TrayIcon").toString(), "shown");
    // Another program removes it as the notifier does, and tells its owner; the next new mail
    // shows it again.
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = tray;
    icon.uID = 0;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    SendMessageW(tray, WM_USER + 7, 0, 0);
    EXPECT_EQ(control_.call("TrayIcon").toString(), "removed");
    EXPECT_EQ(control_.call("TrayMessages", {Variant(WM_USER + 7)}).toLong(), 1);
    addMail("Inbox", {"subject", "Another"});
    EXPECT_EQ(control_.call("TrayIcon").toString(), "shown");

    control_.call("Title", {Variant("Calendar - Microsoft Outlook")});
    EXPECT_EQ(FindWindowW(L"rctrl_renwnd32", L"Calendar - Microsoft Outlook"), main);

    // Displaying again brings the same window up instead of a second one.
    const Dispatch nameSpace(Dispatch(create(L"Outlook.Application")).call("GetNamespace", {Variant("MAPI")}).toDispatch());
    const Dispatch item(nameSpace.call("GetItemFromID", {Variant(entryID)}).toDispatch());
    item.call("Display");
    HWND window = FindWindowW(L"rctrl_renwnd32", L"Fresh - Message");
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    item.call("Display");
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(FindWindowExW(nullptr, window, L"rctrl_renwnd32", L"Fresh - Message"), nullptr);
}

// The control's world commands, its faults and its counts of the calls served per member.
TEST_F(OutlookStandin, ControlDrivesTheStoreAndCountsCalls)
{
    control_.call("AddStore", {Variant("Archive")});
    control_.call("AddFolder", {Variant("Projects"), Variant("IPM.Post"), Variant("Archive")});
    const std::string entryID = addMail("Archive:Projects", {"subject", "Plan", "no-newmail", true});
    EXPECT_EQ(state(entryID, "folder").toString(), "Archive:Projects");
    control_.call("Move", {Variant(entryID), Variant("Inbox")});
    EXPECT_EQ(state(entryID, "folder").toString(), "Inbox");
    control_.call("Delete", {Variant(entryID)});
    EXPECT_EQ(state(entryID, "folder").toString(), "Deleted Items");
    control_.call("Delete", {Variant(entryID)});
    EXPECT_TRUE(state(entryID, "gone").toBool());
    control_.call("DeleteFolder", {Variant("Archive:Projects")});

    // Refusals name their reason.
    EXPECT_THROW(addMail("Nowhere", {}), Failure);
    EXPECT_THROW(addMail("Inbox", {"colour", "red"}), Failure);
    EXPECT_THROW(addMail("Inbox", {"subject"}), Failure);
    EXPECT_THROW(control_.call("Move", {Variant("00"), Variant("Inbox")}), Failure);
    EXPECT_THROW(control_.call("Fail", {Variant("NoSuchOperation")}), Failure);

    const std::string mail = addMail("Inbox", {"subject", "Counted"});
    const Dispatch nameSpace(Dispatch(create(L"Outlook.Application")).call("GetNamespace", {Variant("MAPI")}).toDispatch());
    const Dispatch item(nameSpace.call("GetItemFromID", {Variant(mail)}).toDispatch());
    control_.call("ResetCalls");
    item.get("Subject");
    item.get("Subject");
    item.get("UnRead");
    EXPECT_EQ(control_.call("Calls", {Variant("MailItem.Subject")}).toLong(), 2);
    EXPECT_EQ(control_.call("Calls", {Variant("MailItem.UnRead")}).toLong(), 1);
    // The Dispatch asked each name once.
    EXPECT_EQ(control_.call("Calls", {Variant("MailItem.GetIDsOfNames")}).toLong(), 2);
    EXPECT_EQ(control_.call("Calls", {Variant("*")}).toLong(), 5);
    EXPECT_EQ(control_.call("CallReport").toString(),
              "MailItem.GetIDsOfNames=2\nMailItem.Subject=2\nMailItem.UnRead=1\n");
    control_.call("ResetCalls");
    EXPECT_EQ(control_.call("Calls", {Variant("*")}).toLong(), 0);
}

// A busy Outlook (a modal dialog) answers calls "retry later": on Windows the client's filter
// retries them (Wine carries them out at once); a call it rejects fails at once, a Failure, and
// the next one after the busy time is served again. The control's own calls are never busy.
TEST_F(OutlookStandin, BusyServerAnswersCallsBusy)
{
    platform::win32::ComObjectFactory com(*loop_);
    auto inbox = com.createOutlookApplication()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_EQ(control_.call("BusyAnswers").toLong(), 0);

    control_.call("Busy", {Variant(5000)});
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_GE(control_.call("BusyAnswers").toLong(), 1);

    control_.call("Busy", {Variant(5000), Variant("reject")});
    const auto start = std::chrono::steady_clock::now();
    try {
        inbox->EntryID();
        ADD_FAILURE() << "no Failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(RPC_E_CALL_REJECTED)) << failure.what();
    }
    EXPECT_LT(msSince(start), 1000);
    EXPECT_EQ(filter_->retries(), 0);
    control_.call("Busy", {Variant(0)});
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_THROW(control_.call("Busy", {Variant(10), Variant("later")}), Failure);
}

// A client that died holding references never lets go: the server ends after the idle limit
// without a call, but not while a client waits for events.
TEST_F(OutlookStandin, IdleLimitEndsAServerNobodyCallsUnlessOneWaitsForEvents)
{
    platform::win32::ComObjectFactory com(*loop_);
    auto items = com.createOutlookApplication()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox)->Items();
    auto connection = items->advise({});
    control_.call("IdleLimit", {Variant(300)});
    EXPECT_FALSE(ended(900));
    connection.reset();
    EXPECT_TRUE(ended(2000));
}

// A stand-in killed outright: the client's calls fail at once, none hangs. (Last: Wine keeps a
// killed server's class registration, so no stand-in can be started after it in this session.)
TEST_F(OutlookStandin, KilledServerFailsEveryCallAtOnce)
{
    platform::win32::ComObjectFactory com(*loop_);
    auto inbox = com.createOutlookApplication()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    auto items = inbox->Items();
    EXPECT_EQ(items->Count(), 0);
    ASSERT_TRUE(TerminateProcess(process_, 9));
    ASSERT_TRUE(ended(2000));
    const auto start = std::chrono::steady_clock::now();
    try {
        items->Count();
        ADD_FAILURE() << "no Failure";
    } catch (const Failure& failure) {
        EXPECT_TRUE(platform::win32::com::isDisconnected(static_cast<HRESULT>(failure.number()))) << failure.what();
    }
    EXPECT_THROW(inbox->Name(), Failure);
    EXPECT_LT(msSince(start), 1000);
}

} // namespace
