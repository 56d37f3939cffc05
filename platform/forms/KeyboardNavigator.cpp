#include "platform/forms/KeyboardNavigator.h"

#include <string>

#include "platform/fonts/TextLayout.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"
#include "platform/forms/InputControl.h"
#include "platform/forms/Label.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/UserControl.h"

namespace forms {

namespace {

constexpr int kModifiers = InputControl::vbShiftMask | InputControl::vbCtrlMask | InputControl::vbAltMask;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool isAccessChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isArrow(int keyCode) { return keyCode >= InputControl::vbKeyLeft && keyCode <= InputControl::vbKeyDown; }

// The buttons pressed by Space and by their access key.
bool isPushed(const Control& control)
{
    return dynamic_cast<const CommandButton*>(&control) || dynamic_cast<const CheckBox*>(&control) ||
           dynamic_cast<const OptionButton*>(&control);
}

} // namespace

bool KeyboardNavigator::takesFocus(const Control& control)
{
    const bool kind = dynamic_cast<const InputControl*>(&control) || isPushed(control) ||
                      dynamic_cast<const Slider*>(&control) || dynamic_cast<const TabStrip*>(&control) ||
                      dynamic_cast<const ColorPicker*>(&control) || dynamic_cast<const UserControl*>(&control);
    return kind && control.reactsToUser();
}

bool KeyboardNavigator::isTabStop(const Control& control) const
{
    if (!control.TabStop() || !takesFocus(control))
        return false;
    const auto* option = dynamic_cast<const OptionButton*>(&control);
    if (!option || option->Value())
        return true;
    // An option button that is not selected: the stop only of a group without a selected button,
    // and then only its first.
    const Control* first = nullptr;
    for (const auto& other : form_.controls()) {
        const auto* sibling = dynamic_cast<const OptionButton*>(other.get());
        if (!sibling || sibling->Container() != control.Container())
            continue;
        if (sibling->Value())
            return false;
        if (!first && takesFocus(*sibling))
            first = sibling;
    }
    return first == &control;
}

std::vector<Control*> KeyboardNavigator::tabStops() const
{
    std::vector<Control*> stops;
    for (const auto& control : form_.controls())
        if (isTabStop(*control))
            stops.push_back(control.get());
    return stops;
}

template <class Wanted>
Control* KeyboardNavigator::nextAfter(const Control* from, bool backwards, Wanted wanted) const
{
    const auto& controls = form_.controls();
    const std::size_t count = controls.size();
    std::size_t start = count;  // "before the first" (or after the last, going backwards)
    for (std::size_t i = 0; i < count; ++i)
        if (controls[i].get() == from)
            start = i;
    for (std::size_t step = 1; step <= count; ++step) {
        std::size_t index = 0;
        if (start == count)
            index = backwards ? count - step : step - 1;
        else
            index = backwards ? (start + count - step) % count : (start + step) % count;
        if (wanted(*controls[index]))
            return controls[index].get();
    }
    return nullptr;
}

bool KeyboardNavigator::moveFocus(Control& control)
{
    if (!takesFocus(control))
        return false;
    Control* from = form_.ActiveControl();
    if (from == &control)
        return true;
    if (auto* input = dynamic_cast<InputControl*>(from)) {
        if (!input->userBlur())
            return false;
    } else if (from) {
        form_.noteFocus(nullptr);
        form_.invalidate();  // its focus frame goes
        if (auto* user = dynamic_cast<UserControl*>(from))
            user->lostFocus();
    }
    // A Validate or LostFocus handler may have put the control out of reach.
    if (!takesFocus(control))
        return false;
    if (auto* input = dynamic_cast<InputControl*>(&control)) {
        input->userFocus();
        return input->hasFocus();
    }
    form_.noteFocus(&control);
    form_.invalidate();
    if (auto* user = dynamic_cast<UserControl*>(&control))
        user->gotFocus();
    return true;
}

bool KeyboardNavigator::tab(bool backwards)
{
    Control* from = form_.ActiveControl();
    Control* next = nextAfter(from, backwards, [this](const Control& c) { return isTabStop(c); });
    if (!next)
        return false;
    if (wrap_ == Wrap::Stop && from) {
        // Creation order: whichever of the two comes first among the form's controls.
        Control* first = nullptr;
        for (const auto& control : form_.controls())
            if (control.get() == from || control.get() == next) {
                first = control.get();
                break;
            }
        if (next == from || (backwards ? first == from : first == next))
            return false;
    }
    moveFocus(*next);
    return true;
}

char KeyboardNavigator::captionAccessKey(std::string_view caption)
{
    const fonts::PrefixedText shown = fonts::TextLayout::processPrefix(caption);
    if (shown.underline < 0 || static_cast<std::size_t>(shown.underline) >= shown.text.size())
        return 0;
    const char key = upper(shown.text[static_cast<std::size_t>(shown.underline)]);
    return isAccessChar(key) ? key : 0;
}

bool KeyboardNavigator::hasAccessKey(const Control& control, char key)
{
    if (const auto* user = dynamic_cast<const UserControl*>(&control)) {
        for (char c : user->AccessKeys())
            if (upper(c) == key)
                return true;
        return false;
    }
    // Text and list boxes keep a caption nobody sees, and a tab strip's holds every tab's.
    if (dynamic_cast<const InputControl*>(&control) || dynamic_cast<const TabStrip*>(&control))
        return false;
    if (const auto* label = dynamic_cast<const Label*>(&control); label && !label->UseMnemonic())
        return false;
    const auto* captioned = dynamic_cast<const CaptionedControl*>(&control);
    return captioned && captionAccessKey(captioned->Caption()) == key;
}

std::string KeyboardNavigator::accessKeys() const
{
    std::string keys;
    for (const auto& control : form_.controls())
        for (char c = '0'; c <= 'Z' && control->reactsToUser(); ++c)
            if (isAccessChar(c) && keys.find(c) == std::string::npos && hasAccessKey(*control, c))
                keys += c;
    return keys;
}

bool KeyboardNavigator::accessKey(char key)
{
    key = upper(key);
    if (!isAccessChar(key))
        return false;
    Control* target = nextAfter(form_.ActiveControl(), false, [key](const Control& c) {
        return c.reactsToUser() && hasAccessKey(c, key);
    });
    if (!target)
        return false;
    if (dynamic_cast<Label*>(target) || dynamic_cast<Frame*>(target)) {
        if (Control* next = nextAfter(target, false, [](const Control& c) { return takesFocus(c); }))
            moveFocus(*next);
    } else if (auto* user = dynamic_cast<UserControl*>(target)) {
        if (moveFocus(*user))
            user->accessKeyPress(std::string(1, key));
    } else if (moveFocus(*target)) {
        target->userClick();
    }
    return true;
}

bool KeyboardNavigator::moveAmongOptions(Control& current, bool backwards)
{
    Control* next = nextAfter(&current, backwards, [&current](const Control& c) {
        return dynamic_cast<const OptionButton*>(&c) && c.Container() == current.Container() && takesFocus(c);
    });
    if (next && next != &current && moveFocus(*next))
        next->userClick();
    return true;
}

bool KeyboardNavigator::keyForFocused(Control& control, int keyCode, int shift)
{
    if (auto* input = dynamic_cast<InputControl*>(&control)) {
        input->userKeyDown(keyCode, shift);
        return true;
    }
    if (auto* user = dynamic_cast<UserControl*>(&control)) {
        user->keyDown(keyCode, shift);
        if (const int ascii = InputControl::keyAscii(keyCode, shift))
            user->keyPress(ascii);
        return true;
    }
    if (auto* slider = dynamic_cast<Slider*>(&control)) {
        if (slider->reactsToUser())
            slider->userKey(keyCode, shift);
        return true;
    }
    const bool plain = (shift & kModifiers) == 0;
    if (auto* strip = dynamic_cast<TabStrip*>(&control)) {
        if (!plain || (keyCode != InputControl::vbKeyLeft && keyCode != InputControl::vbKeyRight))
            return false;
        strip->userClickTab(strip->CurrentTab() + (keyCode == InputControl::vbKeyLeft ? -1 : 1));
        return true;
    }
    if (plain && keyCode == InputControl::vbKeySpace && isPushed(control)) {
        control.userClick();
        return true;
    }
    return false;
}

bool KeyboardNavigator::keyDown(int keyCode, int shift)
{
    const int modifiers = shift & kModifiers;
    // Tab never reaches a control.
    if (keyCode == InputControl::vbKeyTab && (modifiers == 0 || modifiers == InputControl::vbShiftMask))
        return tab(modifiers != 0);

    Control* focused = form_.ActiveControl();
    const bool alt = (modifiers & InputControl::vbAltMask) != 0 && (modifiers & InputControl::vbCtrlMask) == 0;
    const bool alone = (modifiers & ~InputControl::vbShiftMask) == 0 && !dynamic_cast<InputControl*>(focused);
    if ((alt || alone) && keyCode > 0 && keyCode < 128 && isAccessChar(static_cast<char>(keyCode)) &&
        accessKey(static_cast<char>(keyCode)))
        return true;

    if (!focused)
        return false;
    if (modifiers == 0 && isArrow(keyCode) && dynamic_cast<OptionButton*>(focused))
        return moveAmongOptions(*focused, keyCode == InputControl::vbKeyLeft || keyCode == InputControl::vbKeyUp);
    return keyForFocused(*focused, keyCode, shift);
}

bool KeyboardNavigator::keyUp(int keyCode, int shift)
{
    Control* focused = form_.ActiveControl();
    if (auto* input = dynamic_cast<InputControl*>(focused)) {
        input->userKeyUp(keyCode, shift);
        return true;
    }
    if (auto* user = dynamic_cast<UserControl*>(focused)) {
        user->keyUp(keyCode, shift);
        return true;
    }
    return false;
}

} // namespace forms
