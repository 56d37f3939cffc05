#pragma once
// The popup's looks that the user chooses: the background colour of the popup and its parts, the
// face, size and colour of its texts, and translucency through a layered window.
//
// Colours and fonts are written to the controls only when they differ from what the controls
// show, judged by the popup's own background and by lblInbox's font, so the repeated layouts of a
// visible popup repaint nothing. Layered windows exist from Windows 2000 (NT 5) on; elsewhere the
// popup stays opaque and the two translucency calls report false.

#include <cstdint>

#include "notifier/core/NotifierServices.h"
#include "platform/Desktop.h"

namespace qln {

class frmNewMail;

class PopupStyle {
public:
    // The alpha applied is held to this range, so that a translucent popup never vanishes altogether.
    static constexpr std::int32_t kLowestAlpha = 20;
    static constexpr std::int32_t kOpaqueAlpha = 255;

    PopupStyle(frmNewMail& popup, NotifierServices& services) : popup_(popup), services_(services) {}

    // BackColor (or pBackColor for the preview) on the popup, its labels, bands, buttons and arrows.
    void ApplyBackColor(bool preview);
    // UserFontName, UserFontSize and UserFontColor (or their preview twins) on the seven text
    // labels; the colour on lblCountDown too. Each of the three is applied on its own.
    void ApplyFonts(bool preview);

    // Makes the top-level window of `window` layered with the alpha, held to 20..255. False when
    // layered windows are not supported or a step fails.
    bool SetTranslucent(platform::WindowHandle window, std::int32_t alpha);
    // Takes the layered style off the top-level window of `window` again. False when layered
    // windows are not supported or the style cannot be set.
    bool SetOpaque(platform::WindowHandle window);
    // The NT platform from major version 5 on; false when the system cannot tell.
    bool IsLayeredSupported();

private:
    // The window that takes the layered style: the outermost visible window above `window`.
    platform::WindowHandle topLevelWindow(platform::WindowHandle window);

    frmNewMail& popup_;
    NotifierServices& services_;
};

} // namespace qln
