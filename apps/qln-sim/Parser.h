#pragma once
// Reads a whole scenario into steps before anything runs: every line's syntax, command, names
// and arguments are checked, so a scenario that is not valid ends with exit status 2 and the
// world is never touched.

#include <cstddef>
#include <string>
#include <string_view>

#include "apps/qln-sim/Scenario.h"

namespace qln::runner {

class Parser {
public:
    // Longer lines are refused: no command needs them, and a binary or runaway file should end
    // with a clear message, not a long crawl.
    static constexpr std::size_t kMaxLineBytes = 1 << 20;
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    // Throws ScenarioError (status 2) with "FILE:LINE: reason" for the first fault found.
    static Scenario parse(std::string_view text, const std::string& fileName);
};

} // namespace qln::runner
