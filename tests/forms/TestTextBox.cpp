#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormsTestWorld.h"
#include "platform/Failure.h"
#include "platform/forms/TextBox.h"

namespace {

using formstest::Canvas;
using formstest::World;
using forms::InputControl;
using forms::TextBox;
using Events = std::vector<std::string>;

// A shown form with one text box whose every event is written down.
struct Typing : World {
    Canvas form{host};
    TextBox& box = form.place<TextBox>("txtBox");
    Events events;

    Typing()
    {
        form.Show();
        box.GotFocus = [this] { events.push_back("GotFocus"); };
        box.LostFocus = [this] { events.push_back("LostFocus"); };
        box.Validate = [this](bool&) { events.push_back("Validate"); };
        box.Change = [this] { events.push_back("Change " + box.Text()); };
        box.KeyDown = [this](int& code, int shift) {
            events.push_back("KeyDown " + std::to_string(code) + " " + std::to_string(shift));
        };
        box.KeyPress = [this](int& ascii) { events.push_back("KeyPress " + std::to_string(ascii)); };
        box.KeyUp = [this](int& code, int) { events.push_back("KeyUp " + std::to_string(code)); };
    }
};

TEST(TextBox, KeysArriveDownPressUpAndTheCharacterLandsBetweenPressAndUp)
{
    Typing t;
    t.box.userKey('A', InputControl::vbShiftMask);
    t.box.userKey('B', 0);
    EXPECT_EQ(t.events, (Events{"GotFocus", "KeyDown 65 1", "KeyPress 65", "Change A", "KeyUp 65", "KeyDown 66 0",
                                "KeyPress 98", "Change Ab", "KeyUp 66"}));

    // Keys that type nothing raise no KeyPress; Alt combinations type nothing either.
    t.events.clear();
    t.box.userKey(InputControl::vbKeyLeft, 0);
    t.box.userKey('C', InputControl::vbAltMask);
    t.box.userKey(17, InputControl::vbCtrlMask);
    EXPECT_EQ(t.events, (Events{"KeyDown 37 0", "KeyUp 37", "KeyDown 67 4", "KeyUp 67", "KeyDown 17 2", "KeyUp 17"}));
    EXPECT_EQ(t.box.Text(), "Ab");
    EXPECT_EQ(t.box.SelStart(), 1);
}

TEST(TextBox, KeyAsciiZeroSwallowsTheCharacterButAZeroKeyCodeDoesNot)
{
    Typing t;
    t.box.KeyPress = [](int& ascii) {
        if (ascii == 'x')
            ascii = 0;
        else if (ascii == 'u')
            ascii = 'U';
    };
    t.box.KeyDown = [](int& code, int) {
        if (code == 'Y' || code == InputControl::vbKeyDelete)
            code = 0;
    };
    for (int key : {'X', 'U', 'Y', 'Z'})
        t.box.userKey(key, 0);
    EXPECT_EQ(t.box.Text(), "Uyz");
    t.box.userKey(InputControl::vbKeyHome, 0);
    t.box.userKey(InputControl::vbKeyDelete, 0);  // swallowed in KeyDown: nothing is deleted
    EXPECT_EQ(t.box.Text(), "Uyz");
}

TEST(TextBox, CaretAndSelectionEditing)
{
    Typing t;
    t.box.userSetText("abcd");
    const struct {
        int key;
        int shift;
        const char* text;
        int selStart;
        int selLength;
    } steps[] = {
        {InputControl::vbKeyHome, 0, "abcd", 0, 0},
        {InputControl::vbKeyRight, InputControl::vbShiftMask, "abcd", 0, 1},
        {InputControl::vbKeyRight, InputControl::vbShiftMask, "abcd", 0, 2},
        {'X', InputControl::vbShiftMask, "Xcd", 1, 0},  // typing replaces the selection
        {InputControl::vbKeyBack, 0, "cd", 0, 0},
        {InputControl::vbKeyBack, 0, "cd", 0, 0},      // nothing before the caret
        {InputControl::vbKeyEnd, 0, "cd", 2, 0},
        {InputControl::vbKeyLeft, InputControl::vbShiftMask, "cd", 1, 1},
        {InputControl::vbKeyDelete, 0, "c", 1, 0},
        {InputControl::vbKeyDelete, 0, "c", 1, 0},     // nothing after the caret
        {InputControl::vbKeyReturn, 0, "c", 1, 0},     // control characters change nothing
        {'A', InputControl::vbCtrlMask, "c", 1, 0},
        {'2', InputControl::vbShiftMask, "c@", 2, 0},
        {InputControl::vbKeyLeft, 0, "c@", 1, 0},
        {InputControl::vbKeyRight, InputControl::vbShiftMask, "c@", 1, 1},
        {InputControl::vbKeyLeft, 0, "c@", 1, 0},      // a selection collapses to its start
    };
    for (const auto& s : steps) {
        t.box.userKey(s.key, s.shift);
        EXPECT_EQ(t.box.Text(), s.text) << s.key;
        EXPECT_EQ(t.box.SelStart(), s.selStart) << s.key;
        EXPECT_EQ(t.box.SelLength(), s.selLength) << s.key;
    }
}

TEST(TextBox, PositionsCountCharactersAndEditsTakeWholeOnes)
{
    Typing t;
    t.box.userSetText("a\u00e4\u65e5\U0001F600");  // 1 + 2 + 3 + 4 bytes, 4 characters
    EXPECT_EQ(t.box.SelStart(), 4);
    t.box.userKey(InputControl::vbKeyBack, 0);  // the emoji goes whole
    EXPECT_EQ(t.box.Text(), "a\u00e4\u65e5");
    t.box.userKey(InputControl::vbKeyLeft, 0);
    t.box.userKey(InputControl::vbKeyLeft, InputControl::vbShiftMask);
    EXPECT_EQ(t.box.SelStart(), 1);
    EXPECT_EQ(t.box.SelLength(), 1);
    EXPECT_EQ(t.box.SelText(), "\u00e4");
    t.box.userKey(InputControl::vbKeyDelete, 0);
    EXPECT_EQ(t.box.Text(), "a\u65e5");
    t.box.userKey(InputControl::vbKeyDelete, 0);  // the character after the caret, whole
    EXPECT_EQ(t.box.Text(), "a");
    t.box.setSelText("\u03a3\u03c3");
    EXPECT_EQ(t.box.SelStart(), 3);
    EXPECT_EQ(t.box.Text(), "a\u03a3\u03c3");
    t.box.setSelStart(99);
    EXPECT_EQ(t.box.SelStart(), 3);

    // A character code above 127 (here from a KeyPress handler) is a Windows-1252 character.
    t.box.KeyPress = [](int& ascii) { ascii = 0xDF; };
    t.box.userKey('S', 0);
    EXPECT_EQ(t.box.Text(), "a\u03a3\u03c3\u00df");
    t.box.KeyPress = nullptr;

    // MaxLength counts characters; text from outside that is not UTF-8 is replaced.
    t.box.setMaxLength(3);
    t.box.userSetText("\u65e5\u672c\u8a9e\u3067\u3059");
    EXPECT_EQ(t.box.Text(), "\u65e5\u672c\u8a9e");
    t.box.userSetText("x\xFF\xE6\x97y");
    EXPECT_EQ(t.box.Text(), "x\uFFFD\uFFFD");
}

// The hot-key box: KeyDown shows the combination, the typed character lands in the shown text at
// the caret that the assignment put at the start, and KeyUp shows the name again.
TEST(TextBox, AHandlerThatRewritesTheTextSeesTheTypedCharacterUndoneAtKeyUp)
{
    Typing t;
    std::string hotKeyText;
    std::string atKeyUp;
    t.box.KeyDown = [&](int& code, int shift) {
        t.box.setText(shift == 0 ? "None" : "Ctrl + " + std::to_string(code));
        hotKeyText = t.box.Text();
    };
    t.box.KeyUp = [&](int&, int) {
        atKeyUp = t.box.Text();
        t.box.setText(hotKeyText);
    };
    t.box.userKey('5', 0);
    EXPECT_EQ(atKeyUp, "5None");
    EXPECT_EQ(t.box.Text(), "None");
    t.box.userKey('5', InputControl::vbCtrlMask);  // Ctrl+5 types nothing
    EXPECT_EQ(atKeyUp, "Ctrl + 53");
}

TEST(TextBox, ChangeOnlyWhenTheTextDiffersAndTheCaretGoesHomeOnAssignment)
{
    Typing t;
    t.box.setText("90");
    t.box.setText("90");
    EXPECT_EQ(t.events, (Events{"Change 90"}));
    t.box.userSetText("abc");
    EXPECT_EQ(t.box.SelStart(), 3);
    t.box.setText("abcd");
    EXPECT_EQ(t.box.SelStart(), 0);
    EXPECT_EQ(t.box.SelLength(), 0);

    t.box.setSelStart(9);  // beyond the end: the end
    EXPECT_EQ(t.box.SelStart(), 4);
    t.box.setSelStart(1);
    t.box.setSelLength(99);
    EXPECT_EQ(t.box.SelText(), "bcd");
    t.box.setSelText("Z");
    EXPECT_EQ(t.box.Text(), "aZ");
    EXPECT_EQ(t.box.SelStart(), 2);
    using Setter = void (*)(TextBox&);
    for (Setter bad : {Setter{[](TextBox& b) { b.setSelStart(-1); }}, Setter{[](TextBox& b) { b.setSelLength(-1); }},
                       Setter{[](TextBox& b) { b.setMaxLength(-1); }}}) {
        try {
            bad(t.box);
            ADD_FAILURE() << "no failure";
        } catch (const platform::Failure& failure) {
            EXPECT_EQ(failure.number(), 380);
        }
    }
}

TEST(TextBox, MaxLengthAndLockedLimitTheUserOnly)
{
    Typing t;
    t.box.setMaxLength(3);
    t.box.setText("longer than three");
    EXPECT_EQ(t.box.Text(), "longer than three");
    t.box.userSetText("12345");
    EXPECT_EQ(t.box.Text(), "123");
    t.box.userKey('4', 0);
    EXPECT_EQ(t.box.Text(), "123");
    t.box.userKey(InputControl::vbKeyLeft, InputControl::vbShiftMask);
    t.box.userKey('4', 0);  // replacing one of three fits
    EXPECT_EQ(t.box.Text(), "124");

    t.box.setLocked(true);
    t.events.clear();
    t.box.userSetText("xy");
    t.box.userKey('Q', 0);
    t.box.userKey(InputControl::vbKeyBack, 0);
    EXPECT_EQ(t.box.Text(), "124");
    EXPECT_EQ(t.events, (Events{"KeyDown 81 0", "KeyPress 113", "KeyUp 81", "KeyDown 8 0", "KeyPress 8", "KeyUp 8"}));
    t.box.setText("code may");
    EXPECT_EQ(t.box.Text(), "code may");
}

TEST(TextBox, FocusLeavesOnlyThroughBlurAndValidateMayKeepIt)
{
    Typing t;
    EXPECT_FALSE(t.box.userBlur());  // it never had the focus
    EXPECT_TRUE(t.events.empty());

    bool keep = true;
    t.box.Validate = [&](bool& cancel) {
        t.events.push_back("Validate");
        cancel = keep;
    };
    t.box.userSetText("abc");
    EXPECT_FALSE(t.box.userBlur());
    EXPECT_TRUE(t.box.hasFocus());
    keep = false;
    EXPECT_TRUE(t.box.userBlur());
    EXPECT_FALSE(t.box.hasFocus());
    EXPECT_EQ(t.events, (Events{"GotFocus", "Change abc", "Validate", "Validate", "LostFocus"}));

    // Another box taking the focus does not take it from this one.
    auto& other = t.form.place<TextBox>("txtOther");
    t.box.userFocus();
    other.userSetText("x");
    EXPECT_TRUE(t.box.hasFocus() && other.hasFocus());

    // A disabled box takes neither the focus nor text; SetFocus refuses with error 5.
    t.box.userBlur();
    t.box.setEnabled(false);
    t.events.clear();
    t.box.userSetText("typed");
    t.box.userKey('A', 0);
    EXPECT_EQ(t.box.Text(), "abc");
    EXPECT_TRUE(t.events.empty());
    try {
        t.box.SetFocus();
        ADD_FAILURE() << "no failure";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), 5);
    }
}

