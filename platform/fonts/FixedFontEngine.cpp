#include "platform/fonts/FixedFontEngine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "platform/UnicodeTables.h"
#include "platform/Utf8.h"

namespace fonts {

namespace {

// No cell grows past this: absurd sizes must not overflow the widths of long texts.
constexpr double kMaxCell = 65535.0;

// ceil(size × numerator/denominator × dpi/96), 0 for sizes that are not positive numbers.
int scaledCeil(double size, int numerator, int denominator, int dpi)
{
    const double exact = size * numerator * dpi / (denominator * 96.0);
    if (!(exact > 0))
        return 0;
    // A size that is not a binary fraction (3.2 pt) can land a hair above a whole number whose
    // ceiling would then be one too many.
    return static_cast<int>(std::ceil(std::min(exact, kMaxCell) - 1e-9));
}

int lineHeight(const platform::FontSpec& font, int dpi) { return scaledCeil(font.sizePoints, 13, 8, dpi); }

bool isBlank(char32_t c) { return c == U' ' || c == 0xA0; }

// The cells of a text: one a character, two for a wide one. ASCII needs no table.
std::int64_t cellCount(std::string_view text)
{
    if (utf8::isAscii(text))
        return static_cast<std::int64_t>(text.size());
    std::int64_t cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++cells;
            ++at;
            continue;
        }
        const utf8::Decoded d = utf8::decode(text, at);
        cells += unicode::cells(d.codePoint);
        at += d.length;
    }
    return cells;
}

} // namespace

int FixedFontEngine::cellWidth(const platform::FontSpec& font, int dpi)
{
    const int width = scaledCeil(font.sizePoints, 3, 4, dpi);
    return width > 0 && font.bold ? width + 1 : width;
}

platform::FontMetrics FixedFontEngine::metrics(const platform::FontSpec& font, int dpi)
{
    platform::FontMetrics m;
    m.height = lineHeight(font, dpi);
    m.descent = m.height / 6;
    m.ascent = m.height - m.descent;
    return m;
}

int FixedFontEngine::textWidth(const platform::FontSpec& font, int dpi, std::string_view text)
{
    const std::int64_t width = static_cast<std::int64_t>(cellWidth(font, dpi)) * cellCount(text);
    return static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
}

platform::CoverageMask FixedFontEngine::render(const platform::FontSpec& font, int dpi, std::string_view text)
{
    const platform::FontMetrics m = metrics(font, dpi);
    const int cell = cellWidth(font, dpi);
    platform::CoverageMask mask;
    mask.width = textWidth(font, dpi, text);
    mask.height = m.height;
    mask.ascent = m.ascent;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);
    if (mask.width == 0 || mask.height == 0)
        return mask;

    auto fill = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            std::fill_n(mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width + x0, x1 - x0, 255);
    };
    // Cells are whole: the mask is exactly the text's cells wide (no clamping at these sizes).
    std::int64_t column = 0;
    for (std::size_t at = 0; at < text.size();) {
        const utf8::Decoded d = utf8::decode(text, at);
        at += d.length;
        const int cells = d.codePoint < 0x80 ? 1 : unicode::cells(d.codePoint);
        const std::int64_t left = column * cell;
        column += cells;
        if (column * cell > mask.width)
            break;
        if (isBlank(d.codePoint) || cell < 3 || m.ascent < 2)
            continue;
        fill(static_cast<int>(left) + 1, static_cast<int>(left) + cells * cell - 1, 1, m.ascent);
    }
    if (font.underline) {
        const int row = std::min(m.ascent + 1, mask.height - 1);
        fill(0, mask.width, row, row + 1);
    }
    return mask;
}

} // namespace fonts
