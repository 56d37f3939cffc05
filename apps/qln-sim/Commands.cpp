// The language's top-level table: the areas' rows in the order --help lists them, and `expect`
// with the checks of every area.

#include "apps/qln-sim/CommandTable.h"

namespace qln::runner {

namespace {

template <class... Lists>
std::vector<CommandSpec> joined(Lists... lists)
{
    std::vector<CommandSpec> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

const CommandTable& checkTable()
{
    static const CommandTable table(
        "check", joined(storeChecks(), mailChecks(), desktopChecks(), notifierChecks(), formsChecks(), pageChecks()),
        &parseControlCheck);
    return table;
}

} // namespace

const CommandTable& commandTable()
{
    static const CommandTable table = [] {
        CommandSpec expect{"expect", "expect CHECK ...", "a check; exit status 1 when it does not hold"};
        expect.sub = &checkTable();
        return CommandTable("command", joined(timeCommands(), machineCommands(), storeCommands(), mailCommands(),
                                              desktopCommands(), notifierCommands(), formsCommands(), layoutCommands(),
                                              pageCommands(),
                                              std::vector{expect}));
    }();
    return table;
}

} // namespace qln::runner
