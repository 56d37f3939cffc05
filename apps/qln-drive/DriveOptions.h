#pragma once
// qln-drive's command line: what to run (the demo story, the benchmark, a short smoke run) and
// its options. Portable, so that it is tested on every build.
//
//   qln-drive demo  [--qln PATH] --out DIR
//   qln-drive bench [--qln PATH] [--items N] [--idle-seconds S] [--call-items N]
//   qln-drive smoke [--qln PATH] [--out DIR]

#include <span>
#include <stdexcept>
#include <string>

namespace qln::drive {

enum class Mode { Demo, Bench, Smoke };

struct DriveOptions {
    Mode mode = Mode::Demo;
    // QLN.exe where a user finds it; its folder is the program folder the settings name. Given
    // with slashes ("Z:/build/QLN.exe"), they become backslashes, as Windows' paths have them.
    std::string qln = "C:\\Program Files\\Quellin\\QLN.exe";
    // Where the screenshots go; none: no screenshots (smoke only).
    std::string out;
    int items = 100;         // bench: items timed from ItemAdd to the popup on screen
    int idleSeconds = 60;    // bench: the idle period measured
    int callItems = 3;       // bench: items whose calls are counted over their whole life
};

// A command line that cannot be read; what() says why, for the user.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name.
DriveOptions parseDriveOptions(std::span<const std::string> args);

// The usage text.
const char* driveUsage();

} // namespace qln::drive
