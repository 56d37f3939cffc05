#pragma once
// A single-line text box (VB's TextBox).
//
// Change is raised whenever Text changes, by code or by the user; assigning the text it already
// holds changes nothing and raises nothing. Assigning Text puts the caret at the start with
// nothing selected. MaxLength (0: no limit) limits only what the user types or pastes, as the edit
// control's limit does: code may assign a longer text. A Locked box takes the focus and raises its
// key events, but its text does not change by the user.
//
// The selection runs from an anchor to the caret: SelStart is its start, SelLength its length,
// both in characters (code points), so the caret never stands inside a character and Backspace
// or Delete takes a whole one.
// Keys the box acts on itself: Left, Right, Home and End move the caret (with Shift they extend
// the selection from the anchor), Delete removes the selection or the character after the caret,
// Backspace the selection or the character before it; a printable character replaces the
// selection. Other control characters (Enter, Esc, Tab, Ctrl+letter) change nothing.
//
// Painted in the classic look: a sunken two-pixel 3D edge around BackColor (by default the window
// colour), the text one pixel inside the edge in ForeColor (grey text when disabled), cut off at
// the edge without scrolling. With the focus, the selection shows in the highlight colours, or
// the caret as a one-pixel bar when nothing is selected.

#include <functional>
#include <string>

#include "platform/forms/InputControl.h"

namespace forms {

class TextBox : public InputControl {
public:
    TextBox(Form& form, std::string name);

    const std::string& Text() const { return text_; }
    void setText(std::string text);

    // Throws platform::Failure (380, invalid property value) below 0.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int maxLength);
    bool Locked() const { return locked_; }
    void setLocked(bool locked);

    // Throws platform::Failure (380) below 0. SelStart beyond the text puts the caret at its end
    // and empties the selection; SelLength is cut at the end of the text.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    std::string SelText() const;
    // Replaces the selection (by code: no limit, also when locked) and leaves the caret after it.
    void setSelText(const std::string& text);

    std::function<void()> Change;

    // The user replaces the whole text, as by selecting all and typing or pasting: the box takes
    // the focus, the text is cut to MaxLength, Change is raised once, the caret ends after the
    // text. Nothing changes when the box is locked or does not react to the user.
    void userSetText(std::string text);

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void onKeyDown(int keyCode, int shift) override;
    void onKeyChar(int keyAscii) override;

private:
    // VB's TextBox has no caption.
    using InputControl::Caption;
    using InputControl::setCaption;

    // Stores a text and the selection after it; raises Change when the text differs.
    void replaceText(std::string text, int anchor, int caret);
    // The user's edit of the selection, within MaxLength; false when it does not fit.
    bool typeOverSelection(const std::string& typed);
    // Positions count characters (code points); byteAt gives where one starts in text_.
    int length() const;
    std::size_t byteAt(int character) const;

    std::string text_;
    int maxLength_ = 0;
    bool locked_ = false;
    int anchor_ = 0;
    int caret_ = 0;
};

} // namespace forms
