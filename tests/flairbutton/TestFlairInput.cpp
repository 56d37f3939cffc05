#include <gtest/gtest.h>

#include "FlairTestWorld.h"
#include "controls/flairbutton/FlairImages.h"

namespace {

using namespace flair;
using flairtest::EventLog;
using flairtest::World;
using Events = std::vector<std::string>;

// A button at (10, 10) on a form at the screen's top-left: screen point = button point + 10.
struct Hover : World {
    FlairButton& b = button(10, 10, 100, 24);
    EventLog log{b};

    void pointerTo(int x, int y) { environment->setCursorPos({x + 10, y + 10}); }
    void moveTo(int x, int y, int buttons = 0)
    {
        pointerTo(x, y);
        b.mouseMove(buttons, 0, x, y);
    }
    void click(int x = 50, int y = 12)
    {
        b.mouseDown(1, 0, x, y);
        b.mouseUp(1, 0, x, y);
    }
    void leave()
    {
        pointerTo(150, 12);
        loop.advance(2);
    }
    int whitePixels() const { return b.image().countPixels(draw::white); }
};

TEST(FlairInput, PointerEntersOnceAndTheTimerNoticesItLeaving)
{
    Hover h;
    h.moveTo(5, 5);
    EXPECT_EQ(h.b.State(), enmButtonStateOver);
    EXPECT_TRUE(h.b.tmr().Enabled());
    EXPECT_EQ(h.b.img().Picture()->image, builtInPicture(h.b.ImageOver()));
    EXPECT_EQ(h.log.take(), (Events{"MouseMove", "MouseEnter", "State1"}));

    h.moveTo(6, 5);
    h.moveTo(7, 5);
    EXPECT_EQ(h.log.take(), (Events{"MouseMove", "MouseMove"}));

    h.loop.advance(5);
    h.pointerTo(100, 24);  // the window's right and bottom edges are inside
    h.loop.advance(5);
    EXPECT_EQ(h.b.State(), enmButtonStateOver);
    EXPECT_TRUE(h.log.take().empty());

    h.pointerTo(101, 5);
    h.loop.advance(1);
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
    EXPECT_FALSE(h.b.tmr().Enabled());
    EXPECT_EQ(h.b.img().Picture()->image, builtInPicture(h.b.Image()));
    EXPECT_EQ(h.log.take(), (Events{"MouseExit", "State0"}));

    h.moveTo(5, 5);
    EXPECT_EQ(h.log.take(), (Events{"MouseMove", "MouseEnter", "State1"}));
}

TEST(FlairInput, MouseEventsCarryTwipsAndOnlyTheLeftButtonPresses)
{
    Hover h;
    h.moveTo(5, 6);
    h.log.take();
    h.b.mouseDown(2, 0, 5, 6);
    h.b.mouseUp(2, 0, 5, 6);
    h.b.mouseDown(3, 0, 5, 6);
    EXPECT_TRUE(h.log.take().empty());
    EXPECT_EQ(h.b.State(), enmButtonStateOver);

    h.b.mouseDown(1, 0, 5, 6);
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,75,90)", "State2"}));
}

TEST(FlairInput, CheckedButtonLatchesOverOneClickAndReleasesOverTheNext)
{
    Hover h;
    h.b.setChecked(true);
    h.moveTo(50, 12);
    h.log.take();
    h.click();
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,750,180)", "State2", "MouseUp(1)", "Click", "State3"}));
    EXPECT_EQ(h.b.State(), enmButtonStatePressed);
    h.click();
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,750,180)", "State4", "MouseUp(1)", "Click", "State1"}));
    EXPECT_EQ(h.b.State(), enmButtonStateOver);
    h.leave();
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
}

TEST(FlairInput, UncheckedClickGoesDownAndBackOver)
{
    Hover h;
    h.b.setStyle(enmButtonStyleXP);
    h.moveTo(50, 12);
    h.log.take();
    h.click();
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,750,180)", "State2", "MouseUp(1)", "Click", "State1"}));
    EXPECT_EQ(h.b.surfaceBackColor(), draw::oleRgb(182, 189, 210));
    EXPECT_FALSE(h.b.CaptionShifted());  // only flat buttons move their parts
}

TEST(FlairInput, FlatButtonMovesItsPartsOnceWhileHeld)
{
    Hover h;
    h.b.setCaptionDetail("F1");
    h.moveTo(50, 12);
    const double lblLeft = h.b.lbl().Left(), lblTop = h.b.lbl().Top();
    const double detailLeft = h.b.lblRight().Left(), imgTop = h.b.img().Top();
    h.b.mouseDown(1, 0, 50, 12);
    EXPECT_TRUE(h.b.CaptionShifted());
    EXPECT_EQ(h.b.lbl().Left(), lblLeft + 15);
    EXPECT_EQ(h.b.lbl().Top(), lblTop + 15);
    EXPECT_EQ(h.b.lblRight().Left(), detailLeft + 15);
    EXPECT_EQ(h.b.img().Top(), imgTop + 15);
    h.b.mouseUp(1, 0, 50, 12);
    EXPECT_FALSE(h.b.CaptionShifted());
    EXPECT_EQ(h.b.lbl().Left(), lblLeft);
    EXPECT_EQ(h.b.img().Top(), imgTop);
}

