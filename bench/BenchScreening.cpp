// How long ScreenNewItem takes for one accepted item on the simulated world: its settings reads,
// the wrapper, every test, and the history insert. Goals: under 20 us per item without sender
// lists, under 5 ms when a blocked list of 100,000 entries has to be searched in vain.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "notifier/core/FolderMonitor.h"
#include "notifier/core/NewItemScreening.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/core/NotifierState.h"
#include "notifier/core/PopupPort.h"
#include "platform/sim/SimWorld.h"

namespace {

namespace settings = qln::settings;

// A popup that does nothing, so only the screening is measured.
class QuietPopup final : public qln::PopupPort {
public:
    void SetNextEnabled(bool) override {}
    void SetBackEnabled(bool) override {}
    void ComposeContent(std::int16_t, qln::ComposeKind) override {}
    bool popupVisible() const override { return true; }
    void messageBox(const std::string&, const std::string&, std::uint32_t) override {}
    void DoEvents() override {}
};

struct Bench {
    platform::sim::SimWorld world;
    qln::NotifierServices services{world.registry, world.files, world.system, world.desktop,
                                   world.loop,     world.loop,  world.outlook};
    qln::NotifierState state;
    QuietPopup popup;
    qln::FolderMonitor monitor{services, {[](std::shared_ptr<platform::outlook::Item>) {}, [](bool) {}}};
    qln::NewItemScreening screening{services, state, monitor, popup};
    std::shared_ptr<platform::outlook::Item> item;

    // `applied`: every screening value written, as after the options page's first Apply. On a
    // fresh store the missing values read as their defaults, each through a failed registry query.
    Bench(const std::string& sender, bool applied, const std::string& subject = "Quarterly figures")
    {
        world.outlookStart();
        monitor.Connect();
        state.reset(services.settings.read(settings::MultMsgDelayTime));
        // What a user's store typically holds: a few ignored folders and the usual switches.
        world.outlook.addFolder("Inbox/Junk");
        world.outlook.addFolder("Inbox/Lists");
        services.settings.write(settings::AutodismissFolders,
                                "Junk:" + world.outlook.folderEntryID("Inbox/Junk") + "|Lists:" +
                                    world.outlook.folderEntryID("Inbox/Lists") + "|");
        if (applied) {
            for (const auto* value : {&settings::IsEnabled, &settings::NotifyReports})
                services.settings.write(*value, 1);
            for (const auto* value : {&settings::ListMode, &settings::MultMsgDelay, &settings::ReReadBList,
                                      &settings::ReReadWList, &settings::MultMsgDelayTimeChanged})
                services.settings.write(*value, 0);
        }
        platform::sim::MailSpec mail;
        mail.senderEmail = sender;
        mail.subject = subject;
        const std::string id = world.outlook.deliver("Inbox", mail);
        world.loop.runPending();
        item = monitor.GetItemFromID(id, world.outlook.folderStoreID("Inbox"));
    }
};

void BM_ScreenAcceptedItem(benchmark::State& state)
{
    Bench b("someone.else@mail.example.com", state.range(0) != 0);
    for (auto _ : state)
        b.screening.ScreenNewItem(b.item);
    if (b.state.NewestSlot < 0)
        state.SkipWithError("the item was not accepted");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScreenAcceptedItem)->ArgName("applied")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_ScreenAcceptedItemPastBlockedList(benchmark::State& state)
{
    Bench b("someone.else@mail.example.com", true);
    b.services.settings.write(settings::ListMode, 1);
    // Partial addresses shorter than the sender's, so each is really searched for in it.
    const auto entries = static_cast<std::size_t>(state.range(0));
    b.state.BList.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i)
        b.state.BList.push_back("@host" + std::to_string(i) + ".example");
    for (auto _ : state)
        b.screening.ScreenNewItem(b.item);
    if (b.state.NewestSlot < 0)
        state.SkipWithError("the item was blocked");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScreenAcceptedItemPastBlockedList)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same two with a sender beyond ASCII: a Cyrillic address, an item in Japanese, and a blocked list
// in which every tenth entry is in Cyrillic or CJK (the rest ASCII), none of them the sender's.
void BM_ScreenAcceptedItemBeyondAscii(benchmark::State& state)
{
    Bench b("\u0434\u043c\u0438\u0442\u0440\u0438\u0439@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444", true,
            "\u56db\u534a\u671f\u306e\u6570\u5b57");
    const auto entries = static_cast<std::size_t>(state.range(0));
    if (entries > 0) {
        b.services.settings.write(settings::ListMode, 1);
        b.state.BList.reserve(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::string n = std::to_string(i);
            b.state.BList.push_back(i % 10 == 0   ? "@\u0421\u0415\u0420\u0412\u0415\u0420" + n + ".\u0420\u0424"
                                    : i % 10 == 5 ? "\u5c71\u7530" + n
                                                  : "@host" + n + ".example");
        }
    }
    for (auto _ : state)
        b.screening.ScreenNewItem(b.item);
    if (b.state.NewestSlot < 0)
        state.SkipWithError("the item was not accepted");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScreenAcceptedItemBeyondAscii)->ArgName("blocked")->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace
