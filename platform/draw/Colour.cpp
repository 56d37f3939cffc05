#include "platform/draw/Colour.h"

#include <algorithm>
#include <array>

namespace draw {

namespace {

// The classic scheme, as the Display control panel's "Windows Standard" set it.
constexpr std::array<Rgb, 31> classicScheme{{
    {192, 192, 192},  //  0 scroll bar
    {0, 128, 128},    //  1 desktop
    {0, 0, 128},      //  2 active caption
    {128, 128, 128},  //  3 inactive caption
    {192, 192, 192},  //  4 menu
    {255, 255, 255},  //  5 window
    {0, 0, 0},        //  6 window frame
    {0, 0, 0},        //  7 menu text
    {0, 0, 0},        //  8 window text
    {255, 255, 255},  //  9 caption text
    {192, 192, 192},  // 10 active border
    {192, 192, 192},  // 11 inactive border
    {128, 128, 128},  // 12 application workspace
    {0, 0, 128},      // 13 highlight
    {255, 255, 255},  // 14 highlight text
    {192, 192, 192},  // 15 button face, 3D face
    {128, 128, 128},  // 16 button shadow, 3D shadow
    {128, 128, 128},  // 17 grey text
    {0, 0, 0},        // 18 button text
    {192, 192, 192},  // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight, 3D highlight
    {0, 0, 0},        // 21 3D dark shadow
    {192, 192, 192},  // 22 3D light
    {0, 0, 0},        // 23 tool tip text
    {255, 255, 225},  // 24 tool tip background
    {0, 0, 0},        // 25 not assigned
    {0, 0, 255},      // 26 hot-tracked item
    {16, 132, 208},   // 27 active caption gradient end
    {181, 181, 181},  // 28 inactive caption gradient end
    {0, 0, 128},      // 29 flat menu highlight: the highlight colour
    {192, 192, 192},  // 30 flat menu bar: the menu colour
}};

} // namespace

Rgb systemColour(int index)
{
    if (index < 0 || index >= static_cast<int>(classicScheme.size()))
        return black;
    return classicScheme[static_cast<std::size_t>(index)];
}

Rgb resolveColour(OleColour colour)
{
    if (isSystemColour(colour))
        return systemColour(static_cast<int>(colour & 0xFFFFFFu));
    return {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
            static_cast<std::uint8_t>(colour >> 16)};
}

Rgb blend(Rgb a, Rgb b, int alpha)
{
    alpha = std::clamp(alpha, 0, 255);
    const auto channel = [alpha](std::uint8_t from, std::uint8_t to) {
        // from * (255 - alpha) + to * alpha is never negative, so adding half the divisor rounds.
        return static_cast<std::uint8_t>((from * (255 - alpha) + to * alpha + 127) / 255);
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

} // namespace draw
