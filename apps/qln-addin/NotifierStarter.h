#pragma once
// Starting QLN.exe from the installation folder when none runs for this user.
//
// Implements: startNotifier(), which looks for a running notifier (its per-logon mutex,
// platform/win32/NotifierInstance.h), reads the installation folder (QLNPath of the install key,
// through the settings schema) and starts QLN.exe there, with that folder as its working folder,
// without waiting for it.
// Does not: report anything. Outlook's thread must not wait, and the add-in has no one to tell: a
// notifier that cannot be started (no installation, a missing file) stays unstarted, and the
// user's own Start-menu entry remains.

#include <string>

namespace qln::addin {

// Whether a notifier already runs in this logon session.
bool notifierRunning();

// The program the installation folder names: "<QLNPath>\QLN.exe".
std::wstring notifierPath();

// Starts QLN.exe unless one runs. True when a process was started.
bool startNotifier();

} // namespace qln::addin
