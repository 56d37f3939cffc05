#pragma once
// The FlairButton gallery: every style in every state, plain and with a picture and a detail
// text, each as a PNG of the button on a patch of the options page's background; one contact
// sheet of them all with row and column labels; and a sheet of the 48 built-in pictures.

#include <filesystem>

namespace flairgallery {

// Writes the pictures into `outDir` (created when missing). Returns how many buttons were drawn.
// Throws platform::Failure when a file cannot be written.
int renderGallery(const std::filesystem::path& outDir);

} // namespace flairgallery
