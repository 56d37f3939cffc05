#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FlairTestWorld.h"
#include "controls/flairbutton/FlairImages.h"
#include "platform/Failure.h"

namespace {

using namespace flair;
using flairtest::EventLog;
using flairtest::paperOle;
using flairtest::World;
using Events = std::vector<std::string>;

constexpr draw::OleColour kButtonFace = 0x8000000F;
constexpr draw::OleColour kButtonText = 0x80000012;
constexpr draw::OleColour kHighlight = 0x8000000D;
constexpr draw::OleColour kGrayText = 0x80000011;

forms::ImageListRef userList(const std::string& tag, int side = 20)
{
    auto list = std::make_shared<forms::ImageList>();
    list->setTag(tag);
    for (int i = 0; i < 3; ++i)
        list->add(forms::makePicture(draw::Surface(side, side, draw::Rgb{static_cast<std::uint8_t>(10 * i), 200, 0})));
    return list;
}

int errorNumber(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

struct Notified {
    std::vector<std::string> names;
    explicit Notified(FlairButton& b)
    {
        b.site().onPropertyChanged = [this](const std::string& name) { names.push_back(name); };
    }
};

TEST(FlairProperties, EnumerationsKeepTheirNamesAndValues)
{
    EXPECT_EQ(enmButtonStyleSeperator, 2);
    EXPECT_EQ(enmButtonStyleHyperlink, 3);
    EXPECT_EQ(enmButtonStateUnPressed, 4);
    EXPECT_EQ(enmButtonStateDisabled, 5);
    EXPECT_EQ(enmButtonImageCloseHighlight, 30);
    EXPECT_EQ(enmButtonImageRed1, 31);
    EXPECT_EQ(enmButtonImageRed0, 40);
    EXPECT_EQ(enmButtonImageStart, 41);
    EXPECT_EQ(enmButtonImageEndHighlight, 48);
}

TEST(FlairProperties, CreationThenFirstInitialisation)
{
    World w;
    auto& b = w.form.place<FlairButton>("btnFresh");
    EXPECT_EQ(b.lbl().Left(), 45);
    EXPECT_EQ(b.ImageList(), builtInImageList());
    EXPECT_EQ(b.ImageListOver(), builtInImageList());
    EXPECT_EQ(b.ImageListDisabled(), builtInImageList());
    EXPECT_EQ(b.Image(), 0);
    EXPECT_EQ(b.tmr().Interval(), 1u);
    EXPECT_FALSE(b.tmr().Enabled());

    forms::StdFont tahoma;
    tahoma.Name = "Tahoma";
    tahoma.Size = 10;
    b.site().setAmbientFont(tahoma);
    b.site().setAmbientBackColor(paperOle);
    b.InitProperties();
    EXPECT_EQ(b.Style(), enmButtonStyleFlat);
    EXPECT_EQ(b.Image(), 1);
    EXPECT_EQ(b.ImageOver(), 2);
    EXPECT_EQ(b.ImageDisabled(), 1);
    EXPECT_EQ(b.BackColor(), paperOle);
    EXPECT_EQ(b.ForeColor(), kButtonText);
    // The labels take the ambient font; the surface's own font object is left as it was.
    EXPECT_EQ(b.lbl().Font().Name, "Tahoma");
    EXPECT_EQ(b.lblRight().Font().Size, 10);
    EXPECT_EQ(b.Font()->Name, "MS Sans Serif");
    // Image 1 of the built-in list is on show, and the caption stands after it.
    ASSERT_TRUE(b.img().Picture());
    EXPECT_EQ(b.img().Picture()->image, builtInPicture(enmButtonImageBack));
    EXPECT_TRUE(b.img().Visible());
    EXPECT_EQ(b.lbl().Left(), 30 + 240 + 60);
}

TEST(FlairProperties, ImageFillsOnlyEmptyPartnersAndZeroHidesThePicture)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.setImage(5);
    EXPECT_EQ(b.ImageOver(), 2);
    EXPECT_EQ(b.ImageDisabled(), 1);

    auto& c = w.button(0, 30, 100, 24, "btnOther");
    c.setImageOver(0);
    c.setImageDisabled(0);
    c.setImage(0);
    EXPECT_FALSE(c.img().Visible());
    EXPECT_EQ(c.img().Height(), 0);
    EXPECT_EQ(c.lbl().Left(), 45);
    c.setImage(5);
    EXPECT_EQ(c.ImageOver(), 5);
    EXPECT_EQ(c.ImageDisabled(), 5);
    // Shown again at the picture's own size, not the zero height it was hidden with.
    EXPECT_TRUE(c.img().Visible());
    EXPECT_EQ(c.img().Height(), 240);
    EXPECT_EQ(c.img().Picture()->image, builtInPicture(5));
    EXPECT_EQ(c.lbl().Left(), c.img().Left() + 240 + 60);
}

TEST(FlairProperties, ImageListsFollowOnlyFromTheBuiltInList)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    const forms::ImageListRef first = userList("first");
    b.setImageList(first);
    EXPECT_EQ(b.ImageListOver(), first);
    EXPECT_EQ(b.ImageListDisabled(), first);
    // The image part takes the list's size, the caption moves after it, the picture is the new list's.
    EXPECT_EQ(b.img().Width(), 300);
    EXPECT_EQ(b.lbl().Left(), 30 + 300 + 60);
    EXPECT_EQ(b.img().Picture(), first->ListImages(1).Picture);

