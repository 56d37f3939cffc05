// The options page's commands and the input commands: what is refused before the run (wrong kinds
// of control, bad numbers, the page's order), the page's two forms held against KnownForms, and
// what a run on the page reports.

#include <gtest/gtest.h>

#include <string>

#include "apps/qln-sim/KnownForms.h"
#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"
#include "controls/flairbutton/FlairButton.h"
#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "platform/sim/SimWorld.h"
#include "tests/runner/RunnerTestSupport.h"

namespace qln::runner {
namespace {

TEST(PageCommands, InputIsCheckedBeforeTheRun)
{
    const struct {
        std::string_view text;
        std::string error;
    } cases[] = {
        // Each command takes its kinds of control.
        {"page open\nset QLNOptions.chkAutoDis 5",
         "t.qls:2: set: QLNOptions.chkAutoDis is a check box; 'set' takes a text box (column 5)"},
        {"page open\nenter QLNOptions.lstBList",
         "t.qls:2: enter: QLNOptions.lstBList is a list box; 'enter' takes a text box (column 7)"},
        {"page open\nblur QLNOptions.chkAllow",
         "t.qls:2: blur: QLNOptions.chkAllow is a FlairButton; 'blur' takes a text box or a list box (column 6)"},
        {"page open\nkey QLNOptions.btnAddBWList 13 0", "t.qls:2: key: QLNOptions.btnAddBWList is a FlairButton; "
                                                        "'key' takes a text box, a list box or a slider (column 5)"},
        {"page open\nselect QLNOptions.txtAddBWList 0",
         "t.qls:2: select: QLNOptions.txtAddBWList is a text box; 'select' takes a list box (column 8)"},
        {"page open\nmousedown QLNOptions.fraBList", "t.qls:2: mousedown: QLNOptions.fraBList is a frame; "
                                                     "'mousedown' takes a text box or a list box (column 11)"},
        {"page open\nslide QLNOptions.chkUseTransparency 3",
         "t.qls:2: slide: QLNOptions.chkUseTransparency is a check box; 'slide' takes a slider (column 7)"},
        {"page open\ntab QLNOptions.pnlDisplay 1",
         "t.qls:2: tab: QLNOptions.pnlDisplay is a panel; 'tab' takes a tab strip (column 5)"},
        {"page open\ncolor QLNOptions.lblBackColor 255",
         "t.qls:2: color: QLNOptions.lblBackColor is a label; 'color' takes a colour picker (column 7)"},
        {"page open\nmouse QLNOptions.txtAddBWList down 1 1",
         "t.qls:2: mouse: QLNOptions.txtAddBWList is a text box; 'mouse' takes the skinned buttons and "
         "FlairButtons, by pixel (column 7)"},
        {"set txtDismissTime 5", "t.qls:1: set: frmNewMail has no control 'txtDismissTime' (elTop, elTopLeft, "
                                 "btnQuestion, btnReply, btnForward, btnDelete, btnOpen, btnPin, btnPinned, btnAttach, "
                                 "btnClose, lblCountDown, lblInbox, lblSenderName, lblRecipient, lblSubject, "
                                 "lblReceived, lblSize, DivLine, lblBody, elBottom, picBack, picBackDis, picNext, "
                                 "picNextDis) (column 5)"},
        {"page open\nclick frmWinPos.btnApply",
         "t.qls:2: click: frmWinPos has no control 'btnApply' (fraSpace, lblSpaceWidth, txtSpaceWidth, "
         "lblSpaceHeight, txtSpaceHeight, chkTopLeft, chkTopRight, chkBottomLeft, chkBottomRight, btnDefaults, "
         "btnOK, btnCancel) (column 7)"},
        // The page's controls, and its dialog's, take input only while it is open.
        {"click QLNOptions.chkBList", "t.qls:1: click: QLNOptions.chkBList is on the options page, which is not open "
                                      "here ('page open' opens it) (column 7)"},
        {"page open\npage close\nset frmWinPos.txtSpaceWidth 3",
         "t.qls:3: set: frmWinPos.txtSpaceWidth is on the options page, which is not open here ('page open' opens "
         "it) (column 5)"},
        // Only the window position dialog has a close box the system answers.
        {"page open\nclose frmNewMail",
         "t.qls:2: close: frmNewMail has no close box the user can use (frmWinPos has) (column 7)"},
        {"page open\nclose frmPos", "t.qls:2: close: unknown form 'frmPos' (frmNewMail, frmGetStart, QLNOptions, "
                                    "frmWinPos) (column 7)"},
        {"close frmWinPos", "t.qls:1: close: frmWinPos is on the options page, which is not open here ('page open' "
                            "opens it) (column 7)"},
        {"key QLNOptions 9 0", "t.qls:1: key: QLNOptions is on the options page, which is not open here ('page open' "
                               "opens it) (column 5)"},
        {"page open\nkey QLNOptions 9", "t.qls:2: key: missing MASK (usage: key CONTROL|FORM VK MASK)"},
        // Numbers
        {"page open\nselect QLNOptions.lstBList first",
         "t.qls:2: select: bad number first for INDEX (decimal like -12 or hexadecimal like 0x80000012) (column 28)"},
        {"page open\nselect QLNOptions.lstBList -2",
         "t.qls:2: select: INDEX -2 is out of range (-1 to 32767) (column 28)"},
        {"page open\ntab QLNOptions.TabOne1 -1", "t.qls:2: tab: INDEX -1 is out of range (0 to 32767) (column 24)"},
        {"page open\nslide QLNOptions.sliRate 2.5",
         "t.qls:2: slide: bad number 2.5 for N (decimal like -12 or hexadecimal like 0x80000012) (column 26)"},
        {"page open\ncolor QLNOptions.cpkBackColor 0x100000000",
         "t.qls:2: color: N 0x100000000 is out of range (0 to 4294967295) (column 31)"},
        {"page open\nkey QLNOptions.txtHKDismiss 121 8",
         "t.qls:2: key: MASK 8 is out of range (0 to 7) (column 33)"},
        {"page open\nkey QLNOptions.txtHKDismiss 0 2", "t.qls:2: key: VK 0 is out of range (1 to 254) (column 29)"},
        {"page open\nkey QLNOptions.txtHKDismiss 121",
         "t.qls:2: key: missing MASK (usage: key CONTROL|FORM VK MASK)"},
        {"page open\nset QLNOptions.txtDismissTime", "t.qls:2: set: missing TEXT (usage: set CONTROL TEXT)"},
        {"page open\nenter QLNOptions.txtAddBWList x",
         "t.qls:2: enter: unexpected 'x' (usage: enter CONTROL) (column 31)"},
        // The font dialog's answer
        {"font-dialog", "t.qls:1: font-dialog: missing FACE (usage: font-dialog FACE SIZE COLOR | font-dialog cancel)"},
        {"font-dialog Arial big 0",
         "t.qls:1: font-dialog: bad number big for SIZE (points, like 8 or 9.75) (column 19)"},
        {"font-dialog Arial 0 0",
         "t.qls:1: font-dialog: SIZE 0 is out of range (above 0, up to 2160 points) (column 19)"},
        {"font-dialog Arial 2161 0",
         "t.qls:1: font-dialog: SIZE 2161 is out of range (above 0, up to 2160 points) (column 19)"},
        {"font-dialog Arial 10",
         "t.qls:1: font-dialog: missing COLOR (usage: font-dialog FACE SIZE COLOR | font-dialog cancel)"},
        {"font-dialog cancel now", "t.qls:1: font-dialog: unexpected 'now' (usage: font-dialog FACE SIZE COLOR | "
                                   "font-dialog cancel) (column 20)"},
        // The page: open, then apply and close, never inside a batch
        {"page apply", "t.qls:1: page apply: the options page is not open here ('page open' opens it)"},
        {"page open\npage close\npage close",
         "t.qls:3: page close: the options page is not open here ('page open' opens it)"},
        {"page open\npage open",
         "t.qls:2: page open: the options page is open already (line 1); 'page close' closes it"},
        {"page show", "t.qls:1: page: action must be open|apply|close, not show (column 6)"},
        {"batch\npage open\nend", "t.qls:2: 'page' cannot run inside the batch opened at line 1"},
        {"expect page soiled",
         "t.qls:1: expect page: check must be dirty|clean|status-changes|shown|absent, not soiled (column 13)"},
        {"expect page status-changes -1",
         "t.qls:1: expect page: N -1 is out of range (0 to 2147483647) (column 28)"},
        // The new controls' properties and their values' kinds
        {"expect QLNOptions.txtDismissTime caption 90",
         "t.qls:1: expect QLNOptions.txtDismissTime caption: QLNOptions.txtDismissTime is a text box, which has no "
         "caption (it has visible, enabled, text, left, top, width, height, backcolor, forecolor, fontname, "
         "fontsize, fontbold, tooltip) (column 34)"},
        {"expect QLNOptions.lstBList text x",
         "t.qls:1: expect QLNOptions.lstBList text: QLNOptions.lstBList is a list box, which has no text (it has "
         "visible, enabled, left, top, width, height, backcolor, forecolor, fontname, fontsize, fontbold, rows, "
         "listindex, tooltip) (column 28)"},
        {"expect QLNOptions.optOpen value 1",
         "t.qls:1: expect QLNOptions.optOpen value: VALUE must be true|false, not 1 (column 33)"},
        {"expect QLNOptions.chkBList value true",
         "t.qls:1: expect QLNOptions.chkBList value: bad number true for VALUE (decimal like -12 or hexadecimal like "
         "0x80000012) (column 34)"},
        {"expect QLNOptions.lstBList listindex none",
         "t.qls:1: expect QLNOptions.lstBList listindex: bad number none for VALUE (decimal like -12 or hexadecimal "
         "like 0x80000012) (column 38)"},
        {"expect QLNOptions.sliRate caption x",
         "t.qls:1: expect QLNOptions.sliRate caption: QLNOptions.sliRate is a slider, which has no caption (it has "
         "visible, enabled, value, left, top, width, height, backcolor, forecolor, tooltip) (column 27)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << c.text;

    // And what is valid: every command and check of the page in one scenario.
    const Scenario s = Parser::parse(
        "outlook start\nfont-dialog \"Courier New\" 9.75 0xFF\nfont-dialog cancel\npage open\n"
        "set QLNOptions.txtDismissTime \"\"\nblur QLNOptions.txtDismissTime\nkey QLNOptions.txtHKDismiss 0x79 3\n"
        "key QLNOptions.sliRate 39 0\nenter QLNOptions.txtAddBWList\nselect QLNOptions.lstBList -1\n"
        "mousedown QLNOptions.lstWList\nslide QLNOptions.sliTransparencyLevel 60\ntab QLNOptions.TabOne1 5\n"
        "color QLNOptions.cpkBackColor 0xC0FFC0\nclick QLNOptions.chkWList\nmouse QLNOptions.btnHelp move 3 3\n"
        "click QLNOptions.btnWindowPosition\nset frmWinPos.txtSpaceWidth abc\nclick frmWinPos.btnOK\n"
        "expect form frmWinPos shown\nexpect QLNOptions.txtDismissTime text 90\nexpect QLNOptions.optOpen value true\n"
        "expect QLNOptions.chkBList value 3\nexpect QLNOptions.sliRate value 10\nexpect QLNOptions.TabOne1 value 0\n"
        "expect QLNOptions.lstBList rows \"a@b|\"\nexpect QLNOptions.lstBList listindex -1\n"
        "expect QLNOptions.cpkBackColor backcolor 14811135\nexpect QLNOptions.btnChangeFont fontsize 8\n"
        "expect QLNOptions.TabOne1 caption \"About|Actions|Display|Filters|Hotkeys|Advanced\"\n"
        "expect QLNOptions.txtMsgBody enabled true\nexpect QLNOptions.fraBList tooltip \"\"\n"
        "expect page dirty\nexpect page clean\nexpect page status-changes 0\npage apply\npage close\n"
        "expect page clean\npage open\nkey QLNOptions 9 1\nexpect QLNOptions activecontrol txtDismissTime\n"
        "expect frmWinPos activecontrol \"\"\n",
        "t.qls");
    EXPECT_EQ(s.steps.size(), 42u);
}

// How the page's controls are known to the runner.
ControlKind kindOf(const forms::Control& c)
{
    if (dynamic_cast<const flair::FlairButton*>(&c))
        return ControlKind::FlairButton;
    if (dynamic_cast<const forms::CheckBox*>(&c))
        return ControlKind::CheckBox;
    if (dynamic_cast<const forms::OptionButton*>(&c))
        return ControlKind::OptionButton;
    if (dynamic_cast<const forms::TextBox*>(&c))
        return ControlKind::TextBox;
    if (dynamic_cast<const forms::ListBox*>(&c))
        return ControlKind::ListBox;
    if (dynamic_cast<const forms::Frame*>(&c))
        return ControlKind::Frame;
    if (dynamic_cast<const forms::Slider*>(&c))
        return ControlKind::Slider;
    if (dynamic_cast<const forms::TabStrip*>(&c))
        return ControlKind::TabStrip;
    if (dynamic_cast<const forms::ColorPicker*>(&c))
        return ControlKind::ColorPicker;
    if (dynamic_cast<const forms::Label*>(&c))
        return ControlKind::Label;
    if (dynamic_cast<const forms::Panel*>(&c))
        return ControlKind::Panel;
    return ControlKind::Form;  // a kind the runner does not know: never in the table
}

void expectRowsMatch(const KnownForm& known, const forms::Form& form)
{
    SCOPED_TRACE(std::string(known.name));
    EXPECT_EQ(known.controls.size(), form.controls().size() + form.timers().size());
    for (const auto& control : form.controls()) {
        const KnownControl* row = known.control(control->Name());
        ASSERT_NE(row, nullptr) << control->Name() << " is missing from KnownForms";
        EXPECT_EQ(row->kind, kindOf(*control)) << control->Name();
    }
    for (const auto& timer : form.timers()) {
        const KnownControl* row = known.control(timer->name());
        ASSERT_NE(row, nullptr) << timer->name() << " is missing from KnownForms";
        EXPECT_EQ(row->kind, ControlKind::Timer) << timer->name();
    }
}

TEST(PageCommands, KnownFormsListWhatThePageAndItsDialogDeclare)
{
    platform::sim::SimWorld world;
    world.outlookStart();
    forms::FormsHost host(world.desktop, world.loop);
    OptionsServices services(world.registry, world.files, world.system, world.desktop, world.loop, world.outlook);
    QLNOptions page(host, services);
    page.Show();
    page.TabOne1.setCurrentTab(2);
    page.TabOne2.setCurrentTab(1);
    page.btnWindowPosition.userClick();
    world.loop.runPending();
    ASSERT_NE(page.myfrmWinPos(), nullptr);

    const KnownForm* options = knownForm("QLNOptions");
    const KnownForm* winPos = knownForm("frmWinPos");
    ASSERT_TRUE(options && winPos);
    EXPECT_TRUE(options->built);
    EXPECT_TRUE(winPos->built);
    expectRowsMatch(*options, page);
    expectRowsMatch(*winPos, *page.myfrmWinPos());
}

TEST(PageCommands, ThePageOpensAppliesAndClosesAsTheDialogDoes)
{
    const Outcome o = runText("outlook start\npage open\nexpect form QLNOptions shown\nexpect page clean\n"
                              "expect page status-changes 0\nclick QLNOptions.chkIsEnabled\nexpect page dirty\n"
                              "expect page status-changes 1\npage apply\nexpect page clean\n"
                              "expect reg settings IsEnabled dword 0\npage close\nexpect form QLNOptions unloaded\n"
                              "expect page clean\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.errors, "t.qls:14: expect page clean failed: expected the page clean, found the options page is not "
                        "open\n");
    for (const std::string line :
         {"00:00:00.000 page: Outlook creates the options page\n", "00:00:00.000 forms: QLNOptions shown\n",
          "00:00:00.000 page: opened, site attached: Dirty false\n",
          "00:00:00.000 world: the user clicks QLNOptions.chkIsEnabled\n",
          "00:00:00.000 page: status change 1: the dialog asks Dirty: true\n",
          "00:00:00.000 page: Outlook calls Apply\n", "00:00:00.000 page: applied: Dirty false\n",
          "00:00:00.000 page: the Options dialog closes: the page is destroyed\n",
          "00:00:00.000 forms: QLNOptions unloaded\n"})
        EXPECT_NE(o.transcript.find(line), std::string::npos) << line << "in:\n" << o.transcript;
}

TEST(PageCommands, InputThatDoesNotReachIsToldAndAFormGoneIsNamedSo)
{
    // The Actions tab is not shown: its text box takes no typing. The Display tab's inner strip
    // shows the Available Fields pane, so the Size pane's boxes are hidden in two ways.
    const Outcome o = runText("outlook start\npage open\nset QLNOptions.txtDismissTime 5\n"
                              "expect QLNOptions.txtDismissTime text 90\ntab QLNOptions.TabOne1 2\n"
                              "set QLNOptions.txtFixedWidth 300\nblur QLNOptions.txtMsgBody\n"
                              "tab QLNOptions.TabOne1 9\ntab QLNOptions.TabOne2 1\nclick QLNOptions.btnWindowPosition\n"
                              "expect form frmWinPos shown\nclick QLNOptions.chkUseTransparency\n"
                              "page close\nexpect form frmWinPos unloaded\nexpect frmWinPos.btnOK caption OK\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.errors, "t.qls:15: expect frmWinPos.btnOK caption OK failed: expected \"OK\", found frmWinPos is "
                        "gone (destroyed)\n");
    for (const std::string line :
         {"forms: the typing does not reach QLNOptions.txtDismissTime: its container pnlActions is hidden\n",
          "forms: the typing does not reach QLNOptions.txtFixedWidth: its container pnlSize is hidden\n",
          "forms: QLNOptions.txtMsgBody does not have the focus: nothing to leave\n",
          "forms: QLNOptions.TabOne1 has no tab 9\n",
          "forms: the click does not reach QLNOptions.chkUseTransparency: frmWinPos is open over QLNOptions\n",
          "forms: frmWinPos unloaded\n"})
        EXPECT_NE(o.transcript.find(line), std::string::npos) << line << "in:\n" << o.transcript;

    // A dialog that is not open cannot be closed.
    const Outcome closed = runText("outlook start\npage open\nclose frmWinPos\n");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.errors, "t.qls:3: close: frmWinPos is not loaded\n");
}

TEST(PageCommands, AFontAnswerServesOneDialog)
{
    const Outcome o = runText("outlook start\nfont-dialog Arial 12 0xFF\npage open\ntab QLNOptions.TabOne1 2\n"
                              "tab QLNOptions.TabOne2 1\nclick QLNOptions.btnChangeFont\n"
                              "expect QLNOptions.btnChangeFont fontname Arial\n"
                              "expect QLNOptions.btnChangeFont fontsize 12\nexpect page status-changes 1\n"
                              "click QLNOptions.btnChangeFont\nexpect page status-changes 1\n"
                              "expect QLNOptions.btnChangeFont fontname Arial\n");
    EXPECT_EQ(o.status, 0) << o.errors;
    EXPECT_NE(o.transcript.find("forms: the font dialog opens and answers \"Arial\" 12 pt, colour 0x000000FF\n"),
              std::string::npos)
        << o.transcript;
    EXPECT_NE(o.transcript.find("forms: the font dialog opens and is cancelled\n"), std::string::npos) << o.transcript;
}

} // namespace
} // namespace qln::runner
