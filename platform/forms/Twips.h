#pragma once
// Twips (1/1440 inch), the unit of forms and controls, and the pixels of a screen of `dpi` dots per
// inch (LOGPIXELSX for horizontal lengths, LOGPIXELSY for vertical ones).
//
// Painting puts a twips value on the nearest pixel, halves rounded up (towards +infinity, so that
// a shape keeps its pixel size wherever it sits). A place and a size are converted separately,
// as a window is moved to whole pixels: a control 15 twips wide is one pixel wide at any left.
// Pixels go to twips exactly (pixels × 1440 / dpi), so an auto-sized label's pixel size comes back
// unchanged when painted.

#include <climits>
#include <cmath>

namespace forms {

inline constexpr double twipsPerInch = 1440.0;

// The screen's DPI when it reports none that can be used (0, negative).
inline constexpr int defaultDpi = 96;

inline int usableDpi(int dpi) { return dpi > 0 ? dpi : defaultDpi; }

// The nearest pixel, halves up; NaN is 0 and the result stays far inside int.
inline int twipsToPixels(double twips, int dpi)
{
    const double pixels = std::floor(twips * usableDpi(dpi) / twipsPerInch + 0.5);
    if (std::isnan(pixels))
        return 0;
    constexpr double limit = INT_MAX / 4;
    return static_cast<int>(pixels > limit ? limit : pixels < -limit ? -limit : pixels);
}

inline double pixelsToTwips(int pixels, int dpi) { return pixels * twipsPerInch / usableDpi(dpi); }

} // namespace forms
