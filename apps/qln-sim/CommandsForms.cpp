// The forms: the user's input to their controls (clicks, the mouse, typing, the focus leaving, keys,
// list rows, sliders, tabs, colours, a dialog's close box), snapshots, and the checks of forms,
// controls, timers and message boxes. Names, and the kinds of control each command takes, are
// checked against the known forms (KnownForms) before the run; the forms themselves are found when
// the line runs, through the runtime's FormsHost.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/KnownForms.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "controls/flairbutton/FlairButton.h"
#include "controls/glintbutton/GlintButton.h"
#include "options/frmWinPos.h"
#include "platform/EntryGuard.h"
#include "platform/Failure.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/Form.h"
#include "platform/forms/KeyboardNavigator.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/TextBox.h"

namespace qln::runner {

namespace {

using K = ControlKind;

// The type prefixes every control name starts with (lblSubject, btnClose, ...).
constexpr std::string_view kControlPrefixes[] = {"btn", "chk", "opt", "txt", "lst", "lbl", "tmr", "pic", "sli",
                                                 "cpk", "fra", "lin", "tab", "cmd", "img", "shp"};

bool looksLikeControl(std::string_view name)
{
    for (std::string_view prefix : kControlPrefixes)
        if (name.size() > prefix.size() && name.starts_with(prefix) && name[prefix.size()] >= 'A' &&
            name[prefix.size()] <= 'Z')
            return true;
    return false;
}

// ---- names -------------------------------------------------------------------------------------------

// A form, or one of its controls or timers, as a scenario names it.
struct Named {
    std::string form;
    std::string control;  // empty: the form itself
    ControlKind kind = K::Form;

    std::string path() const { return control.empty() ? form : form + "." + control; }
};

enum class Want { Control, Timer, ControlOrForm };

// FORM.CONTROL, a bare CONTROL of frmNewMail, or (for checks) a form's name alone.
Named resolveName(Args& args, const Token& token, std::string_view command, Want want)
{
    const std::string name = token.text.isPlain() ? token.text.plain() : token.source;
    const std::string cmd(command);
    Named named;
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) {
        named.form = name.substr(0, dot);
        named.control = name.substr(dot + 1);
    } else if (knownForm(name)) {
        if (want != Want::ControlOrForm)
            args.failAt(token, cmd + ": '" + name + "' is a form; name one of its " +
                                   (want == Want::Timer ? "timers" : "controls") + " as " + name + "." +
                                   (want == Want::Timer ? "TIMER" : "CONTROL"));
        named.form = name;
        return named;
    } else {
        named.form = kDefaultForm;
        named.control = name;
    }
    const KnownForm* form = knownForm(named.form);
    if (!form)
        args.failAt(token, cmd + ": unknown form '" + named.form + "' (" + knownFormNames() + ")");
    if (!form->built)
        args.failAt(token, cmd + ": the controls of " + named.form +
                               " are not available yet: the part of the system it drives is not built");
    const KnownControl* control = form->control(named.control);
    const bool timer = want == Want::Timer;
    if (!control)
        args.failAt(token, cmd + ": " + named.form + " has no " + (timer ? "timer" : "control") + " '" +
                               named.control + "' (" + form->names(timer) + ")");
    named.kind = control->kind;
    if (timer && control->kind != K::Timer)
        args.failAt(token, cmd + ": " + named.path() + " is " + std::string(describeKind(control->kind)) +
                               ", not a timer");
    if (!timer && control->kind == K::Timer)
        args.failAt(token, cmd + ": " + named.path() + " is a timer" +
                               (want == Want::Control ? " and takes no clicks"
                                                      : "; 'expect timer " + named.path() + " on|off' checks it"));
    return named;
}

// ---- the user's input ---------------------------------------------------------------------------

constexpr unsigned bit(ControlKind kind) { return 1u << static_cast<unsigned>(kind); }

// Why the user's input does not reach a control of a loaded form: the first thing, from the form
// inwards, that is hidden or disabled.
std::string unreachable(const forms::Control& control)
{
    const forms::Form& form = control.parent();
    if (!form.Visible())
        return form.Name() + " is hidden";
    if (!form.Enabled())
        return form.Name() + " is disabled";
    std::vector<const forms::Control*> chain;
    for (const forms::Control* c = &control; c; c = c->Container())
        chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const forms::Control& c = **it;
        if (!c.Visible() || !c.Enabled()) {
            const std::string look = c.Visible() ? "disabled" : "hidden";
            return &c == &control ? "it is " + look : "its container " + c.Name() + " is " + look;
        }
    }
    return "it is disabled";
}

// A form shown modally over `form` (a loaded, visible form whose window `form`'s window owns):
// while it is up, `form` takes no input, as Windows keeps it from the owner. Empty when none.
std::string modalOver(Runtime& rt, const forms::Form& form)
{
    if (!form.Loaded())
        return "";
    for (const forms::Form* other : rt.forms().forms()) {
        if (other == &form || !other->Loaded() || !other->Visible())
            continue;
        platform::WindowHandle owner = platform::NoWindow;
        try {
            owner = rt.world().desktop().getParent(other->hWnd());
        } catch (const platform::Failure&) {
            continue;  // a fault the scenario injected into the desktop is not the user's business
        }
        if (owner == form.hWnd())
            return other->Name();
    }
    return "";
}

