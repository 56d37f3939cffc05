#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "platform/Failure.h"
#include "platform/Utf8.h"

namespace platform::sim {

namespace {

enum class Placement { Normal, Maximized, Minimized };

struct Window {
    WindowHandle handle = NoWindow;
    std::string name;
    std::string className;
    std::string title;
    bool own = false;
    bool visible = false;
    bool topmost = false;
    Placement placement = Placement::Normal;
    bool restoreToMaximized = false;   // minimised from the maximised placement
    std::uint32_t exStyle = 0;         // without WS_EX_TOPMOST, which `topmost` holds
    std::optional<int> alpha;          // applied with SetLayeredWindowAttributes while layered
    WindowRect rect;
    WindowHandle owner = NoWindow;
    WindowProc proc;
};

struct Registration {
    WindowHandle window;
    int id;
    HotKeyCombo combo;
};

// Hot keys match on the modifier keys only (MOD_NOREPEAT and other flags play no part).
constexpr std::uint32_t ModifierKeys = mod::Alt | mod::Control | mod::Shift | mod::Win;

bool sameCombo(const HotKeyCombo& a, const HotKeyCombo& b)
{
    return a.vk == b.vk && (a.modifiers & ModifierKeys) == (b.modifiers & ModifierKeys);
}

std::string hex(std::uint64_t value)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
    return buffer;
}

// A buffer of n characters holds n - 1 of them and the NUL: characters, never a piece of one.
std::string truncated(const std::string& text, int bufferSize)
{
    if (bufferSize <= 1)
        return {};
    return text.substr(0, utf8::prefixBytes(text, static_cast<std::size_t>(bufferSize - 1)));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

constexpr std::array<std::string_view, 29> OperationNames = {
    "BringWindowToTop",   "CloseDesktop",         "CreateWindowExA",   "DestroyWindow",
    "EnumWindows",        "FindExecutableA",      "GetClassNameA",     "GetForegroundWindow", "GetParent",
    "GetWindowLongA",     "GetWindowRect",        "GetWindowTextA",    "GetWindowTextLengthA",
    "IsWindowVisible",    "MessageBoxA",          "OpenDesktopA",      "PostMessageA",      "RegisterHotKey",
    "SendMessageA",       "SetForegroundWindow",  "SetLayeredWindowAttributes", "SetWindowLongA",
    "SetWindowPos",       "SetWindowTextA",       "ShellExecuteA",     "Shell_NotifyIconA", "ShowWindow",
    "SystemParametersInfoA", "UnregisterHotKey",
};

} // namespace

struct SimDesktop::State {
    explicit State(MessageLoop& l) : loop(l) {}

    MessageLoop& loop;
    Faults faults;
    Observers observers;
    std::map<WindowHandle, Window> windows;   // open windows
    std::vector<WindowHandle> order;          // z-order, top first
    WindowHandle foreground = NoWindow;
    WindowHandle nextHandle = 0x10010;
    std::vector<Registration> hotKeys;        // in registration order
    std::vector<HotKeyCombo> taken;           // held by other programs
    bool screenSaver = false;
    std::set<DesktopHandle> openDesktops;
    DesktopHandle nextDesktop = 0x30;
    std::map<std::pair<WindowHandle, std::uint32_t>, TrayIconState> tray;
    std::map<std::pair<WindowHandle, std::uint32_t>, int> messages;
    std::vector<MessageBoxRecord> messageBoxes;
    std::map<std::string, std::string> associations;  // lower-case extension -> program
    std::function<bool(const std::string&)> fileProbe;
    std::vector<ShellLaunch> launches;

    // --- Bookkeeping --------------------------------------------------------------------------

    void report(const std::string& line) const
    {
        if (observers.call)
            observers.call(line);
    }

    [[noreturn]] void fail(const std::string& call, const std::string& reason) const
    {
        report(call + " failed: " + reason);
        throw Failure(call + " failed: " + reason);
    }

    void check(std::string_view operation)
    {
        try {
            faults.check(operation);
        } catch (const Failure&) {
            report(std::string(operation) + " failed (injected)");
            throw;
        }
    }

    std::string describe(WindowHandle handle) const
    {
        auto it = windows.find(handle);
        if (it != windows.end() && !it->second.name.empty())
            return it->second.name;
        return hex(handle);
    }

