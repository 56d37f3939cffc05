#include <gtest/gtest.h>

#include <algorithm>

#include "FormsTestWorld.h"
#include "platform/fonts/FreeTypeFontEngine.h"

namespace {

using formstest::Canvas;

constexpr draw::Rgb paper{255, 255, 225};

// The same rules on the platform's fonts: sizes are the engine's own measurements, and the
// antialiased ink stays inside the label.
TEST(RealFonts, AutoSizedLabelsAreTheirTextsMeasureAndKeepTheirInk)
{
    formstest::World w;
    fonts::FreeTypeFontEngine engine;
    w.host.setFontEngine(engine);
    Canvas form(w.host);
    form.move(0, 0, 4500, 1500);
    form.setBackColor(0xE1FFFF);
    auto& label = form.place<forms::Label>("lblSenderName");
    label.setBackStyle(forms::Label::vbTransparent);
    label.move(120, 360, 0, 0);
    label.setAutoSize(true);
    label.setCaption("Quellin &Notifier");
    label.setFontBold(true);

    const platform::FontSpec font = label.font();
    const int width = engine.textWidth(font, 96, "Quellin Notifier");
    const int height = engine.metrics(font, 96).height;
    ASSERT_GT(width, 0);
    EXPECT_EQ(label.Width(), width * 15);
    EXPECT_EQ(label.Height(), height * 15);

    const draw::Surface s = form.render();
    const draw::Rect box = draw::Rect::ofSize(8, 24, width, height);
    const int ink = s.width() * s.height() - s.countPixels(paper);
    EXPECT_GT(ink, 0);
    EXPECT_EQ(ink, box.width() * box.height() - s.countPixels(paper, box));

    // Wrapped at the width of its longest word, the label keeps that width and takes two lines.
    const int word = std::max(engine.textWidth(font, 96, "Quellin"), engine.textWidth(font, 96, "Notifier"));
    label.setWordWrap(true);
    label.setWidth(word * 15);
    EXPECT_EQ(label.Width(), word * 15);
    EXPECT_EQ(label.Height(), 2 * height * 15);
}

} // namespace
