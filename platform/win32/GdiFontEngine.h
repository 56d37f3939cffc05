#pragma once
// Real fonts on Windows: GDI measures and rasterises text with the named face.
//
// Implements: FontEngine. A font is made as a program makes one from a point size (CreateFontW with
// a height of -round(size × dpi / 72), FW_BOLD or FW_NORMAL, italic and underline) and measured in a
// memory device context: GetTextMetricsW for height, ascent and descent, GetTextExtentPoint32W for
// widths. Text is UTF-8, drawn with the wide calls. render() draws white on black into a 32-bit DIB
// section with antialiased quality and takes the coverage from it. Fonts are cached per face, size,
// style and dpi. Not thread-safe: one user-interface thread.
// Does not: ClearType (coverage is one value per pixel), kerning pairs beyond what GDI's own
// extents include, or text with line breaks.

#include <map>
#include <memory>
#include <tuple>

#include "platform/FontEngine.h"

namespace platform::win32 {

class GdiFontEngine final : public FontEngine {
public:
    GdiFontEngine();
    ~GdiFontEngine() override;
    GdiFontEngine(const GdiFontEngine&) = delete;
    GdiFontEngine& operator=(const GdiFontEngine&) = delete;

    FontMetrics metrics(const FontSpec& font, int dpi) override;
    int textWidth(const FontSpec& font, int dpi, std::string_view text) override;
    CoverageMask render(const FontSpec& font, int dpi, std::string_view text) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform::win32
