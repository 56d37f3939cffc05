#pragma once
// The system's common dialogs as the forms ask for them.
//
// Implements: chooseFont (ChooseFontW) for forms::FontDialog: the flags are VB's, which are the
// CF_ flags themselves (the effects section is taken from them; the fonts listed are the screen's),
// the size in points, the colour an OLE
// colour (a system colour opens as its current value); chooseColour (ChooseColorW) for
// forms::ColorPicker: the dialog carries the picker's title ("Select a Color" on the options page)
// and opens with the current colour. Both are modal, owned by the window active on this thread
// (the dialog or form the control sits in), and answer nullopt when the user cancels (or the
// dialog could not open: nothing was chosen either way).
// Does not: keep custom colours beyond the thread's life, or offer the font dialog's script list.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/draw/Colour.h"
#include "platform/forms/FontDialog.h"

namespace platform::win32 {

std::optional<forms::FontChoice> chooseFont(std::int32_t flags, const forms::FontChoice& current);
std::optional<draw::OleColour> chooseColour(const std::string& title, draw::OleColour current);

} // namespace platform::win32
