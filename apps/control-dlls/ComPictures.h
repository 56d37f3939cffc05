#pragma once
// Pictures and fonts between COM's objects and the button classes' own, for the control DLLs.
//
// Implements:
// - PictureBridge: a host's picture object (IPicture or IPictureDisp holding a bitmap, an icon or
//   a metafile) as the classes' picture (its pixels and its HIMETRIC size), and a class picture as
//   a picture object again. The object a host gave is kept beside the picture made from it while
//   the button holds that picture, so reading the property back answers the very object assigned;
//   a picture the button made itself (a skin read from its path, one loaded from saved state) gets
//   a new picture object (OleCreatePictureIndirect) once, which it then keeps.
// - Bytes: a picture as the bytes of a 24-bit BMP file (what a stream keeps), any picture file's
//   bytes as a picture object (OleLoadPicture: BMP, GIF, JPEG, icons, metafiles), and a font
//   object saved and loaded through its own IPersistStream (the form hosts keep fonts in).
// Failures are platform::Failure: 481 (invalid picture) for an object or bytes that are no
// picture, the HRESULT of a font that cannot be saved or loaded.
// Does not: keep an icon's transparency (an icon or metafile is rendered on white).

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <ocidl.h>
#include <olectl.h>

#include "platform/forms/Picture.h"
#include "platform/win32/com/Variant.h"

namespace qln::control_dlls {

namespace com = platform::win32::com;

// The run-time error a property answers for an object or bytes that are no picture.
inline constexpr std::int32_t kInvalidPicture = 481;

class PictureBridge {
public:
    // The host's object as a picture; nullptr for no object or an empty picture object.
    forms::PictureRef toPicture(IUnknown* object);
    // The picture as a picture object; nullptr for none.
    com::ComPtr<IPictureDisp> toObject(const forms::PictureRef& picture);

private:
    struct Known {
        std::weak_ptr<const forms::Picture> picture;
        com::ComPtr<IUnknown> identity;  // the object's IUnknown, to recognise it again
        com::ComPtr<IPictureDisp> object;
    };
    void forgetDropped();

    std::vector<Known> known_;
};

// The picture as a picture object's Variant (VT_DISPATCH), or an empty Variant for none.
com::Variant pictureVariant(PictureBridge& bridge, const forms::PictureRef& picture);

// The picture's pixels as a 24-bit bottom-up BMP file.
std::vector<std::uint8_t> bmpBytesOf(const forms::Picture& picture);

// A picture file's bytes as a picture object.
com::ComPtr<IPictureDisp> loadPictureBytes(std::span<const std::uint8_t> bytes);

// A font object's bytes as its IPersistStream writes them, and such bytes as a new font object.
std::vector<std::uint8_t> fontBytesOf(IUnknown* font);
com::ComPtr<IFontDisp> loadFontBytes(std::span<const std::uint8_t> bytes);

} // namespace qln::control_dlls
