#pragma once
// The simulated machine's facts: the logged-on user and the notifier's program folder.

#include <optional>
#include <string>

#include "platform/SystemInfo.h"

namespace platform::sim {

class SimSystemInfo final : public SystemInfo {
public:
    std::string userName() override;   // throws when the user is set to none
    std::string programFolder() override { return programFolder_; }

    // nullopt: the system cannot tell the user name (GetUserName fails).
    void setUserName(std::optional<std::string> name) { userName_ = std::move(name); }
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

private:
    std::optional<std::string> userName_ = "alice";
    std::string programFolder_ = "C:\\Program Files\\Quellin";
};

} // namespace platform::sim
