#include <gtest/gtest.h>

#include "GlintTestWorld.h"
#include "platform/Failure.h"

namespace {

using namespace glint;
using glinttest::EventLog;
using glinttest::framedPicture;
using glinttest::World;
using Events = std::vector<std::string>;

constexpr draw::Rgb magenta{255, 0, 255};

// A button at (10, 10) on a form at the screen's top-left: screen point = button point + 10.
struct Hover : World {
    GlintButton& b = button(10, 10, 75, 23);
    EventLog log{b};
    void pointerTo(int x, int y) { environment->setCursorPos({x + 10, y + 10}); }
};

TEST(GlintInput, HoverStartsTheTimerThenShowsAndEndsWhenThePointerLeaves)
{
    Hover h;
    h.b.mouseMove(0, 0, 5, 5);
    EXPECT_TRUE(h.b.tmrOverTimer().Enabled());
    EXPECT_EQ(h.b.VisualState(), StateUp);  // the first move only starts the watch
    EXPECT_EQ(h.log.take(), (Events{"MouseEnter", "MouseMove"}));

    h.b.mouseMove(0, 0, 6, 5);
    h.b.mouseMove(0, 0, 7, 5);
    EXPECT_EQ(h.b.VisualState(), StateOver);
    EXPECT_EQ(h.log.take(), (Events{"MouseMove", "MouseMove"}));  // one MouseEnter per entry

    h.loop.advance(55);  // still inside, right edge included
    h.pointerTo(75, 23);
    h.loop.advance(55);
    EXPECT_EQ(h.b.VisualState(), StateOver);
    EXPECT_TRUE(h.log.take().empty());

    h.pointerTo(80, 5);
    h.loop.advance(55);
    EXPECT_FALSE(h.b.tmrOverTimer().Enabled());
    EXPECT_EQ(h.b.VisualState(), StateUp);
    EXPECT_EQ(h.log.take(), Events{"MouseExit"});
    h.loop.advance(500);
    EXPECT_TRUE(h.log.take().empty());

    h.b.mouseMove(0, 0, 5, 5);
    EXPECT_EQ(h.log.take(), (Events{"MouseEnter", "MouseMove"}));
}

TEST(GlintInput, PressDragOutAndReleaseOutsideStillClicks)
{
    Hover h;
    h.b.mouseMove(0, 0, 5, 5);
    h.b.mouseMove(0, 0, 5, 5);
    h.b.mouseDown(1, 0, 5, 6);
    EXPECT_EQ(h.b.VisualState(), StateDown);
    h.b.mouseMove(1, 0, 100, 5);  // outside: nothing at all
    EXPECT_EQ(h.b.VisualState(), StateDown);
    h.loop.advance(55);
    EXPECT_EQ(h.b.VisualState(), StateUp);
    h.b.mouseUp(1, 0, 100, 5);
    EXPECT_EQ(h.log.take(), (Events{"MouseEnter", "MouseMove", "MouseMove", "MouseDown(1,75,90)", "MouseExit",
                                     "Click", "MouseUp(1)"}));
    EXPECT_EQ(h.b.VisualState(), StateUp);
}

TEST(GlintInput, MovingBackInWithTheLeftButtonHeldShowsItDown)
{
    Hover h;
    h.b.mouseMove(0, 0, 5, 5);
    h.b.mouseDown(1, 0, 5, 5);
    h.pointerTo(100, 5);
    h.loop.advance(55);
    ASSERT_EQ(h.b.VisualState(), StateUp);
    h.b.mouseMove(1, 0, 5, 5);  // restarts the watch only
    EXPECT_EQ(h.b.VisualState(), StateUp);
    h.b.mouseMove(1, 0, 5, 5);
    EXPECT_EQ(h.b.VisualState(), StateDown);
    h.b.mouseMove(3, 0, 5, 5);  // left and right: the look stays as it is
    EXPECT_EQ(h.b.VisualState(), StateDown);
}

TEST(GlintInput, OnlyTheLeftButtonAlonePresses)
{
    Hover h;
    for (int button : {2, 4, 3}) {
        h.b.mouseDown(button, 0, 5, 5);
        EXPECT_EQ(h.b.VisualState(), StateUp) << button;
        h.b.mouseUp(button, 0, 5, 5);
    }
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(2,75,75)", "MouseUp(2)", "MouseDown(4,75,75)", "MouseUp(4)",
                                     "MouseDown(3,75,75)", "MouseUp(3)"}));
}

TEST(GlintInput, TransparentSkinIsHoveredOnlyOverItsVisiblePixels)
{
    Hover h;
    h.b.setSkinUp(framedPicture(20, 16, draw::white, magenta));
    EXPECT_EQ(h.log.take(), Events{"Resize"});  // sized to the skin
    h.b.mouseMove(0, 0, 0, 0);  // mask colour
    EXPECT_FALSE(h.b.tmrOverTimer().Enabled());
    EXPECT_TRUE(h.log.take().empty());

    h.b.mouseMove(0, 0, 5, 5);
    EXPECT_TRUE(h.b.tmrOverTimer().Enabled());
    h.b.mouseMove(0, 0, 5, 5);
    EXPECT_EQ(h.b.VisualState(), StateOver);
    // The pointer on a mask pixel inside the rectangle has left the button.
    h.pointerTo(19, 8);
    h.loop.advance(55);
    EXPECT_EQ(h.b.VisualState(), StateUp);
    EXPECT_EQ(h.log.take(), (Events{"MouseEnter", "MouseMove", "MouseMove", "MouseExit"}));

    // Opaque, the whole rectangle counts.
    h.b.setBackStyle(btOpaque);
    h.b.mouseMove(0, 0, 0, 0);
    EXPECT_TRUE(h.b.tmrOverTimer().Enabled());
}

