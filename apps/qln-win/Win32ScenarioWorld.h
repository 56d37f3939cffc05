#pragma once
// The real Windows desktop as a scenario's world: the real registry, files, windows, message loop,
// timers and GDI fonts, with Outlook simulated in this process and its windows made real.
//
// Time is real: `advance` waits while it pumps messages, and the transcript stamps the
// milliseconds since the world was made. The checks read what Windows reports (GetWindowRect,
// GetLayeredWindowAttributes, the extended style, the foreground window, the z-order). The
// scenario's registry and files are the current user's real ones; the system's own writes pass
// through reporting wrappers, so the transcript tells them as on the simulator. Message boxes are
// real and answered with their default button a moment after they open. Other programs' windows
// are windows of this process, of the class and title the scenario gives; the user's key presses
// are SendInput.
//
// A clean slate: the world deletes Quellin's registry keys (and the Outlook keys it reads) when it
// starts and when it ends, and removes the files the scenario and the system wrote during the run.
// Run it on a test desktop (a Wine prefix, a throwaway account), never on a user's own settings.
//
// Not here: fault injection, a simulated machine (screen, dpi, user, OS), fixed font metrics, a
// virtual wall clock, and the simulated desktop's own reports (Outlook's title, tray icon states,
// messages counted). The runner refuses the commands that need them.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "apps/qln-sim/ScenarioWorld.h"
#include "platform/sim/SimOutlook.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/MessageBoxAnswerer.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace qln::runner {

class Win32ScenarioWorld : public ScenarioWorld {
public:
    Win32ScenarioWorld();
    ~Win32ScenarioWorld() override;

    std::string_view name() const override { return "windows"; }

    platform::Registry& registry() override { return *systemRegistry_; }
    platform::FileSystem& files() override { return *systemFiles_; }
    platform::SystemInfo& system() override { return system_; }
    platform::Desktop& desktop() override { return desktop_; }
    platform::MessageLoop& loop() override { return loop_; }
    const platform::Clock& clock() override { return loop_; }
    platform::ObjectFactory& outlook() override { return outlook_; }

    std::int64_t nowMs() const override;
    void advance(std::int64_t ms) override;
    void runPending() override;

    platform::WindowRect bounds(platform::WindowHandle window) const override;
    std::optional<int> alpha(platform::WindowHandle window) const override;
    bool topmost(platform::WindowHandle window) const override;
    bool visible(platform::WindowHandle window) const override;
    platform::WindowHandle foreground() const override;
    platform::WindowHandle front() const override;
    std::string className(platform::WindowHandle window) const override;
    std::string title(platform::WindowHandle window) const override;
    platform::WindowHandle namedWindow(const std::string& name) const override;
    std::string nameOf(platform::WindowHandle window) const override;

    void reportSystemWrites(SystemWrites reports) override;
    void hostForms(forms::FormsHost* host) override;
    std::unique_ptr<platform::FontEngine> startingFonts() override;
    std::optional<draw::Surface> captureScreen(const std::optional<platform::WindowRect>& area) const override;
    // Real fonts only: the real desktop has no fixed metrics.
    bool setFontMode(platform::sim::FontMode mode) override { return mode == platform::sim::FontMode::Real; }

    WorldRegistry* scenarioRegistry() override { return scenarioRegistry_.get(); }
    WorldFiles* scenarioFiles() override { return scenarioFiles_.get(); }
    WorldDesktop* scenarioDesktop() override { return scenarioDesktop_.get(); }

    platform::sim::SimOutlook* simulatedOutlook() override { return &outlook_; }
    void outlookStart() override;
    void outlookQuit() override;
    platform::WindowHandle outlookMainWindow() const override;
    platform::WindowHandle outlookTrayWindow() const override;

    // Windows this world made for the scenario, by their names.
    platform::WindowHandle makeWindow(const std::string& name, const std::string& className, const std::string& title,
                                      bool shown);
    void closeNamedWindow(platform::WindowHandle window);

    // The icons the world shows in the notification area, and what the system did to them.
    void trayIconAdded(platform::WindowHandle owner, std::uint32_t id);
    platform::sim::TrayIconState trayIcon(platform::WindowHandle owner, std::uint32_t id) const;

    // The paths written during the run, removed at its end.
    void rememberWritten(const std::string& path) { written_.insert(path); }

    class Registry;
    class Files;
    class Desktop;

protected:
    // A message box another program of the run showed, for `expect msgbox`.
    void heardMessageBox(WorldDesktop::MessageBoxRecord box) { messageBoxes_.push_back(std::move(box)); }

private:
    void openItemWindow(const std::string& entryID, const std::string& title);
    void showNewMailIcon();
    void clearSettings();
    void removeTrayIcons(platform::WindowHandle owner);

    std::uint64_t startMs_ = 0;
    platform::win32::Win32Loop loop_;
    platform::win32::Win32Registry registry_;
    platform::win32::Win32FileSystem files_;
    platform::win32::Win32SystemInfo system_;
    platform::win32::Win32Desktop desktop_;
    platform::sim::SimOutlook outlook_{loop_, loop_};
    SystemWrites reports_;
    std::unique_ptr<platform::Registry> systemRegistry_;
    std::unique_ptr<platform::FileSystem> systemFiles_;
    std::unique_ptr<WorldRegistry> scenarioRegistry_;
    std::unique_ptr<WorldFiles> scenarioFiles_;
    std::unique_ptr<WorldDesktop> scenarioDesktop_;
    std::unique_ptr<platform::win32::FormWindows> formWindows_;
    std::vector<WorldDesktop::MessageBoxRecord> messageBoxes_;
    std::unique_ptr<platform::win32::MessageBoxAnswerer> answerer_;
    std::map<std::string, platform::WindowHandle, std::less<>> named_;  // every window made here, by name
    std::set<std::string> written_;
    // The notification-area icons the world added, and what became of them.
    std::map<std::pair<platform::WindowHandle, std::uint32_t>, platform::sim::TrayIconState> trayIcons_;
};

} // namespace qln::runner
