#include "platform/forms/ControlSite.h"

#include <utility>

#include "platform/EntryGuard.h"
#include "platform/Failure.h"
#include "platform/forms/Form.h"
#include "platform/forms/UserControl.h"

namespace forms {

ControlSite::ControlSite(UserControl& control) : control_(control) {}

ControlSite::~ControlSite() = default;

bool ControlSite::userMode() { return userMode_; }

draw::OleColour ControlSite::ambientBackColor()
{
    if (ambientBackColor_)
        return *ambientBackColor_;
    if (const Control* container = control_.Container())
        return container->BackColor();
    return control_.parent().BackColor();
}

FontRef ControlSite::ambientFont() { return cloneFont(ambientFont_); }

bool ControlSite::displayAsDefault() { return displayAsDefault_; }

std::string ControlSite::extenderName() { return control_.Name(); }

platform::WindowHandle ControlSite::hWnd() { return platform::NoWindow; }

void ControlSite::propertyChanged(std::string_view name)
{
    if (onPropertyChanged)
        onPropertyChanged(std::string(name));
}

void ControlSite::asyncRead(std::string_view path, std::string propertyName, std::uint32_t,
                            std::function<void(AsyncReadResult)> done)
{
    if (!environment_)
        throw platform::Failure("No picture source");
    if (path.empty())
        throw platform::Failure("Invalid file name", 52);
    std::weak_ptr<int> alive = alive_;
    control_.parent().host().loop().post(
        [alive, environment = environment_, path = std::string(path), name = std::move(propertyName),
         done = std::move(done)] {
            if (alive.expired())
                return;
            // The completion is an event the loop delivers: an entry point of its own.
            platform::guardEntry("AsyncReadComplete of " + name, [&] {
                done(AsyncReadResult{name, [environment, path] { return environment->loadPicture(path); }});
            });
        });
}

draw::Point ControlSite::cursorPosition()
{
    if (environment_) {
        const draw::Point screen = environment_->cursorPos();
        const draw::Point origin = control_.screenOrigin();
        return {screen.x - origin.x, screen.y - origin.y};
    }
    if (!lastPointer_)
        throw platform::Failure("The pointer is nowhere known");
    return *lastPointer_;
}

void ControlSite::pointerAt(draw::Point controlPixel)
{
    lastPointer_ = controlPixel;
    if (environment_) {
        const draw::Point origin = control_.screenOrigin();
        environment_->pointerAt({origin.x + controlPixel.x, origin.y + controlPixel.y});
    }
}

bool ControlSite::inputPending() { return false; }

void ControlSite::doEvents() { control_.parent().host().loop().doEvents(); }

void ControlSite::setDisplayAsDefault(bool displayAsDefault)
{
    displayAsDefault_ = displayAsDefault;
    control_.ambientChanged("DisplayAsDefault");
}

} // namespace forms
