#pragma once
// The scenario language's literal values: numbers (decimal -12, hexadecimal 0x80000012),
// durations (250ms, 5s, 2m, and 1h), date-times ("2026-12-07 10:00:00") and byte strings in hex.
// Each gives nullopt for text that is not such a value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/sim/SimRegistry.h"

namespace qln::runner {

// A decimal number with an optional leading '-', or 0x followed by hexadecimal digits; anything
// that does not fit 64 bits is refused.
std::optional<std::int64_t> parseNumber(std::string_view text);

// A decimal fraction as a property holds it: an optional '-', digits, and optionally '.' and more
// digits ("8", "-12.5", "8.25"); at most 15 significant digits, so that a double holds it exactly
// enough to compare.
std::optional<double> parseDecimal(std::string_view text);
// The shortest text of a property's number: "15", "8.25", "-0.5" (four decimals at most).
std::string formatDecimal(double value);
// An OLE colour as "0x8000000F".
std::string formatColour(std::uint32_t colour);

// Milliseconds of a duration: digits and a unit (ms, s, m, h); at most about 292 million years.
std::optional<std::int64_t> parseDuration(std::string_view text);

std::optional<platform::DateTime> parseDateTime(std::string_view text);

// Pairs of hexadecimal digits, optionally separated by blanks, ',' or ':' ("01 02 ff", "0102FF").
std::optional<std::vector<std::byte>> parseHexBytes(std::string_view text);

// HH:MM:SS.mmm of a virtual time in milliseconds (hours keep growing past 99).
std::string formatVirtualTime(std::int64_t ms);

// Text for a message: in double quotes, with the language's escapes for quotes, backslashes
// before a quote, control bytes and bytes that are not UTF-8, so it can be pasted back into a
// scenario.
std::string quoteText(std::string_view text);

// At most `limit` characters of a text for a message, with "..." when cut.
std::string clipped(std::string_view text, std::size_t limit = 60);

// Each byte as the language's escape "\xHH".
void appendByteEscapes(std::string& out, std::string_view bytes);

// Appends an item to a list for a message: "a, b, c" (GCC's -Wrestrict misreads the shorter
// `list += (list.empty() ? "" : ", ") + item` at -O3).
void appendListItem(std::string& list, std::string_view item, std::string_view separator = ", ");

// A registry value as scenarios write it: `dword 5`, `sz "text"`, else `raw TYPE HEXBYTES`.
std::string describeRegValue(const platform::sim::RegValue& value);

// The value of one hexadecimal digit, either case; nullopt for any other character.
std::optional<int> hexDigit(char c);

} // namespace qln::runner
