#pragma once
// A parsed scenario: one step per command line, each with the typed action the runner calls.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qln::runner {

class Runtime;

// What a command does when the scenario runs; its arguments are already parsed and checked.
using Action = std::function<void(Runtime&)>;

struct Step {
    int line = 0;
    std::string source;   // the line as written, trimmed, for messages
    Action action;
};

struct Scenario {
    std::string file;     // the name used in messages
    // The world the scenario needs, from its `# world: NAME` header line: "simulated" (also when
    // the header has none), "windows", or "any" for a scenario that runs on every world.
    std::string world = "simulated";
    int worldLine = 0;    // the header line, 0 when there is none
    std::vector<Step> steps;
};

// A scenario that cannot go on: `what()` is the whole message ("FILE:LINE: reason") and `status`
// the exit status it ends with (2: the scenario is not valid; 1: it ran and did not hold).
class ScenarioError : public std::runtime_error {
public:
    ScenarioError(std::string message, int status) : std::runtime_error(std::move(message)), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

} // namespace qln::runner
