#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Failure.h"
#include "platform/sim/SimLoop.h"

namespace platform::sim {
namespace {

constexpr std::uint32_t VK_F11 = 0x7A;

struct Received {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class SimDesktopTest : public ::testing::Test {
protected:
    SimLoop loop;
    SimDesktop desktop{loop};

    // An own window whose procedure records every message.
    WindowHandle ownWindow(std::vector<Received>& log, bool topmost = false)
    {
        WindowSpec spec;
        spec.className = "ThunderRT6FormDC";
        spec.title = "New Mail";
        spec.topmost = topmost;
        WindowHandle window = desktop.createWindow(spec);
        desktop.setWindowProc(window, [&log](WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
            log.push_back({w, m, wp, lp});
            return std::intptr_t{7};
        });
        return window;
    }
};

TEST_F(SimDesktopTest, EnumerationFollowsTheZOrderWithTopmostWindowsAbove)
{
    WindowHandle a = desktop.addWindow("a", "ClassA", "First");
    WindowSpec spec{.className = "Popup", .title = "", .visible = false, .topmost = true};
    WindowHandle popup = desktop.createWindow(spec);
    WindowHandle b = desktop.addWindow("b", "ClassB", "Second", true);
    WindowHandle owned = desktop.addWindow(WorldWindow{"dlg", "#32770", "Dialog", true, a});

    // A new ordinary window opens under the topmost one, hidden windows are enumerated too.
    EXPECT_EQ(desktop.enumWindows(), (std::vector<WindowHandle>{popup, owned, b, a}));
    EXPECT_EQ(desktop.top(), popup);
    EXPECT_EQ(desktop.front(), owned);
    EXPECT_EQ(desktop.getParent(owned), a);
    EXPECT_EQ(desktop.getParent(a), NoWindow);
    EXPECT_FALSE(desktop.isWindowVisible(b));
    EXPECT_FALSE(desktop.isWindowVisible(popup));
    EXPECT_TRUE(desktop.isWindowVisible(a));

    desktop.bringWindowToTop(a);   // only to the top of its band
    EXPECT_EQ(desktop.enumWindows(), (std::vector<WindowHandle>{popup, a, owned, b}));

    desktop.setWindowPos(popup, InsertAfter::NoTopMost, std::nullopt);
    EXPECT_FALSE(desktop.topmost(popup));
    EXPECT_EQ(desktop.enumWindows().front(), popup);
    desktop.setWindowPos(a, InsertAfter::TopMost, std::nullopt);
    desktop.setWindowPos(popup, InsertAfter::Bottom, WindowRect{10, 20, 300, 100});
    EXPECT_EQ(desktop.enumWindows(), (std::vector<WindowHandle>{a, owned, b, popup}));
    EXPECT_EQ(desktop.getWindowRect(popup), (WindowRect{10, 20, 300, 100}));
    EXPECT_EQ(desktop.getExStyle(a) & wsex::TopMost, wsex::TopMost);

    desktop.closeWindow(owned);
    EXPECT_EQ(desktop.enumWindows(), (std::vector<WindowHandle>{a, b, popup}));
    EXPECT_FALSE(desktop.exists(owned));
    EXPECT_THROW(desktop.getParent(owned), Failure);
    EXPECT_THROW(desktop.getWindowText(owned, 128), Failure);
    EXPECT_FALSE(desktop.isWindowVisible(owned));
    EXPECT_EQ(desktop.window("dlg"), NoWindow);
    EXPECT_THROW(desktop.addWindow("a", "Again", "Taken name"), std::invalid_argument);
    EXPECT_THROW(desktop.closeWindow(popup), std::invalid_argument);
}

TEST_F(SimDesktopTest, OwnWindowsTakeTheirFormsNameUnlessAnOpenWindowHasIt)
{
    std::vector<std::string> calls;
    desktop.observers().call = [&](const std::string& line) { calls.push_back(line); };
    WindowSpec spec;
    spec.className = "ThunderRT6FormDC";
    spec.name = "frmNewMail";
    const WindowHandle first = desktop.createWindow(spec);
    EXPECT_EQ(desktop.nameOf(first), "frmNewMail");
    EXPECT_EQ(desktop.window("frmNewMail"), first);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "CreateWindowExA(ThunderRT6FormDC, \"\") = frmNewMail");
    desktop.showWindow(first, platform::sw::ShowNoActivate);
    EXPECT_EQ(calls.back().rfind("ShowWindow(frmNewMail, ", 0), 0u) << calls.back();

