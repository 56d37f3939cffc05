#include "platform/draw/Png.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace {

using draw::Rgb;
using draw::Surface;
using Bytes = std::vector<std::uint8_t>;

void putLe(Bytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit BMP as Paint saves it: rows bottom-up, each padded to four bytes, pixels in B, G, R.
Bytes bmp24(int width, int height, const std::vector<Rgb>& topDownPixels)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    Bytes out{'B', 'M'};
    putLe(out, static_cast<std::uint32_t>(54 + rowBytes * height), 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    for (const std::uint32_t field : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        putLe(out, field, 4);
    putLe(out, 1, 2);   // planes
    putLe(out, 24, 2);  // bits per pixel
    for (int i = 0; i < 6; ++i)
        putLe(out, 0, 4);  // no compression, size, resolution, palette: all defaults
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& p = topDownPixels[static_cast<std::size_t>(y * width + x)];
            out.insert(out.end(), {p.b, p.g, p.r});
        }
        out.resize(out.size() + static_cast<std::size_t>(rowBytes - width * 3), 0);
    }
    return out;
}

// A 2 x 1 GIF with a red and a blue pixel; with `transparentRed` the red index is transparent.
Bytes twoPixelGif(bool transparentRed)
{
    Bytes out{'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF};
    if (transparentRed)
        out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0, 0, 0});
    // Image of 2 x 1; LZW with 2-bit codes: clear, 0, 1, end in 3-bit codes = 0x44 0x0A.
    out.insert(out.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B});
    return out;
}

TEST(Png, WrittenSurfacesReadBackPixelForPixel)
{
    Surface s(7, 5, Rgb{255, 255, 225});
    s.fillRect({1, 1, 6, 4}, Rgb{0, 0, 128});
    s.setPixel(6, 4, Rgb{1, 2, 3});
    s.setPixel(0, 4, Rgb{254, 127, 0});

    const Bytes png = draw::encodePng(s);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    const Surface back = draw::readPicture(png);
    EXPECT_EQ(back.firstDifference(s), std::nullopt);

    const auto file = std::filesystem::path(testing::TempDir()) / "qln-draw-roundtrip.png";
    draw::writePng(s, file);
    Bytes fromFile;
    {
        std::ifstream in(file, std::ios::binary);  // closed before the removal: Windows refuses to remove an open file
        fromFile.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(fromFile, png);
    std::filesystem::remove(file);
}

TEST(Png, BmpAndGifPicturesAreRead)
{
    const std::vector<Rgb> pixels{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const Surface bmp = draw::readPicture(bmp24(3, 2, pixels));
    ASSERT_EQ(bmp.width(), 3);
    ASSERT_EQ(bmp.height(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bmp.pixel(i % 3, i / 3), pixels[static_cast<std::size_t>(i)]) << i;

    const Surface gif = draw::readPicture(twoPixelGif(false));
    ASSERT_EQ(gif.width(), 2);
    EXPECT_EQ(gif.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(gif.pixel(1, 0), (Rgb{0, 0, 255}));

    // Transparent pixels show the matte.
    const Surface see = draw::readPicture(twoPixelGif(true), Rgb{9, 9, 9});
    EXPECT_EQ(see.pixel(0, 0), (Rgb{9, 9, 9}));
    EXPECT_EQ(see.pixel(1, 0), (Rgb{0, 0, 255}));
}

TEST(Png, BadInputFailsAsAPlatformFailure)
{
    EXPECT_THROW(draw::readPicture(Bytes{}), platform::Failure);
    EXPECT_THROW(draw::readPicture(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}), platform::Failure);
    Bytes cut = draw::encodePng(Surface(4, 4, Rgb{10, 20, 30}));
    cut.resize(cut.size() / 2);
    EXPECT_THROW(draw::readPicture(cut), platform::Failure);

    // A header promising 5000 x 5000 pixels is refused before anything is decoded.
    Bytes huge = bmp24(1, 1, {Rgb{}});
    huge[18] = 0x88;
    huge[19] = 0x13;
    huge[22] = 0x88;
    huge[23] = 0x13;
    EXPECT_THROW(draw::readPicture(huge), platform::Failure);

    EXPECT_THROW(draw::encodePng(Surface()), platform::Failure);
    EXPECT_THROW(draw::writePng(Surface(1, 1), std::filesystem::path(testing::TempDir()) / "no-such-dir" / "x.png"),
                 platform::Failure);
}

} // namespace
