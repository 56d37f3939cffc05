// The mail client: the MAPI helper library, Outlook's process and window, stores, folders, items
// arriving and changing elsewhere, fault injection, and their checks.

#include <algorithm>
#include <limits>
#include <set>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

using platform::sim::MailSpec;

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::string folderName(Runtime& rt, const platform::sim::ItemState& item)
{
    if (item.storeName == rt.mailClient().defaultStoreName())
        return item.folderPath;
    return item.storeName + ":" + item.folderPath;
}

// ---- mapi-library, outlook --------------------------------------------------------------------

Action parseMapiLibrary(Args& args)
{
    const bool present = args.choice("state", {"absent", "present"}) == "present";
    return [present](Runtime& rt) {
        rt.simOutlook();
        rt.note("world", present ? "the MAPI helper library is registered" : "the MAPI helper library is absent");
        rt.simOutlook().setMapiLibraryPresent(present);
    };
}

Action parseOutlookStart(Args&)
{
    return [](Runtime& rt) {
        auto& outlook = rt.mailClient();
        rt.note("world", "Outlook starts");
        outlook.start();
    };
}

Action parseOutlookQuit(Args&)
{
    return [](Runtime& rt) {
        auto& outlook = rt.mailClient();
        rt.note("world", "Outlook quits");
        outlook.quit();
    };
}

Action parseOutlookTitle(Args& args)
{
    const Text title = args.text("TEXT");
    return [title](Runtime& rt) {
        if (RemoteOutlook* remote = rt.world().remoteOutlook()) {
            if (!remote->running())
                throw std::invalid_argument("outlook title: Outlook is not running");
            const std::string text = rt.resolve(title);
            rt.note("world", "Outlook's main window is titled " + quoteText(text));
            remote->retitle(text);
            return;
        }
        rt.simOutlook();
        auto& desktop = rt.simDesktop();
        const platform::WindowHandle main = rt.world().outlookMainWindow();
        if (main == platform::NoWindow)
            throw std::invalid_argument("outlook title: Outlook is not running");
        const std::string text = rt.resolve(title);
        rt.note("world", "Outlook's main window is titled " + quoteText(text));
        desktop.retitle(main, text);
    };
}

// Outlook in another process, for the commands only such an Outlook can take.
RemoteOutlook& remoteOutlook(Runtime& rt)
{
    RemoteOutlook* remote = rt.world().remoteOutlook();
    if (!remote)
        throw WorldRefusal("needs Outlook in another process (the stand-in); this run is on the " +
                           std::string(rt.world().name()) + " world");
    return *remote;
}

Action parseOutlookKill(Args&)
{
    return [](Runtime& rt) {
        RemoteOutlook& remote = remoteOutlook(rt);
        rt.note("world", "Outlook's process is killed");
        remote.kill();
    };
}

Action parseOutlookBusy(Args& args)
{
    const std::int64_t ms = args.duration("DURATION");
    const std::string answer = args.atEnd() ? "reject" : args.choice("answer", {"reject", "retry"});
    return [ms, answer](Runtime& rt) {
        RemoteOutlook& remote = remoteOutlook(rt);
        rt.note("world", "Outlook answers calls busy (" + answer + ") for " + std::to_string(ms) + " ms");
        remote.busy(ms, answer);
    };
}

Action parseExpectBusyAnswers(Args& args)
{
    args.choice("'at-least'", {"at-least"});
    const auto least = static_cast<int>(args.number("N", 0, kInt32Max));
    return [least](Runtime& rt) {
        const int found = remoteOutlook(rt).busyAnswers();
        Runtime::expect(found >= least, "at least " + std::to_string(least) + " call(s) answered busy",
                        std::to_string(found));
    };
}

const CommandTable& outlookTable()
{
    static const CommandTable table(
        "outlook action",
        {
            {.name = "start", .usage = "outlook start",
             .summary = "Outlook runs: default folders, main and tray windows",
             .parse = &parseOutlookStart},
            {.name = "quit", .usage = "outlook quit", .summary = "Outlook's windows go away, its objects fail",
             .parse = &parseOutlookQuit},
            {.name = "title", .usage = "outlook title TEXT", .summary = "retitle Outlook's main window",
             .parse = &parseOutlookTitle},
            {.name = "kill", .usage = "outlook kill",
             .summary = "Outlook's process ends at once (Outlook in another process only)",
             .parse = &parseOutlookKill},
            {.name = "busy", .usage = "outlook busy DURATION [reject|retry]",
             .summary = "Outlook answers calls busy for a while (Outlook in another process only)",
             .parse = &parseOutlookBusy},
        });
    return table;
}

