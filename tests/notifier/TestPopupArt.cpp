#include "notifier/window/PopupArt.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace qln::art {
namespace {

using draw::Rgb;
using draw::Surface;

bool onlyGreysAndMask(const Surface& picture)
{
    for (std::uint32_t packed : picture.bits()) {
        const Rgb colour = Rgb::fromPacked(packed);
        if (colour != maskColour && (colour.r != colour.g || colour.g != colour.b))
            return false;
    }
    return true;
}

void expectMaskCorners(const Surface& picture)
{
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    EXPECT_EQ(picture.pixel(0, 0), maskColour);
    EXPECT_EQ(picture.pixel(right, 0), maskColour);
    EXPECT_EQ(picture.pixel(0, bottom), maskColour);
    EXPECT_EQ(picture.pixel(right, bottom), maskColour);
}

TEST(PopupArtTest, ButtonStatesAreDerivedFromOneDrawing)
{
    for (Glyph glyph : allGlyphs) {
        SCOPED_TRACE(static_cast<int>(glyph));
        const int size = glyph == Glyph::Question ? 19 : 14;
        const Surface up = buttonPicture(glyph, State::Up);
        EXPECT_LT(up.countPixels(maskColour), size * size) << "an empty drawing";
        for (State state : allStates) {
            SCOPED_TRACE(static_cast<int>(state));
            const Surface picture = buttonPicture(glyph, state);
            EXPECT_EQ(picture.width(), size);
            EXPECT_EQ(picture.height(), size);
            // The button reads its mask colour from the corner, whatever the state.
            expectMaskCorners(picture);
            if (state != State::Up) {
                EXPECT_NE(picture, up);
            }
        }
        // A plate has no holes: only its four cut corners let the ground through.
        EXPECT_EQ(buttonPicture(glyph, State::Over).countPixels(maskColour), 4);
        EXPECT_EQ(buttonPicture(glyph, State::Down).countPixels(maskColour), 4);
        EXPECT_TRUE(onlyGreysAndMask(buttonPicture(glyph, State::Disabled)));
        // The disabled drawing keeps the shape of the enabled one.
        EXPECT_EQ(buttonPicture(glyph, State::Disabled).countPixels(maskColour), up.countPixels(maskColour));
    }
}

TEST(PopupArtTest, EveryGlyphLooksDifferent)
{
    for (std::size_t i = 0; i < allGlyphs.size(); ++i) {
        for (std::size_t j = i + 1; j < allGlyphs.size(); ++j) {
            EXPECT_NE(buttonPicture(allGlyphs[i], State::Up), buttonPicture(allGlyphs[j], State::Up))
                << "glyphs " << i << " and " << j;
        }
    }
}

TEST(PopupArtTest, ArrowsMirrorEachOtherAndGreyWhenDisabled)
{
    for (Arrow arrow : allArrows) {
        const Surface picture = arrowPicture(arrow);
        EXPECT_EQ(picture.width(), 16);
        EXPECT_EQ(picture.height(), 16);
        expectMaskCorners(picture);
        const bool disabled = arrow == Arrow::BackDisabled || arrow == Arrow::NextDisabled;
        EXPECT_EQ(onlyGreysAndMask(picture), disabled) << static_cast<int>(arrow);
    }
    EXPECT_NE(arrowPicture(Arrow::Back), arrowPicture(Arrow::BackDisabled));
    EXPECT_NE(arrowPicture(Arrow::Next), arrowPicture(Arrow::NextDisabled));

    const Surface back = arrowPicture(Arrow::Back);
    const Surface next = arrowPicture(Arrow::Next);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(back.pixel(x, y), next.pixel(15 - x, y)) << x << "," << y;
    }
}

TEST(PopupArtTest, ContactSheetShowsEveryPictureOverTheBackground)
{
    const Surface sheet = contactSheet();
    // Five state columns; nine glyph rows and the arrows' row; 23-pixel cells at 4x.
    EXPECT_EQ(sheet.width(), 5 * 23 * 4);
    EXPECT_EQ(sheet.height(), 10 * 23 * 4);
    EXPECT_EQ(sheet.countPixels(maskColour), 0);
}

} // namespace
} // namespace qln::art
