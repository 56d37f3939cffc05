#include "apps/control-dlls/ComPictures.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Failure.h"
#include "platform/draw/Png.h"
#include "platform/win32/com/ComFailure.h"

namespace qln::control_dlls {

namespace {

platform::Failure noPicture() { return platform::Failure("The object is no picture", kInvalidPicture); }

com::ComPtr<IUnknown> identityOf(IUnknown* object)
{
    com::ComPtr<IUnknown> identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    return identity;
}

// A screen-compatible DC for the duration of one conversion.
class ScreenDc {
public:
    ScreenDc() : dc_(CreateCompatibleDC(nullptr))
    {
        if (!dc_)
            throw platform::Failure("CreateCompatibleDC failed");
    }
    ~ScreenDc() { DeleteDC(dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A top-down 32-bit DIB section; its bits are 0x00RRGGBB words, as a surface's.
class Dib {
public:
    Dib(int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!bitmap_ || !bits_)
            throw platform::Failure("CreateDIBSection failed");
    }
    ~Dib()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    HBITMAP get() const { return bitmap_; }
    // The bitmap handed over to its new owner.
    HBITMAP release() { return std::exchange(bitmap_, nullptr); }
    std::uint32_t* bits() const { return static_cast<std::uint32_t*>(bits_); }

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

draw::Surface surfaceOf(const std::uint32_t* bits, int width, int height)
{
    draw::Surface image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, draw::Rgb::fromPacked(bits[static_cast<std::size_t>(y) * width + x] & 0xFFFFFFu));
    return image;
}

// A bitmap's pixels, whatever its format, read as 32-bit rows.
draw::Surface bitmapPixels(HBITMAP bitmap)
{
    BITMAP header{};
    if (!GetObjectW(bitmap, sizeof header, &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        throw noPicture();
    if (std::int64_t{header.bmWidth} * header.bmHeight > draw::maxPicturePixels)
        throw noPicture();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = -header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(header.bmWidth) * header.bmHeight);
    ScreenDc dc;
    if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(header.bmHeight), bits.data(), &info, DIB_RGB_COLORS) !=
        header.bmHeight)
        throw noPicture();
    return surfaceOf(bits.data(), header.bmWidth, header.bmHeight);
}

// Any picture drawn by itself (an icon, a metafile) on white, at the screen's resolution.
draw::Surface renderedPixels(IPicture& picture, OLE_XSIZE_HIMETRIC width, OLE_YSIZE_HIMETRIC height)
{
    ScreenDc dc;
    const int pixelsX = MulDiv(width, GetDeviceCaps(dc.get(), LOGPIXELSX), 2540);
    const int pixelsY = MulDiv(height, GetDeviceCaps(dc.get(), LOGPIXELSY), 2540);
    if (pixelsX <= 0 || pixelsY <= 0 || std::int64_t{pixelsX} * pixelsY > draw::maxPicturePixels)
        throw noPicture();
    Dib dib(pixelsX, pixelsY);
    std::fill(dib.bits(), dib.bits() + static_cast<std::size_t>(pixelsX) * pixelsY, 0x00FFFFFFu);
    const HGDIOBJ previous = SelectObject(dc.get(), dib.get());
    const HRESULT hr = picture.Render(dc.get(), 0, 0, pixelsX, pixelsY, 0, height, width, -height, nullptr);
    GdiFlush();
    SelectObject(dc.get(), previous);
    if (FAILED(hr))
        throw noPicture();
    return surfaceOf(dib.bits(), pixelsX, pixelsY);
}

com::ComPtr<IStream> streamOf(std::span<const std::uint8_t> bytes)
{
    com::ComPtr<IStream> stream;
    com::check(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
    ULONG written = 0;
    com::check(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), "IStream::Write");
    com::check(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "IStream::Seek");
    return stream;
}

std::vector<std::uint8_t> contentsOf(IStream& stream)
{
    STATSTG stat{};
    com::check(stream.Stat(&stat, STATFLAG_NONAME), "IStream::Stat");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    com::check(stream.Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "IStream::Seek");
    ULONG read = 0;
    if (!bytes.empty())
        com::check(stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), "IStream::Read");
    bytes.resize(read);
    return bytes;
}

} // namespace

void PictureBridge::forgetDropped()
{
    std::erase_if(known_, [](const Known& known) { return known.picture.expired(); });
}

forms::PictureRef PictureBridge::toPicture(IUnknown* object)
{
    forgetDropped();
    if (!object)
        return nullptr;
    const com::ComPtr<IUnknown> identity = identityOf(object);
    for (const Known& known : known_)
        if (known.identity.Get() == identity.Get())
            if (forms::PictureRef picture = known.picture.lock())
                return picture;
    com::ComPtr<IPicture> picture;
    com::ComPtr<IPictureDisp> dispatch;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&picture))) || FAILED(picture.As(&dispatch)))
        throw noPicture();
    SHORT type = PICTYPE_NONE;
    if (FAILED(picture->get_Type(&type)))
        throw noPicture();
    if (type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED)
        return nullptr;  // an empty picture object is no picture
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height)))
        throw noPicture();
    draw::Surface image;
    if (type == PICTYPE_BITMAP) {
        OLE_HANDLE handle = 0;
        if (FAILED(picture->get_Handle(&handle)))
            throw noPicture();
        image = bitmapPixels(reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle)));
    } else {
        image = renderedPixels(*picture.Get(), width, height);
    }
    forms::PictureRef result = forms::makePicture(std::move(image), width, height);
    known_.push_back(Known{result, identity, dispatch});
    return result;
}

