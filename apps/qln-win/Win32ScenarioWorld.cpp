#include "apps/qln-win/Win32ScenarioWorld.h"

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "platform/Failure.h"
#include "platform/draw/Surface.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/ScreenCapture.h"
#include "platform/win32/Wide.h"
#include "shared/Settings.h"

namespace qln::runner {

using platform::WindowHandle;
using platform::win32::toUtf8;
using platform::win32::toWide;

namespace {

HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

constexpr const char* kOutlookClass = "rctrl_renwnd32";
constexpr const char* kOutlookMainTitle = "Inbox - Microsoft Outlook";
constexpr const char* kOutlookMain = "outlook";
constexpr const char* kOutlookTray = "outlook-tray";
constexpr std::string_view kItemPrefix = "item:";

HKEY rootOf(platform::Hive hive) { return hive == platform::Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// Other programs' windows: plain windows of the class the scenario names, registered here once.
void registerClass(const std::wstring& name)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc))
        return;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc))
        throw std::runtime_error("the window class " + toUtf8(name) + " cannot be registered (" +
                                 std::to_string(GetLastError()) + ")");
}

// ---- The system's writes, told --------------------------------------------------------------------

class ReportingKey final : public platform::RegistryKey {
public:
    ReportingKey(std::unique_ptr<platform::RegistryKey> inner, platform::Hive hive, std::string path,
                 const SystemWrites& reports)
        : inner_(std::move(inner)), hive_(hive), path_(std::move(path)), reports_(reports)
    {
    }
    platform::RegValueInfo queryValueInfo(std::string_view name) override { return inner_->queryValueInfo(name); }
    platform::RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
    {
        return inner_->queryValue(name, buffer);
    }
    void setValue(std::string_view name, std::uint32_t type, std::span<const std::byte> data) override
    {
        inner_->setValue(name, type, data);
        if (reports_.registry)
            reports_.registry(hive_, path_, std::string(name), RegValue{type, {data.begin(), data.end()}});
    }

private:
    std::unique_ptr<platform::RegistryKey> inner_;
    platform::Hive hive_;
    std::string path_;
    const SystemWrites& reports_;
};

class ReportingRegistry final : public platform::Registry {
public:
    ReportingRegistry(platform::Registry& inner, const SystemWrites& reports) : inner_(inner), reports_(reports) {}
    std::unique_ptr<platform::RegistryKey> openKey(platform::Hive hive, std::string_view path) override
    {
        return std::make_unique<ReportingKey>(inner_.openKey(hive, path), hive, std::string(path), reports_);
    }
    std::unique_ptr<platform::RegistryKey> createKey(platform::Hive hive, std::string_view path) override
    {
        return std::make_unique<ReportingKey>(inner_.createKey(hive, path), hive, std::string(path), reports_);
    }

private:
    platform::Registry& inner_;
    const SystemWrites& reports_;
};

class ReportingFiles final : public platform::FileSystem {
public:
    ReportingFiles(platform::FileSystem& inner, const SystemWrites& reports, Win32ScenarioWorld& world)
        : inner_(inner), reports_(reports), world_(world)
    {
    }
    std::string readFirstLine(std::string_view path) override { return inner_.readFirstLine(path); }
    void writeFile(std::string_view path, std::string_view content) override
    {
        world_.rememberWritten(std::string(path));
        inner_.writeFile(path, content);
        tell("writeFile", path);
    }
    void replaceFile(std::string_view from, std::string_view to) override
    {
        world_.rememberWritten(std::string(to));
        inner_.replaceFile(from, to);
        tell("replaceFile", to);
    }
    void deleteFile(std::string_view path) override
    {
        inner_.deleteFile(path);
        tell("deleteFile", path);
    }
    void createFolder(std::string_view path) override
    {
        inner_.createFolder(path);
        tell("createFolder", path);
    }

private:
    void tell(const char* operation, std::string_view path)
    {
        if (reports_.files)
            reports_.files(operation, std::string(path));
    }
    platform::FileSystem& inner_;
    const SystemWrites& reports_;
    Win32ScenarioWorld& world_;
};

} // namespace

// ---- The scenario's registry, files and desktop ------------------------------------------------------

class Win32ScenarioWorld::Registry final : public WorldRegistry {
public:
    explicit Registry(platform::win32::Win32Registry& registry) : registry_(registry) {}

