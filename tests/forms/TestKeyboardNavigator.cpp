// The form's keyboard: tab order, the focus moving as a click moves it, access keys and the keys
// that go on to the control with the focus.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormsTestWorld.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Frame.h"
#include "platform/forms/KeyboardNavigator.h"
#include "platform/forms/Label.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Panel.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/TextBox.h"
#include "platform/forms/UserControl.h"

namespace {

using formstest::Canvas;
using formstest::World;
using forms::InputControl;
using forms::KeyboardNavigator;

constexpr int kTab = InputControl::vbKeyTab;
constexpr int kShift = InputControl::vbShiftMask;
constexpr int kAlt = InputControl::vbAltMask;

// A user control that writes down what the container tells it.
class Logger : public forms::UserControl {
public:
    Logger(forms::Form& form, std::string name) : UserControl(form, std::move(name)) { setAccessKeys("gx"); }
    std::vector<std::string>* log = nullptr;

protected:
    void onGotFocus() override { say("got"); }
    void onLostFocus() override { say("lost"); }
    void onKeyDown(int keyCode, int shift) override { say("down " + std::to_string(keyCode) + " " + std::to_string(shift)); }
    void onKeyPress(int keyAscii) override { say("press " + std::to_string(keyAscii)); }
    void onKeyUp(int keyCode, int) override { say("up " + std::to_string(keyCode)); }
    void onAccessKeyPress(std::string_view key) override { say("access " + std::string(key)); }

private:
    void say(const std::string& what) { log->push_back(Name() + " " + what); }
};

std::string name(const forms::Control* control) { return control ? control->Name() : "(none)"; }

std::vector<std::string> names(const std::vector<forms::Control*>& controls)
{
    std::vector<std::string> out;
    for (const forms::Control* c : controls)
        out.push_back(c->Name());
    return out;
}

// A dialog of the usual kinds, in creation order: what Tab may stop at and what it must skip.
struct Dialog {
    World w;
    Canvas form{w.host};
    std::vector<std::string> log;
    forms::Label& lblName = form.place<forms::Label>("lblName");
    forms::TextBox& txtName = form.place<forms::TextBox>("txtName");
    forms::CheckBox& chkNoStop = form.place<forms::CheckBox>("chkNoStop");
    forms::CommandButton& btnHidden = form.place<forms::CommandButton>("btnHidden");
    forms::TextBox& txtDisabled = form.place<forms::TextBox>("txtDisabled");
    forms::Panel& pnlOff = form.place<forms::Panel>("pnlOff");
    forms::CheckBox& chkInHiddenPanel = form.place<forms::CheckBox>("chkInHiddenPanel");
    forms::CheckBox& chkRemember = form.place<forms::CheckBox>("chkRemember");
    Logger& ucLog = form.place<Logger>("ucLog");
    forms::CommandButton& btnOK = form.place<forms::CommandButton>("btnOK");
    forms::TextBox& txtLast = form.place<forms::TextBox>("txtLast");

