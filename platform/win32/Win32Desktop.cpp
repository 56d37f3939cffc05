#include "platform/win32/Win32Desktop.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/SurfaceBlit.h"
#include "platform/win32/ThisModule.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {

HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle handleOf(HWND window) { return reinterpret_cast<WindowHandle>(window); }

void requireWindow(const char* call, WindowHandle window)
{
    if (!IsWindow(hwnd(window)))
        throw win32Failure(call, ERROR_INVALID_WINDOW_HANDLE);
}

// At most bufferSize - 1 code points of the text, as a buffer of that many characters holds.
std::string cut(const std::string& text, int bufferSize)
{
    if (bufferSize <= 1)
        return {};
    std::size_t points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && points++ == static_cast<std::size_t>(bufferSize - 1))
            return text.substr(0, i);
    }
    return text;
}

std::size_t codePoints(const std::string& text)
{
    std::size_t points = 0;
    for (char c : text)
        points += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return points;
}

// The window's whole title, read by GetWindowTextW alone into a buffer that grows until the title
// fits: one call where IsWindow, GetWindowTextLengthW and GetWindowTextW would be three, each a round
// trip to the window manager (under Wine, to the wine server) for another program's window, and the
// notifier's one-second look for Outlook reads every top-level window's title twice. Only an empty
// result asks whether the window is still there.
std::string windowText(WindowHandle window)
{
    constexpr std::size_t kLongestTitle = std::size_t{1} << 20;
    std::wstring text(256, L'\0');
    for (;;) {
        const int got = GetWindowTextW(hwnd(window), text.data(), static_cast<int>(text.size()));
        if (got <= 0) {
            requireWindow("GetWindowTextW", window);
            return {};
        }
        const auto length = static_cast<std::size_t>(got);
        if (length + 1 < text.size() || text.size() >= kLongestTitle) {
            text.resize(length);
            return toUtf8(text);
        }
        text.assign(text.size() * 2, L'\0');
    }
}

std::intptr_t defaultProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return DefWindowProcW(hwnd(window), message, wParam, lParam);
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list)
{
    return guardCallback<BOOL>(FALSE, [&] {
        reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(handleOf(window));
        return TRUE;
    });
}

} // namespace

class OwnWindowClass {
public:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* desktop = reinterpret_cast<Win32Desktop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!desktop)
            return DefWindowProcW(window, message, wParam, lParam);
        return guardCallback<LRESULT>(0, [&]() -> LRESULT {
            const WindowHandle handle = handleOf(window);
            auto found = desktop->procs_.find(handle);
            if (found == desktop->procs_.end()) {
                // Messages before CreateWindowExW has returned (WM_NCCREATE, WM_CREATE, ...).
                return DefWindowProcW(window, message, wParam, lParam);
            }
            if (message == WM_PAINT && desktop->painter_)
                if (paint(*desktop, window))
                    return 0;
            if (desktop->filter_)
                if (const auto answer = desktop->filter_(handle, message, wParam, lParam))
                    return *answer;
            // The procedure may replace itself while it runs: hold this one.
            const std::shared_ptr<WindowProc> procedure = found->second;
            const LRESULT result = (*procedure)(handle, message, wParam, lParam);
            if (message == WM_NCDESTROY) {
                desktop->procs_.erase(handle);
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            }
            return result;
        });
    }

    // The painter's raster onto the window; false when it has none for this window.
    static bool paint(Win32Desktop& desktop, HWND window)
    {
        const std::optional<draw::Surface> surface = desktop.painter_(handleOf(window));
        if (!surface)
            return false;
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        // Whatever happens to the copy, the paint ends.
        struct End {
            HWND window;
            PAINTSTRUCT* ps;
            ~End() { EndPaint(window, ps); }
        } end{window, &ps};
        if (dc)
            drawSurface(dc, *surface, 0, 0, surface->width(), surface->height());
        return true;
    }

    static void ensureRegistered(Win32Desktop& desktop, const std::string& className)
    {
        const std::wstring name = toWide(className);
        // Asked of Windows, not of our own list: another desktop of this module may have registered
        // the class, or removed it when it went.
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExW(thisModule(), name.c_str(), &existing)) {
            desktop.classes_.insert(className);
            return;
        }
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = thisModule();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name.c_str();
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw lastErrorFailure("RegisterClassExW");
        desktop.classes_.insert(className);
    }
};

