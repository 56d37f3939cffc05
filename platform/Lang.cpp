#include "platform/Lang.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "platform/Failure.h"
#include "platform/UnicodeTables.h"
#include "platform/Utf8.h"

namespace lang {

namespace {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::int32_t roundHalfEven(double value)
{
    if (!std::isfinite(value))
        throw platform::Failure("rounding: not a finite number");
    // value - floor(value) is exact for every finite double, so the tie test below is exact too;
    // nearbyint would depend on the thread's rounding mode.
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        throw platform::Failure("rounding: overflow");
    return static_cast<std::int32_t>(rounded);
}

std::optional<double> parseNumeric(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    std::string_view t = text.substr(first, last - first);

    // The shape is checked by hand: from_chars alone would also take "inf", "nan" and (in hex
    // mode) other forms, and strtod follows the C locale's decimal point.
    bool negative = false;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;

    const std::string_view number = t.substr(numberStart);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;  // out of range (1e400): VB calls that not numeric either
    return negative ? -value : value;
}

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::string foldCase(std::string_view text)
{
    if (utf8::isAscii(text))
        return lowerAscii(text);
    return unicode::foldCase(utf8::sanitize(text));
}

bool containsFolded(std::string_view foldedHaystack, std::string_view needle)
{
    if (needle.empty())
        return true;
    if (!utf8::isAscii(needle))
        return foldedHaystack.find(foldCase(needle)) != std::string_view::npos;
    // An ASCII needle folds to its ASCII lower case, which is compared byte by byte in place, at
    // the places where its first character occurs.
    if (needle.size() > foldedHaystack.size())
        return false;
    const char first = lowerChar(needle[0]);
    const std::size_t last = foldedHaystack.size() - needle.size();
    for (std::size_t at = foldedHaystack.find(first); at != std::string_view::npos && at <= last;
         at = foldedHaystack.find(first, at + 1)) {
        std::size_t k = 1;
        while (k < needle.size() && foldedHaystack[at + k] == lowerChar(needle[k]))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

bool containsNoCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return true;
    if (utf8::isAscii(haystack)) {
        if (!utf8::isAscii(needle))
            return foldCase(haystack).find(foldCase(needle)) != std::string::npos;
        if (needle.size() > haystack.size())
            return false;
        for (std::size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
            std::size_t k = 0;
            while (k < needle.size() && lowerChar(haystack[at + k]) == lowerChar(needle[k]))
                ++k;
            if (k == needle.size())
                return true;
        }
        return false;
    }
    return containsFolded(foldCase(haystack), needle);
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerChar(c);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (utf8::isAscii(a) && utf8::isAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (lowerChar(a[i]) != lowerChar(b[i]))
                return false;
        return true;
    }
    return foldCase(a) == foldCase(b);
}

std::string trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace lang
