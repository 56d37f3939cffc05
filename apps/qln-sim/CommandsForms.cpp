// The forms: the user's clicks on their controls, and the checks of forms, controls, timers and
// message boxes. Names are checked against the known forms (KnownForms) before the run; the forms
// themselves are found when the line runs, through the runtime's FormsHost.

#include <algorithm>
#include <optional>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/KnownForms.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "controls/glintbutton/GlintButton.h"
#include "platform/forms/Form.h"

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

// ---- click -------------------------------------------------------------------------------------------

// Why a click does not reach a control of a loaded form.
std::string unreachable(const forms::Control& control)
{
    const forms::Form& form = control.parent();
    if (!form.Visible())
        return form.Name() + " is hidden";
    if (!form.Enabled())
        return form.Name() + " is disabled";
    return control.Visible() ? "it is disabled" : "it is hidden";
}

Action parseClick(Args& args)
{
    const Named named = resolveName(args, args.next("CONTROL"), "click", Want::Control);
    return [named](Runtime& rt) {
        const forms::Form* form = rt.forms().find(named.form);
        if (!form || !form->Loaded())
            throw std::invalid_argument("click: " + named.form + " is not loaded");
        if (!form->control(named.control))
            throw std::invalid_argument("click: " + named.form + " has no control " + named.control);
        rt.note("world", "the user clicks " + named.path());
        // The click is an event like any other: in a batch it waits for `end`, and by then the form
        // may look different, so it is found again.
        rt.world().loop.post([&rt, named] {
            const forms::Form* now = rt.forms().find(named.form);
            forms::Control* control = now && now->Loaded() ? now->control(named.control) : nullptr;
            if (!control) {
                rt.note("forms", "the click on " + named.path() + " finds the form unloaded");
                return;
            }
            if (!control->reactsToUser()) {
                rt.note("forms", "the click does not reach " + named.path() + ": " + unreachable(*control));
                return;
            }
            control->userClick();
        });
    };
}

// ---- mouse CONTROL down|move|up X Y [BUTTON] -------------------------------------------------------

Action parseMouse(Args& args)
{
    const Token& token = args.next("CONTROL");
    const Named named = resolveName(args, token, "mouse", Want::Control);
    if (named.kind != K::GlintButton)
        args.failAt(token, "mouse: " + named.path() + " is " + std::string(describeKind(named.kind)) +
                               "; only the skinned buttons take mouse events by pixel");
    const std::string what = args.choice("down|move|up", {"down", "move", "up"});
    const auto x = static_cast<int>(args.number("X", -32768, 32767));
    const auto y = static_cast<int>(args.number("Y", -32768, 32767));
    // The buttons held: 1 left, 2 right, 4 middle. A move holds none unless told.
    const auto button = static_cast<int>(args.atEnd() ? (what == "move" ? 0 : 1) : args.number("BUTTON", 0, 7));
    return [named, what, x, y, button](Runtime& rt) {
        const forms::Form* form = rt.forms().find(named.form);
        if (!form || !form->Loaded())
            throw std::invalid_argument("mouse: " + named.form + " is not loaded");
        rt.note("world", "the mouse " + what + " at " + std::to_string(x) + "," + std::to_string(y) +
                             " on " + named.path() + (button ? " (buttons " + std::to_string(button) + ")" : ""));
        rt.world().loop.post([&rt, named, what, x, y, button] {
            const forms::Form* now = rt.forms().find(named.form);
            auto* target = now && now->Loaded() ? dynamic_cast<glint::GlintButton*>(now->control(named.control))
                                                : nullptr;
            if (!target) {
                rt.note("forms", "the mouse on " + named.path() + " finds the form unloaded");
                return;
            }
            if (!target->reactsToUser()) {
                rt.note("forms", "the mouse does not reach " + named.path() + ": " + unreachable(*target));
                return;
            }
            if (what == "down")
                target->mouseDown(button, 0, x, y);
            else if (what == "move")
                target->mouseMove(button, 0, x, y);
            else
                target->mouseUp(button, 0, x, y);
        });
    };
}

// ---- expect CONTROL PROPERTY VALUE ---------------------------------------------------------------

