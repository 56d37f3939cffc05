#pragma once
// The forms a scenario can name, with their controls and timers, so that a misspelt name is found
// before anything runs. Each built form's row lists what its class declares (a test holds the rows
// against the forms themselves); the forms of parts not built yet are known by name only.

#include <span>
#include <string>
#include <string_view>

namespace qln::runner {

// What a named thing is; `Form` stands for the form itself (`expect frmGetStart caption ...`).
enum class ControlKind {
    Form,
    CommandButton,
    CheckBox,
    PictureBox,
    Label,
    Panel,
    Line,
    Timer,
    GlintButton,
    TextBox,
    OptionButton,
    ListBox,
    Frame,
    Slider,
    TabStrip,
    ColorPicker,
    FlairButton,
};

// "a command button", for messages.
std::string_view describeKind(ControlKind kind);

struct KnownControl {
    std::string_view name;
    ControlKind kind;
};

struct KnownForm {
    std::string_view name;
    bool built;                             // false: its controls are not known yet
    std::span<const KnownControl> controls; // controls and timers, as the form's class declares them

    const KnownControl* control(std::string_view name) const;
    // The names of its controls (timers = false) or of its timers, for messages: "a, b, c".
    std::string names(bool timers) const;
};

std::span<const KnownForm> knownForms();
const KnownForm* knownForm(std::string_view name);
// "frmNewMail, frmGetStart, QLNOptions, frmWinPos"
std::string knownFormNames();

// A bare control name belongs to the popup.
inline constexpr std::string_view kDefaultForm = "frmNewMail";

} // namespace qln::runner