// ---- stores and folders -----------------------------------------------------------------------

Action parseStore(Args& args)
{
    const Text name = args.text("NAME");
    return [name](Runtime& rt) {
        const std::string store = rt.resolve(name);
        rt.mailClient();
        rt.note("world", "store " + quoteText(store) + " opens");
        rt.mailClient().addStore(store);
    };
}

Action parseFolder(Args& args)
{
    const Text path = args.text("PATH");
    std::optional<Text> messageClass;
    std::optional<Text> store;
    while (!args.atEnd()) {
        const std::string option = args.choice("option", {"class", "store"});
        std::optional<Text>& slot = option == "class" ? messageClass : store;
        if (slot)
            args.fail("folder: option '" + option + "' given twice");
        slot = args.text(option == "class" ? "CLASS" : "NAME");
    }
    return [path, messageClass, store](Runtime& rt) {
        const std::string where = rt.resolve(path);
        const std::string cls = messageClass ? rt.resolve(*messageClass) : "IPM.Note";
        const std::optional<std::string> in = store ? std::optional(rt.resolve(*store)) : std::nullopt;
        rt.mailClient();
        rt.note("world", "folder " + (in ? *in + ":" : "") + where + " (" + cls + ") created");
        rt.mailClient().addFolder(where, cls, in);
    };
}

Action parseFolderDelete(Args& args)
{
    const Text path = args.text("PATH");
    return [path](Runtime& rt) {
        const std::string where = rt.resolve(path);
        rt.mailClient();
        rt.note("world", "folder " + where + " deleted");
        rt.mailClient().deleteFolder(where);
    };
}

// ---- mail and its options -----------------------------------------------------------------------

// An arriving item as parsed: its fixed fields, and the texts that are resolved when it arrives.
struct MailDraft {
    MailSpec spec;
    std::vector<std::function<void(MailSpec&, Runtime&)>> texts;

    template <class Field>
    void text(Args& args, Field MailSpec::*field, std::string_view what)
    {
        Text value = args.text(what);
        texts.push_back([field, value](MailSpec& spec, Runtime& rt) { spec.*field = rt.resolve(value); });
    }
};

struct MailOption {
    std::string_view name;
    std::string_view usage;
    void (*parse)(Args&, MailDraft&);
};

