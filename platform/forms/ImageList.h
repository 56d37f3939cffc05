#pragma once
// A list of same-sized pictures that controls pick from by index (the image-list component that
// forms carry for their buttons and toolbars). Controls hold shared references to a list; the
// list holds its pictures.
//
// Indices are 1-based, as ListImages(index) has them. Pictures are stored as given; a list whose
// UseMaskColor is on asks the controls that draw its pictures to leave out the MaskColor pixels,
// which is how a list's pictures get transparent backgrounds.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/Colour.h"
#include "platform/forms/Picture.h"

namespace forms {

// One picture of a list.
struct ListImage {
    PictureRef Picture;
    std::string Key;
    std::string Tag;
};

class ImageList {
public:
    // Throws platform::Failure (invalid property value, 380) for a size below 1 pixel, and
    // (35611) once the list holds pictures: their size is the list's.
    std::int32_t ImageWidth() const { return width_; }
    std::int32_t ImageHeight() const { return height_; }
    void setImageWidth(std::int32_t pixels);
    void setImageHeight(std::int32_t pixels);

    const std::string& Tag() const { return tag_; }
    void setTag(std::string tag) { tag_ = std::move(tag); }

    bool UseMaskColor() const { return useMaskColor_; }
    void setUseMaskColor(bool use) { useMaskColor_ = use; }
    draw::OleColour MaskColor() const { return maskColor_; }
    void setMaskColor(draw::OleColour colour) { maskColor_ = colour; }

    // How many pictures the list holds.
    std::int32_t Count() const { return static_cast<std::int32_t>(images_.size()); }
    // The picture at a 1-based index. Throws platform::Failure ("Index out of bounds", 35600)
    // outside 1..Count().
    const ListImage& ListImages(std::int32_t index) const;

    // Adds a picture at the end and returns its index. The first picture gives the list its size
    // when none was set; a picture of another size is refused (platform::Failure, 380), as the
    // component refuses one it cannot fit. Throws for a null picture.
    std::int32_t add(PictureRef picture, std::string key = {}, std::string tag = {});
    // Removes every picture; the size stays.
    void clear() { images_.clear(); }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::string tag_;
    bool useMaskColor_ = false;
    draw::OleColour maskColor_ = 0xC0C0C0;
    std::vector<ListImage> images_;
};

// What controls hold: a shared reference through which they only read.
using ImageListRef = std::shared_ptr<const ImageList>;

} // namespace forms