    Window* find(WindowHandle handle)
    {
        auto it = windows.find(handle);
        return it == windows.end() ? nullptr : &it->second;
    }
    const Window* find(WindowHandle handle) const
    {
        auto it = windows.find(handle);
        return it == windows.end() ? nullptr : &it->second;
    }

    // The seam's view: an unknown handle is ERROR_INVALID_WINDOW_HANDLE.
    Window& live(const std::string& call, WindowHandle handle)
    {
        if (Window* w = find(handle))
            return *w;
        fail(call, "invalid window handle " + hex(handle));
    }

    // The world's view: an unknown handle is a mistake in the scenario or test.
    Window& known(WindowHandle handle)
    {
        if (Window* w = find(handle))
            return *w;
        throw std::invalid_argument("no open window " + hex(handle));
    }
    const Window& known(WindowHandle handle) const
    {
        if (const Window* w = find(handle))
            return *w;
        throw std::invalid_argument("no open window " + hex(handle));
    }

    // --- Z-order and activation -------------------------------------------------------------

    void unlink(WindowHandle handle) { order.erase(std::remove(order.begin(), order.end(), handle), order.end()); }

    // Topmost windows come first; a window goes to the top of its own band.
    void placeOnTop(WindowHandle handle)
    {
        unlink(handle);
        bool topmost = known(handle).topmost;
        auto at = order.begin();
        if (!topmost)
            at = std::find_if(order.begin(), order.end(), [&](WindowHandle h) { return !known(h).topmost; });
        order.insert(at, handle);
    }

    void placeAtBottom(WindowHandle handle)
    {
        unlink(handle);
        order.push_back(handle);
    }

    WindowHandle frontExcept(WindowHandle excluded) const
    {
        for (WindowHandle h : order) {
            const Window& w = known(h);
            if (h != excluded && w.visible && w.placement != Placement::Minimized && !w.topmost)
                return h;
        }
        return NoWindow;
    }

    void activate(WindowHandle handle)
    {
        foreground = handle;
        placeOnTop(handle);
    }

    // The foreground window was hidden, minimised or is going away: the next one in line takes it.
    void passForegroundFrom(WindowHandle handle)
    {
        if (foreground == handle)
            foreground = frontExcept(handle);
    }

    // --- Show state -------------------------------------------------------------------------

    bool applyShow(Window& w, int command)
    {
        const bool wasVisible = w.visible;
        auto minimize = [&] {
            if (w.placement != Placement::Minimized)
                w.restoreToMaximized = w.placement == Placement::Maximized;
            w.placement = Placement::Minimized;
            w.visible = true;
            passForegroundFrom(w.handle);
        };
        switch (command) {
        case sw::Hide:
            w.visible = false;
            passForegroundFrom(w.handle);
            break;
        case sw::ShowNormal:
            w.placement = Placement::Normal;
            w.visible = true;
            activate(w.handle);
            break;
        case sw::ShowMinimized:
        case sw::Minimize:
        case sw::ShowMinNoActive:
        case 11:  // SW_FORCEMINIMIZE
            minimize();
            break;
        case sw::Maximize:
            w.placement = Placement::Maximized;
            w.visible = true;
            activate(w.handle);
            break;
        case sw::ShowNoActivate:
            w.placement = Placement::Normal;
            w.visible = true;
            break;
        case sw::Show:
        case 10:  // SW_SHOWDEFAULT
            w.visible = true;
            activate(w.handle);
            break;
        case sw::ShowNA:
            w.visible = true;
            break;
        case sw::Restore:
            if (w.placement == Placement::Minimized && w.restoreToMaximized)
                w.placement = Placement::Maximized;
            else
                w.placement = Placement::Normal;
            w.visible = true;
            activate(w.handle);
            break;
        default:
            fail("ShowWindow(" + describe(w.handle) + ", " + std::to_string(command) + ")", "invalid command");
        }
        return wasVisible;
    }

    // --- Messages ---------------------------------------------------------------------------

