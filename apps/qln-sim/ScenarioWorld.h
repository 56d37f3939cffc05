#pragma once
// The world a scenario runs on, as the runner sees it. The system is given the world's seams; the
// runner's commands act on the world and read it back through the rest of this interface.
//
// Every world gives the seams, a clock, a loop to run what is pending, and the reads the notifier's
// checks need. What only some worlds can do is asked for explicitly: each capability below is
// nullptr in a world that lacks it, and a command that needs it is refused ("... needs the simulated
// world") rather than run half-way. SimScenarioWorld, over SimWorld, has every capability.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"
#include "platform/FontEngine.h"
#include "platform/FileSystem.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/Timer.h"
#include "platform/forms/FontDialog.h"
#include "platform/sim/Faults.h"
#include "platform/sim/SimWorld.h"

namespace forms {
class FormsHost;
}
namespace draw {
class Surface;
}

namespace qln::runner {

using platform::sim::RegValue;

// The registry as the scenario writes and reads it beside the system (no faults, no reports).
class WorldRegistry {
public:
    virtual ~WorldRegistry() = default;
    virtual void set(platform::Hive hive, std::string_view path, std::string_view name, RegValue value) = 0;
    virtual std::optional<RegValue> get(platform::Hive hive, std::string_view path, std::string_view name) const = 0;
    virtual void deleteKey(platform::Hive hive, std::string_view path) = 0;  // with its subkeys; missing: nothing
    virtual void deleteValue(platform::Hive hive, std::string_view path, std::string_view name) = 0;
};

// The files as the scenario writes and reads them beside the system.
class WorldFiles {
public:
    virtual ~WorldFiles() = default;
    virtual void put(std::string_view path, std::string content) = 0;  // creates missing folders
    virtual std::optional<std::string> content(std::string_view path) const = 0;
    virtual bool fileExists(std::string_view path) const = 0;
    virtual void remove(std::string_view path) = 0;  // a file, or a folder with all inside
};

// The desktop as the scenario drives it from outside: other programs' windows, the user's keys,
// the screen saver, tray icons, and the message boxes the system showed (each answered OK).
class WorldDesktop {
public:
    using MessageBoxRecord = platform::sim::SimDesktop::MessageBoxRecord;
    virtual ~WorldDesktop() = default;
    // Another program's window appears at the top of the normal band. Throws std::invalid_argument
    // when an open window has the name.
    virtual platform::WindowHandle addWindow(const std::string& name, const std::string& className,
                                             const std::string& title, bool hidden) = 0;
    // The window goes away. Throws std::invalid_argument for one of the notifier's own.
    virtual void closeWindow(platform::WindowHandle window) = 0;
    virtual void setForeground(platform::WindowHandle window) = 0;  // the user activates it
    virtual void setScreenSaver(bool running) = 0;
    virtual void addTrayIcon(platform::WindowHandle owner, std::uint32_t id) = 0;
    // Whether the icon of (owner, id) was never there, is shown, or was removed.
    virtual platform::sim::TrayIconState trayIcon(platform::WindowHandle owner, std::uint32_t id) const = 0;
    // Another program holds the combination: the system's RegisterHotKey of it fails.
    virtual void setHotKeyTaken(std::uint32_t vk, std::uint32_t modifiers) = 0;
    // The user presses the combination; true when it is one of the system's hot keys.
    virtual bool press(std::uint32_t vk, std::uint32_t modifiers) = 0;
    // The newest combination the system registered under (window, id), or nullopt.
    virtual std::optional<platform::sim::HotKeyCombo> hotKey(platform::WindowHandle window, int id) const = 0;
    // Every message box the system showed, oldest first.
    virtual std::vector<MessageBoxRecord> messageBoxes() const = 0;
};

// Outlook as the scenario drives it: its process, stores, folders and items changing elsewhere,
// and the reads of the item checks. A world with a simulated Outlook gets this from the runner over
// its SimOutlook; a world whose Outlook runs in another process (the stand-in) gives its own.
// Refusals (an unknown folder, an item that is gone) throw std::invalid_argument.
class WorldOutlook {
public:
    virtual ~WorldOutlook() = default;
    virtual void start() = 0;
    virtual void quit() = 0;
    virtual void addStore(const std::string& name) = 0;
    virtual void addFolder(const std::string& path, const std::string& messageClass,
                           const std::optional<std::string>& store) = 0;
    virtual void deleteFolder(const std::string& path) = 0;
    virtual std::string deliver(const std::string& folder, const platform::sim::MailSpec& mail) = 0;  // EntryID
    virtual void move(const std::string& entryID, const std::string& folder) = 0;
    virtual void setUnread(const std::string& entryID, bool unread) = 0;
    virtual void deleteItem(const std::string& entryID) = 0;
    virtual void purge(const std::string& entryID) = 0;
    virtual void setPickFolderAnswer(const std::optional<std::string>& folder) = 0;
    virtual std::optional<platform::sim::ItemState> item(const std::string& entryID) const = 0;  // nullopt: never
    virtual bool folderExists(const std::string& path) const = 0;
    virtual std::string folderEntryID(const std::string& path) const = 0;
    virtual std::string folderStoreID(const std::string& path) const = 0;
    virtual std::string defaultStoreName() const = 0;
};

// An Outlook in another process, with the reads the simulated desktop gives of the in-process one.
class RemoteOutlook : public WorldOutlook {
public:
    virtual void retitle(const std::string& title) = 0;  // its main window; throws when not running
    virtual bool running() const = 0;
    // Its main window's state: maximized, restored, minimized or hidden.
    virtual platform::sim::ShowState mainWindowState() const = 0;
    // Outlook's new-mail icon: absent (never shown, or Outlook not running), shown, removed.
    virtual platform::sim::TrayIconState trayIcon() const = 0;
    virtual int trayMessages(std::uint32_t message) const = 0;  // received by the icon's owner
    // Calls answered busy for that long from now on: "reject" or "retry".
    virtual void busy(std::int64_t ms, const std::string& answer) = 0;
    virtual int busyAnswers() const = 0;
    // Object-model calls served: "MailItem.Subject", "*" for all.
    virtual int calls(const std::string& key) const = 0;
    virtual void kill() = 0;  // the process ends at once, without a word to its clients
    // Outlook quits in the middle of the next object-model call of `member` ("MailItem.Subject"):
    // Quit is raised while that call is served, the call fails, and Outlook ends.
    virtual void quitDuring(const std::string& member) = 0;
};

// The notifier as a program of its own (QLN.exe), which the world starts and watches from outside:
// its state and forms are not in reach, only its windows, its life and its exit code.
class NotifierProcess {
public:
    virtual ~NotifierProcess() = default;
    virtual void start() = 0;  // starts it and waits until it has attached (or ended)
    virtual bool started() const = 0;
    virtual bool running() const = 0;
    virtual std::optional<int> exitCode() const = 0;  // nullopt while it runs
    // Started by another program (Outlook's add-in), not by `start`, which found it running.
    virtual bool startedElsewhere() const { return false; }
    virtual platform::WindowHandle popupWindow() const = 0;  // NoWindow when it has none
    // The user clicks a control of the popup (frmNewMail) with the mouse; throws
    // std::invalid_argument for a control that is not a button of the popup.
    virtual void click(const std::string& control) = 0;
};

// Outlook's Options dialog in another process (the stand-in's), hosting the options page loaded
// there from its DLL, as Outlook does. The dialog is driven as the user drives it: a click on Apply
// or Cancel, real input to the page's forms (QLNOptions, frmWinPos) at their controls' places on
// screen; what it shows is read through the dialog (is it open, with our page, is the page dirty).
// The page's controls are not in reach. Refusals (the dialog is not open, a control is on a tab not
// shown, input the world cannot give for real) throw std::invalid_argument.
class RemoteOptionsDialog {
public:
    virtual ~RemoteOptionsDialog() = default;
    // Outlook's Options dialog opens with the add-ins' pages; false when ours is not among them
    // (it could not be created). Throws when Outlook is not running.
    virtual bool open() = 0;
    // A click on Apply: false when the button was disabled (no page dirty), so the click did nothing.
    virtual bool apply() = 0;
    // A click on Cancel: the dialog closes and destroys its pages without applying.
    virtual void close() = 0;
    // The dialog is open and shows our page.
    virtual bool pageShown() const = 0;
    // Our page's Dirty as the dialog last asked it (at the page's last status change).
    virtual bool pageDirty() const = 0;
    // How often our page has told its site of a status change since the dialog created it.
    virtual int pageStatusChanges() const = 0;
    // How the next font dialog the page opens in Outlook is answered: the face and the size typed
    // into their boxes and the colour picked from the dialog's list, then OK; nullopt (and without
    // an answer) Cancel. Throws std::invalid_argument for an answer the dialog cannot give.
    virtual void prepareFontAnswer(std::optional<forms::FontChoice> answer) = 0;

