#pragma once
// The GlintButton gallery: every look in every state, each as a PNG of the button on a patch of
// the popup's background, and one contact sheet of them all with row and column labels.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/draw/Colour.h"
#include "platform/forms/Picture.h"

namespace gallery {

// Every sample is "<look>-<state>.png": the button, sampleWidth x sampleHeight pixels with the
// caption "&Reply", sampleMargin pixels in from the top-left of a patch of the popup's background.
inline constexpr int sampleWidth = 96;
inline constexpr int sampleHeight = 30;
inline constexpr int sampleMargin = 8;
inline constexpr draw::OleColour samplePaper = 0xE1FFFF;

// The skin look's pictures by their properties' names (SkinUp, SkinOver, SkinDown, SkinFocus,
// SkinDisabled), pills on the mask colour magenta. The skin samples have ForeColor white and
// HighlightColor black besides.
std::vector<std::pair<std::string, forms::PictureRef>> skinPictures();

// Writes the pictures into `outDir` (created when missing). Returns how many buttons were drawn.
// Throws platform::Failure when a file cannot be written.
int renderGallery(const std::filesystem::path& outDir);

} // namespace gallery
