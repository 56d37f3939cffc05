#include "apps/qln-sim/Transcript.h"

#include <string>

#include "apps/qln-sim/Values.h"

namespace qln::runner {

void Transcript::line(std::int64_t virtualMs, std::string_view source, std::string_view event)
{
    ++lines_;
    if (!out_)
        return;
    std::string text = formatVirtualTime(virtualMs);
    text += ' ';
    text += source;
    text += ": ";
    // One event, one line: a line break inside a mail's subject must not split it.
    for (char c : event) {
        if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    text += '\n';
    out_->write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace qln::runner
