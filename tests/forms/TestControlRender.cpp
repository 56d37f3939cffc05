#include <gtest/gtest.h>

#include "FormsTestWorld.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/Frame.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/TextBox.h"

namespace {

using draw::Rect;
using draw::Rgb;
using formstest::Canvas;
using formstest::World;

constexpr Rgb face{192, 192, 192};
constexpr Rgb grey{128, 128, 128};
constexpr Rgb navy{0, 0, 128};
constexpr Rgb white = draw::white;
constexpr Rgb black = draw::black;
// 8 pt fixed cells are 6 x 13 px; each character's ink is a 4 x 10 block, one pixel in.
constexpr int kInk = 40;

// A 200 x 100 pixel form in the 3D face colour, shown.
struct Painted : World {
    Canvas form{host};
    Painted()
    {
        form.move(0, 0, 3000, 1500);
        form.Show();
    }
    template <class C>
    C& at(const char* name, int x, int y, int width, int height)
    {
        C& control = form.place<C>(name);
        control.move(x * 15, y * 15, width * 15, height * 15);
        return control;
    }
};

TEST(ControlRender, TextBoxEdgeTextCaretAndSelection)
{
    Painted p;
    auto& txt = p.at<forms::TextBox>("txtDismissTime", 10, 10, 60, 21);
    txt.setText("90");
    draw::Surface s = p.form.render();
    EXPECT_EQ(s.pixel(10, 10), grey);   // outer edge, top-left
    EXPECT_EQ(s.pixel(11, 11), black);  // inner edge
    EXPECT_EQ(s.pixel(69, 30), white);  // outer edge, bottom-right
    EXPECT_EQ(s.pixel(68, 29), face);
    // Text one pixel inside the 2 px edge: cells at (13, 13).
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(13, 13, 12, 13)), 2 * kInk);
    EXPECT_EQ(s.pixel(14, 14), black);
    EXPECT_EQ(s.pixel(13, 14), white);
    EXPECT_EQ(s.countPixels(white, {12, 12, 68, 29}), 56 * 17 - 2 * kInk);

    // With the focus: the caret bar at the end of the text; the selection in the highlight colours.
    txt.userFocus();
    txt.setSelStart(2);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(25, 13, 1, 13)), 13);
    txt.setSelStart(0);
    txt.setSelLength(1);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(navy, Rect::ofSize(13, 13, 6, 13)), 6 * 13 - kInk);
    EXPECT_EQ(s.countPixels(white, Rect::ofSize(13, 13, 6, 13)), kInk);
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(19, 13, 6, 13)), kInk);

    // Disabled: grey text, no caret or selection, the window colour stays.
    txt.setEnabled(false);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(grey, Rect::ofSize(13, 13, 12, 13)), 2 * kInk);
    EXPECT_EQ(s.countPixels(navy), 0);
}

TEST(ControlRender, OptionButtonWellDotAndCaption)
{
    Painted p;
    auto& opt = p.at<forms::OptionButton>("optFade", 10, 10, 100, 16);
    opt.setCaption("Fade");
    draw::Surface s = p.form.render();
    // The 12 px well sits at (10, 12); its top ring is shaded, its bottom ring lit.
    EXPECT_EQ(s.pixel(14, 12), grey);
    EXPECT_EQ(s.pixel(16, 23), white);
    EXPECT_EQ(s.pixel(12, 13), grey);
    EXPECT_EQ(s.pixel(14, 13), black);
    EXPECT_EQ(s.countPixels(white, Rect::ofSize(12, 14, 8, 6)), 8 * 6 - 6);  // inside, but for the ring's corners
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(26, 12, 24, 13)), 4 * kInk);  // caption 4 px after the well
    opt.setValue(true);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(14, 16, 4, 4)), 12);
    opt.setEnabled(false);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(grey, Rect::ofSize(14, 16, 4, 4)), 12);
    // The well turns to the 3D face (as do the two lit inner-ring pixels in the area).
    EXPECT_EQ(s.countPixels(face, Rect::ofSize(12, 14, 8, 6)), 8 * 6 - 6 - 12 + 2);
}

