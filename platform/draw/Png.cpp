#include "platform/draw/Png.h"

#include <climits>
#include <fstream>
#include <memory>
#include <string>

#include "platform/Failure.h"

// The one place that compiles stb's implementations. They stay private to this file (static), and
// only the formats pictures come in are decoded: less code reading untrusted bytes.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_MAX_DIMENSIONS 65536
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image.h>
#include <stb_image_write.h>

namespace draw {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<std::uint8_t> encodePng(const Surface& surface)
{
    if (surface.empty())
        throw platform::Failure("cannot write an empty picture as PNG");
    if (surface.width() > INT_MAX / 3)
        throw platform::Failure("picture too wide for PNG");

    std::vector<std::uint8_t> rgb;
    rgb.reserve(surface.bits().size() * 3);
    for (const std::uint32_t pixel : surface.bits()) {
        const Rgb colour = Rgb::fromPacked(pixel);
        rgb.insert(rgb.end(), {colour.r, colour.g, colour.b});
    }
    std::vector<std::uint8_t> png;
    if (stbi_write_png_to_func(appendBytes, &png, surface.width(), surface.height(), 3, rgb.data(),
                               surface.width() * 3) == 0)
        throw platform::Failure("PNG encoding failed");
    return png;
}

void writePng(const Surface& surface, const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> png = encodePng(surface);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out)
        throw platform::Failure("cannot write " + file.string());
}

Surface readPicture(std::span<const std::uint8_t> bytes, Rgb matte)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX))
        throw platform::Failure("invalid picture");
    const int length = static_cast<int>(bytes.size());

    // Ask for the size before decoding, so an oversized picture is refused without its memory.
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(bytes.data(), length, &width, &height, &channels) == 0)
        throw platform::Failure(std::string("invalid picture: ") + stbi_failure_reason());
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > maxPicturePixels)
        throw platform::Failure("picture too large: " + std::to_string(width) + " x " + std::to_string(height));

    const std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(bytes.data(), length, &width, &height,
                                                                       &channels, STBI_rgb_alpha));
    if (!rgba)
        throw platform::Failure(std::string("invalid picture: ") + stbi_failure_reason());

    Surface picture(width, height);
    const stbi_uc* p = rgba.get();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, p += 4)
            picture.setPixel(x, y, blend(matte, Rgb{p[0], p[1], p[2]}, p[3]));
    }
    return picture;
}

} // namespace draw
