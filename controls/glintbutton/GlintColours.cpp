#include "controls/glintbutton/GlintColours.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace glint {

draw::Rgb TranslateColor(draw::OleColour colour)
{
    if (colour > 0xFFFFFFu)
        return draw::systemColour(static_cast<int>(colour & 0xFFFFFFu));
    return draw::resolveColour(colour);
}

draw::Rgb BlendColor(draw::Rgb a, draw::Rgb b, int alpha) { return draw::blend(a, b, alpha); }

draw::Rgb ShadeColor(draw::Rgb colour, int delta)
{
    const auto channel = [delta](std::uint8_t c) {
        const std::int32_t rounded = lang::roundHalfEven((c + delta) / 64.0) * 64;
        return static_cast<std::uint8_t>(std::clamp(rounded, 0, 255));
    };
    return {channel(colour.r), channel(colour.g), channel(colour.b)};
}

void GradientFill(draw::Surface& surface, int left, int top, int right, int bottom, draw::Rgb c1, draw::Rgb c2)
{
    const int h = bottom - top;
    if (h == 0)
        throw platform::Failure("Division by zero", 11);
    const double stepR = std::abs(c2.r - c1.r) / static_cast<double>(h);
    const double stepG = std::abs(c2.g - c1.g) / static_cast<double>(h);
    const double stepB = std::abs(c2.b - c1.b) / static_cast<double>(h);
    const auto channel = [](std::uint8_t from, double step, int i) {
        return static_cast<std::uint8_t>(lang::roundHalfEven(std::abs(from - step * i)));
    };
    for (int i = 0; i <= h; ++i) {
        const draw::Rgb colour{channel(c1.r, stepR, i), channel(c1.g, stepG, i), channel(c1.b, stepB, i)};
        surface.line({left, top + i}, {right, top + i}, colour);
    }
}

} // namespace glint
