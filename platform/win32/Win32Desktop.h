#pragma once
// The desktop over user32 and shell32, with the wide calls.
//
// Implements: Desktop. Window handles are HWNDs. The notifier's own windows (createWindow) are
// popup-style top-level windows of a class registered under the WindowSpec's class name; their window
// procedure is the seam's WindowProc, which starts as DefWindowProcW (the "previous procedure" the
// first setWindowProc returns calls it) and runs inside the entry guard. Calls that may run an own
// window's procedure (SendMessageW, DestroyWindow, ShowWindow, ...) rethrow what escaped it once
// Windows has returned. Titles and class names are UTF-8; a buffer of n characters gives at most
// n - 1 code points, as in the simulated desktop. Message boxes are real and modal.
// An own window's client area shows what the painter gives (setPainter; FormWindows gives the
// forms' rasters), copied with SetDIBitsToDevice on WM_PAINT.
// The notifier looks at every top-level window each second, and under Wine each query of another
// program's window is a round trip to the wine server: enumWindows lists the thread's desktop
// (EnumDesktopWindows, which unlike Wine's EnumWindows asks nothing of each window), and the class
// name of a window the recent lists have shown is read once (a window's class never changes; see
// keepClassNames).
// Does not: subclass other programs' windows (it refuses, as the simulated desktop does), or add
// notification-area icons (only removes them).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/Desktop.h"
#include "platform/draw/Surface.h"

namespace platform::win32 {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::vector<WindowHandle> enumWindows() override;
    WindowHandle getParent(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;
    int getWindowTextLength(WindowHandle window) override;
    std::string getWindowText(WindowHandle window, int bufferSize) override;
    std::string getClassName(WindowHandle window, int bufferSize) override;
    WindowRect getWindowRect(WindowHandle window) override;
    WindowHandle getForegroundWindow() override;
    void setForegroundWindow(WindowHandle window) override;
    void bringWindowToTop(WindowHandle window) override;
    bool showWindow(WindowHandle window, int command) override;
    void setWindowPos(WindowHandle window, InsertAfter insertAfter, const std::optional<WindowRect>& bounds) override;
    std::uint32_t getExStyle(WindowHandle window) override;
    void setExStyle(WindowHandle window, std::uint32_t exStyle) override;
    void setLayeredAlpha(WindowHandle window, std::uint8_t alpha) override;
    WindowHandle createWindow(const WindowSpec& spec) override;
    void destroyWindow(WindowHandle window) override;
    void setWindowText(WindowHandle window, const std::string& title) override;
    WindowProc setWindowProc(WindowHandle window, WindowProc proc) override;
    std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    void postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    void registerHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t vk) override;
    void unregisterHotKey(WindowHandle window, int id) override;
    bool screenSaverRunning() override;
    DesktopHandle openDesktop(const std::string& name, std::uint32_t access) override;
    void closeDesktop(DesktopHandle desktop) override;
    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    void deleteNotifyIcon(WindowHandle owner, std::uint32_t id) override;
    std::string findExecutable(const std::string& file, const std::string& directory, int bufferSize) override;
    void shellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                      const std::string& parameters, const std::string& directory, int showCommand) override;

    // Hears each notification-area icon this seam removed.
    std::function<void(WindowHandle owner, std::uint32_t id)> onNotifyIconDeleted;
    // Hears each message box just before it shows: its text, caption and style bits.
    std::function<void(const std::string& text, const std::string& caption, std::uint32_t type)> onMessageBox;

    // The combination registered under (window, id) through this seam and not unregistered since.
    struct HotKey {
        std::uint32_t vk = 0;
        std::uint32_t modifiers = 0;
    };
    std::optional<HotKey> hotKey(WindowHandle window, int id) const;
    // Whether the combination is one registered through this seam.
    bool isOwnHotKey(std::uint32_t vk, std::uint32_t modifiers) const;

    // Makes an own window a child window of `parent` (WS_CHILD, placed in the parent's client
    // pixels), or a top-level popup again with NoWindow: an ActiveX control's form lives in its
    // container's window this way.
    void setParent(WindowHandle window, WindowHandle parent);

    // Whether the window is one of the notifier's own, created here and not destroyed yet.
    bool isOwn(WindowHandle window) const { return procs_.count(window) != 0; }

    // What an own window's client area shows: the painter's raster, from the top-left corner,
    // copied to the window on WM_PAINT. A window the painter has nothing for (nullopt), or every
    // window without a painter, is painted by DefWindowProcW.
    using Painter = std::function<std::optional<draw::Surface>(WindowHandle)>;
    void setPainter(Painter painter) { painter_ = std::move(painter); }
    // InvalidateRect over the whole client area: the window repaints when the loop next runs.
    void invalidate(WindowHandle window);

    // Sees every message of an own window before its procedure: a value is the message's answer
    // and the procedure does not see the message; nullopt passes it on. FormWindows routes the
    // mouse into the forms with it.
    using MessageFilter =
        std::function<std::optional<std::intptr_t>(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)>;
    void setMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

private:
    friend class OwnWindowClass;  // the own windows' procedure (Win32Desktop.cpp)

    void requireOwn(const char* call, WindowHandle window) const;
    void keepClassNames(const std::vector<WindowHandle>& windows);

    std::map<WindowHandle, std::shared_ptr<WindowProc>> procs_;
    std::set<std::string> classes_;
    std::map<std::pair<WindowHandle, int>, HotKey> hotKeys_;
    Painter painter_;
    MessageFilter filter_;
    // The desktop enumWindows lists (HDESK) and the thread it was asked for.
    DesktopHandle desktop_ = 0;
    std::uint32_t desktopThread_ = 0;
    // The windows the latest enumWindows listed, when it did, and the class names read of them
    // since (empty: not read yet). getClassName answers from here while the list is recent.
    static constexpr std::uint64_t kClassNamesKeptMs = 2000;
    std::map<WindowHandle, std::string> classNames_;
    std::uint64_t listedAt_ = 0;
};

} // namespace platform::win32