TEST(ControlRender, ListBoxRowsSelectionAndFocusFrame)
{
    Painted p;
    auto& lst = p.at<forms::ListBox>("lstBList", 10, 10, 100, 34);  // two rows of 13 inside the edge
    for (const char* row : {"ab", "cd", "ef"})
        lst.AddItem(row);
    lst.setListIndex(1);
    draw::Surface s = p.form.render();
    EXPECT_EQ(s.pixel(10, 10), grey);
    // Row 0 at y 12 in black from x 14; row 1 highlighted across the inner width; row 2 cut off.
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(12, 12, 96, 13)), 2 * kInk);
    EXPECT_EQ(s.pixel(15, 13), black);
    EXPECT_EQ(s.countPixels(navy, Rect::ofSize(12, 25, 96, 13)), 96 * 13 - 2 * kInk);
    EXPECT_EQ(s.countPixels(white, Rect::ofSize(14, 25, 12, 13)), 2 * kInk);
    EXPECT_EQ(s.countPixels(navy, {12, 38, 108, 44}), 0);

    // With the focus the selected row gets a dotted frame (inverted: navy becomes (255,255,127)).
    lst.userFocus();
    s = p.form.render();
    EXPECT_GT(s.countPixels({255, 255, 127}, Rect::ofSize(12, 25, 96, 13)), 50);

    lst.setEnabled(false);
    lst.setListIndex(-1);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(grey, Rect::ofSize(12, 12, 96, 26)), 4 * kInk);
}

TEST(ControlRender, FrameEtchedLineBrokenByTheCaption)
{
    Painted p;
    auto& fra = p.at<forms::Frame>("fraAction", 10, 10, 150, 60);
    fra.setCaption("Act");
    draw::Surface s = p.form.render();
    // The etched top line at y 10 + 13 / 2 = 16, grey with white below; the caption at x 18 over it.
    EXPECT_EQ(s.pixel(12, 16), grey);
    EXPECT_EQ(s.pixel(12, 17), white);
    EXPECT_EQ(s.pixel(158, 16), grey);
    EXPECT_EQ(s.pixel(10, 40), grey);
    EXPECT_EQ(s.pixel(11, 40), white);
    EXPECT_EQ(s.pixel(159, 69), white);
    EXPECT_EQ(s.pixel(158, 68), grey);
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(18, 10, 18, 13)), 3 * kInk);
    EXPECT_EQ(s.countPixels(grey, {16, 16, 38, 17}), 0);  // the gap round the caption
    EXPECT_EQ(s.pixel(15, 16), grey);
    EXPECT_EQ(s.pixel(38, 16), grey);
}

TEST(ControlRender, SliderThumbFollowsTheValue)
{
    Painted p;
    auto& sli = p.at<forms::Slider>("sliRate", 0, 0, 124, 42);
    sli.setMax(20);
    // The channel runs from x 12 to 112 at y 12..16; the thumb's centre travels 13..110.
    const auto thumbCentre = [&] {
        const Rect thumb = sli.thumbBounds(Rect::ofSize(0, 0, 124, 42));
        return thumb.left + thumb.width() / 2;
    };
    EXPECT_EQ(thumbCentre(), 13);
    sli.setValue(10);
    EXPECT_EQ(thumbCentre(), 13 + 49);
    sli.setValue(20);
    EXPECT_EQ(thumbCentre(), 13 + 98);

    sli.setValue(10);
    draw::Surface s = p.form.render();
    const Rect thumb = sli.thumbBounds(Rect::ofSize(0, 0, 124, 42));
    EXPECT_EQ(thumb, Rect::ofSize(57, 4, 11, 21));
    EXPECT_EQ(s.pixel(57, 4), white);
    EXPECT_EQ(s.pixel(67, 24), black);
    EXPECT_EQ(s.pixel(62, 14), face);   // the thumb covers the channel
    EXPECT_EQ(s.pixel(20, 12), grey);   // channel outside the thumb
    EXPECT_EQ(s.pixel(20, 14), black);
    // 21 ticks below the thumb, one per step.
    EXPECT_EQ(s.countPixels(black, {0, 27, 124, 31}), 21 * 4);
    sli.setTickFrequency(5);
    s = p.form.render();
    EXPECT_EQ(s.countPixels(black, {0, 27, 124, 31}), 5 * 4);
}

