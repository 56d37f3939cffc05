// QLNOptions: creation and loading, the site and dirty tracking, the dependent controls, the
// enable switch, and the font and help buttons. The design is in QLNOptionsLayout.cpp, Apply and
// Preview in QLNOptionsApply.cpp, the list editor, hot-key box and position dialog in
// QLNOptionsEditors.cpp.

#include "options/QLNOptions.h"

#include <initializer_list>

#include "options/HotKeyName.h"
#include "platform/Failure.h"
#include "platform/Lang.h"
#include "shared/Settings.h"

namespace qln {

namespace {

namespace S = settings;

// One step of a sequence that goes on when the step fails (loading, the help button).
template <class Step>
void step(Step&& run)
{
    platform::ignoreFailure(std::forward<Step>(run));
}

// The slider position for a stored opacity: the inverse of p x 4.7 + 20.
int transparencyPosition(std::int32_t level) { return lang::roundHalfEven((static_cast<double>(level) - 20) / 4.7); }

// Enables the dependants of a check box while it is checked.
void enableWhileChecked(const forms::CheckBox& box, std::initializer_list<forms::Control*> dependants)
{
    const bool checked = box.Value() == forms::CheckBox::vbChecked;
    for (forms::Control* control : dependants)
        control->setEnabled(checked);
}

} // namespace

QLNOptions::QLNOptions(forms::FormsHost& host, OptionsServices& services)
    : Form(host, "QLNOptions"),
      TabOne1(add<forms::TabStrip>("TabOne1")),
      pnlAbout(add<forms::Panel>("pnlAbout")),
      pnlActions(add<forms::Panel>("pnlActions")),
      pnlDisplay(add<forms::Panel>("pnlDisplay")),
      pnlFilters(add<forms::Panel>("pnlFilters")),
      pnlHotkeys(add<forms::Panel>("pnlHotkeys")),
      pnlAdvanced(add<forms::Panel>("pnlAdvanced")),
      chkIsEnabled(add<forms::CheckBox>("chkIsEnabled")),
      fraOutlookXP(add<forms::Frame>("fraOutlookXP")),
      chkOutlookHideAddressBar(add<forms::CheckBox>("chkOutlookHideAddressBar")),
      chkOutlookMinToTray(add<forms::CheckBox>("chkOutlookMinToTray")),
      btnHelp(add<flair::FlairButton>("btnHelp")),
      lblNotice(add<forms::Label>("lblNotice")),
      fraClickAction(add<forms::Frame>("fraClickAction")),
      optSwitch(add<forms::OptionButton>("optSwitch")),
      optOpen(add<forms::OptionButton>("optOpen")),
      optBoth(add<forms::OptionButton>("optBoth")),
      fraWinState(add<forms::Frame>("fraWinState")),
      optMax(add<forms::OptionButton>("optMax")),
      optNormal(add<forms::OptionButton>("optNormal")),
      chkAutoDis(add<forms::CheckBox>("chkAutoDis")),
      lblDismissTime(add<forms::Label>("lblDismissTime")),
      txtDismissTime(add<forms::TextBox>("txtDismissTime")),
      chkMultMsgDelay(add<forms::CheckBox>("chkMultMsgDelay")),
      lblMultMsgDelay(add<forms::Label>("lblMultMsgDelay")),
      txtMultMsgDelay(add<forms::TextBox>("txtMultMsgDelay")),
      chkMarkRead(add<forms::CheckBox>("chkMarkRead")),
      TabOne2(add<forms::TabStrip>("TabOne2")),
      pnlFields(add<forms::Panel>("pnlFields")),
      pnlVisuals(add<forms::Panel>("pnlVisuals")),
      pnlSize(add<forms::Panel>("pnlSize")),
      chkShowInboxSum(add<forms::CheckBox>("chkShowInboxSum")),
      chkShowSenderName(add<forms::CheckBox>("chkShowSenderName")),
      chkShowRecipient(add<forms::CheckBox>("chkShowRecipient")),
      chkShowSubject(add<forms::CheckBox>("chkShowSubject")),
      chkShowReceivedSize(add<forms::CheckBox>("chkShowReceivedSize")),
      chkMsgBody(add<forms::CheckBox>("chkMsgBody")),
      lblMsgBody(add<forms::Label>("lblMsgBody")),
      txtMsgBody(add<forms::TextBox>("txtMsgBody")),
      btnPreview(add<flair::FlairButton>("btnPreview")),
      optNone(add<forms::OptionButton>("optNone")),
      optSlide(add<forms::OptionButton>("optSlide")),
      optFade(add<forms::OptionButton>("optFade")),
      btnChangeFont(add<flair::FlairButton>("btnChangeFont")),
      chkUseTransparency(add<forms::CheckBox>("chkUseTransparency")),
      sliTransparencyLevel(add<forms::Slider>("sliTransparencyLevel")),
      lblTransparencyLight(add<forms::Label>("lblTransparencyLight")),
      lblTransparencyDark(add<forms::Label>("lblTransparencyDark")),
      sliRate(add<forms::Slider>("sliRate")),
      lblRateFast(add<forms::Label>("lblRateFast")),
      lblRateSlow(add<forms::Label>("lblRateSlow")),
      lblBackColor(add<forms::Label>("lblBackColor")),
      cpkBackColor(add<forms::ColorPicker>("cpkBackColor")),
      btnWindowPosition(add<flair::FlairButton>("btnWindowPosition")),
      btnPreview1(add<flair::FlairButton>("btnPreview1")),
      chkFixedWindow(add<forms::CheckBox>("chkFixedWindow")),
      lblFixedWidth(add<forms::Label>("lblFixedWidth")),
      txtFixedWidth(add<forms::TextBox>("txtFixedWidth")),
      lblFixedHeight(add<forms::Label>("lblFixedHeight")),
      txtFixedHeight(add<forms::TextBox>("txtFixedHeight")),
      btnPreview2(add<flair::FlairButton>("btnPreview2")),
      chkAllow(add<flair::FlairButton>("chkAllow")),
      chkBList(add<flair::FlairButton>("chkBList")),
      chkWList(add<flair::FlairButton>("chkWList")),
      fraBList(add<forms::Frame>("fraBList")),
      lstBList(add<forms::ListBox>("lstBList")),
      fraWList(add<forms::Frame>("fraWList")),
      lstWList(add<forms::ListBox>("lstWList")),
      txtAddBWList(add<forms::TextBox>("txtAddBWList")),
      btnAddBWList(add<flair::FlairButton>("btnAddBWList")),
      btnRemoveBWList(add<flair::FlairButton>("btnRemoveBWList")),
      lblHKDismiss(add<forms::Label>("lblHKDismiss")),
      txtHKDismiss(add<forms::TextBox>("txtHKDismiss")),
      fraAddInbox(add<forms::Frame>("fraAddInbox")),
      lstAddInbox(add<forms::ListBox>("lstAddInbox")),
      btnBrowseAddInbox(add<flair::FlairButton>("btnBrowseAddInbox")),
      btnRemoveAddInbox(add<flair::FlairButton>("btnRemoveAddInbox")),
      chkAutoDis3rd(add<forms::CheckBox>("chkAutoDis3rd")),
      fraSpamFolders(add<forms::Frame>("fraSpamFolders")),
      lstSpamFolders(add<forms::ListBox>("lstSpamFolders")),
      btnAddSpamFolder(add<flair::FlairButton>("btnAddSpamFolder")),
      btnSpamRemove(add<flair::FlairButton>("btnSpamRemove")),
      chkNotifyReports(add<forms::CheckBox>("chkNotifyReports")),
      services_(services),
      folders_(lstAddInbox, lstSpamFolders, [this](const std::string& text) { ShowMessage(text); },
               [this] { SetDirty(); })
{
    checks_ = std::make_unique<options::OptionChecks>(
        options::OptionChecks::Fields{txtDismissTime, txtMultMsgDelay, txtMsgBody, txtFixedWidth, txtFixedHeight},
        [this](const std::string& text) { ShowMessage(text); });
    // The dialog is asked at the moment of use, so a host may supply it after creation.
    fontDialog_.setChooser([this](std::int32_t flags, const forms::FontChoice& current) {
        return services_.fontChooser ? services_.fontChooser(flags, current) : std::nullopt;
    });
    cpkBackColor.setDialog([this](const std::string& title, draw::OleColour current) {
        return services_.colourDialog ? services_.colourDialog(title, current) : std::nullopt;
    });
    initButtons();
    setCaptions();
    placeControls();
    wireEvents();
    loadAll();
}

QLNOptions::~QLNOptions()
{
    if (myfrmWinPos_)
        myfrmWinPos_->Unload();
    myfrmWinPos_.reset();
    closedWinPos_.reset();
    // UserControl_Terminate
    mapiNamespace_.reset();
    outlook_.reset();
    Unload();
}

void QLNOptions::UserControl_InitProperties(outlook::PropertyPageSite* site) { site_ = site; }

void QLNOptions::GetPageInfo(std::string& helpFile, std::int32_t& helpContext)
{
    helpFile.clear();
    helpContext = 102;
}

void QLNOptions::SetDirty()
{
    // While loading there is no site yet: the changes loading makes leave the page clean.
    if (!site_)
        return;
    dirty_ = true;
    site_->OnStatusChange();
}

void QLNOptions::ShowMessage(const std::string& text)
{
    // A message the desktop cannot show is lost; the action that wanted it goes on.
    platform::ignoreFailure([&] {
        services_.desktop.messageBox(hWnd(), text, options::kPageTitle, platform::mb::Ok | platform::mb::IconStop);
    });
}

void QLNOptions::wireEvents()
{
    TabOne1.Switch = [this](int, int, bool& Cancel) {
        if (tabsLocked_)
            Cancel = true;
    };

    chkIsEnabled.Click = [this] {
        SetDirty();
        applyEnableSwitch();
    };
    chkAutoDis.Click = [this] {
        SetDirty();
        enableWhileChecked(chkAutoDis, {&lblDismissTime, &txtDismissTime});
    };
    chkMultMsgDelay.Click = [this] {
        SetDirty();
        enableWhileChecked(chkMultMsgDelay, {&lblMultMsgDelay, &txtMultMsgDelay});
    };
    chkMsgBody.Click = [this] {
        SetDirty();
        enableWhileChecked(chkMsgBody, {&lblMsgBody, &txtMsgBody});
    };
    chkFixedWindow.Click = [this] {
        SetDirty();
        enableWhileChecked(chkFixedWindow, {&lblFixedWidth, &txtFixedWidth, &lblFixedHeight, &txtFixedHeight});
    };
    chkUseTransparency.Click = [this] {
        SetDirty();
        enableWhileChecked(chkUseTransparency, {&sliTransparencyLevel});
    };
    for (forms::CheckBox* box : {&chkOutlookHideAddressBar, &chkOutlookMinToTray, &chkMarkRead, &chkShowInboxSum,
                                 &chkShowSenderName, &chkShowRecipient, &chkShowSubject, &chkShowReceivedSize,
                                 &chkAutoDis3rd, &chkNotifyReports})
        box->Click = [this] { SetDirty(); };
    for (forms::OptionButton* option :
         {&optSwitch, &optOpen, &optBoth, &optMax, &optNormal, &optNone, &optSlide, &optFade})
        option->Click = [this] { SetDirty(); };
    for (forms::TextBox* box : {&txtDismissTime, &txtMultMsgDelay, &txtMsgBody, &txtFixedWidth, &txtFixedHeight})
        box->Change = [this] { SetDirty(); };
    sliTransparencyLevel.Change = [this] { SetDirty(); };
    sliRate.Change = [this] { SetDirty(); };
    cpkBackColor.Change = [this] { SetDirty(); };
    checks_->wireLostFocus();

    btnHelp.Click = [this] { btnHelp_Click(); };
    btnChangeFont.Click = [this] { btnChangeFont_Click(); };
    for (flair::FlairButton* preview : {&btnPreview, &btnPreview1, &btnPreview2})
        preview->Click = [this] { btnPreview_Click(); };
    btnWindowPosition.Click = [this] { openWindowPosition(); };

    chkAllow.Click = [this] { setListMode(chkAllow); };
    chkBList.Click = [this] { setListMode(chkBList); };
    chkWList.Click = [this] { setListMode(chkWList); };
    lstBList.MouseDown = [this](int, int, double, double) { currentList_ = "blist"; };
    lstWList.MouseDown = [this](int, int, double, double) { currentList_ = "wlist"; };
    txtAddBWList.KeyDown = [this](int& KeyCode, int) {
        if (KeyCode == forms::InputControl::vbKeyReturn)
            btnAddBWList_Click();
    };
    btnAddBWList.Click = [this] { btnAddBWList_Click(); };
    btnRemoveBWList.Click = [this] { btnRemoveBWList_Click(); };

    txtHKDismiss.KeyDown = [this](int& KeyCode, int Shift) { txtHKDismiss_KeyDown(KeyCode, Shift); };
    // The box only shows names: no character the key types gets in.
    txtHKDismiss.KeyPress = [](int& KeyAscii) { KeyAscii = 0; };
    txtHKDismiss.KeyUp = [this](int&, int) { txtHKDismiss_KeyUp(); };

    btnBrowseAddInbox.Click = [this] { folders_.btnBrowseAddInbox_Click(mapiNamespace_.get()); };
    btnRemoveAddInbox.Click = [this] { folders_.btnRemoveAddInbox_Click(); };
    btnAddSpamFolder.Click = [this] { folders_.btnAddSpamFolder_Click(mapiNamespace_.get()); };
    btnSpamRemove.Click = [this] { folders_.btnSpamRemove_Click(); };
}

// UserControl_Initialize: every control from the store, each assignment a step of its own that
// may fail (a control refusing a stored value, Outlook out of reach) without stopping the rest.
void QLNOptions::loadAll()
{
    const S::Settings& store = services_.settings;
    const auto number = [&](const S::DwordValue& value) { return store.read(value); };
    const auto text = [&](const S::DwordValue& value) { return std::to_string(store.read(value)); };

    // 1. Outlook and its MAPI namespace, for the folder pickers.
    dirty_ = false;
    step([&] { outlook_ = services_.com.createOutlookApplication(); });
    if (outlook_)
        step([&] { mapiNamespace_ = outlook_->GetNamespace("MAPI"); });
    currentList_ = "blist";

    // 2. Dismiss and delay.
    step([&] { txtDismissTime.setText(text(S::DismissTime)); });
    step([&] { chkAutoDis.setValue(number(S::Dismiss)); });
    step([&] { txtMultMsgDelay.setText(text(S::MultMsgDelayTime)); });
    step([&] { loadedMultMsgDelayTime_ = number(S::MultMsgDelayTime); });
    step([&] { chkMultMsgDelay.setValue(number(S::MultMsgDelay)); });

    // 3. Click action and Outlook's window state.
    step([&] {
        const std::string switchTo = store.read(S::SwitchTo);
        if (switchTo == "Switch")
            optSwitch.setValue(true);
        else if (switchTo == "Both")
            optBoth.setValue(true);
        else
            optOpen.setValue(true);
    });
    step([&] {
        if (store.read(S::WinState) == "Normal")
            optNormal.setValue(true);
        else
            optMax.setValue(true);
    });

    // 4. Actions and the popup's fields.
    step([&] { chkMarkRead.setValue(number(S::MarkRead)); });
    step([&] { chkNotifyReports.setValue(number(S::NotifyReports)); });
    step([&] { chkShowInboxSum.setValue(number(S::ShowInboxSum)); });
    step([&] { chkShowSenderName.setValue(number(S::ShowSenderName)); });
    step([&] { chkShowRecipient.setValue(number(S::ShowRecipient)); });
    step([&] { chkShowSubject.setValue(number(S::ShowSubject)); });
    step([&] { chkShowReceivedSize.setValue(number(S::ShowReceivedSize)); });
    step([&] { txtMsgBody.setText(text(S::BodyAmount)); });
    step([&] { chkMsgBody.setValue(number(S::ShowMessageBody)); });

    // 5. Colour, transparency and rate; a slider refuses a position outside its range.
    step([&] { cpkBackColor.setColor(static_cast<draw::OleColour>(number(S::BackColor))); });
    step([&] { chkUseTransparency.setValue(number(S::UseTransparency)); });
    step([&] { sliTransparencyLevel.setValue(transparencyPosition(number(S::TransparencyLevel))); });
    step([&] { sliRate.setValue(number(S::WinRate)); });

    // 6. How the popup appears.
    step([&] {
        const std::string appear = store.read(S::WinAppear);
        if (appear == "None")
            optNone.setValue(true);
        else if (appear == "Fade")
            optFade.setValue(true);
        else
            optSlide.setValue(true);
    });

    // 7. Fixed size.
    step([&] { chkFixedWindow.setValue(number(S::UseSetFormSize)); });
    step([&] { txtFixedWidth.setText(text(S::SetFormWidth)); });
    step([&] { txtFixedHeight.setText(text(S::SetFormHeight)); });

    // 8. List mode.
    step([&] {
        for (flair::FlairButton* mode : {&chkAllow, &chkBList, &chkWList})
            mode->setState(flair::enmButtonStateNormal);
        switch (number(S::ListMode)) {
        case 1: chkBList.setState(flair::enmButtonStatePressed); break;
        case 2: chkWList.setState(flair::enmButtonStatePressed); break;
        default: chkAllow.setState(flair::enmButtonStatePressed); break;
        }
    });

    // 9. The sender lists (reading clears their change flags).
    step([&] {
        for (std::string& entry : services_.lists.LoadBList())
            lstBList.AddItem(std::move(entry));
    });
    step([&] {
        for (std::string& entry : services_.lists.LoadWList())
            lstWList.AddItem(std::move(entry));
    });

    // 10. Ignored and monitored folders; 11. third-party moves.
    step([&] { folders_.load(store); });
    step([&] { chkAutoDis3rd.setValue(number(S::Autodismiss3rdPartySpam)); });

    // 12. The popup's font, kept in the font dialog and shown on its button.
    step([&] { fontDialog_.setFontName(store.read(S::UserFontName)); });
    step([&] { fontDialog_.setFontSize(number(S::UserFontSize)); });
    step([&] { fontDialog_.setColor(static_cast<draw::OleColour>(number(S::UserFontColor))); });
    step([&] {
        showFontOnButton();
        btnChangeFont.setForeColor(fontDialog_.Color());
    });

    // 13. The hot key: the code, then the mask, then its name. A value beyond 16 bits does not
    // fit its member and ends the step there.
    step([&] {
        const auto sixteenBits = [](std::int32_t value) {
            if (value != lang::wrap16(value))
                throw platform::Failure("Overflow", 6);
            return lang::wrap16(value);
        };
        hotKeyCode_ = sixteenBits(number(S::HKkDismiss));
        hotKeyMask_ = sixteenBits(number(S::HKmDismiss));
        txtHKDismiss.setText(options::HotKeyName(hotKeyCode_, hotKeyMask_));
        hotKeyText_ = txtHKDismiss.Text();
    });

    // 14. The popup's place.
    step([&] { spaceWidth_ = number(S::SpaceWidth); });
    step([&] { spaceHeight_ = number(S::SpaceHeight); });
    step([&] { windowPosition_ = number(S::WindowPosition); });

    // 15. Outlook's own options and the enable switch.
    step([&] { chkOutlookMinToTray.setValue(number(S::MinToTray)); });
    step([&] { chkOutlookHideAddressBar.setValue(number(S::AddressBarWidth)); });
    step([&] { chkIsEnabled.setValue(number(S::IsEnabled)); });

    // 16.
    syncDependentControls();
    applyPreWindows2000Rule();
    applyEnableSwitch();
}

void QLNOptions::syncDependentControls()
{
    enableWhileChecked(chkAutoDis, {&lblDismissTime, &txtDismissTime});
    enableWhileChecked(chkMultMsgDelay, {&lblMultMsgDelay, &txtMultMsgDelay});
    enableWhileChecked(chkMsgBody, {&lblMsgBody, &txtMsgBody});
    enableWhileChecked(chkFixedWindow, {&lblFixedWidth, &txtFixedWidth, &lblFixedHeight, &txtFixedHeight});
    enableWhileChecked(chkUseTransparency, {&sliTransparencyLevel});
}

void QLNOptions::applyPreWindows2000Rule()
{
    // Layered windows came with Windows 2000. A version that cannot be read counts as older.
    const platform::OsVersion none{0, 0, 0};
    const platform::OsVersion os = platform::valueOr(none, [&] { return services_.system.osVersion(); });
    const bool windows2000OrLater = os.platformId == platform::OsVersion::NT && os.major >= 5;
    if (windows2000OrLater)
        return;
    chkUseTransparency.setEnabled(false);
    sliTransparencyLevel.setEnabled(false);
}

void QLNOptions::applyEnableSwitch()
{
    // Switched off, the page stays on the About tab, where the switch is.
    tabsLocked_ = chkIsEnabled.Value() != forms::CheckBox::vbChecked;
}

void QLNOptions::showFontOnButton()
{
    auto font = forms::cloneFont(*btnChangeFont.Font());
    font->Name = fontDialog_.FontName();
    font->Size = fontDialog_.FontSize();
    btnChangeFont.setFont(font);
}

void QLNOptions::btnChangeFont_Click()
{
    fontDialog_.setFlags(forms::FontDialog::cdlCFBoth | forms::FontDialog::cdlCFEffects);
    fontDialog_.setCancelError(true);
    // Cancel comes back as a failure: nothing changes.
    if (!platform::ignoreFailure([&] { fontDialog_.ShowFont(); }))
        return;
    showFontOnButton();
    SetDirty();
}

void QLNOptions::btnHelp_Click()
{
    const std::string path = services_.settings.read(S::Help);
    if (path.empty())
        return;
    step([&] { services_.desktop.shellExecute(hWnd(), "open", path, "", "C:\\", platform::sw::ShowNormal); });
}

} // namespace qln