TEST(InputControl, KeyAsciiOnAUsKeyboard)
{
    using IC = InputControl;
    const struct {
        int key;
        int shift;
        int ascii;
    } cases[] = {
        {'A', 0, 'a'}, {'A', IC::vbShiftMask, 'A'}, {'A', IC::vbCtrlMask, 1}, {'Z', IC::vbCtrlMask, 26},
        {'A', IC::vbAltMask, 0}, {'0', 0, '0'}, {'0', IC::vbShiftMask, ')'}, {'9', IC::vbShiftMask, '('},
        {96, 0, '0'}, {105, 0, '9'}, {106, 0, '*'}, {107, 0, '+'}, {109, 0, '-'}, {110, 0, '.'}, {111, 0, '/'},
        {IC::vbKeySpace, 0, ' '}, {IC::vbKeyReturn, 0, 13}, {IC::vbKeyReturn, IC::vbCtrlMask, 10},
        {IC::vbKeyBack, 0, 8}, {IC::vbKeyEscape, 0, 27}, {189, 0, '-'}, {189, IC::vbShiftMask, '_'},
        {222, IC::vbShiftMask, '"'}, {16, IC::vbShiftMask, 0}, {17, IC::vbCtrlMask, 0}, {112, 0, 0},
        {IC::vbKeyDelete, 0, 0}, {IC::vbKeyLeft, 0, 0}, {'5', IC::vbCtrlMask, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InputControl::keyAscii(c.key, c.shift), c.ascii) << c.key << " " << c.shift;
}

} // namespace
