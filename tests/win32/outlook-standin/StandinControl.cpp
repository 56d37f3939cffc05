// The stand-in's control object, "OutlookStandin.Control": how tests (and a scenario runner) act
// on the stand-in's Outlook from another process, by late binding. One member per world command;
// texts are UTF-8 on our side, BSTRs on the wire. A refused command fails with DISP_E_EXCEPTION
// and the reason (an unknown folder, an item that is gone...). The server ends once its clients
// hold nothing of it: a runner keeps the control object for as long as the stand-in is to live.
// Creating it starts the stand-in (Outlook starts: its windows appear); a stand-in started after
// a quit has a fresh store. Under Wine, a stand-in killed outright leaves its class registered
// with COM for the rest of the Wine session: none can be started after it there.
//
//   AddMail(folder, [option, value]...) -> EntryID   1  a new item arrives in the folder; the
//                      options are qln-sim's `mail` options, each followed by its value:
//                      "from" ADDR, "sender-name", "pr-sender-name", "to", "subject",
//                      "pr-subject", "body", "pr-body" TEXT, "size", "attachments", "class" N,
//                      "received" DATE (or "YYYY-MM-DD HH:MM:SS"), "read", "unsent",
//                      "no-newmail" BOOL (true applies the option)
//   AddStore(name)                               2  a store opens (without folders)
//   AddFolder(path, [class], [store])            3  a folder (and missing parents); class
//                                                   "IPM.Note" unless given
//   DeleteFolder(path)                           4
//   Move(entryID, folder)                        5
//   SetUnread(entryID, unread)                   6  marks read (false) or unread (true)
//   Delete(entryID)                              7  into "Deleted Items"; from there, for good
//   Purge(entryID)                               8  gone for good
//   ItemState(entryID, field) -> value           9  field: "folder" (store-qualified outside the
//                      default store, "Archive:Inbox"), "unread", "sent", "gone", "displayed",
//                      "replies", "forwards", "subject", "class"
//   FolderEntryID(path) -> text                 10
//   FolderStoreID(path) -> text                 11
//   SetPickFolderAnswer([path])                 12  the next PickFolder's answer; none: cancel
//   Quit()                                      13  Outlook quits (Quit raised, then the server ends)
//   Calls(key) -> count                         14  object-model calls served: "MailItem.Subject",
//                      "Items.GetIDsOfNames", ...; "*" for all
//   ResetCalls()                                15
//   CallReport() -> text                        16  "Interface.Member=N" lines
//   Busy(ms, [answer])                          17  other calls are answered busy for that long:
//                      "retry" (default, SERVERCALL_RETRYLATER, Outlook showing a modal dialog:
//                      the caller's message filter retries) or "reject" (SERVERCALL_REJECTED);
//                      Wine carries out "retry" calls at once, see main.cpp
//   ProcessId -> number                         18  the server's process id
//   Title(text)                                 19  retitles Outlook's main window
//   Fail(operation, [times])                    20  the next `times` calls of the simulated
//                      Outlook's operation fail (all of them without `times`); names as
//                      SimOutlook::operationNames()
//   ClearFaults()                               21
//   IdleLimit(ms)                               22  the server ends after that long without a call
//                                                   while no event sink is connected (default
//                                                   60000; 0: never)
//   WindowOf(which) -> HWND as number           23  "main", "tray"
//   TrayIcon -> text                            24  Outlook's new-mail icon: "absent" (never
//                      shown), "shown", "removed" (shown, then removed by another program)
//   BusyAnswers -> count                        25  calls answered busy so far
//   MarkRead(entryID), MarkUnread(entryID)      26, 27  as SetUnread(entryID, false / true)
//   TrayMessages(message) -> count              28  messages of that number the hidden window
//                                                   that owns the icon received (0x407, ...)
//   ItemAddTime -> milliseconds                 29  when the last ItemAdd was raised, on the
//                      QueryPerformanceCounter clock in milliseconds (the same for every process
//                      of the machine: a client compares its own readings); 0 before the first
//   Sinks -> count                              30  event sinks connected now (a client that has
//                                                   attached to Items and the Application: 2)
//   QuitDuring(key)                             31  Outlook quits in the middle of the next
//                      object-model call of key ("MailItem.Subject"): Quit is raised while the
//                      call is served, and the call fails as one to a server that has gone
//                      (RPC_E_DISCONNECTED); then the server ends as on Quit
//   OpenOptions() -> pages                      32  Outlook's Options dialog opens: OptionsPagesAdd
//                      raised, the pages added hosted (OptionsDialog.h); the number hosted
//   Options(what) -> value                      33  the dialog as the user sees it: "open" (bool),
//                      "pages" (number hosted), "apply" (the Apply button enabled), "shown" (the
//                      shown page's index), "failed" (the pages that could not be created, one a
//                      line)
//   PageTitle(index), PageDirty(index)          34, 35  a page's tab title; its Dirty as the dialog
//                                                   last asked it
//   PressOptions(button) -> bool                36  a click on "ok", "cancel" or "apply"; false
//                                                   when the button is disabled or no dialog is open
//   CloseOptions()                              37  the dialog's close box
//   OptionsWindow(which) -> HWND as number      38  "dialog", "ok", "cancel", "apply", "page" (the
//                                                   shown page's own window); 0 when closed
//   AddIn(progId) -> text                       39  an add-in listed for start-up: "connected",
//                      "failed" (skipped), "disconnected", "" when not listed
//   PageStatusChanges(index) -> count           40  how often a page has called its site's
//                                                   OnStatusChange since the dialog created it

