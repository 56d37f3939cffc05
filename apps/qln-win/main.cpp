// qln-win: the notifier on the real Windows desktop, with Outlook simulated in-process.
//
// For now one fixed run rather than the scenario language: Outlook starts (its windows are real
// windows of this process), the notifier starts on the real registry, files, loop, desktop and GDI
// fonts, one mail arrives, and once the popup has appeared its window is captured from the screen
// to OUT/popup.png. The transcript tells what the real desktop reports; message boxes are answered
// with OK and told.
//
//   qln-win [OUT]      (OUT defaults to the current folder)
//
// Exit status 0 when the popup was shown and the screen holds exactly its rendering, 1 when not, 2
// for a failure.

#include <windows.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "platform/draw/Png.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimOutlook.h"
#include "platform/win32/CallbackGuard.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace {

using platform::win32::toWide;

void say(const std::string& line) { std::printf("%s\n", line.c_str()); }

std::string rectText(const platform::WindowRect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) + " x " +
           std::to_string(r.height);
}

// Outlook's own windows, as Outlook makes them: a hidden title-less helper that owns the tray icon,
// and the main window.
class OutlookWindows {
public:
    OutlookWindows()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"rctrl_renwnd32";
        RegisterClassExW(&wc);
        tray_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
        main_ = CreateWindowExW(0, wc.lpszClassName, L"Inbox - Microsoft Outlook", WS_OVERLAPPEDWINDOW, 40, 40, 600,
                                400, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(main_, SW_SHOWNORMAL);
        SetForegroundWindow(main_);
    }
    ~OutlookWindows()
    {
        DestroyWindow(main_);
        DestroyWindow(tray_);
    }

private:
    HWND tray_ = nullptr;
    HWND main_ = nullptr;
};

// Answers the message boxes of this thread with OK, as a user who reads them would, and tells
// them: a thread timer, which the box's own modal loop dispatches.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : timer_(SetTimer(nullptr, 0, 100, tick)) {}
    ~MessageBoxAnswerer() { KillTimer(nullptr, timer_); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        platform::win32::guardCallback(0, [] {
            EnumThreadWindows(GetCurrentThreadId(), answer, 0);
            return 0;
        });
    }
    static BOOL CALLBACK answer(HWND window, LPARAM)
    {
        return platform::win32::guardCallback<BOOL>(FALSE, [&] {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring_view(className) == L"#32770" && IsWindowVisible(window)) {
                wchar_t caption[256] = {};
                wchar_t text[1024] = {};
                GetWindowTextW(window, caption, 256);
                GetDlgItemTextW(window, 0xFFFF, text, 1024);  // the box's message
                say("msgbox: \"" + platform::win32::toUtf8(text) + "\" (" + platform::win32::toUtf8(caption) +
                    ") answered OK");
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        });
    }
    UINT_PTR timer_;
};

// The window's pixels as the screen shows them.
draw::Surface capture(const platform::WindowRect& r)
{
    draw::Surface shot(r.width, r.height);
    const HDC screen = GetDC(nullptr);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = GetPixel(screen, r.left + x, r.top + y);
            shot.setPixel(x, y, draw::Rgb{GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    ReleaseDC(nullptr, screen);
    return shot;
}

int run(const std::filesystem::path& out)
{
    platform::win32::Win32Loop loop;
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32Desktop desktop;
    platform::win32::GdiFontEngine fonts;
    platform::sim::SimOutlook outlook(loop, loop);

    say("world: screen " + std::to_string(system.screenWidth()) + " x " + std::to_string(system.screenHeight()) +
        " at " + std::to_string(system.logPixelsX()) + " dpi, user " + system.userName());
    OutlookWindows outlookWindows;
    outlook.start();
    say("world: Outlook starts (simulated in-process; its windows are real)");

    MessageBoxAnswerer answerer;
    forms::FormsHost host(desktop, loop, fonts, system);
    platform::win32::FormWindows windows(host, desktop);
    qln::NotifierServices services(registry, files, system, desktop, loop, loop, outlook);
    qln::frmNewMail popup(host, services);
    popup.Load();
    loop.runFor(1000);
    say("notifier: started");

    platform::sim::MailSpec mail;
    mail.senderName = "Bob Baker";
    mail.senderEmail = "bob@example.com";
    mail.to = "Alice";
    mail.subject = "Lunch on Friday?";
    mail.body = "Shall we try the new place by the river?";
    // A fixed time, so that tests/win32/first-popup.qls can show the same popup on the simulator.
    mail.received = platform::DateTime::fromCivil({2026, 1, 5, 9, 5, 0});
    outlook.deliver("Inbox", mail);
    say("world: mail arrives in Inbox: \"Lunch on Friday?\" from Bob Baker");
    loop.runFor(3000);

    const platform::WindowHandle window = popup.hWnd();
    if (window == platform::NoWindow || !desktop.isWindowVisible(window)) {
        say("popup: not shown");
        return 1;
    }
    const platform::WindowRect bounds = desktop.getWindowRect(window);
    const std::uint32_t ex = desktop.getExStyle(window);
    say("popup: shown at " + rectText(bounds) + ((ex & WS_EX_TOPMOST) ? ", topmost" : "") +
        ((ex & WS_EX_TOOLWINDOW) ? ", tool window" : "") + ((ex & WS_EX_LAYERED) ? ", layered" : ""));
    const HWND foreground = GetForegroundWindow();
    say(std::string("desktop: the foreground is ") +
        (foreground == reinterpret_cast<HWND>(window) ? "the popup" : "not the popup"));

    std::filesystem::create_directories(out);
    const std::filesystem::path file = out / "popup.png";
    const draw::Surface shot = capture(bounds);
    draw::writePng(shot, file);
    say("snapshot: the popup's window from the screen: " + file.generic_string());

    // The screen must show the popup exactly as the forms runtime draws it (it is opaque here).
    const auto difference = shot.firstDifference(popup.render());
    if (difference)
        say("snapshot: differs from the popup's own rendering at " + std::to_string(difference->x) + "," +
            std::to_string(difference->y));
    else
        say("snapshot: the same pixels as the popup's own rendering");
    popup.Unload();
    loop.runFor(100);
    return difference ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::current_path());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "qln-win: %s\n", failure.what());
        return 2;
    }
}
