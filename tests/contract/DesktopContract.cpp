// What the notifier relies on in the desktop, in either world: the popup's window, Outlook's
// windows found by class and title, the foreground, the hot key, the screen saver, message boxes.

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

using platform::Failure;
using platform::WindowHandle;
namespace sw = platform::sw;
namespace wm = platform::wm;
namespace wsex = platform::wsex;

constexpr std::uint32_t VK_F10 = 0x79;
constexpr int HotKeyId = 70;

std::ptrdiff_t zIndex(const std::vector<WindowHandle>& order, WindowHandle window)
{
    const auto it = std::find(order.begin(), order.end(), window);
    return it == order.end() ? -1 : it - order.begin();
}

platform::WindowSpec popupSpec()
{
    platform::WindowSpec spec;
    spec.className = "QuellinContractPopup";
    spec.title = "New Mail";
    spec.visible = true;
    spec.topmost = true;
    spec.exStyle = wsex::ToolWindow;
    spec.left = 797;
    spec.top = 580;
    spec.width = 200;
    spec.height = 134;
    return spec;
}

TEST_P(DesktopContract, EnumerationIsInZOrderWithHiddenWindowsAndOwners)
{
    const WindowHandle outlook = world().addOtherWindow({"rctrl_renwnd32", "Inbox - Microsoft Outlook"});
    const WindowHandle hidden = world().addOtherWindow({"rctrl_renwnd32", "", false});
    const WindowHandle item = world().addOtherWindow({"rctrl_renwnd32", "Lunch - Message", true, outlook});
    const WindowHandle popup = desktop().createWindow(popupSpec());

    const auto order = desktop().enumWindows();
    ASSERT_GE(zIndex(order, outlook), 0);
    EXPECT_LT(zIndex(order, popup), zIndex(order, item));  // topmost above the rest
    EXPECT_LT(zIndex(order, item), zIndex(order, hidden));  // newer above older
    EXPECT_LT(zIndex(order, hidden), zIndex(order, outlook));

    EXPECT_TRUE(desktop().isWindowVisible(outlook));
    EXPECT_FALSE(desktop().isWindowVisible(hidden));
    EXPECT_EQ(desktop().getParent(outlook), platform::NoWindow);
    EXPECT_EQ(desktop().getParent(item), outlook);
}

TEST_P(DesktopContract, TitlesAndClassesAreCutToTheBuffer)
{
    const std::string longTitle = std::string(150, 'x') + " - Message";
    const WindowHandle window = world().addOtherWindow({"rctrl_renwnd32", longTitle});
    EXPECT_EQ(desktop().getWindowTextLength(window), 160);
    EXPECT_EQ(desktop().getWindowText(window, 128), longTitle.substr(0, 127));
    EXPECT_EQ(desktop().getWindowText(window, 1), "");
    EXPECT_EQ(desktop().getClassName(window, 64), "rctrl_renwnd32");
    EXPECT_EQ(desktop().getClassName(window, 6), "rctrl");

    // Characters are code points: a UTF-8 sequence is counted once and never cut.
    const std::string utf8 = "Grüße – 日本 - Message";
    const WindowHandle other = world().addOtherWindow({"rctrl_renwnd32", utf8});
    EXPECT_EQ(desktop().getWindowText(other, 128), utf8);
    EXPECT_EQ(desktop().getWindowTextLength(other), 20);
    EXPECT_EQ(desktop().getWindowText(other, 5), "Grüß");
    EXPECT_EQ(desktop().getWindowText(other, 10), "Grüße – 日");

    // A title longer than any first guess of its size is read whole.
    const std::string longest = std::string(700, 'y') + " \U0001F642 - Message";
    const WindowHandle third = world().addOtherWindow({"rctrl_renwnd32", longest});
    EXPECT_EQ(desktop().getWindowTextLength(third), 712);
    EXPECT_EQ(desktop().getWindowText(third, 1000), longest);

    const WindowHandle own = desktop().createWindow(popupSpec());
    desktop().setWindowText(own, "Zoë");
    EXPECT_EQ(desktop().getWindowText(own, 128), "Zoë");
    EXPECT_EQ(desktop().getClassName(own, 64), "QuellinContractPopup");
}

