#include "platform/win32/SurfaceBlit.h"

namespace platform::win32 {

void drawSurface(HDC dc, const draw::Surface& surface, int x, int y, int width, int height)
{
    if (!dc || surface.empty() || width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.width();
    info.bmiHeader.biHeight = -surface.height();  // top-down rows, as the surface keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (width == surface.width() && height == surface.height()) {
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(surface.height()), surface.bits().data(), &info, DIB_RGB_COLORS);
        return;
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, surface.width(), surface.height(), surface.bits().data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

} // namespace platform::win32
