#include "platform/forms/TextBox.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/Failure.h"
#include "platform/Utf8.h"

namespace forms {

namespace {

constexpr int kPadding = 1;  // between the edge and the text

void refuseNegative(int value)
{
    if (value < 0)
        throw platform::Failure("Invalid property value", 380);
}

} // namespace

TextBox::TextBox(Form& form, std::string name) : InputControl(form, std::move(name))
{
    setBackColor(draw::systemOleColour(draw::syscolour::Window));
    setForeColor(draw::systemOleColour(draw::syscolour::WindowText));
}

void TextBox::replaceText(std::string text, int anchor, int caret)
{
    const bool changed = text_.compare(text) != 0;
    text_.swap(text);
    anchor_ = anchor;
    caret_ = caret;
    invalidate();
    if (changed && Change)
        Change();
}

void TextBox::setText(std::string text)
{
    if (text == text_)
        return;
    replaceText(std::move(text), 0, 0);
}

void TextBox::setMaxLength(int maxLength)
{
    refuseNegative(maxLength);
    maxLength_ = maxLength;
}

void TextBox::setLocked(bool locked) { locked_ = locked; }

int TextBox::SelStart() const { return std::min(anchor_, caret_); }

int TextBox::SelLength() const { return std::abs(caret_ - anchor_); }

std::size_t TextBox::byteAt(int character) const
{
    return utf8::prefixBytes(text_, static_cast<std::size_t>(std::max(character, 0)));
}

int TextBox::length() const { return static_cast<int>(utf8::count(text_)); }

std::string TextBox::SelText() const
{
    const std::size_t from = byteAt(SelStart());
    return text_.substr(from, byteAt(SelStart() + SelLength()) - from);
}

void TextBox::setSelStart(int start)
{
    refuseNegative(start);
    anchor_ = caret_ = std::min(start, length());
    invalidate();
}

void TextBox::setSelLength(int length)
{
    refuseNegative(length);
    const int start = SelStart();
    anchor_ = start;
    caret_ = std::min(start + length, this->length());
    invalidate();
}

void TextBox::setSelText(const std::string& text)
{
    const std::size_t from = byteAt(SelStart());
    const std::size_t to = byteAt(SelStart() + SelLength());
    std::string edited = text_;
    edited.replace(from, to - from, text);
    const int after = SelStart() + static_cast<int>(utf8::count(text));
    replaceText(std::move(edited), after, after);
}

bool TextBox::typeOverSelection(const std::string& typed)
{
    if (maxLength_ > 0 && length() - SelLength() + static_cast<int>(utf8::count(typed)) > maxLength_)
        return false;
    setSelText(typed);
    return true;
}

void TextBox::userSetText(std::string text)
{
    if (!takeFocusFromUser() || locked_)
        return;
    // What the user types or pastes is UTF-8 like every text inside; broken bytes show as U+FFFD.
    utf8::sanitizeInPlace(text);
    if (maxLength_ > 0)
        text.resize(utf8::prefixBytes(text, static_cast<std::size_t>(maxLength_)));
    const int end = static_cast<int>(utf8::count(text));
    replaceText(std::move(text), end, end);
}

void TextBox::onKeyDown(int keyCode, int shift)
{
    const bool extend = (shift & vbShiftMask) != 0;
    const auto moveCaret = [&](int to) {
        caret_ = std::clamp(to, 0, length());
        if (!extend)
            anchor_ = caret_;
        invalidate();
    };
    switch (keyCode) {
    case vbKeyLeft:
        moveCaret(!extend && SelLength() > 0 ? SelStart() : caret_ - 1);
        break;
    case vbKeyRight:
        moveCaret(!extend && SelLength() > 0 ? SelStart() + SelLength() : caret_ + 1);
        break;
    case vbKeyHome:
        moveCaret(0);
        break;
    case vbKeyEnd:
        moveCaret(length());
        break;
    case vbKeyDelete:
        if (locked_)
            break;
        if (SelLength() == 0 && caret_ < length())
            anchor_ = caret_ + 1;
        setSelText({});
        break;
    default:
        break;
    }
}

void TextBox::onKeyChar(int keyAscii)
{
    if (locked_)
        return;
    if (keyAscii == vbKeyBack) {
        if (SelLength() == 0 && caret_ > 0)
            anchor_ = caret_ - 1;
        setSelText({});
        return;
    }
    if (keyAscii < vbKeySpace || keyAscii > 255)
        return;
    // A key's character code is one of the Windows-1252 code page.
    typeOverSelection(utf8::fromWindows1252(std::string(1, static_cast<char>(keyAscii))));
}

void TextBox::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rect inner = paintSunkenWell(surface, box);
    const fonts::TextLayout measure = layout();
    const int x = inner.left + kPadding;
    const int y = inner.top + kPadding;
    const draw::Rgb ink = Enabled() ? draw::resolveColour(ForeColor()) : draw::systemColour(GrayText);
    drawLine(surface, x, y, {text_, -1}, ink, false);

    if (!hasFocus() || !Enabled())
        return;
    const std::string_view text = text_;
    const int start = x + measure.textWidth(text.substr(0, byteAt(SelStart())));
    if (SelLength() == 0) {
        surface.fillRect(draw::Rect::ofSize(start, y, 1, measure.lineHeight()), ink);
        return;
    }
    const std::string selected = SelText();
    const int width = measure.textWidth(selected);
    surface.fillRect(draw::Rect::ofSize(start, y, width, measure.lineHeight()), draw::systemColour(Highlight));
    drawLine(surface, start, y, {selected, -1}, draw::systemColour(HighlightText), false);
}

} // namespace forms
