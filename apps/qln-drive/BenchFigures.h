#pragma once
// The benchmark's arithmetic: latency statistics over the timed items, the stand-in's call report
// read and compared, CPU time scaled to a minute. Portable, tested on every build.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qln::drive {

struct LatencySummary {
    std::size_t count = 0;
    double median = 0;  // the middle sample; the mean of the two middle ones for an even count
    double p95 = 0;     // nearest rank: the smallest sample with 95 % of them at or below it
    double min = 0;
    double max = 0;
};

// Throws std::invalid_argument for no samples.
LatencySummary summarize(std::vector<double> samples);

// The nearest-rank percentile (0 < p <= 100) of the samples; throws std::invalid_argument for no
// samples or p outside that range.
double percentile(std::vector<double> samples, double p);

// The stand-in's CallReport ("Interface.Member=N" lines) as counts per key. Throws
// std::invalid_argument for a line that is not "key=count".
using CallCounts = std::map<std::string, std::int64_t, std::less<>>;
CallCounts parseCallReport(std::string_view report);

// later - earlier, per key; keys whose count did not grow are left out.
CallCounts callsBetween(const CallCounts& earlier, const CallCounts& later);

// The sum of every key's count, name look-ups ("*.GetIDsOfNames") included.
std::int64_t totalCalls(const CallCounts& counts);

// CPU time over a measured period, as milliseconds per minute; throws std::invalid_argument for a
// period that is not positive.
double cpuMsPerMinute(double cpuMs, double periodMs);

// Linux's /proc as a program under Wine reads it (Z:\proc): Wine 8 answers GetProcessTimes of
// another process with the caller's own times, so the benchmark finds QLN.exe's Linux process and
// adds up its threads' run times itself.
//
// Whether a process's "cmdline" (its arguments, each ended by a NUL; Wine puts the Windows command
// line's there) starts with `program`, quoted or not, without regard to ASCII letter case.
bool commandLineStartsWith(std::string_view cmdline, std::string_view program);
// A thread's run time in nanoseconds from its "schedstat" (the first of its numbers); -1 for a
// text that does not start with one.
std::int64_t schedstatRunNs(std::string_view schedstat);

} // namespace qln::drive
