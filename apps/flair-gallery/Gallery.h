#pragma once
// The FlairButton gallery: every style in every state, plain and with a picture and a detail
// text, each as a PNG of the button on a patch of the options page's background; one contact
// sheet of them all with row and column labels; and a sheet of the 48 built-in pictures.

#include <filesystem>

namespace flairgallery {

// Every sample is "<style>-<plain|picture>-<state>.png": the button, sampleWidth x sampleHeight
// pixels, sampleMargin pixels in from the top-left of a patch of the button face colour. Its
// caption is "&Options" ("Visit the &web site" for hyperlinks); plain samples have no pictures
// (Image, ImageOver and ImageDisabled 0), picture samples the detail text "Ctrl+O" and, for
// hyperlinks, the home pictures (Image and ImageDisabled 11, ImageOver 12).
inline constexpr int sampleWidth = 150;
inline constexpr int sampleHeight = 24;
inline constexpr int sampleMargin = 6;

// Writes the pictures into `outDir` (created when missing). Returns how many buttons were drawn.
// Throws platform::Failure when a file cannot be written.
int renderGallery(const std::filesystem::path& outDir);

} // namespace flairgallery
