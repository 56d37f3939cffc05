#include "platform/forms/CaptionedControl.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/Failure.h"
#include "platform/Utf8.h"
#include "platform/forms/Form.h"

namespace forms {

namespace {

constexpr double kMaxFontPoints = 2160.0;

} // namespace

void CaptionedControl::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    textChanged();
    invalidate();
}

void CaptionedControl::setFontName(std::string face)
{
    if (font_.face == face)
        return;
    font_.face = std::move(face);
    textChanged();
    invalidate();
}

void CaptionedControl::setFontSize(double points)
{
    if (!(points > 0 && points <= kMaxFontPoints))
        throw platform::Failure("Invalid property value");
    if (font_.sizePoints == points)
        return;
    font_.sizePoints = points;
    textChanged();
    invalidate();
}

void CaptionedControl::setFontBold(bool bold)
{
    if (font_.bold == bold)
        return;
    font_.bold = bold;
    textChanged();
    invalidate();
}

fonts::TextLayout CaptionedControl::layout() const { return {host().fonts(), font_, host().logPixelsY()}; }

std::string CaptionedControl::shownText(bool prefixes) const
{
    return prefixes ? fonts::TextLayout::processPrefix(caption_).text : caption_;
}

std::vector<CaptionedControl::ShownLine> CaptionedControl::shownLines(bool prefixes,
                                                                      std::optional<int> wrapWidth) const
{
    fonts::PrefixedText shown;
    if (prefixes)
        shown = fonts::TextLayout::processPrefix(caption_);
    else
        shown.text = caption_;

    std::vector<std::string> pieces;
    if (wrapWidth) {
        pieces = layout().wrap(shown.text, *wrapWidth);
    } else {
        for (std::string_view line : fonts::TextLayout::splitLines(shown.text))
            pieces.emplace_back(line);
    }

    // Every line is a piece of the shown text, in order, and what lies between two lines is
    // blanks and breaks only, which no line starts with: searching on from the end of the previous
    // line finds each line at its own place, and so the underlined character's line.
    std::vector<ShownLine> lines;
    lines.reserve(pieces.size());
    std::size_t cursor = 0;
    for (std::string& piece : pieces) {
        ShownLine line;
        const std::size_t at = shown.text.find(piece, cursor);
        if (at != std::string::npos) {
            const auto underline = static_cast<std::size_t>(shown.underline);
            if (shown.underline >= 0 && underline >= at && underline < at + piece.size())
                line.underline = static_cast<int>(underline - at);
            cursor = at + piece.size();
        }
        line.text = std::move(piece);
        lines.push_back(std::move(line));
    }
    return lines;
}

void CaptionedControl::drawLine(draw::Surface& surface, int x, int y, const ShownLine& line, draw::Rgb colour,
                                bool disabled) const
{
    platform::FontEngine& engine = host().fonts();
    const int dpi = host().logPixelsY();
    const platform::CoverageMask mask = engine.render(font_, dpi, line.text);
    if (disabled)
        surface.drawMaskDisabled(mask, x, y);
    else
        surface.drawMask(mask, x, y, colour);

    if (line.underline < 0 || static_cast<std::size_t>(line.underline) >= line.text.size() || mask.height <= 0)
        return;
    const std::string_view text = line.text;
    const auto index = static_cast<std::size_t>(line.underline);
    const int left = x + engine.textWidth(font_, dpi, text.substr(0, index));
    const int width = engine.textWidth(font_, dpi, text.substr(index, utf8::next(text, index) - index));
    const int row = y + std::min(mask.ascent + 1, mask.height - 1);
    if (disabled) {
        surface.fillRect(draw::Rect::ofSize(left + 1, row + 1, width, 1),
                         draw::systemColour(draw::syscolour::ButtonHighlight));
        surface.fillRect(draw::Rect::ofSize(left, row, width, 1), draw::systemColour(draw::syscolour::GrayText));
    } else {
        surface.fillRect(draw::Rect::ofSize(left, row, width, 1), colour);
    }
}

void CaptionedControl::drawCentredLines(draw::Surface& surface, int left, int right, int top,
                                        const std::vector<ShownLine>& lines, draw::Rgb colour, bool disabled) const
{
    const fonts::TextLayout measure = layout();
    const int lineHeight = measure.lineHeight();
    int y = top;
    for (const ShownLine& line : lines) {
        const int width = measure.textWidth(line.text);
        drawLine(surface, left + (right - left - width) / 2, y, line, colour, disabled);
        y += lineHeight;
    }
}

void CaptionedControl::drawCaptionFocus(draw::Surface& surface, int x, int top,
                                        const std::vector<ShownLine>& lines) const
{
    if (!isActiveControl() || lines.empty())
        return;
    const fonts::TextLayout measure = layout();
    int width = 0;
    for (const ShownLine& line : lines)
        width = std::max(width, measure.textWidth(line.text));
    const int height = static_cast<int>(lines.size()) * measure.lineHeight();
    surface.drawFocusRect({x - 1, top - 1, x + width + 1, top + height + 1});
}

void CaptionedControl::drawEdge(draw::Surface& surface, const draw::Rect& area, draw::Rgb outerTopLeft,
                                draw::Rgb outerBottomRight, draw::Rgb innerTopLeft, draw::Rgb innerBottomRight)
{
    const auto ring = [&surface](const draw::Rect& r, draw::Rgb topLeft, draw::Rgb bottomRight) {
        if (r.empty())
            return;
        // As DrawEdge: the bottom and right edges own the corners they share with the others.
        surface.fillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        surface.fillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        surface.fillRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
        surface.fillRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    };
    ring(area, outerTopLeft, outerBottomRight);
    ring({area.left + 1, area.top + 1, area.right - 1, area.bottom - 1}, innerTopLeft, innerBottomRight);
}

} // namespace forms