// The controls of the options page and of its window position dialog exist only while the page
// is open, so input to them needs an open page (checked before the run, as far as the order of
// the lines tells).
void requireOpenPage(Args& args, const Token& token, const Named& named, std::string_view command)
{
    if ((named.form == "QLNOptions" || named.form == "frmWinPos") && !args.state().pageLine)
        args.failAt(token, std::string(command) + ": " + named.path() +
                               " is on the options page, which is not open here ('page open' opens it)");
}

// The control an input command acts on: a control of one of the kinds the command takes.
Named inputControl(Args& args, std::string_view command, unsigned kinds, std::string_view takes)
{
    const Token& token = args.next("CONTROL");
    const Named named = resolveName(args, token, command, Want::Control);
    if (!(kinds & bit(named.kind)))
        args.failAt(token, std::string(command) + ": " + named.path() + " is " +
                               std::string(describeKind(named.kind)) + "; '" + std::string(command) + "' takes " +
                               std::string(takes));
    requireOpenPage(args, token, named, command);
    return named;
}

// What an input command does once its event's turn comes.
struct Input {
    std::string command;  // for messages: "set"
    std::string noun;     // the event in the transcript: "the typing"
    bool needsReach = true;  // false: it happens whether or not the control takes input (the focus leaving)
};

// The notifier's own forms: in another process on a world where the notifier runs as a program of
// its own (the options page's forms follow Outlook's: see pageForm).
bool notifierForm(const std::string& form) { return form == "frmNewMail" || form == "frmGetStart"; }

// The options page's forms: in Outlook's process on a world whose Outlook hosts the page there.
bool pageForm(const std::string& form) { return form == "QLNOptions" || form == "frmWinPos"; }

// What an input command does on the page in another process: real input there. Empty: the input
// has no real counterpart there, and the step is refused.
using RemoteInput = std::function<void(RemoteOptionsDialog&)>;

// The input is an event like any other: in a batch it waits for `end`, and by then the form may
// look different, so the control is found again when the event runs.
template <class C, class Act>
Action postInput(Named named, Input input, std::string told, Act act, RemoteInput remote = {})
{
    return [named, input, told, act, remote](Runtime& rt) {
        if (RemoteOptionsDialog* dialog = rt.remoteOptionsDialog(); dialog && pageForm(named.form)) {
            // Outlook's page takes real input at its controls' places; some input has no such form.
            if (!remote)
                rt.needPageInProcess(input.command + " on " + named.path() +
                                     "; there it takes click, set, key, enter, blur, tab, slide, select and color");
            rt.note("world", told);
            remote(*dialog);
            return;
        }
        if (NotifierProcess* process = rt.notifierProcess(); process && notifierForm(named.form)) {
            // QLN.exe's popup takes a real mouse click on its buttons; nothing else reaches it.
            if (input.command != "click" || named.form != "frmNewMail")
                rt.needNotifierInProcess(input.command + " on " + named.path());
            rt.note("world", told);
            process->click(named.control);
            return;
        }
        const forms::Form* form = rt.forms().find(named.form);
        if (!form || !form->Loaded())
            throw std::invalid_argument(input.command + ": " + named.form + " is not loaded");
        if (!form->control(named.control))
            throw std::invalid_argument(input.command + ": " + named.form + " has no control " + named.control);
        rt.note("world", told);
        rt.world().loop().post([&rt, named, input, act] {
            const forms::Form* now = rt.forms().find(named.form);
            C* control = now && now->Loaded() ? dynamic_cast<C*>(now->control(named.control)) : nullptr;
            if (!control) {
                rt.note("forms", input.noun + " on " + named.path() + " finds the form unloaded");
                return;
            }
            if (input.needsReach && !control->reactsToUser()) {
                rt.note("forms", input.noun + " does not reach " + named.path() + ": " + unreachable(*control));
                return;
            }
            if (const std::string modal = modalOver(rt, *now); input.needsReach && !modal.empty()) {
                rt.note("forms", input.noun + " does not reach " + named.path() + ": " + modal +
                                     " is open over " + named.form);
                return;
            }
            // The input reaches the system as a window message: an entry point.
            platform::guardEntry(input.noun + " on " + named.path(), [&] { act(rt, *control); });
        });
    };
}

constexpr int kVkTab = 9;
constexpr int kVkReturn = 13;

constexpr unsigned kAnyControl = ~(bit(K::Form) | bit(K::Timer));
constexpr unsigned kButtonControls = bit(K::GlintButton) | bit(K::FlairButton);
constexpr unsigned kFocusControls = bit(K::TextBox) | bit(K::ListBox);

// A FlairButton is clicked as a person does it: the pointer comes onto it, then the left button
// goes down and up at its centre.
void clickFlairButton(flair::FlairButton& button)
{
    const int x = button.scaleWidth() / 2;
    const int y = button.scaleHeight() / 2;
    button.mouseMove(0, 0, x, y);
    button.mouseDown(1, 0, x, y);
    button.mouseUp(1, 0, x, y);
}

Action parseClick(Args& args)
{
    const Named named = inputControl(args, "click", kAnyControl, "any control");
    return postInput<forms::Control>(named, {"click", "the click"}, "the user clicks " + named.path(),
                                     [](Runtime&, forms::Control& control) {
                                         if (auto* flat = dynamic_cast<flair::FlairButton*>(&control))
                                             clickFlairButton(*flat);
                                         else
                                             control.userClick();
                                     },
                                     [named](RemoteOptionsDialog& dialog) { dialog.click(named.form, named.control); });
}

