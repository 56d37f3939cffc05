#include "apps/qln-sim/Cli.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"

namespace qln::runner {

namespace {

std::string usage(const std::string& name)
{
    return "usage: " + name + " FILE.qls [--transcript FILE] [--out DIR] [--check]\n" + "       " + name +
           " --help\n" + "       " + name + " --fault-operations\n";
}

struct Invocation {
    std::string scenario;
    std::optional<std::string> transcript;
    std::string outDir = ".";
    bool checkOnly = false;
    bool help = false;
    bool faultOperations = false;
};

// nullopt after writing the reason to `err`.
std::optional<Invocation> readArguments(const std::vector<std::string>& args, std::ostream& err,
                                        const std::string& program)
{
    const std::string kUsage = usage(program);
    Invocation inv;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                err << program << ": " << arg << " needs a value\n" << kUsage;
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            inv.help = true;
        } else if (arg == "--fault-operations") {
            inv.faultOperations = true;
        } else if (arg == "--check") {
            inv.checkOnly = true;
        } else if (arg == "--transcript") {
            auto v = value();
            if (!v)
                return std::nullopt;
            inv.transcript = *v;
        } else if (arg == "--out") {
            auto v = value();
            if (!v)
                return std::nullopt;
            inv.outDir = *v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << program << ": unknown option " << arg << "\n" << kUsage;
            return std::nullopt;
        } else if (!inv.scenario.empty()) {
            err << program << ": one scenario at a time (" << inv.scenario << " and " << arg << ")\n" << kUsage;
            return std::nullopt;
        } else {
            inv.scenario = arg;
        }
    }
    if (!inv.help && !inv.faultOperations && inv.scenario.empty()) {
        err << program << ": no scenario file given\n" << kUsage;
        return std::nullopt;
    }
    return inv;
}

// The file's bytes, read no further than the parser accepts; nullopt after writing the reason.
std::optional<std::string> readScenario(const std::string& path, std::ostream& err, const std::string& program)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << program << ": cannot open " << path << "\n";
        return std::nullopt;
    }
    std::string text;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > Parser::kMaxFileBytes) {
            err << path << ":1: file larger than " << Parser::kMaxFileBytes << " bytes; not a scenario\n";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        err << program << ": cannot read " << path << "\n";
        return std::nullopt;
    }
    return text;
}

} // namespace

std::string Cli::help(const Program& program)
{
    std::string out = usage(program.name);
    out += "\n" + program.about + R"(

Options:
  --transcript FILE   write the transcript to FILE instead of standard output
  --out DIR           where snapshots go (default: the current folder)
  --check             only read and check the scenario; run nothing
  --fault-operations  the operations `fail` knows, one a line (for the fault sweep)
  --help, -h          this text

Exit status: 0 every command ran and every expect held; 1 an expect failed or the world refused a
step (FILE:LINE: and the reason on standard error); 2 the scenario or command line is not valid.

Lexical rules: one command a line; # starts a comment line; "quoted text" with \" \\ \r \n \t \xHH
(other backslashes stand for themselves); ${item:REF} ${folder:PATH} ${store:PATH} in any text, \$
for a literal $, and @REF alone for ${item:REF}. Numbers: -12, 0x80000012. Durations: 250ms 5s 2m 1h.
Date-times: "2026-12-07 10:00:00". The full language: docs/qln-sim.md.

)";
    out += commandTable().help();
    out += '\n';
    out += faultOperationsHelp();
    return out;
}

int Cli::main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Program& program)
{
    const auto inv = readArguments(args, err, program.name);
    if (!inv)
        return 2;
    if (inv->help) {
        out << help(program);
        return 0;
    }
    if (inv->faultOperations) {
        for (const std::string& operation : faultOperations())
            out << operation << '\n';
        return 0;
    }
    const auto text = readScenario(inv->scenario, err, program.name);
    if (!text)
        return 2;

    try {
        const Scenario scenario = Parser::parse(*text, inv->scenario);
        if (inv->checkOnly)
            return 0;

        std::ofstream file;
        if (inv->transcript) {
            // Truncating the transcript must never wipe the scenario it came from.
            std::error_code ec;
            if (std::filesystem::equivalent(inv->scenario, *inv->transcript, ec)) {
                err << program.name << ": the transcript " << *inv->transcript << " would overwrite the scenario\n";
                return 2;
            }
            file.open(*inv->transcript, std::ios::binary | std::ios::trunc);
            if (!file) {
                err << program.name << ": cannot write the transcript " << *inv->transcript << "\n";
                return 2;
            }
        }
        Runtime runtime(RunOptions{inv->transcript ? static_cast<std::ostream*>(&file) : &out, inv->outDir},
                        program.makeWorldFor ? program.makeWorldFor(scenario.world)
                        : program.makeWorld  ? program.makeWorld()
                                             : nullptr);
        const int status = runtime.run(scenario, err);
        out.flush();
        return status;
    } catch (const ScenarioError& error) {
        err << error.what() << "\n";
        return error.status();
    } catch (const std::bad_alloc&) {
        err << inv->scenario << ": out of memory while reading the scenario\n";
        return 2;
    }
}

} // namespace qln::runner
