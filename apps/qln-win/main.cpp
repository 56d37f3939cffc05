// qln-win: runs a scenario on the real Windows desktop, with Outlook simulated in this process.
// The language, the options and the exit status are qln-sim's; everything lives in the qln_runner
// library, and Win32ScenarioWorld is the world.

#include <windows.h>

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "apps/qln-sim/Cli.h"
#include "apps/qln-win/StandinScenarioWorld.h"
#include "apps/qln-win/Win32ScenarioWorld.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    qln::runner::Program program;
    program.name = "qln-win";
    program.about =
        "Runs a scenario on the real Windows desktop: the real registry, files, windows, timers and fonts,\n"
        "with Outlook simulated in this process and its windows real; with `# world: outlook` Outlook is the\n"
        "registered stand-in and the notifier is QLN.exe beside qln-win. Time is real: `advance` waits. It\n"
        "clears Quellin's registry keys when it starts and ends: run it on a test desktop only.";
    // `# world: outlook`: Outlook is the stand-in and the notifier QLN.exe, each a program of its own.
    program.makeWorldFor = [](const std::string& world) -> std::unique_ptr<qln::runner::ScenarioWorld> {
        if (world == "outlook")
            return std::make_unique<qln::runner::StandinScenarioWorld>();
        return std::make_unique<qln::runner::Win32ScenarioWorld>();
    };
    try {
        return qln::runner::Cli::main(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, program);
    } catch (const std::exception& failure) {
        std::cerr << "qln-win: " << failure.what() << "\n";
        return 2;
    }
}
