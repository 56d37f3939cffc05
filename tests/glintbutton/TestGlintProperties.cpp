#include <gtest/gtest.h>

#include <functional>

#include "GlintTestWorld.h"
#include "platform/Failure.h"

namespace {

using namespace glint;
using glinttest::EventLog;
using glinttest::framedPicture;
using glinttest::World;

constexpr draw::Rgb magenta{255, 0, 255};
constexpr draw::Rgb green{0, 160, 0};

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

// Each PropertyChanged the site hears.
struct Notes {
    std::vector<std::string> names;
    explicit Notes(GlintButton& b)
    {
        b.site().onPropertyChanged = [this](const std::string& name) { names.push_back(name); };
    }
};

TEST(GlintProperties, FirstInitialisationGivesTheDocumentedValues)
{
    World w;
    auto& b = w.form.place<GlintButton>("btnOpen");
    EXPECT_EQ(b.VisualState(), StateDown);  // until Enabled is assigned
    b.InitProperties();

    EXPECT_EQ(b.Appearance(), bt3D);
    EXPECT_TRUE(b.AutoMask());
    EXPECT_TRUE(b.AutoSize());
    EXPECT_EQ(b.BackColor(), 0x8000000Fu);
    EXPECT_EQ(b.BackStyle(), btTransparent);
    EXPECT_EQ(b.BorderColor(), 0u);
    EXPECT_EQ(b.Caption(), "btnOpen");
    EXPECT_EQ(b.CaptionAlignHorz(), AlignMiddle);
    EXPECT_EQ(b.CaptionAlignVert(), AlignCenter);
    EXPECT_TRUE(b.Enabled());
    EXPECT_EQ(b.ForeColor(), 0x80000012u);
    EXPECT_EQ(b.HighlightColor(), 0x80000012u);
    EXPECT_EQ(b.MaskColor(), 0u);
    EXPECT_EQ(b.Style(), Default);
    EXPECT_EQ(b.Value(), Up);
    EXPECT_TRUE(b.ShowFocus());
    EXPECT_EQ(b.Width(), 1215);
    EXPECT_EQ(b.Height(), 495);
    EXPECT_EQ(b.VisualState(), StateUp);
    EXPECT_TRUE(b.RunMode());
    EXPECT_EQ(b.FontName(), "MS Sans Serif");
    // Button face gives the three shades of the classic bevel.
    EXPECT_EQ(b.ShadeLight(), draw::white);
    EXPECT_EQ(b.ShadeDark(), (draw::Rgb{128, 128, 128}));
    EXPECT_EQ(b.ShadeDarkest(), (draw::Rgb{64, 64, 64}));
}

// A site whose container cannot answer its ambient queries.
class MuteSite : public forms::ControlSite {
public:
    using ControlSite::ControlSite;
    bool userMode() override { throw platform::Failure("no ambient"); }
    std::string extenderName() override { throw platform::Failure("no extender"); }
};

TEST(GlintProperties, AmbientFailuresFallBack)
{
    World w;
    auto& b = w.form.place<GlintButton>("btnOpen");
    b.setSite(std::make_unique<MuteSite>(b));
    b.InitProperties();
    EXPECT_TRUE(b.RunMode());
    EXPECT_EQ(b.Caption(), "GlintButton");

    auto& designed = w.form.place<GlintButton>("btnDesign");
    designed.site().setUserMode(false);
    designed.InitProperties();
    EXPECT_FALSE(designed.RunMode());
}

TEST(GlintProperties, ShadesRoundToMultiplesOf64WithHalvesToEven)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setBackColor(draw::oleRgb(96, 100, 250));
    // 96 + 64 = 160 is 2.5 × 64: even 2 gives 128; 96 - 64 = 32 is 0.5 × 64: 0.
    EXPECT_EQ(b.ShadeLight(), (draw::Rgb{128, 192, 255}));
    EXPECT_EQ(b.ShadeDark(), (draw::Rgb{0, 64, 192}));
    EXPECT_EQ(b.ShadeDarkest(), (draw::Rgb{0, 0, 128}));
}

