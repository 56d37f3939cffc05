// GlintButton: the caption, wrapped into rows and placed (LayoutCaption), and drawn (DrawCaption).

#include "controls/glintbutton/GlintButton.h"

#include <algorithm>
#include <cstdint>

#include "controls/glintbutton/GlintColours.h"
#include "platform/Lang.h"
#include "platform/Utf8.h"

namespace glint {

namespace {

// The margin kept free on each side of the caption, in pixels.
constexpr int kMargin = 4;

} // namespace

void GlintButton::LayoutCaption()
{
    const int W = scaleWidth();
    const int H = scaleHeight();

    // Rows fill word by word; a word that does not fit starts a row, and a row that is still too
    // wide (one long word) is cut into pieces that fit, at least one character each. The cutting
    // limit is never negative, so even a button narrower than its margins ends.
    std::vector<CaptionLine> lines(1);
    const int limit = W - 2 * kMargin;
    const int cutLimit = std::max(limit, 0);
    for (const std::string& word : lang::split(caption_, ' ')) {
        std::string& last = lines.back().text;
        if (last.empty())
            last = word;
        else if (textWidth(last + " " + word) > limit)
            lines.push_back(CaptionLine{word});
        else
            last += " " + word;

        while (textWidth(lines.back().text) > cutLimit) {
            const std::string row = lines.back().text;
            // Whole characters: the cut never falls inside one.
            std::size_t keep = utf8::next(row, 0);
            while (keep < row.size() && textWidth(std::string_view(row).substr(0, utf8::next(row, keep))) <= cutLimit)
                keep = utf8::next(row, keep);
            lines.back().text = row.substr(0, keep);
            lines.push_back(CaptionLine{row.substr(keep)});
        }
    }

    const int h = textHeight();
    const int n = static_cast<int>(lines.size()) - 1;
    const int A = H - 2 * kMargin;
    int anchor = 0;     // the row whose top is computed
    int anchorTop = 0;  // its top
    switch (alignVert_) {
    case AlignTop:
        anchorTop = kMargin;
        break;
    case AlignBottom:
        anchor = n;
        anchorTop = H - h - kMargin - 1;
        break;
    case AlignCenter:
        if ((n + 1) % 2 == 1) {
            anchor = n / 2;
            anchorTop = A / 2 - h / 2 + 3;
        } else {
            anchor = (n + 1) / 2 - 1;
            anchorTop = lang::roundHalfEven(A / 2.0 - h + 3);
        }
        break;
    }
    for (int i = 0; i <= n; ++i)
        lines[i].top = anchorTop + (i - anchor) * h;

    if (alignHorz_ == AlignMiddle) {
        // One left edge for the block, under its widest row.
        int left = lang::roundHalfEven(W / 2.0);
        for (const CaptionLine& line : lines)
            left = std::min(left, lang::roundHalfEven(W / 2.0 - textWidth(line.text) / 2.0) - 1);
        for (CaptionLine& line : lines)
            line.left = left;
    } else {
        for (CaptionLine& line : lines)
            line.left = alignHorz_ == AlignLeft ? kMargin : W - kMargin - textWidth(line.text);
    }

    captionLines_ = std::move(lines);
    Refresh();
}

void GlintButton::DrawCaption()
{
    const bool highlighted =
        visualState_ == StateOver || (visualState_ == StateDown && lastHoverEvent_ != "MouseExit");
    const draw::Rgb colour = TranslateColor(highlighted ? highlightColor_ : ForeColor());
    const int press = visualState_ == StateDown && appearance_ != btXP ? 1 : 0;
    const TextStyle style{true, !Enabled(), rightToLeft_};
    const int W = scaleWidth();
    const int h = textHeight();

    // A stored offset may be any 32-bit number: the sum is taken wide and held to where a caption
    // is out of sight anyway, a button's worth of room beyond its edges.
    auto place = [](int at, std::int32_t offset, int extent) {
        const std::int64_t limit = std::int64_t{extent} + 0x8000;
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{at} + offset, -limit, limit));
    };
    for (const CaptionLine& line : captionLines_) {
        const int x = place(line.left, offsetX_, W);
        const int y = place(line.top, offsetY_, scaleHeight());
        if (visualState_ == StateDisabled && appearance_ == btXP) {
            drawText(x, y, line.text, BlendColor(colour, draw::white, 160), TextStyle{true, false, false},
                     draw::Rect{x, y, W, y + h});
        } else {
            drawText(x + press, y + press, line.text, colour, style);
        }
    }
}

} // namespace glint
