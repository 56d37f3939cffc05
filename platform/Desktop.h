#pragma once
// Seam: the Win32 desktop as the notifier sees it. Top-level windows of every program (z-order,
// parent, visibility, title, class, show state, extended style), the foreground window, the
// notifier's own windows and their window procedures, system-wide hot keys, the screen saver,
// notification-area icons and window messages.
//
// A small model of user32 and shell32, not an abstraction over them: each call is one Win32 call
// with its argument and result conventions, so the system's algorithms read as they would on
// Windows. A call that Win32 reports as failed throws platform::Failure; results that are not
// success flags (ShowWindow's "was visible", a title) are returned.
//
// Titles, class names, message texts and paths are UTF-8; the Windows implementation calls the
// wide (W) functions and converts at this edge. Buffer sizes count characters (code points): a
// title read into 128 holds at most 127 of them, never part of one.
//
// The constants keep their Win32 values but not their Win32 names, so that this header and
// <windows.h> (whose names are macros) can be included together.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"

namespace platform {

// An opaque window handle (HWND); 0 is no window.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle NoWindow = 0;

// An opaque desktop handle (HDESK) from openDesktop.
using DesktopHandle = std::uintptr_t;

// ShowWindow commands (SW_*).
namespace sw {
inline constexpr int Hide = 0;
inline constexpr int ShowNormal = 1;
inline constexpr int ShowMinimized = 2;
inline constexpr int Maximize = 3;
inline constexpr int ShowNoActivate = 4;
inline constexpr int Show = 5;
inline constexpr int Minimize = 6;
inline constexpr int ShowMinNoActive = 7;
inline constexpr int ShowNA = 8;
inline constexpr int Restore = 9;
} // namespace sw

// Hot-key modifiers (MOD_*).
namespace mod {
inline constexpr std::uint32_t Alt = 1;
inline constexpr std::uint32_t Control = 2;
inline constexpr std::uint32_t Shift = 4;
inline constexpr std::uint32_t Win = 8;
} // namespace mod

// Window messages (WM_*).
namespace wm {
inline constexpr std::uint32_t Destroy = 0x0002;
inline constexpr std::uint32_t NcDestroy = 0x0082;
inline constexpr std::uint32_t ParentNotify = 0x0210;
inline constexpr std::uint32_t HotKey = 0x0312;
inline constexpr std::uint32_t User = 0x0400;
} // namespace wm

// Extended window styles (WS_EX_*), as read and written with GWL_EXSTYLE.
namespace wsex {
inline constexpr std::uint32_t TopMost = 0x00000008;
inline constexpr std::uint32_t ToolWindow = 0x00000080;
inline constexpr std::uint32_t Layered = 0x00080000;
} // namespace wsex

// MessageBoxA styles (MB_*) and its answers (ID*).
namespace mb {
inline constexpr std::uint32_t Ok = 0x00000000;
inline constexpr std::uint32_t IconStop = 0x00000010;         // MB_ICONHAND, MB_ICONERROR
inline constexpr std::uint32_t IconQuestion = 0x00000020;
inline constexpr std::uint32_t IconExclamation = 0x00000030;
inline constexpr std::uint32_t IconInformation = 0x00000040;
inline constexpr std::uint32_t IconMask = 0x000000F0;
inline constexpr int IdOk = 1;
} // namespace mb

// A window procedure: (window, message, wParam, lParam) -> result. The notifier's own windows
// start with the default procedure, which answers 0 to everything.
using WindowProc = std::function<std::intptr_t(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)>;

// What a new window of the notifier's own looks like (CreateWindowExA, reduced).
struct WindowSpec {
    std::string className;
    std::string title;
    bool visible = false;          // WS_VISIBLE: shown without being activated
    bool topmost = false;          // WS_EX_TOPMOST: above every window that is not topmost
    std::uint32_t exStyle = 0;     // further extended styles, e.g. wsex::ToolWindow
    WindowHandle owner = NoWindow; // an owned top-level window reports its owner as parent
    int left = 0, top = 0, width = 0, height = 0;  // pixels
    // The program's own name for the window (its form's name). Windows has no use for it; a
    // simulated desktop names the window so in what it reports.
    std::string name{};
};

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;  // pixels
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// SetWindowPos's hWndInsertAfter, or no z-order change (SWP_NOZORDER).
enum class InsertAfter { Unchanged, Top, Bottom, TopMost, NoTopMost };

class Desktop {
public:
    virtual ~Desktop() = default;

    // --- Top-level windows of every program ---------------------------------------------------
    // EnumWindows: every top-level window, visible or not, top of the z-order first.
    virtual std::vector<WindowHandle> enumWindows() = 0;
    // GetParent: 0 for a top-level window without owner; an owned window's owner.
    virtual WindowHandle getParent(WindowHandle window) = 0;
    virtual bool isWindowVisible(WindowHandle window) = 0;
    virtual int getWindowTextLength(WindowHandle window) = 0;
    // GetWindowTextA / GetClassNameA into a buffer of `bufferSize` characters: at most
    // bufferSize - 1 characters of the text (none when bufferSize <= 1).
    virtual std::string getWindowText(WindowHandle window, int bufferSize) = 0;
    virtual std::string getClassName(WindowHandle window, int bufferSize) = 0;
    virtual WindowRect getWindowRect(WindowHandle window) = 0;

