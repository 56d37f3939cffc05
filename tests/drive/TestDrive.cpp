// qln-drive's command line and the benchmark's arithmetic: the parts of the Windows demo and
// benchmark that hold logic of their own.

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "apps/qln-drive/BenchFigures.h"
#include "apps/qln-drive/DriveOptions.h"

namespace {

using namespace qln::drive;

DriveOptions parse(std::vector<std::string> args) { return parseDriveOptions(args); }

std::string refusal(std::vector<std::string> args)
{
    try {
        parse(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(DriveOptions, ReadsEachRunWithItsOptionsAndDefaults)
{
    const DriveOptions demo = parse({"demo", "--out", "Z:\\work\\build\\wine-demo"});
    EXPECT_EQ(demo.mode, Mode::Demo);
    EXPECT_EQ(demo.out, "Z:\\work\\build\\wine-demo");
    EXPECT_EQ(demo.qln, "C:\\Program Files\\Quellin\\QLN.exe");

    const DriveOptions bench = parse({"bench", "--items", "20", "--idle-seconds", "15", "--call-items", "2"});
    EXPECT_EQ(bench.mode, Mode::Bench);
    EXPECT_EQ(bench.items, 20);
    EXPECT_EQ(bench.idleSeconds, 15);
    EXPECT_EQ(bench.callItems, 2);
    const DriveOptions defaults = parse({"bench"});
    EXPECT_EQ(defaults.items, 100);
    EXPECT_EQ(defaults.idleSeconds, 60);
    EXPECT_TRUE(defaults.out.empty());

    // A path given with slashes (CMake's, a Unix shell's) becomes a Windows path.
    const DriveOptions smoke = parse({"smoke", "--qln", "Z:/work/build-mingw/apps/qln/QLN.exe"});
    EXPECT_EQ(smoke.mode, Mode::Smoke);
    EXPECT_EQ(smoke.qln, "Z:\\work\\build-mingw\\apps\\qln\\QLN.exe");
    EXPECT_TRUE(smoke.out.empty());
}

TEST(DriveOptions, RefusesWhatItCannotRead)
{
    EXPECT_EQ(refusal({}), "which run: demo, bench or smoke");
    EXPECT_EQ(refusal({"play"}), "unknown run \"play\": demo, bench or smoke");
    EXPECT_EQ(refusal({"demo"}), "demo: --out DIR names where the screenshots go");
    EXPECT_EQ(refusal({"demo", "--out"}), "--out: needs a value");
    EXPECT_EQ(refusal({"demo", "--out", ""}), "\"--out\" is not an option of demo");
    // Options belong to their run: a benchmark writes no screenshots, a demo times nothing.
    EXPECT_EQ(refusal({"bench", "--out", "x"}), "\"--out\" is not an option of bench");
    EXPECT_EQ(refusal({"smoke", "--items", "3"}), "\"--items\" is not an option of smoke");
    for (const char* bad : {"0", "-5", "12x", "", "100001", "99999999999"})
        EXPECT_EQ(refusal({"bench", "--items", bad}),
                  std::string("--items: a whole number from 1 to 100000, not \"") + bad + "\"")
            << bad;
    EXPECT_EQ(refusal({"bench", "--idle-seconds", "3601"}), "--idle-seconds: a whole number from 1 to 3600, not \"3601\"");
}

TEST(BenchFigures, MedianAndNearestRankPercentile)
{
    // Odd and even counts; the samples' order does not matter.
    EXPECT_EQ(summarize({30, 10, 20}).median, 20);
    EXPECT_EQ(summarize({40, 10, 30, 20}).median, 25);
    const LatencySummary one = summarize({7.5});
    EXPECT_EQ(one.median, 7.5);
    EXPECT_EQ(one.p95, 7.5);
    EXPECT_EQ(one.min, 7.5);
    EXPECT_EQ(one.max, 7.5);

    // 1..100: the 95th percentile is the 95th smallest; of 1..20, the 19th; of 1..10, the 10th
    // (ceil(9.5)), never an interpolated value.
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(i);
    const LatencySummary s = summarize(hundred);
    EXPECT_EQ(s.count, 100u);
    EXPECT_EQ(s.median, 50.5);
    EXPECT_EQ(s.p95, 95);
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.max, 100);
    EXPECT_EQ(percentile({hundred.begin() + 80, hundred.end()}, 95), 19);
    EXPECT_EQ(percentile({hundred.begin() + 90, hundred.end()}, 95), 10);
    EXPECT_EQ(percentile({3, 1, 2}, 100), 3);
    EXPECT_EQ(percentile({3, 1, 2}, 1), 1);

    EXPECT_THROW(summarize({}), std::invalid_argument);
    EXPECT_THROW(percentile({1}, 0), std::invalid_argument);
    EXPECT_THROW(percentile({1}, 101), std::invalid_argument);
}

TEST(BenchFigures, CallReportsReadAndCompared)
{
    const CallCounts before = parseCallReport("Items.Count=2\nMailItem.GetIDsOfNames=5\nMailItem.Subject=1\n");
    EXPECT_EQ(before.at("MailItem.Subject"), 1);
    EXPECT_EQ(totalCalls(before), 8);
    // Windows line ends and blank lines are fine.
    const CallCounts after =
        parseCallReport("Items.Count=2\r\n\r\nMailItem.GetIDsOfNames=5\nMailItem.Subject=3\nNameSpace.GetItemFromID=2");
    const CallCounts grown = callsBetween(before, after);
    EXPECT_EQ(grown, (CallCounts{{"MailItem.Subject", 2}, {"NameSpace.GetItemFromID", 2}}));
    EXPECT_EQ(totalCalls(grown), 4);
    EXPECT_TRUE(callsBetween(after, after).empty());
    EXPECT_TRUE(parseCallReport("").empty());

    for (const char* bad : {"MailItem.Subject", "=3", "MailItem.Subject=", "MailItem.Subject=x", "A.B=-1", "A.B=3 "})
        EXPECT_THROW(parseCallReport(bad), std::invalid_argument) << bad;
}

TEST(BenchFigures, CpuTimeScaledToAMinute)
{
    EXPECT_DOUBLE_EQ(cpuMsPerMinute(12, 60000), 12);
    EXPECT_DOUBLE_EQ(cpuMsPerMinute(5, 30000), 10);
    EXPECT_DOUBLE_EQ(cpuMsPerMinute(0, 1000), 0);
    EXPECT_THROW(cpuMsPerMinute(1, 0), std::invalid_argument);
}

TEST(BenchFigures, ALinuxProcessIsFoundByItsCommandLineAndTimedByItsThreadsRunTimes)
{
    using namespace std::string_view_literals;
    const std::string_view program = "C:\\Program Files\\Quellin\\QLN.exe";
    EXPECT_TRUE(commandLineStartsWith("C:\\Program Files\\Quellin\\QLN.exe\0"sv, program));
    EXPECT_TRUE(commandLineStartsWith("\"c:\\program files\\quellin\\qln.exe\"\0--x\0"sv, program));
    EXPECT_TRUE(commandLineStartsWith("C:\\Program Files\\Quellin\\QLN.exe"sv, program));
    EXPECT_FALSE(commandLineStartsWith("C:\\Program Files\\Quellin\\QLN-old.exe\0"sv, program));
    EXPECT_FALSE(commandLineStartsWith("C:\\Program Files\\Quellin\\QLN.exe.bak\0"sv, program));
    EXPECT_FALSE(commandLineStartsWith("/usr/bin/wineserver\0-p\0"sv, program));
    EXPECT_FALSE(commandLineStartsWith(""sv, program));
    EXPECT_FALSE(commandLineStartsWith("\0"sv, ""));

    EXPECT_EQ(schedstatRunNs("4861794 1105217 3\n"), 4861794);
    EXPECT_EQ(schedstatRunNs("0 0 0\n"), 0);
    EXPECT_EQ(schedstatRunNs(""), -1);
    EXPECT_EQ(schedstatRunNs("x 1 2"), -1);
    EXPECT_EQ(schedstatRunNs("99999999999999999999999 1 2"), -1);
}

} // namespace
