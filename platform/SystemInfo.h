#pragma once
// Seam: facts about the machine and the logged-on user.

#include <string>

namespace platform {

class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // The logged-on Windows user's name, whole. Throws when the system cannot tell.
    virtual std::string userName() = 0;

    // The folder that holds the notifier's program file, without a trailing backslash
    // (App.Path), for example "C:\Program Files\Quellin".
    virtual std::string programFolder() = 0;
};

} // namespace platform
