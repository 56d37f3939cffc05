#pragma once
// The real Windows desktop with Outlook and the notifier each a program of their own: the Outlook
// stand-in (tests/win32/outlook-standin, registered as Outlook.Application) and QLN.exe, installed
// beside qln-win. A scenario says `# world: outlook` to run here.
//
// The scenario's Outlook commands go to the stand-in's control object (OutlookStandin.Control):
// `outlook start` creates it (the stand-in starts), `outlook quit` is its Quit, `mail` its AddMail,
// and so on; the item checks read its ItemState, the tray icon checks its TrayIcon. `start` starts
// QLN.exe and waits until it has attached (its popup window exists and its calls to the stand-in
// have settled). The checks read QLN.exe from outside: the popup is its top-level window of the
// form class with frmNewMail's caption; `expect running/ended` its process and exit code. Input is
// real: `click btnClose` is a SendInput mouse click at the button's place on the popup window, found
// from the popup's layout (a frmNewMail built here, never loaded, gives the boxes; the buttons keep
// their places, only those anchored to the right edge or the centre follow the window's width).
//
// When Outlook's add-in has started the installation's QLN.exe (as Outlook's start-up completes),
// `start` watches that one instead of starting another.
//
// The options page is Outlook's too: `page open` opens the stand-in's Options dialog, where the
// add-in adds the page by its ProgID and the stand-in loads it from QLNOptions.dll; `page apply` and
// `page close` click its Apply and Cancel buttons, and the input to the page's forms (QLNOptions and
// the window position dialog it opens) is real input at the controls' places, found from a copy of
// the page built here from the same settings (with the same fonts) and never shown, which follows the
// tabs the scenario clicks. `expect page` reads the dialog (PageDirty, Options).
//
// QLN.exe's message boxes and the page's (in the stand-in) are answered with their default button
// while time passes, and heard for `expect msgbox` (their caption and text; the icon, a picture in
// another process, is not read).
//
// Everything else is the windows world's: the real registry and files (cleared when the world starts
// and ends), the scenario's own windows, SendInput keys, real time.

#include <memory>
#include <optional>
#include <string>

#include <windows.h>

#include "apps/qln-win/Win32ScenarioWorld.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/com/Dispatch.h"

namespace qln::runner {

class StandinScenarioWorld final : public Win32ScenarioWorld {
public:
    StandinScenarioWorld();
    ~StandinScenarioWorld() override;

    std::string_view name() const override { return "outlook"; }

    // Outlook's objects for the system in this process: the stand-in's, reached as QLN.exe does.
    platform::ObjectFactory& outlook() override { return com_; }

    // Real time, with QLN.exe's message boxes answered as they open.
    void advance(std::int64_t ms) override;

    platform::sim::SimOutlook* simulatedOutlook() override { return nullptr; }
    void outlookStart() override;
    void outlookQuit() override;
    platform::WindowHandle outlookMainWindow() const override;
    platform::WindowHandle outlookTrayWindow() const override;
    platform::WindowHandle namedWindow(const std::string& name) const override;
    std::string nameOf(platform::WindowHandle window) const override;

    RemoteOutlook* remoteOutlook() override;
    NotifierProcess* notifierProcess() override;
    RemoteOptionsDialog* remoteOptionsDialog() override;

    class Remote;
    class Process;
    class Options;

private:
    // Presses the default button of each of these message boxes not answered yet (`answered`
    // holds those pressed, until they are gone), and tells what each said.
    void answerBoxes(const std::vector<HWND>& boxes, std::vector<HWND>& answered);
    // The stand-in's window of an item's "<subject> - Message", or NoWindow.
    platform::WindowHandle itemWindow(const std::string& entryID) const;

    class Apartment {
    public:
        Apartment();
        ~Apartment();
        Apartment(const Apartment&) = delete;
        Apartment& operator=(const Apartment&) = delete;
    };
    Apartment apartment_;
    platform::win32::ComObjectFactory com_{loop()};
    std::unique_ptr<Remote> remote_;
    std::unique_ptr<Process> process_;
    std::unique_ptr<Options> options_;
    std::vector<HWND> standinAnswered_;  // the stand-in's message boxes pressed already
    bool answeringFontDialog_ = false;
};

} // namespace qln::runner
