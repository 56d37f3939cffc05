#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/Failure.h"
#include "platform/fonts/FixedFontEngine.h"
#include "platform/forms/InputControl.h"
#include "platform/forms/Twips.h"

namespace forms {

FormsHost::FormsHost(platform::Desktop& desktop, platform::MessageLoop& loop)
    : desktop_(desktop), loop_(loop), ownFonts_(std::make_unique<fonts::FixedFontEngine>()), fonts_(ownFonts_.get())
{
}

FormsHost::FormsHost(platform::Desktop& desktop, platform::MessageLoop& loop, platform::FontEngine& fonts,
                     platform::SystemInfo& system)
    : desktop_(desktop), loop_(loop), fonts_(&fonts), system_(&system)
{
}

FormsHost::~FormsHost() = default;

int FormsHost::logPixelsX() const { return usableDpi(system_ ? system_->logPixelsX() : defaultDpi); }

int FormsHost::logPixelsY() const { return usableDpi(system_ ? system_->logPixelsY() : defaultDpi); }

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
    spec.name = name_;
    const platform::WindowRect bounds = pixelBounds();
    spec.left = bounds.left;
    spec.top = bounds.top;
    spec.width = bounds.width;
    spec.height = bounds.height;
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
    active_ = nullptr;
    platform::ignoreFailure([&] { host_.desktop().destroyWindow(window); });
    unloading_ = false;
    if (host_.on_unload)
        host_.on_unload(*this);
}

Control* Form::ActiveControl() const
{
    if (const auto* input = dynamic_cast<const InputControl*>(active_); input && !input->hasFocus())
        return nullptr;
    return active_;
}

void Form::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    invalidate();
}

void Form::move(double left, double top, double width, double height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (Loaded())
        platform::ignoreFailure([&] {
            host_.desktop().setWindowPos(window_, platform::InsertAfter::Unchanged, pixelBounds());
        });
    invalidate();
}

platform::WindowRect Form::pixelBounds() const
{
    const int dpiX = host_.logPixelsX();
    const int dpiY = host_.logPixelsY();
    return {twipsToPixels(left_, dpiX), twipsToPixels(top_, dpiY), twipsToPixels(width_, dpiX),
            twipsToPixels(height_, dpiY)};
}

void Form::invalidate()
{
    ++repaints_;
    if (Loaded() && host_.on_invalidate)
        host_.on_invalidate(*this);
}

void Form::setBackColor(draw::OleColour colour)
{
    if (backColor_ == colour)
        return;
    backColor_ = colour;
    invalidate();
}

draw::Surface Form::render() const
{
    const platform::WindowRect bounds = pixelBounds();
    draw::Surface surface(bounds.width, bounds.height);
    render(surface);
    return surface;
}

void Form::render(draw::Surface& surface) const
{
    const platform::WindowRect bounds = pixelBounds();
    const draw::Rect client = draw::Rect::ofSize(0, 0, bounds.width, bounds.height).intersected(surface.bounds());
    surface.resetClip();
    surface.fillRect(client, draw::resolveColour(backColor_));
    paintControls(surface, nullptr, {0, 0}, client);
    surface.resetClip();
}

void Form::paintControls(draw::Surface& surface, const Control* container, draw::Point origin,
                         const draw::Rect& clip) const
{
    for (const auto& control : controls_) {
        if (control->Container() != container || !control->Visible())
            continue;
        surface.setClip(clip.intersected(control->paintBounds(origin)));
        // A control whose font cannot be drawn is left out of the picture; the others still show.
        platform::ignoreFailure([&] { control->paint(surface, origin); });
        const draw::Rect box = control->pixelBounds(origin);
        paintControls(surface, control.get(), {box.left, box.top}, clip.intersected(box));
    }
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
