#pragma once
// Pictures in and out of the drawing surface: a surface saved as PNG (how the simulator shows
// what a window looks like), and a picture file's bytes read into a surface (LoadPicture).
// Failures are platform::Failure, as a refused picture is on Windows.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/draw/Colour.h"
#include "platform/draw/Surface.h"

namespace draw {

// The largest picture read, in pixels (4096 x 4096). Button skins and arrows are tiny; the limit
// keeps a hostile file from asking for gigabytes.
inline constexpr std::int64_t maxPicturePixels = std::int64_t{4096} * 4096;

// The surface as an 8-bit RGB PNG. Throws for an empty (0-pixel) surface, which PNG cannot hold.
std::vector<std::uint8_t> encodePng(const Surface& surface);

// encodePng written to a file, replacing it. Throws when the file cannot be written.
void writePng(const Surface& surface, const std::filesystem::path& file);

// A PNG, BMP, GIF (first frame) or baseline/progressive JPEG picture. Pixels with transparency
// are laid over `matte` by their alpha, so a fully transparent pixel shows the matte colour.
// Throws for bytes that are none of these, a damaged file, or a picture over maxPicturePixels.
Surface readPicture(std::span<const std::uint8_t> bytes, Rgb matte = black);

} // namespace draw