TEST(FlairInput, LatchedFlatButtonIsSunkenUnderThePointerAndCheckeredAfterIt)
{
    Hover h;
    h.b.setChecked(true);
    h.moveTo(50, 12);
    h.click();
    ASSERT_EQ(h.b.State(), enmButtonStatePressed);
    EXPECT_EQ(h.whitePixels(), 100 + 23);  // the sunken edges' highlight only: bottom row and right column
    EXPECT_TRUE(h.b.CaptionShifted());  // latched buttons stay pushed in
    h.log.take();

    h.leave();
    EXPECT_EQ(h.b.State(), enmButtonStatePressed);
    EXPECT_GT(h.whitePixels(), 123 + 300);
    EXPECT_EQ(h.log.take(), Events{"MouseExit"});  // the state did not change

    h.moveTo(50, 12);
    EXPECT_EQ(h.whitePixels(), 123);  // sunken again, no checkerboard while the pointer is over it
    h.click();
    EXPECT_EQ(h.b.State(), enmButtonStateOver);
    EXPECT_FALSE(h.b.CaptionShifted());
}

TEST(FlairInput, ReleasingOutsideAfterDraggingOutStillClicks)
{
    Hover h;
    h.moveTo(50, 12);
    h.b.mouseDown(1, 0, 50, 12);
    h.log.take();
    h.moveTo(150, 12, 1);
    h.loop.advance(10);  // held down: the timer leaves it alone
    EXPECT_EQ(h.b.State(), enmButtonStateDown);
    h.b.mouseUp(1, 0, 150, 12);
    EXPECT_EQ(h.log.take(), (Events{"MouseMove", "MouseUp(1)", "Click", "State1"}));
    h.loop.advance(1);
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
    EXPECT_EQ(h.log.take(), (Events{"MouseExit", "State0"}));
}

TEST(FlairInput, LockedAndDisabledButtonsIgnoreTheMouse)
{
    Hover h;
    h.b.setLocked(true);
    h.moveTo(50, 12);
    h.click();
    EXPECT_TRUE(h.log.take().empty());
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
    EXPECT_FALSE(h.b.tmr().Enabled());

    h.b.setLocked(false);
    h.b.setState(enmButtonStateDisabled);
    h.log.take();
    h.moveTo(50, 12);
    h.click();
    EXPECT_TRUE(h.log.take().empty());
    EXPECT_EQ(h.b.State(), enmButtonStateDisabled);
}

TEST(FlairInput, ButtonDisabledByItsClickStaysDisabledWhenThePointerLeaves)
{
    Hover h;
    h.b.Click = [&] { h.b.setState(enmButtonStateDisabled); };
    h.moveTo(50, 12);
    h.click();
    ASSERT_EQ(h.b.State(), enmButtonStateDisabled);
    h.log.take();
    h.leave();
    EXPECT_EQ(h.b.State(), enmButtonStateDisabled);
    EXPECT_TRUE(h.b.Locked());
    EXPECT_EQ(h.b.lbl().ForeColor(), 0x80000011u);
    EXPECT_EQ(h.b.img().Picture()->image, builtInPicture(h.b.ImageDisabled()));
    EXPECT_EQ(h.log.take(), Events{"MouseExit"});
    EXPECT_FALSE(h.b.tmr().Enabled());
}

TEST(FlairInput, SeparatorOnlyReportsMoves)
{
    Hover h;
    h.b.setStyle(enmButtonStyleSeperator);
    h.log.take();
    h.moveTo(1, 5);
    EXPECT_EQ(h.log.take(), Events{"MouseMove"});
    EXPECT_FALSE(h.b.tmr().Enabled());
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
}

TEST(FlairInput, HyperlinkUnderlinesItsCaptionOnlyUnderThePointer)
{
    Hover h;
    h.b.setStyle(enmButtonStyleHyperlink);
    h.b.setCaption("Home page");
    h.b.setCaptionDetail("x");
    const draw::Surface before = h.b.image();
    h.moveTo(50, 12);
    EXPECT_TRUE(h.b.lbl().FontUnderline());
    EXPECT_FALSE(h.b.lblRight().FontUnderline());
    EXPECT_EQ(h.b.image(), before);  // no edges, no fill: the underline is all
    h.leave();
    EXPECT_FALSE(h.b.lbl().FontUnderline());
    EXPECT_EQ(h.b.State(), enmButtonStateNormal);
}

} // namespace
