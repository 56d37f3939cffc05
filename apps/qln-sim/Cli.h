#pragma once
// qln-sim's command line: `qln-sim FILE.qls [--transcript FILE] [--out DIR] [--check]`, --help.
// main() only hands its arguments and streams to Cli::main, so tests run the whole program in
// process.

#include <iosfwd>
#include <string>
#include <vector>

namespace qln::runner {

class Cli {
public:
    // Returns the exit status: 0 the scenario held, 1 a check failed or the world refused a step,
    // 2 the scenario or the command line is not valid.
    static int main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    static std::string help();
};

} // namespace qln::runner