// ---- mouse CONTROL down|move|up X Y [BUTTON] -------------------------------------------------------

Action parseMouse(Args& args)
{
    const Named named =
        inputControl(args, "mouse", kButtonControls, "the skinned buttons and FlairButtons, by pixel");
    const std::string what = args.choice("down|move|up", {"down", "move", "up"});
    const auto x = static_cast<int>(args.number("X", -32768, 32767));
    const auto y = static_cast<int>(args.number("Y", -32768, 32767));
    // The buttons held: 1 left, 2 right, 4 middle. A move holds none unless told.
    const auto button = static_cast<int>(args.atEnd() ? (what == "move" ? 0 : 1) : args.number("BUTTON", 0, 7));
    return postInput<forms::UserControl>(
        named, {"mouse", "the mouse"},
        "the mouse " + what + " at " + std::to_string(x) + "," + std::to_string(y) + " on " + named.path() +
            (button ? " (buttons " + std::to_string(button) + ")" : ""),
        [what, x, y, button](Runtime&, forms::UserControl& target) {
            if (what == "down")
                target.mouseDown(button, 0, x, y);
            else if (what == "move")
                target.mouseMove(button, 0, x, y);
            else
                target.mouseUp(button, 0, x, y);
        });
}

// ---- set, blur, key, enter, select, mousedown, slide, tab, color --------------------------------------

Action parseSet(Args& args)
{
    const Named named = inputControl(args, "set", bit(K::TextBox), "a text box");
    const Text text = args.text("TEXT");
    return [named, text](Runtime& rt) {
        const std::string typed = rt.resolve(text);
        postInput<forms::TextBox>(named, {"set", "the typing"},
                                  "the user replaces the text of " + named.path() + " with " + quoteText(typed),
                                  [typed](Runtime&, forms::TextBox& box) { box.userSetText(typed); },
                                  [named, typed](RemoteOptionsDialog& dialog) {
                                      dialog.setText(named.form, named.control, typed);
                                  })(rt);
    };
}

Action parseBlur(Args& args)
{
    const Named named = inputControl(args, "blur", kFocusControls, "a text box or a list box");
    return postInput<forms::InputControl>(
        named, {"blur", "the focus leaving", false}, "the focus leaves " + named.path(),
        [named](Runtime& rt, forms::InputControl& control) {
            if (!control.hasFocus())
                rt.note("forms", named.path() + " does not have the focus: nothing to leave");
            else if (!control.userBlur())
                rt.note("forms", named.path() + " keeps the focus: its Validate cancelled");
        },
        // The focus leaves as the keyboard moves it: Tab, in the form's window.
        [named](RemoteOptionsDialog& dialog) { dialog.key(named.form, "", kVkTab, 0); });
}

// `key FORM VK MASK`: a key pressed and released in the form's window, as the keyboard delivers
// it: the form's own keys first (Tab, access keys, ...), then the control with the focus.
Action parseFormKey(Args& args)
{
    const Token* token = args.peek();
    const std::string name = args.word("FORM");
    requireOpenPage(args, *token, Named{name, "", K::Form}, "key");
    const auto vk = static_cast<int>(args.number("VK", 1, 254));
    const auto mask = static_cast<int>(args.number("MASK", 0, 7));
    const std::string told = "the user presses key " + std::to_string(vk) + " (mask " + std::to_string(mask) +
                             ") in " + name;
    return [name, vk, mask, told](Runtime& rt) {
        if (RemoteOptionsDialog* dialog = rt.remoteOptionsDialog(); dialog && pageForm(name)) {
            rt.note("world", told);
            dialog->key(name, "", vk, mask);
            return;
        }
        const forms::Form* form = rt.forms().find(name);
        if (!form || !form->Loaded())
            throw std::invalid_argument("key: " + name + " is not loaded");
        rt.note("world", told);
        rt.world().loop().post([&rt, name, vk, mask] {
            // Looked up afresh at each step: a key may unload the form (an access key presses OK).
            const auto loaded = [&rt, &name]() -> forms::Form* {
                forms::Form* form = rt.forms().find(name);
                return form && form->Loaded() ? form : nullptr;
            };
            forms::Form* form = loaded();
            if (!form) {
                rt.note("forms", "the key on " + name + " finds the form unloaded");
                return;
            }
            const std::string modal = modalOver(rt, *form);
            const std::string refused = !form->Visible()   ? name + " is hidden"
                                        : !form->Enabled() ? name + " is disabled"
                                        : modal.empty()    ? ""
                                                           : modal + " is open over " + name;
            if (!refused.empty()) {
                rt.note("forms", "the key does not reach " + name + ": " + refused);
                return;
            }
            const forms::Control* before = form->ActiveControl();
            platform::guardEntry("the key on " + name, [&] {
                if (!forms::KeyboardNavigator(*form).keyDown(vk, mask))
                    rt.note("forms", "no control of " + name + " takes the key");
                if (forms::Form* still = loaded())
                    forms::KeyboardNavigator(*still).keyUp(vk, mask);
            });
            if (forms::Form* still = loaded(); still && still->ActiveControl() != before)
                rt.note("forms", still->ActiveControl() ? name + "." + still->ActiveControl()->Name() + " has the focus"
                                                        : "no control of " + name + " has the focus");
        });
    };
}

