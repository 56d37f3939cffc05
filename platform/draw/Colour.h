#pragma once
// Colours of the drawing surface: RGB triples, and the 32-bit OLE colour values that forms and
// controls store (0x00BBGGRR, or 0x800000nn for system colour nn) resolved to RGB.
//
// System colours come from one fixed table, the classic Windows scheme ("Windows Standard" of the
// 9x and NT 4 era: grey 3D faces, navy highlight). The simulator draws with it on every platform,
// so pictures and pixel tests do not depend on the user's desktop theme.

#include <cstdint>

namespace draw {

// One pixel's colour.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    // 0x00RRGGBB, the order of a 32-bit DIB pixel read as a little-endian integer.
    constexpr std::uint32_t packed() const { return std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b; }
    static constexpr Rgb fromPacked(std::uint32_t rrggbb)
    {
        return {static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
                static_cast<std::uint8_t>(rrggbb)};
    }
    // Every channel complemented: what an XOR with white leaves.
    constexpr Rgb inverted() const
    {
        return {static_cast<std::uint8_t>(255 - r), static_cast<std::uint8_t>(255 - g),
                static_cast<std::uint8_t>(255 - b)};
    }

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};

// An OLE colour (OLE_COLOR): 0x00BBGGRR with red in the low byte, or with the top bit set a system
// colour whose index is the low 24 bits.
using OleColour = std::uint32_t;

inline constexpr OleColour systemColourFlag = 0x80000000u;

// The system colour indices (GetSysColor's COLOR_ constants).
namespace syscolour {
inline constexpr int ScrollBar = 0;
inline constexpr int Background = 1;          // the desktop
inline constexpr int ActiveCaption = 2;
inline constexpr int InactiveCaption = 3;
inline constexpr int Menu = 4;
inline constexpr int Window = 5;
inline constexpr int WindowFrame = 6;
inline constexpr int MenuText = 7;
inline constexpr int WindowText = 8;
inline constexpr int CaptionText = 9;
inline constexpr int ActiveBorder = 10;
inline constexpr int InactiveBorder = 11;
inline constexpr int AppWorkspace = 12;
inline constexpr int Highlight = 13;
inline constexpr int HighlightText = 14;
inline constexpr int ButtonFace = 15;         // also COLOR_3DFACE
inline constexpr int ButtonShadow = 16;       // also COLOR_3DSHADOW
inline constexpr int GrayText = 17;
inline constexpr int ButtonText = 18;
inline constexpr int InactiveCaptionText = 19;
inline constexpr int ButtonHighlight = 20;    // also COLOR_3DHILIGHT
inline constexpr int DarkShadow3D = 21;       // COLOR_3DDKSHADOW
inline constexpr int Light3D = 22;            // COLOR_3DLIGHT
inline constexpr int InfoText = 23;
inline constexpr int InfoBackground = 24;
// 25 is not assigned by Windows.
inline constexpr int HotLight = 26;
inline constexpr int GradientActiveCaption = 27;
inline constexpr int GradientInactiveCaption = 28;
inline constexpr int MenuHighlight = 29;
inline constexpr int MenuBar = 30;
} // namespace syscolour

// The OLE value naming system colour `index` (0x80000012 for ButtonText).
constexpr OleColour systemOleColour(int index) { return systemColourFlag | static_cast<std::uint32_t>(index); }

// VB's RGB(r, g, b): the OLE value 0x00BBGGRR.
constexpr OleColour oleRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint32_t{b} << 16 | std::uint32_t{g} << 8 | r;
}
constexpr OleColour toOle(Rgb colour) { return oleRgb(colour.r, colour.g, colour.b); }

constexpr bool isSystemColour(OleColour colour) { return (colour & systemColourFlag) != 0; }

// The classic scheme's colour of a system colour index; black for an index Windows does not
// define (25, negative ones, anything above MenuBar), as GetSysColor answers for them.
Rgb systemColour(int index);

// What the colour shows as. A system colour resolves through systemColour(low 24 bits). Otherwise
// the low 24 bits are the colour and the top byte is ignored, as OleTranslateColor does for the
// palette-relative form 0x02BBGGRR; there is no palette here, so 0x01 (palette index) values are
// read the same way rather than failing.
Rgb resolveColour(OleColour colour);

// a + (b - a) * alpha / 255 per channel, rounded to nearest: alpha 0 gives a, 255 gives b.
// Alpha outside 0..255 is held to that range. (The exact quotient never ends in .5, since 255 is
// odd, so no rule for ties is needed.)
Rgb blend(Rgb a, Rgb b, int alpha);

} // namespace draw