TEST(GlintProperties, EnumeratedValuesOutOfRangeAreRefusedWith380)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setAppearance(btXP);
    b.setStyle(Toggle);
    b.setValue(Down);
    Notes notes(b);
    const struct {
        const char* what;
        std::function<void()> assign;
    } cases[] = {
        {"Appearance 5", [&] { b.setAppearance(5); }},       {"Appearance -1", [&] { b.setAppearance(-1); }},
        {"BackStyle 2", [&] { b.setBackStyle(2); }},         {"CaptionAlignHorz 3", [&] { b.setCaptionAlignHorz(3); }},
        {"CaptionAlignVert -1", [&] { b.setCaptionAlignVert(-1); }},
        {"Style 2", [&] { b.setStyle(2); }},                 {"Value 2", [&] { b.setValue(2); }},
        {"FontSize 0", [&] { b.setFontSize(0); }},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.assign), 380) << c.what;
    EXPECT_EQ(b.Appearance(), btXP);
    EXPECT_EQ(b.BackStyle(), btTransparent);
    EXPECT_EQ(b.CaptionAlignHorz(), AlignMiddle);
    EXPECT_EQ(b.CaptionAlignVert(), AlignCenter);
    EXPECT_EQ(b.Style(), Toggle);
    EXPECT_EQ(b.Value(), Down);
    EXPECT_EQ(b.FontSize(), 8.0);
    EXPECT_TRUE(notes.names.empty());
}

TEST(GlintProperties, AssignmentsRepaintAndNotifyOnlyWhereTheyShould)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    Notes notes(b);
    const struct {
        const char* name;
        std::function<void()> assign;
        int notifications;  // assigning the same value twice
        int repaints;
    } cases[] = {
        {"Appearance", [&] { b.setAppearance(btXP); }, 1, 1},
        {"BorderColor", [&] { b.setBorderColor(0xFF); }, 1, 1},
        {"CaptionOffsetX", [&] { b.setCaptionOffsetX(2); }, 1, 1},
        {"HighlightColor", [&] { b.setHighlightColor(0xFF); }, 1, 1},
        {"ShowFocus", [&] { b.setShowFocus(false); }, 1, 1},
        {"Style", [&] { b.setStyle(Toggle); }, 1, 1},
        {"WhatsThisHelpID", [&] { b.setWhatsThisHelpID(7); }, 1, 0},
        {"ForeColor", [&] { b.setForeColor(0xFF0000); }, 1, 1},
        {"BackColor", [&] { b.setBackColor(0xFF0000); }, 2, 2},
        {"BackStyle", [&] { b.setBackStyle(btOpaque); }, 2, 2},
        {"Enabled", [&] { b.setEnabled(true); }, 2, 2},
        {"MaskColor", [&] { b.setMaskColor(5); }, 2, 2},
        {"RightToLeft", [&] { b.setRightToLeft(true); }, 2, 2},
        {"MousePointer", [&] { b.setMousePointer(2); }, 2, 0},
        {"MouseIcon", [&] { b.setMouseIcon(nullptr); }, 2, 0},
        {"Caption", [&] { b.setCaption("Go"); }, 1, 1},
        {"CaptionAlignVert", [&] { b.setCaptionAlignVert(AlignTop); }, 1, 1},
        {"Font", [&] { b.setFontBold(true); }, 1, 1},
    };
    for (const auto& c : cases) {
        notes.names.clear();
        const int before = b.refreshCount();
        c.assign();
        c.assign();
        EXPECT_EQ(notes.names.size(), static_cast<std::size_t>(c.notifications)) << c.name;
        for (const std::string& name : notes.names)
            EXPECT_EQ(name, c.name);
        EXPECT_EQ(b.refreshCount() - before, c.repaints) << c.name;
    }
    // Not an object: ignored.
    notes.names.clear();
    b.setFont(nullptr);
    EXPECT_TRUE(notes.names.empty());
}

TEST(GlintProperties, ValueDownClicksEveryTimeButStoresOnce)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    EventLog log(b);
    Notes notes(b);
    const int before = b.refreshCount();
    b.setValue(Down);
    b.setValue(Down);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"Click", "Click"}));
    EXPECT_EQ(notes.names, std::vector<std::string>{"Value"});
    EXPECT_EQ(b.refreshCount(), before);  // Style Default: no repaint
    b.setValue(Up);
    EXPECT_TRUE(log.take().empty());
    b.setStyle(Toggle);
    const int toggled = b.refreshCount();
    b.setValue(Down);
    EXPECT_EQ(b.refreshCount(), toggled + 1);
    EXPECT_EQ(b.VisualState(), StateDown);
}

