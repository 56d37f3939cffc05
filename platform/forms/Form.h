#pragma once
// A form: a top-level window of the notifier or the options page with its controls and timers
// (VB's Form). Loading creates the window, hidden, starts the timers that are enabled by design
// and runs Form_Load; Show makes it visible without waiting (modeless); Unload runs Form_Unload,
// stops the timers and destroys the window. A form can be loaded again after an unload; its timers
// then start as designed again. A form that is not loaded has no running timer.
//
// Every form registers with its FormsHost for as long as it exists, so the scenario runner and
// tests can find forms, controls and timers by name.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/forms/Control.h"

namespace forms {

class Form;

// What forms need from the world, and the list of forms that exist (VB's Forms collection).
class FormsHost {
public:
    FormsHost(platform::Desktop& desktop, platform::MessageLoop& loop) : desktop_(desktop), loop_(loop) {}
    FormsHost(const FormsHost&) = delete;
    FormsHost& operator=(const FormsHost&) = delete;

    platform::Desktop& desktop() const { return desktop_; }
    platform::MessageLoop& loop() const { return loop_; }

    // The form of that name (names compare exactly), or nullptr.
    Form* find(std::string_view name) const;
    const std::vector<Form*>& forms() const { return forms_; }

private:
    friend class Form;
    platform::Desktop& desktop_;
    platform::MessageLoop& loop_;
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

    // Lookup by name, for the runner and tests; nullptr when the form has none of that name.
    Control* control(std::string_view name) const;
    platform::Timer* timer(std::string_view name) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    const std::vector<std::unique_ptr<platform::Timer>>& timers() const { return timers_; }

    // A repaint of the form was asked for; counted so that tests can see redundant repaints.
    void invalidate() { ++repaints_; }
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
    FormsHost& host_;
    std::string name_;
    std::string caption_;
    platform::WindowHandle window_ = platform::NoWindow;
    bool visible_ = false;
    bool enabled_ = true;
    bool unloading_ = false;
    int repaints_ = 0;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<platform::Timer>> timers_;
    std::vector<bool> timersEnabledByDesign_;  // parallel to timers_
};

} // namespace forms