    std::intptr_t deliver(WindowHandle handle, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
    {
        Window* w = find(handle);
        if (!w)
            return 0;
        ++messages[{handle, message}];
        if (!w->own || !w->proc)
            return 0;
        WindowProc proc = w->proc;   // the procedure may replace itself while it runs
        return proc(handle, message, wParam, lParam);
    }

    void post(const std::shared_ptr<State>& self, WindowHandle handle, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam)
    {
        std::weak_ptr<State> weak = self;
        loop.post([weak, handle, message, wParam, lParam] {
            if (auto state = weak.lock())
                state->deliver(handle, message, wParam, lParam);
        });
    }

    void remove(WindowHandle handle)
    {
        passForegroundFrom(handle);
        unlink(handle);
        std::erase_if(hotKeys, [&](const Registration& r) { return r.window == handle; });
        std::erase_if(tray, [&](const auto& entry) {
            return entry.first.first == handle && entry.second == TrayIconState::Shown;
        });
        windows.erase(handle);
    }

    WindowHandle add(Window w)
    {
        w.handle = nextHandle;
        nextHandle += 0x10;
        WindowHandle handle = w.handle;
        windows.emplace(handle, std::move(w));
        placeOnTop(handle);
        return handle;
    }
};

namespace {

std::intptr_t defaultWindowProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }

} // namespace

SimDesktop::SimDesktop(MessageLoop& loop) : state_(std::make_shared<State>(loop))
{
    setDefaultBrowser(std::string(defaultBrowserPath));
}

SimDesktop::~SimDesktop() = default;

// --- Desktop ---------------------------------------------------------------------------------

std::vector<WindowHandle> SimDesktop::enumWindows()
{
    state_->check("EnumWindows");
    return state_->order;
}

WindowHandle SimDesktop::getParent(WindowHandle window)
{
    state_->check("GetParent");
    return state_->live("GetParent", window).owner;
}

bool SimDesktop::isWindowVisible(WindowHandle window)
{
    state_->check("IsWindowVisible");
    // IsWindowVisible answers FALSE for an unknown handle rather than failing.
    const Window* w = state_->find(window);
    return w && w->visible;
}

int SimDesktop::getWindowTextLength(WindowHandle window)
{
    state_->check("GetWindowTextLengthA");
    return static_cast<int>(utf8::count(state_->live("GetWindowTextLengthA", window).title));
}

std::string SimDesktop::getWindowText(WindowHandle window, int bufferSize)
{
    state_->check("GetWindowTextA");
    return truncated(state_->live("GetWindowTextA", window).title, bufferSize);
}

std::string SimDesktop::getClassName(WindowHandle window, int bufferSize)
{
    state_->check("GetClassNameA");
    return truncated(state_->live("GetClassNameA", window).className, bufferSize);
}

WindowRect SimDesktop::getWindowRect(WindowHandle window)
{
    state_->check("GetWindowRect");
    return state_->live("GetWindowRect", window).rect;
}

WindowHandle SimDesktop::getForegroundWindow()
{
    state_->check("GetForegroundWindow");
    return state_->foreground;
}

void SimDesktop::setForegroundWindow(WindowHandle window)
{
    state_->check("SetForegroundWindow");
    state_->live("SetForegroundWindow", window);
    state_->activate(window);
    state_->report("SetForegroundWindow(" + state_->describe(window) + ")");
}

void SimDesktop::bringWindowToTop(WindowHandle window)
{
    state_->check("BringWindowToTop");
    state_->live("BringWindowToTop", window);
    state_->activate(window);
    state_->report("BringWindowToTop(" + state_->describe(window) + ")");
}

bool SimDesktop::showWindow(WindowHandle window, int command)
{
    state_->check("ShowWindow");
    bool wasVisible = state_->applyShow(state_->live("ShowWindow", window), command);
    state_->report("ShowWindow(" + state_->describe(window) + ", " + std::to_string(command) + ")");
    return wasVisible;
}

void SimDesktop::setWindowPos(WindowHandle window, InsertAfter insertAfter, const std::optional<WindowRect>& bounds)
{
    state_->check("SetWindowPos");
    Window& w = state_->live("SetWindowPos", window);
    switch (insertAfter) {
    case InsertAfter::Unchanged:
        break;
    case InsertAfter::Top:
        state_->placeOnTop(window);
        break;
    case InsertAfter::Bottom:
        w.topmost = false;
        state_->placeAtBottom(window);
        break;
    case InsertAfter::TopMost:
        w.topmost = true;
        state_->placeOnTop(window);
        break;
    case InsertAfter::NoTopMost:
        w.topmost = false;
        state_->placeOnTop(window);
        break;
    }
    if (bounds)
        w.rect = *bounds;
    std::string line = "SetWindowPos(" + state_->describe(window);
    if (w.topmost)
        line += ", topmost";
    if (bounds)
        line += ", " + std::to_string(bounds->left) + " " + std::to_string(bounds->top) + " " +
                std::to_string(bounds->width) + " " + std::to_string(bounds->height);
    state_->report(line + ")");
}

std::uint32_t SimDesktop::getExStyle(WindowHandle window)
{
    state_->check("GetWindowLongA");
    const Window& w = state_->live("GetWindowLongA", window);
    return w.exStyle | (w.topmost ? wsex::TopMost : 0);
}

void SimDesktop::setExStyle(WindowHandle window, std::uint32_t exStyle)
{
    state_->check("SetWindowLongA");
    Window& w = state_->live("SetWindowLongA", window);
    // WS_EX_TOPMOST only changes through SetWindowPos, as on Windows.
    w.exStyle = exStyle & ~wsex::TopMost;
    if (!(w.exStyle & wsex::Layered))
        w.alpha.reset();
    state_->report("SetWindowLongA(" + state_->describe(window) + ", GWL_EXSTYLE, " + hex(exStyle) + ")");
}

void SimDesktop::setLayeredAlpha(WindowHandle window, std::uint8_t alpha)
{
    state_->check("SetLayeredWindowAttributes");
    std::string call = "SetLayeredWindowAttributes(" + state_->describe(window) + ", " + std::to_string(alpha) + ")";
    Window& w = state_->live(call, window);
    if (!(w.exStyle & wsex::Layered))
        state_->fail(call, "the window is not layered");
    w.alpha = alpha;
    state_->report(call);
}

WindowHandle SimDesktop::createWindow(const WindowSpec& spec)
{
    state_->check("CreateWindowExA");
    if (spec.owner != NoWindow)
        state_->live("CreateWindowExA", spec.owner);
    Window w;
    // Named after its form unless that name is taken by an open window.
    if (!spec.name.empty() && window(spec.name) == NoWindow)
        w.name = spec.name;
    w.className = spec.className;
    w.title = spec.title;
    w.own = true;
    w.visible = spec.visible;
    w.topmost = spec.topmost || (spec.exStyle & wsex::TopMost);
    w.exStyle = spec.exStyle & ~wsex::TopMost;
    w.rect = WindowRect{spec.left, spec.top, spec.width, spec.height};
    w.owner = spec.owner;
    w.proc = defaultWindowProc;
    WindowHandle handle = state_->add(std::move(w));
    state_->report("CreateWindowExA(" + spec.className + ", \"" + spec.title + "\") = " + state_->describe(handle));
    return handle;
}

void SimDesktop::destroyWindow(WindowHandle window)
{
    state_->check("DestroyWindow");
    std::string call = "DestroyWindow(" + state_->describe(window) + ")";
    if (!state_->live(call, window).own)
        state_->fail(call, "the window belongs to another program");
    // The procedure still sees its window while it handles the last two messages.
    state_->deliver(window, wm::Destroy, 0, 0);
    state_->deliver(window, wm::NcDestroy, 0, 0);
    state_->remove(window);
    state_->report(call);
}

void SimDesktop::setWindowText(WindowHandle window, const std::string& title)
{
    state_->check("SetWindowTextA");
    state_->live("SetWindowTextA", window).title = title;
    state_->report("SetWindowTextA(" + state_->describe(window) + ", \"" + title + "\")");
}

WindowProc SimDesktop::setWindowProc(WindowHandle window, WindowProc proc)
{
    state_->check("SetWindowLongA");
    std::string call = "SetWindowLongA(" + state_->describe(window) + ", GWL_WNDPROC)";
    Window& w = state_->live(call, window);
    if (!w.own)
        state_->fail(call, "the window belongs to another program");
    if (!proc)
        state_->fail(call, "no window procedure");
    WindowProc previous = std::move(w.proc);
    w.proc = std::move(proc);
    return previous;
}

std::intptr_t SimDesktop::sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam)
{
    state_->check("SendMessageA");
    std::string call = "SendMessageA(" + state_->describe(window) + ", " + hex(message) + ", " +
                       std::to_string(wParam) + ", " + std::to_string(lParam) + ")";
    state_->live(call, window);
    state_->report(call);
    return state_->deliver(window, message, wParam, lParam);
}

