#include "notifier/core/NotificationQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "notifier/core/NewItemScreening.h"
#include "platform/Desktop.h"
#include "platform/sim/SimWorld.h"

namespace {

namespace settings = qln::settings;
using qln::ComposeKind;

// Records what the core asks of the popup. A composition shows the popup unless the screen saver
// keeps it hidden.
class FakePopup final : public qln::PopupPort {
public:
    void SetNextEnabled(bool on) override { next = on; }
    void SetBackEnabled(bool on) override { back = on; }
    void ComposeContent(std::int16_t slot, ComposeKind kind) override
    {
        shown.push_back({slot, kind});
        visible = !screenSaver;
        if (onCompose)
            onCompose(slot);
    }
    bool popupVisible() const override { return visible; }
    void messageBox(const std::string& text, const std::string& title, std::uint32_t style) override
    {
        messages.push_back(text + "|" + title + "|" + std::to_string(style));
    }
    void DoEvents() override {}

    std::vector<std::pair<std::int16_t, ComposeKind>> shown;
    std::vector<std::string> messages;
    std::optional<bool> next, back;
    bool visible = false, screenSaver = false;
    std::function<void(std::int16_t)> onCompose;
};

struct Notifier {
    platform::sim::SimWorld world;
    qln::NotifierServices services{world.registry, world.files, world.system, world.desktop,
                                   world.loop,     world.loop,  world.outlook};
    qln::NotifierState state;
    FakePopup popup;
    qln::FolderMonitor monitor{services, {[](std::shared_ptr<platform::outlook::Item>) {}, [](bool) {}}};
    qln::NewItemScreening screening{services, state, monitor, popup};
    qln::NotificationQueue queue{services, state, monitor, popup};

    Notifier()
    {
        world.outlookStart();
        monitor.Connect();
        state.reset(services.settings.read(settings::MultMsgDelayTime));
    }
    ~Notifier() { monitor.Disconnect(); }

