#pragma once
// The simulated desktop: every program's top-level windows in one z-order, the foreground window,
// show states, hot keys, the screen saver, notification-area icons and the messages windows
// receive. Deterministic; WM_HOTKEY and posted messages travel through the simulated message loop.
//
// Two kinds of window live here. The world's windows (Outlook's, any other program's) are added,
// retitled, activated and closed by the world through this class. The notifier's own windows are
// created through the seam (createWindow); only they have window procedures, hot keys and
// receive messages through their procedures. Handles are never reused.
//
// Model, kept close to user32:
// - Z-order has two bands: topmost windows above the rest. A new window, BringWindowToTop and
//   activation move a window to the top of its band.
// - Activation (SetForegroundWindow, BringWindowToTop; ShowWindow with SW_SHOWNORMAL, SW_MAXIMIZE,
//   SW_SHOW or SW_RESTORE; the world's setForeground) makes a window the foreground window and moves
//   it to the top of its band. A new window does not take the foreground by itself, and SetWindowPos
//   never activates.
// - When the foreground window is hidden, minimised or destroyed, the foreground passes to the
//   highest visible, not minimised, not topmost window, or to none.
// - SW_RESTORE of a minimised window that was maximised before returns it to maximised, as on
//   Windows; every other restoring command gives the normal placement.
//
// Fault operations are the Win32 names (operationNames()); the world's own actions never fail.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "platform/MessageLoop.h"
#include "platform/sim/Faults.h"

namespace platform::sim {

// A window as the user sees it: hidden, or shown in one of three placements.
enum class ShowState { Hidden, Restored, Maximized, Minimized };

// A notification-area icon: never shown, shown, or deleted with Shell_NotifyIcon(NIM_DELETE).
enum class TrayIconState { Absent, Shown, Removed };

struct HotKeyCombo {
    std::uint32_t vk = 0;
    std::uint32_t modifiers = 0;   // mod::Alt | mod::Control | mod::Shift
    friend bool operator==(const HotKeyCombo&, const HotKeyCombo&) = default;
};

// Another program's window, as the world adds it.
struct WorldWindow {
    std::string name;              // the world's name for it ("" for none); unique among open windows
    std::string className;
    std::string title;
    bool visible = true;
    WindowHandle owner = NoWindow; // reported by GetParent
};

class SimDesktop final : public Desktop {
public:
    explicit SimDesktop(MessageLoop& loop);
    ~SimDesktop() override;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // --- Desktop (the system's way in) ----------------------------------------------------------
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
    void deleteNotifyIcon(WindowHandle owner, std::uint32_t id) override;
    // Records the message box and answers OK at once, as a user who reads it and presses OK.
    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    // The program associated with the file's extension (see setFileAssociation). Fails with 2 when
    // a file probe is set and says the file is missing, with 31 when no program is associated.
    std::string findExecutable(const std::string& file, const std::string& directory, int bufferSize) override;
    // Records the launch (see launches()) and succeeds; fails with 2 for an empty file name.
    void shellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                      const std::string& parameters, const std::string& directory, int showCommand) override;

    // --- The world's windows (no faults) --------------------------------------------------------
    // Another program's window appears at the top of the normal band. Throws std::invalid_argument
    // when the name is taken by an open window.
    WindowHandle addWindow(const WorldWindow& window);
    WindowHandle addWindow(const std::string& name, const std::string& className, const std::string& title = {},
                           bool hidden = false);
    // The window goes away (its tray icons too). Throws std::invalid_argument for an unknown window
    // or one of the notifier's own.
    void closeWindow(WindowHandle window);
    // The user activates the window (a click on it or on its task-bar button).
    void setForeground(WindowHandle window);
    void retitle(WindowHandle window, const std::string& title);
    // The world shows or hides its window (ShowWindow without faults).
    void show(WindowHandle window, int command);
    // The program moves its window to the top of its band without activating it.
    void raise(WindowHandle window);