void SimDesktop::postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam)
{
    state_->check("PostMessageA");
    std::string call = "PostMessageA(" + state_->describe(window) + ", " + hex(message) + ", " +
                       std::to_string(wParam) + ", " + std::to_string(lParam) + ")";
    state_->live(call, window);
    state_->post(state_, window, message, wParam, lParam);
    state_->report(call);
}

void SimDesktop::registerHotKey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t vk)
{
    state_->check("RegisterHotKey");
    std::string call = "RegisterHotKey(" + state_->describe(window) + ", " + std::to_string(id) + ", " +
                       std::to_string(modifiers) + ", " + hex(vk) + ")";
    if (!state_->live(call, window).own)
        state_->fail(call, "the window belongs to another program");
    HotKeyCombo combo{vk, modifiers & ModifierKeys};
    auto heldBy = [&](const HotKeyCombo& c) { return sameCombo(c, combo); };
    if (std::any_of(state_->taken.begin(), state_->taken.end(), heldBy) ||
        std::any_of(state_->hotKeys.begin(), state_->hotKeys.end(),
                    [&](const Registration& r) { return heldBy(r.combo); }))
        state_->fail(call, "the combination is already registered");
    state_->hotKeys.push_back(Registration{window, id, combo});
    state_->report(call + " ok");
}

