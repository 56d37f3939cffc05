#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/runner/RunnerTestSupport.h"
#include "tests/runner/SeamsWorld.h"

namespace qln::runner {
namespace {

// A world that gives the seams and the neutral reads but none of the simulated world's extra
// capabilities: what a real desktop gives the runner.
class SeamsOnlyWorld final : public SeamsWorld {
public:
    std::string_view name() const override { return "seams-only"; }
};

Outcome runSeamsOnly(const std::string& text)
{
    return runText(text, std::make_unique<SeamsOnlyWorld>());
}

TEST(ScenarioWorld, CommandsNeedingASimulatedPartAreRefusedByAWorldWithoutIt)
{
    struct Case {
        const char* command;
        const char* capability;
    };
    const Case cases[] = {
        {"screen 1280 1024", "a simulated machine"},
        {"dpi 120", "a simulated machine"},
        {"user \"bob\"", "a simulated machine"},
        {"fail RegOpenKey", "fault injection"},
        {"fail writeFile times 2", "fault injection"},
        {"fonts fixed", "fixed font metrics"},
        {"clock \"2026-12-07 10:00:00\"", "a virtual clock"},
        {"reg set \"Software\\\\Q\" \"A\" dword 1", "the scenario's registry"},
        {"file write \"C:\\\\a.txt\" \"x\"", "the scenario's files"},
        {"window w class \"C\"", "a desktop driven from outside"},
        {"press 0x7A 6", "a desktop driven from outside"},
        {"outlook start", "a simulated Outlook"},
        {"mapi-library absent", "a simulated Outlook"},
        {"store \"Archive\"", "a simulated Outlook"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const Outcome o = runSeamsOnly(std::string("# world: any\nadvance 1s\n") + c.command + "\nadvance 1s\n");
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.errors, std::string("t.qls:3: ") + c.command + ": needs the simulated world (" + c.capability +
                                "); this run is on the seams-only world\n");
        // Refused before it is told: the transcript has nothing from the step.
        EXPECT_EQ(o.transcript.find("00:00:01.000 world"), std::string::npos) << o.transcript;
    }
}

TEST(ScenarioWorld, WorldNeutralCommandsRunOnAWorldWithoutTheSimulatedParts)
{
    const Outcome o = runSeamsOnly("# world: any\nadvance 2s\nfonts real\nbatch\nend\nadvance 500ms\n");
    EXPECT_EQ(o.status, 0) << o.errors;
    EXPECT_EQ(o.errors, "");
    EXPECT_NE(o.transcript.find("00:00:02.000 world"), std::string::npos) << o.transcript;
}

TEST(ScenarioWorld, TheHeaderNamesTheWorldAScenarioNeeds)
{
    // Without a header a scenario needs the simulated world; `any` runs everywhere.
    Outcome o = runSeamsOnly("advance 1s\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.errors, "t.qls:1: the scenario needs the simulated world; this run is on the seams-only world\n");
    EXPECT_EQ(o.transcript, "");  // nothing of it ran

    o = runSeamsOnly("# Runs anywhere.\n  #world:   any  \nadvance 1s\n");
    EXPECT_EQ(o.status, 0) << o.errors;

    o = runSeamsOnly("# world: windows\nadvance 1s\n");
    EXPECT_EQ(o.errors, "t.qls:1: the scenario needs the windows world; this run is on the seams-only world\n");

    o = runText("\n# world: simulated\nadvance 1s\n");
    EXPECT_EQ(o.status, 0) << o.errors;
    o = runText("# world: any\nadvance 1s\n");
    EXPECT_EQ(o.status, 0) << o.errors;

    EXPECT_EQ(parseError("# world: any\n# world: simulated\n"),
              "t.qls:2: world: the header names the world already (line 1)");
    EXPECT_EQ(parseError("# world:\n"), "t.qls:1: world: unknown world '' (simulated, windows, outlook or any)");
    // Only the exact key is a header: other comments stay comments.
    EXPECT_EQ(parseError("# worlds: none\n# the world: none\n"), "(no error)");
}

TEST(ScenarioWorld, TheSimulatedWorldHasEveryCapability)
{
    SimScenarioWorld world;
    EXPECT_EQ(world.name(), "simulated");
    EXPECT_EQ(world.simulatedOutlook(), &world.sim().outlook);
    EXPECT_EQ(world.simulatedDesktop(), &world.sim().desktop);
    EXPECT_EQ(world.simulatedMachine(), &world.sim().system);
    EXPECT_NE(world.scenarioRegistry(), nullptr);
    EXPECT_NE(world.scenarioFiles(), nullptr);
    EXPECT_NE(world.scenarioDesktop(), nullptr);
    EXPECT_EQ(world.virtualClock(), &world.sim().loop);
    EXPECT_EQ(world.faults(FaultTarget::Registry), &world.sim().registry.faults());
    EXPECT_EQ(world.faults(FaultTarget::Files), &world.sim().files.faults());
    EXPECT_EQ(world.faults(FaultTarget::Desktop), &world.sim().desktop.faults());
    EXPECT_EQ(world.faults(FaultTarget::Outlook), &world.sim().outlook.faults());
    EXPECT_TRUE(world.setFontMode(platform::sim::FontMode::Real));
    EXPECT_EQ(world.sim().fontMode, platform::sim::FontMode::Real);
    world.advance(1500);
    EXPECT_EQ(world.nowMs(), 1500);
}

TEST(ScenarioWorld, OnlyTheSystemsOwnWritesAreReported)
{
    SimScenarioWorld world;
    std::string heard;
    bool earlierListener = false;
    world.sim().files.on_change = [&](const std::string&, const std::string&) { earlierListener = true; };
    SystemWrites writes;
    writes.registry = [&](platform::Hive, const std::string& path, const std::string& name, const RegValue&) {
        heard += "reg " + path + " " + name + ";";
    };
    writes.files = [&](const std::string& operation, const std::string& path) { heard += operation + " " + path + ";"; };
    world.reportSystemWrites(std::move(writes));

    // The scenario's side writes quietly.
    world.scenarioRegistry()->set(platform::Hive::CurrentUser, "Software\\Q", "A", RegValue::dword(1));
    world.scenarioFiles()->put("C:\\q\\a.txt", "x");
    EXPECT_EQ(heard, "");
    EXPECT_EQ(world.scenarioRegistry()->get(platform::Hive::CurrentUser, "software\\q", "a"), RegValue::dword(1));
    EXPECT_EQ(world.scenarioFiles()->content("C:\\Q\\A.TXT"), "x");

    // The system's writes through the seams are told, and whoever listened before still hears them.
    world.registry().createKey(platform::Hive::CurrentUser, "Software\\Q")->setValue("B", platform::regtype::Dword,
                                                                                     RegValue::dword(2).data);
    world.files().writeFile("C:\\q\\b.txt", "y");
    EXPECT_EQ(heard, "reg Software\\Q B;writeFile C:\\q\\b.txt;");
    EXPECT_TRUE(earlierListener);
}

} // namespace
} // namespace qln::runner