    const forms::ImageListRef other = userList("other");
    b.setImageListOver(other);
    b.setImageList(userList("third"));
    EXPECT_EQ(b.ImageListOver(), other);
    EXPECT_EQ(b.ImageListDisabled(), first);

    b.setImageList(nullptr);
    EXPECT_EQ(b.lbl().Left(), 45);
}

TEST(FlairProperties, MissingPicturesLeaveTheOldOne)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    const forms::PictureRef before = b.img().Picture();
    b.setImage(99);  // beyond the built-in list
    EXPECT_EQ(b.img().Picture(), before);
    EXPECT_TRUE(b.img().Visible());
    b.setImageList(nullptr);
    b.setImage(3);
    EXPECT_EQ(b.img().Picture(), before);
}

TEST(FlairProperties, StyleAndStateRejectValuesOutsideTheirRange)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.setStyle(enmButtonStyleXP);
    for (std::int32_t bad : {-1, 4, 100}) {
        EXPECT_EQ(errorNumber([&] { b.setStyle(bad); }), 380) << bad;
        EXPECT_EQ(b.Style(), enmButtonStyleXP);
    }
    for (std::int32_t bad : {-1, 6}) {
        EXPECT_EQ(errorNumber([&] { b.setState(bad); }), 380) << bad;
        EXPECT_EQ(b.State(), enmButtonStateNormal);
    }
}

TEST(FlairProperties, StyleSetsLooksPointerAndBackground)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.setForeColor(0x112233);
    Notified notified(b);

    b.setStyle(enmButtonStyleHyperlink);
    EXPECT_EQ(b.lbl().ForeColor(), kHighlight);
    EXPECT_EQ(b.lblRight().ForeColor(), kHighlight);
    EXPECT_EQ(b.BackColor(), paperOle);  // the form is the container: its colour is the ambient one
    EXPECT_EQ(b.surfaceMousePointer(), 99);
    EXPECT_EQ(b.surfaceMouseIcon(), hyperlinkPointer());
    EXPECT_EQ(notified.names.back(), "Style");

    b.setStyle(enmButtonStyleSeperator);
    EXPECT_EQ(b.Width(), 30);
    EXPECT_FALSE(b.lbl().Visible());
    EXPECT_FALSE(b.img().Visible());
    EXPECT_EQ(b.surfaceMousePointer(), 0);
    EXPECT_EQ(b.BackColor(), kButtonFace);
    EXPECT_EQ(b.lbl().ForeColor(), 0x112233u);

    b.setStyle(enmButtonStyleXP);
    EXPECT_TRUE(b.lbl().Visible());
    EXPECT_TRUE(b.img().Visible());
}

