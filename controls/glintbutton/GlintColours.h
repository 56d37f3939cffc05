#pragma once
// The colour arithmetic of GlintButton's painters. Colours are OLE colours as the control stores
// them, or RGB triples once translated.

#include <cstdint>

#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"

namespace glint {

// An OLE colour as RGB. Read as a signed 32-bit value, anything above &HFFFFFF or below 0 names a
// system colour by its low 24 bits (so the palette forms &H01xxxxxx and &H02xxxxxx do too);
// 0 to &HFFFFFF is the RGB colour with red in the low byte.
draw::Rgb TranslateColor(draw::OleColour colour);

// a + (b - a) × alpha / 255 per channel, rounded to nearest (the quotient never ends in .5).
draw::Rgb BlendColor(draw::Rgb a, draw::Rgb b, int alpha);

// A shade of a colour: each channel moved by delta, put on the nearest multiple of 64 (halves to
// even), then held to 0..255. Button face (192,192,192) gives white at +64, (128,128,128) at -64
// and (64,64,64) at -128.
draw::Rgb ShadeColor(draw::Rgb colour, int delta);

// One horizontal line per row from `top` to `bottom` (both included), each from `left` up to, not
// including, `right`. Row i of h = bottom - top has channels |c1 - i × |c2 - c1| / h|: they fall
// from c1 by the channel's difference whichever way c2 lies, and come back up from 0 when they fall
// below it. Throws platform::Failure (division by zero, 11) for h = 0, as the painter's
// arithmetic does; nothing is drawn for h < 0.
void GradientFill(draw::Surface& surface, int left, int top, int right, int bottom, draw::Rgb c1, draw::Rgb c2);

} // namespace glint
