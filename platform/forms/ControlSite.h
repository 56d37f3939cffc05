#pragma once
// The container's side of a user control (the site of an ActiveX control): what the control may
// ask of the form it sits on and of the world beyond it.
//
// - Ambient properties: user mode (run time rather than design time), the container's background
//   colour and font, and DisplayAsDefault (the container shows the control as its default
//   button). Each query may throw platform::Failure when the container cannot answer; controls
//   fall back as they see fit. Changing DisplayAsDefault here tells the control
//   (UserControl::ambientChanged), as a container does.
// - The control's name on the form (the extender's Name) and its window handle.
// - PropertyChanged: the control says a property changed, so that the container saves it.
// - Asynchronous picture reads by path, completed later through the form's message loop, or
//   never; a read whose site is gone by then is dropped.
// - The mouse pointer's place relative to the control, the pending-input test and DoEvents.
//
// This default site answers from the form and a ControlEnvironment; a platform or a test may
// derive from it. Without an environment, pictures cannot be read and the pointer is where the
// last mouse event delivered to this control put it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"
#include "platform/forms/ControlEnvironment.h"
#include "platform/forms/Picture.h"
#include "platform/forms/StdFont.h"

namespace forms {

class UserControl;

// AsyncRead's option "take the cached copy when the network fails".
inline constexpr std::uint32_t asyncReadGetFromCacheIfNetFail = 0x80000;

// A completed asynchronous read.
struct AsyncReadResult {
    std::string propertyName;  // the name the read was started with
    // The picture read; throws platform::Failure when the read failed.
    std::function<PictureRef()> value;
};

class ControlSite {
public:
    explicit ControlSite(UserControl& control);
    virtual ~ControlSite();
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    UserControl& control() const { return control_; }

    // Ambient properties.
    virtual bool userMode();
    virtual draw::OleColour ambientBackColor();  // by default the container's (or form's) BackColor
    virtual FontRef ambientFont();               // a new font object at every call
    virtual bool displayAsDefault();

    virtual std::string extenderName();
    // The simulated runtime gives controls no window of their own: NoWindow.
    virtual platform::WindowHandle hWnd();

    virtual void propertyChanged(std::string_view name);

    // Starts reading `path` as a picture; `done` runs later on the message loop. Throws
    // platform::Failure when the read cannot start (no environment, an empty path).
    virtual void asyncRead(std::string_view path, std::string propertyName, std::uint32_t options,
                           std::function<void(AsyncReadResult)> done);

    // The pointer in pixels relative to the control's top-left corner. Throws platform::Failure
    // when it cannot be told.
    virtual draw::Point cursorPosition();
    // A mouse event was delivered at this point of the control.
    virtual void pointerAt(draw::Point controlPixel);

    // GetInputState: whether mouse or keyboard input waits. The simulated world has no input
    // queue of its own: false.
    virtual bool inputPending();
    // DoEvents on the form's message loop.
    virtual void doEvents();

    // The container's settings.
    void setUserMode(bool userMode) { userMode_ = userMode; }
    void setAmbientBackColor(std::optional<draw::OleColour> colour) { ambientBackColor_ = colour; }
    void setAmbientFont(const StdFont& font) { ambientFont_ = font; }
    // Stores the ambient value and tells the control, whether or not it changed.
    void setDisplayAsDefault(bool displayAsDefault);
    void setEnvironment(std::shared_ptr<ControlEnvironment> environment) { environment_ = std::move(environment); }
    const std::shared_ptr<ControlEnvironment>& environment() const { return environment_; }

    // Each PropertyChanged, for the container (a form that saves its controls, a test).
    std::function<void(const std::string&)> onPropertyChanged;

private:
    UserControl& control_;
    bool userMode_ = true;
    bool displayAsDefault_ = false;
    std::optional<draw::OleColour> ambientBackColor_;
    StdFont ambientFont_;
    std::shared_ptr<ControlEnvironment> environment_;
    std::optional<draw::Point> lastPointer_;
    // Reads in flight hold a weak reference: one completing after the site is gone is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace forms