TEST(FlairProperties, WhichAssignmentsTellTheHost)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    Notified notified(b);
    b.setCaption("Apply");
    b.setCaptionDetail("F5");
    b.setChecked(true);
    b.setLocked(true);
    b.setHyperlink("http://example.com/");
    b.setImageOver(4);
    b.setImageList(userList("quiet"));
    EXPECT_EQ(notified.names, (std::vector<std::string>{"Caption", "CaptionDetail", "Hyperlink", "ImageOver"}));
}

TEST(FlairProperties, StateAssignmentPaintsNotifiesAndLeavesDisabledCleanly)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.setForeColor(0x0000FF);
    EventLog log(b);
    Notified notified(b);

    b.setState(enmButtonStateDisabled);
    EXPECT_TRUE(b.Locked());
    EXPECT_EQ(b.lbl().ForeColor(), kGrayText);
    EXPECT_EQ(b.lblRight().ForeColor(), kGrayText);
    EXPECT_EQ(b.img().Picture()->image, builtInPicture(b.ImageDisabled()));

    b.setState(enmButtonStateOver);
    EXPECT_FALSE(b.Locked());
    EXPECT_EQ(b.lbl().ForeColor(), 0x0000FFu);
    EXPECT_EQ(b.img().Picture()->image, builtInPicture(b.ImageOver()));
    EXPECT_EQ(log.take(), (Events{"State5", "State1"}));
    EXPECT_EQ(notified.names, (std::vector<std::string>{"State", "ForeColor", "State"}));
}

TEST(FlairProperties, ColoursKeepADisabledButtonGrey)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.setStyle(enmButtonStyleXP);
    b.setState(enmButtonStateDisabled);
    b.setForeColor(0x00FF00);
    EXPECT_EQ(b.lbl().ForeColor(), kGrayText);
    b.setBackColor(0xFFFFFF);
    b.Refresh();
    EXPECT_EQ(b.lbl().ForeColor(), kGrayText);
    EXPECT_EQ(b.ForeColor(), 0x00FF00u);
}

TEST(FlairProperties, SavingWritesOnlyWhatDiffersFromTheDefaults)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    forms::PropertyBag bag;
    b.WriteProperties(bag);
    // A new instance differs in its pictures and in its background (the ambient one).
    std::vector<std::string> names = bag.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"BackColor", "Image", "ImageDisabled", "ImageOver"}));
    EXPECT_EQ(bag.readLong("BackColor", 0), static_cast<std::int32_t>(paperOle));
}

TEST(FlairProperties, EverySavedPropertyComesBack)
{
    World w;
    auto& b = w.button(0, 0, 160, 24);
    b.setCaption("&Options");
    b.setCaptionDetail("Ctrl+O");
    b.setStyle(enmButtonStyleXP);
    b.setImage(7);
    b.setImageOver(8);
    b.setImageDisabled(24);
    b.setBackColor(0x00C0FF);
    b.setForeColor(0x400000);
    b.setChecked(true);
    b.setHyperlink("http://example.com/");
    auto font = std::make_shared<forms::StdFont>();
    font->Name = "Verdana";
    font->Bold = true;
    b.setFont(font);
    b.setState(enmButtonStatePressed);
    forms::PropertyBag bag;
    b.WriteProperties(bag);

    auto& c = w.form.place<FlairButton>("btnLoaded");
    c.ReadProperties(bag);
    EXPECT_EQ(c.Caption(), "&Options");
    EXPECT_EQ(c.CaptionDetail(), "Ctrl+O");
    EXPECT_EQ(c.Style(), enmButtonStyleXP);
    EXPECT_EQ(c.Image(), 7);
    EXPECT_EQ(c.ImageOver(), 8);
    EXPECT_EQ(c.ImageDisabled(), 24);
    EXPECT_EQ(c.BackColor(), 0x00C0FFu);
    EXPECT_EQ(c.ForeColor(), 0x400000u);
    EXPECT_TRUE(c.Checked());
    EXPECT_FALSE(c.Locked());
    EXPECT_EQ(c.State(), enmButtonStatePressed);
    EXPECT_EQ(c.Hyperlink(), "http://example.com/");
    EXPECT_EQ(c.Font()->Name, "Verdana");
    EXPECT_TRUE(c.Font()->Bold);
    EXPECT_EQ(c.lbl().Font().Name, "Verdana");
    EXPECT_NE(c.Font(), font);  // a loaded font is the button's own object
}

