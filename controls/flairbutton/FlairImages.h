#pragma once
// FlairButton's built-in pictures, drawn in code as pixel art: the 48 pictures of the built-in
// image list, one per ButtonDefaultImageEnum index, and the pointer shown over hyperlink-style
// buttons.
//
// Each subject is drawn once in colour; its variants come from that drawing by one rule each:
// a plain picture is the hot ("Over", "Highlight") picture in soft greys, and a disabled one is
// its silhouette embossed in grey. Pixels outside a drawing are maskColour, which the built-in
// list asks the button to leave out.

#include "controls/flairbutton/FlairEnums.h"
#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Picture.h"

namespace flair {

// The built-in list's Tag, by which a button tells it from a host's list.
inline constexpr const char* builtInImageListTag = "dorveltimagelist";
// Every built-in picture is this many pixels square.
inline constexpr int builtInImageSize = 16;
// The colour of the pixels around a drawing.
inline constexpr draw::Rgb maskColour{255, 0, 255};

// The picture of a ButtonDefaultImageEnum index (1 to 48). Throws platform::Failure (380) for
// any other index.
draw::Surface builtInPicture(int index);

// The list every new button starts with: the 48 pictures in index order, ImageWidth and
// ImageHeight 16, Tag builtInImageListTag, mask colour on. One list, shared and never changed.
forms::ImageListRef builtInImageList();

// The pointer over a hyperlink-style button: a pointing hand on a 32 x 32 cursor, its finger
// tip at the top-left, on maskColour.
forms::PictureRef hyperlinkPointer();

// Every built-in picture on one sheet for a person to review: eight to a row in index order,
// each in a cell of contactSheetCell pixels on the button face, then the pointer, the whole
// scaled up contactSheetScale times.
inline constexpr int contactSheetCell = 20;
inline constexpr int contactSheetScale = 4;
draw::Surface contactSheet();

} // namespace flair