    Dialog()
    {
        lblName.setCaption("&Name:");
        chkNoStop.setTabStop(false);
        chkNoStop.setCaption("&Quiet");
        btnHidden.setVisible(false);
        btnHidden.setCaption("&Hidden");
        txtDisabled.setEnabled(false);
        pnlOff.setVisible(false);
        chkInHiddenPanel.setContainer(&pnlOff);
        chkRemember.setCaption("&Remember me");
        btnOK.setCaption("&OK");
        btnOK.Click = [this] { log.push_back("btnOK click"); };
        ucLog.log = &log;
        for (forms::TextBox* box : {&txtName, &txtLast}) {
            box->GotFocus = [this, box] { log.push_back(box->Name() + " got"); };
            box->LostFocus = [this, box] { log.push_back(box->Name() + " lost"); };
            box->KeyDown = [this, box](int& code, int shift) {
                log.push_back(box->Name() + " down " + std::to_string(code) + " " + std::to_string(shift));
            };
        }
        form.Show();
    }
    bool key(int keyCode, int shift = 0)
    {
        const bool taken = KeyboardNavigator(form).keyDown(keyCode, shift);
        KeyboardNavigator(form).keyUp(keyCode, shift);
        return taken;
    }
    std::string focus() const { return name(form.ActiveControl()); }
};

TEST(KeyboardNavigator, TabVisitsTheStopsInCreationOrderAndWrapsBothWays)
{
    Dialog d;
    EXPECT_EQ(names(KeyboardNavigator(d.form).tabStops()),
              (std::vector<std::string>{"txtName", "chkRemember", "ucLog", "btnOK", "txtLast"}));

    EXPECT_EQ(d.focus(), "(none)");
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(d.key(kTab));
        visited.push_back(d.focus());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"txtName", "chkRemember", "ucLog", "btnOK", "txtLast", "txtName"}));
    EXPECT_TRUE(d.txtName.hasFocus());
    EXPECT_FALSE(d.txtLast.hasFocus());

    d.key(kTab, kShift);
    EXPECT_EQ(d.focus(), "txtLast");
    d.key(kTab, kShift);
    EXPECT_EQ(d.focus(), "btnOK");

    // Each control let go before the next took it; the key's release went to the new one, and Tab
    // itself reached no KeyDown.
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName got", "txtName lost", "ucLog got", "ucLog up 9", "ucLog lost",
                                               "txtLast got", "txtLast lost", "txtName got", "txtName lost",
                                               "txtLast got", "txtLast lost"}));

    // Inside another window's dialog the ends are left to the dialog.
    const KeyboardNavigator::Wrap stop = KeyboardNavigator::Wrap::Stop;
    EXPECT_TRUE(KeyboardNavigator(d.form, stop).keyDown(kTab, kShift));
    EXPECT_EQ(d.focus(), "ucLog");
    KeyboardNavigator(d.form, stop).keyDown(kTab, kShift);
    KeyboardNavigator(d.form, stop).keyDown(kTab, kShift);
    EXPECT_EQ(d.focus(), "txtName");
    EXPECT_FALSE(KeyboardNavigator(d.form, stop).keyDown(kTab, kShift));
    EXPECT_EQ(d.focus(), "txtName");
    KeyboardNavigator(d.form).moveFocus(d.txtLast);
    EXPECT_FALSE(KeyboardNavigator(d.form, stop).keyDown(kTab, 0));
    EXPECT_EQ(d.focus(), "txtLast");

    // Shift+Tab with no focus goes to the last stop; a form without stops leaves Tab to nobody.
    d.form.Unload();
    d.form.Show();
    EXPECT_EQ(d.focus(), "(none)");
    d.key(kTab, kShift);
    EXPECT_EQ(d.focus(), "txtLast");
    World empty;
    Canvas bare(empty.host);
    bare.place<forms::Label>("lblOnly");
    bare.Show();
    EXPECT_FALSE(KeyboardNavigator(bare).keyDown(kTab, 0));
}

TEST(KeyboardNavigator, ValidateKeepsTheFocusAndTheControlsThatWentOutOfReachAreSkipped)
{
    Dialog d;
    d.txtName.Validate = [&d](bool& cancel) { cancel = d.txtName.Text().empty(); };
    d.key(kTab);
    ASSERT_EQ(d.focus(), "txtName");
    EXPECT_TRUE(d.key(kTab));  // taken, though the focus stays
    EXPECT_EQ(d.focus(), "txtName");
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName got"}));

    // A click elsewhere is refused the same way (the platform's mouse path).
    EXPECT_FALSE(KeyboardNavigator(d.form).moveFocus(d.txtLast));
    EXPECT_FALSE(d.txtLast.hasFocus());

    d.txtName.setText("Zoe");
    d.chkRemember.setEnabled(false);
    d.ucLog.setVisible(false);
    d.key(kTab);
    EXPECT_EQ(d.focus(), "btnOK");
    // A control that cannot take the focus is refused it, also when asked directly.
    EXPECT_FALSE(KeyboardNavigator(d.form).moveFocus(d.lblName));
    EXPECT_FALSE(KeyboardNavigator(d.form).moveFocus(d.txtDisabled));
    EXPECT_EQ(d.focus(), "btnOK");

    // Focus given by code counts too; a box that let go leaves the form without one; unloading
    // forgets it.
    d.txtLast.SetFocus();
    EXPECT_EQ(d.focus(), "txtLast");
    d.txtLast.userBlur();
    EXPECT_EQ(d.focus(), "(none)");
    d.txtLast.SetFocus();
    d.form.Unload();
    EXPECT_EQ(d.form.ActiveControl(), nullptr);
}