void SimDesktop::unregisterHotKey(WindowHandle window, int id)
{
    state_->check("UnregisterHotKey");
    std::string call = "UnregisterHotKey(" + state_->describe(window) + ", " + std::to_string(id) + ")";
    auto removed = std::erase_if(state_->hotKeys,
                                 [&](const Registration& r) { return r.window == window && r.id == id; });
    if (removed == 0)
        state_->fail(call, "no hot key registered");
    state_->report(call + " ok");
}

bool SimDesktop::screenSaverRunning()
{
    state_->check("SystemParametersInfoA");
    return state_->screenSaver;
}

DesktopHandle SimDesktop::openDesktop(const std::string& name, std::uint32_t)
{
    state_->check("OpenDesktopA");
    if (!(state_->screenSaver && equalsIgnoreCase(name, "screen-saver")))
        throw Failure("OpenDesktopA(" + name + ") failed: no such desktop");
    DesktopHandle handle = state_->nextDesktop;
    state_->nextDesktop += 4;
    state_->openDesktops.insert(handle);
    return handle;
}

void SimDesktop::closeDesktop(DesktopHandle desktop)
{
    state_->check("CloseDesktop");
    if (state_->openDesktops.erase(desktop) == 0)
        throw Failure("CloseDesktop(" + hex(desktop) + ") failed: invalid handle");
}

void SimDesktop::deleteNotifyIcon(WindowHandle owner, std::uint32_t id)
{
    state_->check("Shell_NotifyIconA");
    std::string call = "Shell_NotifyIconA(NIM_DELETE, " + state_->describe(owner) + ", " + std::to_string(id) + ")";
    auto it = state_->tray.find({owner, id});
    if (it == state_->tray.end() || it->second != TrayIconState::Shown)
        state_->fail(call, "no such icon");
    it->second = TrayIconState::Removed;
    state_->report(call + " ok");
}

int SimDesktop::messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type)
{
    state_->check("MessageBoxA");
    state_->messageBoxes.push_back({text, caption, type});
    state_->report("MessageBoxA(" + state_->describe(owner) + ", \"" + text + "\", \"" + caption + "\", " +
                   hex(type) + ") -> IDOK");
    return mb::IdOk;
}

const std::vector<SimDesktop::MessageBoxRecord>& SimDesktop::messageBoxes() const { return state_->messageBoxes; }

// --- Shell -----------------------------------------------------------------------------------

