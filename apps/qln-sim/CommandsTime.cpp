// Time: advance, clock, batch ... end.

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "platform/DateTime.h"

namespace qln::runner {

namespace {

// Only `advance` moves virtual time, so its whole span is known before the run. A century is far
// more than a scenario needs, and keeps the loop's millisecond counter from overflowing.
constexpr std::int64_t kMaxVirtualMs = 876'000LL * 3'600'000;

Action parseAdvance(Args& args)
{
    const std::int64_t ms = args.duration("DURATION");
    ParseState& state = args.state();
    if (ms > kMaxVirtualMs - state.virtualMs)
        args.fail("advance: the scenario would run past 876000h (100 years) of virtual time");
    state.virtualMs += ms;
    return [ms](Runtime& rt) { rt.world().advance(ms); };
}

Action parseClock(Args& args)
{
    const platform::DateTime moment = args.dateTime("DATETIME");
    return [moment](Runtime& rt) {
        rt.virtualClock();
        rt.note("world", "the wall clock reads " + moment.toIsoString());
        rt.virtualClock().setWallClock(moment);
    };
}

Action parseBatch(Args& args)
{
    ParseState& state = args.state();
    if (state.batchLine)
        args.fail("batch inside the batch opened at line " + std::to_string(*state.batchLine) +
                  " (batches do not nest)");
    state.batchLine = state.line;
    return [](Runtime& rt) { rt.beginBatch(); };
}

Action parseEnd(Args& args)
{
    ParseState& state = args.state();
    if (!state.batchLine)
        args.fail("end without batch");
    state.batchLine.reset();
    return [](Runtime& rt) { rt.endBatch(); };
}

} // namespace

std::vector<CommandSpec> timeCommands()
{
    return {
        {.name = "advance", .usage = "advance DURATION",
         .summary = "move virtual time (250ms 5s 2m 1h), firing timers and events", .parse = &parseAdvance,
         .outsideBatch = true},
        {.name = "clock", .usage = "clock DATETIME", .summary = "set the wall clock (default \"2026-01-05 09:00:00\")",
         .parse = &parseClock, .beforeStart = true},
        {.name = "batch", .usage = "batch", .summary = "the commands up to `end` only post their events",
         .parse = &parseBatch},
        {.name = "end", .usage = "end", .summary = "close a batch: the loop runs what the batch posted",
         .parse = &parseEnd},
    };
}

} // namespace qln::runner
