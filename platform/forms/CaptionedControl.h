#pragma once
// A control that shows a caption (the text of a label, a button or a check box) in a font of its
// own. Captions may hold line breaks (CR LF, LF or CR). Where "&" prefixes are processed, "&x"
// shows x underlined, "&&" shows one "&" and a lone "&" at the end shows nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FontEngine.h"
#include "platform/fonts/TextLayout.h"
#include "platform/forms/Control.h"

namespace forms {

class CaptionedControl : public Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

    // The font (VB's Font object, reduced to what the forms use). By default 8 point MS Sans Serif.
    const std::string& FontName() const { return font_.face; }
    void setFontName(std::string face);
    double FontSize() const { return font_.sizePoints; }
    // Throws platform::Failure (invalid property value) for a size that is not a number above 0
    // and up to 2160 points, the largest VB takes.
    void setFontSize(double points);
    bool FontBold() const { return font_.bold; }
    void setFontBold(bool bold);
    const platform::FontSpec& font() const { return font_; }

protected:
    // One line of the caption as shown, with the index of its underlined character (or -1).
    struct ShownLine {
        std::string text;
        int underline = -1;
    };

    // The caption or the font changed; runs before the repaint is asked for.
    virtual void textChanged() {}

    // Measuring and wrapping in this control's font at the screen's vertical DPI (a point size
    // becomes pixels along LOGPIXELSY, as GDI makes fonts).
    fonts::TextLayout layout() const;
    // The caption as shown: after prefix processing when `prefixes`, then one line per paragraph,
    // or wrapped at `wrapWidth` pixels.
    std::string shownText(bool prefixes) const;
    std::vector<ShownLine> shownLines(bool prefixes, std::optional<int> wrapWidth) const;

    // One line of text with its top-left at (x, y): in `colour`, or embossed grey when disabled,
    // with the underlined character's underline one pixel below the baseline.
    void drawLine(draw::Surface& surface, int x, int y, const ShownLine& line, draw::Rgb colour,
                  bool disabled) const;
    // Lines stacked from `top`, each centred in [left, right).
    void drawCentredLines(draw::Surface& surface, int left, int right, int top, const std::vector<ShownLine>& lines,
                          draw::Rgb colour, bool disabled) const;

    // The focus frame round caption lines stacked from (x, top), as a check box shows it while it is
    // its form's ActiveControl; nothing otherwise.
    void drawCaptionFocus(draw::Surface& surface, int x, int top, const std::vector<ShownLine>& lines) const;

    // DrawEdge's two-pixel 3D border just inside `area`: the outer ring, then the inner one; each
    // ring's top and left edges in one colour, its bottom and right edges in the other.
    static void drawEdge(draw::Surface& surface, const draw::Rect& area, draw::Rgb outerTopLeft,
                         draw::Rgb outerBottomRight, draw::Rgb innerTopLeft, draw::Rgb innerBottomRight);

private:
    std::string caption_;
    platform::FontSpec font_;
};

} // namespace forms
