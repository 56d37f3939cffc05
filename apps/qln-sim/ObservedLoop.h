#pragma once
// The message loop the system's forms and the notifier run on: the world's loop, with one
// addition. After each timer tick of theirs, once the tasks the tick posted have run (as the loop
// would run them next anyway, at the same virtual millisecond), the runner is told, so that what
// the tick changed (a composition, the popup hidden) reaches the transcript stamped with the
// tick's own time rather than with the end of a long `advance`.

#include <cstdint>
#include <functional>

#include "platform/MessageLoop.h"
#include "apps/qln-sim/ScenarioWorld.h"

namespace qln::runner {

class ObservedLoop final : public platform::MessageLoop {
public:
    ObservedLoop(ScenarioWorld& world, std::function<void()> afterTick);

    void post(std::function<void()> task) override { loop_.post(std::move(task)); }
    void doEvents() override { loop_.doEvents(); }
    platform::TimerId startTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void stopTimer(platform::TimerId id) override { loop_.stopTimer(id); }
    std::int64_t tickCount() const override { return loop_.tickCount(); }

private:
    ScenarioWorld& world_;
    platform::MessageLoop& loop_;
    std::function<void()> afterTick_;
};

} // namespace qln::runner