com::ComPtr<IPictureDisp> PictureBridge::toObject(const forms::PictureRef& picture)
{
    forgetDropped();
    if (!picture)
        return nullptr;
    for (const Known& known : known_)
        if (known.picture.lock() == picture)
            return known.object;
    const draw::Surface& image = picture->image;
    if (image.empty())
        return nullptr;
    Dib dib(image.width(), image.height());
    std::memcpy(dib.bits(), image.bits().data(), image.bits().size() * sizeof(std::uint32_t));
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = dib.get();
    com::ComPtr<IPictureDisp> object;
    com::check(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                        reinterpret_cast<void**>(object.GetAddressOf())),
               "OleCreatePictureIndirect");
    dib.release();  // the picture object owns the bitmap now
    known_.push_back(Known{picture, identityOf(object.Get()), object});
    return object;
}

com::Variant pictureVariant(PictureBridge& bridge, const forms::PictureRef& picture)
{
    const com::ComPtr<IPictureDisp> object = bridge.toObject(picture);
    if (!object)
        return com::Variant();
    return com::Variant(static_cast<IDispatch*>(object.Get()));
}

std::vector<std::uint8_t> bmpBytesOf(const forms::Picture& picture)
{
    const draw::Surface& image = picture.image;
    const int width = image.width(), height = image.height();
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + stride * height);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    // Pixels per metre from the picture's own size, so that it keeps its HIMETRIC size.
    if (picture.widthHimetric > 0)
        info.biXPelsPerMeter = static_cast<LONG>(std::int64_t{width} * 100000 / picture.widthHimetric);
    if (picture.heightHimetric > 0)
        info.biYPelsPerMeter = static_cast<LONG>(std::int64_t{height} * 100000 / picture.heightHimetric);
    std::vector<std::uint8_t> bytes(file.bfSize, 0);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    std::size_t row = file.bfOffBits;
    for (int y = height; y-- > 0; row += stride) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = image.bits()[static_cast<std::size_t>(y) * width + x];
            bytes[row + 3 * x] = static_cast<std::uint8_t>(rgb);
            bytes[row + 3 * x + 1] = static_cast<std::uint8_t>(rgb >> 8);
            bytes[row + 3 * x + 2] = static_cast<std::uint8_t>(rgb >> 16);
        }
    }
    return bytes;
}

com::ComPtr<IPictureDisp> loadPictureBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        throw noPicture();
    const com::ComPtr<IStream> stream = streamOf(bytes);
    com::ComPtr<IPictureDisp> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPictureDisp,
                              reinterpret_cast<void**>(picture.GetAddressOf()))) ||
        !picture)
        throw noPicture();
    return picture;
}

std::vector<std::uint8_t> fontBytesOf(IUnknown* font)
{
    com::ComPtr<IPersistStream> persist;
    if (!font)
        throw platform::Failure("No font to save");
    com::check(font->QueryInterface(IID_PPV_ARGS(&persist)), "IFont as IPersistStream");
    com::ComPtr<IStream> stream;
    com::check(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
    com::check(persist->Save(stream.Get(), FALSE), "IPersistStream::Save (font)");
    return contentsOf(*stream.Get());
}

com::ComPtr<IFontDisp> loadFontBytes(std::span<const std::uint8_t> bytes)
{
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
    description.cySize.int64 = 80000;
    description.sWeight = FW_NORMAL;
    com::ComPtr<IFontDisp> font;
    com::check(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(font.GetAddressOf())),
               "OleCreateFontIndirect");
    com::ComPtr<IPersistStream> persist;
    com::check(font.As(&persist), "IFont as IPersistStream");
    com::check(persist->Load(streamOf(bytes).Get()), "IPersistStream::Load (font)");
    return font;
}

} // namespace qln::control_dlls