Action parseKey(Args& args)
{
    if (const Token* first = args.peek(); first && first->text.isPlain() && knownForm(first->text.plain()))
        return parseFormKey(args);
    const Named named = inputControl(args, "key", kFocusControls | bit(K::Slider), "a text box, a list box or a slider");
    const auto vk = static_cast<int>(args.number("VK", 1, 254));
    const auto mask = static_cast<int>(args.number("MASK", 0, 7));
    return postInput<forms::Control>(named, {"key", "the key"},
                                     "the user presses key " + std::to_string(vk) + " (mask " + std::to_string(mask) +
                                         ") in " + named.path(),
                                     [vk, mask](Runtime&, forms::Control& control) {
                                         if (auto* slider = dynamic_cast<forms::Slider*>(&control))
                                             slider->userKey(vk, mask);
                                         else if (auto* input = dynamic_cast<forms::InputControl*>(&control))
                                             input->userKey(vk, mask);
                                     },
                                     [named, vk, mask](RemoteOptionsDialog& dialog) {
                                         dialog.key(named.form, named.control, vk, mask);
                                     });
}

Action parseEnter(Args& args)
{
    const Named named = inputControl(args, "enter", bit(K::TextBox), "a text box");
    return postInput<forms::TextBox>(named, {"enter", "the Enter key"}, "the user presses Enter in " + named.path(),
                                     [](Runtime&, forms::TextBox& box) { box.userEnter(); },
                                     [named](RemoteOptionsDialog& dialog) {
                                         dialog.key(named.form, named.control, kVkReturn, 0);
                                     });
}

Action parseSelect(Args& args)
{
    const Named named = inputControl(args, "select", bit(K::ListBox), "a list box");
    const auto index = static_cast<int>(args.number("INDEX", -1, 32767));
    return postInput<forms::ListBox>(named, {"select", "the selection"},
                                     index < 0 ? "the user clears the selection of " + named.path()
                                               : "the user selects row " + std::to_string(index) + " of " + named.path(),
                                     [index](Runtime&, forms::ListBox& list) {
                                         // A click: the button goes down over the box (its
                                         // MouseDown), the row is selected, the button comes up.
                                         list.userMouseDown();
                                         list.userSelect(index);
                                         list.userMouseUp();
                                     },
                                     [named, index](RemoteOptionsDialog& dialog) {
                                         // No click on a list clears its selection.
                                         if (index < 0)
                                             throw std::invalid_argument("select: no click clears the selection of " +
                                                                         named.path() + " in Outlook's dialog");
                                         dialog.selectRow(named.form, named.control, index);
                                     });
}

Action parseMouseDown(Args& args)
{
    const Named named = inputControl(args, "mousedown", kFocusControls, "a text box or a list box");
    return postInput<forms::InputControl>(named, {"mousedown", "the mouse button"},
                                          "the user presses the mouse button over " + named.path(),
                                          [](Runtime&, forms::InputControl& control) { control.userMouseDown(); });
}

Action parseSlide(Args& args)
{
    const Named named = inputControl(args, "slide", bit(K::Slider), "a slider");
    const auto position = static_cast<int>(args.number("N", -32768, 32767));
    return postInput<forms::Slider>(named, {"slide", "the slide"},
                                    "the user slides " + named.path() + " to " + std::to_string(position),
                                    [position](Runtime&, forms::Slider& slider) { slider.userSlide(position); },
                                    [named, position](RemoteOptionsDialog& dialog) {
                                        dialog.slide(named.form, named.control, position);
                                    });
}

Action parseTab(Args& args)
{
    const Named named = inputControl(args, "tab", bit(K::TabStrip), "a tab strip");
    const auto index = static_cast<int>(args.number("INDEX", 0, 32767));
    return postInput<forms::TabStrip>(named, {"tab", "the tab click"},
                                      "the user clicks tab " + std::to_string(index) + " of " + named.path(),
                                      [named, index](Runtime& rt, forms::TabStrip& strip) {
                                          if (index >= strip.Tabs())
                                              rt.note("forms", named.path() + " has no tab " + std::to_string(index));
                                          strip.userClickTab(index);
                                          if (index < strip.Tabs() && strip.CurrentTab() != index)
                                              rt.note("forms", named.path() + " stays on tab " +
                                                                   std::to_string(strip.CurrentTab()));
                                      },
                                      [named, index](RemoteOptionsDialog& dialog) {
                                          dialog.clickTab(named.form, named.control, index);
                                      });
}

Action parseColor(Args& args)
{
    const Named named = inputControl(args, "color", bit(K::ColorPicker), "a colour picker");
    const auto colour = static_cast<std::uint32_t>(args.number("N", 0, UINT32_MAX));
    return postInput<forms::ColorPicker>(named, {"color", "the colour pick"},
                                         "the user picks colour " + formatColour(colour) + " in " + named.path(),
                                         [colour](Runtime&, forms::ColorPicker& picker) {
                                             picker.userPickColour(colour);
                                         },
                                         [named, colour](RemoteOptionsDialog& dialog) {
                                             dialog.pickColour(named.form, named.control, colour);
                                         });
}

