#pragma once
// A text without interaction of its own (VB's Label).
//
// Text: "&" prefixes are processed while UseMnemonic is on (the default); line breaks start new
// lines; without AutoSize, or with AutoSize and WordWrap, the text wraps at the label's width.
// Lines are stacked from the top of the label without padding, each aligned in its width, in
// ForeColor (embossed grey when disabled); text beyond the label's box is cut off.
//
// AutoSize fits the label to its text whenever the text, the font, the wrapping or the size
// changes: with WordWrap off it is exactly as wide as its widest line and as high as its lines;
// with WordWrap on it keeps the width it is given and is as high as its wrapped lines, unless a
// word is wider than that width: the label then widens to it. Its place does not move.

#include "platform/forms/CaptionedControl.h"

namespace forms {

class Label : public CaptionedControl {
public:
    static constexpr int vbTransparent = 0;
    static constexpr int vbOpaque = 1;
    static constexpr int vbLeftJustify = 0;
    static constexpr int vbRightJustify = 1;
    static constexpr int vbCenter = 2;

    using CaptionedControl::CaptionedControl;

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool wordWrap);
    bool UseMnemonic() const { return useMnemonic_; }
    void setUseMnemonic(bool useMnemonic);

    // Opaque labels fill their box with BackColor; transparent ones leave what is behind.
    // Throws platform::Failure (invalid property value) outside 0..1.
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int backStyle);
    // Throws platform::Failure (invalid property value) outside 0..2.
    int Alignment() const { return alignment_; }
    void setAlignment(int alignment);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void textChanged() override { refit(); }
    void fitSize(double& width, double& height) const override;

private:
    // Whether the text wraps at the label's width.
    bool wraps() const { return !autoSize_ || wordWrap_; }

    bool autoSize_ = false;
    bool wordWrap_ = false;
    bool useMnemonic_ = true;
    int backStyle_ = vbOpaque;
    int alignment_ = vbLeftJustify;
};

} // namespace forms
