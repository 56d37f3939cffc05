#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FormsTestWorld.h"
#include "platform/draw/Png.h"

namespace {

using draw::Rect;
using draw::Rgb;
using formstest::Canvas;
using formstest::World;

constexpr draw::OleColour kPopupBack = 0xE1FFFF;
constexpr Rgb paper{255, 255, 225};
constexpr Rgb grey{128, 128, 128};

// A 200 x 100 pixel form in the popup's default background.
struct Painted : World {
    Canvas form{host};
    Painted()
    {
        form.move(0, 0, 3000, 1500);
        form.setBackColor(kPopupBack);
    }
};

TEST(FormRender, LabelTextIsInkInsideItsBoxAndNowhereElse)
{
    Painted p;
    auto& label = p.form.place<forms::Label>("lblSenderName");
    label.setBackStyle(forms::Label::vbTransparent);
    label.setForeColor(0);
    label.move(120, 360, 0, 0);  // (8, 24) px
    label.setAutoSize(true);
    label.setCaption("Hi");

    draw::Surface s = p.form.render();
    ASSERT_EQ(s.width(), 200);
    ASSERT_EQ(s.height(), 100);
    const Rect box = Rect::ofSize(8, 24, 12, 13);
    EXPECT_EQ(s.countPixels(draw::black), 80);
    EXPECT_EQ(s.countPixels(draw::black, box), 80);
    EXPECT_EQ(s.countPixels(paper), 200 * 100 - 80);
    // A margin of one pixel round the box, the cells' empty top row, ten rows of the two
    // characters' blocks, the descent and the margin again.
    std::string expected = "..............\n..............\n";
    for (int row = 0; row < 10; ++row)
        expected += "..####..####..\n";
    expected += "..............\n..............\n..............\n";
    EXPECT_EQ(s.sketch({7, 23, 21, 38}, paper), expected);

    // Opaque: the box in BackColor behind the text; "&" underlines the H one pixel below the baseline.
    label.setBackStyle(forms::Label::vbOpaque);
    label.setBackColor(draw::oleRgb(0, 0, 255));
    label.setCaption("&Hi");
    s = p.form.render();
    EXPECT_EQ(s.countPixels({0, 0, 255}), 12 * 13 - 86);
    EXPECT_EQ(s.countPixels(draw::black, Rect::ofSize(8, 36, 6, 1)), 6);
    EXPECT_EQ(s.countPixels(draw::black), 86);

    // Disabled text is embossed: grey, with the 3D highlight one pixel right and down.
    label.setEnabled(false);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(draw::black), 0);
    EXPECT_EQ(s.pixel(9, 25), grey);
    EXPECT_EQ(s.pixel(13, 26), draw::white);
}

TEST(FormRender, LinesStackWrapAndAlignInsideTheBox)
{
    Painted p;
    auto& label = p.form.place<forms::Label>("lblBody");
    label.setBackStyle(forms::Label::vbTransparent);
    label.setForeColor(0);
    label.move(0, 0, 24 * 15, 100 * 15);  // 24 px wide: "ab cd" wraps, without AutoSize too
    label.setCaption("ab cd\nlonger");

    const struct {
        int alignment;
        int firstInkColumn;  // of the line "ab" (12 px)
    } cases[] = {{forms::Label::vbLeftJustify, 1}, {forms::Label::vbRightJustify, 13}, {forms::Label::vbCenter, 7}};
    for (const auto& c : cases) {
        label.setAlignment(c.alignment);
        const draw::Surface s = p.form.render();
        EXPECT_EQ(s.pixel(c.firstInkColumn, 1), draw::black) << c.alignment;
        EXPECT_EQ(s.pixel(c.firstInkColumn - 1, 1), paper) << c.alignment;
        // Lines at 13 px steps: "ab", "cd", then "longer" (36 px), whole on its line and cut off
        // at the box's edges: four of its six cells show, whichever they are.
        EXPECT_EQ(s.countPixels(draw::black, {0, 0, 24, 13}), 80) << c.alignment;
        EXPECT_EQ(s.countPixels(draw::black, {0, 13, 24, 26}), 80) << c.alignment;
        EXPECT_EQ(s.countPixels(draw::black, {0, 26, 24, 39}), 160) << c.alignment;
        EXPECT_EQ(s.countPixels(draw::black), 320) << c.alignment;
    }
}

