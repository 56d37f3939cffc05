// The notifier: `start`, and the checks of its life, its popup and its own state.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "notifier/window/frmNewMail.h"

namespace qln::runner {

namespace {

Action parseStart(Args& args)
{
    ParseState& state = args.state();
    if (state.startLine)
        args.fail("start: the notifier already started at line " + std::to_string(*state.startLine) +
                  " (it starts once a scenario)");
    state.startLine = state.line;
    return [](Runtime& rt) { rt.startNotifier(); };
}

// ---- running, ended, popup --------------------------------------------------------------------------

// QLN.exe in another process: whether it runs, and how it ended.
std::string describeProcess(const NotifierProcess& process)
{
    if (!process.started())
        return "it never started";
    if (const auto code = process.exitCode())
        return "it has ended (exit code " + std::to_string(*code) + ")";
    return "it runs";
}

Action parseExpectRunning(Args&)
{
    return [](Runtime& rt) {
        if (const NotifierProcess* process = rt.notifierProcess()) {
            Runtime::expect(process->running(), "the notifier running", describeProcess(*process));
            return;
        }
        const frmNewMail* popup = rt.notifier();
        Runtime::expect(popup && popup->Loaded(), "the notifier running", popup ? "it has ended" : "it never started");
    };
}

Action parseExpectEnded(Args& args)
{
    // `status N`: the program's exit status too (0 after Outlook went, 1 when it could not start).
    std::optional<int> status;
    if (args.accept("status"))
        status = static_cast<int>(args.number("N", 0, 255));
    return [status](Runtime& rt) {
        if (const NotifierProcess* process = rt.notifierProcess()) {
            const auto code = process->exitCode();
            Runtime::expect(process->started() && code, "the notifier ended", describeProcess(*process));
            if (status)
                Runtime::expect(*code == *status, "exit status " + std::to_string(*status),
                                "exit status " + std::to_string(*code));
            return;
        }
        const frmNewMail* popup = rt.notifier();
        Runtime::expect(popup && !popup->Loaded(), "the notifier ended", popup ? "it runs" : "it never started");
        if (status)
            Runtime::expect(rt.notifierExitStatus() == *status, "exit status " + std::to_string(*status),
                            "exit status " + std::to_string(rt.notifierExitStatus()));
    };
}

template <bool visible>
Action parseExpectPopup(Args&)
{
    return [](Runtime& rt) {
        if (const NotifierProcess* process = rt.notifierProcess()) {
            // QLN.exe's popup is its window: shown is visible on the desktop.
            const platform::WindowHandle window = rt.popupWindow();
            const bool shown = window != platform::NoWindow && rt.world().visible(window);
            Runtime::expect(shown == visible, visible ? "the popup visible" : "the popup hidden",
                            !process->running() ? "no popup (" + describeProcess(*process) + ")"
                            : shown             ? "the popup visible"
                                                : "the popup hidden");
            return;
        }
        const frmNewMail* popup = rt.notifier();
        const bool shown = popup && popup->Visible();
        Runtime::expect(shown == visible, visible ? "the popup visible" : "the popup hidden",
                        !popup           ? "no popup (the notifier never started)"
                        : !popup->Loaded() ? "no popup (the notifier has ended)"
                        : shown          ? "the popup visible"
                                         : "the popup hidden");
    };
}

// The popup's window for a check of its look, or a CheckFailure saying why there is none.
platform::WindowHandle popupWindowFor(Runtime& rt, const std::string& expected)
{
    const frmNewMail* popup = rt.notifier();
    const platform::WindowHandle window = rt.popupWindow();
    if (window == platform::NoWindow && rt.notifierProcess())
        Runtime::expect(false, expected, "no popup (" + describeProcess(*rt.notifierProcess()) + ")");
    if (window == platform::NoWindow)
        Runtime::expect(false, expected,
                        !popup ? "no popup (the notifier never started)" : "no popup (the notifier has ended)");
    return window;
}

std::string describeAlpha(std::optional<int> alpha)
{
    return alpha ? "alpha " + std::to_string(*alpha) : std::string("opaque");
}

Action parseExpectPopupBounds(Args& args)
{
    const auto left = static_cast<int>(args.number("LEFT", -100'000, 100'000));
    const auto top = static_cast<int>(args.number("TOP", -100'000, 100'000));
    const auto width = static_cast<int>(args.number("WIDTH", 0, 100'000));
    const auto height = static_cast<int>(args.number("HEIGHT", 0, 100'000));
    return [want = platform::WindowRect{left, top, width, height}](Runtime& rt) {
        const auto describe = [](const platform::WindowRect& r) {
            return "bounds " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) +
                   " " + std::to_string(r.height);
        };
        const platform::WindowRect found = rt.world().bounds(popupWindowFor(rt, describe(want)));
        Runtime::expect(found == want, describe(want), describe(found));
    };
}

Action parseExpectPopupAlpha(Args& args)
{
    const auto alpha = static_cast<int>(args.number("N", 0, 255));
    return [alpha](Runtime& rt) {
        const std::string want = describeAlpha(alpha);
        const std::optional<int> found = rt.world().alpha(popupWindowFor(rt, want));
        Runtime::expect(found == alpha, want, describeAlpha(found));
    };
}

Action parseExpectPopupOpaque(Args&)
{
    return [](Runtime& rt) {
        const std::optional<int> found = rt.world().alpha(popupWindowFor(rt, "opaque"));
        Runtime::expect(!found, "opaque", describeAlpha(found));
    };
}

Action parseExpectPopupTopmost(Args&)
{
    return [](Runtime& rt) {
        const bool topmost = rt.world().topmost(popupWindowFor(rt, "topmost"));
        Runtime::expect(topmost, "topmost", "not topmost");
    };
}

const CommandTable& popupChecks()
{
    static const CommandTable table(
        "popup check",
        {
            {.name = "visible", .usage = "expect popup visible", .summary = "the popup is on screen",
             .parse = &parseExpectPopup<true>},
            {.name = "hidden", .usage = "expect popup hidden", .summary = "the popup is not on screen",
             .parse = &parseExpectPopup<false>},
            {.name = "bounds", .usage = "expect popup bounds LEFT TOP WIDTH HEIGHT",
             .summary = "its window's place and size in pixels", .parse = &parseExpectPopupBounds},
            {.name = "alpha", .usage = "expect popup alpha N", .summary = "translucent with alpha N (0 to 255)",
             .parse = &parseExpectPopupAlpha},
            {.name = "opaque", .usage = "expect popup opaque", .summary = "not translucent",
             .parse = &parseExpectPopupOpaque},
            {.name = "topmost", .usage = "expect popup topmost", .summary = "above the windows that are not",
             .parse = &parseExpectPopupTopmost},
        });
    return table;
}

// ---- state --------------------------------------------------------------------------------------------

std::string entries(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& entry : list)
        out += entry + "|";
    return out;
}

std::string slotText(const std::array<std::string, kSlotTableSize>& table, int index)
{
    return table[static_cast<std::size_t>(index)];
}

// One name of the notifier's state: how its value is written, and how it is read (`index` only
// for the tables, history[N] and delayed[N]).
struct StateName {
    std::string_view name;
    ValueKind kind;
    bool indexed;
    std::string (*read)(const NotifierState&, int index);
};

constexpr StateName kStateNames[] = {
    {"CurrentSlot", ValueKind::Number, false,
     [](const NotifierState& s, int) { return std::to_string(s.CurrentSlot); }},
    {"NewestSlot", ValueKind::Number, false, [](const NotifierState& s, int) { return std::to_string(s.NewestSlot); }},
    {"DelayWriteIndex", ValueKind::Number, false,
     [](const NotifierState& s, int) { return std::to_string(s.DelayWriteIndex); }},
    {"DelayReadIndex", ValueKind::Number, false,
     [](const NotifierState& s, int) { return std::to_string(s.DelayReadIndex); }},
    {"DelayTicks", ValueKind::Number, false, [](const NotifierState& s, int) { return std::to_string(s.DelayTicks); }},
    {"DelayCountdown", ValueKind::Number, false,
     [](const NotifierState& s, int) { return std::to_string(s.DelayCountdown); }},
    {"SummaryOnlyShown", ValueKind::Boolean, false,
     [](const NotifierState& s, int) { return std::string(s.SummaryOnlyShown ? "true" : "false"); }},
    {"ShowNoMoreMessage", ValueKind::Boolean, false,
     [](const NotifierState& s, int) { return std::string(s.ShowNoMoreMessage ? "true" : "false"); }},
    {"pinned", ValueKind::Boolean, false,
     [](const NotifierState& s, int) { return std::string(s.Pinned ? "true" : "false"); }},
    // The countdown and the sweep are not built yet: nothing counts, so both read 0.
    {"secondsleft", ValueKind::Number, false, [](const NotifierState& s, int) { return std::to_string(s.SecondsLeft); }},
    {"SweepTicks", ValueKind::Number, false, [](const NotifierState& s, int) { return std::to_string(s.SweepTicks); }},
    {"history", ValueKind::Text, true, [](const NotifierState& s, int i) { return slotText(s.HistoryEntryID, i); }},
    {"delayed", ValueKind::Text, true, [](const NotifierState& s, int i) { return slotText(s.DelayedEntryID, i); }},
    {"blist", ValueKind::Text, false, [](const NotifierState& s, int) { return entries(s.BList); }},
    {"wlist", ValueKind::Text, false, [](const NotifierState& s, int) { return entries(s.WList); }},
};

std::string stateNames()
{
    std::string out;
    for (const StateName& n : kStateNames)
        appendListItem(out, std::string(n.name) + (n.indexed ? "[N]" : ""));
    return out;
}

// How a value reads in a message; an item's EntryID also names the item.
std::string describeStateValue(Runtime& rt, const std::string& value, ValueKind kind)
{
    if (kind != ValueKind::Text)
        return value;
    const std::string item = value.empty() ? value : rt.describeItem(value);
    return quoteText(value) + (item != value ? " (item " + item + ")" : "");
}

Action parseExpectState(Args& args)
{
    const Token* token = args.peek();
    const std::string written = args.word("NAME");
    std::string_view base = written;
    std::optional<int> index;
    if (const std::size_t open = written.find('['); open != std::string::npos && written.ends_with(']')) {
        base = std::string_view(written).substr(0, open);
        const auto n = parseNumber(std::string_view(written).substr(open + 1, written.size() - open - 2));
        index = n && *n >= 0 && *n < kSlotTableSize ? std::optional(static_cast<int>(*n)) : std::optional(-1);
    }
    const auto* name = std::find_if(std::begin(kStateNames), std::end(kStateNames), [&](const StateName& n) {
        return n.name == base && n.indexed == index.has_value();
    });
    if (name == std::end(kStateNames))
        args.failAt(*token, "expect state: unknown name '" + written + "' (" + stateNames() + ")");
    if (index && *index < 0)
        args.failAt(*token, "expect state: " + written + ": N must be a slot from 0 to " +
                                std::to_string(kSlotTableSize - 1));
    const Text expected = args.value("VALUE", name->kind);
    return [name, slot = index.value_or(0), expected](Runtime& rt) {
        rt.needNotifierInProcess("its own state");
        const frmNewMail* popup = rt.notifier();
        const std::string want = rt.resolve(expected);
        if (!popup)
            Runtime::expect(false, describeStateValue(rt, want, name->kind), "no state: the notifier never started");
        const std::string found = name->read(popup->state(), slot);
        Runtime::expect(found == want, describeStateValue(rt, want, name->kind),
                        describeStateValue(rt, found, name->kind));
    };
}

} // namespace

std::vector<CommandSpec> notifierCommands()
{
    return {
        {.name = "start", .usage = "start", .summary = "the notifier starts up (once; machine set-up comes before)",
         .parse = &parseStart, .outsideBatch = true},
    };
}

std::vector<CommandSpec> notifierChecks()
{
    return {
        {.name = "running", .usage = "expect running", .summary = "the notifier runs", .parse = &parseExpectRunning},
        {.name = "ended", .usage = "expect ended [status N]",
         .summary = "the notifier has ended (frmNewMail unloaded), with that exit status",
         .parse = &parseExpectEnded},
        // The usage is for the table's own test; --help lists the subtable's rows.
        {.name = "popup", .usage = "expect popup visible\nexpect popup hidden", .summary = "the popup window",
         .sub = &popupChecks()},
        {.name = "state", .usage = "expect state NAME VALUE",
         .summary = "the notifier's own state: CurrentSlot NewestSlot DelayWriteIndex\n"
                    "DelayReadIndex DelayTicks DelayCountdown SummaryOnlyShown\n"
                    "ShowNoMoreMessage pinned secondsleft SweepTicks history[N]\n"
                    "delayed[N] blist wlist",
         .parse = &parseExpectState},
    };
}

} // namespace qln::runner
