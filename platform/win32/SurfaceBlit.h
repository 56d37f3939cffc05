#pragma once
// A raster of ours onto a device context.
//
// Implements: drawSurface(), the surface's pixels (top-down 32-bit rows) into the rectangle
// (x, y, width, height) of a DC, stretched when the rectangle's size differs from the surface's.
// Both a window's WM_PAINT and a container's IViewObject::Draw use it.
// Does not: blend (the surface is opaque), or clip beyond the DC's own clipping.

#include <windows.h>

#include "platform/draw/Surface.h"

namespace platform::win32 {

void drawSurface(HDC dc, const draw::Surface& surface, int x, int y, int width, int height);

} // namespace platform::win32
