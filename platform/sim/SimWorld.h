#pragma once
// The whole simulated world in one object: message loop and clock, registry, file system,
// machine facts, desktop, Outlook and the MAPI helper. Tests and the scenario runner build one and
// hand its seams to the system.
//
// The world ties Outlook to the desktop. outlookStart() and outlookQuit() run Outlook together
// with its windows: the main window (class "rctrl_renwnd32", titled "Inbox - Microsoft Outlook")
// and a hidden, title-less window of the same class that owns the new-mail tray icon (id 0).
// While Outlook runs, Display opens an item window "<subject> - Message" at the top of the
// z-order (a second Display of the same item brings its window up again), and a new unread item in
// the default Inbox shows the tray icon. The world sets SimOutlook's `displayed` and `newMailIcon`
// observers for this; whoever adds to them should call the previous ones.

#include <string>

#include "platform/Desktop.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimOutlook.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"

namespace platform::sim {

// How the text engine measures: `Fixed` metrics for exact layout tests, `Real` the platform's fonts.
enum class FontMode { Fixed, Real };

struct SimWorld {
    SimWorld();
    SimWorld(const SimWorld&) = delete;
    SimWorld& operator=(const SimWorld&) = delete;

    SimLoop loop;
    SimRegistry registry;
    SimFileSystem files;
    SimSystemInfo system;
    SimDesktop desktop{loop};
    SimOutlook outlook{loop, loop};
    FontMode fontMode = FontMode::Fixed;

    static constexpr const char* OutlookWindowClass = "rctrl_renwnd32";
    static constexpr const char* OutlookMainTitle = "Inbox - Microsoft Outlook";
    // World names of Outlook's windows on the desktop; item windows are named "item:<EntryID>".
    static constexpr const char* OutlookMainName = "outlook";
    static constexpr const char* OutlookTrayName = "outlook-tray";

    // Outlook starts (SimOutlook::start) and its main window and tray-owner window appear; the
    // main window is in front and has the foreground. Starting a running Outlook changes nothing.
    void outlookStart();
    // Outlook's windows (main, tray owner, item windows) go away and its objects fail from now on.
    void outlookQuit();

    // Outlook's windows while it runs, else NoWindow.
    WindowHandle outlookMainWindow() const;
    WindowHandle outlookTrayWindow() const;

private:
    void openItemWindow(const std::string& entryID, const std::string& title);
    void showNewMailIcon();

    WindowHandle outlookMain_ = NoWindow;
    WindowHandle outlookTray_ = NoWindow;
};

} // namespace platform::sim
