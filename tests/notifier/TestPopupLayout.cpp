#include "notifier/window/PopupLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "notifier/window/frmNewMail.h"
#include "platform/draw/Png.h"
#include "platform/fonts/FixedFontEngine.h"
#include "platform/sim/SimWorld.h"

namespace qln {
namespace {

using platform::WindowRect;
using platform::sim::MailSpec;

MailSpec mail(std::string subject = "Lunch", std::string body = "See you at noon.")
{
    MailSpec m;
    m.senderName = "Bob Builder";
    m.to = "Alice; Carol";
    m.subject = std::move(subject);
    m.body = std::move(body);
    m.size = 2048;
    m.received = *platform::DateTime::parse("2026-01-05 09:00:00");
    return m;
}

// The popup over a running Outlook, measuring with fixed metrics on the simulated 1024 x 768
// screen: at 96 dpi a pixel is 15 twips, an 8 pt line 13 px high, a character 6 px wide (7 bold).
// The default popup is 134 px high: rows from 24 px (inbox, sender, subject, received/size, each
// 13 px + 3, the subject + 4), the divider + 4, the body + 4, and the 24 px bottom band.
class PopupLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.outlookStart();
        set(settings::GetStart, 0);
        start();
    }
    void start()
    {
        popup = std::make_unique<frmNewMail>(*host, services);
        popup->Load();
    }
    void set(const settings::DwordValue& value, std::int32_t number) { services.settings.write(value, number); }
    void arrive(const MailSpec& m = mail())
    {
        world.outlook.deliver("Inbox", m);
        world.loop.runPending();
    }
    // The shown item again, with the settings as they are now.
    void recompose() { popup->ComposeContent(popup->state().CurrentSlot, ComposeKind::HistoryView); }
    WindowRect bounds() const { return world.desktop.bounds(popup->hWnd()); }

    platform::sim::SimWorld world;
    fonts::FixedFontEngine fixedFonts;
    std::unique_ptr<forms::FormsHost> host = std::make_unique<forms::FormsHost>(world.desktop, world.loop);
    NotifierServices services{world.registry, world.files, world.system, world.desktop,
                              world.loop,     world.loop,  world.outlook};
    std::unique_ptr<frmNewMail> popup;
};

TEST_F(PopupLayoutTest, DefaultsStackTheRowsAndPlaceTheWindowBottomRight)
{
    MailSpec m = mail("R&D budget");
    m.attachments = 2;
    arrive(m);
    EXPECT_EQ(bounds(), (WindowRect{1024 - 200 - 27, 768 - 134 - 54, 200, 134}));
    EXPECT_EQ(popup->lblInbox.Top(), 360);
    EXPECT_EQ(popup->lblSubject.Top(), 840);
    EXPECT_EQ(popup->lblSize.Top(), 1095);
    EXPECT_EQ(popup->DivLine.Y1(), 1335);
    EXPECT_EQ(popup->lblBody.Top(), 1395);
    EXPECT_FALSE(popup->lblRecipient.Visible());
    // The right-hand parts follow the width.
    EXPECT_EQ(popup->lblSize.Left(), 3000 - 8 * 6 * 15 - 8 * 15);
    EXPECT_EQ(popup->btnClose.Left(), 3000 - 120 - 210);
    EXPECT_EQ(popup->lblCountDown.Left(), popup->btnClose.Left() - 120 - popup->lblCountDown.Width());
    EXPECT_EQ(popup->elBottom.Top(), 2010 - 360);
    EXPECT_EQ(popup->picBack.Left(), 1500 - 28 * 15);

    // The texts; a mail's "&" is shown as it is.
    EXPECT_EQ(popup->lblInbox.Caption(), "Inbox: 1 items, 1 unread");
    EXPECT_EQ(popup->lblSenderName.Caption(), "Bob Builder");
    EXPECT_EQ(popup->lblSubject.Caption(), "R&D budget");
    EXPECT_FALSE(popup->lblSubject.UseMnemonic());
    EXPECT_EQ(popup->lblReceived.Caption(), "1/5/2026 9:00:00 AM");
    EXPECT_EQ(popup->lblSize.Caption(), "    2 KB");
    EXPECT_TRUE(popup->btnAttach.Visible());

    // Laid out, the item is watched by the sweep and was shown at the clock's time.
    EXPECT_EQ(popup->state().SweepTicks, 5);
    EXPECT_TRUE(popup->tmrCheckIgnored.Enabled());
    EXPECT_EQ(popup->state().ShownTime, world.loop.now());

    arrive();
    EXPECT_FALSE(popup->btnAttach.Visible());
}

