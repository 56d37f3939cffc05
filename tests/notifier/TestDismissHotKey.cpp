#include "notifier/window/DismissHotKey.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/sim/SimWorld.h"
#include "shared/Settings.h"
#include "shared/mdlRegistry.h"

namespace qln {
namespace {

using platform::WindowHandle;
using platform::sim::HotKeyCombo;
namespace mod = platform::mod;
namespace wm = platform::wm;

constexpr std::int32_t VK_F11 = 0x7A;
constexpr std::int32_t VK_F12 = 0x7B;
constexpr int Id = DismissHotKey::HotKeyId;

class DismissHotKeyTest : public ::testing::Test {
protected:
    DismissHotKeyTest()
    {
        platform::WindowSpec form;
        form.className = "ThunderRT6FormDC";
        popup = world.desktop.createWindow(form);
        // The popup's own procedure, which the hot-key procedure hands messages on to.
        world.desktop.setWindowProc(popup, [this](WindowHandle, std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t) {
            previousSaw.push_back({message, wParam});
            return std::intptr_t{42};
        });
        hotKey.install(popup);
    }

    void store(std::int32_t key, std::int32_t mask)
    {
        settings.write(settings::HKkDismiss, key);
        settings.write(settings::HKmDismiss, mask);
        settings.write(settings::HKChanged, 1);
    }
    std::int32_t hkChanged() const { return settings.read(settings::HKChanged); }
    std::vector<HotKeyCombo> registered() const { return world.desktop.hotKeys(popup, Id); }

    struct Seen {
        std::uint32_t message;
        std::uintptr_t wParam;
        friend bool operator==(const Seen&, const Seen&) = default;
    };

    platform::sim::SimWorld world;
    mdlRegistry registry{world.registry, world.system, world.files};
    settings::Settings settings{registry, settings::Reader::Notifier};
    WindowHandle popup = platform::NoWindow;
    std::vector<Seen> previousSaw;
    int dismissals = 0;
    DismissHotKey hotKey{world.desktop, settings, [this] { ++dismissals; }};
};

TEST_F(DismissHotKeyTest, TheCapturedMaskBecomesTheSystemModifiers)
{
    struct Case {
        std::int32_t mask;
        std::uint32_t modifiers;
    };
    for (const Case& c : {Case{0, 0}, Case{1, mod::Shift}, Case{2, mod::Control}, Case{3, mod::Shift | mod::Control},
                          Case{4, mod::Alt}, Case{7, mod::Shift | mod::Control | mod::Alt}}) {
        store(VK_F11, c.mask);
        hotKey.RegisterDismissHotKey();
        EXPECT_EQ(registered(), (std::vector<HotKeyCombo>{{VK_F11, c.modifiers}})) << "mask " << c.mask;
        EXPECT_EQ(hkChanged(), 0) << "mask " << c.mask;
    }
}

TEST_F(DismissHotKeyTest, ATakenCombinationStillClearsTheFlagAndKeyZeroReleases)
{
    world.desktop.setHotKeyTaken(VK_F11, mod::Alt);
    store(VK_F11, 4);
    hotKey.RegisterDismissHotKey();
    EXPECT_TRUE(registered().empty());
    EXPECT_EQ(hkChanged(), 0);

    store(VK_F12, 2);
    hotKey.RegisterDismissHotKey();
    ASSERT_EQ(registered().size(), 1u);

    store(0, 2);
    hotKey.RegisterDismissHotKey();
    EXPECT_TRUE(registered().empty());
    EXPECT_FALSE(world.desktop.press(VK_F12, mod::Control));
    EXPECT_EQ(hkChanged(), 0);
}

TEST_F(DismissHotKeyTest, APressDismissesAndIsHandedOnAndAChangeLeavesOnlyTheNewCombination)
{
    store(VK_F11, 3);
    hotKey.RegisterDismissHotKey();
    ASSERT_TRUE(world.desktop.press(VK_F11, mod::Shift | mod::Control));
    world.loop.runPending();
    EXPECT_EQ(dismissals, 1);
    EXPECT_EQ(previousSaw, (std::vector<Seen>{{wm::HotKey, static_cast<std::uintptr_t>(Id)}}));

    // The user picks another combination; the old one must stop dismissing the popup.
    store(VK_F12, 4);
    hotKey.RegisterDismissHotKey();
    EXPECT_EQ(registered(), (std::vector<HotKeyCombo>{{VK_F12, mod::Alt}}));
    EXPECT_FALSE(world.desktop.press(VK_F11, mod::Shift | mod::Control));
    EXPECT_TRUE(world.desktop.press(VK_F12, mod::Alt));
    world.loop.runPending();
    EXPECT_EQ(dismissals, 2);

    // Re-registering the same combination keeps it working.
    settings.write(settings::HKChanged, 1);
    hotKey.RegisterDismissHotKey();
    EXPECT_EQ(registered(), (std::vector<HotKeyCombo>{{VK_F12, mod::Alt}}));

    // Another identifier's WM_HOTKEY is not the dismiss key.
    world.desktop.sendMessage(popup, wm::HotKey, 71, 0);
    EXPECT_EQ(dismissals, 2);
}

TEST_F(DismissHotKeyTest, OtherMessagesReachThePreviousProcedureUntilDestroyRestoresIt)
{
    EXPECT_EQ(world.desktop.sendMessage(popup, wm::User + 1, 5, 0), 42);
    EXPECT_EQ(previousSaw, (std::vector<Seen>{{wm::User + 1, 5}}));

    for (std::uint32_t message : {wm::Destroy, wm::NcDestroy, wm::ParentNotify}) {
        previousSaw.clear();
        hotKey.install(popup);
        ASSERT_TRUE(hotKey.installed());
        // Answered here, not handed on.
        EXPECT_EQ(world.desktop.sendMessage(popup, message, 0, 0), 0) << message;
        EXPECT_TRUE(previousSaw.empty()) << message;
        EXPECT_FALSE(hotKey.installed()) << message;
        // The previous procedure is the window's own again: a hot key no longer dismisses.
        EXPECT_EQ(world.desktop.sendMessage(popup, wm::HotKey, Id, 0), 42) << message;
        EXPECT_EQ(dismissals, 0) << message;
    }
}

TEST_F(DismissHotKeyTest, ShutdownReleasesTheKeyAndPutsTheProcedureBack)
{
    store(VK_F11, 1);
    hotKey.RegisterDismissHotKey();
    hotKey.shutdown();
    EXPECT_TRUE(registered().empty());
    EXPECT_FALSE(hotKey.installed());
    world.desktop.sendMessage(popup, wm::HotKey, Id, 0);
    EXPECT_EQ(dismissals, 0);

    // An owner that goes away without shutdown does not leave a dangling procedure behind.
    auto early = std::make_unique<DismissHotKey>(world.desktop, settings, [this] { ++dismissals; });
    early->install(popup);
    early.reset();
    EXPECT_EQ(world.desktop.sendMessage(popup, wm::HotKey, Id, 0), 42);
    EXPECT_EQ(dismissals, 0);
}

TEST_F(DismissHotKeyTest, FailingCallsAreIgnored)
{
    auto& faults = world.desktop.faults();
    for (const char* operation : {"RegisterHotKey", "UnregisterHotKey", "SetWindowLongA"})
        faults.fail(operation);
    store(VK_F11, 3);
    EXPECT_NO_THROW(hotKey.RegisterDismissHotKey());
    EXPECT_EQ(hkChanged(), 0);
    EXPECT_NO_THROW(hotKey.shutdown());
    EXPECT_TRUE(hotKey.installed());
    faults.clearAll();
}

} // namespace
} // namespace qln
