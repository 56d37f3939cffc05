#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "notifier/core/OutlookWindows.h"
#include "notifier/window/PopupArt.h"
#include "notifier/window/frmGetStart.h"
#include "notifier/window/frmNewMail.h"
#include "platform/sim/SimWorld.h"
#include "tests/notifier/PopupTestWorld.h"

namespace qln {
namespace {

using platform::sim::SimWorld;

class StartupTest : public ::testing::Test, protected PopupTestWorld {
protected:
    void setGetStart(std::optional<int> value)
    {
        if (value)
            services.settings.write(settings::GetStart, *value);
        else
            world.registry.deleteValue(platform::Hive::CurrentUser, optionsKey, "GetStart");
    }
    std::optional<std::uint32_t> storedGetStart() const
    {
        auto value = world.registry.get(platform::Hive::CurrentUser, optionsKey, "GetStart");
        return value ? value->asDword() : std::nullopt;
    }
    std::string deliver(const std::string& folder) { return PopupTestWorld::deliver(folder); }

    const std::string optionsKey{settings::keyPath(settings::StoreKey::Options)};
};

TEST_F(StartupTest, ThePopupIsCreatedHiddenTopmostOutOfTheTaskListWithItsTimers)
{
    world.outlookStart();
    setGetStart(0);
    start();
    const auto window = popup->hWnd();
    EXPECT_TRUE(world.desktop.exists(window) && !world.desktop.visible(window) && !popup->Visible());
    EXPECT_TRUE(world.desktop.topmost(window));
    EXPECT_TRUE(world.desktop.exStyle(window) & platform::wsex::ToolWindow);
    EXPECT_EQ(world.desktop.foreground(), world.outlookMainWindow());
    EXPECT_TRUE(popup->picBackDis.Visible() && popup->picNextDis.Visible());
    EXPECT_FALSE(popup->picBack.Visible() || popup->picNext.Visible());
    EXPECT_EQ(popup->monitor().InboxEntryID(), world.outlook.folderEntryID("Inbox"));

    struct TimerCase {
        const char* name;
        std::uint32_t interval;
        bool enabled;
    };
    for (const TimerCase& t : {TimerCase{"tmrLoadDelay", 5000, true}, TimerCase{"tmrCheckOutlook", 1000, false},
                               TimerCase{"tmrCountQueue", 1000, true}, TimerCase{"tmrCheckIgnored", 1000, false},
                               TimerCase{"tmrCountDown", 1000, false}, TimerCase{"tmrFade", 50, false},
                               TimerCase{"tmrSlide", 150, false}}) {
        const platform::Timer* timer = popup->timer(t.name);
        ASSERT_NE(timer, nullptr) << t.name;
        EXPECT_EQ(timer->Interval(), t.interval) << t.name;
        EXPECT_EQ(timer->Enabled(), t.enabled) << t.name;
    }
    world.loop.advance(4999);
    EXPECT_TRUE(popup->tmrLoadDelay.Enabled() && !popup->tmrCheckOutlook.Enabled());
    world.loop.advance(1);
    EXPECT_TRUE(!popup->tmrLoadDelay.Enabled() && popup->tmrCheckOutlook.Enabled());
}

TEST_F(StartupTest, TheFirstRunDialogShowsOnlyForOneAndItsOkRecordsTheChoice)
{
    struct Case {
        std::optional<int> stored;
        bool shows;
        bool clearTheBox;
        std::uint32_t written;
    };
    world.outlookStart();
    for (const Case& c : {Case{std::nullopt, true, false, 1}, Case{1, true, true, 0}, Case{2, false, false, 2},
                          Case{0, false, false, 0}}) {
        SCOPED_TRACE(c.stored ? std::to_string(*c.stored) : "missing");
        setGetStart(c.stored);
        start();
        frmGetStart* dialog = popup->getStartDialog();
        ASSERT_EQ(dialog != nullptr, c.shows);
        if (dialog) {
            EXPECT_TRUE(dialog->Visible() && world.desktop.visible(dialog->hWnd()));
            EXPECT_EQ(dialog->Caption(), "Getting Started - Quellin for Outlook 2000/XP/2003 by Korvane");
            EXPECT_EQ(dialog->chkShow.Caption(), "Show when Outlook starts");
            EXPECT_EQ(dialog->chkShow.Value(), forms::CheckBox::vbChecked);
            EXPECT_NE(popup->monitor().inbox(), nullptr);  // start-up did not wait for it
            if (c.clearTheBox)
                dialog->chkShow.userClick();
            dialog->btnOK.userClick();
            EXPECT_FALSE(dialog->Loaded());
        }
        EXPECT_EQ(storedGetStart(), c.written);
        popup.reset();
    }
}

TEST_F(StartupTest, WithoutOutlookOrItsHelperStartUpGoesOnSilently)
{
    start();  // Outlook not running
    EXPECT_TRUE(popup->Loaded());
    EXPECT_EQ(popup->monitor().nameSpace(), nullptr);
    // The poll starts after five seconds; its first tick finds no Outlook and the notifier ends.
    world.loop.advance(5500);
    EXPECT_TRUE(popup->tmrCheckOutlook.Enabled());
    world.loop.advance(1000);
    EXPECT_FALSE(popup->Loaded());
    popup.reset();

    world.outlook.setMapiLibraryPresent(false);
    world.outlookStart();
    start();
    EXPECT_NE(popup->monitor().inbox(), nullptr);
    deliver("Inbox");
    world.loop.advance(2000);
    EXPECT_TRUE(popup->compositions().empty());
    EXPECT_FALSE(popup->Visible());
    EXPECT_TRUE(world.desktop.messageBoxes().empty());
}

TEST_F(StartupTest, TheNineButtonsAreSkinnedFromTheStoredFormData)
{
    world.outlookStart();
    setGetStart(0);
    start();
    deliver("Inbox");
    ASSERT_TRUE(popup->Visible());
    const draw::Surface shown = popup->render();
    const draw::Rgb background = draw::resolveColour(popup->BackColor());
    for (glint::GlintButton* button : {&popup->btnQuestion, &popup->btnReply, &popup->btnForward, &popup->btnDelete,
                                       &popup->btnOpen, &popup->btnPin, &popup->btnPinned, &popup->btnAttach,
                                       &popup->btnClose}) {
        SCOPED_TRACE(button->Name());
        EXPECT_EQ(button->Appearance(), glint::btSkin);
        EXPECT_EQ(button->Caption(), "");
        EXPECT_FALSE(button->AutoMask());
        EXPECT_EQ(button->MaskColor(), draw::toOle(art::maskColour));
        for (int skin = 0; skin < glint::GlintButton::SkinCount; ++skin)
            EXPECT_NE(button->skin(static_cast<glint::GlintButton::Skin>(skin)), nullptr);
        EXPECT_EQ(button->BackColor(), popup->BackColor());  // the popup's colour reached the button
        if (!button->shown())
            continue;
        // Cut out along the mask: the corner shows the popup, never the mask colour.
        const draw::Rect box = button->pixelBounds({0, 0});  // placed on the form itself
        EXPECT_EQ(shown.pixel(box.left, box.top), background);
        bool anyMask = false;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                anyMask = anyMask || shown.pixel(x, y) == art::maskColour;
        EXPECT_FALSE(anyMask);
    }
}

TEST_F(StartupTest, DisableActionButtonsDisablesTheEightButtonsWithoutHidingThem)
{
    services.settings.write(settings::DisableActionButtons, 1);
    start();
    for (glint::GlintButton* button : {&popup->btnReply, &popup->btnForward, &popup->btnDelete, &popup->btnOpen,
                                         &popup->btnAttach, &popup->btnClose, &popup->btnPin, &popup->btnPinned}) {
        EXPECT_FALSE(button->Enabled()) << button->Name();
        // Only the pinned look starts hidden, as the popup is not pinned.
        EXPECT_EQ(button->Visible(), button != &popup->btnPinned) << button->Name();
    }
    popup->ComposeContent(0, ComposeKind::Arrival);
    popup->btnClose.userClick();
    EXPECT_TRUE(popup->Visible());
}

TEST_F(StartupTest, ArrivalsAppearWithoutTakingTheForegroundAndPageThroughTheHistory)
{
    world.outlookStart();
    setGetStart(0);
    start();
    const auto editor = world.desktop.addWindow("editor", "Notepad", "notes - Notepad");
    world.desktop.setForeground(editor);
    auto last = [&] {
        return std::make_pair(int(popup->compositions().back().slot), popup->compositions().back().kind);
    };

    const std::string first = deliver("Inbox");
    ASSERT_EQ(popup->compositions().size(), 1u);
    EXPECT_EQ(last(), std::make_pair(0, ComposeKind::Arrival));
    EXPECT_EQ(popup->state().HistoryEntryID[0], first);
    EXPECT_TRUE(popup->Visible() && world.desktop.visible(popup->hWnd()));
    EXPECT_EQ(world.desktop.foreground(), editor);

    deliver("Inbox");
    deliver("Inbox");
    EXPECT_TRUE(popup->picBack.Visible() && !popup->picNext.Visible());
    popup->picBack.userClick();
    EXPECT_EQ(last(), std::make_pair(1, ComposeKind::HistoryView));
    EXPECT_TRUE(popup->picNext.Visible() && !popup->picNextDis.Visible());
    popup->picNext.userClick();
    EXPECT_EQ(last(), std::make_pair(2, ComposeKind::HistoryView));
    EXPECT_TRUE(!popup->picNext.Visible() && popup->picNextDis.Visible());
    popup->picNextDis.userClick();  // the disabled look does nothing
    EXPECT_EQ(popup->compositions().size(), 5u);

    // While a paced burst is under way, nothing to show and a dismissal both let the next item follow.
    NotifierState& state = popup->state();
    state.DelayWriteIndex = 1;
    state.DelayCountdown = 3;
    popup->ComposeContent(7, ComposeKind::HistoryView);
    EXPECT_TRUE(state.SummaryOnlyShown);
    EXPECT_EQ(state.DelayCountdown, 1);
    state.DelayCountdown = 3;
    popup->tmrCountDown.setEnabled(true);
    popup->btnClose.userClick();
    EXPECT_FALSE(popup->Visible() || world.desktop.visible(popup->hWnd()) || popup->tmrCountDown.Enabled());
    EXPECT_EQ(state.DelayCountdown, 1);
    popup->ComposeContent(2, ComposeKind::HistoryView);
    EXPECT_FALSE(state.SummaryOnlyShown);
}

TEST_F(StartupTest, ShutdownReleasesEverythingAndStopsEveryEvent)
{
    world.outlook.addFolder("Projects");
    world.outlook.addFolder("Filed");
    services.settings.write(settings::AddInbox(1), world.outlook.folderEntryID("Projects") + "|" +
                                                       world.outlook.folderStoreID("Projects") + "|Projects");
    world.outlookStart();
    start();
    ASSERT_EQ(popup->monitor().attachedFolderCount(), 1);
    frmGetStart* dialog = popup->getStartDialog();
    ASSERT_TRUE(dialog && dialog->Loaded());
    deliver("Inbox");
    ASSERT_EQ(popup->compositions().size(), 1u);
    const int cleanups = world.outlook.cleanupCount();

    popup->Unload();
    EXPECT_EQ(world.outlook.cleanupCount(), cleanups + 1);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(storedGetStart(), std::nullopt);  // closing the dialog otherwise records nothing
    EXPECT_EQ(popup->monitor().attachedFolderCount(), 0);
    EXPECT_EQ(popup->state().LatestItem, nullptr);
    for (const auto& timer : popup->timers())
        EXPECT_FALSE(timer->Enabled()) << timer->name();
    for (const char* folder : {"Inbox", "Projects", "Filed"})
        deliver(folder);
    world.loop.advance(10000);
    EXPECT_EQ(popup->compositions().size(), 1u);
    EXPECT_EQ(world.outlook.cleanupCount(), cleanups + 1);
}

TEST_F(StartupTest, TheDismissHotKeyLivesFromStartUpToShutdownAndDismisses)
{
    world.outlookStart();
    setGetStart(0);
    services.settings.write(settings::HKkDismiss, 0x7A);  // F11
    services.settings.write(settings::HKmDismiss, 3);     // Shift + Ctrl
    services.settings.write(settings::HKChanged, 1);
    start();
    const auto window = popup->hWnd();
    const auto combo = world.desktop.hotKey(window, DismissHotKey::HotKeyId);
    ASSERT_TRUE(combo.has_value());
    EXPECT_EQ(combo->vk, 0x7Au);
    EXPECT_EQ(combo->modifiers, platform::mod::Shift | platform::mod::Control);
    EXPECT_EQ(services.settings.read(settings::HKChanged), 0);

    deliver("Inbox");
    ASSERT_TRUE(popup->Visible());
    EXPECT_TRUE(world.desktop.press(0x7A, platform::mod::Shift | platform::mod::Control));
    world.loop.runPending();
    EXPECT_FALSE(popup->Visible());

    popup->Unload();
    EXPECT_FALSE(world.desktop.hotKey(window, DismissHotKey::HotKeyId).has_value());
}

TEST_F(StartupTest, APopupWhoseWindowCannotBeMadeEndsTheProgramWithNothingLeftBehind)
{
    world.outlookStart();
    int writes = 0;
    world.registry.on_write = [&](auto&&...) { ++writes; };
    world.desktop.faults().fail("CreateWindowExA", 1);
    popup = std::make_unique<frmNewMail>(host, services);
    EXPECT_FALSE(popup->Start());
    EXPECT_FALSE(popup->Loaded());
    EXPECT_EQ(writes, 0);
    EXPECT_FALSE(host.find("frmGetStart"));
    // No window of ours is left, and none holds the hot key.
    EXPECT_EQ(world.desktop.window("frmNewMail"), platform::NoWindow);
    EXPECT_FALSE(world.desktop.press(0x7A, platform::mod::Shift | platform::mod::Control));
    world.loop.advance(10000);
    EXPECT_FALSE(popup->Loaded());

    // The next start of the program runs as usual.
    popup = std::make_unique<frmNewMail>(host, services);
    EXPECT_TRUE(popup->Start());
    EXPECT_TRUE(popup->Loaded());
    EXPECT_GT(writes, 0);
}

TEST(IsOutlookRunningTest, OnlyAnUnownedTitledWindowOfOutlooksClassCounts)
{
    struct Case {
        const char* className;
        const char* title;
        bool owned;
        bool running;
    };
    auto running = [](SimWorld& world) { return IsOutlookRunning(world.desktop) == OutlookPresence::Running; };
    for (const Case& c : {Case{"rctrl_renwnd32", "Inbox - Microsoft Outlook", false, true},
                          Case{"rctrl_renwnd32_more", "Inbox - Microsoft Outlook", false, true},
                          Case{"rctrl_renwnd32", "Calendar- ", false, true},
                          Case{"rctrl_renwnd32", "Inbox -Microsoft Outlook", false, false},
                          Case{"rctrl_renwnd32", "", false, false},
                          Case{"RCTRL_RENWND32", "Inbox - Microsoft Outlook", false, false},
                          Case{"rctrl_renwnd3", "Inbox - Microsoft Outlook", false, false},
                          Case{"rctrl_renwnd32", "Inbox - Microsoft Outlook", true, false}}) {
        SCOPED_TRACE(std::string(c.className) + " \"" + c.title + "\"" + (c.owned ? " owned" : ""));
        SimWorld world;
        const auto owner = world.desktop.addWindow("owner", "Shell_TrayWnd", "Taskbar - x");
        world.desktop.addWindow({"w", c.className, c.title, true, c.owned ? owner : platform::NoWindow});
        EXPECT_EQ(running(world), c.running);
        if (!c.running) {
            EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Gone);
        }
    }

    SimWorld world;
    EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Gone);
    world.outlookStart();
    EXPECT_TRUE(running(world));
    world.desktop.addWindow("other", "Notepad", "a - Notepad");
    world.desktop.faults().fail("GetClassNameA", 1);  // a window refusing a query is passed over
    EXPECT_TRUE(running(world));
}

TEST(IsOutlookRunningTest, AFailedLookIsNotAbsence)
{
    SimWorld world;
    world.outlookStart();
    for (const char* operation :
         {"EnumWindows", "GetParent", "GetWindowTextLengthA", "GetWindowTextA", "GetClassNameA"}) {
        SCOPED_TRACE(operation);
        world.desktop.faults().fail(operation, platform::sim::Faults::Always);
        EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Unknown);
        world.desktop.faults().clear(operation);
        EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Running);
    }
    // Without Outlook, a look that could not see every window still cannot tell.
    world.outlookQuit();
    world.desktop.addWindow("other", "Notepad", "a - Notepad");
    world.desktop.faults().fail("GetParent", 1);
    EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Unknown);
    EXPECT_EQ(IsOutlookRunning(world.desktop), OutlookPresence::Gone);
}

} // namespace
} // namespace qln
