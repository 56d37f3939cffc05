#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "notifier/window/frmNewMail.h"
#include "platform/sim/SimWorld.h"
#include "tests/notifier/PopupTestWorld.h"

namespace qln {
namespace {

using platform::sim::SimWorld;
using platform::sim::TrayIconState;

class ShownItemWatchTest : public ::testing::Test, protected PopupTestWorld {
protected:
    void SetUp() override
    {
        world.outlookStart();
        world.outlook.addFolder("Inbox/Spam");
        services.settings.write(settings::GetStart, 0);
        services.settings.write(settings::AutodismissFolders,
                                "Spam:" + world.outlook.folderEntryID("Inbox/Spam") + "|");
        start();
    }
    // A new run of the notifier: empty history, not pinned.
    void restart() { start(); }

    std::string deliver(const std::string& subject, std::int32_t itemClass = platform::outlook::olMail)
    {
        return deliverSubject(subject, itemClass);
    }
    void pin() { popup->btnPin.userClick(); }
    TrayIconState trayIcon() const { return world.desktop.trayIcon(world.outlookTrayWindow(), 0); }
};

// ---- The sweep --------------------------------------------------------------------------------

TEST_F(ShownItemWatchTest, AnItemMovedIntoAnIgnoredFolderSoonAfterShowingTakesThePopupAway)
{
    struct Case {
        bool pinned;
        int markRead;
    };
    for (const Case& c : {Case{false, 1}, Case{false, 0}, Case{true, 1}}) {
        SCOPED_TRACE(std::string(c.pinned ? "pinned" : "not pinned") + " MarkRead " + std::to_string(c.markRead));
        services.settings.write(settings::MarkRead, c.markRead);
        const std::string older = deliver("older");
        const std::string spam = deliver("spam");
        if (c.pinned != popup->state().Pinned)
            c.pinned ? pin() : popup->btnPinned.userClick();
        ASSERT_TRUE(popup->Visible());
        EXPECT_TRUE(popup->tmrCheckIgnored.Enabled());
        EXPECT_EQ(popup->state().SweepTicks, 5);

        world.loop.advance(2000);  // two ticks: nothing to find yet
        world.outlook.move(spam, "Inbox/Spam");
        world.loop.runPending();
        EXPECT_TRUE(popup->Visible());
        world.loop.advance(1000);
        EXPECT_EQ(popup->Visible(), c.pinned);
        EXPECT_FALSE(popup->tmrCountDown.Enabled());
        EXPECT_TRUE(world.outlook.item(spam)->unread);  // never marked read
        EXPECT_EQ(trayIcon(), c.markRead ? TrayIconState::Removed : TrayIconState::Shown);
        if (c.pinned) {
            // Paged back to the older item, which the sweep now watches.
            EXPECT_EQ(popup->state().HistoryEntryID[popup->state().CurrentSlot], older);
            EXPECT_EQ(popup->lblSubject.Caption(), "older");
        }
        popup->btnClose.userClick();
        world.loop.advance(6000);
    }
}

TEST_F(ShownItemWatchTest, TheSweepLooksFourTimesAndStopsOnTheFirstOutlookError)
{
    const std::string late = deliver("late");
    world.loop.advance(4000);
    EXPECT_EQ(popup->state().SweepTicks, 1);
    EXPECT_TRUE(popup->tmrCheckIgnored.Enabled());
    world.loop.advance(1000);
    EXPECT_FALSE(popup->tmrCheckIgnored.Enabled());
    // Moved six seconds after it was shown: nobody is looking any more.
    world.outlook.move(late, "Inbox/Spam");
    world.loop.advance(2000);
    EXPECT_TRUE(popup->Visible());

    deliver("purged");
    const std::string id = popup->state().HistoryEntryID[popup->state().CurrentSlot];
    world.outlook.faults().fail("GetItemFromID");
    world.loop.advance(1000);
    EXPECT_FALSE(popup->tmrCheckIgnored.Enabled());
    EXPECT_EQ(popup->state().SweepTicks, 4);
    world.outlook.faults().clearAll();
    (void)id;
}

// ---- The removal handling ---------------------------------------------------------------------

TEST_F(ShownItemWatchTest, ReadOrRemovedElsewhereFollowsTheSpamWindowTable)
{
    enum class Outcome { Stays, Dismissed, PagedBack, SummaryOnly };
    struct Case {
        int spamOption;
        int secondsAfterShowing;
        bool pinned;
        bool removal;  // purged; otherwise read in Outlook
        Outcome outcome;
    };
    const Case cases[] = {
        {1, 1, true, false, Outcome::PagedBack},  {1, 2, true, true, Outcome::PagedBack},
        {1, 1, false, false, Outcome::Dismissed}, {1, 2, false, true, Outcome::Dismissed},
        {1, 3, true, true, Outcome::SummaryOnly}, {1, 10, true, false, Outcome::Stays},
        {1, 10, false, false, Outcome::Dismissed}, {1, 3, false, true, Outcome::Dismissed},
        {0, 1, true, false, Outcome::Stays},      {0, 2, false, true, Outcome::Stays},
        {0, 2, false, false, Outcome::Stays},     {0, 3, true, true, Outcome::SummaryOnly},
        {0, 3, true, false, Outcome::Stays},      {0, 10, false, false, Outcome::Dismissed},
        {0, 3, false, true, Outcome::Dismissed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("spam " + std::to_string(c.spamOption) + ", " + std::to_string(c.secondsAfterShowing) + " s, " +
                     (c.pinned ? "pinned, " : "not pinned, ") + (c.removal ? "removed" : "read"));
        restart();
        services.settings.write(settings::Autodismiss3rdPartySpam, c.spamOption);
        const std::string older = deliver("older");
        const std::string shown = deliver("shown");
        if (c.pinned)
            pin();
        ASSERT_TRUE(popup->Visible());

        world.loop.advance(c.secondsAfterShowing * 1000);
        if (c.removal)
            world.outlook.purge(shown);
        else
            world.outlook.setUnread(shown, false);
        world.loop.runPending();

        const NotifierState& state = popup->state();
        switch (c.outcome) {
        case Outcome::Stays:
            EXPECT_TRUE(popup->Visible());
            EXPECT_FALSE(state.SummaryOnlyShown);
            EXPECT_EQ(state.HistoryEntryID[1], shown);
            break;
        case Outcome::Dismissed:
            EXPECT_FALSE(popup->Visible());
            break;
        case Outcome::PagedBack:
            EXPECT_TRUE(popup->Visible());
            EXPECT_EQ(state.HistoryEntryID[1], "");
            EXPECT_EQ(state.CurrentSlot, 0);
            EXPECT_EQ(popup->lblSubject.Caption(), "older");
            EXPECT_TRUE(popup->picNextDis.Visible() && !popup->picNext.Visible());
            EXPECT_TRUE(state.ShowNoMoreMessage);
            break;
        case Outcome::SummaryOnly:
            EXPECT_TRUE(popup->Visible() && state.SummaryOnlyShown);
            break;
        }
    }
    EXPECT_TRUE(world.desktop.messageBoxes().empty());
}

TEST_F(ShownItemWatchTest, ADismissedPinnedPopupStaysDismissedWhenItsItemTurnsReadAtOnce)
{
    deliver("older");
    const std::string shown = deliver("shown");
    pin();
    popup->btnClose.userClick();  // marks it read: Outlook reports the change at once
    world.loop.runPending();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(popup->state().HistoryEntryID[1], "");
    EXPECT_FALSE(world.outlook.item(shown)->unread);
}

TEST_F(ShownItemWatchTest, ElapsedTimeIsCountedInWholeSecondsAcrossMidnight)
{
    services.settings.write(settings::Autodismiss3rdPartySpam, 0);
    world.loop.setWallClock(*platform::DateTime::parse("2026-12-07T23:59:59"));
    deliver("late night");
    pin();
    popup->btnPinned.userClick();
    world.loop.advance(31000);  // 00:00:30 on the next day
    world.outlook.setUnread(popup->state().HistoryEntryID[0], false);
    world.loop.runPending();
    EXPECT_FALSE(popup->Visible());
}

TEST_F(ShownItemWatchTest, AShownReportCountsAsGoneAtTheNextChange)
{
    services.settings.write(settings::NotifyReports, 1);
    deliver("Delivery report", platform::outlook::olReport);
    ASSERT_TRUE(popup->Visible());
    // Any change in a monitored folder: another item is read.
    world.loop.advance(500);
    platform::sim::MailSpec other;
    other.unread = false;
    const std::string quiet = world.outlook.deliver("Inbox", other);
    world.loop.runPending();
    world.outlook.setUnread(quiet, true);
    world.loop.runPending();
    EXPECT_TRUE(popup->Visible());  // an item that became unread is not looked at
    world.outlook.setUnread(quiet, false);
    world.loop.runPending();
    EXPECT_FALSE(popup->Visible());
}

// ---- The poll ---------------------------------------------------------------------------------

TEST_F(ShownItemWatchTest, ThePollTakesUpChangeFlagsKeepsTheCountdownAndEndsWithOutlook)
{
    world.loop.advance(5000);
    ASSERT_TRUE(popup->tmrCheckOutlook.Enabled());

    services.settings.write(settings::HKkDismiss, 0x51);
    services.settings.write(settings::HKmDismiss, 6);
    services.settings.write(settings::HKChanged, 1);
    world.loop.advance(1000);
    EXPECT_EQ(services.settings.read(settings::HKChanged), 0);
    ASSERT_TRUE(world.desktop.hotKey(popup->hWnd(), 70).has_value());
    EXPECT_EQ(world.desktop.hotKey(popup->hWnd(), 70)->vk, 0x51u);

    // A countdown stopped while seconds are left runs again at the next poll.
    services.settings.write(settings::Dismiss, 1);
    services.settings.write(settings::DismissTime, 30);
    deliver("counting");
    popup->tmrCountDown.setEnabled(false);
    world.loop.advance(1000);
    EXPECT_TRUE(popup->tmrCountDown.Enabled());

    world.outlookQuit();
    world.loop.advance(1000);
    EXPECT_FALSE(popup->Loaded());
}

// ---- The settings preview -----------------------------------------------------------------------

TEST_F(ShownItemWatchTest, APreviewShowsSamplesFromThePreviewValuesUntilTheNextItem)
{
    services.settings.write(settings::Dismiss, 1);
    services.settings.write(settings::DismissTime, 30);
    const std::string real = deliver("real");
    ASSERT_TRUE(popup->tmrCountDown.Enabled());
    const auto realBounds = world.desktop.bounds(popup->hWnd());

    services.settings.write(settings::previewTwin(settings::WindowPosition), 2);
    services.settings.write(settings::previewTwin(settings::ShowRecipient), 1);
    services.settings.write(settings::previewTwin(settings::SpaceWidth), 5);
    services.settings.write(settings::previewTwin(settings::SpaceHeight), 7);
    services.settings.write(settings::Preview, 1);
    world.loop.advance(6000);

    EXPECT_EQ(services.settings.read(settings::Preview), 0);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->lblSubject.Caption(), "Message Preview");
    EXPECT_EQ(popup->lblBody.Caption(), "Preview message body.");
    EXPECT_EQ(popup->lblSize.Caption().find("1 KB") != std::string::npos, true);
    EXPECT_TRUE(popup->lblRecipient.Visible());
    EXPECT_EQ(popup->lblRecipient.Caption(), popup->lblSenderName.Caption());
    EXPECT_EQ(popup->state().HistoryEntryID[0], "");  // the sample's buttons refer to no item
    EXPECT_FALSE(popup->tmrCountDown.Enabled());
    EXPECT_EQ(popup->lblCountDown.Caption(), "");
    const auto previewBounds = world.desktop.bounds(popup->hWnd());
    EXPECT_EQ(previewBounds.left, 5);
    EXPECT_EQ(previewBounds.top, 7);
    world.loop.advance(60000);
    EXPECT_TRUE(popup->Visible());  // the preview never counts down

    // The next real item is laid out from the applied values again.
    popup->btnClose.userClick();
    deliver("next");
    EXPECT_EQ(popup->lblSubject.Caption(), "next");
    EXPECT_FALSE(popup->lblRecipient.Visible());
    EXPECT_EQ(world.desktop.bounds(popup->hWnd()).left, realBounds.left);
    EXPECT_TRUE(popup->tmrCountDown.Enabled());
    (void)real;
}

TEST_F(ShownItemWatchTest, ASlidingPreviewOfAVisiblePopupStartsFromNothingAgain)
{
    deliver("shown");
    ASSERT_TRUE(popup->Visible());
    services.settings.write(settings::previewTwin(settings::WinAppear), "Slide");
    popup->ShowPreview();
    EXPECT_EQ(world.desktop.bounds(popup->hWnd()).height, 0);
    EXPECT_TRUE(popup->tmrSlide.Enabled());
    world.loop.advance(3000);
    EXPECT_FALSE(popup->tmrSlide.Enabled());
    EXPECT_GT(world.desktop.bounds(popup->hWnd()).height, 0);
}

} // namespace
} // namespace qln
