// GlintButton: mouse, hover timer, keys, focus, access keys, ambient changes, resizing, and the
// events they raise.

#include "controls/glintbutton/GlintButton.h"

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace glint {

namespace {

constexpr int kLeftButton = 1;
constexpr int kSpace = 32;

} // namespace

EventArguments GlintButton::mouseArguments(int button, int shift, int x, int y) const
{
    return {lang::wrap16(button), lang::wrap16(shift), static_cast<float>(x * twipsPerPixelX()),
            static_cast<float>(y * twipsPerPixelY())};
}

void GlintButton::onMouseDown(int button, int shift, int x, int y)
{
    // Only the left button alone presses; Value follows without a Click or a notification.
    if (button == kLeftButton) {
        value_ = visualState_ == StateDown ? Up : Down;
        visualState_ = StateDown;
        Refresh();
    }
    RaiseNamedEvent("MouseDown", mouseArguments(button, shift, x, y));
}

bool GlintButton::overButton(int x, int y) const
{
    if (x < 0 || y < 0 || x > scaleWidth() || y > scaleHeight())
        return false;
    const std::optional<draw::Rgb> colour = point(x, y);
    if (!colour)
        return false;
    return backStyle_ == btOpaque || draw::toOle(*colour) != maskColor_;
}

void GlintButton::onMouseMove(int button, int shift, int x, int y)
{
    if (!overButton(x, y))
        return;
    // The first move over the button only starts the hover watch; the look changes from the
    // next move on (at once at design time, where no timer runs).
    if (runMode_ && !tmrOverTimer_.Enabled()) {
        tmrOverTimer_.setEnabled(true);
    } else if (button != 0) {
        if (button == kLeftButton && visualState_ != StateDown) {
            visualState_ = StateDown;
            Refresh();
        }
    } else if (visualState_ != StateOver) {
        visualState_ = StateOver;
        Refresh();
    }
    RaiseNamedEvent("MouseEnter");
    RaiseNamedEvent("MouseMove", mouseArguments(button, shift, x, y));
}

void GlintButton::tmrOverTimer_Timer()
{
    if (!Enabled()) {
        tmrOverTimer_.setEnabled(false);
        return;
    }
    draw::Point cursor;
    if (!platform::ignoreFailure([&] { cursor = site().cursorPosition(); }))
        return;  // nowhere known: nothing to conclude this tick
    const bool outside = cursor.x < 0 || cursor.y < 0 || cursor.x > scaleWidth() || cursor.y > scaleHeight();
    // The right and bottom edges count as inside, though their pixels cannot be read.
    const std::optional<draw::Rgb> colour = point(cursor.x, cursor.y);
    const bool overMask =
        colour && draw::toOle(*colour) == maskColor_ && backStyle_ == btTransparent && appearance_ == btSkin;
    if (!outside && !overMask)
        return;
    tmrOverTimer_.setEnabled(false);
    RaiseNamedEvent("MouseExit");
    if (visualState_ != StateUp) {
        visualState_ = StateUp;
        Refresh();
    }
}

void GlintButton::onMouseUp(int button, int shift, int x, int y)
{
    // A release anywhere clicks: the button was pressed on it.
    if (button == kLeftButton) {
        visualState_ = StateUp;
        Refresh();
        RaiseNamedEvent("Click");
    }
    RaiseNamedEvent("MouseUp", mouseArguments(button, shift, x, y));
}

void GlintButton::onKeyDown(int keyCode, int shift)
{
    RaiseNamedEvent("KeyDown", {lang::wrap16(keyCode), lang::wrap16(shift)});
}

void GlintButton::onKeyPress(int keyAscii)
{
    if (runMode_ && keyAscii == kSpace)
        RaiseNamedEvent("Click");
    RaiseNamedEvent("KeyPress", {lang::wrap16(keyAscii)});
}

void GlintButton::onKeyUp(int keyCode, int shift)
{
    RaiseNamedEvent("KeyUp", {lang::wrap16(keyCode), lang::wrap16(shift)});
}

void GlintButton::onAccessKeyPress(std::string_view) { RaiseNamedEvent("Click"); }

void GlintButton::onGotFocus()
{
    hasFocus_ = true;
    Refresh();
}

void GlintButton::onLostFocus()
{
    hasFocus_ = false;
    Refresh();
}

void GlintButton::onAmbientChanged(std::string_view name)
{
    if (name != "DisplayAsDefault")
        return;
    hasFocus_ = platform::valueOr(true, [&] { return site().displayAsDefault(); });
    Refresh();
}

void GlintButton::onResize()
{
    LayoutCaption();
    RaiseNamedEvent("Resize");
}

void GlintButton::RaiseNamedEvent(std::string_view name, EventArguments arguments)
{
    if (name == "MouseEnter" || name == "MouseExit") {
        if (lastHoverEvent_ == name)
            return;
        lastHoverEvent_ = std::string(name);
    }
    // Handlers get copies: what they do to their arguments stays with them.
    const EventArguments a = arguments;
    if (name == "Click") {
        raiseClick();
    } else if (name == "KeyDown") {
        if (KeyDown)
            KeyDown(a.code, a.shift);
    } else if (name == "KeyPress") {
        if (KeyPress)
            KeyPress(a.code);
    } else if (name == "KeyUp") {
        if (KeyUp)
            KeyUp(a.code, a.shift);
    } else if (name == "MouseDown") {
        if (MouseDown)
            MouseDown(a.code, a.shift, a.x, a.y);
    } else if (name == "MouseEnter") {
        if (MouseEnter)
            MouseEnter();
    } else if (name == "MouseExit") {
        if (MouseExit)
            MouseExit();
    } else if (name == "MouseMove") {
        if (MouseMove)
            MouseMove(a.code, a.shift, a.x, a.y);
    } else if (name == "MouseUp") {
        if (MouseUp)
            MouseUp(a.code, a.shift, a.x, a.y);
    } else if (name == "Resize") {
        if (Resize)
            Resize();
    }
}

} // namespace glint
