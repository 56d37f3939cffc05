// The checks of the numeric boxes: each rule's message and reset, on losing the focus and in
// Apply, and what Apply then stores.

#include <gtest/gtest.h>

#include "options/OptionChecks.h"
#include "tests/options/PageTestWorld.h"

namespace {

namespace checks = qln::options::checks;
namespace S = pagetest::S;
using pagetest::Texts;

class OptionChecks : public ::testing::Test {
protected:
    pagetest::World w;
    qln::QLNOptions& page = w.open();

    void set(const char* dismiss, const char* delay, const char* body, const char* width, const char* height)
    {
        page.txtDismissTime.setText(dismiss);
        page.txtMultMsgDelay.setText(delay);
        page.txtMsgBody.setText(body);
        page.txtFixedWidth.setText(width);
        page.txtFixedHeight.setText(height);
    }
};

TEST_F(OptionChecks, ApplyRunsEveryRuleInOrderAndStoresTheResets)
{
    // Boxes disabled by their check boxes (the dismiss time, the delay, the size) are checked too.
    set("abc", "", "lots", "wide", "10");
    page.Apply();
    EXPECT_EQ(w.newMessages(), (Texts{"Dismiss after must be a number of seconds!  Resetting to 90.",
                                      "Multiple message delay must be a number of seconds!  Resetting to 4.",
                                      "Number of characters must be a number! Resetting to 150.",
                                      "Fixed notifier width size must be a number! Resetting to 200.",
                                      "Fixed notifier height size must be 75 pixels or larger! Resetting to 75."}));
    EXPECT_EQ(page.txtDismissTime.Text(), "90");
    EXPECT_EQ(w.stored(S::DismissTime), 90);
    EXPECT_EQ(w.stored(S::MultMsgDelayTime), 4);
    EXPECT_EQ(w.stored(S::BodyAmount), 150);
    EXPECT_EQ(w.stored(S::SetFormWidth), 200);
    EXPECT_EQ(w.stored(S::SetFormHeight), 75);

    // No lower bound where no minimum is named; halves round to even when stored.
    set("0", "-3", "-1", "200.4", "0075.5");
    page.Apply();
    EXPECT_TRUE(w.newMessages().empty());
    EXPECT_EQ(w.stored(S::DismissTime), 0);
    EXPECT_EQ(w.stored(S::MultMsgDelayTime), -3);
    EXPECT_EQ(w.stored(S::SetFormWidth), 200);
    EXPECT_EQ(w.stored(S::SetFormHeight), 76);

    set("90", "90", "150", "199.6", "0x50");
    page.Apply();
    EXPECT_EQ(w.newMessages(), (Texts{checks::kWidthTooSmall, checks::kHeightNotNumber}));
}

TEST_F(OptionChecks, TheDelayMayNotExceedTheDismissTimeInWholeParts)
{
    set("90", "100", "150", "200", "75");
    page.Apply();
    EXPECT_EQ(w.newMessages(),
              Texts{"Multiple message delay must be less than auto-dismiss time!  Resetting to default values."});
    EXPECT_EQ(page.txtMultMsgDelay.Text(), "4");
    EXPECT_EQ(page.txtDismissTime.Text(), "90");
    EXPECT_EQ(w.stored(S::MultMsgDelayTime), 4);

    for (const auto& [delay, dismiss] : {std::pair{"90", "90"}, std::pair{"4.9", "4.2"}}) {
        page.txtMultMsgDelay.setText(delay);
        page.txtDismissTime.setText(dismiss);
        page.Apply();
        EXPECT_TRUE(w.newMessages().empty()) << delay << " / " << dismiss;
    }
    EXPECT_EQ(w.stored(S::MultMsgDelayTime), 5);
    EXPECT_EQ(w.stored(S::DismissTime), 4);

    // Whole parts round down: -0.5 counts as -1, below 0.5's 0.
    page.txtMultMsgDelay.setText("0.5");
    page.txtDismissTime.setText("-0.5");
    page.Apply();
    EXPECT_EQ(w.newMessages(), Texts{checks::kDelayAboveDismiss});

    // The rule sees what rule 1 left: a reset dismiss time ties the delay as well.
    page.txtDismissTime.setText("none");
    page.txtMultMsgDelay.setText("95");
    page.Apply();
    EXPECT_EQ(w.newMessages(), (Texts{checks::kDismissTimeNotNumber, checks::kDelayAboveDismiss}));
}

TEST_F(OptionChecks, FourBoxesCheckThemselvesWhenTheyLoseTheFocus)
{
    const auto type = [](forms::TextBox& box, const char* text) {
        box.userSetText(text);
        box.userBlur();
    };
    page.chkAutoDis.setValue(1);
    page.chkMultMsgDelay.setValue(1);
    page.chkFixedWindow.setValue(1);
    page.TabOne1.userClickTab(1);
    type(page.txtDismissTime, "later");
    EXPECT_EQ(w.newMessages(), Texts{checks::kDismissTimeNotNumber});
    EXPECT_EQ(page.txtDismissTime.Text(), "90");
    type(page.txtDismissTime, "1e2");
    type(page.txtMultMsgDelay, "never");  // waits for Apply
    EXPECT_TRUE(w.newMessages().empty());

    page.TabOne1.userClickTab(2);
    type(page.txtMsgBody, "");
    page.TabOne2.userClickTab(2);
    type(page.txtFixedWidth, "150");
    type(page.txtFixedHeight, "tall");
    EXPECT_EQ(w.newMessages(), (Texts{checks::kBodyNotNumber, checks::kWidthTooSmall, checks::kHeightNotNumber}));

    page.Apply();
    EXPECT_EQ(w.newMessages(), Texts{checks::kDelayNotNumber});
    EXPECT_EQ(w.stored(S::DismissTime), 100);
}

TEST_F(OptionChecks, AnApplyThatResetsAFieldLeavesThePageDirty)
{
    page.txtMsgBody.setText("many");
    const int before = w.site.statusChanges;
    page.Apply();
    EXPECT_TRUE(page.Dirty());
    EXPECT_GT(w.site.statusChanges, before);
    page.Apply();
    EXPECT_FALSE(page.Dirty());

    // A message box the desktop refuses is lost, but the bad value still does not reach the store.
    w.sim.desktop.faults().fail("MessageBoxA", 1);
    page.txtMsgBody.setText("many");
    page.Apply();
    EXPECT_EQ(w.stored(S::BodyAmount), 150);
}

} // namespace
