// Forms on real windows: what the screen shows is the form's own rendering, and a change repaints.

#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Loop.h"

namespace {

class NoticeForm : public forms::Form {
public:
    explicit NoticeForm(forms::FormsHost& host) : Form(host, "frmNotice")
    {
        forms::Label& label = add<forms::Label>("lblText");
        label.move(150, 150, 2400, 300);
        label.setCaption("New mail from Zoe");
        move(150 * 15, 120 * 15, 240 * 15, 100 * 15);  // twips at 96 dpi
        setBackColor(0x00E1FFFF);                       // a pale yellow, 0x00BBGGRR
    }
};

// The screen's pixels under the rectangle, each 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> screenPixels(const platform::WindowRect& r)
{
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.width;
    info.bmiHeader.biHeight = -r.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.width, r.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + r.width * r.height);
    for (auto& p : pixels)
        p &= 0x00FFFFFFu;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(FormWindows, TheScreenShowsTheFormsRenderingAndFollowsItsChanges)
{
    platform::win32::Win32Loop loop;
    platform::win32::Win32Desktop desktop;
    forms::FormsHost host(desktop, loop);
    platform::win32::FormWindows windows(host, desktop);
    NoticeForm form(host);
    form.Show();
    EXPECT_EQ(windows.formOf(form.hWnd()), &form);
    loop.runFor(300);

    const platform::WindowRect bounds = desktop.getWindowRect(form.hWnd());
    ASSERT_EQ(bounds, (platform::WindowRect{150, 120, 240, 100}));
    draw::Surface expected = form.render();
    EXPECT_EQ(screenPixels(bounds), expected.bits());

    form.setBackColor(0x00FFE1E1);  // pale blue: the window repaints by itself
    loop.runFor(300);
    expected = form.render();
    EXPECT_EQ(screenPixels(bounds), expected.bits());
    EXPECT_EQ(expected.pixel(1, 1)->packed(), 0x00E1E1FFu);

    form.Unload();
    EXPECT_EQ(windows.formOf(form.hWnd()), nullptr);
}

} // namespace