TEST_P(DesktopContract, ForegroundAndBringToTop)
{
    const WindowHandle a = world().addOtherWindow({"ContractA", "A"});
    const WindowHandle b = world().addOtherWindow({"ContractB", "B"});
    desktop().setForegroundWindow(a);
    EXPECT_EQ(desktop().getForegroundWindow(), a);
    // Windows also raises a window it activates; Wine without a window manager (Xvfb) does not, so
    // the z-order after SetForegroundWindow is not part of the contract. BringWindowToTop raises in both.
    desktop().bringWindowToTop(b);
    EXPECT_EQ(desktop().getForegroundWindow(), b);
    auto order = desktop().enumWindows();
    EXPECT_LT(zIndex(order, b), zIndex(order, a));
    desktop().bringWindowToTop(a);
    order = desktop().enumWindows();
    EXPECT_LT(zIndex(order, a), zIndex(order, b));
    EXPECT_EQ(desktop().getForegroundWindow(), a);
}

TEST_P(DesktopContract, ThePopupAppearsWithoutTakingTheForeground)
{
    const WindowHandle typing = world().addOtherWindow({"ContractEditor", "Document - Editor"});
    desktop().setForegroundWindow(typing);

    const auto spec = popupSpec();
    const WindowHandle popup = desktop().createWindow(spec);
    EXPECT_TRUE(desktop().isWindowVisible(popup));
    EXPECT_EQ(desktop().getForegroundWindow(), typing);
    EXPECT_EQ(desktop().getWindowRect(popup), (platform::WindowRect{797, 580, 200, 134}));
    const std::uint32_t ex = desktop().getExStyle(popup);
    EXPECT_TRUE(ex & wsex::TopMost);
    EXPECT_TRUE(ex & wsex::ToolWindow);

    desktop().setWindowPos(popup, platform::InsertAfter::Unchanged, platform::WindowRect{700, 500, 265, 150});
    EXPECT_EQ(desktop().getWindowRect(popup), (platform::WindowRect{700, 500, 265, 150}));
    EXPECT_EQ(desktop().getForegroundWindow(), typing);
}

TEST_P(DesktopContract, ShowWindowTellsWhetherTheWindowWasVisible)
{
    auto spec = popupSpec();
    spec.visible = false;
    const WindowHandle popup = desktop().createWindow(spec);
    EXPECT_FALSE(desktop().isWindowVisible(popup));
    EXPECT_FALSE(desktop().showWindow(popup, sw::ShowNoActivate));
    EXPECT_TRUE(desktop().isWindowVisible(popup));
    EXPECT_TRUE(desktop().showWindow(popup, sw::ShowNoActivate));
    EXPECT_TRUE(desktop().showWindow(popup, sw::Hide));
    EXPECT_FALSE(desktop().isWindowVisible(popup));
}

TEST_P(DesktopContract, ALayeredWindowTakesAnAlpha)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    EXPECT_THROW(desktop().setLayeredAlpha(popup, 120), Failure);  // not layered yet

    desktop().setExStyle(popup, desktop().getExStyle(popup) | wsex::Layered);
    desktop().setLayeredAlpha(popup, 120);
    EXPECT_EQ(world().alpha(popup), 120);
    const std::uint32_t ex = desktop().getExStyle(popup);
    EXPECT_TRUE(ex & wsex::Layered);
    EXPECT_TRUE(ex & wsex::TopMost);  // still topmost
    desktop().setLayeredAlpha(popup, 255);
    EXPECT_EQ(world().alpha(popup), 255);
}

TEST_P(DesktopContract, OwnWindowProceduresGetSentAndPostedMessages)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    std::vector<std::string> seen;
    platform::WindowProc previous;
    previous = desktop().setWindowProc(popup, [&](WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        if (m == wm::User + 1) {
            seen.push_back("user " + std::to_string(wp) + " " + std::to_string(lp));
            return std::intptr_t{42};
        }
        if (m == wm::User + 2)
            seen.push_back("posted");
        if (m == wm::Destroy)
            seen.push_back("destroy");
        if (m == wm::NcDestroy)
            seen.push_back("ncdestroy");
        return previous(w, m, wp, lp);
    });
    ASSERT_TRUE(previous);

    EXPECT_EQ(desktop().sendMessage(popup, wm::User + 1, 5, 7), 42);
    desktop().postMessage(popup, wm::User + 2, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"user 5 7"}));  // posted: not yet
    world().runFor(50);
    EXPECT_EQ(seen, (std::vector<std::string>{"user 5 7", "posted"}));

    desktop().destroyWindow(popup);
    EXPECT_EQ(seen, (std::vector<std::string>{"user 5 7", "posted", "destroy", "ncdestroy"}));
    EXPECT_EQ(zIndex(desktop().enumWindows(), popup), -1);
    // A window that has gone answers no query, where an empty answer would pass for a real one.
    EXPECT_THROW(desktop().getWindowText(popup, 128), Failure);
    EXPECT_THROW(desktop().getWindowTextLength(popup), Failure);
    EXPECT_THROW(desktop().getClassName(popup, 64), Failure);
    EXPECT_THROW(desktop().getParent(popup), Failure);
}

