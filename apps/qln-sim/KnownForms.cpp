#include "apps/qln-sim/KnownForms.h"

#include <algorithm>

#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

using K = ControlKind;

// In the order the form adds them (which is also the order they are drawn).
constexpr KnownControl kNewMail[] = {
    {"elTop", K::Panel},
    {"elTopLeft", K::Panel},
    {"btnQuestion", K::GlintButton},
    {"btnReply", K::GlintButton},
    {"btnForward", K::GlintButton},
    {"btnDelete", K::GlintButton},
    {"btnOpen", K::GlintButton},
    {"btnPin", K::GlintButton},
    {"btnPinned", K::GlintButton},
    {"btnAttach", K::GlintButton},
    {"btnClose", K::GlintButton},
    {"lblCountDown", K::Label},
    {"lblInbox", K::Label},
    {"lblSenderName", K::Label},
    {"lblRecipient", K::Label},
    {"lblSubject", K::Label},
    {"lblReceived", K::Label},
    {"lblSize", K::Label},
    {"DivLine", K::Line},
    {"lblBody", K::Label},
    {"elBottom", K::Panel},
    {"picBack", K::PictureBox},
    {"picBackDis", K::PictureBox},
    {"picNext", K::PictureBox},
    {"picNextDis", K::PictureBox},
    {"tmrLoadDelay", K::Timer},
    {"tmrCheckOutlook", K::Timer},
    {"tmrCountQueue", K::Timer},
    {"tmrCheckIgnored", K::Timer},
    {"tmrCountDown", K::Timer},
    {"tmrFade", K::Timer},
    {"tmrSlide", K::Timer},
};

constexpr KnownControl kGetStart[] = {
    {"chkShow", K::CheckBox},
    {"btnOK", K::CommandButton},
};

// The options page: its tab strips and panes first, then each pane's controls.
constexpr KnownControl kOptions[] = {
    {"TabOne1", K::TabStrip},
    {"pnlAbout", K::Panel},
    {"pnlActions", K::Panel},
    {"pnlDisplay", K::Panel},
    {"pnlFilters", K::Panel},
    {"pnlHotkeys", K::Panel},
    {"pnlAdvanced", K::Panel},
    // About
    {"chkIsEnabled", K::CheckBox},
    {"fraOutlookXP", K::Frame},
    {"chkOutlookHideAddressBar", K::CheckBox},
    {"chkOutlookMinToTray", K::CheckBox},
    {"btnHelp", K::FlairButton},
    {"lblNotice", K::Label},
    // Actions
    {"fraClickAction", K::Frame},
    {"optSwitch", K::OptionButton},
    {"optOpen", K::OptionButton},
    {"optBoth", K::OptionButton},
    {"fraWinState", K::Frame},
    {"optMax", K::OptionButton},
    {"optNormal", K::OptionButton},
    {"chkAutoDis", K::CheckBox},
    {"lblDismissTime", K::Label},
    {"txtDismissTime", K::TextBox},
    {"chkMultMsgDelay", K::CheckBox},
    {"lblMultMsgDelay", K::Label},
    {"txtMultMsgDelay", K::TextBox},
    {"chkMarkRead", K::CheckBox},
    // Display
    {"TabOne2", K::TabStrip},
    {"pnlFields", K::Panel},
    {"pnlVisuals", K::Panel},
    {"pnlSize", K::Panel},
    {"chkShowInboxSum", K::CheckBox},
    {"chkShowSenderName", K::CheckBox},
    {"chkShowRecipient", K::CheckBox},
    {"chkShowSubject", K::CheckBox},
    {"chkShowReceivedSize", K::CheckBox},
    {"chkMsgBody", K::CheckBox},
    {"lblMsgBody", K::Label},
    {"txtMsgBody", K::TextBox},
    {"btnPreview", K::FlairButton},
    {"optNone", K::OptionButton},
    {"optSlide", K::OptionButton},
    {"optFade", K::OptionButton},
    {"btnChangeFont", K::FlairButton},
    {"chkUseTransparency", K::CheckBox},
    {"sliTransparencyLevel", K::Slider},
    {"lblTransparencyLight", K::Label},
    {"lblTransparencyDark", K::Label},
    {"sliRate", K::Slider},
    {"lblRateFast", K::Label},
    {"lblRateSlow", K::Label},
    {"lblBackColor", K::Label},
    {"cpkBackColor", K::ColorPicker},
    {"btnWindowPosition", K::FlairButton},
    {"btnPreview1", K::FlairButton},
    {"chkFixedWindow", K::CheckBox},
    {"lblFixedWidth", K::Label},
    {"txtFixedWidth", K::TextBox},
    {"lblFixedHeight", K::Label},
    {"txtFixedHeight", K::TextBox},
    {"btnPreview2", K::FlairButton},
    // Filters
    {"chkAllow", K::FlairButton},
    {"chkBList", K::FlairButton},
    {"chkWList", K::FlairButton},
    {"fraBList", K::Frame},
    {"lstBList", K::ListBox},
    {"fraWList", K::Frame},
    {"lstWList", K::ListBox},
    {"txtAddBWList", K::TextBox},
    {"btnAddBWList", K::FlairButton},
    {"btnRemoveBWList", K::FlairButton},
    // Hotkeys
    {"lblHKDismiss", K::Label},
    {"txtHKDismiss", K::TextBox},
    // Advanced
    {"fraAddInbox", K::Frame},
    {"lstAddInbox", K::ListBox},
    {"btnBrowseAddInbox", K::FlairButton},
    {"btnRemoveAddInbox", K::FlairButton},
    {"chkAutoDis3rd", K::CheckBox},
    {"fraSpamFolders", K::Frame},
    {"lstSpamFolders", K::ListBox},
    {"btnAddSpamFolder", K::FlairButton},
    {"btnSpamRemove", K::FlairButton},
    {"chkNotifyReports", K::CheckBox},
};

