#pragma once
// Seam: fonts. Measuring text and rasterising it into a coverage mask, in pixels of a display of
// the given DPI. Implementations: fixed metrics (exact layout tests and the scenario default),
// FreeType with fontconfig (Linux), GDI (Windows).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FontSpec {
    std::string face = "MS Sans Serif";
    double sizePoints = 8.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// GetTextMetrics, in pixels.
struct FontMetrics {
    int height = 0;   // tmHeight: ascent + descent; the height of one line
    int ascent = 0;   // tmAscent: baseline below the line's top
    int descent = 0;  // tmDescent
};

// Coverage of rasterised text: width x height values 0 (none) to 255 (full), row by row, with
// the baseline `ascent` rows below the top. Drawing blends a colour through it.
struct CoverageMask {
    int width = 0;
    int height = 0;
    int ascent = 0;
    std::vector<std::uint8_t> coverage;
    std::uint8_t at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

class FontEngine {
public:
    virtual ~FontEngine() = default;

    virtual FontMetrics metrics(const FontSpec& font, int dpi) = 0;
    // The advance width of one line of text (no line breaks inside), in pixels.
    virtual int textWidth(const FontSpec& font, int dpi, std::string_view text) = 0;
    // One line of text rasterised: exactly textWidth wide and metrics().height high.
    virtual CoverageMask render(const FontSpec& font, int dpi, std::string_view text) = 0;
};

} // namespace platform
