#include "platform/sim/Faults.h"

#include "platform/Failure.h"

namespace platform::sim {

void Faults::fail(std::string_view operation, int times)
{
    if (times == 0) {
        clear(operation);
        return;
    }
    remaining_[std::string(operation)] = times < 0 ? Always : times;
}

void Faults::clear(std::string_view operation)
{
    if (auto it = remaining_.find(operation); it != remaining_.end())
        remaining_.erase(it);
}

void Faults::clearAll() { remaining_.clear(); }

bool Faults::armed(std::string_view operation) const { return remaining_.find(operation) != remaining_.end(); }

void Faults::check(std::string_view operation)
{
    auto it = remaining_.find(operation);
    if (it == remaining_.end())
        return;
    if (it->second != Always && --it->second == 0)
        remaining_.erase(it);
    throw Failure(std::string(operation) + " failed (injected)");
}

} // namespace platform::sim
