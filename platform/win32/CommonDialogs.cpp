#include "platform/win32/CommonDialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <olectl.h>

#include <cmath>
#include <cwchar>

#include "platform/win32/Wide.h"

namespace platform::win32 {

namespace {

COLORREF colourRef(draw::OleColour colour)
{
    COLORREF value = 0;
    if (FAILED(OleTranslateColor(colour, nullptr, &value)))
        return 0;
    return value;
}

// Gives the colour dialog its title once it stands (the dialog has no title field of its own).
UINT_PTR CALLBACK titleHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
        SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(choose->lCustData));
        return TRUE;
    }
    return FALSE;
}

} // namespace

std::optional<forms::FontChoice> chooseFont(std::int32_t flags, const forms::FontChoice& current)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(static_cast<int>(std::lround(current.FontSize * 10)), dpi, 720);
    font.lfWeight = current.FontBold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = current.FontItalic;
    font.lfUnderline = current.FontUnderline;
    font.lfStrikeOut = current.FontStrikethru;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = toWide(current.FontName);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpLogFont = &font;
    dialog.rgbColors = colourRef(current.Color);
    // Screen fonts only: printer fonts need a printer's DC, and Windows 7 and later list the same
    // fonts either way.
    dialog.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | (static_cast<DWORD>(flags) & CF_EFFECTS);
    if (!ChooseFontW(&dialog))
        return std::nullopt;

    forms::FontChoice chosen = current;
    chosen.FontName = toUtf8(font.lfFaceName);
    chosen.FontSize = dialog.iPointSize / 10.0;
    chosen.FontBold = font.lfWeight >= FW_BOLD;
    chosen.FontItalic = font.lfItalic != 0;
    chosen.FontUnderline = font.lfUnderline != 0;
    chosen.FontStrikethru = font.lfStrikeOut != 0;
    if (dialog.Flags & CF_EFFECTS)
        chosen.Color = dialog.rgbColors;
    return chosen;
}

std::optional<draw::OleColour> chooseColour(const std::string& title, draw::OleColour current)
{
    // The dialog's sixteen custom colours live as long as the thread, as the dialog expects.
    thread_local COLORREF custom[16] = {};
    const std::wstring caption = toWide(title);
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.rgbResult = colourRef(current);
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | (caption.empty() ? 0 : CC_ENABLEHOOK);
    dialog.lpfnHook = titleHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(caption.c_str());
    if (!ChooseColorW(&dialog))
        return std::nullopt;
    return static_cast<draw::OleColour>(dialog.rgbResult);
}

} // namespace platform::win32
