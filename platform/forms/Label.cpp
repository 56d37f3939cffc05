#include "platform/forms/Label.h"

#include "platform/Failure.h"

namespace forms {

void Label::setAutoSize(bool autoSize)
{
    if (autoSize_ == autoSize)
        return;
    autoSize_ = autoSize;
    refit();
    invalidate();
}

void Label::setWordWrap(bool wordWrap)
{
    if (wordWrap_ == wordWrap)
        return;
    wordWrap_ = wordWrap;
    refit();
    invalidate();
}

void Label::setUseMnemonic(bool useMnemonic)
{
    if (useMnemonic_ == useMnemonic)
        return;
    useMnemonic_ = useMnemonic;
    refit();
    invalidate();
}

void Label::setBackStyle(int backStyle)
{
    if (backStyle != vbTransparent && backStyle != vbOpaque)
        throw platform::Failure("Invalid property value");
    if (backStyle_ == backStyle)
        return;
    backStyle_ = backStyle;
    invalidate();
}

void Label::setAlignment(int alignment)
{
    if (alignment < vbLeftJustify || alignment > vbCenter)
        throw platform::Failure("Invalid property value");
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    invalidate();
}

void Label::fitSize(double& width, double& height) const
{
    if (!autoSize_)
        return;
    // A font that cannot be measured leaves the size as asked rather than fail a move.
    platform::ignoreFailure([&] {
        const fonts::TextLayout measure = layout();
        const std::string text = shownText(useMnemonic_);
        if (wordWrap_) {
            const int given = pixelsX(width);
            const fonts::TextSize size = measure.wrappedSize(text, given);
            // The width stays in twips as given, so that a layout reading it back sees its own value.
            if (size.width > given)
                width = twipsX(size.width);
            height = twipsY(size.height);
        } else {
            const fonts::TextSize size = measure.autoSize(text);
            width = twipsX(size.width);
            height = twipsY(size.height);
        }
    });
}

void Label::paint(draw::Surface& surface, draw::Point origin) const
{
    const draw::Rect box = pixelBounds(origin);
    if (backStyle_ == vbOpaque)
        surface.fillRect(box, draw::resolveColour(BackColor()));

    const fonts::TextLayout measure = layout();
    const int lineHeight = measure.lineHeight();
    const draw::Rgb colour = draw::resolveColour(ForeColor());
    int y = box.top;
    for (const ShownLine& line : shownLines(useMnemonic_, wraps() ? std::optional<int>(box.width()) : std::nullopt)) {
        if (y >= surface.clip().bottom)
            break;
        int x = box.left;
        if (alignment_ != vbLeftJustify) {
            const int spare = box.width() - measure.textWidth(line.text);
            x += alignment_ == vbRightJustify ? spare : spare / 2;
        }
        drawLine(surface, x, y, line, colour, !Enabled());
        y += lineHeight;
    }
}

} // namespace forms
