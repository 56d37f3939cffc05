#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/qln-sim/Cli.h"
#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"
#include "tests/runner/RunnerTestSupport.h"
#include "platform/Outlook.h"

namespace qln::runner {
namespace {

// The simulated world the run is on, to look inside it.
platform::sim::SimWorld& simWorld(Runtime& rt)
{
    return dynamic_cast<SimScenarioWorld&>(rt.world()).sim();
}

class TempDir {
public:
    TempDir()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("qln-runner-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name, std::string_view content) const
    {
        const auto p = path_ / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Run, TranscriptStampsVirtualTime)
{
    const Outcome o = runText("outlook start\nadvance 5250ms\nmail a in Inbox subject \"Hi\\nthere\" from b@x\n"
                              "advance 1h\nreg set settings X dword 7\n");
    EXPECT_EQ(o.status, 0) << o.errors;
    EXPECT_EQ(o.transcript,
              "00:00:00.000 world: Outlook starts\n"
              "00:00:05.250 world: mail a arrives in Inbox: \"Hi\\nthere\" from b@x\n"
              "00:00:05.250 outlook: new-mail tray icon shown\n"
              "01:00:05.250 world: reg set Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings \"X\" "
              "dword 7\n");
}

TEST(Run, TheTranscriptIsUtf8WithEscapesForOtherBytes)
{
    const Outcome o = runText("outlook start\nmail a in Inbox subject \"Gr\u00fc\u00dfe \u65e5\u672c \\xFF\\xC3x\" from b@x\n");
    EXPECT_EQ(o.status, 0) << o.errors;
    EXPECT_EQ(o.transcript,
              "00:00:00.000 world: Outlook starts\n"
              "00:00:00.000 world: mail a arrives in Inbox: \"Gr\u00fc\u00dfe \u65e5\u672c \\xFF\\xC3x\" from b@x\n"
              "00:00:00.000 outlook: new-mail tray icon shown\n");
}

TEST(Run, FailedCheckNamesLineExpectedAndFound)
{
    const struct {
        std::string_view text;
        std::string error;
    } cases[] = {
        {"outlook start\nmail a in Inbox\n\nexpect item a read\nadvance 1s",
         "t.qls:4: expect item a read failed: expected read, found unread in Inbox, not displayed, not replied, not "
         "forwarded\n"},
        {"outlook start\nmail a in Inbox\nexpect item a in Inbox/Spam",
         "t.qls:3: expect item a in Inbox/Spam failed: expected in Inbox/Spam (no such folder), found in Inbox\n"},
        {"reg set settings X sz \"a\\tb\"\nexpect reg settings X dword 5",
         "t.qls:2: expect reg settings X dword 5 failed: expected dword 5, found sz \"a\\tb\"\n"},
        {"reg set settings X dword 0xFFFFFFFF\nexpect reg settings X missing",
         "t.qls:2: expect reg settings X missing failed: expected missing, found dword 4294967295 (0xFFFFFFFF)\n"},
        {"expect file \"C:\\a.txt\" \"x\"",
         "t.qls:1: expect file \"C:\\a.txt\" \"x\" failed: expected \"x\", found missing\n"},
        {"expect tray-icon shown",
         "t.qls:1: expect tray-icon shown failed: expected Outlook's new-mail tray icon shown, found Outlook not "
         "running\n"},
        {"outlook start\nexpect tray-icon shown",
         "t.qls:2: expect tray-icon shown failed: expected Outlook's new-mail tray icon shown, found absent (never "
         "shown)\n"},
        {"outlook start\nwindow w class Notepad\nexpect outlook window front",
         "t.qls:3: expect outlook window front failed: expected Outlook's window in front, found w in front\n"},
        {"outlook start\nexpect foreground popup",
         "t.qls:2: expect foreground popup failed: expected popup in the foreground, found outlook in the "
         "foreground\n"},
        {"expect hotkey 0x7A 6",
         "t.qls:1: expect hotkey 0x7A 6 failed: expected VK 0x7A MODS 6, found no popup window\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = runText(c.text);
        EXPECT_EQ(o.status, 1) << c.text;
        EXPECT_EQ(o.errors, c.error);
    }
}

TEST(Run, WorldRefusalsEndWithStatusOne)
{
    const struct {
        std::string_view text;
        std::string error;
    } cases[] = {
        {"outlook start\nfolder-delete Nope", "t.qls:2: "},
        {"outlook start\nmail a in Nope", "t.qls:2: "},
        {"outlook start\nreg set settings X \"${folder:Nope}\"", "t.qls:2: "},
        {"outlook title x", "t.qls:1: outlook title: Outlook is not running\n"},
        {"file delete \"C:\\missing.txt\"", "t.qls:1: file delete: no file C:\\missing.txt\n"},
        {"outlook start\nfolder Inbox", "t.qls:2: "},
    };
    for (const auto& c : cases) {
        const Outcome o = runText(c.text);
        EXPECT_EQ(o.status, 1) << c.text;
        EXPECT_EQ(o.errors.substr(0, c.error.size()), c.error) << o.errors;
        EXPECT_EQ(o.errors.back(), '\n');
    }
}

TEST(Run, ReferencesResolveToTheWorldsIdentifiers)
{
    const Scenario scenario = Parser::parse(
        "outlook start\nfolder Inbox/Junk\nstore Archive\nfolder Old store Archive\nmail a in Archive:Old\n"
        "reg set settings F \"Junk:${folder:Inbox/Junk}|${store:Archive:Old}|@a|${item:a}|\\$|\"\n"
        "file write \"C:\\\\${item:a}.txt\" @a\n",
        "t.qls");
    std::ostringstream errors;
    Runtime rt;
    ASSERT_EQ(rt.run(scenario, errors), 0) << errors.str();
    auto& outlook = simWorld(rt).outlook;
    const std::string id = rt.itemID("a");
    ASSERT_TRUE(outlook.item(id));
    EXPECT_EQ(outlook.item(id)->storeName, "Archive");
    const auto value = simWorld(rt).registry.get(
        platform::Hive::CurrentUser, "Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings", "F");
    ASSERT_TRUE(value);
    // @a inside a longer text is text.
    EXPECT_EQ(value->asText(), "Junk:" + outlook.folderEntryID("Inbox/Junk") + "|" +
                                   outlook.folderStoreID("Archive:Old") + "|@a|" + id + "|$|");
    EXPECT_EQ(simWorld(rt).files.content("C:\\" + id + ".txt"), id);
}

TEST(Run, MachineCommandsSetTheWorld)
{
    const Scenario scenario = Parser::parse("clock \"2026-12-07 10:00:00\"\nscreen 1280 1024\ndpi 120\n"
                                            "system-font large\nos 9x 4\nuser none\nprogram-folder \"D:\\Q\"\n"
                                            "fonts real\nlocale en-US\nmapi-library absent\nadvance 2500ms\n",
                                            "t.qls");
    std::ostringstream errors;
    Runtime rt;
    ASSERT_EQ(rt.run(scenario, errors), 0) << errors.str();
    auto& w = simWorld(rt);
    EXPECT_EQ(w.loop.now().toIsoString(), "2026-12-07 10:00:02");
    EXPECT_EQ(w.system.screenWidth(), 1280);
    EXPECT_EQ(w.system.screenHeight(), 1024);
    EXPECT_EQ(w.system.logPixelsX(), 120);
    EXPECT_EQ(w.system.logPixelsY(), 120);
    EXPECT_EQ(w.system.desktopTextMetricHeight(), 20);
    EXPECT_EQ(w.system.osVersion().platformId, platform::OsVersion::Win9x);
    EXPECT_EQ(w.system.osVersion().major, 4u);
    EXPECT_THROW(w.system.userName(), platform::Failure);
    EXPECT_EQ(w.system.programFolder(), "D:\\Q");
    EXPECT_EQ(w.fontMode, platform::sim::FontMode::Real);
    EXPECT_FALSE(w.outlook.mapiLibraryPresent());
    EXPECT_THROW(w.outlook.createMAPIUtils(), platform::Failure);
}

TEST(Run, FaultsReachTheirComponent)
{
    const Scenario scenario =
        Parser::parse("outlook start\nfail GetNamespace times 1\nfail RegOpenKey\nfail writeFile times 2\n"
                      "fail writeFile times 0\nfail RegisterHotKey\n",
                      "t.qls");
    std::ostringstream errors;
    Runtime rt;
    ASSERT_EQ(rt.run(scenario, errors), 0) << errors.str();
    auto& w = simWorld(rt);
    const auto app = w.outlook.createOutlookApplication();
    EXPECT_THROW(app->GetNamespace("MAPI"), platform::Failure);
    EXPECT_NO_THROW(app->GetNamespace("MAPI"));
    EXPECT_TRUE(w.registry.faults().armed("RegOpenKey"));
    EXPECT_FALSE(w.files.faults().armed("writeFile"));
    EXPECT_TRUE(w.desktop.faults().armed("RegisterHotKey"));
}

// Outlook's ItemAdd as the notifier will see it: between `batch` and `end` the events wait.
TEST(Run, BatchHoldsEventsUntilEnd)
{
    Scenario scenario = Parser::parse("outlook start\nmail a in Inbox\nbatch\nmail b in Inbox\nmail c in Inbox\nend\n"
                                      "mail d in Inbox\n",
                                      "t.qls");
    std::vector<std::string> log;
    std::unique_ptr<platform::Connection> connection;
    // After `outlook start`, subscribe through the seam; before each later step, mark the log.
    Action subscribe = [&](Runtime& rt) {
        auto inbox = simWorld(rt).outlook.createOutlookApplication()->GetNamespace("MAPI")->GetDefaultFolder(
            platform::outlook::olFolderInbox);
        platform::outlook::ItemsEvents events;
        events.ItemAdd = [&](std::shared_ptr<platform::outlook::Item> item) {
            log.push_back("add " + rt.describeItem(item->EntryID()));
        };
        connection = inbox->Items()->advise(std::move(events));
    };
    std::vector<Step> steps{scenario.steps[0], Step{0, "subscribe", subscribe}};
    for (std::size_t i = 1; i < scenario.steps.size(); ++i) {
        steps.push_back(Step{0, "mark", [&log, i](Runtime&) { log.push_back("line " + std::to_string(i + 1)); }});
        steps.push_back(scenario.steps[i]);
    }
    scenario.steps = steps;
    std::ostringstream errors;
    Runtime rt;
    ASSERT_EQ(rt.run(scenario, errors), 0) << errors.str();
    EXPECT_EQ(log, (std::vector<std::string>{"line 2", "add a", "line 3", "line 4", "line 5", "line 6", "add b",
                                             "add c", "line 7", "add d"}));
}

// What the system does through the seams is what the transcript is for: registry and file writes,
// Outlook's item calls and windows, desktop calls.
TEST(Run, SystemCallsReachTheTranscript)
{
    Scenario scenario = Parser::parse("outlook start\nmail a in Inbox subject Hello\nadvance 1s\n", "t.qls");
    scenario.steps.push_back(Step{4, "system", [](Runtime& rt) {
        auto& w = simWorld(rt);
        w.registry.createKey(platform::Hive::CurrentUser, "Software\\Q")->setValue(
            "N", platform::regtype::Dword, platform::sim::RegValue::dword(3).data);
        w.files.writeFile("C:\\l.qln", "x");
        auto app = w.outlook.createOutlookApplication();
        auto item = app->GetNamespace("MAPI")->GetItemFromID(rt.itemID("a"));
        item->Display();
        item->setUnRead(false);
        platform::WindowSpec spec;
        spec.className = "ThunderForm";
        const platform::WindowHandle own = w.desktop.createWindow(spec);
        w.desktop.registerHotKey(own, 70, 6, 0x7A);
        w.desktop.setForegroundWindow(rt.window("@a"));
    }});
    std::ostringstream transcript, errors;
    Runtime rt(RunOptions{&transcript});
    ASSERT_EQ(rt.run(scenario, errors), 0) << errors.str();
    const std::string t = transcript.str();
    for (const std::string line : {"00:00:01.000 registry: set HKCU\\Software\\Q \"N\" dword 3\n",
                                   "00:00:01.000 files: writeFile C:\\l.qln\n",
                                   "00:00:01.000 outlook: item a: Display\n",
                                   "00:00:01.000 outlook: window opened: \"Hello - Message\"\n",
                                   "00:00:01.000 outlook: item a: UnRead=false\n",
                                   // the desktop's name for an item window becomes the item's REF
                                   "00:00:01.000 desktop: SetForegroundWindow(item a's window)\n"})
        EXPECT_NE(t.find(line), std::string::npos) << line << "in:\n" << t;
    EXPECT_NE(t.find("00:00:01.000 desktop: RegisterHotKey"), std::string::npos) << t;
    EXPECT_EQ(simWorld(rt).desktop.title(rt.window("@a")), "Hello - Message");
}

TEST(Cli, RunsFilesDeterministically)
{
    TempDir dir;
    const std::string scenario = dir.file("s.qls", "outlook start\nbatch\nmail a in Inbox subject A\nmail b in Inbox\n"
                                                   "end\nadvance 3s\nwindow w class X\nforeground w\npress 0x41 2\n"
                                                   "outlook quit\n");
    std::ostringstream out1, err1, out2, err2;
    EXPECT_EQ(Cli::main({scenario, "--transcript", dir.path("t1.txt")}, out1, err1), 0) << err1.str();
    EXPECT_EQ(Cli::main({"--transcript", dir.path("t2.txt"), scenario}, out2, err2), 0) << err2.str();
    EXPECT_EQ(out1.str(), "");
    EXPECT_FALSE(readAll(dir.path("t1.txt")).empty());
    EXPECT_EQ(readAll(dir.path("t1.txt")), readAll(dir.path("t2.txt")));

    std::ostringstream out3, err3;
    EXPECT_EQ(Cli::main({scenario}, out3, err3), 0);
    EXPECT_EQ(out3.str(), readAll(dir.path("t1.txt")));
}

TEST(Cli, FaultOperationsAreListedOneALineAndEachIsKnownToFail)
{
    // The fault sweep reads this list and writes `fail OPERATION` lines from it.
    std::ostringstream out, err;
    EXPECT_EQ(Cli::main({"--fault-operations"}, out, err), 0);
    std::istringstream lines(out.str());
    std::vector<std::string> operations;
    for (std::string line; std::getline(lines, line);)
        operations.push_back(line);
    ASSERT_GT(operations.size(), 40u);
    for (const char* known : {"CreateWindowExA", "EnumWindows", "RegQueryValueEx", "writeFile", "GetItemFromID"})
        EXPECT_NE(std::find(operations.begin(), operations.end(), known), operations.end()) << known;
    TempDir dir;
    std::string text;
    for (const std::string& operation : operations)
        text += "fail " + operation + " times 1\n";
    std::ostringstream out2, err2;
    EXPECT_EQ(Cli::main({dir.file("all.qls", text), "--check"}, out2, err2), 0) << err2.str();
}

TEST(Cli, InvalidScenarioRunsNothing)
{
    TempDir dir;
    const std::string scenario = dir.file("bad.qls", "file write \"C:\\a\" x\nadvance 1s\nadvance soon\n");
    std::ostringstream out, err;
    EXPECT_EQ(Cli::main({scenario}, out, err), 2);
    EXPECT_EQ(out.str(), "");  // the first line never ran
    EXPECT_EQ(err.str(), scenario + ":3: advance: bad duration soon for DURATION (like 250ms, 5s, 2m or 1h) "
                                    "(column 9)\n");

    std::ostringstream out2, err2;
    EXPECT_EQ(Cli::main({scenario, "--check"}, out2, err2), 2);
    const std::string good = dir.file("good.qls", "file write \"C:\\a\" x\n");
    std::ostringstream out3, err3;
    EXPECT_EQ(Cli::main({good, "--check"}, out3, err3), 0);
    EXPECT_EQ(out3.str(), "");
}

TEST(Cli, CommandLineFaults)
{
    TempDir dir;
    const std::string good = dir.file("good.qls", "advance 1s\n");
    const struct {
        std::vector<std::string> args;
        std::string firstLine;
    } cases[] = {
        {{}, "qln-sim: no scenario file given"},
        {{good, "--frob"}, "qln-sim: unknown option --frob"},
        {{good, "--transcript"}, "qln-sim: --transcript needs a value"},
        {{good, good}, "qln-sim: one scenario at a time (" + good + " and " + good + ")"},
        {{dir.path("missing.qls")}, "qln-sim: cannot open " + dir.path("missing.qls")},
        {{good, "--transcript", good}, "qln-sim: the transcript " + good + " would overwrite the scenario"},
        {{good, "--transcript", dir.path("no/such/dir/t.txt")},
         "qln-sim: cannot write the transcript " + dir.path("no/such/dir/t.txt")},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(Cli::main(c.args, out, err), 2) << c.firstLine;
        EXPECT_EQ(err.str().substr(0, err.str().find('\n')), c.firstLine);
    }
    EXPECT_EQ(readAll(good), "advance 1s\n");
    std::ostringstream out, err;
    EXPECT_EQ(Cli::main({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("  mail REF in PATH [option ...]"), std::string::npos);
    EXPECT_NE(out.str().find("  page open|apply|close"), std::string::npos);
    // Every command of the language is available.
    EXPECT_EQ(out.str().find("not available yet"), std::string::npos);
}

} // namespace
} // namespace qln::runner