TEST(KeyboardNavigator, CaptionsUnderlineTheirAccessKey)
{
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("&Open"), 'O');
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("Save &as"), 'A');
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("Save && &Close"), 'C');
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("Fish && Chips"), 0);
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("Ends in &"), 0);
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("Step &2"), '2');
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("&\xC3\xBC" "ber"), 0);  // ü: no key of its own
    EXPECT_EQ(KeyboardNavigator::captionAccessKey("&.txt"), 0);
}

TEST(KeyboardNavigator, AccessKeysPressButtonsFocusAfterLabelsAndReachUserControls)
{
    Dialog d;
    // Alt+O presses OK and gives it the focus.
    EXPECT_TRUE(d.key('O', kAlt));
    EXPECT_EQ(d.focus(), "btnOK");
    EXPECT_EQ(d.log, (std::vector<std::string>{"btnOK click"}));

    // The letter alone works while a control without characters has the focus: R toggles the box.
    d.log.clear();
    EXPECT_TRUE(d.key('R'));
    EXPECT_EQ(d.focus(), "chkRemember");
    EXPECT_EQ(d.chkRemember.Value(), forms::CheckBox::vbChecked);

    // A label's key goes to the next control that takes the focus; there the letter alone types.
    EXPECT_TRUE(d.key('N', kAlt));
    EXPECT_EQ(d.focus(), "txtName");
    d.log.clear();
    d.key('O');
    EXPECT_EQ(d.txtName.Text(), "o");
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName down 79 0"}));

    // A user control's AccessKeys, in either case: it takes the focus and is told.
    d.log.clear();
    d.key('X', kAlt | kShift);
    EXPECT_EQ(d.focus(), "ucLog");
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName lost", "ucLog got", "ucLog access X", "ucLog up 88"}));

    // A key of a hidden, or of a disabled, control, or of nobody, is no access key; with a text box
    // focused it reaches the box with Alt (the hot-key box records such keys).
    d.txtName.SetFocus();
    d.log.clear();
    d.chkRemember.setEnabled(false);
    EXPECT_TRUE(d.key('R', kAlt));
    EXPECT_TRUE(d.key('H', kAlt));
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName down 82 4", "txtName down 72 4"}));
    EXPECT_EQ(d.chkRemember.Value(), forms::CheckBox::vbChecked);
    // Ctrl+Alt is no access key; a control whose Tab stop is off still has its own.
    d.key('Q', kAlt | InputControl::vbCtrlMask);
    EXPECT_EQ(d.focus(), "txtName");
    d.key('Q', kAlt);
    EXPECT_EQ(d.focus(), "chkNoStop");
    EXPECT_EQ(d.chkNoStop.Value(), forms::CheckBox::vbChecked);

    // Without a focused control a key nobody has goes nowhere.
    World w;
    Canvas other(w.host);
    other.place<forms::CommandButton>("btnGo").setCaption("&Go");
    other.Show();
    EXPECT_FALSE(KeyboardNavigator(other).keyDown('Z', kAlt));
}

TEST(KeyboardNavigator, TheAccessKeysAContainerMustRouteAreThoseOfTheControlsWithinReach)
{
    Dialog d;
    // Hidden "&Hidden" and the box in the hidden panel have none to give; the user control both of
    // its own.
    EXPECT_EQ(KeyboardNavigator(d.form).accessKeys(), "NQRGXO");
    d.btnHidden.setVisible(true);
    d.chkRemember.setEnabled(false);
    EXPECT_EQ(KeyboardNavigator(d.form).accessKeys(), "NQHGXO");
}

TEST(KeyboardNavigator, RepeatedAccessKeysCycleFromTheFocusedControl)
{
    World w;
    Canvas form(w.host);
    auto& first = form.place<forms::CheckBox>("chkFirst");
    auto& second = form.place<forms::CheckBox>("chkSecond");
    first.setCaption("&Same");
    second.setCaption("&same too");
    form.Show();
    KeyboardNavigator(form).keyDown('S', kAlt);
    EXPECT_EQ(name(form.ActiveControl()), "chkFirst");
    KeyboardNavigator(form).keyDown('S', kAlt);
    EXPECT_EQ(name(form.ActiveControl()), "chkSecond");
    KeyboardNavigator(form).keyDown('S', kAlt);
    EXPECT_EQ(name(form.ActiveControl()), "chkFirst");
    EXPECT_EQ(first.Value(), forms::CheckBox::vbUnchecked);  // pressed twice
    EXPECT_EQ(second.Value(), forms::CheckBox::vbChecked);
}

