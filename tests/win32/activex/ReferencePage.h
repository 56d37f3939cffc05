#pragma once
// The options page on the simulated desktop over the real registry, files and fonts: what the page's
// form draws, to hold the screen against, and where its controls are.

#include <windows.h>

#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace activex_tests {

// The page's design size in pixels at 96 dpi (6300 x 5250 twips).
inline constexpr int kPageWidth = 420;
inline constexpr int kPageHeight = 350;

struct ReferencePage {
    ReferencePage(int width, int height) { page.move(0, 0, width * 15.0, height * 15.0); }
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::GdiFontEngine fonts;
    platform::win32::ComObjectFactory com{loop};
    forms::FormsHost host{desktop, loop, fonts, system};
    qln::OptionsServices services{registry, files, system, desktop, loop, com};
    qln::QLNOptions page{host, services};
};

// A control's box in its form's pixels, containers included.
RECT boxOf(const forms::Control& control);

} // namespace activex_tests