namespace {

// The extension of the last path element, dot included, in lower case; "" when it has none.
std::string extensionOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace

std::string SimDesktop::findExecutable(const std::string& file, const std::string& directory, int bufferSize)
{
    state_->check("FindExecutableA");
    const std::string call = "FindExecutableA(" + quoted(file) + ", " + quoted(directory) + ")";
    constexpr std::int32_t FileNotFound = 2;   // SE_ERR_FNF
    constexpr std::int32_t NoAssociation = 31; // SE_ERR_NOASSOC
    if (file.empty() || (state_->fileProbe && !state_->fileProbe(file))) {
        state_->report(call + " failed: file not found");
        throw Failure(call + " failed: file not found", FileNotFound);
    }
    auto it = state_->associations.find(extensionOf(file));
    if (it == state_->associations.end()) {
        state_->report(call + " failed: no association");
        throw Failure(call + " failed: no association", NoAssociation);
    }
    state_->report(call + " -> " + quoted(it->second));
    return truncated(it->second, bufferSize);
}

void SimDesktop::shellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory, int showCommand)
{
    state_->check("ShellExecuteA");
    const std::string call = "ShellExecuteA(" + state_->describe(owner) + ", " + quoted(verb) + ", " + quoted(file) +
                             ", " + quoted(parameters) + ", " + quoted(directory) + ", " +
                             std::to_string(showCommand) + ")";
    if (file.empty()) {
        state_->report(call + " failed: file not found");
        throw Failure(call + " failed: file not found", 2);
    }
    state_->launches.push_back({owner, verb, file, parameters, directory, showCommand});
    state_->report(call + " ok");
}

void SimDesktop::setFileAssociation(const std::string& extension, const std::string& program)
{
    std::string key = extensionOf(extension.starts_with('.') ? extension : "." + extension);
    if (program.empty())
        state_->associations.erase(key);
    else
        state_->associations[key] = program;
}

void SimDesktop::setDefaultBrowser(const std::optional<std::string>& program)
{
    setFileAssociation(".htm", program.value_or(""));
    setFileAssociation(".html", program.value_or(""));
}

void SimDesktop::setFileProbe(std::function<bool(const std::string& path)> exists)
{
    state_->fileProbe = std::move(exists);
}

const std::vector<SimDesktop::ShellLaunch>& SimDesktop::launches() const { return state_->launches; }

// --- The world's windows ---------------------------------------------------------------------

WindowHandle SimDesktop::addWindow(const WorldWindow& window)
{
    if (!window.name.empty() && this->window(window.name) != NoWindow)
        throw std::invalid_argument("a window named " + window.name + " is open already");
    if (window.owner != NoWindow)
        state_->known(window.owner);
    Window w;
    w.name = window.name;
    w.className = window.className;
    w.title = window.title;
    w.visible = window.visible;
    w.owner = window.owner;
    return state_->add(std::move(w));
}

WindowHandle SimDesktop::addWindow(const std::string& name, const std::string& className, const std::string& title,
                                   bool hidden)
{
    return addWindow(WorldWindow{name, className, title, !hidden, NoWindow});
}

void SimDesktop::closeWindow(WindowHandle window)
{
    if (state_->known(window).own)
        throw std::invalid_argument("the notifier's own window " + hex(window) + " is destroyed by the notifier");
    state_->remove(window);
}

void SimDesktop::setForeground(WindowHandle window)
{
    state_->known(window);
    state_->activate(window);
}

void SimDesktop::retitle(WindowHandle window, const std::string& title) { state_->known(window).title = title; }

void SimDesktop::show(WindowHandle window, int command) { state_->applyShow(state_->known(window), command); }

void SimDesktop::raise(WindowHandle window)
{
    state_->known(window);
    state_->placeOnTop(window);
}

// --- Queries ---------------------------------------------------------------------------------

WindowHandle SimDesktop::window(std::string_view name) const
{
    if (name.empty())
        return NoWindow;
    for (const auto& [handle, w] : state_->windows)
        if (w.name == name)
            return handle;
    return NoWindow;
}

std::string SimDesktop::nameOf(WindowHandle window) const
{
    const Window* w = state_->find(window);
    return w ? w->name : std::string();
}

bool SimDesktop::exists(WindowHandle window) const { return state_->find(window) != nullptr; }

bool SimDesktop::isOwn(WindowHandle window) const
{
    const Window* w = state_->find(window);
    return w && w->own;
}

std::vector<WindowHandle> SimDesktop::zOrder() const { return state_->order; }

WindowHandle SimDesktop::top() const { return state_->order.empty() ? NoWindow : state_->order.front(); }

