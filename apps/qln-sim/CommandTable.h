#pragma once
// The command tables. A command is one row: its name, its usage, a one-line summary for --help,
// and the function that reads its arguments into a typed action (or a table of subcommands read
// after the name, as for `reg set` and `expect item`). Adding a command or a check is adding a
// row to the table of its area (Commands*.cpp); nothing else dispatches on names.

#include <string>
#include <string_view>
#include <vector>

#include "apps/qln-sim/Args.h"
#include "apps/qln-sim/Scenario.h"

namespace qln::runner {

class CommandTable;

using ParseFn = Action (*)(Args&);

struct CommandSpec {
    std::string_view name = {};
    std::string_view usage = {};    // the forms of the whole command, separated by '\n'
    std::string_view summary = {};  // one line for --help
    ParseFn parse = nullptr;    // nullptr (and no sub): known to the language, not available yet
    const CommandTable* sub = nullptr;  // subcommands read after the name
    bool beforeStart = false;   // machine set-up: only before `start`
    bool outsideBatch = false;  // runs the loop itself, so not between `batch` and `end`
};

class CommandTable {
public:
    // `what` names an entry in messages: "command", "check", "reg operation".
    CommandTable(std::string_view what, std::vector<CommandSpec> specs, ParseFn fallback = nullptr);

    const CommandSpec* find(std::string_view name) const;
    const std::vector<CommandSpec>& specs() const { return specs_; }

    // Reads the entry's name from `args` and hands the rest to the entry (or to the fallback,
    // for names not in the table; the fallback reads the name itself). `parent` is the command
    // path so far ("expect"), empty at the top.
    Action parse(Args& args, const std::string& parent) const;

    // Every usage form, with summaries; entries not available yet are listed apart.
    std::string help() const;

private:
    void collect(std::string& available, std::string& later) const;

    std::string_view what_;
    std::vector<CommandSpec> specs_;
    ParseFn fallback_;
};

// The language: every command (Commands.cpp gathers the areas' tables).
const CommandTable& commandTable();

// The areas' rows, each in its own file.
std::vector<CommandSpec> timeCommands();      // CommandsTime.cpp
std::vector<CommandSpec> machineCommands();   // CommandsMachine.cpp
std::vector<CommandSpec> storeCommands();     // CommandsStore.cpp
std::vector<CommandSpec> storeChecks();
std::vector<CommandSpec> mailCommands();      // CommandsMail.cpp
std::vector<CommandSpec> mailChecks();
std::vector<CommandSpec> desktopCommands();   // CommandsDesktop.cpp
std::vector<CommandSpec> desktopChecks();
std::vector<CommandSpec> notifierCommands();  // CommandsNotifier.cpp: start, the notifier's state
std::vector<CommandSpec> notifierChecks();
std::vector<CommandSpec> formsCommands();     // CommandsForms.cpp: input, snapshots, forms, controls, message boxes
std::vector<CommandSpec> formsChecks();
Action parseControlCheck(Args& args);         // `expect CONTROL PROPERTY VALUE` (CommandsForms.cpp)
std::vector<CommandSpec> layoutCommands();    // CommandsLayout.cpp: a shown form's layout as text
std::vector<CommandSpec> pageCommands();      // CommandsPage.cpp: the options page, the font dialog's answer
std::vector<CommandSpec> pageChecks();
std::string faultOperationsHelp();            // the operations `fail` knows, for --help (CommandsMail.cpp)
std::vector<std::string> faultOperations();  // the same, one name each, in --help order

} // namespace qln::runner
