// Hand-edited numbers in the store (or ones another version of the page wrote) at the edges of
// their 32 bits: the popup still appears, its animations end where the layout put it, its
// countdown and the queue's pacing count without overflowing, and a dismissal still hides it.
// The sanitizer build turns any overflow on the way into a failure.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "notifier/window/frmNewMail.h"
#include "tests/notifier/PopupTestWorld.h"

namespace qln {
namespace {

constexpr std::uint32_t kEdges[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000};
// Rates also where a 16-bit alpha would wrap back to where it started.
constexpr std::uint32_t kRates[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 32768, 65536, 131072};

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

class StoredNumbersTest : public ::testing::Test, protected PopupTestWorld {
protected:
    void SetUp() override
    {
        set(settings::GetStart, 0);
        world.outlookStart();
    }
    void set(const settings::DwordValue& value, std::uint32_t number)
    {
        services.settings.write(value, static_cast<std::int32_t>(number));
    }
    void setAppear(const char* how) { services.settings.write(settings::WinAppear, std::string(how)); }
    platform::WindowRect bounds() const { return world.desktop.bounds(popup->hWnd()); }
    std::optional<int> alpha() const { return world.desktop.alpha(popup->hWnd()); }

    // Where the layout puts the popup for the current settings, shown at once.
    platform::WindowRect laidOut(const platform::sim::MailSpec& mail = agenda())
    {
        PopupTestWorld plain;
        plain.services.settings.write(settings::GetStart, 0);
        for (const settings::DwordValue* value :
             {&settings::SetFormWidth, &settings::SetFormHeight, &settings::UseSetFormSize, &settings::SpaceWidth,
              &settings::SpaceHeight, &settings::WindowPosition, &settings::UserFontSize, &settings::BodyAmount}) {
            const auto stored = world.registry.get(platform::Hive::CurrentUser, keyOf(*value), value->name);
            if (stored && stored->asDword())
                plain.services.settings.write(*value, static_cast<std::int32_t>(*stored->asDword()));
        }
        plain.world.outlookStart();
        plain.start();
        plain.deliver("Inbox", mail);
        return plain.world.desktop.bounds(plain.popup->hWnd());
    }
    static platform::sim::MailSpec agenda()
    {
        platform::sim::MailSpec mail;
        mail.subject = "Agenda";
        return mail;
    }
    static std::string keyOf(const settings::DwordValue& value) { return std::string(settings::keyPath(value.key)); }


    // The popup's appearance has ended: no animation runs, the popup shows at its laid-out place.
    void expectSettled(const platform::WindowRect& expected)
    {
        EXPECT_FALSE(popup->tmrSlide.Enabled());
        EXPECT_FALSE(popup->tmrFade.Enabled());
        EXPECT_TRUE(popup->Visible());
        const platform::WindowRect at = bounds();
        EXPECT_EQ(std::vector<int>({at.left, at.top, at.width, at.height}),
                  std::vector<int>({expected.left, expected.top, expected.width, expected.height}));
    }

