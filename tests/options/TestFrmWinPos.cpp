// The window position dialog: what InitAll shows, the corner buttons, change tracking, Restore
// Defaults, the checks on OK, the events and their order, and the dialog's window.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "options/frmWinPos.h"
#include "tests/forms/FormsTestWorld.h"

namespace {

using qln::options::frmWinPos;
using Log = std::vector<std::string>;

class WinPos : public ::testing::Test {
protected:
    WinPos()
    {
        page.move(1500, 1500, 9000, 6000);
        page.Show();
        open(frmWinPos::kTopLeft, 30, 60);
    }

    // Opened as the page opens it: fresh, variables set, InitAll, shown owned by the page.
    void open(std::int32_t position, std::int32_t width, std::int32_t height)
    {
        dialog.reset();
        dialog = std::make_unique<frmWinPos>(w.host, [this](const std::string& text) { log.push_back(text); });
        dialog->Load();
        dialog->MyWindowPosition = position;
        dialog->MySpaceWidth = width;
        dialog->MySpaceHeight = height;
        dialog->InitAll();
        dialog->OkClick = [this] { log.push_back(dialog->Loaded() ? "OkClick(loaded)" : "OkClick"); };
        dialog->CancelClick = [this] { log.push_back(dialog->Loaded() ? "CancelClick(loaded)" : "CancelClick"); };
        dialog->ShowModal(page.hWnd());
        log.clear();
    }

    // The corners' states, in the order top left, top right, bottom left, bottom right.
    std::vector<int> corners() const
    {
        return {dialog->chkTopLeft.State(), dialog->chkTopRight.State(), dialog->chkBottomLeft.State(),
                dialog->chkBottomRight.State()};
    }

    formstest::World w;
    formstest::Canvas page{w.host, "QLNOptions"};
    std::unique_ptr<frmWinPos> dialog;
    Log log;
};

TEST_F(WinPos, ShowsItsControlsOwnedByThePage)
{
    EXPECT_EQ(w.desktop.title(dialog->hWnd()), "Quellin Window Position");

    // Loaded before it was shown: the window was made again, owned this time, over the page.
    ASSERT_TRUE(dialog->Visible());
    EXPECT_EQ(w.desktop.getParent(dialog->hWnd()), page.hWnd());
    const auto pageBox = w.desktop.bounds(page.hWnd());
    const auto box = w.desktop.bounds(dialog->hWnd());
    EXPECT_EQ(box.left * 2 + box.width, pageBox.left * 2 + pageBox.width);
    EXPECT_EQ(box.top * 2 + box.height, pageBox.top * 2 + pageBox.height);
}

TEST_F(WinPos, InitAllChecksTheStoredCornerOrNoneAndIsClean)
{
    EXPECT_EQ(corners(), (std::vector<int>{3, 0, 0, 0}));
    EXPECT_EQ(dialog->txtSpaceWidth.Text(), "30");
    EXPECT_EQ(dialog->txtSpaceHeight.Text(), "60");
    EXPECT_FALSE(dialog->MyDirty);

    const std::vector<std::vector<int>> expected{{0, 0, 0, 3}, {0, 0, 3, 0}, {3, 0, 0, 0}, {0, 3, 0, 0}};
    for (std::int32_t code = 0; code < 4; ++code) {
        open(code, 27, 54);
        EXPECT_EQ(corners(), expected[static_cast<std::size_t>(code)]) << code;
    }

    // An unknown corner shows none checked and survives OK untouched.
    open(7, 27, 54);
    EXPECT_EQ(corners(), (std::vector<int>{0, 0, 0, 0}));
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"OkClick(loaded)"}));
    EXPECT_FALSE(dialog->MyDirty);
    EXPECT_EQ(dialog->MyWindowPosition, 7);
    EXPECT_FALSE(dialog->Loaded());
}

TEST_F(WinPos, ACornerClickAlwaysLeavesExactlyThatCornerChecked)
{
    // Clicking the checked corner again would unlatch it; it stays checked.
    dialog->chkTopLeft.userClick();
    EXPECT_EQ(corners(), (std::vector<int>{3, 0, 0, 0}));
    EXPECT_TRUE(dialog->MyDirty);
    EXPECT_EQ(dialog->MyWindowPosition, frmWinPos::kTopLeft);

    // The pointer comes in, presses, is dragged out and released: still a click.
    auto& bottomLeft = dialog->chkBottomLeft;
    bottomLeft.mouseMove(0, 0, 5, 5);
    bottomLeft.mouseDown(1, 0, 5, 5);
    bottomLeft.mouseUp(1, 0, 500, 500);
    EXPECT_EQ(corners(), (std::vector<int>{0, 0, 3, 0}));
    EXPECT_EQ(dialog->MyWindowPosition, frmWinPos::kBottomLeft);

    dialog->chkTopRight.userClick();
    dialog->chkBottomRight.userClick();
    EXPECT_EQ(corners(), (std::vector<int>{0, 0, 0, 3}));
    EXPECT_EQ(dialog->MyWindowPosition, frmWinPos::kBottomRight);
}