Win32Desktop::Win32Desktop() = default;

Win32Desktop::~Win32Desktop()
{
    // Windows still open lose their procedure first: they must not call into a desktop that is gone.
    for (const auto& [window, proc] : procs_) {
        SetWindowLongPtrW(hwnd(window), GWLP_USERDATA, 0);
        DestroyWindow(hwnd(window));
    }
    for (const auto& name : classes_)
        UnregisterClassW(toWide(name).c_str(), thisModule());
}

void Win32Desktop::invalidate(WindowHandle window)
{
    if (!InvalidateRect(hwnd(window), nullptr, FALSE))
        throw lastErrorFailure("InvalidateRect");
}

void Win32Desktop::requireOwn(const char* call, WindowHandle window) const
{
    requireWindow(call, window);
    if (!isOwn(window))
        throw win32Failure(call, ERROR_ACCESS_DENIED);
}

std::vector<WindowHandle> Win32Desktop::enumWindows()
{
    // EnumDesktopWindows of the thread's desktop lists what EnumWindows lists, the desktop's
    // top-level windows in z-order. EnumWindows under Wine also asks IsWindow of each one before
    // calling back, a round trip to the wine server for every window of another program, and the
    // notifier's look for Outlook enumerates every second. A window that goes after the list is made
    // fails the caller's next query, as one that goes just after the IsWindow would.
    std::vector<WindowHandle> windows;
    const DWORD thread = GetCurrentThreadId();
    if (thread != desktopThread_) {
        // The thread's own desktop: the handle is the system's, never closed, and stays the
        // thread's for as long as it has windows (the notifier never moves it to another desktop).
        desktop_ = reinterpret_cast<DesktopHandle>(GetThreadDesktop(thread));
        desktopThread_ = thread;
    }
    if (desktop_) {
        const BOOL ok = EnumDesktopWindows(reinterpret_cast<HDESK>(desktop_), collectWindow,
                                           reinterpret_cast<LPARAM>(&windows));
        rethrowEscaped();
        // A desktop that lists nothing is not believed (Wine reports success for a desktop it
        // could not list): EnumWindows says.
        if (ok && !windows.empty()) {
            keepClassNames(windows);
            return windows;
        }
        windows.clear();
    }
    const BOOL ok = EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    rethrowEscaped();
    if (!ok)
        throw lastErrorFailure("EnumWindows");
    keepClassNames(windows);
    return windows;
}

void Win32Desktop::keepClassNames(const std::vector<WindowHandle>& windows)
{
    // A window's class never changes, but a window that has gone may leave its handle to a new
    // one. Names are kept only for the windows every list since the name was read has shown, with
    // lists at most kClassNamesKeptMs apart: reusing a handle takes the same slot of the window
    // table again with the same 16-bit use count, tens of thousands of windows made in between.
    const ULONGLONG now = GetTickCount64();
    const bool recent = now - listedAt_ <= kClassNamesKeptMs;
    std::map<WindowHandle, std::string> listed;
    for (WindowHandle window : windows) {
        std::string& name = listed[window];
        if (!recent)
            continue;
        if (const auto known = classNames_.find(window); known != classNames_.end())
            name = std::move(known->second);
    }
    classNames_ = std::move(listed);
    listedAt_ = now;
}

WindowHandle Win32Desktop::getParent(WindowHandle window)
{
    // A top-level window has no parent, and a window that has gone none either: only the error
    // tells them apart (without asking IsWindow each time, a second round trip).
    SetLastError(ERROR_SUCCESS);
    const HWND parent = GetParent(hwnd(window));
    if (!parent && GetLastError() == ERROR_INVALID_WINDOW_HANDLE)
        throw win32Failure("GetParent", ERROR_INVALID_WINDOW_HANDLE);
    return handleOf(parent);
}

