#pragma once
// Everything the notifier reaches outside itself, gathered once by the program's main (or a test)
// and handed to the popup: the seams, and the settings store and sender list files on top of them.

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "shared/SenderLists.h"
#include "shared/Settings.h"
#include "shared/mdlRegistry.h"

namespace qln {

class NotifierServices {
public:
    NotifierServices(platform::Registry& registry, platform::FileSystem& files, platform::SystemInfo& system,
                     platform::Desktop& desktop, platform::MessageLoop& loop, const platform::Clock& clock,
                     platform::ObjectFactory& com)
        : desktop(desktop), loop(loop), clock(clock), system(system), com(com),
          registry_(registry, system, files),
          settings(registry_, settings::Reader::Notifier),
          lists(settings, ListFolderBase::ProgramFolder)
    {
    }
    NotifierServices(const NotifierServices&) = delete;
    NotifierServices& operator=(const NotifierServices&) = delete;

    platform::Desktop& desktop;
    platform::MessageLoop& loop;
    const platform::Clock& clock;
    platform::SystemInfo& system;
    platform::ObjectFactory& com;

private:
    mdlRegistry registry_;  // declared before the members built on it

public:
    const settings::Settings settings;  // read with the notifier's defaults
    const SenderListFiles lists;        // in the notifier's program folder
};

} // namespace qln