TEST_F(PopupLayoutTest, TheAutomaticSizeFollowsTheTextsWithinItsCaps)
{
    const std::string wrapping = "one two three four five six seven eight nine ten eleven twelve";  // 3 lines
    std::string tall;
    for (int i = 0; i < 100; ++i)
        tall += "line\r\n";
    const struct {
        std::size_t senderLength;
        std::string subject, body;
        int width, height;
    } cases[] = {
        {10, "Lunch", "Hi", 200, 134},
        {40, "Lunch", "Hi", 40 * 7 + 21, 134},             // a long sender, bold
        {80, "Lunch", "Hi", 410, 134},                     // 40 % of 1024 px: 409.6 px
        {10, std::string(50, 's'), "Hi", 50 * 6 + 21, 134},  // a word that cannot wrap
        {10, wrapping, "Hi", 200, 134 + 2 * 13},           // wraps at blanks and grows downwards
        {10, "Lunch", std::string(100, 'w'), 410, 134},
        {10, "Lunch", tall + "end", 200, 499},             // 65 % of 768 px: 499.2 px
    };
    set(settings::BodyAmount, 1000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.senderLength + c.subject.size() + c.body.size());
        MailSpec m = mail(c.subject, c.body);
        m.senderName = std::string(c.senderLength, 'b');
        arrive(m);
        EXPECT_EQ(bounds(), (WindowRect{1024 - c.width - 27, 768 - c.height - 54, c.width, c.height}));
    }
    // A row that is off does not widen the window.
    MailSpec m = mail();
    m.to = std::string(40, 'r');
    arrive(m);
    EXPECT_EQ(bounds().width, 200);
    set(settings::ShowRecipient, 1);
    recompose();
    EXPECT_EQ(bounds().width, 40 * 6 + 21);
}

TEST_F(PopupLayoutTest, OnlyTheEnabledRowsTakeSpace)
{
    for (const settings::DwordValue* row : {&settings::ShowInboxSum, &settings::ShowSenderName, &settings::ShowSubject,
                                            &settings::ShowReceivedSize, &settings::ShowMessageBody})
        set(*row, 0);
    arrive();
    EXPECT_EQ(bounds().height, 24 + 24);
    for (forms::Label* label : popup->textLabels())
        EXPECT_FALSE(label->Visible()) << label->Name();

    set(settings::ShowMessageBody, 1);
    recompose();
    EXPECT_TRUE(popup->DivLine.Visible() && popup->lblBody.Visible());
    EXPECT_EQ(bounds().height, 24 + 4 + 13 + 4 + 24);
    set(settings::ShowMessageBody, 0);
    recompose();
    EXPECT_FALSE(popup->DivLine.Visible() || popup->lblBody.Visible());
}

TEST_F(PopupLayoutTest, FixedSizesAreClampedAndEveryCornerIsReached)
{
    set(settings::UseSetFormSize, 1);
    const struct {
        bool largeFonts;
        std::int32_t width, height;
        int shownWidth, shownHeight;
    } sizes[] = {
        {false, 50, 10, 200, 75}, {false, 300, 100, 300, 100}, {false, -1, -1, 200, 75},  // -1: beyond 2^31
        {true, 220, 80, 265, 80},
    };
    for (const auto& c : sizes) {
        SCOPED_TRACE(c.width);
        world.system.setLargeFonts(c.largeFonts);
        set(settings::SetFormWidth, c.width);
        set(settings::SetFormHeight, c.height);
        arrive(mail(std::string(60, 's')));  // wider than the window: cut off, not widening
        EXPECT_EQ(bounds(), (WindowRect{1024 - c.shownWidth - 27, 768 - c.shownHeight - 54, c.shownWidth,
                                        c.shownHeight}));
    }

    set(settings::SpaceWidth, 10);
    set(settings::SpaceHeight, 40);
    const struct {
        std::int32_t position;
        int left, top;
    } corners[] = {{0, 1024 - 265 - 10, 768 - 80 - 40}, {1, 10, 768 - 80 - 40}, {2, 10, 40},
                   {3, 1024 - 265 - 10, 40},            {7, 1024 - 265 - 10, 40}};
    for (const auto& c : corners) {
        SCOPED_TRACE(c.position);
        set(settings::WindowPosition, c.position);
        recompose();
        EXPECT_EQ(bounds(), (WindowRect{c.left, c.top, 265, 80}));
    }
}

TEST_F(PopupLayoutTest, AtAnOddDpiFixedSizesAreExactAndMarginsUseWholeTwips)
{
    // 110 dpi: 13.09 twips per pixel, 13 when rounded.
    world.system.setDpi(110);
    popup.reset();
    host = std::make_unique<forms::FormsHost>(world.desktop, world.loop, fixedFonts, world.system);
    start();
    set(settings::UseSetFormSize, 1);
    set(settings::SetFormWidth, 300);
    set(settings::SetFormHeight, 100);
    set(settings::WindowPosition, 2);
    set(settings::SpaceWidth, 100);
    set(settings::SpaceHeight, 200);
    arrive();
    // The distances are 1300 and 2600 twips: 99.3 and 198.6 px.
    EXPECT_EQ(bounds(), (WindowRect{99, 199, 300, 100}));
    EXPECT_EQ(popup->lblInbox.Top(), 24 * 13);
    for (forms::Label* label : popup->textLabels())
        EXPECT_EQ(label->Top(), std::floor(label->Top())) << label->Name();
}