// ---- close FORM -------------------------------------------------------------------------------------

// The user closes a form with its window's close box. Only the forms whose windows have one the
// system answers to take it: the window position dialog.
Action parseClose(Args& args)
{
    const Token* token = args.peek();
    const std::string name = args.word("FORM");
    if (!knownForm(name))
        args.failAt(*token, "close: unknown form '" + name + "' (" + knownFormNames() + ")");
    if (name != "frmWinPos")
        args.failAt(*token, "close: " + name + " has no close box the user can use (frmWinPos has)");
    requireOpenPage(args, *token, Named{name, "", K::Form}, "close");
    return [name](Runtime& rt) {
        rt.needPageInProcess("its window's close box; click frmWinPos.btnCancel there");
        const forms::Form* form = rt.forms().find(name);
        if (!form || !form->Loaded())
            throw std::invalid_argument("close: " + name + " is not loaded");
        rt.note("world", "the user closes " + name + " with its close box");
        rt.world().loop().post([&rt, name] {
            auto* dialog = dynamic_cast<options::frmWinPos*>(rt.forms().find(name));
            if (!dialog || !dialog->Loaded()) {
                rt.note("forms", "the close box of " + name + " finds the form unloaded");
                return;
            }
            platform::guardEntry("the close box of " + name, [&] { dialog->userCloseBox(); });
        });
    };
}

// ---- expect CONTROL PROPERTY VALUE ---------------------------------------------------------------

constexpr unsigned kCaptioned = bit(K::CommandButton) | bit(K::CheckBox) | bit(K::Label) | bit(K::GlintButton) |
                                bit(K::OptionButton) | bit(K::Frame) | bit(K::TabStrip) | bit(K::FlairButton);
// The controls whose text is in a font of their own.
constexpr unsigned kFonted = kCaptioned | bit(K::TextBox) | bit(K::ListBox);
constexpr unsigned kControls = kCaptioned | bit(K::PictureBox) | bit(K::Panel) | bit(K::Line) | bit(K::TextBox) |
                               bit(K::ListBox) | bit(K::Slider) | bit(K::ColorPicker);

std::string boolText(bool value) { return value ? "true" : "false"; }

const forms::CaptionedControl* captioned(const forms::Control* control)
{
    return dynamic_cast<const forms::CaptionedControl*>(control);
}

const glint::GlintButton* glintButton(const forms::Control* control)
{
    return dynamic_cast<const glint::GlintButton*>(control);
}

const flair::FlairButton* flairButton(const forms::Control* control)
{
    return dynamic_cast<const flair::FlairButton*>(control);
}

// The caption and font of a captioned intrinsic control or of a skinned or FlairButton (the
// FlairButton's caption label's own font, as it shows).
std::optional<std::string> captionOf(const forms::Control* c)
{
    if (const auto* b = glintButton(c))
        return b->Caption();
    if (const auto* b = flairButton(c))
        return b->Caption();
    return captioned(c) ? std::optional(captioned(c)->Caption()) : std::nullopt;
}

struct FontFacts {
    std::string name;
    double size;
    bool bold;
};

std::optional<FontFacts> fontOf(const forms::Control* c)
{
    if (const auto* b = glintButton(c))
        return FontFacts{b->FontName(), b->FontSize(), b->FontBold()};
    if (const auto* b = flairButton(c)) {
        const forms::StdFont& font = b->lbl().Font();
        return FontFacts{font.Name, font.Size, font.Bold};
    }
    if (const auto* x = captioned(c))
        return FontFacts{x->FontName(), x->FontSize(), x->FontBold()};
    return std::nullopt;
}

// `value` of each kind that has one: a check box 0, 1 or 2; an option button true or false; a
// slider its position; a tab strip its current tab (from 0); a skinned button its Value; a
// FlairButton its State (3 for a check-style button that is checked, 0 for one that is not).
std::optional<std::string> valueOf(const forms::Control* c)
{
    if (const auto* b = glintButton(c))
        return std::to_string(b->Value());
    if (const auto* b = flairButton(c))
        return std::to_string(static_cast<std::int32_t>(b->State()));
    if (const auto* box = dynamic_cast<const forms::CheckBox*>(c))
        return std::to_string(box->Value());
    if (const auto* option = dynamic_cast<const forms::OptionButton*>(c))
        return boolText(option->Value());
    if (const auto* slider = dynamic_cast<const forms::Slider*>(c))
        return std::to_string(slider->Value());
    if (const auto* strip = dynamic_cast<const forms::TabStrip*>(c))
        return std::to_string(strip->CurrentTab());
    return std::nullopt;
}

template <double (forms::Control::*get)() const>
std::optional<std::string> readTwips(const forms::Form&, const forms::Control* control)
{
    return control ? std::optional(formatDecimal((control->*get)())) : std::nullopt;
}

using Reader = std::optional<std::string> (*)(const forms::Form&, const forms::Control*);

struct Property {
    std::string_view name;
    ValueKind kind;
    unsigned owners;  // the kinds that have it, as bits
    Reader read;      // control nullptr: the form's own
    unsigned booleanOwners = 0;  // the owners whose value is true or false rather than of `kind`
};

ValueKind kindFor(const Property& property, ControlKind owner)
{
    return property.booleanOwners & bit(owner) ? ValueKind::Boolean : property.kind;
}

