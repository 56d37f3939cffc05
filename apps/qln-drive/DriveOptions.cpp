#include "apps/qln-drive/DriveOptions.h"

#include <algorithm>
#include <charconv>

namespace qln::drive {

namespace {

int positiveNumber(const std::string& option, const std::string& text, int most)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || rest != end || value < 1 || value > most)
        throw UsageError(option + ": a whole number from 1 to " + std::to_string(most) + ", not \"" + text + "\"");
    return value;
}

} // namespace

const char* driveUsage()
{
    return "usage: qln-drive demo  [--qln PATH] --out DIR\n"
           "       qln-drive bench [--qln PATH] [--items N] [--idle-seconds S] [--call-items N]\n"
           "       qln-drive smoke [--qln PATH] [--out DIR]\n";
}

DriveOptions parseDriveOptions(std::span<const std::string> args)
{
    if (args.empty())
        throw UsageError("which run: demo, bench or smoke");
    DriveOptions options;
    const std::string& mode = args[0];
    if (mode == "demo")
        options.mode = Mode::Demo;
    else if (mode == "bench")
        options.mode = Mode::Bench;
    else if (mode == "smoke")
        options.mode = Mode::Smoke;
    else
        throw UsageError("unknown run \"" + mode + "\": demo, bench or smoke");

    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (i + 1 >= args.size())
            throw UsageError(name + ": needs a value");
        const std::string& value = args[i + 1];
        const bool bench = options.mode == Mode::Bench;
        if (name == "--qln" && !value.empty()) {
            options.qln = value;
            std::replace(options.qln.begin(), options.qln.end(), '/', '\\');
        } else if (name == "--out" && !bench && !value.empty()) {
            options.out = value;
        } else if (name == "--items" && bench) {
            options.items = positiveNumber(name, value, 100000);
        } else if (name == "--idle-seconds" && bench) {
            options.idleSeconds = positiveNumber(name, value, 3600);
        } else if (name == "--call-items" && bench) {
            options.callItems = positiveNumber(name, value, 100);
        } else {
            throw UsageError("\"" + name + "\" is not an option of " + mode);
        }
    }
    if (options.mode == Mode::Demo && options.out.empty())
        throw UsageError("demo: --out DIR names where the screenshots go");
    return options;
}

} // namespace qln::drive
