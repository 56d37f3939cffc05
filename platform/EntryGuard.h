#pragma once
// The guard of an entry point: a place where the platform calls into the system (a timer's tick, a
// window message or a user's input, an event from Outlook, a call of the host that holds the options
// page, the notifier's start). Nothing may escape an entry point, because its caller is the OS, the
// message loop, Outlook or another program. Each entry point runs its handler through guardEntry
// exactly once, at the outside; the handler's own steps keep their specified ignoreFailure and
// valueOr.
//
// A Failure that reaches the guard ends that entry's work there (the rest of the handler does not
// run, as an unhandled run-time error ends a VB event procedure) and is told to this thread's
// reporter: the scenario runner's transcript, a debug log on Windows. Anything else is a bug and
// propagates.

#include <functional>
#include <string_view>
#include <utility>

#include "platform/Failure.h"

namespace platform {

using EntryFailureReporter = std::function<void(std::string_view entry, const Failure& failure)>;

// Sets the reporter of the calling thread (the user-interface thread); returns the previous one.
// Without one, a failure at an entry point is dropped silently.
EntryFailureReporter setEntryFailureReporter(EntryFailureReporter reporter);

// Tells the reporter that `entry` ended early because of `failure`.
void reportEntryFailure(std::string_view entry, const Failure& failure);

// Runs an entry point's handler. Returns false when a Failure ended it (after reporting it).
template <class Handler>
bool guardEntry(std::string_view entry, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const Failure& failure) {
        reportEntryFailure(entry, failure);
        return false;
    }
}

} // namespace platform
