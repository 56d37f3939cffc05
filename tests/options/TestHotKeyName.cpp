// The hot-key name table and the Hotkeys tab's box: what it shows and which pair Apply stores.

#include <gtest/gtest.h>

#include "options/HotKeyName.h"
#include "tests/options/PageTestWorld.h"

namespace {

using qln::options::HotKeyName;
namespace S = pagetest::S;

constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
constexpr int kHotkeysTab = 4;

TEST(HotKeyName, NamesModifiersAndKeysByTheTable)
{
    const struct {
        int key, mask;
        const char* name;
    } cases[] = {
        {'K', kShift, "Shift + K"}, {'K', kCtrl | kShift, "Shift + Ctrl + K"}, {'K', kAlt, "Alt + K"},
        {'K', kShift | kAlt, "Shift + Alt + K"}, {'K', kCtrl | kAlt, "Ctrl + Alt + K"},
        {'K', 7, "Shift + Ctrl + Alt + K"}, {'K', 8 | kCtrl, "Ctrl + K"},
        {48, kCtrl, "Ctrl + 0"}, {57, kCtrl, "Ctrl + 9"}, {65, kCtrl, "Ctrl + A"}, {90, kCtrl, "Ctrl + Z"},
        {96, kAlt, "Alt + Num 0"}, {101, kAlt, "Alt + Num 5"}, {105, kAlt, "Alt + Num 9"},
        {112, kCtrl, "Ctrl + F1"}, {120, kCtrl, "Ctrl + F9"}, {121, kCtrl | kShift, "Shift + Ctrl + F10"},
        {122, kCtrl, "Ctrl + F11"}, {123, kCtrl, "Ctrl + F12"}, {32, kCtrl, "Ctrl + Space"},
        {106, kCtrl, "Ctrl + *"}, {107, kCtrl, "Ctrl + +"}, {109, kCtrl, "Ctrl + -"}, {111, kCtrl, "Ctrl + /"},
        {33, kCtrl, "Ctrl + PageUp"}, {34, kCtrl, "Ctrl + PageDown"}, {35, kCtrl, "Ctrl + End"},
        {36, kCtrl, "Ctrl + Home"}, {37, kCtrl, "Ctrl + Left"}, {38, kCtrl, "Ctrl + Up"},
        {39, kCtrl, "Ctrl + Right"}, {40, kCtrl, "Ctrl + Down"}, {45, kCtrl, "Ctrl + Insert"},
        // Without a modifier the key is not looked at; keys outside the table name nothing.
        {'Q', 0, "None"}, {121, 8, "None"}, {13, kCtrl, "None"}, {17, kCtrl, "None"}, {46, kCtrl, "None"},
        {47, kCtrl, "None"}, {58, kCtrl, "None"}, {95, kCtrl, "None"}, {108, kCtrl, "None"},
        {110, kCtrl, "None"}, {124, kCtrl, "None"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HotKeyName(c.key, c.mask), c.name) << c.key << "/" << c.mask;
}

TEST(HotKeyBox, LoadsTheStoredPairAndAStoredMaskOfZeroNamesNothing)
{
    pagetest::World w;
    w.store(S::HKkDismiss, 121);
    w.store(S::HKmDismiss, 3);
    auto& page = w.open();
    EXPECT_EQ(page.txtHKDismiss.Text(), "Shift + Ctrl + F10");
    EXPECT_EQ(page.HotKeyCode(), 121);
    EXPECT_EQ(page.HotKeyMask(), 3);

    w.store(S::HKmDismiss, 0);
    EXPECT_EQ(w.open().txtHKDismiss.Text(), "None");
}

TEST(HotKeyBox, RecordsTheLastKeyDownAndShowsOnlyItsName)
{
    pagetest::World w;
    auto& page = w.open(kHotkeysTab);
    auto& box = page.txtHKDismiss;

    // Ctrl, then Shift, then F10, released in any order.
    box.userKeyDown(17, kCtrl);
    box.userKeyDown(16, kCtrl | kShift);
    box.userKeyDown(121, kCtrl | kShift);
    box.userKeyUp(121, kCtrl | kShift);
    box.userKeyUp(17, kShift);
    EXPECT_EQ(box.Text(), "Shift + Ctrl + F10");
    EXPECT_TRUE(page.Dirty());
    page.Apply();
    EXPECT_EQ(w.stored(S::HKkDismiss), 121);
    EXPECT_EQ(w.stored(S::HKmDismiss), 3);
    EXPECT_EQ(w.stored(S::HKChanged), 1);

    // A modifier alone shows "None" but keeps its pair, as does one with a key outside the table.
    box.userKey(17, kCtrl);
    EXPECT_EQ(box.Text(), "None");
    EXPECT_EQ(page.HotKeyCode(), 17);
    EXPECT_EQ(page.HotKeyMask(), kCtrl);
    box.userKey(13, kCtrl);
    w.store(S::HKChanged, 0);
    page.Apply();
    EXPECT_EQ(w.stored(S::HKkDismiss), 13);
    EXPECT_EQ(w.stored(S::HKmDismiss), kCtrl);
    EXPECT_EQ(w.stored(S::HKChanged), 1);  // raised on every Apply

    // A plain key removes the hot key; no character it types, and no editing key, gets in.
    box.userKey(46, 0);
    box.userKey('Q', 0);
    EXPECT_EQ(box.Text(), "None");
    EXPECT_EQ(page.HotKeyCode(), 0);
    EXPECT_EQ(page.HotKeyMask(), 0);
    box.userKeyDown('S', kShift);
    EXPECT_EQ(box.Text(), "Shift + S");
}

} // namespace
