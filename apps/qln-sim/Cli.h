#pragma once
// qln-sim's command line: `qln-sim FILE.qls [--transcript FILE] [--out DIR] [--check]`, --help.
// main() only hands its arguments and streams to Cli::main, so tests run the whole program in
// process.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace qln::runner {

class ScenarioWorld;

// The runner program: its name in messages, what its help says it does, and the world it runs on.
struct Program {
    std::string name = "qln-sim";
    std::string about = "Runs a scenario on the simulated world (virtual time, simulated Outlook, desktop, registry and\n"
                        "files) and writes the transcript: one line per observable event with its virtual time.";
    std::function<std::unique_ptr<ScenarioWorld>()> makeWorld;  // empty: the simulated world
    // When set, makes the world for the world the scenario's header names ("any" without a header
    // line naming another), in place of makeWorld.
    std::function<std::unique_ptr<ScenarioWorld>(const std::string& world)> makeWorldFor;
};

class Cli {
public:
    // Returns the exit status: 0 the scenario held, 1 a check failed or the world refused a step,
    // 2 the scenario or the command line is not valid.
    static int main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const Program& program = {});

    static std::string help(const Program& program = {});
};

} // namespace qln::runner