// The language's properties, in its order.
constexpr Property kProperties[] = {
    {"visible", ValueKind::Boolean, kControls | bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) {
         return std::optional(boolText(c ? c->Visible() : f.Visible()));
     }},
    {"enabled", ValueKind::Boolean, kControls | bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) {
         return std::optional(boolText(c ? c->Enabled() : f.Enabled()));
     }},
    {"caption", ValueKind::Text, kCaptioned | bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) -> std::optional<std::string> {
         return c ? captionOf(c) : std::optional(f.Caption());
     }},
    {"text", ValueKind::Text, bit(K::TextBox),
     [](const forms::Form&, const forms::Control* c) -> std::optional<std::string> {
         const auto* box = dynamic_cast<const forms::TextBox*>(c);
         return box ? std::optional(box->Text()) : std::nullopt;
     }},
    {"value", ValueKind::Number,
     bit(K::CheckBox) | bit(K::GlintButton) | bit(K::FlairButton) | bit(K::OptionButton) | bit(K::Slider) |
         bit(K::TabStrip),
     [](const forms::Form&, const forms::Control* c) { return valueOf(c); }, bit(K::OptionButton)},
    {"left", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Left>},
    {"top", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Top>},
    {"width", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Width>},
    {"height", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Height>},
    // A colour picker's is the colour it holds.
    {"backcolor", ValueKind::Colour, kControls | bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) {
         if (const auto* picker = dynamic_cast<const forms::ColorPicker*>(c))
             return std::optional(formatColour(picker->Color()));
         return std::optional(formatColour(c ? c->BackColor() : f.BackColor()));
     }},
    {"forecolor", ValueKind::Colour, kControls,
     [](const forms::Form&, const forms::Control* c) {
         return c ? std::optional(formatColour(c->ForeColor())) : std::nullopt;
     }},
    {"fontname", ValueKind::Text, kFonted,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(font->name) : std::nullopt;
     }},
    {"fontsize", ValueKind::Decimal, kFonted,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(formatDecimal(font->size)) : std::nullopt;
     }},
    {"fontbold", ValueKind::Boolean, kFonted,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(boolText(font->bold)) : std::nullopt;
     }},
    // Every row followed by "|", so that an empty list reads "" and a list of one empty row "|".
    {"rows", ValueKind::Text, bit(K::ListBox),
     [](const forms::Form&, const forms::Control* c) -> std::optional<std::string> {
         const auto* list = dynamic_cast<const forms::ListBox*>(c);
         if (!list)
             return std::nullopt;
         std::string rows;
         for (int i = 0; i < list->ListCount(); ++i)
             rows += list->List(i) + "|";
         return rows;
     }},
    {"listindex", ValueKind::Number, bit(K::ListBox),
     [](const forms::Form&, const forms::Control* c) -> std::optional<std::string> {
         const auto* list = dynamic_cast<const forms::ListBox*>(c);
         return list ? std::optional(std::to_string(list->ListIndex())) : std::nullopt;
     }},
    {"tooltip", ValueKind::Text, kControls,
     [](const forms::Form&, const forms::Control* c) {
         return c ? std::optional(c->ToolTipText()) : std::nullopt;
     }},
    // The name of the control with the focus, "" for none.
    {"activecontrol", ValueKind::Text, bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) -> std::optional<std::string> {
         if (c)
             return std::nullopt;
         return f.ActiveControl() ? f.ActiveControl()->Name() : std::string();
     }},
};

const Property* findProperty(std::string_view name)
{
    const auto it = std::find_if(std::begin(kProperties), std::end(kProperties),
                                 [&](const Property& p) { return p.name == name; });
    return it == std::end(kProperties) ? nullptr : &*it;
}

std::string propertyNames(unsigned owners)
{
    std::string out;
    for (const Property& p : kProperties)
        if (owners == ~0u || (p.owners & owners))
            appendListItem(out, p.name);
    return out;
}

std::string describeValue(const std::string& value, ValueKind kind)
{
    return kind == ValueKind::Text ? quoteText(value) : value;
}

} // namespace

// `expect CONTROL PROPERTY VALUE`: FORM.CONTROL, a bare CONTROL of frmNewMail, or a form's name.
Action parseControlCheck(Args& args)
{
    const Token& subject = args.next("CHECK");
    const std::string name = subject.text.isPlain() ? subject.text.plain() : subject.source;
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos && !knownForm(name.substr(0, dot)))
        args.failAt(subject, "expect: unknown form '" + name.substr(0, dot) + "' (" + knownFormNames() + ")");
    const Token* token = args.peek();
    const Property* property = token && token->text.isPlain() ? findProperty(token->text.plain()) : nullptr;
    if (!property) {
        if (dot == std::string::npos && !knownForm(name) && !looksLikeControl(name))
            args.failAt(subject, "expect: unknown check '" + name + "' (see qln-sim --help)");
        const std::string given = token ? "'" + token->source + "'" : "(none given)";
        args.fail("expect " + name + ": unknown property " + given + " (" + propertyNames(~0u) + ")");
    }
    args.next("PROPERTY");
    args.setCommand(nullptr, "expect " + name + " " + std::string(property->name));
    const Named named = resolveName(args, subject, "expect", Want::ControlOrForm);
    const std::string what = "expect " + name + " " + std::string(property->name);
    if (!(property->owners & bit(named.kind)))
        args.failAt(*token, what + ": " + named.path() + " is " + std::string(describeKind(named.kind)) +
                                ", which has no " + std::string(property->name) + " (it has " +
                                propertyNames(bit(named.kind)) + ")");
    const ValueKind kind = kindFor(*property, named.kind);
    const Text expected = args.value("VALUE", kind);
    return [named, property, kind, expected](Runtime& rt) {
        if (notifierForm(named.form))
            rt.needNotifierInProcess("the properties of its forms' controls");
        if (pageForm(named.form))
            rt.needPageInProcess("the properties of its controls");
        const std::string want = rt.resolve(expected);
        const std::string wanted = describeValue(want, kind);
        const forms::Form* form = rt.forms().find(named.form);
        if (!form)
            Runtime::expect(false, wanted, named.form + " " + rt.describeMissingForm(named.form));
        const forms::Control* control = named.control.empty() ? nullptr : form->control(named.control);
        if (!named.control.empty() && !control)
            Runtime::expect(false, wanted, named.form + " has no control " + named.control);
        const std::optional<std::string> found = property->read(*form, control);
        if (!found)
            Runtime::expect(false, wanted, named.path() + " has no " + std::string(property->name));
        Runtime::expect(*found == want, wanted, describeValue(*found, kind));
    };
}