TEST(FlairProperties, LoadingAssignsInOrderAndSkipsBadValues)
{
    World w;
    forms::PropertyBag bag;
    bag.set("Style", std::int32_t{enmButtonStyleHyperlink});
    bag.set("BackColor", std::int32_t{0xFFFFFF});
    bag.set("State", std::int32_t{enmButtonStateDisabled});
    bag.set("Image", std::string("not a number"));
    bag.set("ImageOver", std::int32_t{70000});
    bag.set("Caption", std::string("Help"));

    auto& b = w.form.place<FlairButton>("btnLoaded");
    EventLog log(b);
    b.ReadProperties(bag);
    // The stored background wins over the hyperlink style's ambient one, as Style comes first.
    EXPECT_EQ(b.BackColor(), 0xFFFFFFu);
    EXPECT_EQ(b.lbl().ForeColor(), kGrayText);
    EXPECT_EQ(b.State(), enmButtonStateDisabled);
    EXPECT_TRUE(b.Locked());
    EXPECT_EQ(log.take(), Events{"State5"});
    EXPECT_EQ(b.Image(), 0);
    EXPECT_EQ(b.ImageOver(), 0);
    EXPECT_EQ(b.Caption(), "Help");

    forms::PropertyBag badStyle;
    badStyle.set("Style", std::int32_t{9});
    badStyle.set("Hyperlink", std::string("http://x.example/"));
    auto& c = w.form.place<FlairButton>("btnBad");
    c.ReadProperties(badStyle);
    EXPECT_EQ(c.Style(), enmButtonStyleFlat);
    EXPECT_EQ(c.Hyperlink(), "http://x.example/");
}

TEST(FlairProperties, AmbientChangesReachBackgroundAndFontName)
{
    World w;
    auto& b = w.button(0, 0, 100, 24);
    b.site().setAmbientBackColor(0x123456);
    b.ambientChanged("BackColor");
    EXPECT_EQ(b.BackColor(), 0x123456u);

    forms::StdFont ambient;
    ambient.Name = "Arial";
    ambient.Size = 14;
    b.site().setAmbientFont(ambient);
    b.ambientChanged("Font");
    EXPECT_EQ(b.Font()->Name, "Arial");
    EXPECT_EQ(b.Font()->Size, 8);  // only the name follows
    EXPECT_EQ(b.lbl().Font().Name, "Arial");
}

} // namespace

TEST(FlairPersistence, StoredNumbersAtTheirEdgesLoadPaintAndClickWithoutHarm)
{
    constexpr std::int32_t edges[] = {0, 1, -1, INT32_MAX, INT32_MIN};
    for (const char* property : {"Style", "Image", "ImageOver", "ImageDisabled", "BackColor", "ForeColor", "State"}) {
        for (const std::int32_t number : edges) {
            SCOPED_TRACE(std::string(property) + " " + std::to_string(number));
            World w;
            forms::PropertyBag bag;
            bag.writeString("Caption", "&Browse...", "");
            bag.writeLong(property, number, number == 0 ? 1 : 0);
            auto& b = w.form.place<FlairButton>("btnStored");
            b.site().setEnvironment(w.environment);
            b.move(0, 0, 100 * 15.0, 24 * 15.0);
            // A refused value ends only its own step: the button keeps loading the others.
            b.ReadProperties(bag);
            b.Refresh();
            b.mouseMove(0, 0, 10, 10);
            b.mouseDown(1, 0, 10, 10);
            b.mouseUp(1, 0, 10, 10);
            w.loop.advance(200);
            EXPECT_EQ(b.image().width(), 100);
        }
    }
}