    // New unread mails in the Inbox, each screened as its sink hands it over.
    std::vector<std::string> arrive(int count = 1)
    {
        std::vector<std::string> ids;
        for (int i = 0; i < count; ++i) {
            platform::sim::MailSpec mail;
            mail.senderEmail = "bob@example.com";
            ids.push_back(world.outlook.deliver("Inbox", mail));
            world.loop.runPending();
            screening.ScreenNewItem(monitor.GetItemFromID(ids.back(), world.outlook.folderStoreID("Inbox")));
        }
        return ids;
    }
    std::int16_t shownSlot() const { return popup.shown.back().first; }
};

TEST(NotificationQueue, BurstsArePacedOneAfterAnother)
{
    struct Case {
        const char* name;
        bool paced;
        bool dismissAfterFirstTick;
        bool screenSaver;
        bool summaryOnly;
        std::string shown;  // per item, the tick at which it was composed
    };
    // A, B and C arrive together before the first tick, D right after tick 10; MultMsgDelayTime 4.
    const Case cases[] = {
        {"on screen", true, false, false, false, "A0 B4 C8 D12"},
        {"A dismissed after 1 s", true, true, false, false, "A0 B2 C6 D10"},
        {"screen saver running", true, false, true, false, "A0 B1 C2 D10"},
        {"summary only on screen", true, false, false, true, "A0 B1 C2 D10"},
        {"pacing off", false, false, false, false, "A0 B0 C0 D10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Notifier n;
        n.services.settings.write(settings::MultMsgDelay, c.paced);
        n.services.settings.write(settings::MultMsgDelayTime, 4);
        n.popup.screenSaver = c.screenSaver;
        n.state.SummaryOnlyShown = c.summaryOnly;
        std::vector<std::pair<int, std::string>> composed;  // tick, item
        int tick = 0;
        n.popup.onCompose = [&](std::int16_t slot) { composed.emplace_back(tick, n.state.HistoryEntryID[slot]); };
        auto ids = n.arrive(3);
        n.world.outlook.purge(ids[1]);  // a held item that vanished is still recorded and composed
        for (tick = 1; tick <= 20; ++tick) {
            n.queue.tmrCountQueue_Timer();
            if (tick == 1 && c.dismissAfterFirstTick) {
                n.popup.visible = false;  // as DismissPopup does
                n.state.DelayCountdown = 1;
            }
            if (tick == 10)
                ids.push_back(n.arrive().front());
        }
        std::string shown;
        for (const auto& [when, id] : composed) {
            const auto name = static_cast<char>('A' + (std::find(ids.begin(), ids.end(), id) - ids.begin()));
            shown += (shown.empty() ? "" : " ") + std::string(1, name) + std::to_string(when);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_FALSE(n.state.burstUnderWay());
        EXPECT_EQ(n.state.NewestSlot, 3);
        EXPECT_EQ(n.popup.shown[0].second, ComposeKind::Arrival);
        EXPECT_EQ(n.popup.shown[1].second, c.paced ? ComposeKind::ArrivalByIdentifiers : ComposeKind::Arrival);
    }
}

TEST(NotificationQueue, BackWalksToTheOldestThenSaysSo)
{
    for (bool message : {true, false}) {
        SCOPED_TRACE(message ? "with message" : "message suppressed");
        Notifier n;
        n.arrive(3);
        n.state.ShowNoMoreMessage = message;
        n.queue.HistoryBack();
        EXPECT_EQ(n.shownSlot(), 1);
        EXPECT_EQ(n.popup.shown.back().second, ComposeKind::HistoryView);
        EXPECT_EQ(n.popup.next, true);
        EXPECT_EQ(n.state.LatestItem, nullptr);
        n.queue.HistoryBack();
        EXPECT_EQ(n.shownSlot(), 0);
        EXPECT_TRUE(n.popup.messages.empty());

        // Slots 99 down to 3 are empty and slot 2 is the newest: nothing older is left.
        n.queue.HistoryBack();
        EXPECT_EQ(n.shownSlot(), 0);
        EXPECT_EQ(n.popup.back, false);
        const auto stop = std::to_string(platform::mb::IconStop | platform::mb::Ok);
        EXPECT_EQ(n.popup.messages, message ? std::vector<std::string>{"No more available e-mails in history!|"
                                                                       "Quellin History|" + stop}
                                            : std::vector<std::string>{});

        n.queue.HistoryNext();
        EXPECT_EQ(n.shownSlot(), 1);
        EXPECT_EQ(n.popup.back, true);
        EXPECT_EQ(n.popup.next, true);
        n.queue.HistoryNext();
        EXPECT_EQ(n.shownSlot(), 2);
        EXPECT_EQ(n.popup.next, false);
    }
}

TEST(NotificationQueue, PagingSkipsEmptiedDeletedAndVanishedItems)
{
    Notifier n;
    const auto ids = n.arrive(5);        // slots 0 to 4
    n.state.HistoryEntryID[3].clear();   // deleted from the popup
    n.world.outlook.deleteItem(ids[2]);  // now in "Deleted Items"
    n.world.outlook.purge(ids[1]);       // cannot be looked up
    n.queue.HistoryBack();
    EXPECT_EQ(n.shownSlot(), 0);
    EXPECT_TRUE(n.popup.messages.empty());
    n.queue.HistoryNext();
    EXPECT_EQ(n.shownSlot(), 4);
    EXPECT_EQ(n.popup.next, false);

    // The newest ends a walk unchecked, but when it cannot be found the popup stays where it was.
    n.queue.HistoryBack();
    n.world.outlook.purge(ids[4]);
    n.queue.HistoryNext();
    EXPECT_EQ(n.shownSlot(), 0);
    EXPECT_EQ(n.popup.next, false);
}

TEST(NotificationQueue, HundredAndFirstItemOverwritesTheOldest)
{
    Notifier n;
    const auto ids = n.arrive(101);
    EXPECT_EQ(n.state.NewestSlot, 0);
    EXPECT_EQ(n.state.HistoryEntryID[0], ids[100]);
    EXPECT_EQ(n.state.HistoryEntryID[99], ids[99]);
    EXPECT_TRUE(n.state.HistoryEntryID[100].empty());  // the spare slot is never used
    for (int i = 0; i < 99; ++i)
        n.queue.HistoryBack();
    EXPECT_EQ(n.shownSlot(), 1);
    EXPECT_TRUE(n.popup.messages.empty());
    n.queue.HistoryBack();
    EXPECT_EQ(n.shownSlot(), 1);
    EXPECT_EQ(n.popup.messages.size(), 1u);
}

TEST(NotificationQueue, PagingAnEmptyHistoryGivesUpAfterALap)
{
    for (bool back : {true, false}) {
        Notifier n;
        back ? n.queue.HistoryBack() : n.queue.HistoryNext();
        ASSERT_EQ(n.popup.shown.size(), 1u);
        EXPECT_GE(n.shownSlot(), 0);
        EXPECT_LT(n.shownSlot(), qln::kRingSize);
        EXPECT_TRUE(n.popup.messages.empty());
        EXPECT_FALSE(n.popup.next || n.popup.back);
    }
}

} // namespace
