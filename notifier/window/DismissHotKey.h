#pragma once
// The dismiss hot key: one system-wide key combination that dismisses the popup from anywhere,
// exactly as its close button does. The combination is registered for the popup's window under a
// single identifier, and the popup's window procedure is replaced so that the WM_HOTKEY reaches
// the popup; the previous procedure keeps every other message.
//
// The combination is held by the system, not here: RegisterDismissHotKey re-reads it from the
// store each time, and the poll calls it again whenever the options page raised HKChanged.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Desktop.h"
#include "shared/Settings.h"

namespace qln {

class DismissHotKey {
public:
    static constexpr int HotKeyId = 70;

    // `dismiss` runs for each press of the combination: the popup's btnClose_Click.
    DismissHotKey(platform::Desktop& desktop, const settings::Settings& settings, std::function<void()> dismiss);
    // Puts the previous window procedure back if it is still replaced.
    ~DismissHotKey();
    DismissHotKey(const DismissHotKey&) = delete;
    DismissHotKey& operator=(const DismissHotKey&) = delete;

    // Replaces the window's procedure with the hot-key procedure, keeping the previous one. Made
    // once, when the popup is created; a failure leaves the window's own procedure in place.
    void install(platform::WindowHandle window);

    // Registers the stored combination for the window (or releases it when the key is 0) and clears
    // HKChanged, whether or not the system accepted the combination.
    void RegisterDismissHotKey();

    // Shutdown: releases the hot key and puts the previous window procedure back.
    void shutdown();

    // Whether the hot-key procedure is the window's procedure now.
    bool installed() const;

    // The captured modifier mask (1 Shift, 2 Ctrl, 4 Alt, summed) as the system's hot-key
    // modifiers (mod::Shift, mod::Control, mod::Alt). Other bits are ignored.
    static std::uint32_t systemModifiers(std::int32_t capturedMask);

private:
    struct State;
    // Shared with the installed procedure, so that the procedure never outlives what it uses.
    std::shared_ptr<State> state_;
};

} // namespace qln
