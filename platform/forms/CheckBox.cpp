#include "platform/forms/CheckBox.h"

#include <array>

#include "platform/Failure.h"

namespace forms {

namespace {

constexpr int kSquare = 13;
constexpr int kCaptionGap = 4;

// The classic check mark, 7 x 7, drawn one pixel inside the square's 9 x 9 well.
constexpr std::array<const char*, 7> kCheckMark = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

} // namespace

void CheckBox::setValue(int value)
{
    if (value < vbUnchecked || value > vbGrayed)
        throw platform::Failure("Invalid property value");
    if (value_ == value)
        return;
    value_ = value;
    invalidate();
    raiseClick();
}

void CheckBox::onUserClick() { setValue(value_ == vbUnchecked ? vbChecked : vbUnchecked); }

void CheckBox::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    surface.fillRect(box, draw::resolveColour(BackColor()));

    const bool dim = !Enabled() || value_ == vbGrayed;
    const draw::Rect square = draw::Rect::ofSize(box.left, box.top + (box.height() - kSquare) / 2, kSquare, kSquare);
    drawEdge(surface, square, draw::systemColour(ButtonShadow), draw::systemColour(ButtonHighlight),
             draw::systemColour(DarkShadow3D), draw::systemColour(Light3D));
    const draw::Rect well{square.left + 2, square.top + 2, square.right - 2, square.bottom - 2};
    surface.fillRect(well, draw::systemColour(dim ? ButtonFace : Window));
    if (value_ != vbUnchecked) {
        const draw::Rgb mark = draw::systemColour(dim ? GrayText : WindowText);
        for (int y = 0; y < static_cast<int>(kCheckMark.size()); ++y)
            for (int x = 0; kCheckMark[y][x] != '\0'; ++x)
                if (kCheckMark[y][x] == '#')
                    surface.setPixel(well.left + 1 + x, well.top + 1 + y, mark);
    }

    const std::vector<ShownLine> lines = shownLines(true, std::nullopt);
    const fonts::TextLayout measure = layout();
    const int top = box.top + (box.height() - static_cast<int>(lines.size()) * measure.lineHeight()) / 2;
    int y = top;
    for (const ShownLine& line : lines) {
        drawLine(surface, square.right + kCaptionGap, y, line, draw::resolveColour(ForeColor()), !Enabled());
        y += measure.lineHeight();
    }
    drawCaptionFocus(surface, square.right + kCaptionGap, top, lines);
}

} // namespace forms