    const WindowHandle second = desktop.createWindow(spec);  // the name is taken: it stays unnamed
    EXPECT_EQ(desktop.nameOf(second), "");
    desktop.destroyWindow(first);
    const WindowHandle third = desktop.createWindow(spec);
    EXPECT_EQ(desktop.nameOf(third), "frmNewMail");
}

TEST_F(SimDesktopTest, TitleAndClassAreCutToTheBuffer)
{
    WindowHandle w = desktop.addWindow("w", "rctrl_renwnd32", "Inbox - Microsoft Outlook");
    struct Case {
        int size;
        std::string title;
        std::string className;
    } cases[] = {
        {128, "Inbox - Microsoft Outlook", "rctrl_renwnd32"},
        {26, "Inbox - Microsoft Outlook", "rctrl_renwnd32"},
        {25, "Inbox - Microsoft Outloo", "rctrl_renwnd32"},
        {15, "Inbox - Micros", "rctrl_renwnd32"},
        {14, "Inbox - Micro", "rctrl_renwnd3"},
        {2, "I", "r"},
        {1, "", ""},
        {0, "", ""},
        {-5, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(desktop.getWindowText(w, c.size), c.title) << c.size;
        EXPECT_EQ(desktop.getClassName(w, c.size), c.className) << c.size;
    }
    EXPECT_EQ(desktop.getWindowTextLength(w), 25);

    // Characters, not bytes: a title of 130 three-byte characters gives its first 127.
    std::string wide;
    for (int i = 0; i < 130; ++i)
        wide += "\u65e5";
    desktop.retitle(w, wide);
    EXPECT_EQ(desktop.getWindowTextLength(w), 130);
    EXPECT_EQ(desktop.getWindowText(w, 128), wide.substr(0, 127 * 3));
    desktop.retitle(w, "\u00c4\U0001F600x");
    EXPECT_EQ(desktop.getWindowText(w, 3), "\u00c4\U0001F600");
    EXPECT_EQ(desktop.getWindowText(w, 2), "\u00c4");
    desktop.retitle(w, "");
    EXPECT_EQ(desktop.getWindowTextLength(w), 0);
    EXPECT_EQ(desktop.getWindowText(w, 128), "");
}

TEST_F(SimDesktopTest, ForegroundMovesWithActivationAndPassesOnWhenItsWindowGoes)
{
    EXPECT_EQ(desktop.getForegroundWindow(), NoWindow);
    WindowHandle a = desktop.addWindow("a", "A", "a");
    WindowHandle b = desktop.addWindow("b", "B", "b");
    std::vector<Received> log;
    WindowHandle popup = ownWindow(log, true);
    desktop.showWindow(popup, sw::ShowNoActivate);
    EXPECT_EQ(desktop.getForegroundWindow(), NoWindow) << "a new window does not take the foreground";

    desktop.setForegroundWindow(a);
    EXPECT_EQ(desktop.foreground(), a);
    EXPECT_EQ(desktop.front(), a);

    desktop.showWindow(a, sw::Minimize);
    EXPECT_EQ(desktop.foreground(), b) << "the topmost popup is passed over";
    desktop.showWindow(b, sw::Hide);
    EXPECT_EQ(desktop.foreground(), NoWindow);
    EXPECT_EQ(desktop.front(), NoWindow);

    desktop.showWindow(b, sw::Show);   // activates
    EXPECT_EQ(desktop.foreground(), b);
    desktop.setForeground(a);          // the user clicks a's task-bar button
    EXPECT_EQ(desktop.foreground(), a);
    desktop.closeWindow(a);
    EXPECT_EQ(desktop.foreground(), b);
}

TEST_F(SimDesktopTest, ShowWindowKeepsPlacementsAsWindowsDoes)
{
    WindowHandle w = desktop.addWindow("w", "C", "t", true);
    WindowHandle other = desktop.addWindow("other", "C", "o");
    desktop.setForeground(other);
    EXPECT_EQ(desktop.showState(w), ShowState::Hidden);

    struct Step {
        int command;
        bool wasVisible;
        ShowState state;
        bool foreground;
    } steps[] = {
        {sw::ShowNoActivate, false, ShowState::Restored, false},
        {sw::Maximize, true, ShowState::Maximized, true},
        {sw::Minimize, true, ShowState::Minimized, false},
        {sw::Restore, true, ShowState::Maximized, true},   // back to the placement before minimising
        {sw::Hide, true, ShowState::Hidden, false},
        {sw::ShowNA, false, ShowState::Maximized, false},
        {sw::Restore, true, ShowState::Restored, true},
        {sw::ShowMinNoActive, true, ShowState::Minimized, false},
        {sw::Restore, true, ShowState::Restored, true},    // minimised from normal: normal again
        {sw::ShowNormal, true, ShowState::Restored, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.command);
        EXPECT_EQ(desktop.showWindow(w, s.command), s.wasVisible);
        EXPECT_EQ(desktop.showState(w), s.state);
        EXPECT_EQ(desktop.foreground() == w, s.foreground);
        if (!s.foreground)
            desktop.setForeground(other);
    }
    // A minimised window still counts as visible to IsWindowVisible.
    desktop.showWindow(w, sw::Minimize);
    EXPECT_TRUE(desktop.isWindowVisible(w));
    EXPECT_THROW(desktop.showWindow(w, 42), Failure);
}

TEST_F(SimDesktopTest, HotKeysRegisterPressAndUnregister)
{
    std::vector<Received> log;
    WindowHandle popup = ownWindow(log);
    WindowHandle foreign = desktop.addWindow("f", "F", "f");

    desktop.setHotKeyTaken(VK_F11, mod::Alt);
    EXPECT_THROW(desktop.registerHotKey(popup, 70, mod::Alt, VK_F11), Failure);
    EXPECT_EQ(desktop.hotKey(popup, 70), std::nullopt);
    EXPECT_FALSE(desktop.press(VK_F11, mod::Alt)) << "the other program gets it";
    EXPECT_THROW(desktop.registerHotKey(foreign, 70, mod::Shift, VK_F11), Failure);

    desktop.registerHotKey(popup, 70, mod::Shift | mod::Control, VK_F11);
    EXPECT_EQ(desktop.hotKey(popup, 70), (HotKeyCombo{VK_F11, 6}));
    EXPECT_THROW(desktop.registerHotKey(popup, 71, mod::Shift | mod::Control, VK_F11), Failure)
        << "a combination is held once, whoever asks";

    EXPECT_FALSE(desktop.press(VK_F11, mod::Shift));
    EXPECT_TRUE(desktop.press(VK_F11, mod::Shift | mod::Control));
    EXPECT_TRUE(log.empty()) << "WM_HOTKEY waits for the message loop";
    loop.runPending();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].message, wm::HotKey);
    EXPECT_EQ(log[0].wParam, 70u);
    EXPECT_EQ(log[0].lParam, static_cast<std::intptr_t>(6 | (VK_F11 << 16)));
    EXPECT_EQ(desktop.messageCount(popup, wm::HotKey), 1);

