#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FormsTestWorld.h"
#include "platform/Failure.h"
#include "platform/forms/ListBox.h"

namespace {

using formstest::Canvas;
using formstest::World;
using forms::InputControl;
using forms::ListBox;

struct Listing : World {
    Canvas form{host};
    ListBox& list = form.place<ListBox>("lstBList");
    int clicks = 0;

    Listing()
    {
        form.Show();
        list.move(0, 0, 1500, 5 * 13 * 15 + 4 * 15);  // five rows of 13 px inside the 2 px edges
        list.Click = [this] { ++clicks; };
    }

    std::string rows() const
    {
        std::string all;
        for (int i = 0; i < list.ListCount(); ++i)
            all += list.List(i) + "|";
        return all;
    }
};

int errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

TEST(ListBox, EditsMoveTheSelectionWithItsRowWithoutClick)
{
    Listing l;
    l.list.AddItem("b");
    l.list.AddItem("d");
    l.list.AddItem("a", 0);
    l.list.AddItem("c", 2);
    EXPECT_EQ(l.rows(), "a|b|c|d|");
    EXPECT_EQ(l.list.NewIndex(), 2);
    l.list.setItemData(l.list.NewIndex(), 33);

    l.list.setListIndex(2);  // "c"
    EXPECT_EQ(l.clicks, 1);
    const struct {
        std::function<void(ListBox&)> edit;
        const char* rows;
        int listIndex;
        const char* selected;
    } steps[] = {
        {[](ListBox& b) { b.AddItem("0", 0); }, "0|a|b|c|d|", 3, "c"},
        {[](ListBox& b) { b.AddItem("e"); }, "0|a|b|c|d|e|", 3, "c"},
        {[](ListBox& b) { b.AddItem("c2", 4); }, "0|a|b|c|c2|d|e|", 3, "c"},
        {[](ListBox& b) { b.RemoveItem(1); }, "0|b|c|c2|d|e|", 2, "c"},
        {[](ListBox& b) { b.RemoveItem(5); }, "0|b|c|c2|d|", 2, "c"},
        {[](ListBox& b) { b.RemoveItem(2); }, "0|b|c2|d|", -1, ""},
    };
    for (const auto& s : steps) {
        s.edit(l.list);
        EXPECT_EQ(l.rows(), s.rows);
        EXPECT_EQ(l.list.ListIndex(), s.listIndex) << s.rows;
        EXPECT_EQ(l.list.List(l.list.ListIndex()), s.selected) << s.rows;
    }
    EXPECT_EQ(l.clicks, 1);
    EXPECT_EQ(l.list.NewIndex(), -1);

    // Item data travels with its row.
    l.list.AddItem("x", 0);
    l.list.AddItem("y", 0);
    l.list.setItemData(3, 7);  // "b"
    l.list.RemoveItem(0);
    EXPECT_EQ(l.list.List(2), "b");
    EXPECT_EQ(l.list.ItemData(2), 7);

    l.list.setListIndex(1);
    l.list.Clear();
    EXPECT_EQ(l.list.ListCount(), 0);
    EXPECT_EQ(l.list.ListIndex(), -1);
    EXPECT_EQ(l.clicks, 2);
}

TEST(ListBox, RowsUnderThePointerFollowTopIndex)
{
    Listing l;
    for (const char* row : {"a", "b", "c", "d", "e", "f", "g"})
        l.list.AddItem(row);
    const draw::Rect box = draw::Rect::ofSize(10, 20, 100, 69);  // anywhere on the form
    EXPECT_EQ(l.list.rowAt(21, box), -1);  // the edge
    EXPECT_EQ(l.list.rowAt(22, box), 0);
    EXPECT_EQ(l.list.rowAt(34, box), 0);
    EXPECT_EQ(l.list.rowAt(35, box), 1);
    EXPECT_EQ(l.list.rowAt(86, box), 4);
    EXPECT_EQ(l.list.rowAt(87, box), -1);
    EXPECT_EQ(l.list.rowBounds(2, box), (draw::Rect{12, 48, 108, 61}));
    EXPECT_FALSE(l.list.rowBounds(5, box));  // would need scrolling to
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(l.list.rowAt(l.list.rowBounds(row, box)->top + 6, box), row);

    l.list.setTopIndex(2);
    EXPECT_EQ(l.list.rowAt(22, box), 2);
    EXPECT_FALSE(l.list.rowBounds(1, box));
    EXPECT_EQ(l.list.rowBounds(6, box), (draw::Rect{12, 74, 108, 87}));

    // Below the last row there is none; its place still is where a new row would show.
    Listing two;
    two.list.AddItem("a");
    two.list.AddItem("b");
    EXPECT_EQ(two.list.rowAt(50, box), -1);
    EXPECT_EQ(two.list.rowBounds(2, box), (draw::Rect{12, 48, 108, 61}));
}

TEST(ListBox, ClickOnEverySelectionChangeAndOnlyThen)
{
    Listing l;
    for (const char* row : {"a", "b", "c"})
        l.list.AddItem(row);
    const struct {
        std::function<void(ListBox&)> act;
        int listIndex;
        int clicks;
    } steps[] = {
        {[](ListBox& b) { b.setListIndex(0); }, 0, 1},
        {[](ListBox& b) { b.setListIndex(0); }, 0, 1},
        {[](ListBox& b) { b.userSelect(2); }, 2, 2},
        {[](ListBox& b) { b.userSelect(2); }, 2, 2},
        {[](ListBox& b) { b.userSelect(3); }, 2, 2},   // below the last row
        {[](ListBox& b) { b.userSelect(-1); }, -1, 3},
        {[](ListBox& b) { b.userKey(InputControl::vbKeyDown, 0); }, 0, 4},  // from none to the first
        {[](ListBox& b) { b.userKey(InputControl::vbKeyUp, 0); }, 0, 4},
        {[](ListBox& b) { b.userKey(InputControl::vbKeyEnd, 0); }, 2, 5},
        {[](ListBox& b) { b.userKey(InputControl::vbKeyDown, 0); }, 2, 5},
        {[](ListBox& b) { b.userKey(InputControl::vbKeyHome, 0); }, 0, 6},
        {[](ListBox& b) { b.userClick(); }, 0, 6},      // a click outside the rows
        {[](ListBox& b) { b.userMouseDown(); }, 0, 6},  // a press selects nothing by itself
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act(l.list);
        EXPECT_EQ(l.list.ListIndex(), steps[i].listIndex) << i;
        EXPECT_EQ(l.clicks, steps[i].clicks) << i;
    }

    // MouseDown reports the button, the modifiers and the place in twips; the list takes the focus.
    std::string pressed;
    l.list.MouseDown = [&](int button, int shift, double x, double y) {
        pressed = std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(int(x)) + " " +
                  std::to_string(int(y));
    };
    l.list.userMouseDown(InputControl::vbRightButton, InputControl::vbShiftMask, 4, 10);
    EXPECT_EQ(pressed, "2 1 60 150");
    EXPECT_TRUE(l.list.hasFocus());

    l.list.setEnabled(false);
    l.list.userSelect(1);
    EXPECT_EQ(l.list.ListIndex(), 0);
}

TEST(ListBox, ErrorsAsVbRaisesThem)
{
    Listing l;
    l.list.AddItem("only");
    EXPECT_EQ(errorOf([&] { l.list.AddItem("x", 2); }), 5);
    EXPECT_EQ(errorOf([&] { l.list.AddItem("x", -1); }), 5);
    EXPECT_EQ(errorOf([&] { l.list.RemoveItem(1); }), 5);
    EXPECT_EQ(errorOf([&] { l.list.setListIndex(1); }), 380);
    EXPECT_EQ(errorOf([&] { l.list.setListIndex(-2); }), 380);
    EXPECT_EQ(errorOf([&] { l.list.setList(1, "x"); }), 381);
    EXPECT_EQ(errorOf([&] { l.list.ItemData(1); }), 381);
    EXPECT_EQ(errorOf([&] { l.list.setTopIndex(1); }), 380);
    EXPECT_EQ(l.list.List(1), "");
    EXPECT_EQ(l.list.List(-1), "");
    EXPECT_EQ(l.rows(), "only|");
    EXPECT_EQ(l.list.ListIndex(), -1);
}

TEST(ListBox, TheSelectionScrollsIntoView)
{
    Listing l;
    for (int i = 0; i < 12; ++i)
        l.list.AddItem("row " + std::to_string(i));
    l.list.setListIndex(7);
    EXPECT_EQ(l.list.TopIndex(), 3);  // five rows show: 3 to 7
    l.list.setListIndex(5);
    EXPECT_EQ(l.list.TopIndex(), 3);
    l.list.setListIndex(1);
    EXPECT_EQ(l.list.TopIndex(), 1);
    l.list.userKey(InputControl::vbKeyPageDown, 0);
    EXPECT_EQ(l.list.ListIndex(), 5);
    l.list.setTopIndex(11);
    l.list.RemoveItem(11);
    EXPECT_EQ(l.list.TopIndex(), 10);
}

} // namespace
