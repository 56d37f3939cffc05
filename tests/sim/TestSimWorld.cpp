#include "platform/sim/SimWorld.h"

#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace platform::sim {
namespace {

TEST(SimWorldTest, MachineDefaultsMatchAnOrdinaryDesktop)
{
    SimWorld world;
    EXPECT_EQ(world.system.screenWidth(), 1024);
    EXPECT_EQ(world.system.screenHeight(), 768);
    EXPECT_EQ(world.system.logPixelsX(), 96);
    EXPECT_EQ(world.system.logPixelsY(), 96);
    EXPECT_EQ(world.system.desktopTextMetricHeight(), 16);
    EXPECT_EQ(world.system.osVersion().platformId, OsVersion::NT);
    EXPECT_EQ(world.system.osVersion().major, 5u);
    EXPECT_EQ(world.system.localeName(), "en-US");
    EXPECT_EQ(world.fontMode, FontMode::Fixed);

    world.system.setLargeFonts(true);
    EXPECT_EQ(world.system.desktopTextMetricHeight(), 20);
    world.system.setTextMetricHeight(std::nullopt);
    EXPECT_THROW(world.system.desktopTextMetricHeight(), Failure);
}

TEST(SimWorldTest, OutlookBringsItsWindowsAndTakesThemAway)
{
    SimWorld world;
    EXPECT_EQ(world.outlookMainWindow(), NoWindow);
    world.outlookStart();
    WindowHandle main = world.outlookMainWindow();
    WindowHandle tray = world.outlookTrayWindow();
    ASSERT_NE(main, NoWindow);
    ASSERT_NE(tray, NoWindow);
    EXPECT_EQ(world.desktop.title(main), "Inbox - Microsoft Outlook");
    EXPECT_EQ(world.desktop.className(main), "rctrl_renwnd32");
    EXPECT_EQ(world.desktop.title(tray), "");
    EXPECT_EQ(world.desktop.className(tray), "rctrl_renwnd32");
    EXPECT_FALSE(world.desktop.visible(tray));
    EXPECT_EQ(world.desktop.front(), main);
    EXPECT_EQ(world.desktop.foreground(), main);

    world.outlookStart();   // already running: the same windows
    EXPECT_EQ(world.outlookMainWindow(), main);
    EXPECT_EQ(world.desktop.zOrder().size(), 2u);

    auto app = world.outlook.createOutlookApplication();
    world.outlookQuit();
    EXPECT_EQ(world.outlookMainWindow(), NoWindow);
    EXPECT_EQ(world.outlookTrayWindow(), NoWindow);
    EXPECT_TRUE(world.desktop.zOrder().empty());
    EXPECT_EQ(world.desktop.foreground(), NoWindow);
    EXPECT_THROW(app->GetNamespace("MAPI"), Failure);

    world.outlookStart();   // a new Outlook has new windows
    EXPECT_NE(world.outlookMainWindow(), NoWindow);
    EXPECT_NE(world.outlookMainWindow(), main);
}

TEST(SimWorldTest, NewInboxMailShowsTheTrayIconOnTheOwnerWindow)
{
    SimWorld world;
    world.outlookStart();
    WindowHandle tray = world.outlookTrayWindow();
    world.outlook.addFolder("Inbox/Spam");

    MailSpec mail;
    mail.subject = "hello";
    world.outlook.deliver("Inbox/Spam", mail);
    EXPECT_EQ(world.desktop.trayIcon(tray, 0), TrayIconState::Absent);
    mail.unread = false;
    world.outlook.deliver("Inbox", mail);
    EXPECT_EQ(world.desktop.trayIcon(tray, 0), TrayIconState::Absent);
    mail.unread = true;
    world.outlook.deliver("Inbox", mail);
    EXPECT_EQ(world.desktop.trayIcon(tray, 0), TrayIconState::Shown);
    EXPECT_EQ(world.desktop.trayIcon(world.outlookMainWindow(), 0), TrayIconState::Absent);
}

TEST(SimWorldTest, DisplayOpensOneItemWindowPerItemOnTop)
{
    SimWorld world;
    world.outlookStart();
    MailSpec mail;
    mail.subject = "Budget";
    std::string id = world.outlook.deliver("Inbox", mail);
    world.loop.runPending();
    WindowHandle other = world.desktop.addWindow("editor", "Notepad", "notes - Notepad");

    auto ns = world.outlook.createOutlookApplication()->GetNamespace("MAPI");
    std::string storeID = world.outlook.folderStoreID("Inbox");
    ns->GetItemFromID(id, storeID)->Display();
    WindowHandle item = world.desktop.window("item:" + id);
    ASSERT_NE(item, NoWindow);
    EXPECT_EQ(world.desktop.title(item), "Budget - Message");
    EXPECT_EQ(world.desktop.front(), item);
    EXPECT_NE(world.desktop.foreground(), item) << "Outlook's new window does not take the foreground";

    world.desktop.setForeground(other);
    ns->GetItemFromID(id, storeID)->Display();
    EXPECT_EQ(world.desktop.window("item:" + id), item);
    EXPECT_EQ(world.desktop.front(), item);
    EXPECT_EQ(world.desktop.zOrder().size(), 4u);

    world.outlookQuit();
    EXPECT_FALSE(world.desktop.exists(item));
    EXPECT_EQ(world.desktop.zOrder(), std::vector<WindowHandle>{other});
}

} // namespace
} // namespace platform::sim
