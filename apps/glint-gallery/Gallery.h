#pragma once
// The GlintButton gallery: every look in every state, each as a PNG of the button on a patch of
// the popup's background, and one contact sheet of them all with row and column labels.

#include <filesystem>

namespace gallery {

// Writes the pictures into `outDir` (created when missing). Returns how many buttons were drawn.
// Throws platform::Failure when a file cannot be written.
int renderGallery(const std::filesystem::path& outDir);

} // namespace gallery
