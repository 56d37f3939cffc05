#pragma once
// The run's transcript: one line per observable event, stamped with its virtual time
// ("00:00:05.250 registry: ..."). Lines are written as they happen, so a scenario that stops at a
// failed check still shows everything up to it.

#include <cstdint>
#include <ostream>
#include <string_view>

namespace qln::runner {

class Transcript {
public:
    explicit Transcript(std::ostream* out) : out_(out) {}

    // `source` says who acted ("world", "registry", "outlook", ...).
    void line(std::int64_t virtualMs, std::string_view source, std::string_view event);
    std::uint64_t lines() const { return lines_; }

private:
    std::ostream* out_;  // nullptr: discard
    std::uint64_t lines_ = 0;
};

} // namespace qln::runner
