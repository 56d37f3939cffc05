#pragma once
// The stand-in's Outlook: the simulated Outlook's store (platform::sim::SimOutlook) on the
// stand-in's own message loop, served across processes with Outlook's names and dispatch ids, its
// windows on the desktop, and the control object tests drive it with.
//
// Object model served (late binding; every member forwards to the SimOutlook's objects):
//   Application   GetNamespace 0x110, Session 0xF00B, Quit 0x113; events ApplicationEvents_11
//                 {0006302C-...}: NewMailEx 0xFAB5 (EntryID), Quit 0xF007
//   NameSpace     GetDefaultFolder 0x210B, GetFolderFromID 0x2108, GetItemFromID 0x2109,
//                 PickFolder 0x210E
//   MAPIFolder    Items 0x3100, EntryID 0xF01E, StoreID 0x3108, Name 0x3001,
//                 DefaultMessageClass 0x3107, UnReadItemCount 0x3603
//   Items         Count 0x50; events ItemsEvents {00063077-...}: ItemAdd 0xF001, ItemChange 0xF002,
//                 ItemRemove 0xF003
//   MailItem      Class 0xF00A, EntryID 0xF01E, Parent 0xF001, UnRead 0xF01C (get, put),
//                 Sent 0xF402, Size 0x0E08, ReceivedTime 0x0E06, Subject 0x0037, Display 0xF0A6,
//                 Delete 0xF04A, Reply 0xF810, Forward 0xF813, SenderName 0x0C1A,
//                 SenderEmailAddress 0x0C1F, SenderEmailType 0x0C1E, To 0x0E04, Body 0x9100,
//                 Attachments 0xF815
//   Attachments   Count 0x50
// Outlook's errors come as DISP_E_EXCEPTION with the simulated Outlook's text.
// Quit (the client's Application.Quit, the control's Quit, the user closing the main window) is
// one path: Quit raised on the application's sinks, the store's objects fail from then on, the
// windows go, and the server's loop ends.

#include <cstdint>
#include <memory>

#include <windows.h>

#include "platform/sim/SimOutlook.h"
#include "platform/win32/Win32Loop.h"
#include "tests/win32/outlook-standin/Served.h"
#include "tests/win32/outlook-standin/StandinWindows.h"

namespace standin {

class Standin {
public:
    explicit Standin(platform::win32::Win32Loop& loop);
    ~Standin();
    Standin(const Standin&) = delete;
    Standin& operator=(const Standin&) = delete;

    platform::sim::SimOutlook& outlook() { return outlook_; }
    OutlookWindows& windows() { return windows_; }
    CallCounts& counts() { return counts_; }

    // The one Application object every client gets, and the control object.
    IDispatch* application() const;
    IDispatch* control() const;
    // Whether a client holds anything of ours.
    bool clientsHold() const;

    // Outlook's quit; the second call does nothing.
    void quit();
    bool quitting() const { return quitting_; }

    // How the server answers incoming calls other than the control's while busy: "retry later"
    // (SERVERCALL_RETRYLATER, what Outlook answers behind a modal dialog) or "rejected"
    // (SERVERCALL_REJECTED).
    enum class Busy { RetryLater, Rejected };
    void busyFor(std::uint32_t ms, Busy answer);
    bool busy() const;
    Busy busyAnswer() const { return busyAnswer_; }
    // Calls answered busy so far.
    int busyAnswers = 0;
    // When the last ItemAdd was raised (just before the first sink is called), in milliseconds of
    // QueryPerformanceCounter: one clock for every process of the machine. 0 before the first.
    double itemAddRaisedMs = 0;

    // The server ends after this long without a call (Served::calls()) while no event sink is
    // connected; 0: never.
    std::uint32_t idleLimitMs = 60000;

private:
    platform::win32::Win32Loop& loop_;
    platform::sim::SimOutlook outlook_;
    CallCounts counts_;
    OutlookWindows windows_;
    ComPtr<Served> application_;
    ComPtr<Served> control_;
    bool quitting_ = false;
    ULONGLONG busyUntil_ = 0;
    Busy busyAnswer_ = Busy::RetryLater;
};

// The object-model root (Standin.cpp) and the control object (StandinControl.cpp).
ComPtr<Served> makeApplication(Standin& standin);
ComPtr<Served> makeControl(Standin& standin);
// Raises Quit on the application's sinks.
void raiseQuit(Served& application);

} // namespace standin
