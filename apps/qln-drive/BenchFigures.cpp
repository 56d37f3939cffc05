#include "apps/qln-drive/BenchFigures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace qln::drive {

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        throw std::invalid_argument("percentile of no samples");
    if (!(p > 0 && p <= 100))
        throw std::invalid_argument("percentile outside (0, 100]");
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

LatencySummary summarize(std::vector<double> samples)
{
    if (samples.empty())
        throw std::invalid_argument("no samples to summarize");
    std::sort(samples.begin(), samples.end());
    LatencySummary summary;
    const std::size_t n = samples.size();
    summary.count = n;
    summary.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    summary.p95 = percentile(samples, 95);
    summary.min = samples.front();
    summary.max = samples.back();
    return summary;
}

CallCounts parseCallReport(std::string_view report)
{
    CallCounts counts;
    while (!report.empty()) {
        const std::size_t end = report.find('\n');
        std::string_view line = report.substr(0, end);
        report = end == std::string_view::npos ? std::string_view() : report.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const std::size_t equals = line.rfind('=');
        std::int64_t count = 0;
        const char* last = line.data() + line.size();
        if (equals == 0 || equals == std::string_view::npos ||
            std::from_chars(line.data() + equals + 1, last, count).ptr != last || equals + 1 == line.size() || count < 0)
            throw std::invalid_argument("not a call count: \"" + std::string(line) + "\"");
        counts[std::string(line.substr(0, equals))] += count;
    }
    return counts;
}

CallCounts callsBetween(const CallCounts& earlier, const CallCounts& later)
{
    CallCounts grown;
    for (const auto& [key, count] : later) {
        const auto before = earlier.find(key);
        const std::int64_t delta = count - (before == earlier.end() ? 0 : before->second);
        if (delta > 0)
            grown[key] = delta;
    }
    return grown;
}

std::int64_t totalCalls(const CallCounts& counts)
{
    std::int64_t total = 0;
    for (const auto& entry : counts)
        total += entry.second;
    return total;
}

double cpuMsPerMinute(double cpuMs, double periodMs)
{
    if (!(periodMs > 0))
        throw std::invalid_argument("an idle period must be positive");
    return cpuMs * 60000.0 / periodMs;
}

bool commandLineStartsWith(std::string_view cmdline, std::string_view program)
{
    std::string_view first = cmdline.substr(0, cmdline.find('\0'));
    if (first.size() >= 2 && first.front() == '"' && first.back() == '"')
        first = first.substr(1, first.size() - 2);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return !program.empty() && first.size() == program.size() &&
           std::equal(first.begin(), first.end(), program.begin(), [&](char a, char b) { return lower(a) == lower(b); });
}

std::int64_t schedstatRunNs(std::string_view schedstat)
{
    std::int64_t ns = 0;
    std::size_t i = 0;
    for (; i < schedstat.size() && schedstat[i] >= '0' && schedstat[i] <= '9'; ++i) {
        if (ns > (INT64_MAX - 9) / 10)
            return -1;
        ns = ns * 10 + (schedstat[i] - '0');
    }
    return i == 0 ? -1 : ns;
}

} // namespace qln::drive
