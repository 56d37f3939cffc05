#pragma once
// Real fonts on Linux: fontconfig picks the face, FreeType measures and rasterises it, with the
// numbers a Windows program would see from GDI as closely as the fonts allow.
//
// Implements:
//   - face matching by fontconfig with its own substitution rules, so Windows faces such as
//     "MS Sans Serif", "Tahoma" or "Arial" land on a metric-compatible or similar installed sans;
//   - bold and italic through the matched style, or by emboldening (one pixel wider, as GDI's
//     simulated bold) and slanting when the family has no such style;
//   - the em in whole pixels, round(size × dpi / 72), as GDI makes a font from a point size;
//   - ascent and descent from the face's ascender and descender, scaled and rounded up;
//   - widths as the sum of the hinted glyph advances in whole pixels, without kerning;
//   - 8-bit antialiased coverage, with underline;
//   - UTF-8 text (bytes that are not UTF-8 show as U+FFFD). A character the matched face lacks is
//     drawn with the face fontconfig offers for it (CJK, symbols, emoji in outline faces), at the
//     same em; the line keeps the matched face's height;
//   - text that needs it shaped with HarfBuzz (joining forms, conjuncts, marks placed) and put in
//     visual order with FriBidi on a left-to-right line, so Arabic, Hebrew and Devanagari read
//     as written. Text of simple scripts (Latin, Greek, Cyrillic, CJK) without combining marks
//     takes a direct path, one glyph a character, with the advances of the shaped path.
// Does not: kerning, optional ligatures, colour or bitmap-only faces.
//
// Matched faces, sized faces and each glyph's advance and bitmap are cached, so measuring and
// drawing a popup's labels costs microseconds. Not thread-safe: one user-interface thread.
// Throws platform::Failure when FreeType or fontconfig cannot start or no face can be loaded.

#include <memory>
#include <string>

#include "platform/FontEngine.h"

namespace fonts {

class FreeTypeFontEngine : public platform::FontEngine {
public:
    FreeTypeFontEngine();
    ~FreeTypeFontEngine() override;
    FreeTypeFontEngine(const FreeTypeFontEngine&) = delete;
    FreeTypeFontEngine& operator=(const FreeTypeFontEngine&) = delete;

    platform::FontMetrics metrics(const platform::FontSpec& font, int dpi) override;
    int textWidth(const platform::FontSpec& font, int dpi, std::string_view text) override;
    platform::CoverageMask render(const platform::FontSpec& font, int dpi, std::string_view text) override;

    // The font file a face name, weight and slant resolve to (for diagnostics and tests).
    std::string matchedFile(const platform::FontSpec& font);
    // The font file that draws one character of the font: the matched one, or the one it falls
    // back to; empty when no installed face has the character.
    std::string fileFor(const platform::FontSpec& font, int dpi, char32_t codePoint);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace fonts
