#include "platform/Utf8.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace utf8 {

namespace {

constexpr bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

Decoded decode(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return {};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1, true};

    std::size_t needed = 0;
    char32_t value = 0;
    // The allowed range of the second byte narrows for E0, ED, F0 and F4: that is what refuses
    // overlong forms, surrogates and values past U+10FFFF at the earliest byte.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {kReplacement, 1, false};  // a continuation byte alone, C0, C1, F5 to FF
    }

    std::size_t length = 1;
    for (std::size_t k = 0; k < needed; ++k) {
        if (at + length >= text.size())
            return {kReplacement, length, false};  // truncated by the end of the text
        const unsigned char b = byte(at + length);
        const bool inRange = k == 0 ? (b >= low && b <= high) : isContinuation(b);
        if (!inRange)
            return {kReplacement, length, false};  // the maximal subpart so far is one character
        value = (value << 6) | (b & 0x3F);
        ++length;
    }
    return {value, length, true};
}

bool isValid(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const Decoded d = decode(text, at);
        if (!d.valid)
            return false;
        at += d.length;
    }
    return true;
}

std::string sanitize(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const Decoded d = decode(text, at);
        if (d.valid)
            out.append(text.substr(at, d.length));
        else
            append(out, kReplacement);
        at += d.length;
    }
    return out;
}

void sanitizeInPlace(std::string& text)
{
    if (!isValid(text))
        text = sanitize(text);
}

std::size_t count(std::string_view text)
{
    std::size_t characters = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        at += static_cast<unsigned char>(text[at]) < 0x80 ? 1 : decode(text, at).length;
        ++characters;
    }
    return characters;
}

std::size_t prefixBytes(std::string_view text, std::size_t characters)
{
    std::size_t at = 0;
    for (std::size_t n = 0; n < characters && at < text.size(); ++n)
        at += static_cast<unsigned char>(text[at]) < 0x80 ? 1 : decode(text, at).length;
    return at;
}

std::size_t next(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return text.size();
    return at + decode(text, at).length;
}

std::size_t previous(std::string_view text, std::size_t at)
{
    if (at == 0)
        return 0;
    if (at > text.size())
        at = text.size();
    // Back over at most three continuation bytes to a lead byte whose sequence ends exactly at `at`.
    std::size_t start = at - 1;
    for (std::size_t back = 0; back < 3 && start > 0 && isContinuation(static_cast<unsigned char>(text[start])); ++back)
        --start;
    if (start + decode(text, start).length == at)
        return start;
    return at - 1;
}

void append(std::string& out, char32_t cp)
{
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += c;
        else
            append(out, byte < 0xA0 ? kCp1252High[byte - 0x80] : char32_t{byte});
    }
    return out;
}

bool isAscii(std::string_view text)
{
    // Eight bytes at a time: text is mostly ASCII, and measuring asks this of every prefix.
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; at < text.size(); ++at)
        if (static_cast<unsigned char>(text[at]) >= 0x80)
            return false;
    return true;
}

std::string_view withoutBom(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    return text;
}

} // namespace utf8
