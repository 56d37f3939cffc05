// The notifier's and the forms' commands: names checked before the run, the known forms held
// against the forms themselves, and what a run reports.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "apps/qln-sim/KnownForms.h"
#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"
#include "notifier/window/frmNewMail.h"
#include "platform/draw/Colour.h"
#include "platform/draw/Png.h"
#include "platform/sim/SimWorld.h"
#include "tests/runner/RunnerTestSupport.h"

namespace qln::runner {
namespace {

const std::string kPopupControls =
    "elTop, elTopLeft, btnQuestion, btnReply, btnForward, btnDelete, btnOpen, btnPin, btnPinned, btnAttach, btnClose, "
    "lblCountDown, lblInbox, lblSenderName, lblRecipient, lblSubject, lblReceived, lblSize, DivLine, lblBody, "
    "elBottom, picBack, picBackDis, picNext, picNextDis";

TEST(NotifierCommands, NamesAreCheckedBeforeTheRun)
{
    const struct {
        std::string_view text;
        std::string error;
    } cases[] = {
        // state
        {"expect state Foo 1",
         "t.qls:1: expect state: unknown name 'Foo' (CurrentSlot, NewestSlot, DelayWriteIndex, DelayReadIndex, "
         "DelayTicks, DelayCountdown, SummaryOnlyShown, ShowNoMoreMessage, pinned, secondsleft, SweepTicks, "
         "history[N], delayed[N], blist, wlist) (column 14)"},
        {"expect state history 1", "t.qls:1: expect state: unknown name 'history' (CurrentSlot, NewestSlot, "
                                   "DelayWriteIndex, DelayReadIndex, DelayTicks, DelayCountdown, SummaryOnlyShown, "
                                   "ShowNoMoreMessage, pinned, secondsleft, SweepTicks, history[N], delayed[N], "
                                   "blist, wlist) (column 14)"},
        {"expect state history[101] \"\"", "t.qls:1: expect state: history[101]: N must be a slot from 0 to 100 "
                                           "(column 14)"},
        {"expect state delayed[-1] \"\"", "t.qls:1: expect state: delayed[-1]: N must be a slot from 0 to 100 "
                                          "(column 14)"},
        {"expect state CurrentSlot two", "t.qls:1: expect state: bad number two for VALUE (decimal like -12 or "
                                         "hexadecimal like 0x80000012) (column 26)"},
        {"expect state pinned yes", "t.qls:1: expect state: VALUE must be true|false, not yes (column 21)"},
        // controls: unknown, of a form not built yet, a timer, a form
        {"click lblSender", "t.qls:1: click: frmNewMail has no control 'lblSender' (" + kPopupControls +
                                ") (column 7)"},
        {"click frmGetStart.btnCancel",
         "t.qls:1: click: frmGetStart has no control 'btnCancel' (chkShow, btnOK) (column 7)"},
        {"click frmOptions.btnOK", "t.qls:1: click: unknown form 'frmOptions' (frmNewMail, frmGetStart, QLNOptions, "
                                   "frmWinPos) (column 7)"},
        {"click tmrFade", "t.qls:1: click: frmNewMail.tmrFade is a timer and takes no clicks (column 7)"},
        {"click frmGetStart",
         "t.qls:1: click: 'frmGetStart' is a form; name one of its controls as frmGetStart.CONTROL (column 7)"},
        {"expect lblSender caption x", "t.qls:1: expect: frmNewMail has no control 'lblSender' (" + kPopupControls +
                                           ") (column 8)"},
        {"expect DivLine caption x", "t.qls:1: expect DivLine caption: frmNewMail.DivLine is a line, which has no "
                                     "caption (it has visible, enabled, left, top, width, height, backcolor, "
                                     "forecolor, tooltip) (column 16)"},
        // A bare name is the popup's, even when another form has such a control.
        {"expect chkShow value 1", "t.qls:1: expect: frmNewMail has no control 'chkShow' (" + kPopupControls +
                                       ") (column 8)"},
        {"expect tmrFade enabled true", "t.qls:1: expect: frmNewMail.tmrFade is a timer; 'expect timer "
                                        "frmNewMail.tmrFade on|off' checks it (column 8)"},
        // properties the control does not have, and values of the wrong kind
        {"expect picBack caption x", "t.qls:1: expect picBack caption: frmNewMail.picBack is a picture box, which "
                                     "has no caption (it has visible, enabled, left, top, width, height, backcolor, "
                                     "forecolor, tooltip) (column 16)"},
        {"expect btnClose text x", "t.qls:1: expect btnClose text: frmNewMail.btnClose is a skinned button, which "
                                   "has no text (it has visible, enabled, caption, value, left, top, width, height, "
                                   "backcolor, forecolor, fontname, fontsize, fontbold, tooltip) (column 17)"},
        {"expect frmGetStart left 0", "t.qls:1: expect frmGetStart left: frmGetStart is a form, which has no left "
                                      "(it has visible, enabled, caption, backcolor, activecontrol) (column 20)"},
        {"expect frmGetStart.chkShow value on",
         "t.qls:1: expect frmGetStart.chkShow value: bad number on for VALUE (decimal like -12 or hexadecimal like "
         "0x80000012) (column 34)"},
        {"expect btnClose enabled 1",
         "t.qls:1: expect btnClose enabled: VALUE must be true|false, not 1 (column 25)"},
        {"expect btnClose fontsize big",
         "t.qls:1: expect btnClose fontsize: bad number big for VALUE (like 15 or 8.25) (column 26)"},
        {"expect picBack left 1.", "t.qls:1: expect picBack left: bad number 1. for VALUE (like 15 or 8.25) (column 21)"},
        {"expect btnClose backcolor -1",
         "t.qls:1: expect btnClose backcolor: VALUE -1 is out of range (0 to 4294967295) (column 27)"},
        {"expect btnClose fontbold 0", "t.qls:1: expect btnClose fontbold: VALUE must be true|false, not 0 (column 26)"},
        {"expect btnClose rows \"\"", "t.qls:1: expect btnClose rows: frmNewMail.btnClose is a skinned button, which "
                                     "has no rows (it has visible, enabled, caption, value, left, top, width, height, "
                                     "backcolor, forecolor, fontname, fontsize, fontbold, tooltip) (column 17)"},
        // timers, forms, message boxes, the popup
        {"expect timer tmrNope on",
         "t.qls:1: expect timer: frmNewMail has no timer 'tmrNope' (tmrLoadDelay, tmrCheckOutlook, tmrCountQueue, "
         "tmrCheckIgnored, tmrCountDown, tmrFade, tmrSlide) (column 14)"},
        {"expect timer btnClose on",
         "t.qls:1: expect timer: frmNewMail.btnClose is a skinned button, not a timer (column 14)"},
        {"expect timer tmrFade running", "t.qls:1: expect timer: state must be on|off, not running (column 22)"},
        {"expect form frmOptions shown", "t.qls:1: expect form: unknown form 'frmOptions' (frmNewMail, frmGetStart, "
                                         "QLNOptions, frmWinPos) (column 13)"},
        {"expect msgbox x icon info", "t.qls:1: expect msgbox: ICON must be stop|critical, not info (column 22)"},
        {"expect msgbox x title a title b", "t.qls:1: expect msgbox: option 'title' given twice"},
        {"expect popup shown", "t.qls:1: unknown popup check 'shown' after 'expect popup' (see qln-sim --help)"},
        {"expect popup bounds 0 0 1", "t.qls:1: expect popup bounds: missing HEIGHT (usage: expect popup bounds "
                                      "LEFT TOP WIDTH HEIGHT)"},
        {"expect popup alpha 256", "t.qls:1: expect popup alpha: N 256 is out of range (0 to 255) (column 20)"},
        {"expect popup opaque 1", "t.qls:1: expect popup opaque: unexpected '1' (usage: expect popup opaque) (column 21)"},
        // snapshots
        {"snapshot shot", "t.qls:1: snapshot: the file's name must end in .png, not 'shot' (column 10)"},
        {"snapshot .png", "t.qls:1: snapshot: the file's name must end in .png, not '.png' (column 10)"},
        {"snapshot a.png frmFoo", "t.qls:1: snapshot: unknown form 'frmFoo' (frmNewMail, frmGetStart, QLNOptions, "
                                  "frmWinPos) (column 16)"},
        // start: once, outside a batch, after the machine's set-up
        {"start\nstart", "t.qls:2: start: the notifier already started at line 1 (it starts once a scenario)"},
        {"start\nscreen 800 600", "t.qls:2: 'screen' sets up the machine and must come before 'start' (line 1)"},
        {"start\nmapi-library absent",
         "t.qls:2: 'mapi-library' sets up the machine and must come before 'start' (line 1)"},
        {"batch\nstart\nend", "t.qls:2: 'start' cannot run inside the batch opened at line 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << c.text;

    // And what is valid: every form of the checks.
    const Scenario s = Parser::parse("mail a in Inbox\nstart\nclick btnClose\nclick frmGetStart.chkShow\n"
                                     "expect running\nexpect ended\nexpect popup visible\nexpect popup hidden\n"
                                     "expect form QLNOptions unloaded\nexpect state history[100] @a\n"
                                     "expect state delayed[0] \"\"\nexpect state DelayTicks 0x10\n"
                                     "expect state SummaryOnlyShown false\nexpect state blist \"a@b|\"\n"
                                     "expect frmGetStart caption \"Getting Started\"\nexpect frmNewMail visible false\n"
                                     "expect btnClose tooltip \"Dismiss window\"\nexpect picBack left 12.5\n"
                                     "expect btnClose backcolor 0x8000000F\nexpect btnClose fontsize 8.25\n"
                                     "expect frmGetStart.chkShow value 1\nexpect timer frmNewMail.tmrFade off\n"
                                     "expect msgbox \"No more\" title \"Quellin History\" icon critical\n"
                                     "expect no-msgbox\n",
                                     "t.qls");
    EXPECT_EQ(s.steps.size(), 24u);
}

TEST(NotifierCommands, KnownFormsListWhatTheFormsDeclare)
{
    platform::sim::SimWorld world;
    forms::FormsHost host(world.desktop, world.loop);
    NotifierServices services(world.registry, world.files, world.system, world.desktop, world.loop, world.loop,
                              world.outlook);
    frmNewMail popup(host, services);
    popup.Load();  // GetStart is missing: the first-run dialog is created too

    auto kindOf = [](const forms::Control& c) {
        if (dynamic_cast<const glint::GlintButton*>(&c))
            return ControlKind::GlintButton;
        if (dynamic_cast<const forms::CheckBox*>(&c))
            return ControlKind::CheckBox;
        if (dynamic_cast<const forms::CommandButton*>(&c))
            return ControlKind::CommandButton;
        if (dynamic_cast<const forms::Label*>(&c))
            return ControlKind::Label;
        if (dynamic_cast<const forms::PictureBox*>(&c))
            return ControlKind::PictureBox;
        if (dynamic_cast<const forms::Panel*>(&c))
            return ControlKind::Panel;
        if (dynamic_cast<const forms::Line*>(&c))
            return ControlKind::Line;
        return ControlKind::Form;  // a kind the runner does not know: never in the table
    };
    for (const KnownForm& known : knownForms()) {
        // The options page's forms are held against their rows in TestPageCommands.cpp.
        if (known.name == "QLNOptions" || known.name == "frmWinPos")
            continue;
        SCOPED_TRACE(std::string(known.name));
        const forms::Form* form = host.find(known.name);
        if (!known.built) {
            EXPECT_EQ(form, nullptr);
            continue;
        }
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(known.controls.size(), form->controls().size() + form->timers().size());
        for (const auto& control : form->controls()) {
            const KnownControl* row = known.control(control->Name());
            ASSERT_NE(row, nullptr) << control->Name() << " is missing from KnownForms";
            EXPECT_EQ(row->kind, kindOf(*control)) << control->Name();
        }
        for (const auto& timer : form->timers()) {
            const KnownControl* row = known.control(timer->name());
            ASSERT_NE(row, nullptr) << timer->name() << " is missing from KnownForms";
            EXPECT_EQ(row->kind, ControlKind::Timer) << timer->name();
        }
    }
}

TEST(NotifierCommands, ChecksReadTheNotifierAndTheirFailuresSayWhatWasFound)
{
    const std::string setup = "outlook start\nreg set options GetStart dword 0\n";
    const struct {
        std::string text;
        std::string error;  // "" when every line holds
    } cases[] = {
        {"expect ended", "t.qls:1: expect ended failed: expected the notifier ended, found it never started"},
        {"expect state CurrentSlot -1",
         "t.qls:1: expect state CurrentSlot -1 failed: expected -1, found no state: the notifier never started"},
        {"expect popup hidden\nexpect form frmNewMail unloaded\nexpect timer tmrCountQueue off", ""},
        {setup + "start\nexpect ended", "t.qls:4: expect ended failed: expected the notifier ended, found it runs"},
        {setup + "start\nexpect running\nexpect form frmNewMail hidden\nexpect form frmGetStart unloaded\n"
                 "expect state CurrentSlot -1\nexpect state DelayTicks 4\nexpect state ShowNoMoreMessage true\n"
                 "expect state history[0] \"\"\nexpect timer tmrCountQueue on\nexpect no-msgbox",
         ""},
        {setup + "start\nmail a in Inbox\nmail b in Inbox\nexpect state history[0] @b",
         "t.qls:6: expect state history[0] @b failed: expected \"0000000051534C4E00000000000000000000000100000124\" "
         "(item b), found \"0000000051534C4E00000000000000000000000100000104\" (item a)"},
        {setup + "start\nexpect btnClose enabled false",
         "t.qls:4: expect btnClose enabled false failed: expected false, found true"},
        {setup + "start\nexpect frmGetStart caption x",
         "t.qls:4: expect frmGetStart caption x failed: expected \"x\", found frmGetStart was never created"},
        {setup + "start\nexpect btnClose backcolor 0x8000000F\nexpect btnClose forecolor 0x80000012\n"
                 "expect btnClose fontname \"MS Sans Serif\"\nexpect btnClose fontsize 8\nexpect btnClose fontbold false\n"
                 "expect frmNewMail backcolor 0x8000000F",
         ""},
        {setup + "start\nexpect btnClose backcolor 0xFF",
         "t.qls:4: expect btnClose backcolor 0xFF failed: expected 0x000000FF, found 0x8000000F"},
        {setup + "start\nexpect picBackDis visible false",
         "t.qls:4: expect picBackDis visible false failed: expected false, found true"},
        // One item, and back: the walk round the ring ends at the newest item with the message.
        {setup + "start\nmail a in Inbox\nclick picBack\nexpect no-msgbox",
         "t.qls:6: expect no-msgbox failed: expected every message box checked, found \"No more available e-mails "
         "in history!\" title \"Quellin History\" icon stop"},
        {setup + "start\nmail a in Inbox\nclick picBack\nexpect msgbox \"No more available e-mails in history!\" "
                 "title \"Quellin History\" icon stop\nexpect no-msgbox\nexpect msgbox x",
         "t.qls:8: expect msgbox x failed: expected \"x\", found no message box not yet checked (1 shown in all)"},
        {setup + "start\nmail a in Inbox\nclick picBack\nexpect msgbox \"No more\"",
         "t.qls:6: expect msgbox \"No more\" failed: expected \"No more\", found \"No more available e-mails in "
         "history!\" title \"Quellin History\" icon stop"},
        // The popup's window: none before start; a shown one at the bottom-right, opaque, topmost.
        {"expect popup topmost",
         "t.qls:1: expect popup topmost failed: expected topmost, found no popup (the notifier never started)"},
        {setup + "start\nmail a in Inbox\nexpect popup opaque\nexpect popup topmost\n"
                 "expect popup bounds 797 580 200 134",
         ""},
        {setup + "start\nmail a in Inbox\nexpect popup alpha 20",
         "t.qls:5: expect popup alpha 20 failed: expected alpha 20, found opaque"},
        {setup + "reg set settings UseTransparency dword 1\nstart\nmail a in Inbox\nexpect popup opaque",
         "t.qls:6: expect popup opaque failed: expected opaque, found alpha 200"},
        {setup + "screen 800 600\nstart\nmail a in Inbox\nexpect popup bounds 797 580 200 134",
         "t.qls:6: expect popup bounds 797 580 200 134 failed: expected bounds 797 580 200 134, found bounds "
         "573 412 200 134"},
    };
    for (const auto& c : cases) {
        const Outcome o = runText(c.text);
        EXPECT_EQ(o.status, c.error.empty() ? 0 : 1) << c.text;
        EXPECT_EQ(o.errors, c.error.empty() ? "" : c.error + "\n") << c.text;
    }
}

TEST(NotifierCommands, SnapshotsShowTheScreenAsSeenOrOneForm)
{
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("qln-snapshot-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(out);
    const auto runIn = [](const std::string& dir, std::string_view text) {
        Outcome o;
        std::ostringstream transcript;
        std::ostringstream errors;
        {
            Runtime runtime(RunOptions{&transcript, dir});
            o.status = runtime.run(Parser::parse(text, "t.qls"), errors);
        }
        o.transcript = transcript.str();
        o.errors = errors.str();
        return o;
    };
    const auto picture = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return draw::readPicture(bytes);
    };
    const draw::Rgb desktop = draw::systemColour(draw::syscolour::Background);

    // Before the popup shows, the screen is the bare desktop; then the popup sits at its bounds,
    // and translucent it lies over the desktop by its alpha. Missing folders are made.
    const Outcome o = runIn(out.string(), "screen 640 480\noutlook start\nreg set options GetStart dword 0\nstart\n"
                                          "snapshot bare.png\nmail a in Inbox\nsnapshot deep/er/shown.png\n"
                                          "snapshot alone.png frmNewMail\nclick btnClose\n"
                                          "reg set settings UseTransparency dword 1\n"
                                          "reg set settings TransparencyLevel dword 20\nmail b in Inbox\n"
                                          "snapshot faint.png\n");
    ASSERT_EQ(o.status, 0) << o.errors;
    const draw::Surface bare = picture(out / "bare.png");
    EXPECT_EQ(bare.width(), 640);
    EXPECT_EQ(bare.height(), 480);
    EXPECT_EQ(bare.pixel(613 - 100, 426 - 50), desktop) << "no popup yet";
    const draw::Surface alone = picture(out / "alone.png");
    EXPECT_EQ(alone.width(), 200);
    EXPECT_EQ(alone.height(), 40 + 94) << "frmNewMail at its window's size";
    // The popup's window: 640 - 27 - 200 = 413, 480 - 54 - 134 = 292.
    const draw::Surface shown = picture(out / "deep" / "er" / "shown.png");
    const draw::Surface faint = picture(out / "faint.png");
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{100, 120}, std::pair{199, 133}}) {
        EXPECT_EQ(shown.pixel(413 + x, 292 + y), alone.pixel(x, y)) << x << "," << y;
        EXPECT_EQ(faint.pixel(413 + x, 292 + y), draw::blend(desktop, *alone.pixel(x, y), 20)) << x << "," << y;
    }
    EXPECT_EQ(shown.pixel(412, 292), desktop);
    EXPECT_EQ(shown.pixel(413, 291), desktop);
    EXPECT_NE(o.transcript.find("snapshot: the screen, 640 x 480 pixels: "), std::string::npos) << o.transcript;
    EXPECT_NE(o.transcript.find("snapshot: frmNewMail, 200 x 134 pixels: "), std::string::npos) << o.transcript;

    // A file where the folder should be, and a form that was never made, end the run.
    const Outcome blocked = runIn((out / "bare.png").string(), "snapshot x.png\n");
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.errors.find("t.qls:1: snapshot: cannot write "), std::string::npos) << blocked.errors;
    const Outcome never = runIn(out.string(), "snapshot x.png frmGetStart\n");
    EXPECT_EQ(never.status, 1);
    EXPECT_EQ(never.errors, "t.qls:1: snapshot: frmGetStart was never created, so it has no picture\n");
    std::filesystem::remove_all(out);
}

TEST(NotifierCommands, RealFontsAreUsedWhereTheBuildHasThem)
{
    const Outcome o = runText("fonts real\nfonts fixed\n");
    ASSERT_EQ(o.status, 0) << o.errors;
#ifdef QLN_HAVE_FREETYPE
    // FreeType may still refuse to start on a machine without fonts; then the transcript says why.
    EXPECT_TRUE(o.transcript.find("world: the platform's fonts (FreeType and fontconfig)") != std::string::npos ||
                o.transcript.find("real fonts cannot start") != std::string::npos)
        << o.transcript;
#elif defined(_WIN32)
    EXPECT_NE(o.transcript.find("world: the platform's fonts (GDI)"), std::string::npos) << o.transcript;
#else
    EXPECT_NE(o.transcript.find("this build has no real fonts"), std::string::npos) << o.transcript;
#endif
    EXPECT_NE(o.transcript.find("world: fixed font metrics\n"), std::string::npos) << o.transcript;
}

TEST(NotifierCommands, TheTranscriptTellsWhatTheNotifierDidWhenItDidIt)
{
    const Outcome o = runText("outlook start\nreg set settings MultMsgDelay dword 1\nstart\nadvance 1s\n"
                          "batch\nmail a in Inbox\nmail b in Inbox\nend\nadvance 3999ms\nexpect state NewestSlot 0\n"
                          "advance 1ms\nexpect state history[1] @b\nclick btnClose\nexpect popup hidden\n");
    ASSERT_EQ(o.status, 0) << o.errors;
    const std::string& t = o.transcript;
    for (const std::string line :
         {"00:00:00.000 notifier: starts: frmNewMail loads\n", "00:00:00.000 forms: frmGetStart shown\n",
          "00:00:01.000 popup: composes slot 0 (arrival): item a\n", "00:00:01.000 popup: shown\n",
          // A composition made by a timer tick is told at the tick's time.
          "00:00:05.000 popup: composes slot 1 (arrival from the queue): item b\n",
          "00:00:05.000 world: the user clicks frmNewMail.btnClose\n", "00:00:05.000 popup: hidden\n"})
        EXPECT_NE(t.find(line), std::string::npos) << line << "in:\n" << t;
    // Each told once, and the teardown at the end is not the scenario's.
    EXPECT_EQ(t.find("composes slot 1"), t.rfind("composes slot 1"));
    EXPECT_EQ(t.find("DestroyWindow"), std::string::npos) << t;
    EXPECT_EQ(t.substr(t.rfind('\n', t.size() - 2) + 1), "00:00:05.000 popup: hidden\n");
}

TEST(NotifierCommands, AClickIsAnEventThatABatchHolds)
{
    const Outcome o = runText("outlook start\nreg set options GetStart dword 0\nstart\nmail a in Inbox\n"
                          "batch\nclick btnClose\nexpect popup visible\nend\nexpect popup hidden\n"
                          // A click on a hidden form or a hidden picture does not reach it.
                          "click btnClose\nmail b in Inbox\nclick picNext\nexpect state CurrentSlot 1\n"
                          // The first-run dialog never opened: its controls cannot be clicked.
                          "click frmGetStart.btnOK\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.errors, "t.qls:14: click: frmGetStart is not loaded\n");
    EXPECT_NE(o.transcript.find("forms: the click does not reach frmNewMail.btnClose: frmNewMail is hidden\n"),
              std::string::npos)
        << o.transcript;
    EXPECT_NE(o.transcript.find("forms: the click does not reach frmNewMail.picNext: it is hidden\n"),
              std::string::npos)
        << o.transcript;
}

} // namespace
} // namespace qln::runner
