#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "FormsTestWorld.h"
#include "platform/Failure.h"

namespace {

using formstest::Canvas;
using formstest::World;

// 8 pt at 96 dpi on the fixed engine: 6 x 13 pixels per character (7 wide bold), 15 twips a pixel.
constexpr double kTwips = 15;

struct Size {
    int width, height;
};

TEST(Label, AutoSizeIsTheShownTextWithoutPadding)
{
    const struct {
        const char* caption;
        bool mnemonic;
        bool bold;
        double points;
        Size pixels;
    } cases[] = {
        {"Hello", true, false, 8, {30, 13}},
        {"", true, false, 8, {0, 13}},                       // an empty text still has a line
        {"Line one\r\nsecond\nx", true, false, 8, {48, 39}},  // one line per paragraph
        {"ends in a break\r", true, false, 8, {90, 26}},
        {"&File", true, false, 8, {24, 13}},                 // the prefix is not shown
        {"&File", false, false, 8, {30, 13}},
        {"A&&B &", true, false, 8, {24, 13}},                // "A&B " shown
        {"Hello", true, true, 8, {35, 13}},
        {"Hello", true, false, 10, {40, 17}},                // 8 x 17 cells
    };
    for (const auto& c : cases) {
        World w;
        Canvas form(w.host);
        auto& label = form.place<forms::Label>("lblText");
        label.move(120, 360, 999, 999);
        label.setUseMnemonic(c.mnemonic);
        label.setFontBold(c.bold);
        label.setFontSize(c.points);
        label.setCaption(c.caption);
        label.setAutoSize(true);
        EXPECT_EQ(label.Width(), c.pixels.width * kTwips) << c.caption;
        EXPECT_EQ(label.Height(), c.pixels.height * kTwips) << c.caption;
        EXPECT_EQ(label.Left(), 120);
        EXPECT_EQ(label.Top(), 360);
        // Once auto-sized, a size set by code gives way to the text again.
        label.setWidth(5000);
        EXPECT_EQ(label.Width(), c.pixels.width * kTwips) << c.caption;
    }
}

TEST(Label, EveryTextOrFontChangeRemeasures)
{
    World w;
    Canvas form(w.host);
    auto& label = form.place<forms::Label>("lblSenderName");
    label.setAutoSize(true);
    label.setCaption("abcd");
    EXPECT_EQ(label.Width(), 24 * kTwips);
    label.setFontBold(true);
    EXPECT_EQ(label.Width(), 28 * kTwips);
    label.setFontSize(16);  // 12 (+1 bold) x 26
    EXPECT_EQ(label.Width(), 52 * kTwips);
    EXPECT_EQ(label.Height(), 26 * kTwips);
    label.setFontName("Tahoma");  // the fixed engine ignores the face; the size stays
    EXPECT_EQ(label.Width(), 52 * kTwips);
    label.setCaption("a&bcd");
    EXPECT_EQ(label.Width(), 52 * kTwips);
    label.setUseMnemonic(false);
    EXPECT_EQ(label.Width(), 65 * kTwips);

    // Turning AutoSize off keeps the size; text changes then leave it alone.
    label.setAutoSize(false);
    label.setCaption("x");
    EXPECT_EQ(label.Width(), 65 * kTwips);
}

TEST(Label, WordWrapKeepsTheWidthUnlessAWordIsWider)
{
    World w;
    Canvas form(w.host);
    auto& label = form.place<forms::Label>("lblBody");
    label.setWordWrap(true);
    label.setAutoSize(true);
    label.setWidth(607);  // 40.47 px: on the nearest pixel, 40

    const struct {
        const char* caption;
        double widthTwips;
        int heightPixels;
    } cases[] = {
        {"aaa bbb ccc", 607, 39},      // three lines: "aaa bbb" is 42 px; the width stays as given
        {"aaa", 607, 13},              // not shrunk to the text either
        {"ab cd\r\n\r\nef", 607, 39},  // an empty paragraph is a line
        {"aaaaaaaaaa b", 900, 26},     // a 60 px word widens the label
        {"aaa bbb ccc", 900, 26},      // that width is now the label's own: "aaa bbb" fits
    };
    for (const auto& c : cases) {
        label.setCaption(c.caption);
        EXPECT_EQ(label.Width(), c.widthTwips) << c.caption;
        EXPECT_EQ(label.Height(), c.heightPixels * kTwips) << c.caption;
    }

    // A new width wraps again; the layout sets widths and reads heights back.
    label.setWidth(100 * kTwips);
    EXPECT_EQ(label.Width(), 100 * kTwips);
    EXPECT_EQ(label.Height(), 13 * kTwips);
    label.setWordWrap(false);
    EXPECT_EQ(label.Width(), 66 * kTwips);
}

TEST(Label, SizesFollowTheScreensDpi)
{
    World w;
    w.system.setLogPixels(120, 144);  // 12 and 10 twips a pixel; fonts scale with the vertical DPI
    Canvas form(w.host);
    auto& label = form.place<forms::Label>("lblInbox");
    label.setAutoSize(true);
    label.setCaption("Hello");  // 8 pt at 144 dpi: 9 x 20 cells
    EXPECT_EQ(label.Width(), 45 * 12);
    EXPECT_EQ(label.Height(), 20 * 10);

    // A screen that reports no DPI counts as 96 rather than dividing by zero.
    w.system.setLogPixels(0, -5);
    label.setCaption("Hi");
    EXPECT_EQ(label.Width(), 12 * kTwips);
    EXPECT_EQ(label.Height(), 13 * kTwips);
}

TEST(Label, SettersThatChangeNothingDoNotRepaint)
{
    World w;
    Canvas form(w.host);
    auto& label = form.place<forms::Label>("lblSubject");
    auto& line = form.place<forms::Line>("DivLine");
    label.setAutoSize(true);
    label.setCaption("Subject");
    label.setFontName("Arial");
    label.setFontSize(9);
    label.setForeColor(0x80000012);
    label.setBackColor(0xE1FFFF);
    line.setPoints(120, 900, 2880, 900);
    line.setBorderColor(0x808080);
    form.setBackColor(0xE1FFFF);
    form.move(0, 0, 3000, 1500);

    const int before = form.repaintCount();
    label.setCaption("Subject");
    label.setFontName("Arial");
    label.setFontSize(9.0);
    label.setFontBold(false);
    label.setForeColor(0x80000012);
    label.setBackColor(0xE1FFFF);
    label.setAutoSize(true);
    label.setWordWrap(false);
    label.setUseMnemonic(true);
    label.setBackStyle(forms::Label::vbOpaque);
    label.setAlignment(forms::Label::vbLeftJustify);
    label.setWidth(1);  // auto-sized: the size the text gives, which it has
    label.setContainer(nullptr);
    line.setX2(2880);
    line.setBorderColor(0x808080);
    form.setBackColor(0xE1FFFF);
    form.move(0, 0, 3000, 1500);
    EXPECT_EQ(form.repaintCount(), before);

    // A change asks once, even when it also resizes the label.
    label.setCaption("Another subject");
    EXPECT_EQ(form.repaintCount(), before + 1);
    label.setFontBold(true);
    line.setY2(1000);
    form.setBackColor(0xFFFFFF);
    EXPECT_EQ(form.repaintCount(), before + 4);
}

TEST(Label, InvalidPropertyValuesAreRefused)
{
    World w;
    Canvas form(w.host);
    auto& label = form.place<forms::Label>("lblSize");
    for (int style : {-1, 2})
        EXPECT_THROW(label.setBackStyle(style), platform::Failure);
    for (int alignment : {-1, 3})
        EXPECT_THROW(label.setAlignment(alignment), platform::Failure);
    for (double size : {0.0, -8.0, 2161.0, std::nan("")})
        EXPECT_THROW(label.setFontSize(size), platform::Failure);
    EXPECT_EQ(label.FontSize(), 8);
    EXPECT_EQ(label.BackStyle(), forms::Label::vbOpaque);
}

TEST(Control, ContainersNestWithoutCyclesAndPassOnHidingAndDisabling)
{
    World w;
    Canvas form(w.host);
    Canvas other(w.host, "frmOther");
    auto& outer = form.place<forms::Panel>("elTop");
    auto& inner = form.place<forms::Panel>("elTopLeft");
    auto& button = form.place<forms::CommandButton>("btnReply");
    auto& stranger = other.place<forms::Panel>("elBottom");
    inner.setContainer(&outer);
    button.setContainer(&inner);
    EXPECT_THROW(outer.setContainer(&button), platform::Failure);
    EXPECT_THROW(outer.setContainer(&outer), platform::Failure);
    EXPECT_THROW(button.setContainer(&stranger), platform::Failure);
    EXPECT_EQ(button.Container(), &inner);

    int clicks = 0;
    button.Click = [&] { ++clicks; };
    form.Show();
    button.userClick();
    outer.setVisible(false);
    button.userClick();
    EXPECT_FALSE(button.shown());
    outer.setVisible(true);
    inner.setEnabled(false);
    button.userClick();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.shown());
}

} // namespace
