// The Unicode tables on Linux: utf8proc.
#include "platform/UnicodeTables.h"

#include <vector>

#include <utf8proc.h>

#include "platform/Utf8.h"

namespace unicode {

namespace {

// Dotted capital I and dotless small i fold like the Latin i (see the header).
utf8proc_int32_t latinI(utf8proc_int32_t codePoint, void*)
{
    return codePoint == 0x0130 || codePoint == 0x0131 ? 'i' : codePoint;
}

} // namespace

std::string foldCase(std::string_view text)
{
    // utf8proc_map's steps without its allocation: a sender list folds thousands of short entries.
    // Folded and decomposed into code points, composed again (NFC, so "ü" stays one character and
    // an entry "u" does not match it), then encoded.
    thread_local std::vector<utf8proc_int32_t> buffer;
    const auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD);
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    if (buffer.size() < text.size() + 16)
        buffer.resize(text.size() + 16);
    utf8proc_ssize_t count = utf8proc_decompose_custom(bytes, length, buffer.data(),
                                                       static_cast<utf8proc_ssize_t>(buffer.size()), options, &latinI, nullptr);
    if (count > static_cast<utf8proc_ssize_t>(buffer.size())) {
        buffer.resize(static_cast<std::size_t>(count));
        count = utf8proc_decompose_custom(bytes, length, buffer.data(), count, options, &latinI, nullptr);
    }
    if (count < 0)
        return std::string(text);  // not valid UTF-8 (callers sanitise first)
    count = utf8proc_normalize_utf32(buffer.data(), count, options);
    if (count < 0)
        return std::string(text);
    std::string folded;
    folded.reserve(text.size() + 8);
    for (utf8proc_ssize_t i = 0; i < count; ++i)
        utf8::append(folded, static_cast<char32_t>(buffer[static_cast<std::size_t>(i)]));
    return folded;
}

int cells(char32_t codePoint)
{
    if (codePoint > 0x10FFFF)
        return 1;
    return utf8proc_charwidth(static_cast<utf8proc_int32_t>(codePoint)) == 2 ? 2 : 1;
}

} // namespace unicode