TEST(ControlRender, SliderPointerPositionsRoundTripThroughTheChannel)
{
    Painted p;
    auto& sli = p.at<forms::Slider>("sliTransparencyLevel", 0, 0, 168, 28);
    sli.setMax(50);
    const Rect box = Rect::ofSize(5, 7, 168, 28);  // anywhere on the form
    for (int position = 0; position <= 50; ++position) {
        SCOPED_TRACE(position);
        const draw::Point at = sli.pointOf(position, box);
        EXPECT_EQ(sli.positionAt(at.x, box), position);
        // A pixel to the right still finds it: the steps are nearly three pixels apart.
        EXPECT_EQ(sli.positionAt(at.x + 1, box), position);
    }
    // Beyond the channel's ends the thumb stops at them; pointOf holds a position to the range.
    EXPECT_EQ(sli.positionAt(-100, box), 0);
    EXPECT_EQ(sli.positionAt(1000, box), 50);
    EXPECT_EQ(sli.pointOf(80, box), sli.pointOf(50, box));
    // A range that is one point has nowhere else to go.
    sli.setMax(0);
    EXPECT_EQ(sli.positionAt(100, box), 0);
    sli.setMin(-5);
    sli.setMax(-3);
    EXPECT_EQ(sli.positionAt(box.right, box), -3);
    EXPECT_EQ(sli.positionAt(box.left, box), -5);
}

TEST(ControlRender, TabStripCurrentTabStandsOutAndItsPaneShows)
{
    Painted p;
    auto& tabs = p.at<forms::TabStrip>("TabOne2", 0, 0, 200, 100);
    tabs.setCaption("ab|cd");
    auto& pane = p.form.place<forms::Panel>("paneVisuals");
    pane.setBackColor(draw::oleRgb(0, 255, 0));
    tabs.setTabPane(1, pane);

    draw::Surface s = p.form.render();
    // Tab 0 (current) grows from (2, 2)..(26, 21) to (0, 0)..(28, 22), over the start of tab 1.
    EXPECT_EQ(s.pixel(2, 0), white);
    EXPECT_EQ(s.pixel(27, 2), black);
    EXPECT_EQ(s.pixel(30, 2), white);
    EXPECT_EQ(s.pixel(30, 0), face);
    // The body's top line is broken under the current tab, whole under the other.
    EXPECT_EQ(s.pixel(10, 21), face);
    EXPECT_EQ(s.pixel(40, 21), white);
    EXPECT_EQ(s.countPixels(black, Rect::ofSize(8, 5, 12, 13)), 2 * kInk);
    EXPECT_EQ(s.countPixels({0, 255, 0}), 0);

    tabs.setCurrentTab(1);
    s = p.form.render();
    EXPECT_EQ(s.countPixels({0, 255, 0}), 192 * 71);  // pane (4, 25)..(196, 96)
    EXPECT_EQ(s.pixel(10, 21), white);
}

TEST(ControlRender, ColorPickerSwatch)
{
    Painted p;
    auto& cpk = p.at<forms::ColorPicker>("cpkBackColor", 10, 10, 80, 22);
    cpk.setColor(draw::oleRgb(255, 0, 0));
    draw::Surface s = p.form.render();
    // Swatch from (14, 14) to (70, 28) framed in black; the button (72..88) with a 16-pixel arrow.
    EXPECT_EQ(s.countPixels({255, 0, 0}), 54 * 12);
    EXPECT_EQ(s.pixel(14, 14), black);
    EXPECT_EQ(s.pixel(15, 15), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.countPixels(black, {72, 12, 88, 30}), 16 + 16 + 17);  // arrow, the button's dark edges
    cpk.setColor(draw::systemOleColour(draw::syscolour::Highlight));
    s = p.form.render();
    EXPECT_EQ(s.countPixels(navy), 54 * 12);
}

} // namespace