    // A second combination under the same identifier joins the first rather than replacing it.
    desktop.registerHotKey(popup, 70, mod::Alt, 'Q');
    EXPECT_EQ(desktop.hotKeys(popup, 70), (std::vector<HotKeyCombo>{{VK_F11, 6}, {'Q', 1}}));
    EXPECT_EQ(desktop.hotKey(popup, 70), (HotKeyCombo{'Q', 1}));
    EXPECT_TRUE(desktop.press(VK_F11, 6));

    desktop.unregisterHotKey(popup, 70);
    EXPECT_TRUE(desktop.hotKeys(popup, 70).empty());
    EXPECT_THROW(desktop.unregisterHotKey(popup, 70), Failure);
    EXPECT_FALSE(desktop.press('Q', mod::Alt));
    loop.runPending();
    EXPECT_EQ(desktop.messageCount(popup, wm::HotKey), 2) << "a press already posted is still delivered";

    desktop.setHotKeyTaken(VK_F11, mod::Alt, false);
    desktop.registerHotKey(popup, 70, mod::Alt, VK_F11);
    desktop.destroyWindow(popup);
    EXPECT_FALSE(desktop.press(VK_F11, mod::Alt)) << "hot keys die with their window";
}

TEST_F(SimDesktopTest, WindowProceduresChainAndSeeTheirWindowDestroyed)
{
    std::vector<Received> log;
    WindowHandle popup = ownWindow(log);
    int subclassCalls = 0;
    WindowProc previous;
    previous = desktop.setWindowProc(popup, [&](WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        ++subclassCalls;
        if (m == wm::Destroy) {
            // Putting the old procedure back while the window is still there must work.
            desktop.setWindowProc(w, previous);
            return std::intptr_t{0};
        }
        return previous(w, m, wp, lp);
    });
    EXPECT_EQ(desktop.sendMessage(popup, wm::User + 1, 2, 3), 7);
    EXPECT_EQ(subclassCalls, 1);
    ASSERT_EQ(log.size(), 1u);

    desktop.destroyWindow(popup);
    EXPECT_EQ(subclassCalls, 2);
    EXPECT_EQ(desktop.messageCount(popup, wm::Destroy), 1);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].message, wm::NcDestroy) << "after WM_DESTROY the original procedure is back";
    EXPECT_FALSE(desktop.exists(popup));
    EXPECT_THROW(desktop.destroyWindow(popup), Failure);

    WindowHandle foreign = desktop.addWindow("f", "F", "f");
    EXPECT_THROW(desktop.setWindowProc(foreign, previous), Failure);
    EXPECT_THROW(desktop.destroyWindow(foreign), Failure);
}

