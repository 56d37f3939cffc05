#include "apps/control-dlls/ComImageList.h"

#include <atomic>

#include "platform/Failure.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/activex/Entry.h"

namespace qln::control_dlls {

namespace {

platform::Failure noImageList() { return platform::Failure("The object is no image list", 380); }

enum : DISPID {
    idItem = DISPID_VALUE, idImageWidth = 1, idImageHeight, idTag, idListImages, idCount, idPicture, idKey, idIndex,
    idUseMaskColor, idMaskColor
};

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr Member kMembers[] = {{L"Item", idItem},           {L"ImageWidth", idImageWidth}, {L"ImageHeight", idImageHeight},
                               {L"Tag", idTag},             {L"ListImages", idListImages}, {L"Count", idCount},
                               {L"Picture", idPicture},     {L"Key", idKey},               {L"Index", idIndex},
                               {L"UseMaskColor", idUseMaskColor}, {L"MaskColor", idMaskColor}};

// One read-only object of an image list: the list itself, its ListImages collection, or one of
// its pictures (a 1-based index).
class ImageListObject final : public IDispatch {
public:
    enum class Kind { List, Images, Image };
    ImageListObject(forms::ImageListRef list, Kind kind, std::int32_t index = 0)
        : list_(std::move(list)), kind_(kind), index_(index)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch)
            return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids)
            return E_POINTER;
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Member& member : kMembers)
                if (i == 0 && CompareStringOrdinal(names[i], -1, member.name, -1, TRUE) == CSTR_EQUAL)
                    ids[i] = member.id;
            if (ids[i] == DISPID_UNKNOWN)
                result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        return platform::win32::com::activex::comEntry([&]() -> HRESULT {
            std::vector<com::Variant> args;
            for (UINT i = params ? params->cArgs : 0; i > 0; --i)
                args.push_back(com::Variant::copyOf(params->rgvarg[i - 1]));
            com::Variant value;
            const HRESULT hr = answer(id, args, value);
            if (SUCCEEDED(hr) && result)
                VariantCopy(result, const_cast<VARIANT*>(&value.raw()));
            return hr;
        });
    }

private:
    com::Variant object(Kind kind, std::int32_t index = 0) const
    {
        com::ComPtr<IDispatch> made;
        made.Attach(new ImageListObject(list_, kind, index));
        return com::Variant(made);
    }
    std::int32_t checkedIndex(const com::Variant& index) const
    {
        const std::int32_t at = index.toLong();
        list_->ListImages(at);  // throws for an index out of bounds
        return at;
    }

    HRESULT answer(DISPID id, const std::vector<com::Variant>& args, com::Variant& value) const
    {
        switch (kind_) {
        case Kind::List:
            switch (id) {
            case idImageWidth: value = com::Variant(list_->ImageWidth()); return S_OK;
            case idImageHeight: value = com::Variant(list_->ImageHeight()); return S_OK;
            case idTag: value = com::Variant(list_->Tag()); return S_OK;
            case idUseMaskColor: value = com::Variant(list_->UseMaskColor()); return S_OK;
            case idMaskColor: value = com::Variant(static_cast<std::int32_t>(list_->MaskColor())); return S_OK;
            case idListImages:
                value = args.empty() ? object(Kind::Images) : object(Kind::Image, checkedIndex(args[0]));
                return S_OK;
            default: return DISP_E_MEMBERNOTFOUND;
            }
        case Kind::Images:
            switch (id) {
            case idCount: value = com::Variant(list_->Count()); return S_OK;
            case idItem:
                if (args.empty())
                    return DISP_E_BADPARAMCOUNT;
                value = object(Kind::Image, checkedIndex(args[0]));
                return S_OK;
            default: return DISP_E_MEMBERNOTFOUND;
            }
        case Kind::Image: {
            const forms::ListImage& image = list_->ListImages(index_);
            switch (id) {
            case idPicture: {
                PictureBridge pictures;
                value = pictureVariant(pictures, image.Picture);
                return S_OK;
            }
            case idKey: value = com::Variant(image.Key); return S_OK;
            case idTag: value = com::Variant(image.Tag); return S_OK;
            case idIndex: value = com::Variant(index_); return S_OK;
            default: return DISP_E_MEMBERNOTFOUND;
            }
        }
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    forms::ImageListRef list_;
    Kind kind_;
    std::int32_t index_;
    std::atomic<ULONG> references_{1};
};

} // namespace

forms::ImageListRef imageListOf(IDispatch* object, PictureBridge& pictures)
{
    if (!object)
        return nullptr;
    const com::Dispatch host{com::ComPtr<IDispatch>(object)};
    auto list = std::make_shared<forms::ImageList>();
    try {
        const std::int32_t width = host.get("ImageWidth").toLong();
        const std::int32_t height = host.get("ImageHeight").toLong();
        if (width > 0)
            list->setImageWidth(width);
        if (height > 0)
            list->setImageHeight(height);
        list->setTag(host.get("Tag").toString());
        platform::ignoreFailure([&] { list->setUseMaskColor(host.get("UseMaskColor").toBool()); });
        platform::ignoreFailure(
            [&] { list->setMaskColor(static_cast<draw::OleColour>(host.get("MaskColor").toLong())); });
        const com::Dispatch images(host.get("ListImages").toDispatch());
        const std::int32_t count = images.get("Count").toLong();
        for (std::int32_t index = 1; index <= count; ++index) {
            const com::Dispatch image(images.get("Item", {com::Variant(index)}).toDispatch());
            const com::Variant picture = image.get("Picture");
            if (picture.type() != VT_DISPATCH && picture.type() != VT_UNKNOWN)
                throw noImageList();
            forms::PictureRef made = pictures.toPicture(picture.raw().punkVal);
            if (!made)
                throw noImageList();
            list->add(std::move(made));
        }
    } catch (const platform::Failure& failure) {
        throw platform::Failure(std::string("The object is no image list: ") + failure.what(), 380);
    }
    return list;
}

forms::ImageListRef ImageListObjects::toList(IDispatch* object, PictureBridge& pictures)
{
    std::erase_if(known_, [](const Known& known) { return known.list.expired(); });
    if (!object)
        return nullptr;
    const auto identity = [](IUnknown* unknown) {
        com::ComPtr<IUnknown> result;
        unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(result.GetAddressOf()));
        return result;
    };
    const com::ComPtr<IUnknown> given = identity(object);
    for (const Known& known : known_)
        if (identity(known.object.Get()).Get() == given.Get())
            if (forms::ImageListRef list = known.list.lock())
                return list;
    forms::ImageListRef list = imageListOf(object, pictures);
    known_.push_back(Known{list, com::ComPtr<IDispatch>(object)});
    return list;
}

com::ComPtr<IDispatch> ImageListObjects::toObject(const forms::ImageListRef& list)
{
    std::erase_if(known_, [](const Known& known) { return known.list.expired(); });
    if (!list)
        return nullptr;
    for (const Known& known : known_)
        if (known.list.lock() == list)
            return known.object;
    com::ComPtr<IDispatch> object;
    object.Attach(new ImageListObject(list, ImageListObject::Kind::List));
    known_.push_back(Known{list, object});
    return object;
}

} // namespace qln::control_dlls
