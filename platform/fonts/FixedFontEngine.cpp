#include "platform/fonts/FixedFontEngine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

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

bool isBlank(char c) { return c == ' ' || static_cast<unsigned char>(c) == 0xA0; }

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
    const std::int64_t width = static_cast<std::int64_t>(cellWidth(font, dpi)) * static_cast<std::int64_t>(text.size());
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
    // Cells are whole: the mask is exactly text.size() cells wide (no clamping at these sizes).
    for (std::size_t i = 0; i < text.size() && static_cast<std::int64_t>(i + 1) * cell <= mask.width; ++i) {
        if (isBlank(text[i]) || cell < 3 || m.ascent < 2)
            continue;
        const int left = static_cast<int>(i) * cell;
        fill(left + 1, left + cell - 1, 1, m.ascent);
    }
    if (font.underline) {
        const int row = std::min(m.ascent + 1, mask.height - 1);
        fill(0, mask.width, row, row + 1);
    }
    return mask;
}

} // namespace fonts