TEST(KeyboardNavigator, EnterEscAndSpaceGoToTheFocusedControl)
{
    Dialog d;
    d.txtName.SetFocus();
    d.log.clear();
    EXPECT_TRUE(d.key(InputControl::vbKeyReturn));
    EXPECT_TRUE(d.key(InputControl::vbKeyEscape));
    EXPECT_EQ(d.log, (std::vector<std::string>{"txtName down 13 0", "txtName down 27 0"}));

    // Space presses a focused button, and a focused user control gets the key's three parts.
    KeyboardNavigator(d.form).moveFocus(d.btnOK);
    d.log.clear();
    EXPECT_TRUE(d.key(InputControl::vbKeySpace));
    EXPECT_EQ(d.log, (std::vector<std::string>{"btnOK click"}));
    KeyboardNavigator(d.form).moveFocus(d.ucLog);
    d.log.clear();
    d.key(InputControl::vbKeyReturn, kShift);
    EXPECT_EQ(d.log, (std::vector<std::string>{"ucLog down 13 1", "ucLog press 13", "ucLog up 13"}));

    // A check box with the focus takes no Enter: the key is left to the window.
    KeyboardNavigator(d.form).moveFocus(d.chkRemember);
    EXPECT_FALSE(d.key(InputControl::vbKeyReturn));
    EXPECT_EQ(d.chkRemember.Value(), forms::CheckBox::vbUnchecked);
}

TEST(KeyboardNavigator, AGroupOfOptionButtonsIsOneStopAndTheArrowsMoveWithinIt)
{
    World w;
    Canvas form(w.host);
    auto& txtBefore = form.place<forms::TextBox>("txtBefore");
    auto& fraAppear = form.place<forms::Frame>("fraAppear");
    auto& optNone = form.place<forms::OptionButton>("optNone");
    auto& optSlide = form.place<forms::OptionButton>("optSlide");
    auto& optFade = form.place<forms::OptionButton>("optFade");
    auto& optElsewhere = form.place<forms::OptionButton>("optElsewhere");  // on the form: a group of its own
    for (forms::OptionButton* option : {&optNone, &optSlide, &optFade})
        option->setContainer(&fraAppear);
    fraAppear.setCaption("&Appearance");
    form.Show();
    (void)txtBefore;
    KeyboardNavigator keys(form);

    // None selected: the group's first is its stop.
    EXPECT_EQ(names(keys.tabStops()), (std::vector<std::string>{"txtBefore", "optNone", "optElsewhere"}));
    optFade.setValue(true);
    EXPECT_EQ(names(keys.tabStops()), (std::vector<std::string>{"txtBefore", "optFade", "optElsewhere"}));

    // The frame's access key goes into the group; the arrows select as they move, wrapping within it.
    keys.keyDown('A', kAlt);
    EXPECT_EQ(name(form.ActiveControl()), "optNone");
    keys.keyDown(InputControl::vbKeyDown, 0);
    EXPECT_EQ(name(form.ActiveControl()), "optSlide");
    EXPECT_TRUE(optSlide.Value());
    keys.keyDown(InputControl::vbKeyRight, 0);
    keys.keyDown(InputControl::vbKeyRight, 0);
    EXPECT_EQ(name(form.ActiveControl()), "optNone");
    EXPECT_TRUE(optNone.Value());
    keys.keyDown(InputControl::vbKeyUp, 0);
    EXPECT_EQ(name(form.ActiveControl()), "optFade");
    EXPECT_FALSE(optElsewhere.Value());
    optSlide.setEnabled(false);
    keys.keyDown(InputControl::vbKeyLeft, 0);
    EXPECT_EQ(name(form.ActiveControl()), "optNone");
}

