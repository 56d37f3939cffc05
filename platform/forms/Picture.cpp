#include "platform/forms/Picture.h"

#include <cmath>
#include <utility>

#include "platform/draw/Png.h"
#include "platform/forms/Twips.h"

namespace forms {

namespace {

std::int32_t himetric(int pixels, int dpi)
{
    return static_cast<std::int32_t>(std::lround(pixels * himetricPerInch / usableDpi(dpi)));
}

} // namespace

PictureRef makePicture(draw::Surface image, int dpi)
{
    const std::int32_t width = himetric(image.width(), dpi);
    const std::int32_t height = himetric(image.height(), dpi);
    return makePicture(std::move(image), width, height);
}

PictureRef makePicture(draw::Surface image, std::int32_t widthHimetric, std::int32_t heightHimetric)
{
    auto picture = std::make_shared<Picture>();
    picture->image = std::move(image);
    picture->widthHimetric = widthHimetric;
    picture->heightHimetric = heightHimetric;
    return picture;
}

PictureRef readPictureBytes(std::span<const std::uint8_t> bytes, int dpi)
{
    return makePicture(draw::readPicture(bytes), dpi);
}

} // namespace forms
