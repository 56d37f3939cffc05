#include "platform/forms/ImageList.h"

#include <utility>

#include "platform/Failure.h"

namespace forms {

namespace {

void checkSize(std::int32_t pixels)
{
    if (pixels < 1)
        throw platform::Failure("Invalid property value", 380);
}

} // namespace

void ImageList::setImageWidth(std::int32_t pixels)
{
    checkSize(pixels);
    if (!images_.empty() && pixels != width_)
        throw platform::Failure("Property is read-only if image list contains images", 35611);
    width_ = pixels;
}

void ImageList::setImageHeight(std::int32_t pixels)
{
    checkSize(pixels);
    if (!images_.empty() && pixels != height_)
        throw platform::Failure("Property is read-only if image list contains images", 35611);
    height_ = pixels;
}

const ListImage& ImageList::ListImages(std::int32_t index) const
{
    if (index < 1 || index > Count())
        throw platform::Failure("Index out of bounds", 35600);
    return images_[static_cast<std::size_t>(index - 1)];
}

std::int32_t ImageList::add(PictureRef picture, std::string key, std::string tag)
{
    if (!picture)
        throw platform::Failure("Invalid picture", 481);
    const int width = picture->image.width();
    const int height = picture->image.height();
    if (width_ == 0 && height_ == 0) {
        width_ = width;
        height_ = height;
    } else if (width != width_ || height != height_) {
        throw platform::Failure("Invalid property value", 380);
    }
    images_.push_back({std::move(picture), std::move(key), std::move(tag)});
    return Count();
}

} // namespace forms
