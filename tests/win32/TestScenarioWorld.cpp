// The real desktop as a scenario's world: what the scenario's side writes and reads, what the
// system's writes report, the windows, message boxes, tray icons, keys and time, under Wine.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "apps/qln-win/Win32ScenarioWorld.h"
#include "platform/Failure.h"

namespace qln::runner {
namespace {

using platform::Hive;
using platform::sim::TrayIconState;

constexpr const char* kKey = "Software\\Quellin Tests\\Scenario World";
constexpr const char* kFolder = "C:\\quellin-world-tests";

class RealWorld : public ::testing::Test {
protected:
    ~RealWorld() override
    {
        world.scenarioRegistry()->deleteKey(Hive::CurrentUser, "Software\\Quellin Tests");
        world.scenarioFiles()->remove(kFolder);
    }
    Win32ScenarioWorld world;
};

TEST_F(RealWorld, TheScenariosRegistryRoundTripsEveryKindOfValueQuietly)
{
    std::vector<std::string> told;
    SystemWrites writes;
    writes.registry = [&](Hive, const std::string& path, const std::string& name, const RegValue&) {
        told.push_back(path + "|" + name);
    };
    world.reportSystemWrites(std::move(writes));
    WorldRegistry& reg = *world.scenarioRegistry();

    const RegValue text = RegValue::sz("Jürgen Groß — 日本語 😀");
    RegValue raw;
    raw.type = platform::regtype::Binary;
    raw.data = {std::byte{0}, std::byte{0xFF}, std::byte{7}};
    reg.set(Hive::CurrentUser, kKey, "Text", text);
    reg.set(Hive::CurrentUser, kKey, "Number", RegValue::dword(0x80000012));
    reg.set(Hive::CurrentUser, std::string(kKey) + "\\Deeper", "Raw", raw);
    EXPECT_EQ(reg.get(Hive::CurrentUser, kKey, "Text"), text);
    EXPECT_EQ(reg.get(Hive::CurrentUser, kKey, "number"), RegValue::dword(0x80000012));
    EXPECT_EQ(reg.get(Hive::CurrentUser, std::string(kKey) + "\\Deeper", "Raw"), raw);
    EXPECT_EQ(reg.get(Hive::CurrentUser, kKey, "Missing"), std::nullopt);
    EXPECT_EQ(reg.get(Hive::CurrentUser, "Software\\Quellin Tests\\No Such Key", "Text"), std::nullopt);

    reg.deleteValue(Hive::CurrentUser, kKey, "Number");
    EXPECT_EQ(reg.get(Hive::CurrentUser, kKey, "Number"), std::nullopt);
    reg.deleteValue(Hive::CurrentUser, kKey, "Number");  // gone already: nothing
    reg.deleteKey(Hive::CurrentUser, kKey);               // with its subkey
    EXPECT_EQ(reg.get(Hive::CurrentUser, std::string(kKey) + "\\Deeper", "Raw"), std::nullopt);
    reg.deleteKey(Hive::CurrentUser, kKey);               // missing: nothing
    EXPECT_TRUE(told.empty());

    // The system's writes are told, with what they wrote.
    world.registry().createKey(Hive::CurrentUser, kKey)->setValue("Flag", platform::regtype::Dword,
                                                                  RegValue::dword(1).data);
    EXPECT_EQ(told, std::vector<std::string>{std::string(kKey) + "|Flag"});
    EXPECT_EQ(reg.get(Hive::CurrentUser, kKey, "Flag"), RegValue::dword(1));
}

TEST_F(RealWorld, TheScenariosFilesAndTheSystemsWrites)
{
    std::vector<std::string> told;
    SystemWrites writes;
    writes.files = [&](const std::string& operation, const std::string& path) { told.push_back(operation + " " + path); };
    world.reportSystemWrites(std::move(writes));
    WorldFiles& files = *world.scenarioFiles();

    const std::string path = std::string(kFolder) + "\\Ünïcode\\list.qln";
    files.put(path, "offers@|日本|");  // the folders are made
    EXPECT_TRUE(files.fileExists(path));
    EXPECT_EQ(files.content(path), "offers@|日本|");
    EXPECT_FALSE(files.fileExists(kFolder));  // a folder is not a file
    EXPECT_EQ(files.content(std::string(kFolder) + "\\missing.qln"), std::nullopt);
    EXPECT_TRUE(told.empty());

    world.files().writeFile(std::string(kFolder) + "\\new.tmp", "x");
    world.files().replaceFile(std::string(kFolder) + "\\new.tmp", path);
    EXPECT_EQ(files.content(path), "x");
    EXPECT_EQ(told, (std::vector<std::string>{"writeFile " + std::string(kFolder) + "\\new.tmp", "replaceFile " + path}));

    files.remove(kFolder);
    EXPECT_FALSE(files.fileExists(path));
}

TEST_F(RealWorld, WindowsAreMadeClosedAndReadAsTheSimulatorDoes)
{
    WorldDesktop& desktop = *world.scenarioDesktop();
    world.outlookStart();
    const platform::WindowHandle outlook = world.outlookMainWindow();
    ASSERT_NE(outlook, platform::NoWindow);
    EXPECT_EQ(world.foreground(), outlook);
    EXPECT_EQ(world.className(outlook), "rctrl_renwnd32");
    EXPECT_EQ(world.title(outlook), "Inbox - Microsoft Outlook");
    EXPECT_FALSE(world.visible(world.outlookTrayWindow()));

    // A new window comes on top without taking the foreground.
    const platform::WindowHandle editor = desktop.addWindow("editor", "Notepad", "notes - Notepad", false);
    EXPECT_EQ(world.namedWindow("editor"), editor);
    EXPECT_EQ(world.nameOf(editor), "editor");
    EXPECT_EQ(world.front(), editor);
    EXPECT_EQ(world.foreground(), outlook);
    EXPECT_THROW(desktop.addWindow("editor", "Notepad", "", false), std::invalid_argument);
    desktop.setForeground(editor);
    EXPECT_EQ(world.foreground(), editor);

    // The notifier's own windows are not the scenario's to close.
    platform::WindowSpec spec;
    spec.className = "QuellinWorldTestOwn";
    spec.width = spec.height = 10;
    const platform::WindowHandle own = world.desktop().createWindow(spec);
    EXPECT_THROW(desktop.closeWindow(own), std::invalid_argument);
    world.desktop().destroyWindow(own);

    desktop.closeWindow(editor);
    EXPECT_EQ(world.namedWindow("editor"), platform::NoWindow);
    world.outlookQuit();
    EXPECT_EQ(world.outlookMainWindow(), platform::NoWindow);
}

TEST_F(RealWorld, MessageBoxesAreRealRecordedAndAnswered)
{
    const int answer = world.desktop().messageBox(platform::NoWindow, "The list cannot be saved.", "Quellin",
                                                  platform::mb::IconStop);
    EXPECT_EQ(answer, IDOK);
    const auto boxes = world.scenarioDesktop()->messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The list cannot be saved.");
    EXPECT_EQ(boxes[0].caption, "Quellin");
    EXPECT_EQ(boxes[0].type, platform::mb::IconStop);
    // A box with Yes and No is answered with its default button.
    EXPECT_EQ(world.desktop().messageBox(platform::NoWindow, "Go on?", "Quellin", MB_YESNO), IDYES);
}

TEST_F(RealWorld, OutlooksTrayIconIsShownRemovedAndGoesWithItsWindow)
{
    world.outlookStart();
    const platform::WindowHandle tray = world.outlookTrayWindow();
    WorldDesktop& desktop = *world.scenarioDesktop();
    EXPECT_EQ(desktop.trayIcon(tray, 0), TrayIconState::Absent);
    desktop.addTrayIcon(tray, 0);
    EXPECT_EQ(desktop.trayIcon(tray, 0), TrayIconState::Shown);
    world.desktop().deleteNotifyIcon(tray, 0);  // as the notifier does
    EXPECT_EQ(desktop.trayIcon(tray, 0), TrayIconState::Removed);
    EXPECT_THROW(world.desktop().deleteNotifyIcon(tray, 0), platform::Failure);  // gone already
    desktop.addTrayIcon(tray, 0);
    world.outlookQuit();
    EXPECT_EQ(desktop.trayIcon(tray, 0), TrayIconState::Absent);
}

TEST_F(RealWorld, KeysPressedReachTheSystemsHotKeysOnly)
{
    platform::WindowSpec spec;
    spec.className = "QuellinWorldTestHotKey";
    spec.width = spec.height = 10;
    const platform::WindowHandle own = world.desktop().createWindow(spec);
    int hotKeys = 0;
    world.desktop().setWindowProc(own, [&](platform::WindowHandle, std::uint32_t message, std::uintptr_t,
                                           std::intptr_t) -> std::intptr_t {
        if (message == WM_HOTKEY)
            ++hotKeys;
        return 0;
    });
    world.desktop().registerHotKey(own, 70, MOD_CONTROL, VK_F11);
    WorldDesktop& desktop = *world.scenarioDesktop();
    EXPECT_EQ(desktop.hotKey(own, 70), (platform::sim::HotKeyCombo{VK_F11, MOD_CONTROL}));

    EXPECT_FALSE(desktop.press('A', MOD_CONTROL));
    EXPECT_TRUE(desktop.press(VK_F11, MOD_CONTROL));
    world.runPending();
    EXPECT_EQ(hotKeys, 1);

    // Held by another program, the combination cannot be the system's.
    desktop.setHotKeyTaken(VK_F12, MOD_CONTROL | MOD_SHIFT);
    EXPECT_THROW(world.desktop().registerHotKey(own, 71, MOD_CONTROL | MOD_SHIFT, VK_F12), platform::Failure);
    world.desktop().destroyWindow(own);
    EXPECT_EQ(desktop.hotKey(own, 70), std::nullopt);
}

TEST_F(RealWorld, TimePassesForRealAndPostedWorkSettles)
{
    int ticks = 0;
    const platform::TimerId timer = world.loop().startTimer(50, [&] { ++ticks; });
    const std::int64_t before = world.nowMs();
    world.advance(300);
    EXPECT_GE(world.nowMs() - before, 300);
    EXPECT_GE(ticks, 2);  // Windows' timers are not punctual; some ticks came
    world.loop().stopTimer(timer);

    // What is posted runs, and what that posts too.
    int ran = 0;
    world.loop().post([&] {
        ++ran;
        world.loop().post([&] { ++ran; });
    });
    world.runPending();
    EXPECT_EQ(ran, 2);
}

} // namespace
} // namespace qln::runner
