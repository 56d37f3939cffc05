#include "apps/qln-sim/ScenarioWorld.h"

#include "platform/draw/Surface.h"

namespace qln::runner {

std::optional<draw::Surface> ScenarioWorld::captureScreen(const std::optional<platform::WindowRect>&) const
{
    return std::nullopt;
}

void SimScenarioWorld::reportSystemWrites(SystemWrites reports)
{
    // Only the system's own writes reach these; the scenario's are echoed by its commands. What
    // was listening already goes on hearing them.
    world_.registry.on_write = [previous = std::move(world_.registry.on_write), report = std::move(reports.registry)](
                                   platform::Hive hive, const std::string& path, const std::string& name,
                                   const RegValue& value) {
        if (previous)
            previous(hive, path, name, value);
        if (report)
            report(hive, path, name, value);
    };
    world_.files.on_change = [previous = std::move(world_.files.on_change),
                              report = std::move(reports.files)](const std::string& operation, const std::string& path) {
        if (previous)
            previous(operation, path);
        if (report)
            report(operation, path);
    };
}

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
