#pragma once
// Fixed metrics: every character is one cell of the same size, so every layout comes out in
// exact numbers that a test or a scenario can state in advance. The scenario runner's default.
//
//   cell width    ceil(size × 3/4 × dpi/96) px, one more when bold
//   line height   ceil(size × 13/8 × dpi/96) px
//   descent       line height / 6, rounded down; the ascent is the rest
//
// So 8 pt at 96 dpi gives 6 × 13 cells (7 × 13 bold) with ascent 11 and descent 2, like the
// classic 8 pt system font, and 10 pt at 120 dpi gives 10 × 21 cells with ascent 18, descent 3.
// Face and italic change nothing. A size that is not a positive number gives empty cells. The text
// is UTF-8: each character (code point) takes one cell, an East Asian wide or full-width one two
// (unicode::cells); bytes that are not UTF-8 are one character each, as U+FFFD.
//
// render() draws a readable picture of the text's blocks: each character other than a blank
// (space or no-break space) is a box at full coverage, inset one pixel from its cells' left, right
// and top, standing on the baseline (cell rows 1 to ascent − 1, columns 1 to width − 2). An
// underlined font adds a full-width line one pixel below the baseline, or on the last row when
// the descent is a single row.

#include "platform/FontEngine.h"

namespace fonts {

class FixedFontEngine : public platform::FontEngine {
public:
    platform::FontMetrics metrics(const platform::FontSpec& font, int dpi) override;
    int textWidth(const platform::FontSpec& font, int dpi, std::string_view text) override;
    platform::CoverageMask render(const platform::FontSpec& font, int dpi, std::string_view text) override;

    // The width of every character's cell.
    static int cellWidth(const platform::FontSpec& font, int dpi);
};

} // namespace fonts
