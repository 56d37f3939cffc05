// How long qln-sim takes for a scenario of a thousand commands: reading and checking it, and
// running it on the simulated world with a transcript. The goal is well under a second.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"

namespace {

// A scenario of `commands` lines in the mix a real one has: mail arriving with options, item
// changes, settings and files written and checked, windows, and time passing.
std::string makeScenario(int commands)
{
    std::string text = "# generated\nclock \"2026-12-07 10:00:00\"\noutlook start\nfolder Inbox/Junk\n";
    int lines = 3;
    for (int i = 0; lines < commands; ++i) {
        const std::string n = std::to_string(i);
        text += "mail m" + n + " in Inbox from user" + n + "@example.com sender-name \"User " + n +
                "\" subject \"Message number " + n + "\" body \"Some body text\\r\\nwith two lines\" size 2048\n";
        text += "expect item m" + n + " unread\n";
        text += "reg set settings Value" + n + " \"Junk:${folder:Inbox/Junk}|${item:m" + n + "}|\"\n";
        text += "expect reg settings Value" + n + " sz \"Junk:${folder:Inbox/Junk}|${item:m" + n + "}|\"\n";
        text += "mark-read m" + n + "\n";
        text += "move m" + n + " Inbox/Junk\n";
        text += "expect item m" + n + " in Inbox/Junk\n";
        text += "file write \"C:\\Data\\f" + n + ".txt\" \"line\\r\\n\"\n";
        text += "window w" + n + " class Notepad title \"Window " + n + "\"\n";
        text += "advance 250ms\n";
        lines += 10;
    }
    return text;
}

void BM_Parse(benchmark::State& state)
{
    const std::string text = makeScenario(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(qln::runner::Parser::parse(text, "bench.qls"));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Parse)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ParseAndRun(benchmark::State& state)
{
    const std::string text = makeScenario(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ostringstream transcript;
        std::ostringstream errors;
        const auto scenario = qln::runner::Parser::parse(text, "bench.qls");
        qln::runner::Runtime runtime(qln::runner::RunOptions{&transcript});
        if (runtime.run(scenario, errors) != 0)
            state.SkipWithError(errors.str().c_str());
        benchmark::DoNotOptimize(transcript.str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseAndRun)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