    // The user's input to a control of the page's forms (FORM, CONTROL as the scenario names them).
    virtual void click(const std::string& form, const std::string& control) = 0;
    // The user replaces a text box's text: a click into it, the old text selected and typed over.
    virtual void setText(const std::string& form, const std::string& control, const std::string& text) = 0;
    // A key pressed and released (MASK: 1 Shift, 2 Ctrl, 4 Alt): in a control after a click on it,
    // or (an empty control) in the form's window as it is.
    virtual void key(const std::string& form, const std::string& control, int vk, int mask) = 0;
    // A click on tab `index` of a tab strip.
    virtual void clickTab(const std::string& form, const std::string& control, int index) = 0;
    // The left button pressed on a slider where its thumb stands at `position`, and released there.
    virtual void slide(const std::string& form, const std::string& control, int position) = 0;
    // A click on row `index` of a list box (0 and up), where the list shows it.
    virtual void selectRow(const std::string& form, const std::string& control, int index) = 0;
    // A click on a colour picker, and in the colour dialog it opens the colour's red, green and blue
    // (0x00BBGGRR) typed into their boxes, then OK.
    virtual void pickColour(const std::string& form, const std::string& control, std::uint32_t colour) = 0;
};

// Where a world tells what the system itself wrote (the scenario's own writes are not told).
struct SystemWrites {
    std::function<void(platform::Hive, const std::string& path, const std::string& name, const RegValue&)> registry;
    std::function<void(const std::string& operation, const std::string& path)> files;
};

// What a `fail` command can make fail.
enum class FaultTarget { Outlook, Desktop, Registry, Files };

class ScenarioWorld {
public:
    virtual ~ScenarioWorld() = default;

