#pragma once
// What labels and buttons need on top of a font engine, the same on every engine: line breaks,
// a label's word wrap, the size of an auto-sized label, and the "&" prefixes of captions.
//
// Line breaks are CR LF, a lone LF or a lone CR; n breaks make n + 1 lines, so a text ending in a
// break has an empty last line that takes a line's height.
//
// Word wrap follows the label's rules: a paragraph that fits stays whole; one that does not
// breaks at blanks (spaces) into the longest lines that fit, the blanks at a break dropped.
// East Asian text, written without blanks, may also break between two characters when one of them
// is wide (ideographs, kana, Hangul), except before closing punctuation and small kana or after
// an opening bracket. A word
// wider than the width stays whole on a line of its own, so that line, and the label, come out
// wider than asked. Blanks before the first word of a paragraph are kept with that word.
//
// Widths are measured with the engine, so the rules hold for fixed and real fonts alike; they
// assume that a longer prefix of a line is never narrower (no engine here kerns).

#include <string>
#include <string_view>
#include <vector>

#include "platform/FontEngine.h"

namespace fonts {

struct TextSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

// A caption after prefix processing: "&x" shows x underlined (it is the access key), "&&" shows
// one "&", and a lone "&" at the end shows nothing.
struct PrefixedText {
    std::string text;    // what is shown
    int underline = -1;  // byte where the character to underline starts in text; -1 when there is none
    friend bool operator==(const PrefixedText&, const PrefixedText&) = default;
};

class TextLayout {
public:
    TextLayout(platform::FontEngine& engine, platform::FontSpec font, int dpi);

    const platform::FontSpec& font() const { return font_; }
    int dpi() const { return dpi_; }

    int lineHeight() const;
    // The width of one line (no breaks inside).
    int textWidth(std::string_view line) const;

    // The lines between the breaks.
    static std::vector<std::string_view> splitLines(std::string_view text);

    // The lines of a word-wrapping label `width` pixels wide. Every line is a piece of `text`.
    std::vector<std::string> wrap(std::string_view text, int width) const;

    // An auto-sized label on one line per paragraph: its widest line by its lines' height.
    TextSize autoSize(std::string_view text) const;
    // An auto-sized word-wrapping label: it keeps the width it is given unless a word is wider,
    // and is as high as its wrapped lines.
    TextSize wrappedSize(std::string_view text, int width) const;

    // Prefix processing of one line of a caption. When several characters are marked, the last
    // one is underlined.
    static PrefixedText processPrefix(std::string_view caption);

private:
    platform::FontEngine& engine_;
    platform::FontSpec font_;
    int dpi_;
};

} // namespace fonts
