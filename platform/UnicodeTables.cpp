// The Unicode tables on Linux: utf8proc.
#include "platform/UnicodeTables.h"

#include <cstdlib>
#include <memory>

#include <utf8proc.h>

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
    utf8proc_uint8_t* folded = nullptr;
    const auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD);
    const utf8proc_ssize_t length = utf8proc_map_custom(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                                        static_cast<utf8proc_ssize_t>(text.size()), &folded,
                                                        options, &latinI, nullptr);
    if (length < 0)
        return std::string(text);  // not valid UTF-8 (callers sanitise first) or out of memory
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(folded, &std::free);
    return std::string(reinterpret_cast<const char*>(folded), static_cast<std::size_t>(length));
}

int cells(char32_t codePoint)
{
    if (codePoint > 0x10FFFF)
        return 1;
    return utf8proc_charwidth(static_cast<utf8proc_int32_t>(codePoint)) == 2 ? 2 : 1;
}

} // namespace unicode
