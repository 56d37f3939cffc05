#pragma once
// The names by which QLN.exe is known to the other programs of the user's logon session: the
// mutex a running notifier holds (one per logon: a second start ends quietly) and the event that
// asks it to end (the uninstaller sets it; the notifier has no window to close). The add-in looks
// for the mutex before it starts the notifier. installer/Quellin.nsi spells both names too.

namespace platform::win32 {

// "Local\": the logon session's namespace, so the names are per user logon.
inline constexpr wchar_t kNotifierInstanceMutex[] = L"Local\\Quellin.QLN.Instance";
inline constexpr wchar_t kNotifierQuitEvent[] = L"Local\\Quellin.QLN.Quit";

} // namespace platform::win32