// The `mail` options; a new one is a row here.
constexpr MailOption kMailOptions[] = {
    {"from", "from ADDR", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::senderEmail, "ADDR"); }},
    {"sender-name", "sender-name TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::senderName, "TEXT"); }},
    {"pr-sender-name", "pr-sender-name TEXT",
     [](Args& a, MailDraft& d) { d.text(a, &MailSpec::prSenderName, "TEXT"); }},
    {"to", "to TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::to, "TEXT"); }},
    {"subject", "subject TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::subject, "TEXT"); }},
    {"pr-subject", "pr-subject TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::prSubject, "TEXT"); }},
    {"body", "body TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::body, "TEXT"); }},
    {"pr-body", "pr-body TEXT", [](Args& a, MailDraft& d) { d.text(a, &MailSpec::prBody, "TEXT"); }},
    {"size", "size N",
     [](Args& a, MailDraft& d) { d.spec.size = static_cast<std::int32_t>(a.number("N", kInt32Min, kInt32Max)); }},
    {"received", "received DATETIME", [](Args& a, MailDraft& d) { d.spec.received = a.dateTime("DATETIME"); }},
    {"attachments", "attachments N",
     [](Args& a, MailDraft& d) { d.spec.attachments = static_cast<std::int32_t>(a.number("N", 0, kInt32Max)); }},
    {"class", "class N",
     [](Args& a, MailDraft& d) { d.spec.itemClass = static_cast<std::int32_t>(a.number("N", kInt32Min, kInt32Max)); }},
    {"read", "read", [](Args&, MailDraft& d) { d.spec.unread = false; }},
    {"unsent", "unsent", [](Args&, MailDraft& d) { d.spec.sent = false; }},
    {"no-newmail", "no-newmail", [](Args&, MailDraft& d) { d.spec.newMailEvent = false; }},
};

Action parseMail(Args& args)
{
    const Token* refToken = args.peek();
    const std::string ref = args.word("REF");
    if (!Lexer::isName(ref))
        args.failAt(*refToken, "mail: REF '" + ref + "' may hold only letters, digits, '_', '-' and '.'");
    ParseState& state = args.state();
    if (const auto it = state.items.find(ref); it != state.items.end())
        args.failAt(*refToken, "mail: item '" + ref + "' is already named at line " + std::to_string(it->second));
    args.choice("'in'", {"in"});
    const Text path = args.text("PATH");

    MailDraft draft;
    std::set<std::string_view> given;
    while (!args.atEnd()) {
        const Token* token = args.peek();
        const std::string name = args.word("option");
        const auto* option = std::find_if(std::begin(kMailOptions), std::end(kMailOptions),
                                          [&](const MailOption& o) { return o.name == name; });
        if (option == std::end(kMailOptions)) {
            std::string names;
            for (const MailOption& o : kMailOptions)
                appendListItem(names, o.name);
            args.failAt(*token, "mail: unknown option '" + token->source + "' (" + names + ")");
        }
        if (!given.insert(option->name).second)
            args.failAt(*token, "mail: option '" + name + "' given twice");
        option->parse(args, draft);
    }
    // Named only now: the line's own options cannot refer to the item before it exists.
    state.items.emplace(ref, state.line);

    return [ref, path, draft](Runtime& rt) {
        MailSpec spec = draft.spec;
        for (const auto& apply : draft.texts)
            apply(spec, rt);
        const std::string folder = rt.resolve(path);
        rt.mailClient();
        rt.note("world", "mail " + ref + " arrives in " + folder + ": " + quoteText(spec.subject) +
                             (spec.senderEmail.empty() ? "" : " from " + spec.senderEmail));
        rt.nameItem(ref, rt.mailClient().deliver(folder, spec));
    };
}

// ---- items changing elsewhere ----------------------------------------------------------------------

Action parseMove(Args& args)
{
    const std::string ref = args.itemRef("REF");
    const Text path = args.text("PATH");
    return [ref, path](Runtime& rt) {
        const std::string folder = rt.resolve(path);
        rt.mailClient();
        rt.note("world", "item " + ref + " moved to " + folder);
        rt.mailClient().move(rt.itemID(ref), folder);
    };
}

template <void (*change)(Runtime&, const std::string& entryID)>
Action parseItemChange(Args& args)
{
    const std::string ref = args.itemRef("REF");
    return [ref](Runtime& rt) { change(rt, ref); };
}

void markRead(Runtime& rt, const std::string& ref)
{
    rt.mailClient();
    rt.note("world", "item " + ref + " marked read");
    rt.mailClient().setUnread(rt.itemID(ref), false);
}

void markUnread(Runtime& rt, const std::string& ref)
{
    rt.mailClient();
    rt.note("world", "item " + ref + " marked unread");
    rt.mailClient().setUnread(rt.itemID(ref), true);
}

void deleteElsewhere(Runtime& rt, const std::string& ref)
{
    rt.mailClient();
    rt.note("world", "item " + ref + " deleted (moved to Deleted Items)");
    rt.mailClient().deleteItem(rt.itemID(ref));
}

void purgeItem(Runtime& rt, const std::string& ref)
{
    rt.mailClient();
    rt.note("world", "item " + ref + " purged");
    rt.mailClient().purge(rt.itemID(ref));
}

Action parsePickFolder(Args& args)
{
    if (args.accept("cancel"))
        return [](Runtime& rt) {
            rt.mailClient();
            rt.note("world", "the next folder picker will be cancelled");
            rt.mailClient().setPickFolderAnswer(std::nullopt);
        };
    const Text path = args.text("PATH");
    return [path](Runtime& rt) {
        const std::string folder = rt.resolve(path);
        rt.mailClient();
        rt.note("world", "the next folder picker will answer " + folder);
        rt.mailClient().setPickFolderAnswer(folder);
    };
}

// ---- faults ----------------------------------------------------------------------------------------

// Who fails an operation: a new simulated component with faults is a row here.
struct FaultSource {
    std::string_view owner;
    std::span<const std::string_view> (*names)();
    FaultTarget target;
};

std::span<const std::string_view> registryOperations()
{
    static constexpr std::string_view kNames[] = {"RegCreateKey", "RegOpenKey", "RegQueryValueEx", "RegSetValueEx"};
    return kNames;
}

std::span<const std::string_view> fileOperations()
{
    static constexpr std::string_view kNames[] = {"createFolder", "deleteFile", "readFirstLine", "replaceFile",
                                                  "writeFile"};
    return kNames;
}

constexpr FaultSource kFaultSources[] = {
    {"Outlook and the MAPI helper", &platform::sim::SimOutlook::operationNames, FaultTarget::Outlook},
    {"the desktop", &platform::sim::SimDesktop::operationNames, FaultTarget::Desktop},
    {"the registry", &registryOperations, FaultTarget::Registry},
    {"the file system", &fileOperations, FaultTarget::Files},
};

Action parseFail(Args& args)
{
    const Token* token = args.peek();
    const std::string operation = args.word("OPERATION");
    const FaultSource* source = nullptr;
    for (const FaultSource& s : kFaultSources) {
        const auto names = s.names();
        if (!source && std::find(names.begin(), names.end(), operation) != names.end())
            source = &s;
    }
    if (!source)
        args.failAt(*token, "fail: unknown operation '" + operation + "' (qln-sim --help lists them)");
    int times = platform::sim::Faults::Always;
    if (args.accept("times"))
        times = static_cast<int>(args.number("N", 0, kInt32Max));
    return [source, operation, times](Runtime& rt) {
        platform::sim::Faults& faults = rt.faults(source->target);
        if (times == 0) {
            faults.clear(operation);
            rt.note("world", operation + " no longer fails");
            return;
        }
        faults.fail(operation, times);
        rt.note("world", operation + (times == platform::sim::Faults::Always
                                          ? std::string(" fails from now on")
                                          : " fails the next " + std::to_string(times) + " time(s)"));
    };
}

// ---- checks ------------------------------------------------------------------------------------------

struct ItemCondition {
    std::string_view name;
    bool (*holds)(const platform::sim::ItemState&);
};
constexpr ItemCondition kItemConditions[] = {
    {"read", [](const platform::sim::ItemState& s) { return !s.gone && !s.unread; }},
    {"unread", [](const platform::sim::ItemState& s) { return !s.gone && s.unread; }},
    {"displayed", [](const platform::sim::ItemState& s) { return s.displayed > 0; }},
    {"replied", [](const platform::sim::ItemState& s) { return s.replies > 0; }},
    {"forwarded", [](const platform::sim::ItemState& s) { return s.forwards > 0; }},
    {"gone", [](const platform::sim::ItemState& s) { return s.gone; }},
};

std::string describeItemState(Runtime& rt, const platform::sim::ItemState& s)
{
    if (s.gone)
        return "gone";
    std::string out = std::string(s.unread ? "unread" : "read") + " in " + folderName(rt, s);
    out += s.displayed ? ", displayed " + std::to_string(s.displayed) + "x" : ", not displayed";
    out += s.replies ? ", replied " + std::to_string(s.replies) + "x" : ", not replied";
    out += s.forwards ? ", forwarded " + std::to_string(s.forwards) + "x" : ", not forwarded";
    return out;
}

Action parseExpectItem(Args& args)
{
    const std::string ref = args.itemRef("REF");
    if (args.accept("in")) {
        const Text path = args.text("PATH");
        return [ref, path](Runtime& rt) {
            auto& outlook = rt.mailClient();
            const std::string where = rt.resolve(path);
            const auto state = outlook.item(rt.itemID(ref));
            const bool exists = outlook.folderExists(where);
            const bool held = exists && state && !state->gone && state->folderEntryID == outlook.folderEntryID(where);
            Runtime::expect(held, "in " + where + (exists ? "" : " (no such folder)"),
                            state && !state->gone ? "in " + folderName(rt, *state) : "gone");
        };
    }
    const bool negated = args.accept("not");
    const Token* token = args.peek();
    const std::string name = args.word("state");
    const auto* condition = std::find_if(std::begin(kItemConditions), std::end(kItemConditions),
                                         [&](const ItemCondition& c) { return c.name == name; });
    if (condition == std::end(kItemConditions))
        args.failAt(*token, "expect item: unknown state '" + name +
                                "' (read, unread, displayed, replied, forwarded, gone, or in PATH)");
    return [ref, negated, condition](Runtime& rt) {
        const auto state = rt.mailClient().item(rt.itemID(ref));
        const bool holds = state && condition->holds(*state);
        Runtime::expect(holds != negated, (negated ? "not " : "") + std::string(condition->name),
                        state ? describeItemState(rt, *state) : "no such item");
    };
}

std::string describeShowState(platform::sim::ShowState state)
{
    switch (state) {
    case platform::sim::ShowState::Hidden: return "hidden";
    case platform::sim::ShowState::Restored: return "restored";
    case platform::sim::ShowState::Maximized: return "maximized";
    case platform::sim::ShowState::Minimized: return "minimized";
    }
    return "?";
}

Action parseExpectOutlook(Args& args)
{
    args.choice("'window'", {"window"});
    const std::string what = args.choice("state", {"maximized", "restored", "front"});
    return [what](Runtime& rt) {
        auto& world = rt.world();
        if (RemoteOutlook* remote = world.remoteOutlook()) {
            const platform::WindowHandle main = world.outlookMainWindow();
            if (main == platform::NoWindow)
                Runtime::expect(false, "Outlook's window " + what, "Outlook not running");
            if (what == "front") {
                const platform::WindowHandle front = world.front();
                Runtime::expect(front == main, "Outlook's window in front", rt.describeWindow(front) + " in front");
                return;
            }
            const auto state = remote->mainWindowState();
            const auto wanted =
                what == "maximized" ? platform::sim::ShowState::Maximized : platform::sim::ShowState::Restored;
            Runtime::expect(state == wanted, "Outlook's window " + what, describeShowState(state));
            return;
        }
        rt.simOutlook();
        auto& desktop = rt.simDesktop();
        const platform::WindowHandle main = world.outlookMainWindow();
        if (main == platform::NoWindow)
            Runtime::expect(false, "Outlook's window " + what, "Outlook not running");
        if (what == "front") {
            const platform::WindowHandle front = world.front();
            Runtime::expect(front == main, "Outlook's window in front", rt.describeWindow(front) + " in front");
            return;
        }
        const auto state = desktop.showState(main);
        const auto wanted =
            what == "maximized" ? platform::sim::ShowState::Maximized : platform::sim::ShowState::Restored;
        Runtime::expect(state == wanted, "Outlook's window " + what, describeShowState(state));
    };
}

std::string describeTrayIcon(platform::sim::TrayIconState state)
{
    switch (state) {
    case platform::sim::TrayIconState::Absent: return "absent (never shown)";
    case platform::sim::TrayIconState::Shown: return "shown";
    case platform::sim::TrayIconState::Removed: return "removed";
    }
    return "?";
}

Action parseExpectTrayIcon(Args& args)
{
    const std::string what = args.choice("state", {"shown", "removed", "absent"});
    const auto wanted = what == "shown"     ? platform::sim::TrayIconState::Shown
                        : what == "removed" ? platform::sim::TrayIconState::Removed
                                            : platform::sim::TrayIconState::Absent;
    return [what, wanted](Runtime& rt) {
        if (RemoteOutlook* remote = rt.world().remoteOutlook()) {
            const auto state = remote->trayIcon();
            Runtime::expect(state == wanted, "Outlook's new-mail tray icon " + what,
                            remote->running() ? describeTrayIcon(state) : "Outlook not running");
            return;
        }
        rt.simOutlook();
        auto& desktop = rt.worldDesktop();
        const platform::WindowHandle tray = rt.world().outlookTrayWindow();
        const auto state = tray == platform::NoWindow ? platform::sim::TrayIconState::Absent
                                                      : desktop.trayIcon(tray, 0);
        Runtime::expect(state == wanted, "Outlook's new-mail tray icon " + what,
                        tray == platform::NoWindow ? "Outlook not running" : describeTrayIcon(state));
    };
}

Action parseExpectOutlookMessage(Args& args)
{
    const auto message =
        static_cast<std::uint32_t>(args.number("MESSAGE", 0, std::numeric_limits<std::uint32_t>::max()));
    const auto count = static_cast<int>(args.number("COUNT", 0, kInt32Max));
    return [message, count](Runtime& rt) {
        if (RemoteOutlook* remote = rt.world().remoteOutlook()) {
            if (!remote->running())
                Runtime::expect(false, std::to_string(count) + " message(s)", "Outlook not running");
            const int found = remote->trayMessages(message);
            Runtime::expect(found == count, std::to_string(count) + " message(s)", std::to_string(found));
            return;
        }
        rt.simOutlook();
        auto& desktop = rt.simDesktop();
        const platform::WindowHandle tray = rt.world().outlookTrayWindow();
        if (tray == platform::NoWindow)
            Runtime::expect(false, std::to_string(count) + " message(s)", "Outlook not running");
        const int found = desktop.messageCount(tray, message);
        Runtime::expect(found == count, std::to_string(count) + " message(s)", std::to_string(found));
    };
}

} // namespace

std::vector<std::string> faultOperations()
{
    std::vector<std::string> out;
    for (const FaultSource& source : kFaultSources)
        for (std::string_view name : source.names())
            out.emplace_back(name);
    return out;
}

std::string faultOperationsHelp()
{
    std::string out = "Operations `fail` knows (names are case-sensitive):\n";
    for (const FaultSource& source : kFaultSources) {
        std::string line = "  " + std::string(source.owner) + ":";
        std::string all;
        for (std::string_view name : source.names()) {
            if (line.size() + name.size() + 1 > 110) {
                appendListItem(all, line, "\n");
                line = "   ";
            }
            line += " ";
            line += name;
        }
        appendListItem(all, line, "\n");
        out += all + "\n";
    }
    return out;
}

std::vector<CommandSpec> mailCommands()
{
    return {
        {.name = "mapi-library", .usage = "mapi-library absent|present",
         .summary = "whether the maker's MAPI helper library is registered", .parse = &parseMapiLibrary,
         .beforeStart = true},
        {.name = "outlook", .sub = &outlookTable()},
        {.name = "store", .usage = "store NAME", .summary = "open another store (without folders)",
         .parse = &parseStore},
        {.name = "folder", .usage = "folder PATH [class CLASS] [store NAME]",
         .summary = "create a folder (default class IPM.Note, default store)", .parse = &parseFolder},
        {.name = "folder-delete", .usage = "folder-delete PATH", .summary = "the folder and its items are gone",
         .parse = &parseFolderDelete},
        {.name = "mail",
         .usage = "mail REF in PATH [option ...]\n"
                  "  options: from ADDR, sender-name TEXT, pr-sender-name TEXT, to TEXT,\n"
                  "  subject TEXT, pr-subject TEXT, body TEXT, pr-body TEXT, size N, received DATETIME,\n"
                  "  attachments N, class N, read, unsent, no-newmail",
         .summary = "an item arrives; options below",
         .parse = &parseMail},
        {.name = "move", .usage = "move REF PATH", .summary = "Outlook moves the item", .parse = &parseMove},
        {.name = "mark-read", .usage = "mark-read REF", .summary = "the item is read elsewhere",
         .parse = &parseItemChange<&markRead>},
        {.name = "mark-unread", .usage = "mark-unread REF", .summary = "the item is marked unread elsewhere",
         .parse = &parseItemChange<&markUnread>},
        {.name = "delete", .usage = "delete REF", .summary = "the item is deleted elsewhere (to Deleted Items)",
         .parse = &parseItemChange<&deleteElsewhere>},
        {.name = "purge", .usage = "purge REF", .summary = "the item is removed for good",
         .parse = &parseItemChange<&purgeItem>},
        {.name = "pick-folder", .usage = "pick-folder PATH\npick-folder cancel",
         .summary = "the answer of Outlook's next folder picker", .parse = &parsePickFolder},
        {.name = "fail", .usage = "fail OPERATION [times N]",
         .summary = "the next N calls (default all; 0 stops) of an operation fail", .parse = &parseFail},
    };
}

std::vector<CommandSpec> mailChecks()
{
    return {
        {.name = "item",
         .usage = "expect item REF [not] read|unread|displayed|replied|forwarded|gone\nexpect item REF in PATH",
         .summary = "an item's state or folder", .parse = &parseExpectItem},
        {.name = "outlook", .usage = "expect outlook window maximized|restored|front",
         .summary = "Outlook's main window", .parse = &parseExpectOutlook},
        {.name = "tray-icon", .usage = "expect tray-icon shown|removed|absent",
         .summary = "Outlook's new-mail tray icon", .parse = &parseExpectTrayIcon},
        {.name = "busy-answers", .usage = "expect busy-answers at-least N",
         .summary = "calls Outlook answered busy (Outlook in another process only)",
         .parse = &parseExpectBusyAnswers},
        {.name = "outlook-message", .usage = "expect outlook-message MESSAGE COUNT",
         .summary = "messages Outlook's tray-owner window received (0x407)", .parse = &parseExpectOutlookMessage},
    };
}

} // namespace qln::runner
