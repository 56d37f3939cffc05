#pragma once
// Fault injection for the simulated world: the next N calls of a named operation fail with
// platform::Failure, as when Outlook, the registry or the file system refuses a call.
//
// Operation names are case-sensitive and chosen by each simulated component (SimOutlook lists
// its own in SimOutlook::operationNames()).

#include <map>
#include <string>
#include <string_view>

namespace platform::sim {

class Faults {
public:
    static constexpr int Always = -1;

    // The next `times` calls of `operation` fail; Always (the default) makes every call fail.
    void fail(std::string_view operation, int times = Always);
    void clear(std::string_view operation);
    void clearAll();
    bool armed(std::string_view operation) const;

    // Called by a simulated component at the start of an operation: throws platform::Failure
    // (and uses up one of the armed failures) when the operation is to fail.
    void check(std::string_view operation);

private:
    std::map<std::string, int, std::less<>> remaining_;
};

} // namespace platform::sim
