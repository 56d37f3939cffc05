#pragma once
// The one error that crosses a seam: Outlook, the MAPI helper, the registry, the file system or
// the desktop refused or failed a call. It is the analogue of a COM or run-time error, and the
// only exception the system's own code ever absorbs.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace platform {

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // A failure that carries a run-time error number (380, "Invalid property value", say).
    Failure(const std::string& what, std::int32_t number) : std::runtime_error(what), number_(number) {}

    // The error number, or 0 when the failure has none.
    std::int32_t number() const { return number_; }

private:
    std::int32_t number_ = 0;
};

// Runs one step of a sequence whose failures are ignored: the step's Failure is swallowed and the
// caller goes on with the next step. Anything else (a bug) propagates.
// Returns true when the step completed.
template <class Step>
bool ignoreFailure(Step&& step)
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const Failure&) {
        return false;
    }
}

// Evaluates a read that may fail; a failed read gives the fallback value.
template <class T, class Read>
T valueOr(T fallback, Read&& read)
{
    try {
        return std::forward<Read>(read)();
    } catch (const Failure&) {
        return fallback;
    }
}

} // namespace platform