TEST(GlintProperties, CaptionSetsTheAccessKey)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    const struct {
        const char* caption;
        const char* key;
    } cases[] = {
        {"&Open", "O"},
        {"Save && &Close", "C"},
        {"Plain", "C"},  // no ampersand: the key stays
        {"Trailing &", ""},
        {"&&Both", ""},  // only a doubled one: the key stays
        {"a&&&b", "b"},
        {"&\u00d6ffnen", "\u00d6"},  // the whole character, not its first byte
        {"\u958b&\u304f", "\u304f"},
    };
    for (const auto& c : cases) {
        b.setCaption(c.caption);
        EXPECT_EQ(b.AccessKeys(), c.key) << c.caption;
    }
}

TEST(GlintProperties, SkinsSwitchTheAppearance)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    Notes notes(b);
    const forms::PictureRef up = framedPicture(20, 16, draw::white, magenta);

    b.setSkinUp(up);
    EXPECT_EQ(b.Appearance(), btSkin);
    b.setSkinUp(nullptr);
    EXPECT_EQ(b.Appearance(), bt3D);
    // The switches are not the user's assignments: no Appearance notification.
    EXPECT_EQ(notes.names, (std::vector<std::string>{"SkinUp", "SkinUp"}));

    // With a skin already there, another leaves the chosen look alone, and so does taking one of two away.
    b.setSkinOver(up);
    b.setAppearance(btXP);
    b.setSkinDown(up);
    EXPECT_EQ(b.Appearance(), btXP);
    b.setSkinDown(nullptr);
    EXPECT_EQ(b.Appearance(), btXP);
    // The last one away: only a skinned look falls back to 3D.
    b.setSkinOver(nullptr);
    EXPECT_EQ(b.Appearance(), btXP);
}

TEST(GlintProperties, AutoMaskAndMaskColorFollowTheSkinsCorner)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setSkinUp(framedPicture(20, 16, draw::white, magenta));
    // AutoMask on: the mask colour is the painted skin's corner.
    EXPECT_EQ(b.MaskColor(), draw::toOle(magenta));
    b.setMaskColor(draw::toOle(magenta));
    EXPECT_TRUE(b.AutoMask());
    b.setMaskColor(draw::toOle(green));
    EXPECT_FALSE(b.AutoMask());
    EXPECT_EQ(b.MaskColor(), draw::toOle(green));
    b.setAutoMask(true);
    EXPECT_EQ(b.MaskColor(), draw::toOle(magenta));
}

TEST(GlintProperties, ASurfaceWithoutPixelsKeepsTheMaskColour)
{
    World w;
    auto& b = w.button(0, 0, 0, 0);
    b.setAutoSize(false);
    b.setMaskColor(draw::toOle(green));
    b.setAutoMask(true);
    b.setSkinUp(framedPicture(20, 16, draw::white, magenta));
    // No top-left pixel to read: the mask colour stays a colour rather than GetPixel's failure value.
    EXPECT_EQ(b.MaskColor(), draw::toOle(green));
}

TEST(GlintProperties, AutoSizeTurnsHimetricIntoTwips)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    b.setAutoSize(false);
    b.setSkinUp(forms::makePicture(draw::Surface(67, 33, magenta), 1764, 882));
    EXPECT_EQ(b.Width(), 75 * 15);
    b.setAutoSize(true);
    EXPECT_NEAR(b.Width(), 1002.2727, 1e-3);
    EXPECT_NEAR(b.Height(), 501.1364, 1e-3);
    EXPECT_EQ(b.scaleWidth(), 67);
    EXPECT_EQ(b.scaleHeight(), 33);
}