TEST(GlintInput, DisablingWhileHoveredStopsTheTimerWithoutMouseExit)
{
    Hover h;
    h.b.mouseMove(0, 0, 5, 5);
    h.b.setEnabled(false);
    h.pointerTo(100, 100);
    h.loop.advance(55);
    EXPECT_FALSE(h.b.tmrOverTimer().Enabled());
    EXPECT_EQ(h.log.take(), (Events{"MouseEnter", "MouseMove"}));
    EXPECT_EQ(h.b.LastHoverEvent(), "MouseEnter");
    EXPECT_EQ(h.b.VisualState(), StateDisabled);
}

TEST(GlintInput, AtDesignTimeHoverShowsAtOnceAndNeverExits)
{
    World w;
    auto& b = w.form.place<GlintButton>("btnDesign");
    b.site().setEnvironment(w.environment);
    b.site().setUserMode(false);
    b.InitProperties();
    b.move(0, 0, 75 * 15, 23 * 15);
    EventLog log(b);
    b.mouseMove(0, 0, 5, 5);
    EXPECT_EQ(b.VisualState(), StateOver);
    EXPECT_FALSE(b.tmrOverTimer().Enabled());
    b.keyPress(32);
    EXPECT_EQ(log.take(), (Events{"MouseEnter", "MouseMove", "KeyPress(32)"}));
}

TEST(GlintInput, KeysAccessKeysAndFocus)
{
    Hover h;
    h.b.keyDown(13, 1);
    h.b.keyPress(32);
    h.b.keyPress(65);
    h.b.keyUp(13, 1);
    h.b.accessKeyPress("O");
    EXPECT_EQ(h.log.take(),
              (Events{"KeyDown(13,1)", "Click", "KeyPress(32)", "KeyPress(65)", "KeyUp(13)", "Click"}));
    EXPECT_EQ(h.b.VisualState(), StateUp);

    h.b.gotFocus();
    EXPECT_TRUE(h.b.HasFocus());
    h.b.lostFocus();
    EXPECT_FALSE(h.b.HasFocus());
    h.b.site().setDisplayAsDefault(true);
    EXPECT_TRUE(h.b.HasFocus());
    h.b.site().setDisplayAsDefault(false);
    EXPECT_FALSE(h.b.HasFocus());
    h.b.ambientChanged("BackColor");
    EXPECT_FALSE(h.b.HasFocus());

    // Disabled, the control gets no input at all.
    h.b.setEnabled(false);
    h.b.keyPress(32);
    h.b.mouseDown(1, 0, 5, 5);
    EXPECT_TRUE(h.log.take().empty());
}

// A container that cannot tell whether it shows the control as its default button.
class VagueSite : public forms::ControlSite {
public:
    using ControlSite::ControlSite;
    bool displayAsDefault() override { throw platform::Failure("no ambient"); }
};

TEST(GlintInput, AnUnreadableDisplayAsDefaultCountsAsTrue)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setSite(std::make_unique<VagueSite>(b));
    b.ambientChanged("DisplayAsDefault");
    EXPECT_TRUE(b.HasFocus());
}

TEST(GlintInput, ToggleStyleFollowsValue)
{
    Hover h;
    h.b.setStyle(Toggle);
    // Up: press draws it down and stores Down; it stays down after the release.
    h.b.mouseDown(1, 0, 5, 5);
    EXPECT_EQ(h.b.Value(), Down);
    EXPECT_EQ(h.b.VisualState(), StateDown);
    h.b.mouseUp(1, 0, 5, 5);
    EXPECT_EQ(h.b.VisualState(), StateDown);
    // Down: press draws it up at once.
    h.b.mouseDown(1, 0, 5, 5);
    EXPECT_EQ(h.b.Value(), Up);
    EXPECT_EQ(h.b.VisualState(), StateUp);
    h.b.mouseUp(1, 0, 5, 5);
    EXPECT_EQ(h.b.VisualState(), StateUp);
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,75,75)", "Click", "MouseUp(1)", "MouseDown(1,75,75)", "Click",
                                     "MouseUp(1)"}));

    // Default style: Value flips with what the press finds drawn.
    h.b.setStyle(Default);
    h.b.mouseDown(1, 0, 5, 5);
    EXPECT_EQ(h.b.Value(), Down);
    h.b.mouseDown(1, 0, 5, 5);
    EXPECT_EQ(h.b.Value(), Up);
    h.b.mouseUp(1, 0, 5, 5);
    EXPECT_EQ(h.b.VisualState(), StateUp);
}

TEST(GlintInput, AUserClickPressesAndReleasesAtTheCentre)
{
    Hover h;
    h.b.userClick();
    EXPECT_EQ(h.log.take(), (Events{"MouseDown(1,555,165)", "Click", "MouseUp(1)"}));
    EXPECT_EQ(h.b.VisualState(), StateUp);
}

TEST(GlintInput, MousePositionsAreReportedInTwipsOfTheScreen)
{
    World w;
    w.system.setDpi(120);
    auto& b = w.button(0, 0, 75, 23);
    EventLog log(b);
    b.mouseDown(2, 0, 10, 4);
    EXPECT_EQ(log.take(), Events{"MouseDown(2,120,48)"});
}

} // namespace
