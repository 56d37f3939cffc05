#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "notifier/core/OutlookWindows.h"
#include "notifier/window/frmNewMail.h"
#include "platform/sim/SimWorld.h"
#include "tests/notifier/PopupTestWorld.h"

namespace qln {
namespace {

using platform::sim::ShowState;
using platform::sim::SimWorld;
using platform::sim::TrayIconState;

// ---- Outlook's windows by title ----------------------------------------------------------------

TEST(TitlePatternTest, StarsStandForAnyRunAndEverythingElseIsLiteralAndCaseSensitive)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    for (const Case& c : {
             Case{"Inbox - Microsoft Outlook", "* - Microsoft Outlook*", true},
             Case{"Sent Items - Microsoft Outlook [offline]", "* - Microsoft Outlook*", true},
             Case{" - Microsoft Outlook", "* - Microsoft Outlook*", true},
             Case{"Inbox-Microsoft Outlook", "* - Microsoft Outlook*", false},  // no blank and hyphen
             Case{"Inbox - Microsoft outlook", "* - Microsoft Outlook*", false},
             Case{"Lunch? - Message (HTML)", "* - Message*", true},
             Case{"A - Message - Message", "* - Message*", true},
             Case{"Message", "* - Message*", false},
             Case{"abc", "abc", true},
             Case{"abcd", "abc", false},
             Case{"", "*", true},
             Case{"aaa", "*a*a*a*", true},
             Case{"aa", "*a*a*a*", false},
             Case{"x*y", "x*y", true},
         }) {
        EXPECT_EQ(MatchesTitlePattern(c.text, c.pattern), c.matches) << c.text << " / " << c.pattern;
    }
}

class WindowControlTest : public ::testing::Test {
protected:
    platform::WindowHandle add(const std::string& name, const std::string& title, bool hidden = false)
    {
        return world.desktop.addWindow(name, "SomeClass", title, hidden);
    }

    SimWorld world;
    settings::Settings store{registry, settings::Reader::Notifier};

private:
    mdlRegistry registry{world.registry, world.system, world.files};
};

TEST_F(WindowControlTest, TheFirstVisibleParentlessTitledMatchInZOrderWins)
{
    platform::Desktop& desktop = world.desktop;
    EXPECT_EQ(FindTopWindowByTitle(desktop, kMessageWindowTitle), platform::NoWindow);

    const auto older = add("older", "Old - Message");
    const auto hidden = add("hidden", "Hidden - Message", true);
    const auto newer = add("newer", "New - Message");
    EXPECT_EQ(FindTopWindowByTitle(desktop, kMessageWindowTitle), newer);  // the top of the z-order
    (void)hidden;

    world.desktop.addWindow({.name = "child", .className = "C", .title = "Child - Message", .owner = older});
    EXPECT_EQ(FindTopWindowByTitle(desktop, kMessageWindowTitle), newer);

    // Only the first 127 characters of a title are seen.
    world.desktop.closeWindow(newer);
    world.desktop.closeWindow(older);
    const std::string subject(115, 's');
    const auto longOne = add("long", subject + " - Message (HTML)");  // 131 characters
    EXPECT_EQ(FindTopWindowByTitle(desktop, kMessageWindowTitle), longOne);
    EXPECT_EQ(FindTopWindowByTitle(desktop, "*(HTML)"), platform::NoWindow);

    // A search that finds nothing after one that found something finds nothing.
    world.desktop.closeWindow(longOne);
    EXPECT_EQ(FindTopWindowByTitle(desktop, kMessageWindowTitle), platform::NoWindow);
}

TEST_F(WindowControlTest, SwitchToOutlookMaximisesOnlyForExactlyMax)
{
    world.outlookStart();
    const auto main = world.outlookMainWindow();
    const auto other = add("other", "notes - Notepad");
    struct Case {
        const char* winState;  // nullptr: missing
        ShowState expected;
    };
    for (const Case& c : {Case{nullptr, ShowState::Maximized}, Case{"Max", ShowState::Maximized},
                          Case{"max", ShowState::Restored}, Case{"Normal", ShowState::Restored},
                          Case{"", ShowState::Restored}}) {
        SCOPED_TRACE(c.winState ? c.winState : "missing");
        if (c.winState)
            store.write(settings::WinState, c.winState);
        // Minimised from the restored state (a window minimised from maximised restores to maximised).
        world.desktop.show(main, platform::sw::Restore);
        world.desktop.show(main, platform::sw::Minimize);
        world.desktop.raise(other);
        SwitchToOutlook(world.desktop, store);
        EXPECT_EQ(world.desktop.showState(main), c.expected);
        EXPECT_EQ(world.desktop.front(), main);
    }
    world.outlookQuit();
    SwitchToOutlook(world.desktop, store);  // nothing to find, nothing happens
}

TEST_F(WindowControlTest, TheMessageWindowGetsTheForeground)
{
    const auto message = add("message", "Hello - Message");
    const auto editor = add("editor", "notes - Notepad");
    world.desktop.setForeground(editor);
    BringMessageWindowToFront(world.desktop);
    EXPECT_EQ(world.desktop.foreground(), message);
}

// ---- The popup's actions -----------------------------------------------------------------------

class MessageActionsTest : public ::testing::Test, protected PopupTestWorld {
protected:
    void SetUp() override
    {
        world.outlookStart();
        services.settings.write(settings::GetStart, 0);
        start();
    }