TEST(GlintProperties, SkinPathsLoadLaterThroughTheLoop)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    const forms::PictureRef up = framedPicture(20, 16, draw::white, magenta);
    w.environment->addPicture("C:\\Skins\\Up.bmp", up);
    Notes notes(b);

    b.setSkinUpPath("c:\\skins\\up.bmp");
    EXPECT_EQ(notes.names, std::vector<std::string>{"SkinUpPath"});
    EXPECT_FALSE(b.SkinUp());
    w.loop.runPending();
    EXPECT_EQ(b.SkinUp(), up);
    EXPECT_EQ(b.Appearance(), btSkin);

    // The same path again with the picture loaded: nothing; a path that does not load: the skin stays.
    const int loads = w.environment->loadCount();
    b.setSkinUpPath("c:\\skins\\up.bmp");
    w.loop.runPending();
    EXPECT_EQ(w.environment->loadCount(), loads);
    b.setSkinUpPath("c:\\skins\\missing.bmp");
    w.loop.runPending();
    EXPECT_EQ(b.SkinUp(), up);
    EXPECT_EQ(b.SkinUpPath(), "c:\\skins\\missing.bmp");

    // A result for a name that is no skin path is dropped.
    b.AsyncReadComplete({"Picture", [up] { return up; }});
    EXPECT_FALSE(b.SkinOver());
    b.AsyncReadComplete({"SkinOverPath", [up] { return up; }});
    EXPECT_EQ(b.SkinOver(), up);
}

TEST(GlintProperties, AReadCompletingAfterTheSiteIsGoneIsDropped)
{
    World w;
    auto& b = w.button(0, 0, 75, 23);
    w.environment->addPicture("up.bmp", framedPicture(20, 16, draw::white, magenta));
    b.setSkinUpPath("up.bmp");
    b.setSite(std::make_unique<forms::ControlSite>(b));  // the old site, and its read, go
    w.loop.runPending();
    EXPECT_FALSE(b.SkinUp());
}

TEST(GlintPersistence, SavedPropertiesComeBack)
{
    World w;
    auto& a = w.button(0, 0, 75, 23, "btnA");
    a.setAppearance(btXP);
    a.setAutoSize(false);
    a.setBackColor(0x123456);
    a.setBackStyle(btOpaque);
    a.setBorderColor(0xFF);
    a.setCaption("&Reply");
    a.setCaptionAlignHorz(AlignRight);
    a.setCaptionAlignVert(AlignBottom);
    a.setCaptionOffsetX(2);
    a.setCaptionOffsetY(-1);
    a.setForeColor(0x00FF00);
    a.setFontBold(true);
    a.setFontSize(10);
    a.setHighlightColor(0xFF00FF);
    a.setMousePointer(99);
    a.setRightToLeft(true);
    a.setShowFocus(false);
    a.setStyle(Toggle);
    a.setWhatsThisHelpID(12);
    a.setSkinOverPath("over.bmp");
    a.setEnabled(false);

    forms::PropertyBag bag;
    a.WriteProperties(bag);
    auto& b = w.form.place<GlintButton>("btnB");
    b.ReadProperties(bag);

    EXPECT_EQ(b.Appearance(), btXP);
    EXPECT_FALSE(b.AutoSize());
    EXPECT_EQ(b.BackColor(), 0x123456u);
    EXPECT_EQ(b.BackStyle(), btOpaque);
    EXPECT_EQ(b.BorderColor(), 0xFFu);
    EXPECT_EQ(b.Caption(), "&Reply");
    EXPECT_EQ(b.AccessKeys(), "R");
    EXPECT_EQ(b.CaptionAlignHorz(), AlignRight);
    EXPECT_EQ(b.CaptionAlignVert(), AlignBottom);
    EXPECT_EQ(b.CaptionOffsetX(), 2);
    EXPECT_EQ(b.CaptionOffsetY(), -1);
    EXPECT_EQ(b.ForeColor(), 0x00FF00u);
    EXPECT_TRUE(b.FontBold());
    EXPECT_EQ(b.FontSize(), 10.0);
    EXPECT_NE(b.Font(), a.Font());  // a font of its own
    EXPECT_EQ(b.HighlightColor(), 0xFF00FFu);
    EXPECT_EQ(b.MousePointer(), 99);
    EXPECT_TRUE(b.RightToLeft());
    EXPECT_FALSE(b.ShowFocus());
    EXPECT_EQ(b.Style(), Toggle);
    EXPECT_EQ(b.WhatsThisHelpID(), 12);
    EXPECT_EQ(b.SkinOverPath(), "over.bmp");
    EXPECT_FALSE(b.Enabled());

    // What equals its default is not saved: a new instance saves its name and nothing else.
    auto& fresh = w.button(0, 0, 75, 23, "btnFresh");
    forms::PropertyBag small;
    fresh.WriteProperties(small);
    EXPECT_EQ(small.names(), std::vector<std::string>{"Caption"});
}

