#pragma once
// FlairButton's image lists between COM and the button class.
//
// Implements:
// - imageListOf(): a host's image-list object (the shape of the forms' image-list component:
//   ImageWidth, ImageHeight, Tag, UseMaskColor, MaskColor, and ListImages with Count and
//   Item(index), each with a Picture) read late-bound into a list of the button's own, its
//   pictures through the PictureBridge. Throws platform::Failure (380) for an object without that
//   shape, or whose pictures are none or of another size.
// - ImageListObjects: the object a host gave is kept beside the list made from it while the button
//   holds that list, so reading the property back answers the very object; a list the button has
//   of its own (the built-in pictures) is answered as a read-only object of that same shape
//   (ImageListObject), which can itself be given to another button.
// Does not: let a host change a list through the object answered (the lists are shared).

#include <memory>
#include <vector>

#include <oaidl.h>

#include "apps/control-dlls/ComPictures.h"
#include "platform/forms/ImageList.h"

namespace qln::control_dlls {

forms::ImageListRef imageListOf(IDispatch* object, PictureBridge& pictures);

class ImageListObjects {
public:
    // The host's object as a list (nullptr for none), remembered beside it.
    forms::ImageListRef toList(IDispatch* object, PictureBridge& pictures);
    // The list as an object (nullptr for none).
    com::ComPtr<IDispatch> toObject(const forms::ImageListRef& list);

private:
    struct Known {
        std::weak_ptr<const forms::ImageList> list;
        com::ComPtr<IDispatch> object;
    };
    std::vector<Known> known_;
};

} // namespace qln::control_dlls