    std::string deliver(const std::string& subject) { return deliverSubject(subject); }
    platform::sim::ItemState item(const std::string& id) const { return *world.outlook.item(id); }
    TrayIconState trayIcon() const { return world.desktop.trayIcon(world.outlookTrayWindow(), 0); }
    int iconMessages() const { return world.desktop.messageCount(world.outlookTrayWindow(), 0x407); }
    void pin() { popup->btnPin.userClick(); }
};

TEST_F(MessageActionsTest, OpeningFollowsSwitchToAndNeverMarksRead)
{
    struct Case {
        const char* switchTo;
        bool displays;
        bool switches;
    };
    for (const Case& c : {Case{"Open", true, false}, Case{"Switch", false, true}, Case{"Both", true, true},
                          Case{"Display", true, true}, Case{"", true, true}, Case{"open", true, true}}) {
        SCOPED_TRACE(c.switchTo);
        services.settings.write(settings::SwitchTo, c.switchTo);
        world.desktop.show(world.outlookMainWindow(), platform::sw::Minimize);
        const std::string id = deliver(std::string("About ") + c.switchTo);
        ASSERT_TRUE(popup->Visible());
        popup->tmrCountDown.setEnabled(true);

        popup->btnOpen.userClick();
        EXPECT_EQ(item(id).displayed, c.displays ? 1 : 0);
        EXPECT_EQ(world.desktop.showState(world.outlookMainWindow()),
                  c.switches ? ShowState::Maximized : ShowState::Minimized);
        if (std::string(c.switchTo) == "Open") {
            EXPECT_EQ(world.desktop.nameOf(world.desktop.foreground()), "item:" + id);
        }
        EXPECT_TRUE(item(id).unread);
        EXPECT_EQ(trayIcon(), TrayIconState::Shown);
        EXPECT_FALSE(popup->Visible());
        EXPECT_FALSE(popup->tmrCountDown.Enabled());
    }

    // The labels and the attachment button open too; a pinned popup stays on the item.
    services.settings.write(settings::SwitchTo, "Open");
    platform::sim::MailSpec mail;
    mail.subject = "Pinned";
    mail.attachments = 1;
    const std::string id = PopupTestWorld::deliver("Inbox", mail);
    pin();
    for (forms::Control* opener : std::vector<forms::Control*>{&popup->lblSenderName, &popup->lblSubject,
                                                               &popup->lblBody, &popup->btnAttach})
        opener->userClick();
    popup->lblInbox.userClick();
    popup->lblRecipient.userClick();
    EXPECT_EQ(item(id).displayed, 4);
    EXPECT_TRUE(popup->Visible());
}

TEST_F(MessageActionsTest, MarkReadDecidesWhetherActionsReadTheItemAndTakeOutlooksIconAway)
{
    struct Action {
        const char* name;
        glint::GlintButton* button;
    };
    for (int markRead : {1, 0}) {
        services.settings.write(settings::MarkRead, markRead);
        for (const Action& a : {Action{"close", &popup->btnClose}, Action{"reply", &popup->btnReply},
                                Action{"forward", &popup->btnForward}, Action{"delete", &popup->btnDelete}}) {
            SCOPED_TRACE(std::string(a.name) + " MarkRead " + std::to_string(markRead));
            const std::string id = deliver(a.name);
            ASSERT_EQ(trayIcon(), TrayIconState::Shown);
            const int messagesBefore = iconMessages();
            a.button->userClick();
            EXPECT_EQ(item(id).unread, markRead == 0);
            EXPECT_EQ(trayIcon(), markRead ? TrayIconState::Removed : TrayIconState::Shown);
            EXPECT_EQ(iconMessages(), messagesBefore + markRead);
            EXPECT_FALSE(popup->Visible());
            if (a.button == &popup->btnReply) {
                EXPECT_EQ(item(id).replies, 1);
            }
            if (a.button == &popup->btnForward) {
                EXPECT_EQ(item(id).forwards, 1);
            }
            if (a.button == &popup->btnDelete) {
                EXPECT_EQ(item(id).folderPath, "Deleted Items");
            }
        }
    }
}

TEST_F(MessageActionsTest, OnAPinnedPopupCloseStillGoesDeletePagesBackAndAnswersStay)
{
    // Kept unread, so that Outlook's removal events do not count the shown item as gone.
    services.settings.write(settings::MarkRead, 0);
    const std::string first = deliver("first");
    const std::string second = deliver("second");
    const std::string third = deliver("third");
    pin();

    popup->btnReply.userClick();
    popup->btnForward.userClick();
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->state().CurrentSlot, 2);

