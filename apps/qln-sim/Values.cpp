#include "apps/qln-sim/Values.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/Utf8.h"

namespace qln::runner {

namespace {

// Unsigned accumulation with an overflow check against `limit`.
std::optional<std::uint64_t> accumulate(std::string_view digits, unsigned base, std::uint64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const auto d = hexDigit(c);
        if (!d || static_cast<unsigned>(*d) >= base)
            return std::nullopt;
        if (value > (limit - static_cast<std::uint64_t>(*d)) / base)
            return std::nullopt;
        value = value * base + static_cast<std::uint64_t>(*d);
    }
    return value;
}

} // namespace

std::optional<std::int64_t> parseNumber(std::string_view text)
{
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto value = accumulate(text.substr(2), 16, kMax);
        if (!value)
            return std::nullopt;
        return static_cast<std::int64_t>(*value);
    }
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    const auto value = accumulate(text, 10, negative ? kMax + 1 : kMax);
    if (!value)
        return std::nullopt;
    if (negative)
        return *value == kMax + 1 ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(*value);
    return static_cast<std::int64_t>(*value);
}

std::optional<double> parseDecimal(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !digits(whole) || !digits(fraction) || (point != std::string_view::npos && fraction.empty()) ||
        whole.size() + fraction.size() > 15)
        return std::nullopt;
    double value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');
    double scale = 1;
    for (char c : fraction) {
        scale /= 10;
        value += (c - '0') * scale;
    }
    return negative ? -value : value;
}

std::string formatDecimal(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text = buffer;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string formatColour(std::uint32_t colour)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", colour);
    return buffer;
}

std::optional<std::int64_t> parseDuration(std::string_view text)
{
    struct Unit {
        std::string_view suffix;
        std::uint64_t ms;
    };
    // "ms" before "m" and "s": the longest suffix wins.
    static constexpr Unit kUnits[] = {{"ms", 1}, {"s", 1000}, {"m", 60'000}, {"h", 3'600'000}};
    for (const Unit& unit : kUnits) {
        if (text.size() <= unit.suffix.size() || !text.ends_with(unit.suffix))
            continue;
        const std::string_view digits = text.substr(0, text.size() - unit.suffix.size());
        constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        const auto value = accumulate(digits, 10, kMax / unit.ms);
        if (!value)
            return std::nullopt;
        return static_cast<std::int64_t>(*value * unit.ms);
    }
    return std::nullopt;
}

std::optional<platform::DateTime> parseDateTime(std::string_view text) { return platform::DateTime::parse(text); }

std::optional<std::vector<std::byte>> parseHexBytes(std::string_view text)
{
    std::vector<std::byte> bytes;
    std::optional<int> high;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == ',' || c == ':') {
            if (high)
                return std::nullopt;  // a lone digit before a separator
            continue;
        }
        const auto d = hexDigit(c);
        if (!d)
            return std::nullopt;
        if (high) {
            bytes.push_back(static_cast<std::byte>(*high * 16 + *d));
            high.reset();
        } else {
            high = *d;
        }
    }
    if (high)
        return std::nullopt;
    return bytes;
}

std::string formatVirtualTime(std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3'600'000),
                  static_cast<long long>(ms / 60'000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000));
    return buffer;
}

std::string quoteText(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        // Bytes that are not UTF-8 are written as escapes, so the message is UTF-8 and the text
        // can still be pasted back.
        if (static_cast<unsigned char>(text[at]) >= 0x80) {
            const utf8::Decoded d = utf8::decode(text, at);
            if (d.valid)
                out.append(text.substr(at, d.length));
            else
                appendByteEscapes(out, text.substr(at, d.length));
            at += d.length;
            continue;
        }
        const char c = text[at++];
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                appendByteEscapes(out, std::string_view(&c, 1));
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string clipped(std::string_view text, std::size_t limit)
{
    const std::size_t cut = utf8::prefixBytes(text, limit);
    if (cut == text.size())
        return std::string(text);
    return std::string(text.substr(0, cut)) + "...";
}

void appendByteEscapes(std::string& out, std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
}

void appendListItem(std::string& list, std::string_view item, std::string_view separator)
{
    if (!list.empty())
        list += separator;
    list += item;
}

std::string describeRegValue(const platform::sim::RegValue& value)
{
    if (const auto dword = value.asDword()) {
        std::string out = "dword " + std::to_string(*dword);
        if (*dword > 9) {
            char hex[16];
            std::snprintf(hex, sizeof hex, " (0x%X)", static_cast<unsigned>(*dword));
            out += hex;
        }
        return out;
    }
    if (value.type == platform::regtype::Sz) {
        // Bytes after a NUL would be invisible in the text; show such a value raw.
        const auto text = value.asText();
        if (text && text->size() + (value.data.empty() || value.data.back() != std::byte{0} ? 0 : 1) ==
                        value.data.size())
            return "sz " + quoteText(*text);
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out = "raw " + std::to_string(value.type) + " ";
    if (value.data.empty())
        out += "\"\"";
    for (std::byte b : value.data) {
        const auto byte = std::to_integer<unsigned>(b);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

std::optional<int> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

} // namespace qln::runner
