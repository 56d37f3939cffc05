#pragma once
// Everything the options page reaches outside itself, gathered once by its host (Outlook's
// Options dialog, the scenario runner or a test): the seams, and the settings store and sender
// list files on top of them, read with the page's defaults.

#include <functional>
#include <optional>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/FontDialog.h"
#include "shared/SenderLists.h"
#include "shared/Settings.h"
#include "shared/mdlRegistry.h"

namespace qln {

class OptionsServices {
public:
    OptionsServices(platform::Registry& registry, platform::FileSystem& files, platform::SystemInfo& system,
                    platform::Desktop& desktop, platform::MessageLoop& loop, platform::ObjectFactory& com)
        : desktop(desktop), loop(loop), system(system), files(files), com(com),
          registry_(registry, system, files),
          settings(registry_, settings::Reader::Page),
          lists(settings, ListFolderBase::InstallPath)
    {
    }
    OptionsServices(const OptionsServices&) = delete;
    OptionsServices& operator=(const OptionsServices&) = delete;

    platform::Desktop& desktop;
    platform::MessageLoop& loop;
    platform::SystemInfo& system;
    platform::FileSystem& files;
    platform::ObjectFactory& com;

    // The system font dialog: the user's choice, or nullopt when the user cancels. Without one
    // every font dialog is cancelled.
    forms::FontDialog::Chooser fontChooser;
    // The colour picker's dialog: the user's colour, or nullopt when the user cancels. Without one
    // a click on the picker opens nothing.
    forms::ColorPicker::Dialog colourDialog;

private:
    mdlRegistry registry_;  // declared before the members built on it

public:
    const settings::Settings settings;  // read with the page's defaults
    const SenderListFiles lists;        // in the installation's folder
};

} // namespace qln
