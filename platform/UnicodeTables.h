#pragma once
// The two answers about text that need Unicode's tables, behind one small interface: case folding
// for comparisons and the East Asian width of a character. Linux uses utf8proc (Debian's
// libutf8proc, a small, well-kept C library that follows each Unicode release); Windows uses the
// operating system's own case mapping and character types (platform/win32/UnicodeTables.cpp), so
// neither build carries hand-made tables.

#include <string>
#include <string_view>

namespace unicode {

// A form of the (valid UTF-8) text in which two texts that differ only in letter case are equal,
// in every script that has case: Ä/ä, Σ/σ/ς, Д/д. Both dotted and dotless i, capital or small,
// fold like the Latin i, so a Turkish spelling of an address still matches. Canonically
// equivalent spellings (a precomposed Ä or A with a combining diaeresis) fold alike. The form is
// for comparing only. It is lower case, ASCII letters as a to z (lang::containsFolded relies on
// that); Linux folds fully (ß as ss), Windows maps case one character at a time (ß stays ß).
std::string foldCase(std::string_view text);

// How many cells of a fixed-pitch grid the character takes: 2 for East Asian wide and full-width
// characters (CJK ideographs, kana, Hangul syllables, wide emoji), 1 for everything else, combining
// marks included.
int cells(char32_t codePoint);

} // namespace unicode
