#pragma once
// The few language rules the system relies on, in one place: VB-style rounding and numeric text,
// splitting, case-insensitive search, trimming and 16-bit index arithmetic.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lang {

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Throws platform::Failure when the result does not fit 32 bits (VB's overflow)
// or the value is not a number.
std::int32_t roundHalfEven(double value);

// The value of a numeric text, or nullopt when the text is not numeric. Accepted: blanks (spaces
// and tabs) around the number, one leading sign, digits with an optional decimal point and
// fraction (".5" and "5." too), an optional exponent ("1e2", "2.5E-3"). Refused: empty text,
// text without digits, hexadecimal ("0x50"), thousands separators, anything else.
std::optional<double> parseNumeric(std::string_view text);
inline bool isNumeric(std::string_view text) { return parseNumeric(text).has_value(); }

// Splits at every occurrence of the separator; n separators give n + 1 pieces, empty ones kept
// (VB's Split). An empty text gives one empty piece.
std::vector<std::string> split(std::string_view text, char separator);

// Comparisons without regard to case fold case in every script that has case (Ä/ä, Σ/σ/ς, Д/д),
// not only A to Z; see unicode::foldCase. Invalid UTF-8 compares as U+FFFD.

// The comparison form of a text: invalid sequences replaced, then case folded. ASCII text takes
// a fast path that never leaves this file.
std::string foldCase(std::string_view text);

// Whether `needle` occurs in `haystack`, case ignored. An empty needle occurs everywhere.
bool containsNoCase(std::string_view haystack, std::string_view needle);
// The same against a haystack already in its comparison form (foldCase), for one text searched
// for many needles.
bool containsFolded(std::string_view foldedHaystack, std::string_view needle);

bool equalsNoCase(std::string_view a, std::string_view b);

// ASCII lower-case of a copy, for names that are ASCII by definition (property names, keys).
std::string lowerAscii(std::string_view text);

// Removes blanks (spaces) at both ends (VB's Trim).
std::string trimBlanks(std::string_view text);

// 16-bit signed index arithmetic: the value wrapped into -32768..32767.
constexpr std::int16_t wrap16(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

// The non-negative remainder of value modulo m (m > 0): (-1) mod 100 = 99.
constexpr std::int16_t ringIndex(std::int32_t value, std::int32_t m)
{
    const std::int32_t r = value % m;
    return static_cast<std::int16_t>(r < 0 ? r + m : r);
}

} // namespace lang