TEST(FormRender, LinesPanelsPicturesAndWhatIsHidden)
{
    Painted p;
    auto& elTop = p.form.place<forms::Panel>("elTop");
    auto& picIcon = p.form.place<forms::PictureBox>("picIcon");
    auto& divLine = p.form.place<forms::Line>("DivLine");
    auto& lblHidden = p.form.place<forms::Label>("lblHidden");
    auto& elBottom = p.form.place<forms::Panel>("elBottom");
    auto& picBack = p.form.place<forms::PictureBox>("picBack");

    const Rgb green{0, 255, 0};
    const Rgb red{255, 0, 0};
    elTop.move(0, 0, 2220, 315);  // 148 x 21 px
    elTop.setBackColor(draw::toOle(green));
    picIcon.setContainer(&elTop);
    picIcon.move(1500, 75, 900, 150);  // (100, 5) in the panel, 60 x 10: cut at the panel's edge
    picIcon.setBackColor(draw::toOle(red));
    divLine.setPoints(120, 900, 2880, 900);  // (8, 60) to (192, 60)
    divLine.setBorderColor(0x808080);
    lblHidden.move(120, 1200, 1500, 195);
    lblHidden.setForeColor(0);
    lblHidden.setCaption("Hidden");
    lblHidden.setVisible(false);
    elBottom.move(0, 1140, 3000, 360);
    elBottom.setVisible(false);
    picBack.setContainer(&elBottom);
    picBack.move(0, 0, 300, 300);
    picBack.setBackColor(draw::oleRgb(0, 0, 255));

    draw::Surface s = p.form.render();
    EXPECT_EQ(s.countPixels(green), 148 * 21 - 48 * 10);
    EXPECT_EQ(s.countPixels(red), 48 * 10);
    EXPECT_EQ(s.countPixels(red, Rect::ofSize(100, 5, 48, 10)), 48 * 10);
    EXPECT_EQ(s.countPixels(grey), 184);
    EXPECT_EQ(s.countPixels(grey, {8, 60, 192, 61}), 184);
    EXPECT_EQ(s.countPixels(draw::black), 0);           // the hidden label
    EXPECT_EQ(s.countPixels({0, 0, 255}), 0);           // inside the hidden panel
    EXPECT_EQ(s.countPixels(paper), 200 * 100 - 148 * 21 - 184);

    // A picture shows at the box's top-left over BackColor.
    draw::Surface arrow(4, 3, Rgb{1, 2, 3});
    picIcon.setPicture(arrow);
    elBottom.setVisible(true);
    s = p.form.render();
    EXPECT_EQ(s.countPixels({1, 2, 3}), 12);
    EXPECT_EQ(s.pixel(100, 5), (Rgb{1, 2, 3}));
    EXPECT_EQ(s.pixel(104, 5), red);
    EXPECT_EQ(s.countPixels({0, 0, 255}), 20 * 20);
    EXPECT_EQ(s.pixel(0, 76), (Rgb{0, 0, 255}));
}

TEST(FormRender, ButtonsAndCheckBoxesInTheClassicLook)
{
    Painted p;
    auto& btnOK = p.form.place<forms::CommandButton>("btnOK");
    auto& chkShow = p.form.place<forms::CheckBox>("chkShow");
    btnOK.move(150, 150, 75 * 15, 23 * 15);  // (10, 10), 75 x 23
    btnOK.setCaption("&OK");
    chkShow.move(150, 750, 100 * 15, 17 * 15);  // (10, 50), 100 x 17
    chkShow.setCaption("Show");

    draw::Surface s = p.form.render();
    EXPECT_EQ(s.pixel(10, 10), draw::white);
    EXPECT_EQ(s.pixel(84, 32), draw::black);
    EXPECT_EQ(s.pixel(83, 31), grey);
    // "OK" centred: 12 px at (41, 15), the O underlined on row 27.
    const Rect face{12, 12, 83, 31};
    EXPECT_EQ(s.countPixels(draw::black, face), 86);
    EXPECT_EQ(s.countPixels(draw::black, Rect::ofSize(41, 15, 12, 13)), 86);
    EXPECT_EQ(s.countPixels(draw::black, Rect::ofSize(41, 27, 6, 1)), 6);

    // The check box's well (9 x 9 inside a 13 px square centred at (10, 52)) is white; checking
    // it puts the 21-pixel mark in.
    const Rect well = Rect::ofSize(12, 54, 9, 9);
    EXPECT_EQ(s.countPixels(draw::white, well), 81);
    EXPECT_EQ(s.countPixels(draw::black, Rect::ofSize(27, 52, 24, 13)), 4 * 40);  // caption after 4 px
    chkShow.setValue(forms::CheckBox::vbChecked);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(draw::black, well), 21);
    chkShow.setEnabled(false);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(grey, well), 21);

    btnOK.setEnabled(false);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(draw::black, face), 0);
}

TEST(FormRender, TheWindowFollowsThePlaceInPixelsAndAPngIsWritten)
{
    World w;
    w.system.setLogPixels(120, 120);  // 12 twips a pixel
    Canvas form(w.host);
    form.move(1200, 2400, 3000, 1500);
    form.Load();
    EXPECT_EQ(w.desktop.getWindowRect(form.hWnd()), (platform::WindowRect{100, 200, 250, 125}));
    form.setWidth(3006);  // 250.5 px: halves go up
    EXPECT_EQ(w.desktop.getWindowRect(form.hWnd()), (platform::WindowRect{100, 200, 251, 125}));

    auto& label = form.place<forms::Label>("lblInbox");
    label.setCaption("Inbox");
    label.move(120, 120, 1200, 240);
    const draw::Surface picture = form.render();
    EXPECT_EQ(picture.width(), 251);
    EXPECT_EQ(picture.height(), 125);

    const auto file = std::filesystem::temp_directory_path() / "qln-forms-render-test.png";
    draw::writePng(picture, file);
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    std::filesystem::remove(file);
    EXPECT_EQ(draw::readPicture(bytes), picture);
}

} // namespace
