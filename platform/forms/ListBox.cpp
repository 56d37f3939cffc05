#include "platform/forms/ListBox.h"

#include <algorithm>
#include <utility>

#include "platform/Failure.h"

namespace forms {

namespace {

constexpr int kTextIndent = 2;

const char* const kInvalidCall = "Invalid procedure call or argument";
const char* const kInvalidValue = "Invalid property value";
const char* const kInvalidIndex = "Invalid property array index";

} // namespace

ListBox::ListBox(Form& form, std::string name) : InputControl(form, std::move(name))
{
    setBackColor(draw::systemOleColour(draw::syscolour::Window));
    setForeColor(draw::systemOleColour(draw::syscolour::WindowText));
}

void ListBox::checkRow(int index, int number, const char* message) const
{
    if (index < 0 || index >= ListCount())
        throw platform::Failure(message, number);
}

const std::string& ListBox::List(int index) const
{
    static const std::string none;
    return index >= 0 && index < ListCount() ? rows_[static_cast<std::size_t>(index)].text : none;
}

void ListBox::setList(int index, std::string text)
{
    checkRow(index, 381, kInvalidIndex);
    std::string& row = rows_[static_cast<std::size_t>(index)].text;
    if (row == text)
        return;
    row = std::move(text);
    invalidate();
}

std::int32_t ListBox::ItemData(int index) const
{
    checkRow(index, 381, kInvalidIndex);
    return rows_[static_cast<std::size_t>(index)].data;
}

void ListBox::setItemData(int index, std::int32_t data)
{
    checkRow(index, 381, kInvalidIndex);
    rows_[static_cast<std::size_t>(index)].data = data;
}

void ListBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw platform::Failure(kInvalidValue, 380);
    if (listIndex_ == index)
        return;
    listIndex_ = index;
    revealSelection();
    invalidate();
    raiseClick();
}

void ListBox::setTopIndex(int index)
{
    if (index < 0 || index >= std::max(ListCount(), 1))
        throw platform::Failure(kInvalidValue, 380);
    if (topIndex_ == index)
        return;
    topIndex_ = index;
    invalidate();
}

void ListBox::AddItem(std::string item) { AddItem(std::move(item), ListCount()); }

void ListBox::AddItem(std::string item, int index)
{
    if (index < 0 || index > ListCount())
        throw platform::Failure(kInvalidCall, 5);
    rows_.insert(rows_.begin() + index, Row{std::move(item), 0});
    newIndex_ = index;
    if (listIndex_ >= index)
        ++listIndex_;
    invalidate();
}

void ListBox::RemoveItem(int index)
{
    checkRow(index, 5, kInvalidCall);
    rows_.erase(rows_.begin() + index);
    newIndex_ = -1;
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    topIndex_ = std::clamp(topIndex_, 0, std::max(ListCount() - 1, 0));
    invalidate();
}

void ListBox::Clear()
{
    rows_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    topIndex_ = 0;
    invalidate();
}

void ListBox::userSelect(int index)
{
    if (index < -1 || index >= ListCount() || !takeFocusFromUser())
        return;
    setListIndex(index);
}

void ListBox::onKeyDown(int keyCode, int)
{
    if (rows_.empty())
        return;
    const int last = ListCount() - 1;
    const int page = platform::valueOr(1, [&] { return std::max(visibleRows() - 1, 1); });
    const int from = listIndex_;
    int to = from;
    switch (keyCode) {
    case vbKeyUp:
        to = from < 0 ? 0 : from - 1;
        break;
    case vbKeyDown:
        to = from + 1;
        break;
    case vbKeyHome:
        to = 0;
        break;
    case vbKeyEnd:
        to = last;
        break;
    case vbKeyPageUp:
        to = from < 0 ? 0 : from - page;
        break;
    case vbKeyPageDown:
        to = from < 0 ? 0 : from + page;
        break;
    default:
        return;
    }
    setListIndex(std::clamp(to, 0, last));
}

int ListBox::visibleRows() const
{
    const int inner = pixelsY(Height()) - 2 * kSunkenEdge;
    return std::max(inner / std::max(layout().lineHeight(), 1), 1);
}

void ListBox::revealSelection()
{
    if (listIndex_ < 0)
        return;
    // A font that cannot be measured leaves the rows where they are.
    platform::ignoreFailure([&] {
        if (listIndex_ < topIndex_)
            topIndex_ = listIndex_;
        else if (listIndex_ >= topIndex_ + visibleRows())
            topIndex_ = listIndex_ - visibleRows() + 1;
    });
}

int ListBox::rowAt(int y, const draw::Rect& box) const
{
    const int top = box.top + kSunkenEdge;
    if (y < top || y >= box.bottom - kSunkenEdge)
        return -1;
    const int index = topIndex_ + (y - top) / std::max(layout().lineHeight(), 1);
    return index < ListCount() ? index : -1;
}

std::optional<draw::Rect> ListBox::rowBounds(int index, const draw::Rect& box) const
{
    const int lineHeight = layout().lineHeight();
    const long long top = box.top + kSunkenEdge + static_cast<long long>(index - topIndex_) * lineHeight;
    if (index < topIndex_ || top + lineHeight > box.bottom - kSunkenEdge)
        return std::nullopt;
    const int y = static_cast<int>(top);
    return draw::Rect{box.left + kSunkenEdge, y, box.right - kSunkenEdge, y + lineHeight};
}

void ListBox::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rect inner = paintSunkenWell(surface, box);
    const int lineHeight = layout().lineHeight();
    const draw::Rgb ink = Enabled() ? draw::resolveColour(ForeColor()) : draw::systemColour(GrayText);
    int y = inner.top;
    for (int index = topIndex_; index < ListCount() && y < inner.bottom; ++index, y += lineHeight) {
        const draw::Rect row{inner.left, y, inner.right, y + lineHeight};
        const ShownLine line{rows_[static_cast<std::size_t>(index)].text, -1};
        if (index == listIndex_) {
            surface.fillRect(row, draw::systemColour(Highlight));
            drawLine(surface, row.left + kTextIndent, y, line, draw::systemColour(HighlightText), false);
        } else {
            drawLine(surface, row.left + kTextIndent, y, line, ink, false);
        }
        if (hasFocus() && (index == listIndex_ || (listIndex_ < 0 && index == topIndex_)))
            surface.drawFocusRect(row);
    }
    if (hasFocus() && rows_.empty())
        surface.drawFocusRect({inner.left, inner.top, inner.right, inner.top + lineHeight});
}

} // namespace forms
