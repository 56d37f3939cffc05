// The Unicode tables on Windows: the system's own case mapping and character types.
//
// Implements foldCase with LCMapStringEx (invariant locale) after FoldStringW has composed the
// text: upper case first, so that σ and ς meet in Σ (and ς is joined to σ explicitly where the
// system's table leaves it alone), then lower case, the form the portable code
// gives ASCII text. Implements cells with GetStringTypeW's CT_CTYPE3 classes. Does not: full case
// folding (ß stays ß); beyond the Basic Multilingual Plane only the ideographic planes and the
// main emoji blocks count as wide.
#include "platform/UnicodeTables.h"

#include <string>

#include <windows.h>

namespace unicode {

namespace {

std::wstring wide(std::string_view text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// One call of a Win32 mapping that sizes its output first; the input back when it fails.
template <class Map>
std::wstring mapped(const std::wstring& text, Map map)
{
    const int n = map(text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return text;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    if (map(text.data(), static_cast<int>(text.size()), out.data(), n) <= 0)
        return text;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

} // namespace

std::string foldCase(std::string_view text)
{
    std::wstring w = wide(text);
    w = mapped(w, [](const wchar_t* in, int n, wchar_t* out, int size) {
        return FoldStringW(MAP_PRECOMPOSED, in, n, out, size);
    });
    w = mapped(w, [](const wchar_t* in, int n, wchar_t* out, int size) {
        return LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, in, n, out, size, nullptr, nullptr, 0);
    });
    for (wchar_t& c : w) {
        if (c == 0x0130 || c == 0x0131)
            c = L'I';  // dotted capital and dotless small i fold like the Latin i
    }
    w = mapped(w, [](const wchar_t* in, int n, wchar_t* out, int size) {
        return LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, n, out, size, nullptr, nullptr, 0);
    });
    // Final sigma folds to sigma. Windows' upper-case table already joins them in Σ, Wine's does
    // not, so it is said here once more.
    for (wchar_t& c : w) {
        if (c == 0x03C2)
            c = 0x03C3;
    }
    return narrow(w);
}

int cells(char32_t codePoint)
{
    // GetStringTypeW sees one UTF-16 unit; beyond the Basic Multilingual Plane the wide blocks are
    // the ideographic planes and the pictographs of the emoji blocks.
    if (codePoint >= 0x10000) {
        const bool ideographic = codePoint >= 0x20000 && codePoint <= 0x3FFFD;
        const bool pictograph = (codePoint >= 0x1F300 && codePoint <= 0x1F64F) ||
                                (codePoint >= 0x1F900 && codePoint <= 0x1F9FF);
        return ideographic || pictograph ? 2 : 1;
    }
    const wchar_t c = static_cast<wchar_t>(codePoint);
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE3, &c, 1, &type))
        return 1;
    if (type & C3_HALFWIDTH)
        return 1;
    const bool hangulSyllable = codePoint >= 0xAC00 && codePoint <= 0xD7A3;
    return (type & (C3_FULLWIDTH | C3_IDEOGRAPH | C3_HIRAGANA | C3_KATAKANA)) || hangulSyllable ? 2 : 1;
}

} // namespace unicode
