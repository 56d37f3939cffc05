#include "controls/flairbutton/FlairLabel.h"

#include <algorithm>
#include <utility>

#include "platform/Failure.h"
#include "platform/Utf8.h"
#include "platform/fonts/TextLayout.h"
#include "platform/forms/Form.h"

namespace flair {

void FlairLabel::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    refit();
    invalidate();
}

void FlairLabel::setFont(const forms::StdFont& font)
{
    if (font_ == font)
        return;
    font_ = font;
    refit();
    invalidate();
}

void FlairLabel::setFontUnderline(bool underline)
{
    if (font_.Underline == underline)
        return;
    font_.Underline = underline;
    invalidate();
}

void FlairLabel::fitSize(double& width, double& height) const
{
    // A font that cannot be measured leaves the size as asked rather than fail a move.
    platform::ignoreFailure([&] {
        const fonts::TextLayout measure{host().fonts(), font_.fontSpec(), host().logPixelsY()};
        const fonts::TextSize size = measure.autoSize(fonts::TextLayout::processPrefix(caption_).text);
        width = twipsX(size.width);
        height = twipsY(size.height);
    });
}

void FlairLabel::paint(draw::Surface& surface, draw::Point origin) const
{
    const draw::Rect box = pixelBounds(origin);
    const draw::Rect clip = box.intersected(surface.clip());
    if (clip.empty())
        return;
    platform::FontEngine& engine = host().fonts();
    const int dpi = host().logPixelsY();
    const platform::FontSpec face = font_.fontSpec();
    const draw::Rgb colour = draw::resolveColour(ForeColor());
    const fonts::PrefixedText shown = fonts::TextLayout::processPrefix(caption_);
    const fonts::TextLayout measure{engine, face, dpi};

    int y = box.top;
    std::size_t lineStart = 0;
    for (std::string_view line : fonts::TextLayout::splitLines(shown.text)) {
        lineStart = shown.text.find(line, lineStart);
        const platform::CoverageMask mask = engine.render(face, dpi, line);
        surface.drawMask(mask, box.left, y, colour, clip);
        const auto bar = [&](int left, int row, int width) {
            surface.fillRect(draw::Rect::ofSize(left, row, width, 1).intersected(clip), colour);
        };
        if (mask.height > 0 && shown.underline >= 0 && lineStart != std::string::npos) {
            const auto index = static_cast<std::size_t>(shown.underline);
            if (index >= lineStart && index < lineStart + line.size()) {
                const std::size_t at = index - lineStart;
                bar(box.left + engine.textWidth(face, dpi, line.substr(0, at)),
                    y + std::min(mask.ascent + 1, mask.height - 1),
                    engine.textWidth(face, dpi, line.substr(at, utf8::next(line, at) - at)));
            }
        }
        if (mask.height > 0 && font_.Strikethrough)
            bar(box.left, y + mask.ascent - mask.ascent / 3, mask.width);
        if (lineStart != std::string::npos)
            lineStart += line.size();
        else
            lineStart = 0;
        y += measure.lineHeight();
    }
}

} // namespace flair