bool Win32Desktop::isWindowVisible(WindowHandle window) { return IsWindowVisible(hwnd(window)) != FALSE; }

int Win32Desktop::getWindowTextLength(WindowHandle window)
{
    return static_cast<int>(codePoints(windowText(window)));
}

std::string Win32Desktop::getWindowText(WindowHandle window, int bufferSize)
{
    return cut(windowText(window), bufferSize);
}

std::string Win32Desktop::getClassName(WindowHandle window, int bufferSize)
{
    const auto known = GetTickCount64() - listedAt_ <= kClassNamesKeptMs ? classNames_.find(window) : classNames_.end();
    if (known != classNames_.end() && !known->second.empty())
        return cut(known->second, bufferSize);
    wchar_t name[257];  // class names hold at most 256 characters
    const int length = GetClassNameW(hwnd(window), name, static_cast<int>(std::size(name)));
    if (length == 0)
        throw lastErrorFailure("GetClassNameW");
    std::string className = toUtf8(std::wstring_view(name, static_cast<std::size_t>(length)));
    if (known != classNames_.end())
        known->second = className;
    return cut(className, bufferSize);
}

WindowRect Win32Desktop::getWindowRect(WindowHandle window)
{
    RECT r;
    if (!GetWindowRect(hwnd(window), &r))
        throw lastErrorFailure("GetWindowRect");
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

WindowHandle Win32Desktop::getForegroundWindow() { return handleOf(GetForegroundWindow()); }

void Win32Desktop::setForegroundWindow(WindowHandle window)
{
    requireWindow("SetForegroundWindow", window);
    const BOOL ok = SetForegroundWindow(hwnd(window));
    rethrowEscaped();
    if (!ok)
        throw win32Failure("SetForegroundWindow", ERROR_ACCESS_DENIED);
}

void Win32Desktop::bringWindowToTop(WindowHandle window)
{
    const BOOL ok = BringWindowToTop(hwnd(window));
    rethrowEscaped();
    if (!ok)
        throw lastErrorFailure("BringWindowToTop");
}

bool Win32Desktop::showWindow(WindowHandle window, int command)
{
    requireWindow("ShowWindow", window);
    if (command < SW_HIDE || command > SW_FORCEMINIMIZE)
        throw win32Failure("ShowWindow", ERROR_INVALID_PARAMETER);
    const BOOL wasVisible = ShowWindow(hwnd(window), command);
    rethrowEscaped();
    return wasVisible != FALSE;
}

void Win32Desktop::setWindowPos(WindowHandle window, InsertAfter insertAfter, const std::optional<WindowRect>& bounds)
{
    UINT flags = SWP_NOACTIVATE;
    HWND after = nullptr;
    switch (insertAfter) {
    case InsertAfter::Unchanged: flags |= SWP_NOZORDER; break;
    case InsertAfter::Top: after = HWND_TOP; break;
    case InsertAfter::Bottom: after = HWND_BOTTOM; break;
    case InsertAfter::TopMost: after = HWND_TOPMOST; break;
    case InsertAfter::NoTopMost: after = HWND_NOTOPMOST; break;
    }
    if (!bounds)
        flags |= SWP_NOMOVE | SWP_NOSIZE;
    const WindowRect r = bounds.value_or(WindowRect{});
    const BOOL ok = SetWindowPos(hwnd(window), after, r.left, r.top, r.width, r.height, flags);
    rethrowEscaped();
    if (!ok)
        throw lastErrorFailure("SetWindowPos");
}

std::uint32_t Win32Desktop::getExStyle(WindowHandle window)
{
    requireWindow("GetWindowLongPtrW", window);
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd(window), GWL_EXSTYLE));
}