TEST_F(PopupLayoutTest, TheCountdownRunsUnlessPinnedOrPreviewed)
{
    set(settings::Dismiss, 1);
    set(settings::DismissTime, 30);
    arrive();
    EXPECT_EQ(popup->lblCountDown.Caption(), "30");
    EXPECT_EQ(popup->state().SecondsLeft, 30);
    EXPECT_TRUE(popup->tmrCountDown.Enabled());

    popup->state().Pinned = true;
    arrive();
    EXPECT_EQ(popup->lblCountDown.Caption(), "");
    EXPECT_EQ(popup->state().SecondsLeft, 0);
    EXPECT_FALSE(popup->tmrCountDown.Enabled());

    // The preview reads the twins, shows their rows and never counts down; the next item returns.
    popup->state().Pinned = false;
    services.settings.write(settings::previewTwin(settings::WindowPosition), 2);
    services.settings.write(settings::previewTwin(settings::ShowRecipient), 1);
    popup->LayoutPopup(true);
    EXPECT_EQ(bounds(), (WindowRect{27, 54, 200, 150}));
    EXPECT_TRUE(popup->lblRecipient.Visible());
    EXPECT_FALSE(popup->tmrCountDown.Enabled());
    arrive();
    EXPECT_EQ(bounds(), (WindowRect{1024 - 200 - 27, 768 - 134 - 54, 200, 134}));
    EXPECT_TRUE(popup->tmrCountDown.Enabled());
}

TEST_F(PopupLayoutTest, NothingToShowGivesTheSummaryOnly)
{
    arrive();
    NotifierState& state = popup->state();
    state.DelayWriteIndex = 1;  // a burst under way
    state.SweepTicks = 2;
    world.outlook.deliver("Inbox", mail());  // counted, its arrival not yet handled

    popup->ComposeContent(50, ComposeKind::HistoryView);
    EXPECT_TRUE(state.SummaryOnlyShown);
    EXPECT_EQ(state.DelayCountdown, 1);
    EXPECT_EQ(state.SweepTicks, 2);
    EXPECT_EQ(bounds(), (WindowRect{1024 - 200 - 27, 768 - 65 - 54, 200, 65}));
    EXPECT_EQ(popup->lblInbox.Caption(), "Inbox: 2 items, 2 unread");
    EXPECT_TRUE(popup->lblInbox.Visible());
    for (const forms::Control* row : {static_cast<const forms::Control*>(&popup->lblSenderName),
                                      static_cast<const forms::Control*>(&popup->DivLine)})
        EXPECT_FALSE(row->Visible()) << row->Name();
}

TEST_F(PopupLayoutTest, OverARunningScreenSaverTheHiddenPopupStaysHidden)
{
    world.desktop.setScreenSaver(true);
    arrive();
    EXPECT_FALSE(popup->Visible() || world.desktop.visible(popup->hWnd()));

    // Before NT 5 the screen saver's desktop is looked for, and closed again.
    world.system.setOsVersion(platform::OsVersion::NT, 4);
    arrive();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(world.desktop.openDesktopCount(), 0);
    world.desktop.setScreenSaver(false);
    arrive();
    EXPECT_TRUE(popup->Visible() && world.desktop.visible(popup->hWnd()));
}

TEST_F(PopupLayoutTest, ThePopupRendersItsParts)
{
    arrive();
    const draw::Surface picture = popup->render();
    ASSERT_EQ(picture.width(), 200);
    ASSERT_EQ(picture.height(), 134);
    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "qln-popup-layout.png";
    draw::writePng(picture, file);
    EXPECT_GT(std::filesystem::file_size(file), 0u);
    std::filesystem::remove(file);

    const int plain = picture.countPixels(draw::resolveColour(0xE1FFFF));
    EXPECT_GT(plain, 200 * 134 / 2);
    EXPECT_LT(plain, 200 * 134 - 500);
    // The grey divider from x = 8 px to 192 px (a line stops before its end point), and ink on
    // the sender's row.
    EXPECT_EQ(picture.countPixels({0x80, 0x80, 0x80}, draw::Rect{0, 89, 200, 90}), 184);
    EXPECT_GT(picture.countPixels(draw::black, draw::Rect{8, 40, 100, 53}), 0);
}

} // namespace
} // namespace qln
