#pragma once
// The forms runtime: the stand-in for VB forms and their intrinsic controls.
//
// A Control belongs to one Form, has a name unique on that form, a place in twips, Visible and
// Enabled switches, a back and a fore colour, a tool tip and a Click event. Property setters follow
// one rule: when nothing changes they return at once; otherwise they store the value and ask the
// form to repaint. Events are public callback members, set by the form that owns the control.
//
// A control may sit in a container (a Panel, say): its place is then relative to the container's
// top-left corner, it is drawn above the container and cut off at its edges, and it shows and
// takes clicks only while the container does. Without a container the place is relative to the
// form's client area.
//
// Painting: Form::render asks every shown control, in creation order and each container before
// what it holds, to paint itself onto a raster (Control::paint). Twips become pixels at the
// screen's DPI as Twips.h describes.

#include <functional>
#include <string>

#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"

namespace forms {

class Form;
class FormsHost;

class Control {
public:
    Control(Form& form, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    Form& parent() const { return form_; }

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    bool Enabled() const { return enabled_; }
    // Enabled and the two colours are virtual: a user control keeps its own state behind them,
    // and a form that sets them through a Control pointer must reach it.
    virtual void setEnabled(bool enabled);

    // Position and size in twips, relative to the container, or to the form's client area.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, double top, double width, double height);

    // The container, or nullptr for a control placed on the form itself. Throws platform::Failure
    // (invalid property value) for a control of another form, the control itself, or one of the
    // controls it holds.
    Control* Container() const { return container_; }
    void setContainer(Control* container);

    // OLE colours (0x00BBGGRR or a system colour). By default the 3D face behind the button text
    // colour, as VB gives its intrinsic controls.
    draw::OleColour BackColor() const { return backColor_; }
    virtual void setBackColor(draw::OleColour colour);
    draw::OleColour ForeColor() const { return foreColor_; }
    virtual void setForeColor(draw::OleColour colour);

    const std::string& ToolTipText() const { return toolTip_; }
    void setToolTipText(std::string text);

    // Whether Tab stops at the control, for the kinds that take the focus (KeyboardNavigator);
    // on by default, as VB has it. Off, the control still takes the focus by a click or its
    // access key.
    bool TabStop() const { return tabStop_; }
    void setTabStop(bool tabStop) { tabStop_ = tabStop; }

    // Visible, and so is every container around it.
    bool shown() const;

    // The control is its form's ActiveControl. The controls without a caret or a selection of
    // their own (buttons, check boxes, option buttons, tab strips, sliders) then show the focus with
    // a dotted frame (DrawFocusRect).
    bool isActiveControl() const;

    // Whether a click of the user reaches the control: it, its containers and its form are
    // enabled and visible.
    bool reactsToUser() const;
    // A left click of the user. Ignored when the control does not react; otherwise the control
    // does what a click does to it (a check box toggles) and raises Click.
    void userClick();

    // Raises Click, if anyone listens.
    void raiseClick();

    // The Click event.
    std::function<void()> Click;

    // Paints the control. `origin` is the pixel where the control's coordinates start (the
    // container's or the form's top-left corner on the surface). The surface arrives clipped to
    // paintBounds and the container. By default a control paints nothing.
    virtual void paint(draw::Surface& surface, draw::Point origin) const;
    // The control's box in pixels: place and size each put on the nearest pixel.
    draw::Rect pixelBounds(draw::Point origin) const;
    // The box in the form's client pixels, inside its containers.
    draw::Rect clientBounds() const;
    // The pixels the control may paint; its box unless it draws elsewhere (a line).
    virtual draw::Rect paintBounds(draw::Point origin) const { return pixelBounds(origin); }

protected:
    // What a user's click does to the control; by default it raises Click.
    virtual void onUserClick() { raiseClick(); }
    // Asks the form to repaint the control.
    void invalidate();

    // A control that sizes itself (an auto-sized label) changes a size being set here; every
    // change of place or size passes through it.
    virtual void fitSize(double& width, double& height) const;
    // Runs fitSize again on the current size, without asking for a repaint (the caller does).
    void refit();
    // The size changed through move() or a size setter (after the repaint was asked for); a
    // control that lays itself out to its size (a user control's Resize) does it here.
    virtual void resized() {}

    FormsHost& host() const;
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;
    double twipsX(int pixels) const;
    double twipsY(int pixels) const;

private:
    // Stores a fitted place and size; false when nothing changed.
    bool setBounds(double left, double top, double width, double height);

    Form& form_;
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Control* container_ = nullptr;
    draw::OleColour backColor_ = draw::systemOleColour(draw::syscolour::ButtonFace);
    draw::OleColour foreColor_ = draw::systemOleColour(draw::syscolour::ButtonText);
    std::string toolTip_;
    bool tabStop_ = true;
};

} // namespace forms
