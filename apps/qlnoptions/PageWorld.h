#pragma once
// The Windows world of the options page inside its host's process: the real registry, files,
// machine facts, desktop, GDI fonts, the host's message loop (our tasks and timers ride on its
// pump through a hidden window), Outlook by its ProgID, the forms on real windows, and the system's
// font and colour dialogs (CommonDialogs.h).
//
// One world serves every page of the process: made with the first page, gone with the last
// (shared()), so a DLL that is unloaded leaves no window or class of its own behind.

#include <memory>

#include "options/OptionsServices.h"
#include "platform/forms/Form.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace qln::options_dll {

class PageWorld {
public:
    PageWorld();
    PageWorld(const PageWorld&) = delete;
    PageWorld& operator=(const PageWorld&) = delete;

    // The world of the pages that live now, or a new one.
    static std::shared_ptr<PageWorld> shared();

    // Services for one page: the seams above and the system font dialog.
    std::unique_ptr<OptionsServices> optionsServices();

    platform::win32::Win32Loop loop;
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32Desktop desktop;
    platform::win32::GdiFontEngine fonts;
    platform::win32::ComObjectFactory com{loop};
    forms::FormsHost host{desktop, loop, fonts, system};
    platform::win32::FormWindows windows{host, desktop};
};

} // namespace qln::options_dll
