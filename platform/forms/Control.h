#pragma once
// The forms runtime: the stand-in for VB forms and their intrinsic controls.
//
// A Control belongs to one Form, has a name unique on that form, a place in twips, Visible and
// Enabled switches, a tool tip and a Click event. Property setters follow one rule: when nothing
// changes they return at once; otherwise they store the value and ask the form to repaint.
// Events are public callback members, set by the form that owns the control.

#include <functional>
#include <string>

namespace forms {

class Form;

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
    void setEnabled(bool enabled);

    // Position and size in twips, relative to the form's client area.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, double top, double width, double height);

    const std::string& ToolTipText() const { return toolTip_; }
    void setToolTipText(std::string text);

    // Whether a click of the user reaches the control: it, and its form, are enabled and visible.
    bool reactsToUser() const;
    // A left click of the user. Ignored when the control does not react; otherwise the control
    // does what a click does to it (a check box toggles) and raises Click.
    void userClick();

    // Raises Click, if anyone listens.
    void raiseClick();

    // The Click event.
    std::function<void()> Click;

protected:
    // What a user's click does to the control; by default it raises Click.
    virtual void onUserClick() { raiseClick(); }
    // Asks the form to repaint the control.
    void invalidate();

private:
    Form& form_;
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string toolTip_;
};

// A control that shows a caption (the text of a label, a button or a check box).
class CaptionedControl : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

// A text without interaction of its own (VB's Label).
class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// A push button (VB's CommandButton).
class CommandButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// A check box. As in VB, a change of Value, by the user or by code, raises Click.
class CheckBox : public CaptionedControl {
public:
    static constexpr int vbUnchecked = 0;
    static constexpr int vbChecked = 1;
    static constexpr int vbGrayed = 2;

    using CaptionedControl::CaptionedControl;
    int Value() const { return value_; }
    // Throws platform::Failure (invalid property value) outside 0..2.
    void setValue(int value);

protected:
    // The user's click checks an unchecked box and clears a checked or grayed one.
    void onUserClick() override;

private:
    int value_ = vbUnchecked;
};

// A picture that can be clicked (VB's PictureBox or Image).
class PictureBox : public Control {
public:
    using Control::Control;
};

} // namespace forms