    // A dismissal with Fade on hides the popup within a fade's length of the slowest rate.
    void expectDismissalHides()
    {
        set(settings::Fade, 1);
        popup->btnClose.Click();
        world.loop.advance(20000);
        EXPECT_FALSE(popup->Visible());
        EXPECT_FALSE(popup->tmrFade.Enabled());
    }
};

TEST_F(StoredNumbersTest, ASlideOfAnyRateEndsAtTheLaidOutPlaceAndSize)
{
    for (const std::uint32_t rate : kRates) {
        SCOPED_TRACE("WinRate " + hex(rate));
        start();
        setAppear("Slide");
        set(settings::WinRate, rate);
        const platform::WindowRect expected = laidOut();
        deliverSubject("Agenda");
        world.loop.advance(20000);  // the slowest rate grows 2 px a tick
        expectSettled(expected);
        expectDismissalHides();
    }
}

TEST_F(StoredNumbersTest, AFadeOfAnyRateEndsAtItsTargetAlpha)
{
    for (const std::uint32_t rate : kRates) {
        for (const std::uint32_t level : {std::uint32_t{200}, std::uint32_t{0}, std::uint32_t{300}, 0x7FFFFFFFu,
                                          0x80000000u, 0xFFFFFFFFu}) {
            for (const bool translucent : {false, true}) {
                SCOPED_TRACE("WinRate " + hex(rate) + ", TransparencyLevel " + hex(level) +
                             (translucent ? ", translucent" : ", opaque"));
                start();
                setAppear("Fade");
                set(settings::WinRate, rate);
                set(settings::UseTransparency, translucent ? 1 : 0);
                set(settings::TransparencyLevel, level);
                deliverSubject("Agenda");
                world.loop.advance(20000);  // the slowest rate takes 256 ticks of 50 ms
                EXPECT_FALSE(popup->tmrFade.Enabled());
                EXPECT_TRUE(popup->Visible());
                if (!translucent) {
                    EXPECT_EQ(alpha(), std::nullopt);
                } else {
                    const auto stored = static_cast<std::int32_t>(level);
                    // The target is the stored level held to 0..255: 255 is opaque, the others
                    // are applied as at least 20.
                    const int target = stored < 20 ? 20 : stored;
                    if (stored >= 255) {
                        EXPECT_EQ(alpha(), std::nullopt);
                    } else {
                        EXPECT_EQ(alpha(), target);
                    }
                }
                expectDismissalHides();
            }
        }
    }
}

TEST_F(StoredNumbersTest, SizesDistancesAndFontsAtTheirEdgesLayOutAndSlideToAnEnd)
{
    const settings::DwordValue* values[] = {&settings::SetFormWidth, &settings::SetFormHeight, &settings::SpaceWidth,
                                            &settings::SpaceHeight,  &settings::WindowPosition, &settings::UserFontSize,
                                            &settings::BodyAmount};
    for (const settings::DwordValue* value : values) {
        for (const std::uint32_t number : kEdges) {
            for (const bool fixedSize : {false, true}) {
                SCOPED_TRACE(std::string(value->name) + " " + hex(number) + (fixedSize ? ", fixed size" : ""));
                start();
                setAppear("Slide");
                set(settings::WinRate, 10);
                set(settings::UseSetFormSize, fixedSize ? 1 : 0);
                set(*value, number);
                platform::sim::MailSpec mail = agenda();
                mail.body = std::string(300, 'b');
                const platform::WindowRect expected = laidOut(mail);
                // What the screen can show: never wider or taller than the screen.
                EXPECT_GE(expected.width, 0);
                EXPECT_LE(expected.width, world.system.screenWidth());
                EXPECT_GE(expected.height, 0);
                EXPECT_LE(expected.height, world.system.screenHeight());
                deliver("Inbox", mail);
                world.loop.advance(60000);
                expectSettled(expected);
                expectDismissalHides();
            }
        }
    }
}

TEST_F(StoredNumbersTest, TheCountdownAndThePacingCountWithoutOverflow)
{
    for (const std::uint32_t number : kEdges) {
        SCOPED_TRACE(hex(number));
        start();
        set(settings::Dismiss, 1);
        set(settings::DismissTime, number);
        set(settings::MultMsgDelay, 1);
        set(settings::MultMsgDelayTime, number);
        set(settings::MultMsgDelayTimeChanged, 1);
        for (const char* subject : {"one", "two", "three"})
            deliverSubject(subject);
        world.loop.advance(10000);
        const auto seconds = static_cast<std::int32_t>(number);
        // A countdown of less than a second dismisses at its first tick; a long one still runs.
        EXPECT_EQ(popup->Visible(), seconds > 10) << popup->state().SecondsLeft;
        popup->btnPin.Click();
        popup->btnPinned.Click();
        world.loop.advance(10000);
    }
}

TEST_F(StoredNumbersTest, AnyStoredHotKeyIsRegisteredOrRefusedWithoutHarm)
{
    for (const std::uint32_t code : kEdges) {
        for (const std::uint32_t mask : kEdges) {
            SCOPED_TRACE("HKkDismiss " + hex(code) + ", HKmDismiss " + hex(mask));
            set(settings::HKkDismiss, code);
            set(settings::HKmDismiss, mask);
            start();
            set(settings::HKChanged, 1);
            world.loop.advance(7000);  // the poll registers it again
            EXPECT_TRUE(popup->Loaded());
            popup->Unload();
        }
    }
}

} // namespace
} // namespace qln
