#include "apps/qln-sim/ObservedLoop.h"

#include <utility>

namespace qln::runner {

ObservedLoop::ObservedLoop(ScenarioWorld& world, std::function<void()> afterTick)
    : world_(world), loop_(world.loop()), afterTick_(std::move(afterTick))
{
}

platform::TimerId ObservedLoop::startTimer(std::uint32_t intervalMs, std::function<void()> tick)
{
    return loop_.startTimer(intervalMs, [this, tick = std::move(tick)] {
        tick();
        // The loop runs these first thing after the tick; running them here changes
        // nothing but lets the observer see their effects at the tick's time.
        world_.runPending();
        if (afterTick_)
            afterTick_();
    });
}

} // namespace qln::runner
