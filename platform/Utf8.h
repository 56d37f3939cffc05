#pragma once
// UTF-8, the one encoding of text inside the system. Every std::string of text holds UTF-8; the
// seams convert at their edge. A "character" is a code point: counting, cutting and walking never
// split a sequence.
//
// Decoding follows Unicode's practice for ill-formed input: each maximal subpart of an invalid
// sequence (a stray continuation byte, a truncated sequence, an overlong form, a surrogate, a code
// point above U+10FFFF, bytes C0, C1 and F5 to FF) is one character, U+FFFD. So counting, cutting
// and `sanitize` agree on where the characters of any bytes begin.

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

struct Decoded {
    char32_t codePoint = 0;  // kReplacement for an invalid sequence
    std::size_t length = 0;  // bytes taken, at least 1 (0 only at the end of the text)
    bool valid = false;
};

// The character that starts at byte `at` (at < text.size()).
Decoded decode(std::string_view text, std::size_t at);

// Whether the whole text is well-formed UTF-8.
bool isValid(std::string_view text);

// The text with every invalid sequence replaced by U+FFFD; valid text comes back unchanged.
std::string sanitize(std::string_view text);
// The same in place, without a copy when the text is valid (the usual case).
void sanitizeInPlace(std::string& text);

// The number of characters.
std::size_t count(std::string_view text);
// The byte length of the first `characters` characters (the whole text when it has fewer).
std::size_t prefixBytes(std::string_view text, std::size_t characters);
// The byte where the character after the one at `at` starts; text.size() at the end.
std::size_t next(std::string_view text, std::size_t at);
// The byte where the character before `at` starts (0 at the start). Valid text assumed for the
// walk back; invalid bytes are stepped over one at a time.
std::size_t previous(std::string_view text, std::size_t at);

// Appends one code point (a surrogate or a value beyond U+10FFFF appends U+FFFD).
void append(std::string& out, char32_t codePoint);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D)
// stand for the control characters of the same number, as Windows' own conversion has them.
std::string fromWindows1252(std::string_view bytes);

// Whether every byte is below 0x80.
bool isAscii(std::string_view text);

// Removes a UTF-8 byte-order mark at the start, if there is one.
std::string_view withoutBom(std::string_view text);

} // namespace utf8
