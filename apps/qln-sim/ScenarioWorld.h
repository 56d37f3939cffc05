#pragma once
// The world a scenario runs on, as the runner sees it. The system is given the world's seams; the
// runner's commands act on the world and read it back through the rest of this interface.
//
// Every world gives the seams, a clock, a loop to run what is pending, and the reads the notifier's
// checks need. What only some worlds can do is asked for explicitly: each capability below is
// nullptr in a world that lacks it, and a command that needs it is refused ("... needs the simulated
// world") rather than run half-way. SimScenarioWorld, over SimWorld, has every capability.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/Timer.h"
#include "platform/sim/Faults.h"
#include "platform/sim/SimWorld.h"

namespace qln::runner {

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

    // Capabilities only some worlds have; nullptr when this one lacks it.

    // Outlook simulated in the world: its mail store (stores, folders, mail, the folder picker's
    // answers, the MAPI helper's presence). With it the world starts and quits Outlook together
    // with its windows.
    virtual platform::sim::SimOutlook* simulatedOutlook() { return nullptr; }
    virtual void outlookStart() {}
    virtual void outlookQuit() {}
    virtual platform::WindowHandle outlookMainWindow() const { return platform::NoWindow; }
    virtual platform::WindowHandle outlookTrayWindow() const { return platform::NoWindow; }
    // A desktop the scenario drives and reads from outside: other programs' windows, the user's
    // keys, the screen saver, message boxes.
    virtual platform::sim::SimDesktop* simulatedDesktop() { return nullptr; }
    // The machine's facts set by the scenario: screen size, dpi, system fonts, OS version, user,
    // locale, program folder.
    virtual platform::sim::SimSystemInfo* simulatedMachine() { return nullptr; }
    // The registry and the files written and read by the scenario beside the system.
    virtual platform::sim::SimRegistry* simulatedRegistry() { return nullptr; }
    virtual platform::sim::SimFileSystem* simulatedFiles() { return nullptr; }
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

    platform::sim::SimOutlook* simulatedOutlook() override { return &world_.outlook; }
    void outlookStart() override { world_.outlookStart(); }
    void outlookQuit() override { world_.outlookQuit(); }
    platform::WindowHandle outlookMainWindow() const override { return world_.outlookMainWindow(); }
    platform::WindowHandle outlookTrayWindow() const override { return world_.outlookTrayWindow(); }
    platform::sim::SimDesktop* simulatedDesktop() override { return &world_.desktop; }
    platform::sim::SimSystemInfo* simulatedMachine() override { return &world_.system; }
    platform::sim::SimRegistry* simulatedRegistry() override { return &world_.registry; }
    platform::sim::SimFileSystem* simulatedFiles() override { return &world_.files; }
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
    platform::sim::SimWorld world_;
};

} // namespace qln::runner
