#include "notifier/window/PresenceChecks.h"

#include <gtest/gtest.h>

#include "platform/sim/SimWorld.h"

namespace qln {
namespace {

using platform::OsVersion;
using platform::WindowHandle;
using platform::sim::TrayIconState;

constexpr std::uint32_t NewMailIconGone = 0x407;

class PresenceChecksTest : public ::testing::Test {
protected:
    platform::sim::SimWorld world;
    PresenceChecks checks{world.desktop, world.system};

    TrayIconState icon(WindowHandle window) const { return world.desktop.trayIcon(window, 0); }
    int gone(WindowHandle window) const { return world.desktop.messageCount(window, NewMailIconGone); }
};

TEST_F(PresenceChecksTest, TheScreenSaverIsAskedForOnNT5AndLookedForAsADesktopBefore)
{
    struct Case {
        std::uint32_t platformId, major;
        bool nt5;
    };
    for (const Case& c : {Case{OsVersion::NT, 6, true}, Case{OsVersion::NT, 5, true}, Case{OsVersion::Win9x, 4, false},
                          Case{OsVersion::NT, 4, false}}) {
        world.system.setOsVersion(c.platformId, c.major);
        checks.RecordNT5Flag();
        EXPECT_EQ(checks.NT5(), c.nt5) << c.platformId << "." << c.major;
        for (bool running : {true, false}) {
            world.desktop.setScreenSaver(running);
            EXPECT_EQ(checks.IsScreenSaverRunning(), running) << c.platformId << "." << c.major;
            EXPECT_EQ(world.desktop.openDesktopCount(), 0) << c.major << ": the desktop is closed at once";
        }
    }

    // Still NT 4 here.
    world.desktop.setScreenSaver(true);
    world.desktop.faults().fail("CloseDesktop", 1);
    EXPECT_TRUE(checks.IsScreenSaverRunning()) << "NT 4: a failed close does not hide the desktop";
    world.desktop.faults().fail("OpenDesktopA", 1);
    EXPECT_FALSE(checks.IsScreenSaverRunning());

    world.system.setOsVersion(OsVersion::NT, 5);
    checks.RecordNT5Flag();
    world.desktop.faults().fail("SystemParametersInfoA", 1);
    EXPECT_FALSE(checks.IsScreenSaverRunning());
    world.desktop.faults().fail("OpenDesktopA");
    EXPECT_TRUE(checks.IsScreenSaverRunning()) << "NT 5 never looks for the desktop";
}

TEST_F(PresenceChecksTest, TheIconOfTheFirstTitleLessOutlookWindowThatOwnsOneIsRemoved)
{
    auto& desktop = world.desktop;
    // Added bottom first: enumeration meets them top first, lastOwner last.
    WindowHandle lastOwner = desktop.addWindow("last-owner", "rctrl_renwnd32", "", true);
    WindowHandle owner = desktop.addWindow("owner", "rctrl_renwnd32", "", true);
    WindowHandle withoutIcon = desktop.addWindow("without-icon", "rctrl_renwnd32", "", true);
    WindowHandle otherCase = desktop.addWindow("other-case", "RCtrl_RenWnd32", "", true);
    WindowHandle longer = desktop.addWindow("longer", "rctrl_renwnd32x", "", true);
    WindowHandle main = desktop.addWindow("main", "rctrl_renwnd32", "Inbox - Microsoft Outlook");
    for (WindowHandle w : {lastOwner, owner, otherCase, longer, main})
        desktop.addTrayIcon(w, 0);

    checks.RemoveOutlookNewMailIcon();

    EXPECT_EQ(icon(owner), TrayIconState::Removed);
    EXPECT_EQ(gone(owner), 1);
    EXPECT_EQ(gone(withoutIcon), 0);
    // Never used: Outlook's titled main window, a class that differs in letter case or only begins
    // with Outlook's; and the search stopped at the first success.
    for (WindowHandle w : {main, otherCase, longer, lastOwner}) {
        EXPECT_EQ(icon(w), TrayIconState::Shown) << desktop.nameOf(w);
        EXPECT_EQ(gone(w), 0) << desktop.nameOf(w);
    }

    // With no icon left to delete nothing is sent.
    desktop.closeWindow(lastOwner);
    checks.RemoveOutlookNewMailIcon();
    EXPECT_EQ(gone(owner), 1);
}

} // namespace
} // namespace qln
