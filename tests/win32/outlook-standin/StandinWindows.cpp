#include "tests/win32/outlook-standin/StandinWindows.h"

#include <shellapi.h>

#include <vector>

#include "platform/sim/SimWorld.h"
#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace standin {

namespace {

using platform::win32::toWide;

constexpr UINT kNewMailIconId = 0;

const std::wstring& className()
{
    static const std::wstring name = toWide(platform::sim::SimWorld::OutlookWindowClass);
    return name;
}

void registerClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window once its owner is known
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className().c_str();
    if (!RegisterClassExW(&windowClass))
        throw platform::win32::lastErrorFailure("RegisterClassExW(rctrl_renwnd32)");
    registered = true;
}

} // namespace

OutlookWindows::OutlookWindows(std::function<void()> onClose) : onClose_(std::move(onClose))
{
    registerClass();
    // Outlook's hidden helper window exists before its main window appears.
    tray_ = create(L"", false);
    main_ = create(toWide(platform::sim::SimWorld::OutlookMainTitle), true);
    SetForegroundWindow(main_);
}

OutlookWindows::~OutlookWindows() { close(); }

HWND OutlookWindows::create(const std::wstring& title, bool visible)
{
    HWND window = CreateWindowExW(0, className().c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw platform::win32::lastErrorFailure("CreateWindowExW(rctrl_renwnd32)");
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OutlookWindows::procedure));
    if (visible)
        ShowWindow(window, SW_SHOW);
    return window;
}

LRESULT CALLBACK OutlookWindows::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<OutlookWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_CLOSE && window == self->main_) {
        // Closing Outlook's main window quits Outlook.
        return platform::win32::guardCallback<LRESULT>(0, [&] {
            if (self->onClose_)
                self->onClose_();
            return LRESULT{0};
        });
    }
    if (self && window == self->tray_)
        ++self->trayMessages_[message];
    if (self && message == WM_DESTROY)
        self->forget(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

void OutlookWindows::forget(HWND window)
{
    std::erase_if(items_, [window](const auto& entry) { return entry.second == window; });
}

void OutlookWindows::openItem(const std::string& entryID, const std::string& title)
{
    if (!main_)
        return;
    const auto key = std::make_pair(entryID, title);
    if (const auto found = items_.find(key); found != items_.end()) {
        if (!IsWindowVisible(found->second) || IsIconic(found->second))
            ShowWindow(found->second, SW_SHOWNOACTIVATE);
        SetWindowPos(found->second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    items_[key] = create(toWide(title), true);
}

namespace {

NOTIFYICONDATAW newMailIcon(HWND owner)
{
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = kNewMailIconId;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wcscpy_s(icon.szTip, L"You have new unopened items.");
    return icon;
}

} // namespace

void OutlookWindows::showNewMailIcon()
{
    if (!tray_)
        return;
    NOTIFYICONDATAW icon = newMailIcon(tray_);
    // Modifying fails when the icon is not there (never added, or removed by another program).
    if (Shell_NotifyIconW(NIM_MODIFY, &icon) || Shell_NotifyIconW(NIM_ADD, &icon))
        iconEverShown_ = true;
}

OutlookWindows::Icon OutlookWindows::icon() const
{
    if (!iconEverShown_)
        return Icon::Absent;
    NOTIFYICONDATAW icon = newMailIcon(tray_);
    return tray_ && Shell_NotifyIconW(NIM_MODIFY, &icon) ? Icon::Shown : Icon::Removed;
}

int OutlookWindows::trayMessages(UINT message) const
{
    const auto found = trayMessages_.find(message);
    return found == trayMessages_.end() ? 0 : found->second;
}

void OutlookWindows::retitle(const std::string& title)
{
    if (main_)
        SetWindowTextW(main_, toWide(title).c_str());
}

void OutlookWindows::close()
{
    if (tray_ && iconEverShown_) {
        NOTIFYICONDATAW icon = newMailIcon(tray_);
        Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    // Item windows go first, as Outlook closes its inspectors before its explorer.
    std::vector<HWND> items;
    for (const auto& [key, window] : items_)
        items.push_back(window);
    for (HWND window : items)
        DestroyWindow(window);
    items_.clear();
    for (HWND* window : {&main_, &tray_}) {
        if (*window)
            DestroyWindow(*window);
        *window = nullptr;
    }
}

} // namespace standin
