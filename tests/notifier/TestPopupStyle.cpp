#include "notifier/window/PopupStyle.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

#include "notifier/window/frmNewMail.h"
#include "platform/sim/SimWorld.h"

namespace qln {
namespace {

constexpr draw::OleColour kRed = 0x0000FF;
constexpr draw::OleColour kGreen = 0x008000;

class PopupStyleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set(settings::GetStart, 0);
        popup = std::make_unique<frmNewMail>(host, services);
        popup->Load();
    }
    void set(const settings::DwordValue& value, std::int32_t number) { services.settings.write(value, number); }
    void layout() { popup->LayoutPopup(false); }
    std::optional<int> alpha() const { return world.desktop.alpha(popup->hWnd()); }
    bool layered() const { return (world.desktop.exStyle(popup->hWnd()) & platform::wsex::Layered) != 0; }

    platform::sim::SimWorld world;
    forms::FormsHost host{world.desktop, world.loop};
    NotifierServices services{world.registry, world.files, world.system, world.desktop,
                              world.loop,     world.loop,  world.outlook};
    std::unique_ptr<frmNewMail> popup;
};

TEST_F(PopupStyleTest, TranslucencyHoldsTheAlphaAndNeedsNtFive)
{
    set(settings::UseTransparency, 1);
    for (const auto& [level, applied] : {std::pair{5, 20}, {200, 200}, {300, 255}, {-1, 20}}) {
        set(settings::TransparencyLevel, level);
        layout();
        EXPECT_EQ(alpha(), applied) << level;
    }
    set(settings::UseTransparency, 0);
    layout();
    EXPECT_FALSE(layered());
    EXPECT_TRUE(world.desktop.exStyle(popup->hWnd()) & platform::wsex::ToolWindow);  // the other styles stay

    for (const auto& [platformId, major, supported] :
         {std::tuple{platform::OsVersion::NT, 4u, false}, {platform::OsVersion::Win9x, 5u, false},
          {platform::OsVersion::NT, 5u, true}}) {
        world.system.setOsVersion(platformId, major);
        set(settings::UseTransparency, 1);
        layout();
        EXPECT_EQ(layered(), supported) << major;
        set(settings::UseTransparency, 0);
        layout();
        EXPECT_FALSE(layered());
    }

    // The style goes to the outermost visible window: an owned window while its owner is hidden,
    // the owner once it shows.
    platform::WindowSpec spec;
    spec.owner = popup->hWnd();
    const platform::WindowHandle owned = world.desktop.createWindow(spec);
    EXPECT_TRUE(popup->style().SetTranslucent(owned, 60));
    EXPECT_EQ(world.desktop.alpha(owned), 60);
    popup->AppearPopup(false);
    EXPECT_TRUE(popup->style().SetTranslucent(owned, 70));
    EXPECT_EQ(alpha(), 70);
    world.desktop.faults().fail("SetLayeredWindowAttributes", 1);
    EXPECT_FALSE(popup->style().SetTranslucent(owned, 80));
}

TEST_F(PopupStyleTest, ColoursAndFontsAreWrittenOnlyWhenTheyChange)
{
    layout();
    const std::initializer_list<const forms::Control*> parts = {
        &popup->lblInbox,  &popup->lblCountDown, &popup->elBottom,   &popup->elTopLeft,
        &popup->btnQuestion, &popup->btnClose,   &popup->picBackDis, &popup->btnPinned,
    };
    for (const forms::Control* part : parts)
        EXPECT_EQ(part->BackColor(), 0xE1FFFFu) << part->Name();

    // The popup's own background decides: a part coloured otherwise stays so, and nothing repaints.
    popup->btnReply.setBackColor(kRed);
    const int repaints = popup->repaintCount();
    popup->style().ApplyBackColor(false);
    popup->style().ApplyFonts(false);
    EXPECT_EQ(popup->repaintCount(), repaints);
    EXPECT_EQ(popup->btnReply.BackColor(), kRed);

    set(settings::BackColor, 0xC0C0C0);
    layout();
    EXPECT_EQ(popup->BackColor(), 0xC0C0C0u);
    EXPECT_EQ(popup->btnReply.BackColor(), 0xC0C0C0u);
    for (const forms::Control* part : parts)
        EXPECT_EQ(part->BackColor(), 0xC0C0C0u) << part->Name();
    EXPECT_EQ(popup->DivLine.BorderColor(), 0x808080u);

    services.settings.write(settings::UserFontName, "Tahoma");
    set(settings::UserFontSize, 10);
    layout();
    for (const forms::Label* label : popup->textLabels()) {
        EXPECT_EQ(label->FontName(), "Tahoma") << label->Name();
        EXPECT_EQ(label->FontSize(), 10) << label->Name();
        EXPECT_EQ(label->FontBold(), label == &popup->lblSenderName) << label->Name();
    }
    EXPECT_EQ(popup->lblCountDown.FontName(), "MS Sans Serif");

    // Only the colour changes: a face set elsewhere stays, and the countdown is recoloured too.
    popup->lblBody.setFontName("Arial");
    set(settings::UserFontColor, kGreen);
    set(settings::UserFontSize, 0);  // no font takes it: the labels keep theirs
    layout();
    EXPECT_EQ(popup->lblBody.FontName(), "Arial");
    EXPECT_EQ(popup->lblInbox.FontSize(), 10);
    EXPECT_EQ(popup->lblSubject.ForeColor(), kGreen);
    EXPECT_EQ(popup->lblCountDown.ForeColor(), kGreen);
}

} // namespace
} // namespace qln
