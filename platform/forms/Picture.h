#pragma once
// A picture object as hosts hand it to controls (OLE's StdPicture): an image and its size in
// HIMETRIC (hundredths of a millimetre), the unit in which pictures report Width and Height.
// Pictures never change once made, so holders share them freely; "no picture" is a null PictureRef.

#include <cstdint>
#include <memory>
#include <span>

#include "platform/draw/Surface.h"

namespace forms {

struct Picture {
    draw::Surface image;
    std::int32_t widthHimetric = 0;
    std::int32_t heightHimetric = 0;
};

using PictureRef = std::shared_ptr<const Picture>;

// HIMETRIC per inch.
inline constexpr double himetricPerInch = 2540.0;

// A picture of the image as a screen of `dpi` dots per inch would make it: each side in HIMETRIC
// rounded to the nearest whole unit.
PictureRef makePicture(draw::Surface image, int dpi = 96);

// A picture with a stated HIMETRIC size (a metafile's, or one stored by another host).
PictureRef makePicture(draw::Surface image, std::int32_t widthHimetric, std::int32_t heightHimetric);

// A picture file's bytes (BMP, PNG, GIF, JPEG) as a picture. Throws platform::Failure for bytes
// that are no picture.
PictureRef readPictureBytes(std::span<const std::uint8_t> bytes, int dpi = 96);

} // namespace forms