TEST_P(DesktopContract, OtherProgramsWindowsCannotBeSubclassedOrDestroyed)
{
    const WindowHandle outlook = world().addOtherWindow({"rctrl_renwnd32", "Inbox - Microsoft Outlook"});
    EXPECT_THROW(desktop().setWindowProc(outlook, [](WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
        return std::intptr_t{0};
    }), Failure);
    EXPECT_THROW(desktop().destroyWindow(outlook), Failure);
    EXPECT_TRUE(desktop().isWindowVisible(outlook));
}

TEST_P(DesktopContract, AFailingWindowProcedureFailsTheCallThatRanIt)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    platform::WindowProc previous;
    previous = desktop().setWindowProc(popup, [&](WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        if (m == wm::User + 1)
            throw std::logic_error("handler bug");
        return previous(w, m, wp, lp);
    });
    EXPECT_THROW(desktop().sendMessage(popup, wm::User + 1, 0, 0), std::logic_error);
    EXPECT_EQ(desktop().sendMessage(popup, wm::User + 3, 0, 0), 0);  // the window goes on working
}

TEST_P(DesktopContract, TheDismissHotKeyReachesThePopup)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> hotKeys;
    platform::WindowProc previous;
    previous = desktop().setWindowProc(popup, [&](WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        if (m == wm::HotKey)
            hotKeys.emplace_back(wp, lp);
        return previous(w, m, wp, lp);
    });
    const std::uint32_t mods = platform::mod::Control | platform::mod::Shift;
    desktop().registerHotKey(popup, HotKeyId, mods, VK_F10);
    EXPECT_THROW(desktop().registerHotKey(popup, HotKeyId + 1, mods, VK_F10), Failure);  // taken

    world().press(VK_F10, mods);
    world().runFor(300);
    ASSERT_EQ(hotKeys.size(), 1u);
    EXPECT_EQ(hotKeys[0].first, static_cast<std::uintptr_t>(HotKeyId));
    EXPECT_EQ(hotKeys[0].second, static_cast<std::intptr_t>(mods | (VK_F10 << 16)));

    desktop().unregisterHotKey(popup, HotKeyId);
    EXPECT_THROW(desktop().unregisterHotKey(popup, HotKeyId), Failure);
    world().press(VK_F10, mods);
    world().runFor(100);
    EXPECT_EQ(hotKeys.size(), 1u);
}

TEST_P(DesktopContract, NoScreenSaverRunsAndItsDesktopIsAbsent)
{
    EXPECT_FALSE(desktop().screenSaverRunning());
    EXPECT_THROW(desktop().openDesktop("screen-saver", 0x0001), Failure);
}

TEST_P(DesktopContract, MessageBoxesAreAnswered)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    EXPECT_EQ(desktop().messageBox(popup, "Invalid value", "Quellin", platform::mb::Ok | platform::mb::IconExclamation),
              platform::mb::IdOk);
    EXPECT_EQ(world().answeredMessageBoxes(), (std::vector<std::string>{"Quellin"}));
}

TEST_P(DesktopContract, RemovingATrayIconThatIsNotThereFails)
{
    const WindowHandle popup = desktop().createWindow(popupSpec());
    EXPECT_THROW(desktop().deleteNotifyIcon(popup, 1), Failure);
}

TEST_P(DesktopContract, TheShellFindsTheProgramForADocument)
{
    const std::string page = world().makeFile("welcome.htm");
    const std::string browser = desktop().findExecutable(page, "", 260);
    ASSERT_GE(browser.size(), 4u);
    std::string ending = browser.substr(browser.size() - 4);
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(ending, ".exe") << browser;
    EXPECT_EQ(desktop().findExecutable(page, "", 4), browser.substr(0, 3));

    try {
        desktop().findExecutable(world().folderPath() + "\\missing.htm", "", 260);
        ADD_FAILURE() << "a missing file has no program";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 2);  // SE_ERR_FNF
    }
    try {
        desktop().findExecutable(world().makeFile("notes.qlnx"), "", 260);
        ADD_FAILURE() << "no program opens this type";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 31);  // SE_ERR_NOASSOC
    }
}

} // namespace
} // namespace contract
