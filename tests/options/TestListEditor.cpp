// The sender list editor on the Filters tab: the mode buttons, the list Add and Remove act on,
// refused entries, and what Apply writes to the list files and ListMode.

#include <gtest/gtest.h>

#include "tests/options/PageTestWorld.h"

namespace {

namespace S = pagetest::S;
using pagetest::Texts;
using pagetest::World;
using Modes = std::vector<int>;

constexpr int kOn = flair::enmButtonStatePressed;
constexpr int kOff = flair::enmButtonStateNormal;
constexpr int kFiltersTab = 3;

class ListEditor : public ::testing::Test {
protected:
    static Modes modes(const qln::QLNOptions& page)
    {
        return {page.chkAllow.State(), page.chkBList.State(), page.chkWList.State()};
    }
    static void add(qln::QLNOptions& page, const std::string& entry)
    {
        page.txtAddBWList.userSetText(entry);
        page.btnAddBWList.userClick();
    }

    World w;
};

TEST_F(ListEditor, LoadsTheStoredModeAndBothFiles)
{
    w.sim.files.put(w.listPath("blist.qln"), "spam.example|@junk.test|\r\nignored|");
    w.sim.files.put(w.listPath("wlist.qln"), "boss@work.test|");
    w.store(S::ReReadBList, 1);
    w.store(S::ListMode, 2);
    auto& page = w.open(kFiltersTab);
    EXPECT_EQ(modes(page), (Modes{kOff, kOff, kOn}));
    EXPECT_EQ(World::rows(page.lstBList), (Texts{"spam.example", "@junk.test"}));
    EXPECT_EQ(World::rows(page.lstWList), Texts{"boss@work.test"});
    EXPECT_EQ(w.stored(S::ReReadBList), 0);  // the page's own read lowers the flag
    EXPECT_FALSE(page.Dirty());

    w.store(S::ListMode, 7);
    EXPECT_EQ(modes(w.open()), (Modes{kOn, kOff, kOff}));
}

TEST_F(ListEditor, ModeButtonsCheckExactlyOneAndMarkThePageDirty)
{
    auto& page = w.open(kFiltersTab);
    for (const auto& [button, mode] : {std::pair{&page.chkBList, 1}, std::pair{&page.chkWList, 2},
                                       std::pair{&page.chkAllow, 0}, std::pair{&page.chkAllow, 0}}) {
        button->userClick();  // the last one clicks the button that is already checked
        EXPECT_TRUE(page.Dirty());
        EXPECT_EQ(modes(page), (Modes{mode == 0 ? kOn : kOff, mode == 1 ? kOn : kOff, mode == 2 ? kOn : kOff}));
        page.Apply();
        EXPECT_EQ(w.stored(S::ListMode), mode);
    }
}

TEST_F(ListEditor, AddGoesToTheBlockedListUntilTheAllowedListIsClicked)
{
    auto& page = w.open(kFiltersTab);
    add(page, " Spam.Example ");  // taken as typed
    EXPECT_EQ(page.txtAddBWList.Text(), "");
    EXPECT_TRUE(page.Dirty());

    page.lstWList.userMouseDown();
    page.chkBList.userClick();  // the mode does not move the current list
    add(page, "friend@home.test");
    page.lstBList.userMouseDown();
    page.txtAddBWList.userSetText("ab");
    page.txtAddBWList.userEnter();
    add(page, "ab");
    add(page, "\u65e5\u672c");  // two characters
    EXPECT_EQ(World::rows(page.lstBList), (Texts{" Spam.Example ", "ab", "ab", "\u65e5\u672c"}));
    EXPECT_EQ(World::rows(page.lstWList), Texts{"friend@home.test"});

    page.Apply();
    EXPECT_EQ(w.listFile("blist.qln"), " Spam.Example |ab|ab|\u65e5\u672c|");
    EXPECT_EQ(w.listFile("wlist.qln"), "friend@home.test|");
    EXPECT_EQ(w.stored(S::ReReadBList), 1);
    EXPECT_EQ(w.stored(S::ReReadWList), 1);
}

TEST_F(ListEditor, ShortEntriesAndEntriesHoldingTheSeparatorAreRefused)
{
    auto& page = w.open(kFiltersTab);
    page.txtAddBWList.userSetText("x");
    page.txtAddBWList.userEnter();
    add(page, "");
    add(page, "a@b.test|c.test");  // would come back from the file as two entries
    add(page, "\u65e5");                // one character of three bytes is still one character
    EXPECT_EQ(w.newMessages(), (Texts{"Invalid filter!", "Invalid filter!", "Invalid filter!", "Invalid filter!"}));
    EXPECT_EQ(page.txtAddBWList.Text(), "");
    EXPECT_EQ(page.lstBList.ListCount(), 0);
    EXPECT_FALSE(page.Dirty());
}

TEST_F(ListEditor, RemoveTakesTheSelectedRowOfTheCurrentList)
{
    w.sim.files.put(w.listPath("blist.qln"), "a.test|b.test|c.test|");
    w.sim.files.put(w.listPath("wlist.qln"), "x.test|");
    auto& page = w.open(kFiltersTab);
    page.btnRemoveBWList.userClick();  // nothing selected: removes nothing, a change all the same
    EXPECT_TRUE(page.Dirty());
    EXPECT_EQ(page.lstBList.ListCount(), 3);

    page.lstBList.userMouseDown();
    page.lstBList.userSelect(1);
    page.btnRemoveBWList.userClick();
    page.lstWList.userMouseDown();  // current now, without a selection of its own
    page.btnRemoveBWList.userClick();
    EXPECT_EQ(World::rows(page.lstBList), (Texts{"a.test", "c.test"}));
    EXPECT_EQ(World::rows(page.lstWList), Texts{"x.test"});
    EXPECT_TRUE(w.newMessages().empty());

    // Closing without Apply leaves the files as they were.
    w.page.reset();
    EXPECT_EQ(w.listFile("blist.qln"), "a.test|b.test|c.test|");
}

} // namespace
