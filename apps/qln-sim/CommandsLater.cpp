// The commands and checks of the options page and the other input, known to the
// language but driven by parts not built yet. A scenario that uses one exits 2 before anything
// runs. Each becomes available by giving its row a parse function (and moving it to its area).

#include "apps/qln-sim/CommandTable.h"

namespace qln::runner {

std::vector<CommandSpec> laterCommands()
{
    return {
        {.name = "set", .usage = "set CONTROL TEXT", .summary = "the user replaces a text box's text"},
        {.name = "blur", .usage = "blur CONTROL", .summary = "the control loses the focus"},
        {.name = "key", .usage = "key CONTROL VK MASK", .summary = "key down and up (1 Shift, 2 Ctrl, 4 Alt)"},
        {.name = "enter", .usage = "enter CONTROL", .summary = "Enter pressed in a text box"},
        {.name = "select", .usage = "select CONTROL INDEX", .summary = "a list row (-1 for none)"},
        {.name = "mousedown", .usage = "mousedown CONTROL", .summary = "a mouse button goes down"},
        {.name = "slide", .usage = "slide CONTROL N", .summary = "a slider moves"},
        {.name = "tab", .usage = "tab CONTROL INDEX", .summary = "the user clicks a tab"},
        {.name = "color", .usage = "color CONTROL N", .summary = "the user picks a colour"},
        {.name = "font-dialog", .usage = "font-dialog FACE SIZE COLOR\nfont-dialog cancel",
         .summary = "the answer of the next font dialog"},
        {.name = "page", .usage = "page open|apply|close", .summary = "the options page"},
    };
}

std::vector<CommandSpec> laterChecks()
{
    return {
        {.name = "page", .usage = "expect page dirty|clean\nexpect page status-changes N",
         .summary = "the options page"},
    };
}

} // namespace qln::runner
