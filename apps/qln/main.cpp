// QLN.exe: the notifier beside a running Outlook, attached to it over COM.
//
// A Windows program with no console and no arguments. One instance per user logon: a second start
// ends quietly. Setting the quit event (platform/win32/NotifierInstance.h; the uninstaller does, to
// replace or remove the program) ends it as Outlook's going does: the notifier's shutdown runs,
// then the program ends with status 0. It builds the Windows world (registry, files, machine facts,
// message loop, desktop, GDI fonts, forms on real windows, Outlook and the MAPI helper over COM
// with a message filter for a busy Outlook), runs the notifier's start-up, and pumps messages until
// the notifier ends. Exit status 0, or 1 when the start-up failed (a bug: seam failures are
// absorbed as the notifier specifies).

#include <windows.h>
#include <objbase.h>

#include <exception>

#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "platform/forms/Form.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/NotifierInstance.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/MessageFilter.h"

namespace {

using platform::win32::kNotifierInstanceMutex;
using platform::win32::kNotifierQuitEvent;

class InstanceLock {
public:
    InstanceLock() : mutex_(CreateMutexW(nullptr, FALSE, kNotifierInstanceMutex)), first_(GetLastError() != ERROR_ALREADY_EXISTS) {}
    ~InstanceLock()
    {
        if (mutex_)
            CloseHandle(mutex_);
    }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // A lock that could not be made at all does not stop the program.
    bool first() const { return first_ || !mutex_; }

private:
    HANDLE mutex_;
    bool first_;
};

// The quit request: a manual-reset event that lives as long as the notifier (a requester opens it,
// never creates it). A program that could not make it simply cannot be asked to quit this way.
class QuitRequest {
public:
    QuitRequest() : event_(CreateEventW(nullptr, TRUE, FALSE, kNotifierQuitEvent)) {}
    ~QuitRequest()
    {
        if (event_)
            CloseHandle(event_);
    }
    QuitRequest(const QuitRequest&) = delete;
    QuitRequest& operator=(const QuitRequest&) = delete;
    // The event, or null when there is none.
    HANDLE event() const { return event_; }

private:
    HANDLE event_;
};

class Apartment {
public:
    Apartment() { platform::win32::com::check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
    ~Apartment() { CoUninitialize(); }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
};

int run()
{
    InstanceLock instance;
    if (!instance.first())
        return 0;
    QuitRequest quit;

    Apartment apartment;
    platform::win32::com::MessageFilterRegistration filter(platform::win32::com::MessageFilter::create());

    platform::win32::Win32Loop loop;
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32Desktop desktop;
    platform::win32::GdiFontEngine fonts;
    platform::win32::ComObjectFactory com(loop);

    forms::FormsHost host(desktop, loop, fonts, system);
    platform::win32::FormWindows windows(host, desktop);
    qln::NotifierServices services(registry, files, system, desktop, loop, loop, com);
    qln::frmNewMail popup(host, services);
    try {
        popup.Load();
    } catch (const std::exception&) {
        return 1;
    }
    // The program lives as long as the popup: its unload is the notifier's end.
    host.on_unload = [&](forms::Form& form) {
        if (&form == &popup)
            loop.quit(0);
    };
    // The loop waits for the request itself, beside its messages: no timer looks for it, and the
    // program ends as soon as it is made (the uninstaller gives it ten seconds).
    if (quit.event()) {
        loop.waitFor(quit.event(), [&] {
            if (popup.Loaded())
                popup.Unload();
        });
    }
    if (popup.Loaded())
        loop.run();
    host.on_unload = nullptr;
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The one guard of the program's entry: nothing unwinds into the C runtime's start-up code.
    try {
        return run();
    } catch (const std::exception&) {
        return 2;
    }
}
