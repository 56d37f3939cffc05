#pragma once
// A world on the simulated seams that gives the runner the seams and the neutral reads but none of
// the simulated world's extra capabilities: what a real desktop gives it. The runner's tests name
// it and add what they fake.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "apps/qln-sim/ScenarioWorld.h"
#include "platform/sim/SimWorld.h"

namespace qln::runner {

class SeamsWorld : public ScenarioWorld {
public:
    platform::Registry& registry() override { return w_.registry; }
    platform::FileSystem& files() override { return w_.files; }
    platform::SystemInfo& system() override { return w_.system; }
    platform::Desktop& desktop() override { return w_.desktop; }
    platform::MessageLoop& loop() override { return w_.loop; }
    const platform::Clock& clock() override { return w_.loop; }
    platform::ObjectFactory& outlook() override { return w_.outlook; }

    std::int64_t nowMs() const override { return w_.loop.nowMs(); }
    void advance(std::int64_t ms) override { w_.loop.advance(ms); }
    void runPending() override { w_.loop.runPending(); }

    platform::WindowRect bounds(platform::WindowHandle window) const override { return w_.desktop.bounds(window); }
    std::optional<int> alpha(platform::WindowHandle window) const override { return w_.desktop.alpha(window); }
    bool topmost(platform::WindowHandle window) const override { return w_.desktop.topmost(window); }
    bool visible(platform::WindowHandle window) const override { return w_.desktop.visible(window); }
    platform::WindowHandle foreground() const override { return w_.desktop.foreground(); }
    platform::WindowHandle front() const override { return w_.desktop.front(); }
    std::string className(platform::WindowHandle window) const override { return w_.desktop.className(window); }
    std::string title(platform::WindowHandle window) const override { return w_.desktop.title(window); }
    platform::WindowHandle namedWindow(const std::string& name) const override { return w_.desktop.window(name); }
    std::string nameOf(platform::WindowHandle window) const override { return w_.desktop.nameOf(window); }

    void reportSystemWrites(SystemWrites) override {}
    WorldRegistry* scenarioRegistry() override { return nullptr; }
    WorldFiles* scenarioFiles() override { return nullptr; }
    WorldDesktop* scenarioDesktop() override { return nullptr; }

protected:
    platform::sim::SimWorld w_;
};

} // namespace qln::runner
