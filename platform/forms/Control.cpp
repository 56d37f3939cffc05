#include "platform/forms/Control.h"

#include "platform/Failure.h"
#include "platform/forms/Form.h"
#include "platform/forms/Twips.h"

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
    const double oldWidth = width_;
    const double oldHeight = height_;
    if (!setBounds(left, top, width, height))
        return;
    invalidate();
    if (width_ != oldWidth || height_ != oldHeight)
        resized();
}

bool Control::setBounds(double left, double top, double width, double height)
{
    fitSize(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return false;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    return true;
}

void Control::fitSize(double&, double&) const {}

void Control::refit() { setBounds(left_, top_, width_, height_); }

void Control::setContainer(Control* container)
{
    if (container == container_)
        return;
    for (const Control* outer = container; outer; outer = outer->container_)
        if (outer == this)
            throw platform::Failure("Invalid property value");
    if (container && &container->form_ != &form_)
        throw platform::Failure("Invalid property value");
    container_ = container;
    invalidate();
}

void Control::setBackColor(draw::OleColour colour)
{
    if (backColor_ == colour)
        return;
    backColor_ = colour;
    invalidate();
}

void Control::setForeColor(draw::OleColour colour)
{
    if (foreColor_ == colour)
        return;
    foreColor_ = colour;
    invalidate();
}

void Control::setToolTipText(std::string text) { toolTip_ = std::move(text); }

bool Control::shown() const
{
    for (const Control* control = this; control; control = control->container_)
        if (!control->visible_)
            return false;
    return true;
}

bool Control::isActiveControl() const { return form_.ActiveControl() == this; }

bool Control::reactsToUser() const
{
    for (const Control* control = this; control; control = control->container_)
        if (!control->visible_ || !control->enabled_)
            return false;
    return form_.Loaded() && form_.Visible() && form_.Enabled();
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

void Control::paint(draw::Surface&, draw::Point) const {}

draw::Rect Control::pixelBounds(draw::Point origin) const
{
    return draw::Rect::ofSize(origin.x + pixelsX(left_), origin.y + pixelsY(top_), pixelsX(width_), pixelsY(height_));
}

draw::Rect Control::clientBounds() const
{
    draw::Point origin{0, 0};
    if (container_) {
        const draw::Rect outer = container_->clientBounds();
        origin = {outer.left, outer.top};
    }
    return pixelBounds(origin);
}

void Control::invalidate() { form_.invalidate(); }

FormsHost& Control::host() const { return form_.host(); }

int Control::pixelsX(double twips) const { return twipsToPixels(twips, host().logPixelsX()); }
int Control::pixelsY(double twips) const { return twipsToPixels(twips, host().logPixelsY()); }
double Control::twipsX(int pixels) const { return pixelsToTwips(pixels, host().logPixelsX()); }
double Control::twipsY(int pixels) const { return pixelsToTwips(pixels, host().logPixelsY()); }

} // namespace forms