    // --- Queries (no faults) --------------------------------------------------------------------
    WindowHandle window(std::string_view name) const;   // an open window by name, or NoWindow
    std::string nameOf(WindowHandle window) const;      // "" when unnamed or unknown
    bool exists(WindowHandle window) const;             // open (not closed or destroyed)
    bool isOwn(WindowHandle window) const;              // created through the seam
    std::vector<WindowHandle> zOrder() const;           // every open window, top first
    WindowHandle top() const;                           // top of the z-order, any window
    // The highest visible, not minimised, not topmost window: what is in front to the user.
    WindowHandle front() const;
    WindowHandle foreground() const;
    ShowState showState(WindowHandle window) const;
    bool visible(WindowHandle window) const;
    bool topmost(WindowHandle window) const;
    std::string title(WindowHandle window) const;
    std::string className(WindowHandle window) const;
    WindowRect bounds(WindowHandle window) const;
    std::uint32_t exStyle(WindowHandle window) const;
    // The alpha while the window is layered and an alpha has been applied; nullopt when opaque.
    std::optional<int> alpha(WindowHandle window) const;

    // --- Hot keys ------------------------------------------------------------------------------
    // Another program holds (or releases) the combination: RegisterHotKey of it fails.
    void setHotKeyTaken(std::uint32_t vk, std::uint32_t modifiers, bool taken = true);
    // The user presses a combination anywhere. A hot key of the notifier's posts WM_HOTKEY to its
    // window (delivered when the loop runs) and the result is true; otherwise nothing happens.
    bool press(std::uint32_t vk, std::uint32_t modifiers);
    // The combinations registered under (window, id), oldest first.
    std::vector<HotKeyCombo> hotKeys(WindowHandle window, int id) const;
    // The newest combination registered under (window, id), or nullopt.
    std::optional<HotKeyCombo> hotKey(WindowHandle window, int id) const;

    // --- Screen saver, tray icons, messages ----------------------------------------------------
    void setScreenSaver(bool running);
    bool screenSaver() const;
    int openDesktopCount() const;                      // desktops opened and not closed yet
    // An icon of (owner, id) appears (again). Throws std::invalid_argument for an unknown window.
    void addTrayIcon(WindowHandle owner, std::uint32_t id);
    TrayIconState trayIcon(WindowHandle owner, std::uint32_t id) const;
    // Messages delivered to the window (sent, or posted and delivered by the loop), by number.
    int messageCount(WindowHandle window, std::uint32_t message) const;

    // --- Message boxes -------------------------------------------------------------------------
    struct MessageBoxRecord {
        std::string text;
        std::string caption;
        std::uint32_t type = 0;    // mb:: style bits
    };
    // Every message box shown so far, oldest first.
    const std::vector<MessageBoxRecord>& messageBoxes() const;

    // --- Shell: file associations and launched programs ----------------------------------------
    // The program that opens files of an extension (".htm", compared without regard to case); an
    // empty program removes the association. By default ".htm" and ".html" open with
    // defaultBrowserPath, the user's default web browser.
    static constexpr const char* defaultBrowserPath = "C:\\Program Files\\Web Browser\\browser.exe";
    void setFileAssociation(const std::string& extension, const std::string& program);
    // The default web browser: the program of ".htm" and ".html"; nullopt leaves the user without one.
    void setDefaultBrowser(const std::optional<std::string>& program);
    // Tells FindExecutableA whether a file exists (the world's file system, say). Without a probe
    // every file counts as present.
    void setFileProbe(std::function<bool(const std::string& path)> exists);

    struct ShellLaunch {
        WindowHandle owner = NoWindow;
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        int showCommand = 0;
    };
    // Every program started through ShellExecuteA, oldest first.
    const std::vector<ShellLaunch>& launches() const;

    // --- Faults and observers -------------------------------------------------------------------
    Faults& faults();
    // Every operation name that fault injection knows, sorted.
    static std::span<const std::string_view> operationNames();

    struct Observers {
        // A call of the system that changes the desktop, with its outcome, e.g.
        // "RegisterHotKey(0x102, 70, 6, 0x7A) ok" or "... failed: combination taken".
        std::function<void(const std::string& line)> call;
    };
    Observers& observers();

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace platform::sim
