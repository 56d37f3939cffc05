#include "platform/forms/InputControl.h"

#include "platform/Failure.h"
#include "platform/forms/Form.h"

namespace forms {

namespace {

constexpr int kShiftedDigits[] = {')', '!', '@', '#', '$', '%', '^', '&', '*', '('};

struct OemKey {
    int keyCode;
    char plain;
    char shifted;
};

// The punctuation keys of the US layout.
constexpr OemKey kOemKeys[] = {
    {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'},  {190, '.', '>'},  {191, '/', '?'},
    {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

} // namespace

int InputControl::keyAscii(int keyCode, int shift)
{
    const bool shifted = (shift & vbShiftMask) != 0;
    if ((shift & vbAltMask) != 0)
        return 0;
    if ((shift & vbCtrlMask) != 0) {
        if (keyCode >= 'A' && keyCode <= 'Z')
            return keyCode - 'A' + 1;
        return keyCode == vbKeyReturn ? 10 : 0;
    }
    if (keyCode >= 'A' && keyCode <= 'Z')
        return shifted ? keyCode : keyCode - 'A' + 'a';
    if (keyCode >= '0' && keyCode <= '9')
        return shifted ? kShiftedDigits[keyCode - '0'] : keyCode;
    if (keyCode >= 96 && keyCode <= 105)
        return '0' + keyCode - 96;
    switch (keyCode) {
    case vbKeyBack:
    case vbKeyTab:
    case vbKeyReturn:
    case vbKeyEscape:
    case vbKeySpace:
        return keyCode;
    case 106:
        return '*';
    case 107:
        return '+';
    case 109:
        return '-';
    case 110:
        return '.';
    case 111:
        return '/';
    default:
        break;
    }
    for (const OemKey& key : kOemKeys)
        if (key.keyCode == keyCode)
            return shifted ? key.shifted : key.plain;
    return 0;
}

void InputControl::SetFocus()
{
    if (!reactsToUser())
        throw platform::Failure("Invalid procedure call or argument", 5);
    gainFocus();
}

void InputControl::gainFocus()
{
    // A control that has the focus and is given it again is its form's active one all the same
    // (the form forgets it when unloaded).
    parent().noteFocus(this);
    if (focused_)
        return;
    focused_ = true;
    invalidate();
    if (GotFocus)
        GotFocus();
}

bool InputControl::takeFocusFromUser()
{
    if (!reactsToUser())
        return false;
    gainFocus();
    // A GotFocus handler may have disabled or hidden the control.
    return focused_ && reactsToUser();
}

void InputControl::userFocus() { takeFocusFromUser(); }

bool InputControl::userBlur()
{
    if (!focused_)
        return false;
    bool cancel = false;
    if (Validate)
        Validate(cancel);
    if (cancel || !focused_)
        return false;
    focused_ = false;
    invalidate();
    if (LostFocus)
        LostFocus();
    return true;
}

void InputControl::userKey(int keyCode, int shift)
{
    userKeyDown(keyCode, shift);
    userKeyUp(keyCode, shift);
}

void InputControl::userKeyDown(int keyCode, int shift)
{
    if (!takeFocusFromUser())
        return;
    int code = keyCode;
    if (KeyDown)
        KeyDown(code, shift);
    if (code != 0)
        onKeyDown(code, shift);
    int ascii = keyAscii(keyCode, shift);
    if (ascii == 0)
        return;
    if (KeyPress)
        KeyPress(ascii);
    if (ascii != 0)
        onKeyChar(ascii);
}

void InputControl::userKeyUp(int keyCode, int shift)
{
    if (!focused_ || !reactsToUser())
        return;
    int code = keyCode;
    if (KeyUp)
        KeyUp(code, shift);
}

void InputControl::userMouseDown(int button, int shift, int x, int y)
{
    if (!takeFocusFromUser())
        return;
    if (MouseDown)
        MouseDown(button, shift, twipsX(x), twipsY(y));
}

void InputControl::userMouseUp(int button, int shift, int x, int y)
{
    if (!reactsToUser())
        return;
    if (MouseUp)
        MouseUp(button, shift, twipsX(x), twipsY(y));
}

draw::Rect InputControl::paintSunkenWell(draw::Surface& surface, const draw::Rect& box) const
{
    using namespace draw::syscolour;
    surface.fillRect(box, draw::resolveColour(BackColor()));
    drawEdge(surface, box, draw::systemColour(ButtonShadow), draw::systemColour(ButtonHighlight),
             draw::systemColour(DarkShadow3D), draw::systemColour(Light3D));
    const draw::Rect inner{box.left + kSunkenEdge, box.top + kSunkenEdge, box.right - kSunkenEdge,
                           box.bottom - kSunkenEdge};
    surface.setClip(surface.clip().intersected(inner));
    return inner;
}

} // namespace forms
