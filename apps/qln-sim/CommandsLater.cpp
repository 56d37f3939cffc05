// The commands and checks of the notifier, its forms, the options page and the output, known to
// the language but driven by parts not built yet. A scenario that uses one exits 2 before anything
// runs. Each becomes available by giving its row a parse function.

#include <algorithm>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

// Forms and the properties a check may read; controls are known once their forms are built.
constexpr std::string_view kForms[] = {"frmNewMail", "frmGetStart", "QLNOptions", "frmWinPos"};
constexpr std::string_view kProperties[] = {"visible", "enabled", "caption",  "text",      "value",    "left",
                                            "top",     "width",   "height",   "backcolor", "forecolor", "fontname",
                                            "fontsize", "fontbold", "rows",   "listindex", "tooltip"};

// The type prefixes every control name starts with (lblSubject, btnClose, ...).
constexpr std::string_view kControlPrefixes[] = {"btn", "chk", "opt", "txt", "lst", "lbl", "tmr", "pic", "sli",
                                                 "cpk", "fra", "lin", "tab", "cmd", "img", "shp"};

bool looksLikeControl(std::string_view name)
{
    for (std::string_view prefix : kControlPrefixes)
        if (name.size() > prefix.size() && name.starts_with(prefix) && name[prefix.size()] >= 'A' &&
            name[prefix.size()] <= 'Z')
            return true;
    return false;
}

template <std::size_t N>
bool contains(const std::string_view (&list)[N], std::string_view name)
{
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

template <std::size_t N>
std::string listed(const std::string_view (&list)[N])
{
    std::string out;
    for (std::string_view s : list)
        appendListItem(out, s);
    return out;
}

} // namespace

// `expect CONTROL PROPERTY VALUE`: FORM.CONTROL, a bare CONTROL of frmNewMail, or a form's name.
Action parseControlCheck(Args& args)
{
    const Token& subject = args.next("CHECK");
    const std::string name = subject.text.isPlain() ? subject.text.plain() : subject.source;
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos && !contains(kForms, name.substr(0, dot)))
        args.failAt(subject, "expect: unknown form '" + name.substr(0, dot) + "' (" + listed(kForms) + ")");
    const Token* property = args.peek();
    if (!property || !property->text.isPlain() || !contains(kProperties, property->text.plain())) {
        if (dot == std::string::npos && !contains(kForms, name) && !looksLikeControl(name))
            args.failAt(subject, "expect: unknown check '" + name + "' (see qln-sim --help)");
        const std::string given = property ? "'" + property->source + "'" : "(none given)";
        args.fail("expect " + name + ": unknown property " + given + " (" + listed(kProperties) + ")");
    }
    args.fail("expect " + name + " " + property->text.plain() +
              ": control checks are not available yet: the forms are not built");
}

std::vector<CommandSpec> laterCommands()
{
    return {
        {.name = "start", .usage = "start", .summary = "the notifier starts up"},
        {.name = "click", .usage = "click CONTROL", .summary = "a left click"},
        {.name = "set", .usage = "set CONTROL TEXT", .summary = "the user replaces a text box's text"},
        {.name = "blur", .usage = "blur CONTROL", .summary = "the control loses the focus"},
        {.name = "key", .usage = "key CONTROL VK MASK", .summary = "key down and up (1 Shift, 2 Ctrl, 4 Alt)"},
        {.name = "enter", .usage = "enter CONTROL", .summary = "Enter pressed in a text box"},
        {.name = "select", .usage = "select CONTROL INDEX", .summary = "a list row (-1 for none)"},
        {.name = "mousedown", .usage = "mousedown CONTROL", .summary = "a mouse button goes down"},
        {.name = "slide", .usage = "slide CONTROL N", .summary = "a slider moves"},
        {.name = "tab", .usage = "tab CONTROL INDEX", .summary = "the user clicks a tab"},
        {.name = "color", .usage = "color CONTROL N", .summary = "the user picks a colour"},
        {.name = "mouse", .usage = "mouse CONTROL down|move|up X Y [BUTTON]", .summary = "pixels on a button control"},
        {.name = "font-dialog", .usage = "font-dialog FACE SIZE COLOR\nfont-dialog cancel",
         .summary = "the answer of the next font dialog"},
        {.name = "page", .usage = "page open|apply|close", .summary = "the options page"},
        {.name = "snapshot", .usage = "snapshot FILE.png [FORM]", .summary = "the screen, or one form, as a PNG"},
    };
}

std::vector<CommandSpec> laterChecks()
{
    return {
        {.name = "running", .usage = "expect running", .summary = "the notifier runs"},
        {.name = "ended", .usage = "expect ended", .summary = "the notifier has ended"},
        {.name = "popup",
         .usage = "expect popup visible|hidden\nexpect popup bounds LEFT TOP WIDTH HEIGHT\nexpect popup alpha N\n"
                  "expect popup opaque\nexpect popup topmost",
         .summary = "the popup window"},
        {.name = "form", .usage = "expect form FORM shown|hidden|unloaded", .summary = "a form's state"},
        {.name = "state", .usage = "expect state NAME VALUE", .summary = "the notifier's own state"},
        {.name = "msgbox", .usage = "expect msgbox TEXT [title TEXT] [icon stop|critical]",
         .summary = "the oldest message box not yet checked"},
        {.name = "no-msgbox", .usage = "expect no-msgbox", .summary = "every message box has been checked"},
        {.name = "timer", .usage = "expect timer NAME on|off", .summary = "a form's timer"},
        {.name = "page", .usage = "expect page dirty|clean\nexpect page status-changes N",
         .summary = "the options page"},
        {.name = "", .usage = "expect CONTROL PROPERTY VALUE", .summary = "a control's property"},
    };
}

} // namespace qln::runner
