#pragma once
// The popup's own pictures: the faces of its small picture buttons in each of their five skin
// states, and the two history arrows, drawn in code as pixel art.
//
// Each glyph is drawn once; its states are made from that drawing by one rule each, so a new
// glyph gets all five states for free and the states look alike from one button to the next.
// Pixels outside the drawing are maskColour, along which a button cuts out its shape.

#include <array>

#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"

namespace qln::art {

enum class Glyph { Reply, Forward, Delete, Open, Pin, Pinned, Attach, Close, Question };
// The five skin states of a button.
enum class State { Up, Over, Down, Focus, Disabled };
enum class Arrow { Back, BackDisabled, Next, NextDisabled };

inline constexpr std::array<Glyph, 9> allGlyphs = {Glyph::Reply, Glyph::Forward, Glyph::Delete,
                                                   Glyph::Open,  Glyph::Pin,     Glyph::Pinned,
                                                   Glyph::Attach, Glyph::Close,  Glyph::Question};
inline constexpr std::array<State, 5> allStates = {State::Up, State::Over, State::Down, State::Focus,
                                                   State::Disabled};
inline constexpr std::array<Arrow, 4> allArrows = {Arrow::Back, Arrow::BackDisabled, Arrow::Next,
                                                   Arrow::NextDisabled};

// The colour of pixels that are not part of the picture (a button's shape is cut out along it).
inline constexpr draw::Rgb maskColour{255, 0, 255};

inline constexpr int buttonPictureSize = 14;    // square
inline constexpr int questionPictureSize = 19;  // square
inline constexpr int arrowPictureSize = 16;     // square

// A button's face: buttonPictureSize square, questionPictureSize for Glyph::Question. The corner
// pixels are always maskColour.
draw::Surface buttonPicture(Glyph glyph, State state);
// A history arrow, arrowPictureSize square, on the mask colour.
draw::Surface arrowPicture(Arrow arrow);

// Every picture on one sheet for a person to review: a row per glyph with a column per state,
// then a row with the four arrows, each in a cell of contactSheetCell pixels on the popup's
// default background (mask pixels left out), the whole scaled up contactSheetScale times.
inline constexpr int contactSheetCell = questionPictureSize + 4;
inline constexpr int contactSheetScale = 4;
draw::Surface contactSheet();

} // namespace qln::art
