// The options page as a whole: loading, the site and dirty tracking, dependent controls, the
// enable switch, older systems, the font and help buttons, Apply's writes, order and errors, and
// the window position dialog.

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "tests/options/PageTestWorld.h"

namespace {

namespace S = pagetest::S;
using pagetest::Texts;

constexpr int kChecked = forms::CheckBox::vbChecked;
constexpr int kActionsTab = 1, kDisplayTab = 2;
constexpr int kVisualsTab = 1;

class OptionsPage : public ::testing::Test {
protected:
    pagetest::World w;

    qln::QLNOptions& openOnVisuals()
    {
        auto& page = w.open(kDisplayTab);
        page.TabOne2.userClickTab(kVisualsTab);
        return page;
    }
};

// ---- Loading --------------------------------------------------------------------------------------

TEST_F(OptionsPage, AFreshSystemShowsTheDefaultsAndLeavesThePageClean)
{
    auto& page = w.open();
    EXPECT_EQ(page.txtDismissTime.Text(), "90");
    EXPECT_EQ(page.txtMultMsgDelay.Text(), "4");
    EXPECT_EQ(page.txtMsgBody.Text(), "150");
    EXPECT_EQ(page.txtFixedWidth.Text(), "200");
    EXPECT_EQ(page.txtFixedHeight.Text(), "75");
    EXPECT_TRUE(page.optOpen.Value() && page.optMax.Value() && page.optNone.Value());
    for (const forms::CheckBox* on : {&page.chkMarkRead, &page.chkNotifyReports, &page.chkShowSubject,
                                      &page.chkMsgBody, &page.chkAutoDis3rd, &page.chkIsEnabled})
        EXPECT_EQ(on->Value(), kChecked) << on->Name();
    for (const forms::CheckBox* off : {&page.chkAutoDis, &page.chkShowRecipient, &page.chkUseTransparency,
                                       &page.chkFixedWindow, &page.chkOutlookMinToTray})
        EXPECT_EQ(off->Value(), 0) << off->Name();
    EXPECT_EQ(page.cpkBackColor.Color(), 14811135u);
    EXPECT_EQ(page.sliTransparencyLevel.Value(), 38);
    EXPECT_EQ(page.sliRate.Value(), 10);
    EXPECT_EQ(page.chkAllow.State(), flair::enmButtonStatePressed);
    EXPECT_EQ(page.btnChangeFont.Font()->Name, "MS Sans Serif");
    EXPECT_EQ(page.fontDialog().Color(), 0x80000012u);
    EXPECT_EQ(page.txtHKDismiss.Text(), "None");
    EXPECT_EQ(page.SpaceHeight(), 54);
    EXPECT_FALSE(page.Dirty());
    EXPECT_EQ(w.site.statusChanges, 0);
    EXPECT_TRUE(w.newMessages().empty());

    // Outlook's Apply button: nothing changed, and the page answers the dialog's questions.
    std::string helpFile = "left over";
    std::int32_t context = 0;
    page.GetPageInfo(helpFile, context);
    EXPECT_EQ(helpFile, "");
    EXPECT_EQ(context, 102);
}

TEST_F(OptionsPage, StoredChoicesSelectTheirControlsAndOthersFallBack)
{
    w.store(S::SwitchTo, "Both");
    w.store(S::WinState, "Normal");
    w.store(S::WinAppear, "Fade");
    w.store(S::TransparencyLevel, 255);
    w.store(S::MinToTray, 1);
    auto& page = w.open();
    EXPECT_TRUE(page.optBoth.Value() && page.optNormal.Value() && page.optFade.Value());
    EXPECT_EQ(page.sliTransparencyLevel.Value(), 50);
    EXPECT_EQ(page.chkOutlookMinToTray.Value(), kChecked);

    w.store(S::SwitchTo, "open");  // only the exact texts count
    w.store(S::WinState, "Minimised");
    w.store(S::WinAppear, "Sparkle");
    auto& other = w.open();
    EXPECT_TRUE(other.optOpen.Value() && other.optMax.Value() && other.optSlide.Value());
    other.Apply();
    EXPECT_EQ(w.stored(S::SwitchTo), "Open");
    EXPECT_EQ(w.stored(S::WinState), "Max");
    EXPECT_EQ(w.stored(S::WinAppear), "Slide");
}

TEST_F(OptionsPage, AValueAControlRefusesIsSkippedAndLoadingGoesOn)
{
    w.store(S::TransparencyLevel, 300);  // position 60, beyond the slider
    w.store(S::WinRate, 25);
    w.store(S::ShowSubject, 7);          // no check-box state
    w.store(S::UserFontSize, 0);
    w.store(S::HKkDismiss, 112);
    w.store(S::HKmDismiss, 4);
    w.sim.outlookQuit();                 // and Outlook cannot be reached
    auto& page = w.open(5);
    EXPECT_EQ(page.sliTransparencyLevel.Value(), 0);
    EXPECT_EQ(page.sliRate.Value(), 0);
    EXPECT_EQ(page.chkShowSubject.Value(), 0);
    EXPECT_EQ(page.fontDialog().FontSize(), 8);
    EXPECT_EQ(page.txtHKDismiss.Text(), "Alt + F1");
    EXPECT_EQ(page.chkIsEnabled.Value(), kChecked);
    page.btnBrowseAddInbox.userClick();  // no Outlook to pick from: nothing happens
    EXPECT_EQ(page.lstAddInbox.ListCount(), 0);
}

TEST_F(OptionsPage, AHotKeyMaskBeyondSixteenBitsKeepsTheKeyAndEndsTheStep)
{
    w.store(S::HKkDismiss, 65);
    w.store(S::HKmDismiss, 70000);
    w.store(S::TransparencyLevel, std::numeric_limits<std::int32_t>::min());
    auto& page = w.open();
    EXPECT_EQ(page.HotKeyCode(), 65);
    EXPECT_EQ(page.HotKeyMask(), 0);
    EXPECT_EQ(page.txtHKDismiss.Text(), "");
    EXPECT_EQ(page.sliTransparencyLevel.Value(), 0);  // refused by the slider, no overflow on the way
}

// ---- Dirty tracking ---------------------------------------------------------------------------------

TEST_F(OptionsPage, EveryUserEditMarksThePageDirtyAndNothingElseDoes)
{
    using Edit = std::function<void(qln::QLNOptions&)>;
    std::vector<std::pair<std::string, Edit>> edits{
        {"sliTransparencyLevel", [](auto& p) { p.sliTransparencyLevel.setValue(10); }},
        {"sliRate", [](auto& p) { p.sliRate.setValue(3); }},
        {"cpkBackColor", [](auto& p) { p.cpkBackColor.setColor(0x123456); }},
        {"chkIsEnabled", [](auto& p) { p.chkIsEnabled.userClick(); }},
    };
    for (const char* name : {"txtDismissTime", "txtMultMsgDelay", "txtMsgBody", "txtFixedWidth", "txtFixedHeight"})
        edits.emplace_back(name, [name](auto& p) {
            auto* box = static_cast<forms::TextBox*>(p.control(name));
            box->setText(box->Text() + "0");  // ten times the default passes every rule
        });
    for (const char* name : {"chkOutlookHideAddressBar", "chkOutlookMinToTray", "chkAutoDis", "chkMultMsgDelay",
                             "chkMarkRead", "chkShowInboxSum", "chkShowSenderName", "chkShowRecipient",
                             "chkShowSubject", "chkShowReceivedSize", "chkMsgBody", "chkUseTransparency",
                             "chkFixedWindow", "chkAutoDis3rd", "chkNotifyReports"})
        edits.emplace_back(name, [name](auto& p) {
            auto* box = static_cast<forms::CheckBox*>(p.control(name));
            box->setValue(1 - box->Value());
        });
    for (const char* name : {"optSwitch", "optBoth", "optNormal", "optSlide", "optFade"})
        edits.emplace_back(name, [name](auto& p) {
            static_cast<forms::OptionButton*>(p.control(name))->setValue(true);
        });
    for (const auto& [name, edit] : edits) {
        auto& page = w.open();
        w.site.statusChanges = 0;
        edit(page);
        EXPECT_TRUE(page.Dirty()) << name;
        EXPECT_EQ(w.site.statusChanges, 1) << name;
        page.Apply();
        EXPECT_FALSE(page.Dirty()) << name;
    }

    auto& page = w.open();
    page.txtAddBWList.setText("draft");
    page.txtHKDismiss.setText("set by code");
    page.btnPreview.raiseClick();
    EXPECT_FALSE(page.Dirty());
    // Before the site is attached (while loading) edits leave the page clean.
    qln::QLNOptions unattached(w.host, w.services);
    unattached.txtDismissTime.setText("60");
    EXPECT_FALSE(unattached.Dirty());
}

// ---- Dependent controls, enable switch, older systems ---------------------------------------------

TEST_F(OptionsPage, DependentControlsFollowTheirCheckBoxes)
{
    w.store(S::UseTransparency, 1);
    w.store(S::ShowMessageBody, 0);
    auto& page = w.open(kActionsTab);
    const std::vector<const forms::Control*> disabled{&page.txtDismissTime, &page.lblDismissTime,
                                                      &page.txtMultMsgDelay, &page.lblMsgBody,
                                                      &page.txtMsgBody,      &page.txtFixedWidth,
                                                      &page.lblFixedHeight};
    for (const forms::Control* off : disabled)
        EXPECT_FALSE(off->Enabled()) << off->Name();
    EXPECT_TRUE(page.sliTransparencyLevel.Enabled());

    page.chkAutoDis.userClick();
    EXPECT_TRUE(page.txtDismissTime.Enabled() && page.lblDismissTime.Enabled());
    EXPECT_FALSE(page.txtMultMsgDelay.Enabled());
    page.chkMultMsgDelay.userClick();
    EXPECT_TRUE(page.lblMultMsgDelay.Enabled() && page.txtMultMsgDelay.Enabled());
    page.chkFixedWindow.setValue(1);
    EXPECT_TRUE(page.txtFixedHeight.Enabled() && page.lblFixedWidth.Enabled());
    page.chkUseTransparency.setValue(0);
    EXPECT_FALSE(page.sliTransparencyLevel.Enabled());
}

TEST_F(OptionsPage, WhileSwitchedOffThePageStaysOnTheAboutTab)
{
    w.store(S::IsEnabled, 0);
    auto& page = w.open(kDisplayTab);
    EXPECT_EQ(page.TabOne1.CurrentTab(), 0);

    page.chkIsEnabled.userClick();
    page.TabOne1.userClickTab(3);
    EXPECT_EQ(page.TabOne1.CurrentTab(), 3);
    page.TabOne1.userClickTab(0);
    page.chkIsEnabled.userClick();
    page.TabOne1.userClickTab(5);
    EXPECT_EQ(page.TabOne1.CurrentTab(), 0);
    page.Apply();
    EXPECT_EQ(w.stored(S::IsEnabled), 0);
}

TEST_F(OptionsPage, OlderSystemsGetNoTransparencyControlsButKeepTheirValues)
{
    w.store(S::UseTransparency, 1);
    w.store(S::TransparencyLevel, 255);
    for (const platform::OsVersion os : {platform::OsVersion{platform::OsVersion::Win9x, 4, 90},
                                         platform::OsVersion{platform::OsVersion::NT, 4, 0}}) {
        w.sim.system.setOsVersion(os);
        auto& page = w.open();
        EXPECT_FALSE(page.chkUseTransparency.Enabled());
        EXPECT_FALSE(page.sliTransparencyLevel.Enabled());
        page.chkAutoDis.setValue(1);  // another dependent box does not bring the slider back
        EXPECT_FALSE(page.sliTransparencyLevel.Enabled());
        page.Apply();
        EXPECT_EQ(w.stored(S::UseTransparency), 1);
        EXPECT_EQ(w.stored(S::TransparencyLevel), 255);
    }
    w.sim.system.setOsVersion(platform::OsVersion::NT, 5);
    EXPECT_TRUE(w.open().sliTransparencyLevel.Enabled());
}

// ---- Font and help buttons --------------------------------------------------------------------------

TEST_F(OptionsPage, TheFontButtonTakesAChoiceAndIgnoresACancel)
{
    std::int32_t flags = 0;
    std::optional<forms::FontChoice> answer;
    w.services.fontChooser = [&](std::int32_t f, const forms::FontChoice&) {
        flags = f;
        return answer;
    };
    auto& page = openOnVisuals();
    page.btnChangeFont.userClick();
    EXPECT_EQ(flags & 0x103, 0x103);  // screen and printer fonts, with effects
    EXPECT_EQ(page.btnChangeFont.Font()->Name, "MS Sans Serif");
    EXPECT_FALSE(page.Dirty());

    answer = forms::FontChoice{"Verdana", 10.5, false, false, false, false, 0x0000FF};
    page.btnChangeFont.userClick();
    EXPECT_EQ(page.btnChangeFont.Font()->Name, "Verdana");
    EXPECT_EQ(page.btnChangeFont.Font()->Size, 10.5);
    EXPECT_TRUE(page.Dirty());
    page.Apply();
    EXPECT_EQ(w.stored(S::UserFontName), "Verdana");
    EXPECT_EQ(w.stored(S::UserFontSize), 10);
    EXPECT_EQ(w.stored(S::UserFontColor), 0x0000FF);
}

TEST_F(OptionsPage, HelpOpensTheInstalledDocumentAndFailsSilently)
{
    auto& page = w.open();
    page.btnHelp.userClick();  // no Help value
    EXPECT_TRUE(w.sim.desktop.launches().empty());

    w.store(S::Help, "C:\\Program Files\\Quellin\\help.chm");
    page.btnHelp.userClick();
    ASSERT_EQ(w.sim.desktop.launches().size(), 1u);
    const auto& launch = w.sim.desktop.launches()[0];
    EXPECT_EQ(launch.owner, page.hWnd());
    EXPECT_EQ(launch.verb, "open");
    EXPECT_EQ(launch.file, "C:\\Program Files\\Quellin\\help.chm");
    EXPECT_EQ(launch.parameters, "");
    EXPECT_EQ(launch.directory, "C:\\");
    EXPECT_EQ(launch.showCommand, 1);

    w.sim.desktop.faults().fail("ShellExecuteA");
    page.btnHelp.userClick();
    EXPECT_TRUE(w.newMessages().empty());
}

// ---- Apply ------------------------------------------------------------------------------------------

TEST_F(OptionsPage, ApplyWritesEveryValueInOrder)
{
    auto& page = w.open();
    Texts names;
    w.sim.registry.on_write = [&](platform::Hive, const std::string&, const std::string& name,
                                  const platform::sim::RegValue&) {
        if (name.rfind("AddInbox", 0) != 0 && name != "AutodismissFolders")  // the folder lists' own
            names.push_back(name);
    };
    page.sliTransparencyLevel.setValue(0);
    page.Apply();
    EXPECT_EQ(names, (Texts{"Dismiss", "DismissTime", "MultMsgDelay", "MultMsgDelayTime", "SwitchTo", "WinState",
                            "IsEnabled", "MarkRead", "NotifyReports", "ShowInboxSum", "ShowSenderName",
                            "ShowRecipient", "ShowSubject", "ShowReceivedSize", "ShowMessageBody", "BodyAmount",
                            "BackColor", "UseTransparency", "TransparencyLevel", "WinRate", "WinAppear",
                            "UseSetFormSize", "SetFormWidth", "SetFormHeight", "ListMode", "ReReadBList",
                            "ReReadWList", "Autodismiss3rdPartySpam", "UserFontName", "UserFontSize",
                            "UserFontColor", "HKkDismiss", "HKmDismiss", "HKChanged", "SpaceWidth", "SpaceHeight",
                            "WindowPosition", "MinToTray", "AddressBarWidth"}));
    EXPECT_EQ(w.stored(S::TransparencyLevel), 20);
    EXPECT_EQ(w.stored(S::AddInbox(1)), "EOF");
    EXPECT_EQ(w.listFile("blist.qln"), "");
    page.sliTransparencyLevel.setValue(5);  // 43.5: the half goes to the even neighbour
    page.Apply();
    EXPECT_EQ(w.stored(S::TransparencyLevel), 44);
}

TEST_F(OptionsPage, TheDelayFlagIsRaisedOnEveryApplyWhileTheStoredDelayDiffersFromTheLoadedOne)
{
    auto& page = w.open();
    page.Apply();
    EXPECT_FALSE(w.stored(S::MultMsgDelayTimeChanged).has_value());
    for (const char* delay : {"3", "3", "4.9"}) {  // 4.9: the whole part is 4 as loaded, but 5 is stored
        page.txtMultMsgDelay.setText(delay);
        w.store(S::MultMsgDelayTimeChanged, 0);  // the notifier took the last one
        page.Apply();
        EXPECT_EQ(w.stored(S::MultMsgDelayTimeChanged), 1) << delay;
    }
    page.txtMultMsgDelay.setText("4");
    w.store(S::MultMsgDelayTimeChanged, 0);
    page.Apply();
    EXPECT_EQ(w.stored(S::MultMsgDelayTimeChanged), 0);
}

TEST_F(OptionsPage, AFailingStepIsReportedAndApplyGoesOn)
{
    auto& page = w.open();
    page.txtFixedWidth.setText("1e10");  // a number above 200, but none a DWORD holds
    page.chkOutlookMinToTray.setValue(1);
    page.Apply();
    EXPECT_EQ(w.newMessages(), Texts{"Error in PropertyPage_Apply.    Err# 6 and Err Description: Overflow"});
    EXPECT_FALSE(w.stored(S::SetFormWidth).has_value());
    EXPECT_EQ(w.stored(S::SetFormHeight), 75);
    EXPECT_EQ(w.stored(S::MinToTray), 1);

    // A store write that fails is lost without a word, and the rest is written.
    w.sim.registry.faults().fail("RegSetValueEx", 1);
    page.chkAutoDis.setValue(1);
    page.txtFixedWidth.setText("300");
    page.Apply();
    EXPECT_TRUE(w.newMessages().empty());
    EXPECT_EQ(w.stored(S::Dismiss), 0);
    EXPECT_EQ(w.stored(S::SetFormWidth), 300);
}

// ---- Window position dialog -------------------------------------------------------------------------

TEST_F(OptionsPage, TheWindowPositionDialogEditsThePagesMembers)
{
    w.store(S::WindowPosition, 7);
    w.store(S::SpaceHeight, 60);
    auto& page = openOnVisuals();
    const auto dialog = [&]() -> qln::options::frmWinPos& {
        EXPECT_NE(page.myfrmWinPos(), nullptr);
        return *page.myfrmWinPos();
    };

    page.btnWindowPosition.userClick();
    EXPECT_EQ(dialog().txtSpaceHeight.Text(), "60");
    dialog().btnOK.userClick();  // no change
    EXPECT_EQ(page.myfrmWinPos(), nullptr);
    EXPECT_FALSE(page.Dirty());

    page.btnWindowPosition.userClick();
    dialog().txtSpaceWidth.userSetText("40");
    dialog().chkTopLeft.userClick();
    dialog().btnOK.userClick();
    EXPECT_TRUE(page.Dirty());
    EXPECT_EQ(page.SpaceWidth(), 40);
    EXPECT_EQ(page.SpaceHeight(), 60);
    EXPECT_EQ(page.WindowPosition(), 2);

    // Defaults then Cancel, or the close box: the page keeps its members, and shows them again.
    page.btnWindowPosition.userClick();
    EXPECT_EQ(dialog().txtSpaceWidth.Text(), "40");
    dialog().btnDefaults.userClick();
    dialog().btnCancel.userClick();
    page.btnWindowPosition.userClick();
    dialog().btnDefaults.userClick();
    dialog().userCloseBox();
    EXPECT_EQ(page.myfrmWinPos(), nullptr);
    EXPECT_EQ(page.SpaceWidth(), 40);
    page.Apply();
    EXPECT_EQ(w.stored(S::SpaceWidth), 40);
    EXPECT_EQ(w.stored(S::WindowPosition), 2);
}

TEST_F(OptionsPage, AClosedDialogIsReleasedOnlyAfterItsHandlerReturns)
{
    auto& page = openOnVisuals();
    page.btnWindowPosition.userClick();
    page.myfrmWinPos()->btnCancel.userClick();
    EXPECT_NE(w.host.find("frmWinPos"), nullptr);
    w.sim.loop.runPending();
    EXPECT_EQ(w.host.find("frmWinPos"), nullptr);

    // A page that goes before the loop runs takes its dialog along; the task then does nothing.
    page.btnWindowPosition.userClick();
    page.myfrmWinPos()->btnOK.userClick();
    w.page.reset();
    w.sim.loop.runPending();
    EXPECT_EQ(w.host.find("frmWinPos"), nullptr);
}

TEST_F(OptionsPage, ADialogWhoseWindowCannotBeMadeLeavesThePageAsItWas)
{
    auto& page = openOnVisuals();
    w.sim.desktop.faults().fail("CreateWindowExA", 1);
    page.btnWindowPosition.userClick();
    EXPECT_EQ(page.myfrmWinPos(), nullptr);
    EXPECT_EQ(w.host.find("frmWinPos"), nullptr);
    EXPECT_FALSE(page.Dirty());

    // The next press opens it.
    page.btnWindowPosition.userClick();
    ASSERT_NE(page.myfrmWinPos(), nullptr);
    EXPECT_TRUE(page.myfrmWinPos()->Visible());
}

} // namespace
