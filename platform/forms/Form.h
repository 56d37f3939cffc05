#pragma once
// A form: a top-level window of the notifier or the options page with its controls and timers
// (VB's Form). Loading creates the window, hidden, starts the timers that are enabled by design
// and runs Form_Load; Show makes it visible without waiting (modeless); Unload runs Form_Unload,
// stops the timers and destroys the window. A form can be loaded again after an unload; its timers
// then start as designed again. A form that is not loaded has no running timer.
//
// Every form registers with its FormsHost for as long as it exists, so the scenario runner and
// tests can find forms, controls and timers by name.
//
// A form has a place and size in twips (its window's, in pixels, when loaded: forms here have no
// frame, so the client area is the whole window) and a BackColor. render() paints it the way the
// screen would show it: the background, then every shown control in creation order, each
// container before the controls it holds.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"
#include "platform/FontEngine.h"
#include "platform/MessageLoop.h"
#include "platform/SystemInfo.h"
#include "platform/Timer.h"
#include "platform/draw/Surface.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Control.h"
#include "platform/forms/Label.h"
#include "platform/forms/Line.h"
#include "platform/forms/Panel.h"
#include "platform/forms/PictureBox.h"

namespace forms {

class Form;

// What forms need from the world, and the list of forms that exist (VB's Forms collection).
//
// Fonts and the screen's DPI come from a font engine and the SystemInfo seam. Without them the
// host measures with fixed metrics (its own FixedFontEngine) on a 96 dpi screen. The DPI is read
// from SystemInfo at every use, as the screen's device context would be asked.
class FormsHost {
public:
    FormsHost(platform::Desktop& desktop, platform::MessageLoop& loop);
    FormsHost(platform::Desktop& desktop, platform::MessageLoop& loop, platform::FontEngine& fonts,
              platform::SystemInfo& system);
    ~FormsHost();
    FormsHost(const FormsHost&) = delete;
    FormsHost& operator=(const FormsHost&) = delete;

    platform::Desktop& desktop() const { return desktop_; }
    platform::MessageLoop& loop() const { return loop_; }

    // The engine that measures and draws every caption. Set before any form measures text: an
    // auto-sized label keeps the size it was given until its text, font or size changes again.
    platform::FontEngine& fonts() const { return *fonts_; }
    void setFontEngine(platform::FontEngine& fonts) { fonts_ = &fonts; }
    void setSystemInfo(platform::SystemInfo& system) { system_ = &system; }

    // The screen's LOGPIXELSX and LOGPIXELSY; 96 without SystemInfo or when it reports no usable
    // value.
    int logPixelsX() const;
    int logPixelsY() const;

    // The form of that name (names compare exactly), or nullptr.
    Form* find(std::string_view name) const;
    const std::vector<Form*>& forms() const { return forms_; }

    // Called when a loaded form asks to be repainted: a host of real windows invalidates the
    // form's window (the simulated world renders on demand and needs nothing).
    std::function<void(Form&)> on_invalidate;
    // Called when a form has unloaded (its window destroyed): a program that lives as long as one
    // of its forms ends its message loop here rather than by looking from time to time.
    std::function<void(Form&)> on_unload;

private:
    friend class Form;
    platform::Desktop& desktop_;
    platform::MessageLoop& loop_;
    std::unique_ptr<platform::FontEngine> ownFonts_;  // the fixed engine, when no other was given
    platform::FontEngine* fonts_;
    platform::SystemInfo* system_ = nullptr;
    std::vector<Form*> forms_;
};

class Form {
public:
    Form(FormsHost& host, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    FormsHost& host() const { return host_; }

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

    // VB's Load statement: creates the hidden window and runs Form_Load; nothing when loaded.
    void Load();
    // Loads when needed and shows the window (modeless, activated).
    void Show();
    // Hides the window; the form stays loaded.
    void Hide();
    // VB's Unload statement: runs Form_Unload, stops every timer and destroys the window;
    // nothing when not loaded.
    void Unload();

    bool Loaded() const { return window_ != platform::NoWindow; }
    // Shown with Show (or by the form's own showing) and not hidden since.
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    platform::WindowHandle hWnd() const { return window_; }

    // Place on the screen and size, in twips. A loaded form's window follows at once
    // (SetWindowPos without activation or z-order change, in pixels); a form loads with them.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double twips) { move(twips, top_, width_, height_); }
    void setTop(double twips) { move(left_, twips, width_, height_); }
    void setWidth(double twips) { move(left_, top_, twips, height_); }
    void setHeight(double twips) { move(left_, top_, width_, twips); }
    void move(double left, double top, double width, double height);
    // The window's bounds in pixels for the place and size above.
    platform::WindowRect pixelBounds() const;

    // OLE colour of the client area; by default the 3D face.
    draw::OleColour BackColor() const { return backColor_; }
    void setBackColor(draw::OleColour colour);

    // The form as the screen shows it, in a raster of its pixel size (loaded or not).
    draw::Surface render() const;
    // The same into `surface`, from its top-left corner; pixels beyond the form stay untouched.
    void render(draw::Surface& surface) const;

    // Lookup by name, for the runner and tests; nullptr when the form has none of that name.
    Control* control(std::string_view name) const;
    platform::Timer* timer(std::string_view name) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    const std::vector<std::unique_ptr<platform::Timer>>& timers() const { return timers_; }

    // VB's ActiveControl: the control that last took the focus on this form and still has it, or
    // nullptr. Text and list boxes keep their own focus (InputControl); once one has let go, the form
    // has none until another takes it. The keys typed in the form's window go to this control
    // (KeyboardNavigator). Unloading the form forgets it.
    Control* ActiveControl() const;
    // Records that `control` (of this form) took the focus, or nullptr that none has it now. The
    // controls and the keyboard navigator call it; it moves no focus and raises nothing.
    void noteFocus(Control* control) { active_ = control; }

    // A repaint of the form was asked for; counted so that tests can see redundant repaints, and
    // passed to the host's on_invalidate while the form is loaded.
    void invalidate();
    int repaintCount() const { return repaints_; }

protected:
    // The window the form gets when loaded: class, title, styles. By default an ordinary,
    // hidden, captioned top-level window.
    virtual platform::WindowSpec windowSpec() const;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    // Adds a control or a timer to the form (call from the constructor). A timer enabled here
    // runs from the next Load on.
    template <class C>
    C& add(std::string name)
    {
        auto control = std::make_unique<C>(*this, std::move(name));
        C& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }
    platform::Timer& addTimer(std::string name, std::uint32_t intervalMs, bool enabled);
    // For forms that show or hide their window themselves (without activation, say).
    void setVisibleState(bool visible) { visible_ = visible; }

private:
    void paintControls(draw::Surface& surface, const Control* container, draw::Point origin,
                       const draw::Rect& clip) const;

    FormsHost& host_;
    std::string name_;
    std::string caption_;
    platform::WindowHandle window_ = platform::NoWindow;
    bool visible_ = false;
    bool enabled_ = true;
    bool unloading_ = false;
    int repaints_ = 0;
    Control* active_ = nullptr;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    draw::OleColour backColor_ = draw::systemOleColour(draw::syscolour::ButtonFace);
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<platform::Timer>> timers_;
    std::vector<bool> timersEnabledByDesign_;  // parallel to timers_
};

} // namespace forms
