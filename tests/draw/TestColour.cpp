#include "platform/draw/Colour.h"

#include <gtest/gtest.h>

namespace {

using draw::OleColour;
using draw::Rgb;

TEST(Colour, SystemColoursResolveThroughTheClassicScheme)
{
    const struct {
        OleColour ole;
        Rgb rgb;
    } cases[] = {
        {0x8000000Fu, {192, 192, 192}},  // button face
        {0x80000012u, {0, 0, 0}},        // button text
        {0x80000010u, {128, 128, 128}},  // button shadow
        {0x80000014u, {255, 255, 255}},  // 3D highlight
        {0x80000015u, {0, 0, 0}},        // 3D dark shadow
        {0x80000016u, {192, 192, 192}},  // 3D light
        {0x8000000Du, {0, 0, 128}},      // highlight
        {0x8000000Eu, {255, 255, 255}},  // highlight text
        {0x80000011u, {128, 128, 128}},  // grey text
        {0x80000005u, {255, 255, 255}},  // window
        {0x80000018u, {255, 255, 225}},  // tool tip background
        {0x8000001Eu, {192, 192, 192}},  // menu bar, the last index
    };
    for (const auto& c : cases)
        EXPECT_EQ(draw::resolveColour(c.ole), c.rgb) << std::hex << c.ole;
    EXPECT_EQ(draw::systemOleColour(draw::syscolour::ButtonText), 0x80000012u);
}

TEST(Colour, UnknownSystemIndicesAreBlack)
{
    for (OleColour ole : {0x80000019u, 0x8000001Fu, 0x80000100u, 0x80FFFFFFu, 0xFFFFFFFFu})
        EXPECT_EQ(draw::resolveColour(ole), draw::black) << std::hex << ole;
    EXPECT_EQ(draw::systemColour(-1), draw::black);
}

TEST(Colour, PlainValuesKeepRedInTheLowByte)
{
    EXPECT_EQ(draw::resolveColour(0xE1FFFFu), (Rgb{255, 255, 225}));
    EXPECT_EQ(draw::resolveColour(0x0001A0FFu), (Rgb{255, 160, 1}));
    // Without a palette the palette-relative top bytes do not change the colour.
    EXPECT_EQ(draw::resolveColour(0x02112233u), (Rgb{0x33, 0x22, 0x11}));

    EXPECT_EQ(draw::oleRgb(96, 128, 255), 0xFF8060u);
    EXPECT_EQ(draw::toOle(draw::resolveColour(0x123456u)), 0x123456u);
    EXPECT_EQ(Rgb::fromPacked(0x123456u), (Rgb{0x12, 0x34, 0x56}));
    EXPECT_EQ((Rgb{0x12, 0x34, 0x56}).packed(), 0x123456u);
}

TEST(Colour, BlendMovesFromTheFirstColourToTheSecond)
{
    const Rgb a{0, 100, 255};
    const Rgb b{255, 50, 0};
    EXPECT_EQ(draw::blend(a, b, 0), a);
    EXPECT_EQ(draw::blend(a, b, 255), b);
    // 255 * 128 / 255 = 128; 100 - 50 * 128 / 255 = 74.9; 255 - 255 * 128 / 255 = 127.
    EXPECT_EQ(draw::blend(a, b, 128), (Rgb{128, 75, 127}));
    EXPECT_EQ(draw::blend(draw::black, draw::white, 160), (Rgb{160, 160, 160}));
    EXPECT_EQ(draw::blend(a, b, -5), a);
    EXPECT_EQ(draw::blend(a, b, 300), b);
}

} // namespace