    // How the world reads in messages and in a scenario's `world` line: "simulated", "windows".
    virtual std::string_view name() const = 0;

    // The seams the system is built on.
    virtual platform::Registry& registry() = 0;
    virtual platform::FileSystem& files() = 0;
    virtual platform::SystemInfo& system() = 0;
    virtual platform::Desktop& desktop() = 0;
    virtual platform::MessageLoop& loop() = 0;
    virtual const platform::Clock& clock() = 0;
    virtual platform::ObjectFactory& outlook() = 0;  // Outlook's objects and the MAPI helper

    // Time: the milliseconds since the run began, as the transcript stamps them. `advance` lets
    // that much time pass (a virtual world jumps, a real one waits while it pumps messages);
    // `runPending` runs what is posted now.
    virtual std::int64_t nowMs() const = 0;
    virtual void advance(std::int64_t ms) = 0;
    virtual void runPending() = 0;

    // The reads the notifier's checks need, whatever the world.
    virtual platform::WindowRect bounds(platform::WindowHandle window) const = 0;
    virtual std::optional<int> alpha(platform::WindowHandle window) const = 0;  // nullopt: opaque
    virtual bool topmost(platform::WindowHandle window) const = 0;
    virtual bool visible(platform::WindowHandle window) const = 0;
    virtual platform::WindowHandle foreground() const = 0;
    // The highest visible, not minimised, not topmost window.
    virtual platform::WindowHandle front() const = 0;
    virtual std::string className(platform::WindowHandle window) const = 0;
    virtual std::string title(platform::WindowHandle window) const = 0;
    // Windows the world knows by name: "outlook", "outlook-tray", "item:<EntryID>", and the
    // scenario's own `window` lines. NoWindow when no such window is open; "" when unnamed.
    virtual platform::WindowHandle namedWindow(const std::string& name) const = 0;
    virtual std::string nameOf(platform::WindowHandle window) const = 0;