WindowHandle SimDesktop::front() const { return state_->frontExcept(NoWindow); }

WindowHandle SimDesktop::foreground() const { return state_->foreground; }

ShowState SimDesktop::showState(WindowHandle window) const
{
    const Window& w = state_->known(window);
    if (!w.visible)
        return ShowState::Hidden;
    switch (w.placement) {
    case Placement::Maximized:
        return ShowState::Maximized;
    case Placement::Minimized:
        return ShowState::Minimized;
    case Placement::Normal:
        break;
    }
    return ShowState::Restored;
}

bool SimDesktop::visible(WindowHandle window) const { return state_->known(window).visible; }

bool SimDesktop::topmost(WindowHandle window) const { return state_->known(window).topmost; }

std::string SimDesktop::title(WindowHandle window) const { return state_->known(window).title; }

std::string SimDesktop::className(WindowHandle window) const { return state_->known(window).className; }

WindowRect SimDesktop::bounds(WindowHandle window) const { return state_->known(window).rect; }

std::uint32_t SimDesktop::exStyle(WindowHandle window) const
{
    const Window& w = state_->known(window);
    return w.exStyle | (w.topmost ? wsex::TopMost : 0);
}

std::optional<int> SimDesktop::alpha(WindowHandle window) const
{
    const Window& w = state_->known(window);
    if (!(w.exStyle & wsex::Layered))
        return std::nullopt;
    // A layered window without attributes is not drawn at all on Windows.
    return w.alpha.value_or(0);
}

// --- Hot keys --------------------------------------------------------------------------------

void SimDesktop::setHotKeyTaken(std::uint32_t vk, std::uint32_t modifiers, bool taken)
{
    HotKeyCombo combo{vk, modifiers & ModifierKeys};
    std::erase_if(state_->taken, [&](const HotKeyCombo& c) { return sameCombo(c, combo); });
    if (taken)
        state_->taken.push_back(combo);
}

bool SimDesktop::press(std::uint32_t vk, std::uint32_t modifiers)
{
    HotKeyCombo combo{vk, modifiers & ModifierKeys};
    auto it = std::find_if(state_->hotKeys.begin(), state_->hotKeys.end(),
                           [&](const Registration& r) { return sameCombo(r.combo, combo); });
    if (it == state_->hotKeys.end())
        return false;
    auto lParam = static_cast<std::intptr_t>(combo.modifiers | (vk << 16));
    state_->post(state_, it->window, wm::HotKey, static_cast<std::uintptr_t>(it->id), lParam);
    return true;
}

std::vector<HotKeyCombo> SimDesktop::hotKeys(WindowHandle window, int id) const
{
    std::vector<HotKeyCombo> combos;
    for (const Registration& r : state_->hotKeys)
        if (r.window == window && r.id == id)
            combos.push_back(r.combo);
    return combos;
}

std::optional<HotKeyCombo> SimDesktop::hotKey(WindowHandle window, int id) const
{
    auto combos = hotKeys(window, id);
    if (combos.empty())
        return std::nullopt;
    return combos.back();
}

// --- Screen saver, tray icons, messages --------------------------------------------------------

void SimDesktop::setScreenSaver(bool running) { state_->screenSaver = running; }

bool SimDesktop::screenSaver() const { return state_->screenSaver; }

int SimDesktop::openDesktopCount() const { return static_cast<int>(state_->openDesktops.size()); }

void SimDesktop::addTrayIcon(WindowHandle owner, std::uint32_t id)
{
    state_->known(owner);
    state_->tray[{owner, id}] = TrayIconState::Shown;
}

TrayIconState SimDesktop::trayIcon(WindowHandle owner, std::uint32_t id) const
{
    auto it = state_->tray.find({owner, id});
    return it == state_->tray.end() ? TrayIconState::Absent : it->second;
}

int SimDesktop::messageCount(WindowHandle window, std::uint32_t message) const
{
    auto it = state_->messages.find({window, message});
    return it == state_->messages.end() ? 0 : it->second;
}

// --- Faults and observers ----------------------------------------------------------------------

Faults& SimDesktop::faults() { return state_->faults; }

std::span<const std::string_view> SimDesktop::operationNames() { return OperationNames; }

SimDesktop::Observers& SimDesktop::observers() { return state_->observers; }

} // namespace platform::sim
