#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/Failure.h"

namespace forms {

Form* FormsHost::find(std::string_view name) const
{
    auto it = std::find_if(forms_.begin(), forms_.end(), [&](const Form* form) { return form->Name() == name; });
    return it == forms_.end() ? nullptr : *it;
}

Form::Form(FormsHost& host, std::string name) : host_(host), name_(std::move(name))
{
    host_.forms_.push_back(this);
}

Form::~Form()
{
    // A derived form unloads itself in its own destructor, while its Form_Unload can still run;
    // here only the window is left to go.
    if (Loaded())
        platform::ignoreFailure([&] { host_.desktop().destroyWindow(window_); });
    auto& forms = host_.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void Form::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    if (Loaded())
        platform::ignoreFailure([&] { host_.desktop().setWindowText(window_, caption_); });
    invalidate();
}

platform::WindowSpec Form::windowSpec() const
{
    platform::WindowSpec spec;
    spec.className = "ThunderRT6FormDC";
    spec.title = caption_;
    return spec;
}

void Form::Load()
{
    if (Loaded())
        return;
    window_ = host_.desktop().createWindow(windowSpec());
    visible_ = false;
    for (std::size_t i = 0; i < timers_.size(); ++i)
        if (timersEnabledByDesign_[i])
            timers_[i]->setEnabled(true);
    Form_Load();
}

void Form::Show()
{
    Load();
    if (!Loaded())
        return;  // Form_Load unloaded the form again
    platform::ignoreFailure([&] { host_.desktop().showWindow(window_, platform::sw::ShowNormal); });
    visible_ = true;
}

void Form::Hide()
{
    if (!Loaded() || !visible_)
        return;
    platform::ignoreFailure([&] { host_.desktop().showWindow(window_, platform::sw::Hide); });
    visible_ = false;
}

void Form::Unload()
{
    if (!Loaded() || unloading_)
        return;
    unloading_ = true;
    Form_Unload();
    for (auto& timer : timers_)
        timer->setEnabled(false);
    const platform::WindowHandle window = window_;
    window_ = platform::NoWindow;
    visible_ = false;
    platform::ignoreFailure([&] { host_.desktop().destroyWindow(window); });
    unloading_ = false;
}

void Form::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    invalidate();
}

Control* Form::control(std::string_view name) const
{
    for (const auto& control : controls_)
        if (control->Name() == name)
            return control.get();
    return nullptr;
}

platform::Timer* Form::timer(std::string_view name) const
{
    for (const auto& timer : timers_)
        if (timer->name() == name)
            return timer.get();
    return nullptr;
}

platform::Timer& Form::addTimer(std::string name, std::uint32_t intervalMs, bool enabled)
{
    // A timer of a form that is not loaded must not tick: its handlers work on the loaded form.
    timers_.push_back(
        std::make_unique<platform::Timer>(host_.loop(), std::move(name), intervalMs, enabled && Loaded()));
    timersEnabledByDesign_.push_back(enabled);
    return *timers_.back();
}

} // namespace forms