constexpr unsigned bit(ControlKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr unsigned kCaptioned = bit(K::CommandButton) | bit(K::CheckBox) | bit(K::Label) | bit(K::GlintButton);
constexpr unsigned kControls = kCaptioned | bit(K::PictureBox) | bit(K::Panel) | bit(K::Line);
constexpr unsigned kNone = 0;

std::string boolText(bool value) { return value ? "true" : "false"; }

const forms::CaptionedControl* captioned(const forms::Control* control)
{
    return dynamic_cast<const forms::CaptionedControl*>(control);
}

const glint::GlintButton* glintButton(const forms::Control* control)
{
    return dynamic_cast<const glint::GlintButton*>(control);
}

// The caption and font of a captioned intrinsic control or of a skinned button.
std::optional<std::string> captionOf(const forms::Control* c)
{
    if (const auto* b = glintButton(c))
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
    if (const auto* x = captioned(c))
        return FontFacts{x->FontName(), x->FontSize(), x->FontBold()};
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
    unsigned owners;  // the kinds that have it, as bits; none for the language's properties no control has yet
    Reader read;      // control nullptr: the form's own
};

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
    {"text", ValueKind::Text, kNone, nullptr},
    {"value", ValueKind::Number, bit(K::CheckBox) | bit(K::GlintButton),
     [](const forms::Form&, const forms::Control* c) -> std::optional<std::string> {
         if (const auto* b = glintButton(c))
             return std::to_string(b->Value());
         const auto* box = dynamic_cast<const forms::CheckBox*>(c);
         return box ? std::optional(std::to_string(box->Value())) : std::nullopt;
     }},
    {"left", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Left>},
    {"top", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Top>},
    {"width", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Width>},
    {"height", ValueKind::Decimal, kControls, &readTwips<&forms::Control::Height>},
    {"backcolor", ValueKind::Colour, kControls | bit(K::Form),
     [](const forms::Form& f, const forms::Control* c) {
         return std::optional(formatColour(c ? c->BackColor() : f.BackColor()));
     }},
    {"forecolor", ValueKind::Colour, kControls,
     [](const forms::Form&, const forms::Control* c) {
         return c ? std::optional(formatColour(c->ForeColor())) : std::nullopt;
     }},
    {"fontname", ValueKind::Text, kCaptioned,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(font->name) : std::nullopt;
     }},
    {"fontsize", ValueKind::Decimal, kCaptioned,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(formatDecimal(font->size)) : std::nullopt;
     }},
    {"fontbold", ValueKind::Boolean, kCaptioned,
     [](const forms::Form&, const forms::Control* c) {
         const auto font = fontOf(c);
         return font ? std::optional(boolText(font->bold)) : std::nullopt;
     }},
    {"rows", ValueKind::Text, kNone, nullptr},
    {"listindex", ValueKind::Number, kNone, nullptr},
    {"tooltip", ValueKind::Text, kControls,
     [](const forms::Form&, const forms::Control* c) {
         return c ? std::optional(c->ToolTipText()) : std::nullopt;
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
    const Text expected = args.value("VALUE", property->kind);
    return [named, property, expected](Runtime& rt) {
        const std::string want = rt.resolve(expected);
        const std::string wanted = describeValue(want, property->kind);
        const forms::Form* form = rt.forms().find(named.form);
        if (!form)
            Runtime::expect(false, wanted, named.form + " was never created");
        const forms::Control* control = named.control.empty() ? nullptr : form->control(named.control);
        if (!named.control.empty() && !control)
            Runtime::expect(false, wanted, named.form + " has no control " + named.control);
        const std::optional<std::string> found = property->read(*form, control);
        if (!found)
            Runtime::expect(false, wanted, named.path() + " has no " + std::string(property->name));
        Runtime::expect(*found == want, wanted, describeValue(*found, property->kind));
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
        const forms::Form* form = rt.forms().find(name);
        const std::string found = !form || !form->Loaded() ? "unloaded" : form->Visible() ? "shown" : "hidden";
        Runtime::expect(found == look, look, found + (form ? "" : " (never created)"));
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
    return [file, form](Runtime& rt) { rt.snapshot(file, form); };
}

Action parseExpectTimer(Args& args)
{
    const Named named = resolveName(args, args.next("NAME"), "expect timer", Want::Timer);
    const bool on = args.choice("state", {"on", "off"}) == "on";
    return [named, on](Runtime& rt) {
        const forms::Form* form = rt.forms().find(named.form);
        const platform::Timer* timer = form ? form->timer(named.control) : nullptr;
        // A form never created has no running timer.
        const bool running = timer && timer->Enabled();
        Runtime::expect(running == on, on ? "on" : "off",
                        std::string(running ? "on" : "off") +
                            (!form    ? " (" + named.form + " was never created)"
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
        const auto& boxes = rt.world().desktop.messageBoxes();
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
        const auto& boxes = rt.world().desktop.messageBoxes();
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
         .summary = "the mouse on a skinned button, in its pixels (BUTTON: 1 left, 2 right, 4 middle;\n"
                    "down and up default to 1, move to none held)",
         .parse = &parseMouse},
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
         .summary = "a control's property: visible enabled caption value tooltip\n"
                    "left top width height (twips) backcolor forecolor fontname\n"
                    "fontsize fontbold; a form's caption visible enabled backcolor",
         .parse = &parseControlCheck},
    };
}

} // namespace qln::runner