#include <algorithm>
#include <stdexcept>

#include "platform/Failure.h"
#include "tests/win32/outlook-standin/Standin.h"

namespace standin {

namespace {

using platform::sim::MailSpec;

std::string textOf(const Variant& value) { return value.toString(); }

platform::DateTime dateOf(const Variant& value)
{
    if (value.type() == VT_BSTR) {
        if (auto moment = platform::DateTime::parse(value.toString()))
            return *moment;
        throw std::invalid_argument("received: not a date \"" + value.toString() + "\"");
    }
    // An OLE date: whole days since 1899-12-30, to the nearest second.
    const double days = value.toDate() - 25569.0;
    return platform::DateTime::fromSeconds(static_cast<std::int64_t>(days * 86400.0 + (days < 0 ? -0.5 : 0.5)));
}

struct MailOption {
    std::string_view name;
    void (*apply)(MailSpec& mail, const Variant& value);
};

// The `mail` options of qln-sim, each with its value.
constexpr MailOption kMailOptions[] = {
    {"from", [](MailSpec& m, const Variant& v) { m.senderEmail = textOf(v); }},
    {"sender-name", [](MailSpec& m, const Variant& v) { m.senderName = textOf(v); }},
    {"pr-sender-name", [](MailSpec& m, const Variant& v) { m.prSenderName = textOf(v); }},
    {"to", [](MailSpec& m, const Variant& v) { m.to = textOf(v); }},
    {"subject", [](MailSpec& m, const Variant& v) { m.subject = textOf(v); }},
    {"pr-subject", [](MailSpec& m, const Variant& v) { m.prSubject = textOf(v); }},
    {"body", [](MailSpec& m, const Variant& v) { m.body = textOf(v); }},
    {"pr-body", [](MailSpec& m, const Variant& v) { m.prBody = textOf(v); }},
    {"size", [](MailSpec& m, const Variant& v) { m.size = v.toLong(); }},
    {"received", [](MailSpec& m, const Variant& v) { m.received = dateOf(v); }},
    {"attachments",
     [](MailSpec& m, const Variant& v) {
         if (v.toLong() < 0)
             throw std::invalid_argument("attachments: must not be negative");
         m.attachments = v.toLong();
     }},
    {"class", [](MailSpec& m, const Variant& v) { m.itemClass = v.toLong(); }},
    {"read", [](MailSpec& m, const Variant& v) { m.unread = m.unread && !v.toBool(); }},
    {"unsent", [](MailSpec& m, const Variant& v) { m.sent = m.sent && !v.toBool(); }},
    {"no-newmail", [](MailSpec& m, const Variant& v) { m.newMailEvent = m.newMailEvent && !v.toBool(); }},
};

MailSpec mailFrom(const Call& call)
{
    if ((call.args.size() - 1) % 2 != 0)
        throw std::invalid_argument("AddMail: every option needs a value");
    MailSpec mail;
    for (std::size_t i = 1; i + 1 < call.args.size(); i += 2) {
        const std::string name = call.arg(i).toString();
        const auto* option = std::find_if(std::begin(kMailOptions), std::end(kMailOptions),
                                          [&](const MailOption& o) { return o.name == name; });
        if (option == std::end(kMailOptions))
            throw std::invalid_argument("AddMail: unknown option \"" + name + "\"");
        option->apply(mail, call.arg(i + 1));
    }
    return mail;
}

Variant itemState(Standin& standin, const std::string& entryID, const std::string& field)
{
    const auto item = standin.outlook().item(entryID);
    if (!item)
        throw std::invalid_argument("no item with EntryID " + entryID);
    if (field == "folder")
        return Variant(item->storeName == standin.outlook().defaultStoreName() ? item->folderPath
                                                                             : item->storeName + ":" + item->folderPath);
    if (field == "unread")
        return Variant(item->unread);
    if (field == "sent")
        return Variant(item->sent);
    if (field == "gone")
        return Variant(item->gone);
    if (field == "displayed")
        return Variant(item->displayed);
    if (field == "replies")
        return Variant(item->replies);
    if (field == "forwards")
        return Variant(item->forwards);
    if (field == "subject")
        return Variant(item->subject);
    if (field == "class")
        return Variant(item->itemClass);
    throw std::invalid_argument("ItemState: unknown field \"" + field + "\"");
}

Variant none() { return Variant(); }

OptionsDialog::Button optionsButton(const std::string& name)
{
    if (name == "ok")
        return OptionsDialog::Button::Ok;
    if (name == "cancel")
        return OptionsDialog::Button::Cancel;
    if (name == "apply")
        return OptionsDialog::Button::Apply;
    throw std::invalid_argument("the dialog's buttons are \"ok\", \"cancel\" and \"apply\"");
}

class ControlObject final : public ServedAs<ControlObject> {
public:
    explicit ControlObject(Standin& standin);