    // The second item went to "Deleted Items" in Outlook meanwhile: paging back skips it.
    world.outlook.deleteItem(second);
    world.loop.runPending();
    popup->btnDelete.userClick();
    EXPECT_EQ(item(third).folderPath, "Deleted Items");
    EXPECT_EQ(popup->state().HistoryEntryID[2], "");
    EXPECT_EQ(popup->state().CurrentSlot, 0);
    EXPECT_TRUE(popup->Visible());

    ASSERT_EQ(popup->state().HistoryEntryID[0], first);
    popup->btnDelete.userClick();
    EXPECT_EQ(item(first).folderPath, "Deleted Items");
    ASSERT_FALSE(world.desktop.messageBoxes().empty());
    EXPECT_EQ(world.desktop.messageBoxes().back().text, "No more available e-mails in history!");

    deliver("fourth");
    popup->btnClose.userClick();
    EXPECT_FALSE(popup->Visible());
    EXPECT_TRUE(popup->state().Pinned);
}

TEST_F(MessageActionsTest, AnActionOnAnItemGoneFromOutlookStillTakesThePopupAway)
{
    const std::string id = deliver("vanishing");
    world.outlook.purge(id);
    world.loop.runPending();
    // The removal handling may already have dismissed it; show it again to act on it.
    popup->ComposeContent(popup->state().CurrentSlot, ComposeKind::ArrivalByIdentifiers);
    ASSERT_TRUE(popup->Visible());
    popup->btnDelete.userClick();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(popup->state().HistoryEntryID[0], "");

    const std::string other = deliver("other");
    world.outlook.faults().fail("GetItemFromID", 1);
    popup->btnClose.userClick();
    EXPECT_FALSE(popup->Visible());
    EXPECT_TRUE(item(other).unread);
}

TEST_F(MessageActionsTest, DisabledActionButtonsDoNothingWhileTheLabelsStillOpen)
{
    services.settings.write(settings::DisableActionButtons, 1);
    start();

    const std::string id = deliver("locked");
    for (glint::GlintButton* button : {&popup->btnReply, &popup->btnForward, &popup->btnDelete, &popup->btnOpen,
                                         &popup->btnAttach, &popup->btnClose})
        button->userClick();
    const auto state = item(id);
    EXPECT_TRUE(state.unread && state.displayed == 0 && state.replies == 0 && state.forwards == 0);
    EXPECT_EQ(state.folderPath, "Inbox");
    EXPECT_TRUE(popup->Visible());
    popup->lblSubject.userClick();
    EXPECT_EQ(item(id).displayed, 1);
}

} // namespace
} // namespace qln