TEST(KeyboardNavigator, OnlyTheCurrentTabsControlsAreStopsAndTheArrowsTurnAFocusedStrip)
{
    World w;
    Canvas form(w.host);
    auto& tabs = form.place<forms::TabStrip>("TabOne1");
    auto& pnlFirst = form.place<forms::Panel>("pnlFirst");
    auto& pnlSecond = form.place<forms::Panel>("pnlSecond");
    auto& chkOnFirst = form.place<forms::CheckBox>("chkOnFirst");
    auto& txtOnSecond = form.place<forms::TextBox>("txtOnSecond");
    tabs.move(0, 0, 4000, 3000);
    tabs.setCaption("First|Second");
    tabs.setTabPane(0, pnlFirst);
    tabs.setTabPane(1, pnlSecond);
    chkOnFirst.setContainer(&pnlFirst);
    txtOnSecond.setContainer(&pnlSecond);
    form.Show();
    KeyboardNavigator keys(form);

    EXPECT_EQ(names(keys.tabStops()), (std::vector<std::string>{"TabOne1", "chkOnFirst"}));
    keys.keyDown(kTab, 0);
    keys.keyDown(InputControl::vbKeyRight, 0);
    EXPECT_EQ(tabs.CurrentTab(), 1);
    EXPECT_EQ(names(keys.tabStops()), (std::vector<std::string>{"TabOne1", "txtOnSecond"}));
    keys.keyDown(InputControl::vbKeyRight, 0);  // no tab beyond the last
    EXPECT_EQ(tabs.CurrentTab(), 1);
    keys.keyDown(kTab, 0);
    EXPECT_EQ(name(form.ActiveControl()), "txtOnSecond");
    keys.keyDown(InputControl::vbKeyLeft, 0);  // the box's own key now
    EXPECT_EQ(tabs.CurrentTab(), 1);
}

// The pixels where two renderings of a form differ, as the box around them (empty when none).
draw::Rect changedArea(const draw::Surface& a, const draw::Surface& b)
{
    draw::Rect area{};
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                area = area.empty() ? draw::Rect{x, y, x + 1, y + 1}
                                    : draw::Rect{std::min(area.left, x), std::min(area.top, y),
                                                 std::max(area.right, x + 1), std::max(area.bottom, y + 1)};
    return area;
}

TEST(KeyboardNavigator, TheControlWithTheFocusShowsADottedFrameThatGoesWithIt)
{
    World w;
    Canvas form(w.host);
    form.move(0, 0, 300 * 15, 200 * 15);
    const auto place = [&form](auto& control, int x, int y, int width, int height) -> forms::Control& {
        control.move(x * 15, y * 15, width * 15, height * 15);
        return control;
    };
    auto& chkMail = form.place<forms::CheckBox>("chkMail");
    auto& optFade = form.place<forms::OptionButton>("optFade");
    auto& btnGo = form.place<forms::CommandButton>("btnGo");
    auto& tabs = form.place<forms::TabStrip>("TabOne1");
    chkMail.setCaption("Mail");
    optFade.setCaption("Fade");
    btnGo.setCaption("Go");
    tabs.setCaption("One|Two");
    const std::vector<forms::Control*> framed = {
        &place(chkMail, 10, 10, 100, 20), &place(optFade, 10, 40, 100, 20), &place(btnGo, 10, 70, 80, 25),
        &place(form.place<forms::Slider>("sliRate"), 10, 110, 150, 40), &place(tabs, 170, 10, 120, 60)};
    auto& txtName = form.place<forms::TextBox>("txtName");
    place(txtName, 170, 110, 100, 25);
    form.Show();
    const draw::Surface plain = form.render();

    for (forms::Control* control : framed) {
        const int repaints = form.repaintCount();
        ASSERT_TRUE(KeyboardNavigator(form).moveFocus(*control));
        EXPECT_GT(form.repaintCount(), repaints) << control->Name();
        const draw::Rect changed = changedArea(plain, form.render());
        EXPECT_FALSE(changed.empty()) << control->Name();
        EXPECT_EQ(changed.intersected(control->pixelBounds({0, 0})), changed) << control->Name();
    }
    // A text box shows its own caret; every frame is gone.
    KeyboardNavigator(form).moveFocus(txtName);
    EXPECT_EQ(changedArea(plain, form.render()).intersected(txtName.pixelBounds({0, 0})),
              changedArea(plain, form.render()));
}

} // namespace