void Win32Desktop::setExStyle(WindowHandle window, std::uint32_t exStyle)
{
    requireWindow("SetWindowLongPtrW", window);
    SetLastError(0);
    const LONG_PTR previous = SetWindowLongPtrW(hwnd(window), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (previous == 0 && error != 0)
        throw win32Failure("SetWindowLongPtrW", error);
}

void Win32Desktop::setLayeredAlpha(WindowHandle window, std::uint8_t alpha)
{
    if (!SetLayeredWindowAttributes(hwnd(window), 0, alpha, LWA_ALPHA))
        throw lastErrorFailure("SetLayeredWindowAttributes");
}

WindowHandle Win32Desktop::createWindow(const WindowSpec& spec)
{
    if (spec.owner != NoWindow)
        requireWindow("CreateWindowExW", spec.owner);
    OwnWindowClass::ensureRegistered(*this, spec.className);
    const DWORD exStyle = spec.exStyle | (spec.topmost ? WS_EX_TOPMOST : 0);
    const HWND window =
        CreateWindowExW(exStyle, toWide(spec.className).c_str(), toWide(spec.title).c_str(), WS_POPUP, spec.left,
                        spec.top, spec.width, spec.height, hwnd(spec.owner), nullptr, thisModule(), this);
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (!window)
        throw win32Failure("CreateWindowExW", error);
    procs_[handleOf(window)] = std::make_shared<WindowProc>(defaultProcedure);
    if (spec.visible) {
        // WS_VISIBLE shows a window without activating it.
        ShowWindow(window, SW_SHOWNOACTIVATE);
        rethrowEscaped();
    }
    return handleOf(window);
}

void Win32Desktop::destroyWindow(WindowHandle window)
{
    requireOwn("DestroyWindow", window);
    const BOOL ok = DestroyWindow(hwnd(window));
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (!ok)
        throw win32Failure("DestroyWindow", error);
    // Windows lets go of a destroyed window's hot keys.
    std::erase_if(hotKeys_, [window](const auto& entry) { return entry.first.first == window; });
}

void Win32Desktop::setParent(WindowHandle window, WindowHandle parent)
{
    requireOwn("SetParent", window);
    if (parent != NoWindow)
        requireWindow("SetParent", parent);
    // The style first: a window that becomes a child must carry WS_CHILD (not WS_POPUP) before
    // SetParent, and the reverse when it becomes top-level again.
    const LONG_PTR style = GetWindowLongPtrW(hwnd(window), GWL_STYLE);
    const LONG_PTR wanted = parent != NoWindow ? ((style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS)
                                               : ((style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
    SetWindowLongPtrW(hwnd(window), GWL_STYLE, wanted);
    SetLastError(0);
    const HWND previous = SetParent(hwnd(window), hwnd(parent));
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (!previous && error != 0)
        throw win32Failure("SetParent", error);
}

void Win32Desktop::setWindowText(WindowHandle window, const std::string& title)
{
    const BOOL ok = SetWindowTextW(hwnd(window), toWide(title).c_str());
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (!ok)
        throw win32Failure("SetWindowTextW", error);
}

WindowProc Win32Desktop::setWindowProc(WindowHandle window, WindowProc proc)
{
    requireOwn("SetWindowLongPtrW", window);
    if (!proc)
        throw win32Failure("SetWindowLongPtrW", ERROR_INVALID_PARAMETER);
    auto& slot = procs_.at(window);
    WindowProc previous = *slot;
    // A new holder: a procedure running now keeps the one it was called through.
    slot = std::make_shared<WindowProc>(std::move(proc));
    return previous;
}

std::intptr_t Win32Desktop::sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam)
{
    requireWindow("SendMessageW", window);
    const LRESULT result = SendMessageW(hwnd(window), message, wParam, lParam);
    rethrowEscaped();
    return result;
}

void Win32Desktop::postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam)
{
    if (!PostMessageW(hwnd(window), message, wParam, lParam))
        throw lastErrorFailure("PostMessageW");
}

void Win32Desktop::registerHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t vk)
{
    requireOwn("RegisterHotKey", window);
    if (!RegisterHotKey(hwnd(window), id, modifiers, vk))
        throw lastErrorFailure("RegisterHotKey");
    // Registering again under the same id replaces the combination, as Windows does.
    hotKeys_[{window, id}] = HotKey{vk, modifiers};
}

std::optional<Win32Desktop::HotKey> Win32Desktop::hotKey(WindowHandle window, int id) const
{
    const auto it = hotKeys_.find({window, id});
    return it == hotKeys_.end() ? std::nullopt : std::optional<HotKey>(it->second);
}

bool Win32Desktop::isOwnHotKey(std::uint32_t vk, std::uint32_t modifiers) const
{
    for (const auto& [where, combo] : hotKeys_)
        if (combo.vk == vk && (combo.modifiers & 0xF) == (modifiers & 0xF))
            return true;
    return false;
}

void Win32Desktop::unregisterHotKey(WindowHandle window, int id)
{
    if (!UnregisterHotKey(hwnd(window), id))
        throw lastErrorFailure("UnregisterHotKey");
    hotKeys_.erase({window, id});
}

bool Win32Desktop::screenSaverRunning()
{
    BOOL running = FALSE;
    if (!SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        throw lastErrorFailure("SystemParametersInfoW");
    return running != FALSE;
}

DesktopHandle Win32Desktop::openDesktop(const std::string& name, std::uint32_t access)
{
    const HDESK desktop = OpenDesktopW(toWide(name).c_str(), 0, FALSE, access);
    if (!desktop)
        throw lastErrorFailure("OpenDesktopW");
    return reinterpret_cast<DesktopHandle>(desktop);
}

void Win32Desktop::closeDesktop(DesktopHandle desktop)
{
    if (!CloseDesktop(reinterpret_cast<HDESK>(desktop)))
        throw lastErrorFailure("CloseDesktop");
}

int Win32Desktop::messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                             std::uint32_t type)
{
    if (onMessageBox)
        onMessageBox(text, caption, type);
    const int answer = MessageBoxW(hwnd(owner), toWide(text).c_str(), toWide(caption).c_str(), type);
    const DWORD error = GetLastError();
    rethrowEscaped();
    if (answer == 0)
        throw win32Failure("MessageBoxW", error);
    return answer;
}

void Win32Desktop::deleteNotifyIcon(WindowHandle owner, std::uint32_t id)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd(owner);
    data.uID = id;
    if (!Shell_NotifyIconW(NIM_DELETE, &data))
        throw win32Failure("Shell_NotifyIconW", ERROR_NOT_FOUND);
    if (onNotifyIconDeleted)
        onNotifyIconDeleted(owner, id);
}

