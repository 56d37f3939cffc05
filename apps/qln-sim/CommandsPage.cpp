// The options page as Outlook's Options dialog hosts it: opening, Apply and closing, the answer
// the next font dialog gives, and the checks of the page's state towards the dialog. The page's
// controls and its window position dialog take the input commands of CommandsForms.cpp.

#include <cstdint>
#include <optional>
#include <utility>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "options/QLNOptions.h"

namespace qln::runner {

namespace {

// The options page, for a check: the open one, or a CheckFailure saying there is none.
QLNOptions& openPage(Runtime& rt, const std::string& expected)
{
    QLNOptions* page = rt.page();
    if (!page)
        Runtime::expect(false, expected, "the options page is not open");
    return *page;
}

Action parsePage(Args& args)
{
    const std::string what = args.choice("action", {"open", "apply", "close"});
    ParseState& state = args.state();
    if (what == "open") {
        if (state.pageLine)
            args.fail("page open: the options page is open already (line " + std::to_string(*state.pageLine) +
                      "); 'page close' closes it");
        state.pageLine = state.line;
        return [](Runtime& rt) { rt.openPage(); };
    }
    if (!state.pageLine)
        args.fail("page " + what + ": the options page is not open here ('page open' opens it)");
    if (what == "apply")
        return [](Runtime& rt) { rt.applyPage(); };
    state.pageLine.reset();
    return [](Runtime& rt) { rt.closePage(); };
}

// The next font dialog's answer: the page's in this process takes it as it is; Outlook's page
// opens the system's dialog, which the world answers with real input.
void prepareFontAnswer(Runtime& rt, std::optional<forms::FontChoice> answer)
{
    if (RemoteOptionsDialog* dialog = rt.remoteOptionsDialog())
        dialog->prepareFontAnswer(std::move(answer));
    else
        rt.prepareFontAnswer(std::move(answer));
}

// The largest size the font dialog offers, as the forms take it.
constexpr double kMaxFontPoints = 2160;

Action parseFontDialog(Args& args)
{
    if (args.accept("cancel"))
        return [](Runtime& rt) {
            rt.note("world", "the next font dialog will be cancelled");
            prepareFontAnswer(rt, std::nullopt);
        };
    forms::FontChoice answer;
    answer.FontName = args.word("FACE");
    const Token& sizeToken = args.next("SIZE");
    const auto size = sizeToken.text.isPlain() ? parseDecimal(sizeToken.text.plain()) : std::nullopt;
    if (!size)
        args.failAt(sizeToken, "font-dialog: bad number " + sizeToken.source + " for SIZE (points, like 8 or 9.75)");
    if (*size <= 0 || *size > kMaxFontPoints)
        args.failAt(sizeToken, "font-dialog: SIZE " + sizeToken.source + " is out of range (above 0, up to 2160 points)");
    answer.FontSize = *size;
    answer.Color = static_cast<std::uint32_t>(args.number("COLOR", 0, UINT32_MAX));
    return [answer](Runtime& rt) {
        rt.note("world", "the next font dialog will answer " + quoteText(answer.FontName) + " " +
                             formatDecimal(answer.FontSize) + " pt, colour " + formatColour(answer.Color));
        prepareFontAnswer(rt, answer);
    };
}

Action parseExpectPage(Args& args)
{
    const std::string what = args.choice("check", {"dirty", "clean", "status-changes", "shown", "absent"});
    if (what == "shown" || what == "absent") {
        // Whether the dialog shows the page: not after a creation that failed, nor before `page open`.
        const bool shown = what == "shown";
        return [shown, what](Runtime& rt) {
            const RemoteOptionsDialog* dialog = rt.remoteOptionsDialog();
            const bool found = dialog ? dialog->pageShown() : rt.page() != nullptr;
            Runtime::expect(found == shown, "the page " + what, found ? "the page shown" : "no page");
        };
    }
    if (what == "status-changes") {
        const auto count = static_cast<int>(args.number("N", 0, INT32_MAX));
        return [count](Runtime& rt) {
            const std::string wanted = std::to_string(count) + " status changes";
            int found = 0;
            if (const RemoteOptionsDialog* dialog = rt.remoteOptionsDialog()) {
                if (!dialog->pageShown())
                    Runtime::expect(false, wanted, "Outlook's Options dialog does not show the page");
                found = dialog->pageStatusChanges();
            } else {
                openPage(rt, wanted);
                found = rt.pageStatusChanges();
            }
            Runtime::expect(found == count, wanted, std::to_string(found) + " status changes");
        };
    }
    const bool dirty = what == "dirty";
    return [dirty, what](Runtime& rt) {
        bool found = false;
        if (const RemoteOptionsDialog* dialog = rt.remoteOptionsDialog()) {
            if (!dialog->pageShown())
                Runtime::expect(false, "the page " + what, "Outlook's Options dialog does not show the page");
            found = dialog->pageDirty();
        } else {
            found = openPage(rt, "the page " + what).Dirty();
        }
        Runtime::expect(found == dirty, "the page " + what, found ? "the page dirty" : "the page clean");
    };
}

} // namespace

std::vector<CommandSpec> pageCommands()
{
    return {
        {.name = "page", .usage = "page open|apply|close",
         .summary = "the options page: Outlook creates it (it loads), shows it and\n"
                    "attaches its site; the dialog's Apply; the dialog closes and\n"
                    "destroys it (with an open frmWinPos)",
         .parse = &parsePage, .outsideBatch = true},
        {.name = "font-dialog", .usage = "font-dialog FACE SIZE COLOR\nfont-dialog cancel",
         .summary = "the answer of the next font dialog (without one it is cancelled)", .parse = &parseFontDialog},
    };
}

std::vector<CommandSpec> pageChecks()
{
    return {
        {.name = "page", .usage = "expect page dirty|clean\nexpect page status-changes N\nexpect page shown|absent",
         .summary = "the options page's Dirty, the status changes its site received, and whether\n"
                    "the dialog shows the page (absent when its creation failed)",
         .parse = &parseExpectPage},
    };
}

} // namespace qln::runner
