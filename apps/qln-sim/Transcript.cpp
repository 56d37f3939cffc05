#include "apps/qln-sim/Transcript.h"

#include <string>

#include "apps/qln-sim/Values.h"
#include "platform/Utf8.h"

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
    // One event, one line: a line break inside a mail's subject must not split it. The transcript
    // is UTF-8: bytes of a text that are not are written as the language's escapes.
    for (std::size_t at = 0; at < event.size();) {
        const char c = event[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const utf8::Decoded d = utf8::decode(event, at);
            if (d.valid)
                text.append(event.substr(at, d.length));
            else
                appendByteEscapes(text, event.substr(at, d.length));
            at += d.length;
            continue;
        }
        if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
        ++at;
    }
    text += '\n';
    out_->write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace qln::runner