    void set(platform::Hive hive, std::string_view path, std::string_view name, RegValue value) override
    {
        registry_.createKey(hive, path)->setValue(name, value.type, value.data);
    }
    std::optional<RegValue> get(platform::Hive hive, std::string_view path, std::string_view name) const override
    {
        try {
            auto key = registry_.openKey(hive, path);
            const platform::RegValueInfo info = key->queryValueInfo(name);
            // Text grows when its UTF-16 becomes UTF-8: room for three bytes a stored unit.
            RegValue value;
            value.data.resize(info.size * 2 + 8);
            const platform::RegRead read = key->queryValue(name, value.data);
            value.type = read.type;
            value.data.resize(read.size);
            return value;
        } catch (const platform::Failure&) {
            return std::nullopt;  // no such key or value
        }
    }
    void deleteKey(platform::Hive hive, std::string_view path) override
    {
        const LSTATUS status = RegDeleteTreeW(rootOf(hive), toWide(path).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            throw std::runtime_error("reg delete: the key cannot be deleted (" + std::to_string(status) + ")");
        if (status == ERROR_SUCCESS)
            RegDeleteKeyW(rootOf(hive), toWide(path).c_str());  // RegDeleteTreeW leaves the key itself
    }
    void deleteValue(platform::Hive hive, std::string_view path, std::string_view name) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(rootOf(hive), toWide(path).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueW(key, toWide(name).c_str());
        RegCloseKey(key);
    }

private:
    platform::win32::Win32Registry& registry_;
};

class Win32ScenarioWorld::Files final : public WorldFiles {
public:
    explicit Files(Win32ScenarioWorld& world) : world_(world) {}

