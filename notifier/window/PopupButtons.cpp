#include "notifier/window/PopupButtons.h"

#include <array>
#include <cstdint>
#include <utility>

#include "controls/glintbutton/GlintButton.h"

namespace qln {

forms::PropertyBag storedButtonData(art::Glyph glyph)
{
    forms::PropertyBag bag;
    bag.set("appearance", std::int32_t{glint::btSkin});
    bag.set("caption", std::string());
    // The layout places and sizes the buttons; the skins are drawn to those sizes anyway.
    bag.set("autosize", false);
    bag.set("backstyle", std::int32_t{glint::btTransparent});
    static constexpr std::array<std::pair<const char*, art::State>, 5> skins{{
        {"skindisabled", art::State::Disabled},
        {"skindown", art::State::Down},
        {"skinfocus", art::State::Focus},
        {"skinover", art::State::Over},
        {"skinup", art::State::Up},
    }};
    for (const auto& [name, state] : skins)
        bag.set(name, forms::makePicture(art::buttonPicture(glyph, state)));
    // Stored after the skins and with AutoMask off, the mask colour is the one the pictures were
    // drawn with, whatever their corner shows.
    bag.set("automask", false);
    bag.set("maskcolor", static_cast<std::int32_t>(draw::toOle(art::maskColour)));
    return bag;
}

} // namespace qln
