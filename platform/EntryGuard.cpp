#include "platform/EntryGuard.h"

namespace platform {

namespace {

thread_local EntryFailureReporter tReporter;

} // namespace

EntryFailureReporter setEntryFailureReporter(EntryFailureReporter reporter)
{
    return std::exchange(tReporter, std::move(reporter));
}

void reportEntryFailure(std::string_view entry, const Failure& failure)
{
    if (!tReporter)
        return;
    // The reporter may replace itself while it runs.
    const EntryFailureReporter reporter = tReporter;
    reporter(entry, failure);
}

} // namespace platform
