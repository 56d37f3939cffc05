#include "apps/qln-sim/ScenarioWorld.h"

namespace qln::runner {

platform::sim::Faults* SimScenarioWorld::faults(FaultTarget target)
{
    switch (target) {
    case FaultTarget::Outlook: return &world_.outlook.faults();
    case FaultTarget::Desktop: return &world_.desktop.faults();
    case FaultTarget::Registry: return &world_.registry.faults();
    case FaultTarget::Files: return &world_.files.faults();
    }
    return nullptr;
}

} // namespace qln::runner