namespace {

// ---- expect form, timer -------------------------------------------------------------------------------

Action parseExpectForm(Args& args)
{
    const Token* token = args.peek();
    const std::string name = args.word("FORM");
    if (!knownForm(name))
        args.failAt(*token, "expect form: unknown form '" + name + "' (" + knownFormNames() + ")");
    const std::string look = args.choice("state", {"shown", "hidden", "unloaded"});
    return [name, look](Runtime& rt) {
        if (notifierForm(name))
            rt.needNotifierInProcess("its forms");
        if (pageForm(name))
            rt.needPageInProcess("its forms");
        const forms::Form* form = rt.forms().find(name);
        const std::string found = !form || !form->Loaded() ? "unloaded" : form->Visible() ? "shown" : "hidden";
        Runtime::expect(found == look, look, found + (form ? "" : " (" + name + " " + rt.describeMissingForm(name) + ")"));
    };
}

// A picture is PNG, whatever the file's name; a name without the ending is taken for a slip.
bool namesPng(std::string_view file)
{
    if (file.size() <= 4)
        return false;
    std::string ending(file.substr(file.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return ending == ".png";
}

Action parseSnapshot(Args& args)
{
    const Token* fileToken = args.peek();
    const std::string file = args.word("FILE.png");
    if (!namesPng(file))
        args.failAt(*fileToken, "snapshot: the file's name must end in .png, not '" + file + "'");
    std::string form;
    if (const Token* formToken = args.peek()) {
        form = args.word("FORM");
        if (!knownForm(form))
            args.failAt(*formToken, "snapshot: unknown form '" + form + "' (" + knownFormNames() + ")");
    }
    return [file, form](Runtime& rt) {
        if (notifierForm(form))
            rt.needNotifierInProcess("the picture of one of its forms; `snapshot FILE` takes the screen");
        if (pageForm(form))
            rt.needPageInProcess("the picture of one of its forms; `snapshot FILE` takes the screen");
        rt.snapshot(file, form);
    };
}

Action parseExpectTimer(Args& args)
{
    const Named named = resolveName(args, args.next("NAME"), "expect timer", Want::Timer);
    const bool on = args.choice("state", {"on", "off"}) == "on";
    return [named, on](Runtime& rt) {
        if (notifierForm(named.form))
            rt.needNotifierInProcess("its timers");
        if (pageForm(named.form))
            rt.needPageInProcess("its timers");
        const forms::Form* form = rt.forms().find(named.form);
        const platform::Timer* timer = form ? form->timer(named.control) : nullptr;
        // A form never created has no running timer.
        const bool running = timer && timer->Enabled();
        Runtime::expect(running == on, on ? "on" : "off",
                        std::string(running ? "on" : "off") +
                            (!form    ? " (" + named.form + " " + rt.describeMissingForm(named.form) + ")"
                             : !timer ? " (" + named.form + " has no timer " + named.control + ")"
                                      : ""));
    };
}

// ---- message boxes -----------------------------------------------------------------------------------

std::string describeIcon(std::uint32_t type)
{
    switch (type & platform::mb::IconMask) {
    case 0: return "none";
    case platform::mb::IconStop: return "stop";
    case platform::mb::IconQuestion: return "question";
    case platform::mb::IconExclamation: return "exclamation";
    case platform::mb::IconInformation: return "information";
    }
    return "0x" + std::to_string(type & platform::mb::IconMask);
}

std::string describeBox(const platform::sim::SimDesktop::MessageBoxRecord& box)
{
    return quoteText(box.text) + " title " + quoteText(box.caption) + " icon " + describeIcon(box.type);
}

Action parseExpectMsgbox(Args& args)
{
    const Text text = args.text("TEXT");
    std::optional<Text> title;
    bool stopIcon = false;
    while (!args.atEnd()) {
        const std::string option = args.choice("option", {"title", "icon"});
        if (option == "title") {
            if (title)
                args.fail("expect msgbox: option 'title' given twice");
            title = args.text("TEXT");
        } else {
            if (stopIcon)
                args.fail("expect msgbox: option 'icon' given twice");
            // The critical-stop icon goes by both names.
            args.choice("ICON", {"stop", "critical"});
            stopIcon = true;
        }
    }
    return [text, title, stopIcon](Runtime& rt) {
        const std::string wantText = rt.resolve(text);
        const std::optional<std::string> wantTitle = title ? std::optional(rt.resolve(*title)) : std::nullopt;
        std::string wanted = quoteText(wantText);
        if (wantTitle)
            wanted += " title " + quoteText(*wantTitle);
        if (stopIcon)
            wanted += " icon stop";
        const auto& boxes = rt.worldDesktop().messageBoxes();
        const std::size_t next = rt.checkedMessageBoxes();
        if (next >= boxes.size())
            Runtime::expect(false, wanted, "no message box not yet checked (" + std::to_string(boxes.size()) +
                                               " shown in all)");
        const auto& box = boxes[next];
        rt.messageBoxChecked();
        const bool held = box.text == wantText && (!wantTitle || box.caption == *wantTitle) &&
                          (!stopIcon || (box.type & platform::mb::IconMask) == platform::mb::IconStop);
        Runtime::expect(held, wanted, describeBox(box));
    };
}

Action parseExpectNoMsgbox(Args&)
{
    return [](Runtime& rt) {
        const auto& boxes = rt.worldDesktop().messageBoxes();
        const std::size_t next = rt.checkedMessageBoxes();
        const std::size_t left = boxes.size() > next ? boxes.size() - next : 0;
        Runtime::expect(left == 0, "every message box checked",
                        left == 0 ? "none left"
                                  : describeBox(boxes[next]) +
                                        (left > 1 ? " and " + std::to_string(left - 1) + " more" : ""));
    };
}

} // namespace

std::vector<CommandSpec> formsCommands()
{
    return {
        {.name = "click", .usage = "click CONTROL",
         .summary = "a left click (FORM.CONTROL; a bare CONTROL is frmNewMail's)", .parse = &parseClick},
        {.name = "mouse", .usage = "mouse CONTROL down|move|up X Y [BUTTON]",
         .summary = "the mouse on a skinned button or a FlairButton, in its pixels\n"
                    "(BUTTON: 1 left, 2 right, 4 middle; down and up default to 1,\n"
                    "move to none held)",
         .parse = &parseMouse},
        {.name = "set", .usage = "set CONTROL TEXT", .summary = "the user replaces a text box's text (it takes the focus)",
         .parse = &parseSet},
        {.name = "blur", .usage = "blur CONTROL", .summary = "the focus leaves a text box or a list box (its Validate runs)",
         .parse = &parseBlur},
        {.name = "key", .usage = "key CONTROL|FORM VK MASK",
         .summary = "key down and up in a text box, list box or slider, or in a\nform's window: Tab, access keys, then the focused control\n(MASK: 1 Shift, 2 Ctrl, 4 Alt)",
         .parse = &parseKey},
        {.name = "enter", .usage = "enter CONTROL", .summary = "Enter pressed in a text box", .parse = &parseEnter},
        {.name = "select", .usage = "select CONTROL INDEX", .summary = "the user clicks a list row (-1 for none)",
         .parse = &parseSelect},
        {.name = "mousedown", .usage = "mousedown CONTROL",
         .summary = "a mouse button goes down over a list box or a text box", .parse = &parseMouseDown},
        {.name = "slide", .usage = "slide CONTROL N", .summary = "the user drags a slider's thumb to N (held to its range)",
         .parse = &parseSlide},
        {.name = "tab", .usage = "tab CONTROL INDEX", .summary = "the user clicks a tab (from 0)", .parse = &parseTab},
        {.name = "color", .usage = "color CONTROL N", .summary = "the user picks a colour in a colour picker",
         .parse = &parseColor},
        {.name = "close", .usage = "close FORM",
         .summary = "the user closes a form with its window's close box (frmWinPos)", .parse = &parseClose},
        {.name = "snapshot", .usage = "snapshot FILE.png [FORM]",
         .summary = "the screen, or one form alone, as a PNG under --out", .parse = &parseSnapshot},
    };
}

std::vector<CommandSpec> formsChecks()
{
    return {
        {.name = "form", .usage = "expect form FORM shown|hidden|unloaded",
         .summary = "a form's state (one never created is unloaded)", .parse = &parseExpectForm},
        {.name = "msgbox", .usage = "expect msgbox TEXT [title TEXT] [icon stop|critical]",
         .summary = "the oldest message box not yet checked", .parse = &parseExpectMsgbox},
        {.name = "no-msgbox", .usage = "expect no-msgbox", .summary = "every message box has been checked",
         .parse = &parseExpectNoMsgbox},
        {.name = "timer", .usage = "expect timer NAME on|off",
         .summary = "a form's timer (FORM.tmrNAME; a bare tmrNAME is frmNewMail's)", .parse = &parseExpectTimer},
        {.name = "", .usage = "expect CONTROL PROPERTY VALUE",
         .summary = "a control's property: visible enabled caption text value rows\n"
                    "listindex tooltip left top width height (twips) backcolor\n"
                    "forecolor fontname fontsize fontbold; a form's caption visible\n"
                    "enabled backcolor activecontrol",
         .parse = &parseControlCheck},
    };
}

} // namespace qln::runner