std::string Win32Desktop::findExecutable(const std::string& file, const std::string& directory, int bufferSize)
{
    wchar_t program[MAX_PATH + 1] = {};
    const auto result = reinterpret_cast<INT_PTR>(FindExecutableW(
        toWide(file).c_str(), directory.empty() ? nullptr : toWide(directory).c_str(), program));
    if (result <= 32)
        throw Failure("FindExecutableW failed for \"" + file + "\" (" + std::to_string(result) + ")",
                      static_cast<std::int32_t>(result));
    return cut(toUtf8(program), bufferSize);
}

void Win32Desktop::shellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory, int showCommand)
{
    const std::wstring wideVerb = toWide(verb), wideFile = toWide(file), wideParameters = toWide(parameters),
                       wideDirectory = toWide(directory);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(hwnd(owner), verb.empty() ? nullptr : wideVerb.c_str(), wideFile.c_str(),
                      parameters.empty() ? nullptr : wideParameters.c_str(),
                      directory.empty() ? nullptr : wideDirectory.c_str(), showCommand));
    rethrowEscaped();
    if (result <= 32)
        throw Failure("ShellExecuteW failed for \"" + file + "\" (" + std::to_string(result) + ")",
                      static_cast<std::int32_t>(result));
}

} // namespace platform::win32
