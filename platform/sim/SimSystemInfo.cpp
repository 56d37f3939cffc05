#include "platform/sim/SimSystemInfo.h"

#include "platform/Failure.h"

namespace platform::sim {

std::string SimSystemInfo::userName()
{
    if (!userName_)
        throw Failure("GetUserName failed: no logged-on user name (simulated)");
    return *userName_;
}

} // namespace platform::sim
