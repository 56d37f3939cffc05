#include <gtest/gtest.h>

#include <set>

#include "FlairTestWorld.h"
#include "controls/flairbutton/FlairHyperlink.h"
#include "controls/flairbutton/FlairImages.h"
#include "platform/Failure.h"

namespace {

using namespace flair;
using flairtest::EventLog;
using flairtest::World;
using platform::sim::SimDesktop;
using Events = std::vector<std::string>;

constexpr const char* kLookupFile = "C:\\Temp\\temphtm.HTM";

struct Link : World {
    FlairButton& b = button(10, 10, 100, 24);
    EventLog log{b};

    Link()
    {
        b.setStyle(enmButtonStyleHyperlink);
        b.setHyperlink("http://example.com/quellin");
        environment->setCursorPos({60, 22});
        b.mouseMove(0, 0, 50, 12);
        log.take();
    }
    void click()
    {
        b.mouseDown(1, 0, 50, 12);
        b.mouseUp(1, 0, 50, 12);
    }
};

TEST(FlairHyperlink, AClickOpensTheLinkInTheDefaultBrowser)
{
    Link l;
    l.click();
    EXPECT_EQ(l.log.take(), (Events{"MouseDown(1,750,180)", "State2", "MouseUp(1)", "Click", "BeforeNavigate",
                                    "OnNavigate(http://example.com/quellin)", "State1"}));
    ASSERT_EQ(l.desktop.launches().size(), 1u);
    const SimDesktop::ShellLaunch& launch = l.desktop.launches()[0];
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.file, SimDesktop::defaultBrowserPath);
    EXPECT_EQ(launch.parameters, "http://example.com/quellin");
    EXPECT_EQ(launch.directory, "");
    EXPECT_EQ(launch.showCommand, platform::sw::ShowNormal);
    // The lookup's file was written and is gone again.
    EXPECT_FALSE(l.files.fileExists(kLookupFile));
    EXPECT_EQ(l.files.journal(), (std::vector<std::string>{std::string("writeFile ") + kLookupFile,
                                                           std::string("deleteFile ") + kLookupFile}));
}

TEST(FlairHyperlink, CancelledOrEmptyLinksGoNowhere)
{
    Link l;
    l.log.cancelNavigation = true;
    l.click();
    EXPECT_EQ(l.log.take(), (Events{"MouseDown(1,750,180)", "State2", "MouseUp(1)", "Click", "BeforeNavigate",
                                    "State1"}));
    EXPECT_TRUE(l.desktop.launches().empty());

    l.log.cancelNavigation = false;
    l.b.setHyperlink("");
    l.click();
    EXPECT_EQ(l.log.take(), (Events{"MouseDown(1,750,180)", "State2", "MouseUp(1)", "Click", "BeforeNavigate",
                                    "State1"}));
    EXPECT_TRUE(l.desktop.launches().empty());
    EXPECT_TRUE(l.files.journal().empty());
}

TEST(FlairHyperlink, AFailedLookupStartsNothingButStillReportsTheNavigation)
{
    Link l;
    l.desktop.setDefaultBrowser(std::nullopt);
    l.click();
    EXPECT_TRUE(l.desktop.launches().empty());
    const Events events = l.log.take();
    EXPECT_NE(std::find(events.begin(), events.end(), "OnNavigate(http://example.com/quellin)"), events.end());
    EXPECT_FALSE(l.files.fileExists(kLookupFile));  // removed even so

    l.desktop.setDefaultBrowser(std::string("C:\\Browser\\b.exe"));
    l.desktop.faults().fail("ShellExecuteA", 1);
    l.click();
    EXPECT_TRUE(l.desktop.launches().empty());
    EXPECT_FALSE(l.files.fileExists(kLookupFile));

    l.files.remove("C:\\Temp");  // nowhere to write the lookup file
    l.click();
    EXPECT_TRUE(l.desktop.launches().empty());
    l.system.setTempFolder(std::nullopt);
    l.click();
    EXPECT_TRUE(l.desktop.launches().empty());

    l.files.makeFolders("C:\\Temp");
    l.system.setTempFolder("C:\\Temp\\");  // a trailing separator is taken as it comes
    l.click();
    ASSERT_EQ(l.desktop.launches().size(), 1u);
    EXPECT_EQ(l.desktop.launches()[0].file, "C:\\Browser\\b.exe");
}

