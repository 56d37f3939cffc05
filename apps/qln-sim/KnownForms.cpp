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

constexpr KnownForm kForms[] = {
    {"frmNewMail", true, kNewMail},
    {"frmGetStart", true, kGetStart},
    {"QLNOptions", false, {}},
    {"frmWinPos", false, {}},
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