TEST_F(SimDesktopTest, MessagesAreCountedPerWindowAndNumber)
{
    WindowHandle tray = desktop.addWindow("tray", "rctrl_renwnd32", "", true);
    EXPECT_EQ(desktop.sendMessage(tray, 0x407, 0, 0), 0);
    EXPECT_EQ(desktop.sendMessage(tray, 0x407, 0, 0), 0);
    EXPECT_EQ(desktop.messageCount(tray, 0x407), 2);
    EXPECT_EQ(desktop.messageCount(tray, 0x408), 0);

    desktop.postMessage(tray, 0x408, 1, 2);
    EXPECT_EQ(desktop.messageCount(tray, 0x408), 0);
    loop.runPending();
    EXPECT_EQ(desktop.messageCount(tray, 0x408), 1);

    // A message posted to a window that closes before the loop runs is lost.
    desktop.postMessage(tray, 0x408, 1, 2);
    desktop.closeWindow(tray);
    loop.runPending();
    EXPECT_EQ(desktop.messageCount(tray, 0x408), 1);
    EXPECT_THROW(desktop.sendMessage(tray, 0x407, 0, 0), Failure);
    EXPECT_THROW(desktop.postMessage(tray, 0x407, 0, 0), Failure);
}

TEST_F(SimDesktopTest, TrayIconsAreDeletedOnceByOwnerAndId)
{
    WindowHandle first = desktop.addWindow("t1", "rctrl_renwnd32", "", true);
    WindowHandle second = desktop.addWindow("t2", "rctrl_renwnd32", "", true);
    desktop.addTrayIcon(second, 0);
    EXPECT_EQ(desktop.trayIcon(second, 0), TrayIconState::Shown);
    EXPECT_EQ(desktop.trayIcon(first, 0), TrayIconState::Absent);

    EXPECT_THROW(desktop.deleteNotifyIcon(first, 0), Failure);
    EXPECT_THROW(desktop.deleteNotifyIcon(second, 1), Failure);
    desktop.deleteNotifyIcon(second, 0);
    EXPECT_EQ(desktop.trayIcon(second, 0), TrayIconState::Removed);
    EXPECT_THROW(desktop.deleteNotifyIcon(second, 0), Failure);

    desktop.addTrayIcon(second, 0);   // new mail again
    EXPECT_EQ(desktop.trayIcon(second, 0), TrayIconState::Shown);
    desktop.closeWindow(second);
    EXPECT_EQ(desktop.trayIcon(second, 0), TrayIconState::Absent);
    EXPECT_THROW(desktop.addTrayIcon(second, 0), std::invalid_argument);
}

