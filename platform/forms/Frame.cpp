#include "platform/forms/Frame.h"

namespace forms {

namespace {

constexpr int kCaptionLeft = 8;
constexpr int kCaptionGap = 2;  // background on either side of the caption

} // namespace

void Frame::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rgb back = draw::resolveColour(BackColor());
    surface.fillRect(box, back);

    const fonts::TextLayout measure = layout();
    const int lineHeight = measure.lineHeight();
    const draw::Rect etched{box.left, box.top + lineHeight / 2, box.right, box.bottom};
    surface.frameRect({etched.left + 1, etched.top + 1, etched.right, etched.bottom}, draw::systemColour(ButtonHighlight));
    surface.frameRect({etched.left, etched.top, etched.right - 1, etched.bottom - 1}, draw::systemColour(ButtonShadow));

    const std::vector<ShownLine> lines = shownLines(true, std::nullopt);
    if (lines.empty() || lines.front().text.empty())
        return;
    const ShownLine& line = lines.front();
    const int x = box.left + kCaptionLeft;
    const int width = measure.textWidth(line.text);
    surface.fillRect({x - kCaptionGap, box.top, x + width + kCaptionGap, box.top + lineHeight}, back);
    drawLine(surface, x, box.top, line, draw::resolveColour(ForeColor()), !Enabled());
}

} // namespace forms