    void put(std::string_view path, std::string content) override
    {
        const std::filesystem::path where(toWide(path));
        std::error_code error;
        if (where.has_parent_path())
            std::filesystem::create_directories(where.parent_path(), error);
        world_.rememberWritten(std::string(path));
        const HANDLE file =
            CreateFileW(where.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw std::runtime_error("file write: cannot create " + std::string(path) + " (" +
                                     std::to_string(GetLastError()) + ")");
        DWORD written = 0;
        const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
        if (!ok || written != content.size())
            throw std::runtime_error("file write: cannot write " + std::string(path));
    }
    std::optional<std::string> content(std::string_view path) const override
    {
        const HANDLE file = CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return std::nullopt;
        std::string text;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            text.append(buffer, read);
        CloseHandle(file);
        return text;
    }
    bool fileExists(std::string_view path) const override
    {
        const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    void remove(std::string_view path) override
    {
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(toWide(path)), error);
        if (error)
            throw std::runtime_error("file delete: " + std::string(path) + ": " + error.message());
    }

private:
    Win32ScenarioWorld& world_;
};

class Win32ScenarioWorld::Desktop final : public WorldDesktop {
public:
    Desktop(Win32ScenarioWorld& world, platform::win32::Win32Desktop& desktop,
            const std::vector<MessageBoxRecord>& boxes)
        : world_(world), desktop_(desktop), boxes_(boxes)
    {
        // Another program's hot keys: registered on a hidden window of the world's own.
        registerClass(L"QuellinWorldHotKeys");
        holder_ = CreateWindowExW(0, L"QuellinWorldHotKeys", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    ~Desktop() override
    {
        for (int id = 1; id < nextHotKey_; ++id)
            UnregisterHotKey(holder_, id);
        DestroyWindow(holder_);
    }

    WindowHandle addWindow(const std::string& name, const std::string& className, const std::string& title,
                           bool hidden) override
    {
        return world_.makeWindow(name, className, title, !hidden);
    }
    void closeWindow(WindowHandle window) override { world_.closeNamedWindow(window); }
    void setForeground(WindowHandle window) override
    {
        BringWindowToTop(hwnd(window));
        SetForegroundWindow(hwnd(window));
    }
    void setScreenSaver(bool running) override
    {
        // Windows reports the screen saver as SPI_SETSCREENSAVERRUNNING left it.
        BOOL previous = FALSE;
        SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
        BOOL now = FALSE;
        if (!SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &now, 0) || (now != FALSE) != running)
            throw std::runtime_error("screensaver: this desktop does not let the screen saver's state be set");
    }
    void addTrayIcon(WindowHandle owner, std::uint32_t id) override
    {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = hwnd(owner);
        data.uID = id;
        data.uFlags = NIF_ICON | NIF_TIP;
        data.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        lstrcpynW(data.szTip, L"New mail", 64);
        if (!Shell_NotifyIconW(NIM_ADD, &data) && !Shell_NotifyIconW(NIM_MODIFY, &data))
            throw std::runtime_error("tray-icon: the notification area takes no icon (" +
                                     std::to_string(GetLastError()) + ")");
        world_.trayIconAdded(owner, id);
    }
    platform::sim::TrayIconState trayIcon(WindowHandle owner, std::uint32_t id) const override
    {
        return world_.trayIcon(owner, id);
    }
    void setHotKeyTaken(std::uint32_t vk, std::uint32_t modifiers) override
    {
        if (!RegisterHotKey(holder_, nextHotKey_, modifiers, vk))
            throw std::runtime_error("hotkey-taken: the combination is held already (" +
                                     std::to_string(GetLastError()) + ")");
        ++nextHotKey_;
    }
    bool press(std::uint32_t vk, std::uint32_t modifiers) override
    {
        // The modifiers go down in order, the key goes down and up, the modifiers come up.
        static constexpr std::pair<std::uint32_t, WORD> kModifierKeys[] = {
            {MOD_CONTROL, VK_CONTROL}, {MOD_ALT, VK_MENU}, {MOD_SHIFT, VK_SHIFT}, {MOD_WIN, VK_LWIN}};
        std::vector<INPUT> inputs;
        auto key = [&](WORD code, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        for (const auto& [bit, code] : kModifierKeys)
            if (modifiers & bit)
                key(code, false);
        key(static_cast<WORD>(vk), false);
        key(static_cast<WORD>(vk), true);
        for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it)
            if (modifiers & it->first)
                key(it->second, true);
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size())
            throw std::runtime_error("press: SendInput took " + std::to_string(sent) + " of " +
                                     std::to_string(inputs.size()) + " key events");
        return desktop_.isOwnHotKey(vk, modifiers);
    }
    std::optional<platform::sim::HotKeyCombo> hotKey(WindowHandle window, int id) const override
    {
        const auto found = desktop_.hotKey(window, id);
        if (!found)
            return std::nullopt;
        return platform::sim::HotKeyCombo{found->vk, found->modifiers};
    }
    std::vector<MessageBoxRecord> messageBoxes() const override { return boxes_; }

private:
    Win32ScenarioWorld& world_;
    platform::win32::Win32Desktop& desktop_;
    const std::vector<MessageBoxRecord>& boxes_;
    HWND holder_ = nullptr;
    int nextHotKey_ = 1;
};

// ---- The world ---------------------------------------------------------------------------------------

Win32ScenarioWorld::Win32ScenarioWorld() : startMs_(GetTickCount64())
{
    systemRegistry_ = std::make_unique<ReportingRegistry>(registry_, reports_);
    systemFiles_ = std::make_unique<ReportingFiles>(files_, reports_, *this);
    scenarioRegistry_ = std::make_unique<Registry>(registry_);
    clearSettings();
    scenarioFiles_ = std::make_unique<Files>(*this);
    scenarioDesktop_ = std::make_unique<Desktop>(*this, desktop_, messageBoxes_);
    desktop_.onMessageBox = [this](const std::string& text, const std::string& caption, std::uint32_t type) {
        messageBoxes_.push_back({text, caption, type});
    };
    answerer_ = std::make_unique<platform::win32::MessageBoxAnswerer>();
    desktop_.onNotifyIconDeleted = [this](WindowHandle owner, std::uint32_t id) {
        if (const auto it = trayIcons_.find({owner, id}); it != trayIcons_.end())
            it->second = platform::sim::TrayIconState::Removed;
    };

    auto& hooks = outlook_.observers();
    hooks.displayed = [this](const std::string& entryID, const std::string& title) { openItemWindow(entryID, title); };
    hooks.newMailIcon = [this] { showNewMailIcon(); };
}

Win32ScenarioWorld::~Win32ScenarioWorld()
{
    formWindows_.reset();
    if (outlook_.running())
        outlookQuit();
    for (const auto& [name, window] : named_) {
        removeTrayIcons(window);
        if (IsWindow(hwnd(window)))
            DestroyWindow(hwnd(window));
    }
    named_.clear();
    answerer_.reset();
    // What the run wrote goes, and with it the settings: the next run starts where this one did.
    for (const std::string& path : written_) {
        std::error_code error;
        std::filesystem::remove(std::filesystem::path(toWide(path)), error);
    }
    clearSettings();
}

void Win32ScenarioWorld::clearSettings()
{
    using settings::StoreKey;
    for (StoreKey key : {StoreKey::Settings, StoreKey::Options, StoreKey::Install, StoreKey::OutlookPreferences,
                         StoreKey::OutlookOptions})
        scenarioRegistry_->deleteKey(platform::Hive::CurrentUser, settings::keyPath(key));
}

std::int64_t Win32ScenarioWorld::nowMs() const { return static_cast<std::int64_t>(GetTickCount64() - startMs_); }

void Win32ScenarioWorld::advance(std::int64_t ms)
{
    const std::int64_t until = nowMs() + ms;
    for (std::int64_t left = ms; left > 0; left = until - nowMs()) {
        if (!loop_.runFor(left)) {
            // Nothing here ends the thread's loop: a stray WM_QUIT is dropped, and time goes on.
            MSG quit;
            PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        }
    }
}

void Win32ScenarioWorld::runPending()
{
    // What is posted runs, and what that posts, as on the simulated loop; window messages waiting
    // (paints, input already sent) are handled with them.
    constexpr int kSettleLimit = 100000;
    int rounds = 0;
    do {
        if (++rounds > kSettleLimit)
            throw std::logic_error("message loop does not settle: tasks keep posting tasks");
        loop_.doEvents();
    } while (loop_.hasPending());
}

platform::WindowRect Win32ScenarioWorld::bounds(WindowHandle window) const
{
    RECT r{};
    if (!GetWindowRect(hwnd(window), &r))
        return {};
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::optional<int> Win32ScenarioWorld::alpha(WindowHandle window) const
{
    if (!(GetWindowLongW(hwnd(window), GWL_EXSTYLE) & WS_EX_LAYERED))
        return std::nullopt;
    COLORREF key = 0;
    BYTE value = 255;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(hwnd(window), &key, &value, &flags) || !(flags & LWA_ALPHA))
        return std::nullopt;
    return value;
}

bool Win32ScenarioWorld::topmost(WindowHandle window) const
{
    return (GetWindowLongW(hwnd(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool Win32ScenarioWorld::visible(WindowHandle window) const { return IsWindowVisible(hwnd(window)) != FALSE; }

WindowHandle Win32ScenarioWorld::foreground() const { return handle(GetForegroundWindow()); }

WindowHandle Win32ScenarioWorld::front() const
{
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (IsWindowVisible(window) && !IsIconic(window) && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
            return handle(window);
    return platform::NoWindow;
}

std::string Win32ScenarioWorld::className(WindowHandle window) const
{
    wchar_t name[256] = {};
    GetClassNameW(hwnd(window), name, 256);
    return toUtf8(name);
}

std::string Win32ScenarioWorld::title(WindowHandle window) const
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd(window), text, 512);
    return toUtf8(text);
}

WindowHandle Win32ScenarioWorld::namedWindow(const std::string& name) const
{
    const auto it = named_.find(name);
    return it != named_.end() && IsWindow(hwnd(it->second)) ? it->second : platform::NoWindow;
}

std::string Win32ScenarioWorld::nameOf(WindowHandle window) const
{
    for (const auto& [name, made] : named_)
        if (made == window)
            return name;
    return "";
}

void Win32ScenarioWorld::reportSystemWrites(SystemWrites reports) { reports_ = std::move(reports); }

void Win32ScenarioWorld::hostForms(forms::FormsHost* host)
{
    formWindows_.reset();
    if (host)
        formWindows_ = std::make_unique<platform::win32::FormWindows>(*host, desktop_);
}

std::unique_ptr<platform::FontEngine> Win32ScenarioWorld::startingFonts()
{
    return std::make_unique<platform::win32::GdiFontEngine>();
}

std::optional<draw::Surface> Win32ScenarioWorld::captureScreen(const std::optional<platform::WindowRect>& area) const
{
    return platform::win32::captureScreen(area);
}

// ---- Windows made for the scenario, and Outlook's ------------------------------------------------------

WindowHandle Win32ScenarioWorld::makeWindow(const std::string& name, const std::string& className,
                                            const std::string& title, bool shown)
{
    if (!name.empty() && namedWindow(name) != platform::NoWindow)
        throw std::invalid_argument("a window named '" + name + "' is open already");
    const std::wstring cls = toWide(className);
    registerClass(cls);
    const HWND window = CreateWindowExW(0, cls.c_str(), toWide(title).c_str(), WS_OVERLAPPEDWINDOW, 60, 60, 480, 320,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw std::runtime_error("the window '" + name + "' cannot be made (" + std::to_string(GetLastError()) + ")");
    if (shown) {
        // At the top of the normal band, without taking the activation from whoever has it.
        ShowWindow(window, SW_SHOWNOACTIVATE);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // An unnamed window is kept under its handle's number, which no scenario name can be.
    std::string key = name;
    if (key.empty())
        key = std::string(1, '#').append(std::to_string(reinterpret_cast<std::uintptr_t>(window)));
    named_[key] = handle(window);
    return handle(window);
}

void Win32ScenarioWorld::closeNamedWindow(WindowHandle window)
{
    if (desktop_.isOwn(window))
        throw std::invalid_argument("the window is one of the notifier's own");
    const std::string name = nameOf(window);
    if (name.empty() || !IsWindow(hwnd(window)))
        throw std::invalid_argument("no such window is open");
    removeTrayIcons(window);
    DestroyWindow(hwnd(window));
    named_.erase(name);
}

void Win32ScenarioWorld::outlookStart()
{
    outlook_.start();
    if (outlookMainWindow() != platform::NoWindow)
        return;
    // Outlook's hidden helper window exists before its main window appears.
    makeWindow(kOutlookTray, kOutlookClass, "", false);
    const WindowHandle main = makeWindow(kOutlookMain, kOutlookClass, kOutlookMainTitle, true);
    SetForegroundWindow(hwnd(main));
}

void Win32ScenarioWorld::outlookQuit()
{
    outlook_.quit();
    // Item windows go first, as Outlook closes its inspectors before its explorer.
    std::vector<std::string> closing;
    for (const auto& [name, window] : named_)
        if (name.starts_with(kItemPrefix))
            closing.push_back(name);
    closing.push_back(kOutlookMain);
    closing.push_back(kOutlookTray);
    for (const std::string& name : closing) {
        if (const WindowHandle window = namedWindow(name); window != platform::NoWindow) {
            removeTrayIcons(window);
            DestroyWindow(hwnd(window));
        }
        named_.erase(name);
    }
}

WindowHandle Win32ScenarioWorld::outlookMainWindow() const { return namedWindow(kOutlookMain); }

WindowHandle Win32ScenarioWorld::outlookTrayWindow() const { return namedWindow(kOutlookTray); }

void Win32ScenarioWorld::openItemWindow(const std::string& entryID, const std::string& title)
{
    // Outlook keeps one inspector per item and window kind: displaying again brings it up.
    const std::string base = std::string(kItemPrefix) + entryID;
    std::string name = base;
    for (int n = 2;; ++n) {
        const WindowHandle existing = namedWindow(name);
        if (existing == platform::NoWindow)
            break;
        if (this->title(existing) == title) {
            if (!IsWindowVisible(hwnd(existing)) || IsIconic(hwnd(existing)))
                ShowWindow(hwnd(existing), SW_SHOWNOACTIVATE);
            SetWindowPos(hwnd(existing), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        }
        name = base + "#" + std::to_string(n);
    }
    makeWindow(name, kOutlookClass, title, true);
}

void Win32ScenarioWorld::showNewMailIcon()
{
    const WindowHandle owner = outlookTrayWindow();
    if (owner == platform::NoWindow)
        return;
    scenarioDesktop_->addTrayIcon(owner, 0);
}

void Win32ScenarioWorld::trayIconAdded(WindowHandle owner, std::uint32_t id)
{
    trayIcons_[{owner, id}] = platform::sim::TrayIconState::Shown;
}

platform::sim::TrayIconState Win32ScenarioWorld::trayIcon(WindowHandle owner, std::uint32_t id) const
{
    const auto it = trayIcons_.find({owner, id});
    return it == trayIcons_.end() ? platform::sim::TrayIconState::Absent : it->second;
}

void Win32ScenarioWorld::removeTrayIcons(WindowHandle owner)
{
    // A window's icons go with it, as they do when a program ends.
    for (auto it = trayIcons_.begin(); it != trayIcons_.end();) {
        if (it->first.first != owner) {
            ++it;
            continue;
        }
        if (it->second == platform::sim::TrayIconState::Shown) {
            NOTIFYICONDATAW data{};
            data.cbSize = sizeof data;
            data.hWnd = hwnd(owner);
            data.uID = it->first.second;
            Shell_NotifyIconW(NIM_DELETE, &data);
        }
        it = trayIcons_.erase(it);
    }
}

} // namespace qln::runner