TEST(FlairHyperlink, ReleasingOutsideStillNavigates)
{
    Link l;
    l.b.mouseDown(1, 0, 50, 12);
    l.environment->setCursorPos({300, 300});
    l.b.mouseUp(1, 0, 290, 290);
    EXPECT_EQ(l.desktop.launches().size(), 1u);
}

TEST(FlairHyperlink, OnlyPlainWebAddressesReachTheBrowsersCommandLine)
{
    struct Row {
        const char* url;
        std::optional<std::string> argument;
    };
    const Row rows[] = {
        {"http://example.com/", "http://example.com/"},
        {"  HTTPS://Example.com/a?b=c&d  ", "HTTPS://Example.com/a?b=c&d"},
        {"www.example.com/read me", "www.example.com/read%20me"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"ftp://files.example.com/x", "ftp://files.example.com/x"},
        {"http://example.com/\" --load-extension=C:\\evil", std::nullopt},
        {"http://example.com/\t-x", std::nullopt},
        {"http://example.com/\r\nC:\\x", std::nullopt},
        {"-new-window file:///C:/", std::nullopt},
        {"file:///C:/Windows/System32/calc.exe", std::nullopt},
        {"C:\\Windows\\System32\\calc.exe", std::nullopt},
        {"javascript:alert(1)", std::nullopt},
        {"http://", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(browserArgument(row.url), row.argument) << row.url;

    Link l;
    l.b.setHyperlink("notepad.exe C:\\secrets.txt");
    l.click();
    EXPECT_TRUE(l.desktop.launches().empty());
    EXPECT_TRUE(l.files.journal().empty());
}

TEST(FlairHyperlink, SimulatedShellFindsAssociationsAndFails)
{
    World w;
    SimDesktop& d = w.desktop;
    EXPECT_EQ(d.findExecutable("C:\\x\\Page.HTML", "", 255), SimDesktop::defaultBrowserPath);
    EXPECT_EQ(d.findExecutable("C:\\x\\page.htm", "", 8), "C:\\Prog");
    try {
        d.findExecutable("C:\\x\\notes.txt", "", 255);
        ADD_FAILURE();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), 31);
    }
    d.setFileProbe([](const std::string& path) { return path == "C:\\there.htm"; });
    EXPECT_NO_THROW(d.findExecutable("C:\\there.htm", "", 255));
    try {
        d.findExecutable("C:\\missing.htm", "", 255);
        ADD_FAILURE();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), 2);
    }
    d.faults().fail("FindExecutableA", 1);
    EXPECT_THROW(d.findExecutable("C:\\there.htm", "", 255), platform::Failure);

    d.shellExecute(0x42, "open", "C:\\b.exe", "http://x/", "", 1);
    EXPECT_THROW(d.shellExecute(0x42, "open", "", "http://x/", "", 1), platform::Failure);
    ASSERT_EQ(d.launches().size(), 1u);
    EXPECT_EQ(d.launches()[0].owner, 0x42u);

    const auto names = SimDesktop::operationNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "FindExecutableA"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "ShellExecuteA"), names.end());
}

TEST(FlairImages, FortyEightDistinctPicturesInTheBuiltInList)
{
    const forms::ImageListRef list = builtInImageList();
    EXPECT_EQ(list->Tag(), "dorveltimagelist");
    EXPECT_EQ(list->ImageWidth(), 16);
    EXPECT_EQ(list->ImageHeight(), 16);
    ASSERT_EQ(list->Count(), 48);
    std::set<std::vector<std::uint32_t>> seen;
    for (int index = 1; index <= 48; ++index) {
        const draw::Surface& picture = list->ListImages(index).Picture->image;
        EXPECT_EQ(picture.width(), 16);
        EXPECT_EQ(picture, builtInPicture(index));
        const int ink = 256 - picture.countPixels(maskColour);
        EXPECT_GT(ink, 12) << index;
        EXPECT_LT(ink, 256) << index;  // a background to leave out
        seen.insert(picture.bits());
    }
    EXPECT_EQ(seen.size(), 48u);
    EXPECT_THROW(builtInPicture(0), platform::Failure);
    EXPECT_THROW(builtInPicture(49), platform::Failure);
    EXPECT_THROW(list->ListImages(49), platform::Failure);
    EXPECT_EQ(hyperlinkPointer()->image.width(), 32);
}

} // namespace