    // Read by the member table below the class.
    platform::sim::SimOutlook& outlook() { return standin_.outlook(); }

    Standin& standin_;
};

// A page of the open dialog.
std::int32_t pageIndex(ControlObject& self, const Call& call)
{
    const std::int32_t index = call.arg(0).toLong();
    if (index < 0 || static_cast<std::size_t>(index) >= self.standin_.options().pageCount())
        throw std::invalid_argument("no page " + std::to_string(index) + " in the Options dialog");
    return index;
}

constexpr Member<ControlObject> kControlObjectMembers[] = {
    {"AddMail", 1, kMethod,
     [](ControlObject& self, const Call& call) {
         return Variant(self.outlook().deliver(call.arg(0).toString(), mailFrom(call)));
     }},
    {"AddStore", 2, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().addStore(call.arg(0).toString());
         return none();
     }},
    {"AddFolder", 3, kMethod,
     [](ControlObject& self, const Call& call) {
         const std::string messageClass = call.has(1) ? call.args[1].toString() : std::string("IPM.Note");
         const auto store = call.has(2) ? std::optional(call.args[2].toString()) : std::nullopt;
         self.outlook().addFolder(call.arg(0).toString(), messageClass, store);
         return none();
     }},
    {"DeleteFolder", 4, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().deleteFolder(call.arg(0).toString());
         return none();
     }},
    {"Move", 5, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().move(call.arg(0).toString(), call.arg(1).toString());
         return none();
     }},
    {"SetUnread", 6, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().setUnread(call.arg(0).toString(), call.arg(1).toBool());
         return none();
     }},
    {"Delete", 7, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().deleteItem(call.arg(0).toString());
         return none();
     }},
    {"Purge", 8, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().purge(call.arg(0).toString());
         return none();
     }},
    {"ItemState", 9, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         return itemState(self.standin_, call.arg(0).toString(), call.arg(1).toString());
     }},
    {"FolderEntryID", 10, kMethod | kGet,
     [](ControlObject& self, const Call& call) { return Variant(self.outlook().folderEntryID(call.arg(0).toString())); }},
    {"FolderStoreID", 11, kMethod | kGet,
     [](ControlObject& self, const Call& call) { return Variant(self.outlook().folderStoreID(call.arg(0).toString())); }},
    {"SetPickFolderAnswer", 12, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().setPickFolderAnswer(call.has(0) ? std::optional(call.args[0].toString()) : std::nullopt);
         return none();
     }},
    {"Quit", 13, kMethod,
     [](ControlObject& self, const Call&) {
         self.standin_.quit();
         return none();
     }},
    {"Calls", 14, kMethod | kGet,
     [](ControlObject& self, const Call& call) { return Variant(self.standin_.counts().of(call.arg(0).toString())); }},
    {"ResetCalls", 15, kMethod,
     [](ControlObject& self, const Call&) {
         self.standin_.counts().reset();
         return none();
     }},
    {"CallReport", 16, kMethod | kGet,
     [](ControlObject& self, const Call&) { return Variant(self.standin_.counts().report()); }},
    {"Busy", 17, kMethod,
     [](ControlObject& self, const Call& call) {
         const std::int32_t ms = call.arg(0).toLong();
         if (ms < 0)
             throw std::invalid_argument("Busy: the time must not be negative");
         const std::string answer = call.has(1) ? call.args[1].toString() : std::string("retry");
         if (answer != "retry" && answer != "reject")
             throw std::invalid_argument("Busy: the answer is \"retry\" or \"reject\"");
         self.standin_.busyFor(static_cast<std::uint32_t>(ms),
                               answer == "retry" ? Standin::Busy::RetryLater : Standin::Busy::Rejected);
         return none();
     }},
    {"ProcessId", 18, kMethod | kGet,
     [](ControlObject&, const Call&) { return Variant(static_cast<std::int32_t>(GetCurrentProcessId())); }},
    {"Title", 19, kMethod,
     [](ControlObject& self, const Call& call) {
         self.standin_.windows().retitle(call.arg(0).toString());
         return none();
     }},
    {"Fail", 20, kMethod,
     [](ControlObject& self, const Call& call) {
         const std::string operation = call.arg(0).toString();
         const auto names = platform::sim::SimOutlook::operationNames();
         if (!std::binary_search(names.begin(), names.end(), std::string_view(operation)))
             throw std::invalid_argument("Fail: unknown operation \"" + operation + "\"");
         const int times = call.has(1) ? call.args[1].toLong() : platform::sim::Faults::Always;
         self.outlook().faults().fail(operation, times);
         return none();
     }},
    {"ClearFaults", 21, kMethod,
     [](ControlObject& self, const Call&) {
         self.outlook().faults().clearAll();
         return none();
     }},
    {"IdleLimit", 22, kMethod,
     [](ControlObject& self, const Call& call) {
         const std::int32_t ms = call.arg(0).toLong();
         if (ms < 0)
             throw std::invalid_argument("IdleLimit: the time must not be negative");
         self.standin_.idleLimitMs = static_cast<std::uint32_t>(ms);
         return none();
     }},
    {"WindowOf", 23, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         const std::string which = call.arg(0).toString();
         HWND window = which == "main" ? self.standin_.windows().main()
                       : which == "tray" ? self.standin_.windows().tray()
                                         : throw std::invalid_argument("WindowOf: \"main\" or \"tray\"");
         return Variant(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)));
     }},
    {"TrayIcon", 24, kMethod | kGet,
     [](ControlObject& self, const Call&) {
         switch (self.standin_.windows().icon()) {
         case OutlookWindows::Icon::Absent:
             return Variant("absent");
         case OutlookWindows::Icon::Shown:
             return Variant("shown");
         case OutlookWindows::Icon::Removed:
             break;
         }
         return Variant("removed");
     }},
    {"BusyAnswers", 25, kMethod | kGet,
     [](ControlObject& self, const Call&) { return Variant(self.standin_.busyAnswers); }},
    {"MarkRead", 26, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().setUnread(call.arg(0).toString(), false);
         return none();
     }},
    {"MarkUnread", 27, kMethod,
     [](ControlObject& self, const Call& call) {
         self.outlook().setUnread(call.arg(0).toString(), true);
         return none();
     }},
    {"TrayMessages", 28, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         return Variant(self.standin_.windows().trayMessages(static_cast<UINT>(call.arg(0).toLong())));
     }},
    {"ItemAddTime", 29, kMethod | kGet,
     [](ControlObject& self, const Call&) { return Variant(self.standin_.itemAddRaisedMs); }},
    {"Sinks", 30, kMethod | kGet, [](ControlObject&, const Call&) { return Variant(Served::connectedSinks()); }},
    {"QuitDuring", 31, kMethod,
     [](ControlObject& self, const Call& call) {
         Standin& standin = self.standin_;
         standin.counts().quitDuring(call.arg(0).toString(), [&standin] { standin.quit(); });
         return none();
     }},
    {"OpenOptions", 32, kMethod,
     [](ControlObject& self, const Call&) {
         self.standin_.openOptions();
         return Variant(static_cast<std::int32_t>(self.standin_.options().pageCount()));
     }},
    {"Options", 33, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         const OptionsDialog& dialog = self.standin_.options();
         const std::string what = call.arg(0).toString();
         if (what == "open")
             return Variant(dialog.isOpen());
         if (what == "pages")
             return Variant(static_cast<std::int32_t>(dialog.pageCount()));
         if (what == "apply")
             return Variant(dialog.applyEnabled());
         if (what == "shown")
             return Variant(static_cast<std::int32_t>(dialog.shownPage()));
         if (what == "failed") {
             std::string lines;
             for (const std::string& page : dialog.failed())
                 lines += page + "\n";
             return Variant(lines);
         }
         throw std::invalid_argument("Options: \"open\", \"pages\", \"apply\", \"shown\" or \"failed\"");
     }},
    {"PageTitle", 34, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         return Variant(self.standin_.options().title(static_cast<std::size_t>(pageIndex(self, call))));
     }},
    {"PageDirty", 35, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         return Variant(self.standin_.options().dirty(static_cast<std::size_t>(pageIndex(self, call))));
     }},
    {"PressOptions", 36, kMethod,
     [](ControlObject& self, const Call& call) {
         return Variant(self.standin_.options().press(optionsButton(call.arg(0).toString())));
     }},
    {"CloseOptions", 37, kMethod,
     [](ControlObject& self, const Call&) {
         self.standin_.options().close();
         return none();
     }},
    {"OptionsWindow", 38, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         const OptionsDialog& dialog = self.standin_.options();
         const std::string which = call.arg(0).toString();
         const HWND window = which == "dialog" ? dialog.window()
                             : which == "page" ? dialog.pageWindow()
                                               : dialog.button(optionsButton(which));
         return Variant(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)));
     }},
    {"AddIn", 39, kMethod | kGet,
     [](ControlObject& self, const Call& call) { return Variant(self.standin_.addIns().state(call.arg(0).toString())); }},
    {"PageStatusChanges", 40, kMethod | kGet,
     [](ControlObject& self, const Call& call) {
         return Variant(self.standin_.options().statusChanges(static_cast<std::size_t>(pageIndex(self, call))));
     }},
};

ControlObject::ControlObject(Standin& standin)
    : ServedAs("Control", nullptr, kControlObjectMembers), standin_(standin)
{
}

} // namespace

ComPtr<Served> makeControl(Standin& standin)
{
    ComPtr<Served> control;
    control.Attach(new ControlObject(standin));
    return control;
}

} // namespace standin