TEST_F(WinPos, TypingCountsAsAChangeEvenWhenTheOldValueComesBack)
{
    dialog->txtSpaceWidth.userSetText("31");
    dialog->txtSpaceWidth.userSetText("30");
    EXPECT_TRUE(dialog->MyDirty);
}

TEST_F(WinPos, RestoreDefaultsThenCancelLeavesTheVariables)
{
    dialog->btnDefaults.userClick();
    EXPECT_EQ(corners(), (std::vector<int>{0, 0, 0, 3}));
    EXPECT_EQ(dialog->txtSpaceWidth.Text(), "27");
    EXPECT_EQ(dialog->txtSpaceHeight.Text(), "54");
    EXPECT_TRUE(dialog->MyDirty);
    EXPECT_EQ(dialog->MySpaceWidth, 30);  // the distances follow only on OK

    dialog->btnCancel.userClick();
    EXPECT_EQ(log, (Log{"CancelClick(loaded)"}));
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(dialog->MySpaceWidth, 30);
    EXPECT_EQ(dialog->MySpaceHeight, 60);
}

TEST_F(WinPos, ABadDistanceIsResetWithAMessageAndTheDialogStaysOpen)
{
    dialog->txtSpaceWidth.userSetText("abc");
    dialog->txtSpaceHeight.userSetText("");
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"Horizontal space must be a number of pixels!  Resetting to 27."}));
    EXPECT_EQ(dialog->txtSpaceWidth.Text(), "27");
    EXPECT_EQ(dialog->MySpaceWidth, 27);
    EXPECT_TRUE(dialog->Loaded());

    log.clear();
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"Vertical space must be a number of pixels!  Resetting to 54."}));
    EXPECT_EQ(dialog->txtSpaceHeight.Text(), "54");
    EXPECT_EQ(dialog->MySpaceHeight, 54);
    EXPECT_TRUE(dialog->Loaded());

    log.clear();
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"OkClick(loaded)"}));
    EXPECT_EQ(dialog->MySpaceWidth, 27);
    EXPECT_EQ(dialog->MySpaceHeight, 54);
    EXPECT_FALSE(dialog->Loaded());
}

TEST_F(WinPos, OkTakesWholePixelsRoundedHalvesToEven)
{
    struct Case {
        const char* width;
        const char* height;
        std::int32_t wantWidth;
        std::int32_t wantHeight;
    };
    for (const Case& c : {Case{"2.5", "3.5", 2, 4}, Case{" -1.5 ", "0", -2, 0}, Case{"1e2", "54.49", 100, 54}}) {
        open(frmWinPos::kTopLeft, 30, 60);
        dialog->txtSpaceWidth.userSetText(c.width);
        dialog->txtSpaceHeight.userSetText(c.height);
        dialog->btnOK.userClick();
        EXPECT_EQ(dialog->MySpaceWidth, c.wantWidth) << c.width;
        EXPECT_EQ(dialog->MySpaceHeight, c.wantHeight) << c.height;
        EXPECT_EQ(log, (Log{"OkClick(loaded)"}));
    }

    // A number no distance can hold is no number of pixels either.
    open(frmWinPos::kTopLeft, 30, 60);
    dialog->txtSpaceHeight.userSetText("1e12");
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"Vertical space must be a number of pixels!  Resetting to 54."}));
    EXPECT_TRUE(dialog->Loaded());
}

TEST_F(WinPos, TheCloseBoxRaisesNothing)
{
    dialog->txtSpaceWidth.userSetText("99");
    dialog->userCloseBox();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(dialog->MySpaceWidth, 30);
}

TEST_F(WinPos, APageThatUnloadsInTheEventAndReleasesLaterIsSafe)
{
    // As the page answers: unload at once, release from a posted task.
    int released = 0;
    dialog->OkClick = [&] {
        log.push_back("OkClick");
        dialog->Unload();
        w.loop.post([&] {
            dialog.reset();
            ++released;
        });
    };
    dialog->btnOK.userClick();
    EXPECT_EQ(log, (Log{"OkClick"}));
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->Loaded());

    w.loop.runPending();
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(dialog);
}

} // namespace
