#include "notifier/window/PopupStyle.h"

#include <algorithm>
#include <initializer_list>

#include "notifier/window/frmNewMail.h"
#include "platform/Failure.h"

namespace qln {

namespace {

using platform::ignoreFailure;
using platform::valueOr;
using platform::WindowHandle;

template <class Value>
auto readSetting(const settings::Settings& store, const Value& value, bool preview)
{
    return preview ? store.read(settings::previewTwin(value)) : store.read(value);
}

} // namespace

void PopupStyle::ApplyBackColor(bool preview)
{
    const auto colour = static_cast<draw::OleColour>(readSetting(services_.settings, settings::BackColor, preview));
    // The popup's own background stands for all of its parts.
    if (popup_.BackColor() == colour)
        return;
    popup_.setBackColor(colour);
    // Every part with a background of its own.
    frmNewMail& p = popup_;
    const std::initializer_list<forms::Control*> parts = {
        &p.lblInbox,   &p.lblSenderName, &p.lblRecipient, &p.lblSubject, &p.lblReceived, &p.lblSize,
        &p.lblBody,    &p.lblCountDown,  &p.elBottom,     &p.elTop,      &p.elTopLeft,   &p.btnQuestion,
        &p.btnReply,   &p.btnForward,    &p.btnDelete,    &p.btnOpen,    &p.btnAttach,   &p.btnClose,
        &p.picNext,    &p.picNextDis,    &p.picBack,      &p.picBackDis, &p.btnPin,      &p.btnPinned,
    };
    for (forms::Control* control : parts)
        control->setBackColor(colour);
}

void PopupStyle::ApplyFonts(bool preview)
{
    const settings::Settings& store = services_.settings;
    const std::string face = readSetting(store, settings::UserFontName, preview);
    const std::int32_t size = readSetting(store, settings::UserFontSize, preview);
    const auto colour = static_cast<draw::OleColour>(readSetting(store, settings::UserFontColor, preview));

    // lblInbox stands for the seven: they always carry the same face, size and colour.
    const auto labels = popup_.textLabels();
    const forms::Label& reference = popup_.lblInbox;
    if (face != reference.FontName()) {
        for (forms::Label* label : labels)
            label->setFontName(face);
    }
    if (static_cast<double>(size) != reference.FontSize()) {
        // A size the labels refuse (0, or beyond what a font takes) leaves the one they have.
        for (forms::Label* label : labels)
            ignoreFailure([&] { label->setFontSize(size); });
    }
    if (colour != reference.ForeColor()) {
        for (forms::Label* label : labels)
            label->setForeColor(colour);
        popup_.lblCountDown.setForeColor(colour);
    }
}

bool PopupStyle::IsLayeredSupported()
{
    return valueOr(false, [&] {
        const platform::OsVersion os = services_.system.osVersion();
        return os.platformId == platform::OsVersion::NT && os.major >= 5;
    });
}

WindowHandle PopupStyle::topLevelWindow(WindowHandle window)
{
    platform::Desktop& desktop = services_.desktop;
    WindowHandle current = window;
    for (;;) {
        const WindowHandle parent = valueOr(platform::NoWindow, [&] { return desktop.getParent(current); });
        if (parent == platform::NoWindow || !valueOr(false, [&] { return desktop.isWindowVisible(parent); }))
            return current;
        current = parent;
    }
}

bool PopupStyle::SetTranslucent(WindowHandle window, std::int32_t alpha)
{
    alpha = std::clamp(alpha, kLowestAlpha, kOpaqueAlpha);
    if (!IsLayeredSupported())
        return false;
    platform::Desktop& desktop = services_.desktop;
    const WindowHandle top = topLevelWindow(window);
    if (!ignoreFailure([&] { desktop.setExStyle(top, desktop.getExStyle(top) | platform::wsex::Layered); }))
        return false;
    return ignoreFailure([&] { desktop.setLayeredAlpha(top, static_cast<std::uint8_t>(alpha)); });
}

bool PopupStyle::SetOpaque(WindowHandle window)
{
    if (!IsLayeredSupported())
        return false;
    platform::Desktop& desktop = services_.desktop;
    const WindowHandle top = topLevelWindow(window);
    return ignoreFailure([&] {
        const std::uint32_t style = desktop.getExStyle(top);
        // Full opacity first, so nothing flickers while the style goes. A window that is not
        // layered takes no alpha at all: the call would only fail.
        if (style & platform::wsex::Layered)
            ignoreFailure([&] { desktop.setLayeredAlpha(top, kOpaqueAlpha); });
        desktop.setExStyle(top, style & ~platform::wsex::Layered);
    });
}

} // namespace qln