TEST_F(SimDesktopTest, ScreenSaverAnswersBothQueries)
{
    EXPECT_FALSE(desktop.screenSaverRunning());
    EXPECT_THROW(desktop.openDesktop("screen-saver", 0x40), Failure);
    desktop.setScreenSaver(true);
    EXPECT_TRUE(desktop.screenSaverRunning());
    DesktopHandle handle = desktop.openDesktop("Screen-Saver", 0x40);
    EXPECT_NE(handle, 0u);
    EXPECT_THROW(desktop.openDesktop("Default", 0x40), Failure);
    EXPECT_EQ(desktop.openDesktopCount(), 1);
    desktop.closeDesktop(handle);
    EXPECT_EQ(desktop.openDesktopCount(), 0);
    EXPECT_THROW(desktop.closeDesktop(handle), Failure);
}

TEST_F(SimDesktopTest, LayeredAlphaNeedsTheLayeredStyle)
{
    std::vector<Received> log;
    WindowHandle popup = ownWindow(log, true);
    EXPECT_THROW(desktop.setLayeredAlpha(popup, 100), Failure);
    EXPECT_EQ(desktop.alpha(popup), std::nullopt);

    std::uint32_t style = desktop.getExStyle(popup);
    EXPECT_EQ(style, wsex::TopMost);
    desktop.setExStyle(popup, style | wsex::Layered);
    EXPECT_EQ(desktop.alpha(popup), 0) << "layered without attributes draws nothing";
    desktop.setLayeredAlpha(popup, 200);
    EXPECT_EQ(desktop.alpha(popup), 200);

    // Clearing the style makes it opaque; the topmost bit is not changed through the style.
    desktop.setExStyle(popup, 0);
    EXPECT_EQ(desktop.alpha(popup), std::nullopt);
    EXPECT_TRUE(desktop.topmost(popup));
}

TEST_F(SimDesktopTest, MessageBoxesAreRecordedAndAnsweredOk)
{
    std::vector<Received> log;
    WindowHandle owner = ownWindow(log);
    EXPECT_EQ(desktop.messageBox(owner, "first", "Title", mb::Ok | mb::IconStop), mb::IdOk);
    EXPECT_EQ(desktop.messageBox(NoWindow, "second", "", mb::IconInformation), mb::IdOk);
    ASSERT_EQ(desktop.messageBoxes().size(), 2u);
    EXPECT_EQ(desktop.messageBoxes()[0].text, "first");
    EXPECT_EQ(desktop.messageBoxes()[0].caption, "Title");
    EXPECT_EQ(desktop.messageBoxes()[0].type & mb::IconMask, mb::IconStop);
    EXPECT_EQ(desktop.messageBoxes()[1].text, "second");

    desktop.faults().fail("MessageBoxA", 1);
    EXPECT_THROW(desktop.messageBox(owner, "lost", "Title", mb::Ok), Failure);
    EXPECT_EQ(desktop.messageBoxes().size(), 2u);
}

TEST_F(SimDesktopTest, FaultsFailTheNamedCallWithoutSideEffects)
{
    auto names = SimDesktop::operationNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::set<std::string_view>(names.begin(), names.end()).size(), names.size());

    WindowHandle w = desktop.addWindow("w", "C", "t");
    std::vector<std::string> lines;
    desktop.observers().call = [&](const std::string& line) { lines.push_back(line); };

    desktop.faults().fail("ShowWindow", 1);
    EXPECT_THROW(desktop.showWindow(w, sw::Maximize), Failure);
    EXPECT_EQ(desktop.showState(w), ShowState::Restored);
    EXPECT_EQ(desktop.foreground(), NoWindow);
    desktop.showWindow(w, sw::Maximize);
    EXPECT_EQ(desktop.showState(w), ShowState::Maximized);

    desktop.faults().fail("EnumWindows");
    EXPECT_THROW(desktop.enumWindows(), Failure);
    EXPECT_THROW(desktop.enumWindows(), Failure);
    desktop.faults().clearAll();
    EXPECT_EQ(desktop.enumWindows().size(), 1u);

    desktop.faults().fail("SystemParametersInfoA", 1);
    desktop.setScreenSaver(true);
    EXPECT_THROW(desktop.screenSaverRunning(), Failure);

    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ShowWindow failed (injected)");
    EXPECT_EQ(lines[1], "ShowWindow(w, 3)");
}

} // namespace
} // namespace platform::sim
