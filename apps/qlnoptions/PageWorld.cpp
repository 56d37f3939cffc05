#include "apps/qlnoptions/PageWorld.h"

#include <windows.h>
#include <commdlg.h>
#include <olectl.h>

#include <cmath>
#include <cwchar>

#include "platform/win32/Wide.h"

namespace qln::options_dll {

namespace {

// The system font dialog over the page's font choice. The dialog's flags are VB's, which are the
// CF_ flags themselves (screen, printer, effects); the owner is the window active on this thread
// (the dialog that hosts the page).
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
    const std::wstring face = platform::win32::toWide(current.FontName);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    COLORREF colour = 0;
    if (FAILED(OleTranslateColor(current.Color, nullptr, &colour)))
        colour = 0;

    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpLogFont = &font;
    dialog.rgbColors = colour;
    dialog.Flags = CF_INITTOLOGFONTSTRUCT | (static_cast<DWORD>(flags) & (CF_SCREENFONTS | CF_PRINTERFONTS | CF_EFFECTS));
    if ((dialog.Flags & (CF_SCREENFONTS | CF_PRINTERFONTS)) == 0)
        dialog.Flags |= CF_SCREENFONTS;
    if (!ChooseFontW(&dialog))
        return std::nullopt;  // cancelled (or the dialog could not open: nothing was chosen either way)

    forms::FontChoice chosen = current;
    chosen.FontName = platform::win32::toUtf8(font.lfFaceName);
    chosen.FontSize = dialog.iPointSize / 10.0;
    chosen.FontBold = font.lfWeight >= FW_BOLD;
    chosen.FontItalic = font.lfItalic != 0;
    chosen.FontUnderline = font.lfUnderline != 0;
    chosen.FontStrikethru = font.lfStrikeOut != 0;
    if (dialog.Flags & CF_EFFECTS)
        chosen.Color = dialog.rgbColors;
    return chosen;
}

} // namespace

PageWorld::PageWorld() = default;

std::shared_ptr<PageWorld> PageWorld::shared()
{
    // The pages live on their container's one user-interface thread.
    static std::weak_ptr<PageWorld> current;
    std::shared_ptr<PageWorld> world = current.lock();
    if (!world) {
        world = std::make_shared<PageWorld>();
        current = world;
    }
    return world;
}

std::unique_ptr<OptionsServices> PageWorld::optionsServices()
{
    auto services = std::make_unique<OptionsServices>(registry, files, system, desktop, loop, com);
    services->fontChooser = chooseFont;
    return services;
}

} // namespace qln::options_dll
