#pragma once
// The text parts of a FlairButton (its caption and its detail text): a windowless, transparent,
// auto-sized label. It is the forms runtime's Label reduced to what the button uses, with the
// whole of a font object (italic, underline and strikethrough included), since the button
// underlines its caption to show a link under the pointer.
//
// The text is drawn with "&" prefixes processed, one line per paragraph, from the label's
// top-left corner; the label is exactly as wide as its widest line and as high as its lines.

#include <string>

#include "platform/forms/Control.h"
#include "platform/forms/StdFont.h"

namespace flair {

class FlairLabel final : public forms::Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

    // The label's own copy of a font.
    const forms::StdFont& Font() const { return font_; }
    void setFont(const forms::StdFont& font);
    bool FontUnderline() const { return font_.Underline; }
    void setFontUnderline(bool underline);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void fitSize(double& width, double& height) const override;

private:
    std::string caption_;
    forms::StdFont font_;
};

} // namespace flair
