#pragma once
// What the runner's tests share: parsing a scenario that must be refused, and running one in
// process with its transcript and error output.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"

namespace qln::runner {

// The message of a scenario refused before the run (exit 2), or "(no error)".
inline std::string parseError(std::string_view text)
{
    try {
        Parser::parse(text, "t.qls");
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.status(), 2);
        return e.what();
    }
    return "(no error)";
}

struct Outcome {
    int status = -1;
    std::string transcript;
    std::string errors;
};

// Parses and runs the scenario; the runtime is gone (the notifier shut down) before the
// transcript is read.
inline Outcome runText(std::string_view text, std::unique_ptr<ScenarioWorld> world = nullptr)
{
    Outcome o;
    std::ostringstream transcript;
    std::ostringstream errors;
    try {
        const Scenario scenario = Parser::parse(text, "t.qls");
        Runtime runtime(RunOptions{&transcript}, std::move(world));
        o.status = runtime.run(scenario, errors);
    } catch (const ScenarioError& e) {
        errors << e.what();
        o.status = e.status();
    }
    o.transcript = transcript.str();
    o.errors = errors.str();
    return o;
}

} // namespace qln::runner
