#include "notifier/window/DismissHotKey.h"

#include <utility>

#include "platform/EntryGuard.h"
#include "platform/Failure.h"

namespace qln {

using platform::ignoreFailure;
using platform::WindowHandle;

namespace {

constexpr std::int32_t kCapturedShift = 1;
constexpr std::int32_t kCapturedControl = 2;
constexpr std::int32_t kCapturedAlt = 4;

} // namespace

struct DismissHotKey::State {
    State(platform::Desktop& desktop, const settings::Settings& settings, std::function<void()> dismiss)
        : desktop(desktop), settings(settings), dismiss(std::move(dismiss))
    {
    }

    platform::Desktop& desktop;
    const settings::Settings& settings;
    std::function<void()> dismiss;          // emptied when the owner goes away
    WindowHandle window = platform::NoWindow;
    platform::WindowProc previous;
    bool installed = false;

    void restorePrevious()
    {
        if (!installed)
            return;
        if (ignoreFailure([&] { desktop.setWindowProc(window, previous); }))
            installed = false;
    }

    std::intptr_t windowProc(WindowHandle hwnd, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
    {
        switch (message) {
        case platform::wm::HotKey:
            if (wParam == static_cast<std::uintptr_t>(HotKeyId) && dismiss) {
                // Keep the previous procedure alive even if the dismissal ends up replacing ours.
                std::function<void()> run = dismiss;
                platform::guardEntry("the dismiss hot key", run);
            }
            break;
        case platform::wm::Destroy:
        case platform::wm::NcDestroy:
        case platform::wm::ParentNotify:
            // From here on the hot key no longer reaches the popup.
            restorePrevious();
            return 0;
        default:
            break;
        }
        if (!previous)
            return 0;
        platform::WindowProc next = previous;
        // A window procedure is called back by the system: nothing may escape it.
        return platform::valueOr<std::intptr_t>(0, [&] { return next(hwnd, message, wParam, lParam); });
    }
};

DismissHotKey::DismissHotKey(platform::Desktop& desktop, const settings::Settings& settings,
                             std::function<void()> dismiss)
    : state_(std::make_shared<State>(desktop, settings, std::move(dismiss)))
{
}

DismissHotKey::~DismissHotKey()
{
    state_->restorePrevious();
    // Should the window keep our procedure after all, it only hands messages on from now on.
    state_->dismiss = nullptr;
}

void DismissHotKey::install(WindowHandle window)
{
    if (state_->installed)
        return;
    state_->window = window;
    std::shared_ptr<State> state = state_;
    ignoreFailure([&] {
        state_->previous = state_->desktop.setWindowProc(
            window, [state](WindowHandle hwnd, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
                return state->windowProc(hwnd, message, wParam, lParam);
            });
        state_->installed = true;
    });
}

std::uint32_t DismissHotKey::systemModifiers(std::int32_t capturedMask)
{
    std::uint32_t modifiers = 0;
    if (capturedMask & kCapturedShift)
        modifiers |= platform::mod::Shift;
    if (capturedMask & kCapturedControl)
        modifiers |= platform::mod::Control;
    if (capturedMask & kCapturedAlt)
        modifiers |= platform::mod::Alt;
    return modifiers;
}

void DismissHotKey::RegisterDismissHotKey()
{
    State& s = *state_;
    const std::int32_t key = s.settings.read(settings::HKkDismiss);
    const std::uint32_t modifiers = systemModifiers(s.settings.read(settings::HKmDismiss));

    if (s.window != platform::NoWindow) {
        // The system keeps every combination registered under one identifier until it is released,
        // so the combination the user replaced would otherwise go on dismissing the popup.
        ignoreFailure([&] { s.desktop.unregisterHotKey(s.window, HotKeyId); });
        if (key != 0) {
            ignoreFailure([&] {
                s.desktop.registerHotKey(s.window, HotKeyId, modifiers, static_cast<std::uint32_t>(key));
            });
        }
    }

    // Cleared even when the combination was refused, so that the poll does not keep retrying it.
    ignoreFailure([&] { s.settings.write(settings::HKChanged, 0); });
}

void DismissHotKey::shutdown()
{
    State& s = *state_;
    if (s.window != platform::NoWindow)
        ignoreFailure([&] { s.desktop.unregisterHotKey(s.window, HotKeyId); });
    s.restorePrevious();
}

bool DismissHotKey::installed() const { return state_->installed; }

} // namespace qln
