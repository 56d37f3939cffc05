#pragma once
// The whole simulated world in one object: message loop and clock, registry, file system,
// machine facts, Outlook and the MAPI helper. Tests and the scenario runner build one and hand
// its seams to the system.

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimOutlook.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"

namespace platform::sim {

struct SimWorld {
    SimLoop loop;
    SimRegistry registry;
    SimFileSystem files;
    SimSystemInfo system;
    SimOutlook outlook{loop, loop};
};

} // namespace platform::sim
