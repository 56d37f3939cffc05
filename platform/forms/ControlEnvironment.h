#pragma once
// What the user controls of one program share of the world around them: the mouse pointer's
// place on the screen and pictures read by path (a file or a URL). On Windows these are
// GetCursorPos and the host's asynchronous moniker reads; SimControlEnvironment is the simulated
// world's.

#include <string_view>

#include "platform/draw/Surface.h"
#include "platform/forms/Picture.h"

namespace forms {

class ControlEnvironment {
public:
    virtual ~ControlEnvironment() = default;

    // Where the pointer is, in screen pixels. Throws platform::Failure when it cannot be told.
    virtual draw::Point cursorPos() = 0;
    // The host delivered a mouse event at this screen point. Real pointers move by themselves;
    // a simulated one follows the events it is given.
    virtual void pointerAt(draw::Point) {}

    // The picture at a path. Throws platform::Failure when there is none or it is no picture.
    virtual PictureRef loadPicture(std::string_view path) = 0;
};

} // namespace forms
