#include "platform/forms/Control.h"

#include "platform/Failure.h"
#include "platform/forms/Form.h"

namespace forms {

Control::Control(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

Control::~Control() = default;

void Control::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    invalidate();
}

void Control::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    invalidate();
}

void Control::setLeft(double twips) { move(twips, top_, width_, height_); }
void Control::setTop(double twips) { move(left_, twips, width_, height_); }
void Control::setWidth(double twips) { move(left_, top_, twips, height_); }
void Control::setHeight(double twips) { move(left_, top_, width_, twips); }

void Control::move(double left, double top, double width, double height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    invalidate();
}

void Control::setToolTipText(std::string text) { toolTip_ = std::move(text); }

bool Control::reactsToUser() const
{
    return visible_ && enabled_ && form_.Loaded() && form_.Visible() && form_.Enabled();
}

void Control::userClick()
{
    if (reactsToUser())
        onUserClick();
}

void Control::raiseClick()
{
    if (Click)
        Click();
}

void Control::invalidate() { form_.invalidate(); }

void CaptionedControl::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    invalidate();
}

void CheckBox::setValue(int value)
{
    if (value < vbUnchecked || value > vbGrayed)
        throw platform::Failure("Invalid property value");
    if (value_ == value)
        return;
    value_ = value;
    invalidate();
    raiseClick();
}

void CheckBox::onUserClick() { setValue(value_ == vbUnchecked ? vbChecked : vbUnchecked); }

} // namespace forms