    // --- Foreground, z-order and show state -----------------------------------------------------
    virtual WindowHandle getForegroundWindow() = 0;   // 0 when no window has the foreground
    virtual void setForegroundWindow(WindowHandle window) = 0;
    // Moves the window to the top of its band (topmost windows stay above the others) and, as a
    // top-level window, activates it.
    virtual void bringWindowToTop(WindowHandle window) = 0;
    // ShowWindow(window, sw::...); returns whether the window was visible before.
    virtual bool showWindow(WindowHandle window, int command) = 0;
    // SetWindowPos with SWP_NOACTIVATE; `bounds` absent is SWP_NOMOVE | SWP_NOSIZE. TopMost and
    // NoTopMost move the window into that band; Bottom also ends its topmost state.
    virtual void setWindowPos(WindowHandle window, InsertAfter insertAfter,
                              const std::optional<WindowRect>& bounds) = 0;

    // --- Extended style and layered windows ----------------------------------------------------
    virtual std::uint32_t getExStyle(WindowHandle window) = 0;               // GetWindowLongA GWL_EXSTYLE
    virtual void setExStyle(WindowHandle window, std::uint32_t exStyle) = 0; // SetWindowLongA GWL_EXSTYLE
    // SetLayeredWindowAttributes with colour key 0 and LWA_ALPHA; fails unless the window is layered.
    virtual void setLayeredAlpha(WindowHandle window, std::uint8_t alpha) = 0;

    // --- The notifier's own windows -------------------------------------------------------------
    // CreateWindowExA: a new top-level window at the top of its band.
    virtual WindowHandle createWindow(const WindowSpec& spec) = 0;
    // DestroyWindow: the window procedure receives WM_DESTROY, then WM_NCDESTROY; hot keys
    // registered for the window go away.
    virtual void destroyWindow(WindowHandle window) = 0;
    virtual void setWindowText(WindowHandle window, const std::string& title) = 0;
    // SetWindowLongA GWL_WNDPROC: installs `proc` and returns the previous procedure, which the
    // new one may call for messages it does not handle (CallWindowProcA). Only the notifier's own
    // windows can be subclassed.
    virtual WindowProc setWindowProc(WindowHandle window, WindowProc proc) = 0;

    // --- Messages ---------------------------------------------------------------------------
    // SendMessageA: runs the window's procedure at once (own windows) and returns its result;
    // another program's window answers 0.
    virtual std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
    // PostMessageA: the message reaches the window through the message loop.
    virtual void postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;

    // --- System-wide hot keys ---------------------------------------------------------------
    // RegisterHotKey for an own window. Fails when any hot key (of this or another program)
    // already holds the combination. As on Windows, registering a new combination under an
    // (window, id) that is registered already keeps the earlier one as well. A press of the
    // combination posts WM_HOTKEY (wParam = id, lParam = modifiers | vk << 16) to the window.
    virtual void registerHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t vk) = 0;
    // UnregisterHotKey: fails when nothing is registered under (window, id).
    virtual void unregisterHotKey(WindowHandle window, int id) = 0;

    // --- Screen saver ------------------------------------------------------------------------
    // SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 114).
    virtual bool screenSaverRunning() = 0;
    // OpenDesktopA(name, 0, FALSE, access) / CloseDesktop. Opening fails when no desktop of
    // that name exists ("screen-saver" exists while the screen saver runs).
    virtual DesktopHandle openDesktop(const std::string& name, std::uint32_t access) = 0;
    virtual void closeDesktop(DesktopHandle desktop) = 0;

    // --- Message boxes ------------------------------------------------------------------------
    // MessageBoxA: shows the modal message box and returns the user's answer (mb::IdOk ...).
    virtual int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) = 0;

    // --- Notification-area icons --------------------------------------------------------------
    // Shell_NotifyIconA(NIM_DELETE) for the icon (owner window, id); fails when there is none.
    virtual void deleteNotifyIcon(WindowHandle owner, std::uint32_t id) = 0;

    // --- Shell: programs and documents -----------------------------------------------------------
    // Added after the first cut; a desktop that does not offer them fails them, so older
    // implementations keep compiling and simply cannot open documents.
    //
    // FindExecutableA(file, directory, buffer of bufferSize characters): the program the shell
    // would start to open the file, at most bufferSize - 1 characters of its path. Win32 reports
    // failure as a result of 32 or less; that result becomes the Failure's number (2: the file is
    // missing, 31: no program is associated with its type).
    virtual std::string findExecutable(const std::string& /*file*/, const std::string& /*directory*/,
                                       int /*bufferSize*/)
    {
        throw Failure("FindExecutableA is not available on this desktop", 31);
    }
    // ShellExecuteA(owner, verb, file, parameters, directory, show): starts the program (or opens
    // the document) `file` with the verb ("open") and the parameters as its command line. A result
    // of 32 or less becomes the Failure's number.
    virtual void shellExecute(WindowHandle /*owner*/, const std::string& /*verb*/, const std::string& /*file*/,
                              const std::string& /*parameters*/, const std::string& /*directory*/,
                              int /*showCommand*/)
    {
        throw Failure("ShellExecuteA is not available on this desktop", 31);
    }
};

} // namespace platform