    // Reports the system's own registry and file writes from now on.
    virtual void reportSystemWrites(SystemWrites reports) = 0;
    // The forms' host is made (nullptr: it goes away): a world with real windows gives the forms
    // theirs.
    virtual void hostForms(forms::FormsHost*) {}
    // The text engine the forms start with; nullptr: fixed metrics.
    virtual std::unique_ptr<platform::FontEngine> startingFonts() { return nullptr; }
    // The screen as the user sees it (the whole screen, or the area), when the world can capture
    // it; nullopt: the runner composes it.
    virtual std::optional<draw::Surface> captureScreen(const std::optional<platform::WindowRect>& area) const;

    // The registry, files and desktop as the scenario drives them (see above).
    virtual WorldRegistry* scenarioRegistry() = 0;
    virtual WorldFiles* scenarioFiles() = 0;
    virtual WorldDesktop* scenarioDesktop() = 0;

    // Capabilities only some worlds have; nullptr when this one lacks it.

    // Outlook simulated in the world: its mail store (stores, folders, mail, the folder picker's
    // answers, the MAPI helper's presence). With it the world starts and quits Outlook together
    // with its windows, on the world's desktop.
    virtual platform::sim::SimOutlook* simulatedOutlook() { return nullptr; }
    virtual void outlookStart() {}
    virtual void outlookQuit() {}
    virtual platform::WindowHandle outlookMainWindow() const { return platform::NoWindow; }
    virtual platform::WindowHandle outlookTrayWindow() const { return platform::NoWindow; }
    // The simulated desktop's own reports and reads: its calls, Outlook's window title, tray icon
    // states, messages counted.
    virtual platform::sim::SimDesktop* simulatedDesktop() { return nullptr; }
    // The machine's facts set by the scenario: screen size, dpi, system fonts, OS version, user,
    // locale, program folder.
    virtual platform::sim::SimSystemInfo* simulatedMachine() { return nullptr; }
    // Outlook in another process, driven through its control (the stand-in); nullptr: the runner
    // drives the simulated Outlook.
    virtual RemoteOutlook* remoteOutlook() { return nullptr; }
    // The notifier runs in another process: `start` starts it, and the checks that need it in
    // this process (its state, its forms' controls) are refused.
    virtual NotifierProcess* notifierProcess() { return nullptr; }
    // Outlook's Options dialog, with the options page, in another process: `page` and the input to
    // the page's forms go there, and the checks that need the page in this process are refused.
    virtual RemoteOptionsDialog* remoteOptionsDialog() { return nullptr; }
    // A wall clock the scenario sets.
    virtual platform::sim::SimLoop* virtualClock() { return nullptr; }
    // Failures injected into a seam's calls.
    virtual platform::sim::Faults* faults(FaultTarget) { return nullptr; }
    // Whether the forms can measure with fixed metrics (`fonts fixed`); the world records the mode.
    virtual bool setFontMode(platform::sim::FontMode) { return false; }
};

// The simulated world: virtual time, every capability.
class SimScenarioWorld final : public ScenarioWorld {
public:
    std::string_view name() const override { return "simulated"; }

    platform::Registry& registry() override { return world_.registry; }
    platform::FileSystem& files() override { return world_.files; }
    platform::SystemInfo& system() override { return world_.system; }
    platform::Desktop& desktop() override { return world_.desktop; }
    platform::MessageLoop& loop() override { return world_.loop; }
    const platform::Clock& clock() override { return world_.loop; }
    platform::ObjectFactory& outlook() override { return world_.outlook; }

    std::int64_t nowMs() const override { return world_.loop.nowMs(); }
    void advance(std::int64_t ms) override { world_.loop.advance(ms); }
    void runPending() override { world_.loop.runPending(); }

    platform::WindowRect bounds(platform::WindowHandle window) const override { return world_.desktop.bounds(window); }
    std::optional<int> alpha(platform::WindowHandle window) const override { return world_.desktop.alpha(window); }
    bool topmost(platform::WindowHandle window) const override { return world_.desktop.topmost(window); }
    bool visible(platform::WindowHandle window) const override { return world_.desktop.visible(window); }
    platform::WindowHandle foreground() const override { return world_.desktop.foreground(); }
    platform::WindowHandle front() const override { return world_.desktop.front(); }
    std::string className(platform::WindowHandle window) const override { return world_.desktop.className(window); }
    std::string title(platform::WindowHandle window) const override { return world_.desktop.title(window); }
    platform::WindowHandle namedWindow(const std::string& name) const override { return world_.desktop.window(name); }
    std::string nameOf(platform::WindowHandle window) const override { return world_.desktop.nameOf(window); }