constexpr KnownControl kWinPos[] = {
    {"fraSpace", K::Frame},
    {"lblSpaceWidth", K::Label},
    {"txtSpaceWidth", K::TextBox},
    {"lblSpaceHeight", K::Label},
    {"txtSpaceHeight", K::TextBox},
    {"chkTopLeft", K::FlairButton},
    {"chkTopRight", K::FlairButton},
    {"chkBottomLeft", K::FlairButton},
    {"chkBottomRight", K::FlairButton},
    {"btnDefaults", K::FlairButton},
    {"btnOK", K::FlairButton},
    {"btnCancel", K::FlairButton},
};

constexpr KnownForm kForms[] = {
    {"frmNewMail", true, kNewMail},
    {"frmGetStart", true, kGetStart},
    {"QLNOptions", true, kOptions},
    {"frmWinPos", true, kWinPos},
};

} // namespace

std::string_view describeKind(ControlKind kind)
{
    switch (kind) {
    case K::Form: return "a form";
    case K::CommandButton: return "a command button";
    case K::CheckBox: return "a check box";
    case K::PictureBox: return "a picture box";
    case K::Label: return "a label";
    case K::Panel: return "a panel";
    case K::Line: return "a line";
    case K::Timer: return "a timer";
    case K::GlintButton: return "a skinned button";
    case K::TextBox: return "a text box";
    case K::OptionButton: return "an option button";
    case K::ListBox: return "a list box";
    case K::Frame: return "a frame";
    case K::Slider: return "a slider";
    case K::TabStrip: return "a tab strip";
    case K::ColorPicker: return "a colour picker";
    case K::FlairButton: return "a FlairButton";
    }
    return "?";
}

const KnownControl* KnownForm::control(std::string_view name) const
{
    const auto it =
        std::find_if(controls.begin(), controls.end(), [&](const KnownControl& c) { return c.name == name; });
    return it == controls.end() ? nullptr : &*it;
}

std::string KnownForm::names(bool timers) const
{
    std::string out;
    for (const KnownControl& c : controls)
        if ((c.kind == K::Timer) == timers)
            appendListItem(out, c.name);
    return out;
}

std::span<const KnownForm> knownForms() { return kForms; }

const KnownForm* knownForm(std::string_view name)
{
    for (const KnownForm& form : kForms)
        if (form.name == name)
            return &form;
    return nullptr;
}

std::string knownFormNames()
{
    std::string out;
    for (const KnownForm& form : kForms)
        appendListItem(out, form.name);
    return out;
}

} // namespace qln::runner
