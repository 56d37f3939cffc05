#pragma once
// The popup's nine skinned buttons as its stored form data holds them: Appearance btSkin, no
// caption, transparent with an explicit mask colour and AutoMask off, and five per-state skins
// each, drawn for this program. The names are in lower case, as the form's data has them; the
// buttons match them without regard to case.

#include "notifier/window/PopupArt.h"
#include "platform/forms/PropertyBag.h"

namespace qln {

forms::PropertyBag storedButtonData(art::Glyph glyph);

} // namespace qln
