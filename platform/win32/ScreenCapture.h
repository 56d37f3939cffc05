#pragma once
// What the screen shows, read back: a rectangle of the desktop (or all of it) copied with BitBlt
// from the screen's device context into a raster. On Windows and under Wine that is what the
// windows on the desktop look like now, layered windows and other programs' windows included.

#include <optional>

#include "platform/Desktop.h"
#include "platform/draw/Surface.h"

namespace platform::win32 {

// The area (screen coordinates), or the whole primary screen; nullopt for an empty area or when
// the system gives no bitmap.
std::optional<draw::Surface> captureScreen(const std::optional<platform::WindowRect>& area = std::nullopt);

} // namespace platform::win32