TEST(GlintPersistence, LoadingOrderHasVisibleEffects)
{
    World w;
    // The popup's stored form data: lower-case names, a skin, AutoMask off by a differing mask colour.
    forms::PropertyBag bag;
    bag.set("appearance", std::int32_t{btXP});
    bag.set("caption", std::string(""));
    bag.set("skinup", framedPicture(20, 16, draw::white, magenta));
    bag.set("maskcolor", static_cast<std::int32_t>(draw::toOle(green)));
    bag.set("value", std::int32_t{Down});

    auto& b = w.form.place<GlintButton>("btnReply");
    EventLog log(b);
    b.ReadProperties(bag);
    EXPECT_EQ(b.Appearance(), btSkin);  // the stored skin wins over the stored look
    EXPECT_FALSE(b.AutoMask());
    EXPECT_EQ(b.MaskColor(), draw::toOle(green));
    EXPECT_EQ(b.Value(), Down);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"Resize", "Click"}));  // sized to the skin, then Value
    EXPECT_EQ(b.scaleWidth(), 20);

    // The same mask colour as the painted corner leaves AutoMask on.
    bag.set("maskcolor", static_cast<std::int32_t>(draw::toOle(magenta)));
    auto& c = w.form.place<GlintButton>("btnForward");
    c.ReadProperties(bag);
    EXPECT_TRUE(c.AutoMask());
}

TEST(GlintPersistence, ARefusedStoredValueEndsTheLoading)
{
    World w;
    forms::PropertyBag bag;
    bag.set("Caption", std::string("Stored"));
    bag.set("CaptionOffsetX", std::int32_t{3});
    bag.set("BackStyle", std::int32_t{9});

    auto& b = w.form.place<GlintButton>("btnClose");
    EXPECT_EQ(errorOf([&] { b.ReadProperties(bag); }), 380);
    // Everything after BackStyle keeps its creation value.
    EXPECT_EQ(b.Caption(), "");
    EXPECT_EQ(b.CaptionOffsetX(), 0);
    EXPECT_EQ(b.VisualState(), StateDown);
}

} // namespace

namespace {

// Stored numbers at the edges of 32 bits, as another version of a form might hold them.
constexpr std::int32_t kStoredEdges[] = {0, 1, -1, INT32_MAX, INT32_MIN};

} // namespace

TEST(GlintPersistence, StoredNumbersAtTheirEdgesLoadPaintAndClickWithoutHarm)
{
    for (const char* property : {"CaptionOffsetX", "CaptionOffsetY", "BackColor", "ForeColor", "BorderColor",
                                 "HighlightColor", "MaskColor", "MousePointer", "WhatsThisHelpID", "Value",
                                 "Appearance", "BackStyle", "Style", "CaptionAlignHorz", "CaptionAlignVert"}) {
        for (const std::int32_t number : kStoredEdges) {
            SCOPED_TRACE(std::string(property) + " " + std::to_string(number));
            World w;
            forms::PropertyBag bag;
            bag.writeString("Caption", "&Reply", "");
            bag.writeLong(property, number, number == 0 ? 1 : 0);
            auto& b = w.form.place<GlintButton>("btnStored");
            b.site().setEnvironment(w.environment);
            b.move(0, 0, 75 * 15.0, 23 * 15.0);
            // An enumerated value out of its range is refused with 380 and ends the loading; any
            // other stored number is taken.
            const int error = errorOf([&] { b.ReadProperties(bag); });
            EXPECT_TRUE(error == 0 || error == 380) << error;
            b.Refresh();
            b.mouseMove(0, 0, 10, 10);
            b.mouseDown(1, 0, 10, 10);
            b.mouseUp(1, 0, 10, 10);
            w.loop.advance(200);
            EXPECT_EQ(b.image().width(), 75);
        }
    }
}