    void reportSystemWrites(SystemWrites reports) override;
    WorldRegistry* scenarioRegistry() override { return &registry_; }
    WorldFiles* scenarioFiles() override { return &files_; }
    WorldDesktop* scenarioDesktop() override { return &desktop_; }

    platform::sim::SimOutlook* simulatedOutlook() override { return &world_.outlook; }
    void outlookStart() override { world_.outlookStart(); }
    void outlookQuit() override { world_.outlookQuit(); }
    platform::WindowHandle outlookMainWindow() const override { return world_.outlookMainWindow(); }
    platform::WindowHandle outlookTrayWindow() const override { return world_.outlookTrayWindow(); }
    platform::sim::SimDesktop* simulatedDesktop() override { return &world_.desktop; }
    platform::sim::SimSystemInfo* simulatedMachine() override { return &world_.system; }
    platform::sim::SimLoop* virtualClock() override { return &world_.loop; }
    platform::sim::Faults* faults(FaultTarget target) override;
    bool setFontMode(platform::sim::FontMode mode) override
    {
        world_.fontMode = mode;
        return true;
    }

    // The simulated world itself, for tests that look inside it.
    platform::sim::SimWorld& sim() { return world_; }

private:
    // The scenario's side of the simulated registry, files and desktop.
    class Registry final : public WorldRegistry {
    public:
        explicit Registry(platform::sim::SimRegistry& sim) : sim_(sim) {}
        void set(platform::Hive hive, std::string_view path, std::string_view name, RegValue value) override
        {
            sim_.set(hive, path, name, std::move(value));
        }
        std::optional<RegValue> get(platform::Hive hive, std::string_view path, std::string_view name) const override
        {
            return sim_.get(hive, path, name);
        }
        void deleteKey(platform::Hive hive, std::string_view path) override { sim_.deleteKey(hive, path); }
        void deleteValue(platform::Hive hive, std::string_view path, std::string_view name) override
        {
            sim_.deleteValue(hive, path, name);
        }

    private:
        platform::sim::SimRegistry& sim_;
    };
    class Files final : public WorldFiles {
    public:
        explicit Files(platform::sim::SimFileSystem& sim) : sim_(sim) {}
        void put(std::string_view path, std::string content) override { sim_.put(path, std::move(content)); }
        std::optional<std::string> content(std::string_view path) const override { return sim_.content(path); }
        bool fileExists(std::string_view path) const override { return sim_.fileExists(path); }
        void remove(std::string_view path) override { sim_.remove(path); }

    private:
        platform::sim::SimFileSystem& sim_;
    };
    class Desktop final : public WorldDesktop {
    public:
        explicit Desktop(platform::sim::SimDesktop& sim) : sim_(sim) {}
        platform::WindowHandle addWindow(const std::string& name, const std::string& className,
                                         const std::string& title, bool hidden) override
        {
            return sim_.addWindow(name, className, title, hidden);
        }
        void closeWindow(platform::WindowHandle window) override { sim_.closeWindow(window); }
        void setForeground(platform::WindowHandle window) override { sim_.setForeground(window); }
        void setScreenSaver(bool running) override { sim_.setScreenSaver(running); }
        void addTrayIcon(platform::WindowHandle owner, std::uint32_t id) override { sim_.addTrayIcon(owner, id); }
        platform::sim::TrayIconState trayIcon(platform::WindowHandle owner, std::uint32_t id) const override
        {
            return sim_.trayIcon(owner, id);
        }
        void setHotKeyTaken(std::uint32_t vk, std::uint32_t modifiers) override { sim_.setHotKeyTaken(vk, modifiers); }
        bool press(std::uint32_t vk, std::uint32_t modifiers) override { return sim_.press(vk, modifiers); }
        std::optional<platform::sim::HotKeyCombo> hotKey(platform::WindowHandle window, int id) const override
        {
            return sim_.hotKey(window, id);
        }
        std::vector<MessageBoxRecord> messageBoxes() const override { return sim_.messageBoxes(); }

    private:
        platform::sim::SimDesktop& sim_;
    };

    platform::sim::SimWorld world_;
    Registry registry_{world_.registry};
    Files files_{world_.files};
    Desktop desktop_{world_.desktop};
};

} // namespace qln::runner
