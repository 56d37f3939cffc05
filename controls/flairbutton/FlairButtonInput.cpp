// FlairButton: the mouse, the pointer-leave timer, the state images, the events and the
// navigation of a hyperlink-style button.

#include "controls/flairbutton/FlairButton.h"

#include "controls/flairbutton/FlairHyperlink.h"
#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/forms/Form.h"

namespace flair {

namespace {

constexpr int kLeftButton = 1;
// Twips the parts of a flat button move while it is held down.
constexpr double kPressedOffset = 15;

} // namespace

void FlairButton::raiseStateChange()
{
    if (OnStateChange)
        OnStateChange(state_);
}

void FlairButton::ShowStateImage()
{
    forms::ImageListRef list;
    std::int16_t index = 0;
    switch (state_) {
    case enmButtonStateNormal:
        list = imageList_;
        index = image_;
        break;
    case enmButtonStateOver:
    case enmButtonStateDown:
    case enmButtonStatePressed:
    case enmButtonStateUnPressed:
        list = imageListOver_;
        index = imageOver_;
        break;
    case enmButtonStateDisabled:
        list = imageListDisabled_;
        index = imageDisabled_;
        break;
    }
    if (index != 0) {
        // No list, an index beyond it, or a slot without a picture: the old picture stays.
        platform::ignoreFailure([&] {
            if (!list)
                throw platform::Failure("Object variable not set", 91);
            const forms::ListImage& entry = list->ListImages(index);
            if (!entry.Picture)
                throw platform::Failure("Invalid picture", 481);
            std::optional<draw::Rgb> mask;
            if (list->UseMaskColor())
                mask = draw::resolveColour(list->MaskColor());
            img_.setPicture(entry.Picture, mask);
        });
    }
    if (index == 0) {
        img_.setVisible(false);
        img_.setHeight(0);
    } else if (index > 0) {
        img_.setVisible(true);
    }
}

void FlairButton::onMouseMove(int button, int shift, int x, int y)
{
    if (locked_)
        return;
    if (MouseMove)
        MouseMove(lang::wrap16(button), lang::wrap16(shift), static_cast<float>(x * twipsPerPixelX()),
                  static_cast<float>(y * twipsPerPixelY()));
    if (tmr_.Enabled() || style_ == enmButtonStyleSeperator)
        return;
    if (state_ == enmButtonStateNormal)
        state_ = enmButtonStateOver;
    if (isFlat()) {
        if (state_ == enmButtonStatePressed)
            PaintDown();
        else
            PaintOver();
    } else if (isXP()) {
        PaintOver();
    } else if (isHyperlink()) {
        lbl_.setFontUnderline(true);
    }
    tmr_.setEnabled(true);
    if (MouseEnter)
        MouseEnter();
    ShowStateImage();
    raiseStateChange();
}

void FlairButton::onMouseDown(int button, int shift, int x, int y)
{
    if (locked_ || button != kLeftButton)
        return;
    if (MouseDown)
        MouseDown(lang::wrap16(button), lang::wrap16(shift), static_cast<float>(x * twipsPerPixelX()),
                  static_cast<float>(y * twipsPerPixelY()));
    if (state_ == enmButtonStateOver) {
        state_ = enmButtonStateDown;
        if (isFlat()) {
            PaintDown();
            if (!captionShifted_) {
                shiftParts(kPressedOffset);
                captionShifted_ = true;
            }
        } else if (isXP()) {
            PaintDown();
        }
    }
    if (state_ == enmButtonStatePressed) {
        state_ = enmButtonStateUnPressed;
        PaintDown();
    }
    ShowStateImage();
    raiseStateChange();
}

void FlairButton::onMouseUp(int button, int shift, int x, int y)
{
    if (locked_ || button != kLeftButton)
        return;
    tmr_.setEnabled(true);
    if (MouseUp)
        MouseUp(lang::wrap16(button), lang::wrap16(shift), static_cast<float>(x * twipsPerPixelX()),
                static_cast<float>(y * twipsPerPixelY()));
    if (checked_) {
        if (state_ == enmButtonStatePressed)
            state_ = enmButtonStateOver;
        if (state_ == enmButtonStateDown)
            state_ = enmButtonStatePressed;
        if (state_ == enmButtonStateUnPressed)
            state_ = enmButtonStateOver;
    } else {
        state_ = enmButtonStateOver;
    }
    if (isFlat()) {
        if (state_ == enmButtonStatePressed) {
            PaintDown();
        } else {
            PaintOver();
            if (captionShifted_) {
                shiftParts(-kPressedOffset);
                captionShifted_ = false;
            }
        }
    } else if (isXP()) {
        PaintOver();
    }
    raiseClick();
    if (isHyperlink())
        navigate();
    ShowStateImage();
    raiseStateChange();
}

void FlairButton::navigate()
{
    bool cancel = false;
    if (BeforeNavigate)
        BeforeNavigate(cancel);
    if (cancel || hyperlink_.empty())
        return;
    const std::string url = hyperlink_;
    if (files_ && system_)
        OpenHyperlink(parent().host().desktop(), *files_, *system_, url, hWnd());
    if (OnNavigate)
        OnNavigate(url);
}

void FlairButton::tmr_Timer()
{
    // A held button keeps its look wherever the pointer goes.
    if (state_ == enmButtonStateDown || state_ == enmButtonStateUnPressed)
        return;
    draw::Point cursor;
    if (!platform::ignoreFailure([&] { cursor = site().cursorPosition(); }))
        return;  // nowhere known: nothing to conclude this tick
    // The window's right and bottom edges count as inside.
    if (cursor.x >= 0 && cursor.y >= 0 && cursor.x <= scaleWidth() && cursor.y <= scaleHeight())
        return;

    tmr_.setEnabled(false);
    const ButtonStateEnum before = state_;
    if (state_ == enmButtonStateDisabled) {
        // Disabled stays until the host says otherwise; the pointer only takes the link look along.
        lbl_.setFontUnderline(false);
    } else if (isHyperlink()) {
        state_ = enmButtonStateNormal;
        lbl_.setFontUnderline(false);
        PaintNormal();
    } else if (state_ == enmButtonStatePressed) {
        PaintPressed();
    } else {
        state_ = enmButtonStateNormal;
        PaintNormal();
    }
    if (MouseExit)
        MouseExit();
    ShowStateImage();
    if (state_ != before)
        raiseStateChange();
}

} // namespace flair
