#include "notifier/core/NewItemScreening.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimWorld.h"

namespace {

namespace settings = qln::settings;
using platform::sim::MailSpec;

// Records what the core asks of the popup, in order.
class FakePopup final : public qln::PopupPort {
public:
    void SetNextEnabled(bool on) override { log.push_back(on ? "next on" : "next off"); }
    void SetBackEnabled(bool on) override { log.push_back(on ? "back on" : "back off"); }
    void ComposeContent(std::int16_t slot, qln::ComposeKind kind) override
    {
        log.push_back("compose " + std::to_string(slot) + (kind == qln::ComposeKind::Arrival ? " arrival" : " other"));
    }
    bool popupVisible() const override { return false; }
    void messageBox(const std::string& text, const std::string&, std::uint32_t) override { log.push_back(text); }
    void DoEvents() override { log.push_back("doevents"); }
    std::vector<std::string> log;
};

// The screening over a real folder monitor connected to a running simulated Outlook.
struct Notifier {
    platform::sim::SimWorld world;
    qln::NotifierServices services{world.registry, world.files, world.system, world.desktop,
                                   world.loop,     world.loop,  world.outlook};
    qln::NotifierState state;
    FakePopup popup;
    qln::FolderMonitor monitor{services, {[](std::shared_ptr<platform::outlook::Item>) {}, [](bool) {}}};
    qln::NewItemScreening screening{services, state, monitor, popup};

    Notifier()
    {
        world.outlookStart();
        world.outlook.addFolder("Inbox/Spam");
        world.outlook.addFolder("Inbox/outbox");
        monitor.Connect();
        state.reset(services.settings.read(settings::MultMsgDelayTime));
    }
    ~Notifier() { monitor.Disconnect(); }

    // The item as its sink hands it over; the events of its delivery have run.
    std::shared_ptr<platform::outlook::Item> put(const std::string& folder, const MailSpec& mail)
    {
        const std::string id = world.outlook.deliver(folder, mail);
        world.loop.runPending();
        return monitor.GetItemFromID(id, world.outlook.folderStoreID(folder));
    }
    std::string arrive(const MailSpec& mail, const std::string& folder = "Inbox")
    {
        auto item = put(folder, mail);
        const std::string id = item->EntryID();
        screening.ScreenNewItem(std::move(item));
        return id;
    }
    void set(const settings::DwordValue& value, std::int32_t number) { services.settings.write(value, number); }
    // What the options page leaves behind on Apply: the list file, and its raised flag.
    void writeList(bool blocked, const std::string& line)
    {
        world.files.put(services.lists.ListFolder() + (blocked ? "\\blist.qln" : "\\wlist.qln"), line);
        set(blocked ? settings::ReReadBList : settings::ReReadWList, 1);
    }
    std::optional<std::uint32_t> stored(const settings::DwordValue& value) const
    {
        const auto v = world.registry.get(platform::Hive::CurrentUser, settings::keyPath(value.key), value.name);
        return v ? v->asDword() : std::nullopt;
    }
    std::string spamID() const { return world.outlook.folderEntryID("Inbox/Spam"); }
};

MailSpec mail(std::string sender = "bob@example.com", bool unread = true, bool sent = true,
              std::int32_t itemClass = platform::outlook::olMail)
{
    MailSpec spec;
    spec.senderEmail = std::move(sender);
    spec.unread = unread;
    spec.sent = sent;
    spec.itemClass = itemClass;
    return spec;
}

TEST(ScreenNewItem, TestsDecideWhetherAnItemIsNotified)
{
    using Dwords = std::vector<std::pair<const settings::DwordValue*, std::int32_t>>;
    const auto* isEnabled = &settings::IsEnabled;
    const auto* reports = &settings::NotifyReports;
    const auto* listMode = &settings::ListMode;
    constexpr int report = platform::outlook::olReport;
    enum Ignored { NoFolder, Spam, SpamNameWithColon, SpamWithoutName };
    struct Case {
        const char* name;
        Dwords dwords;
        const char* blocked;  // list file lines; nullptr: not written
        const char* allowed;
        Ignored ignored;
        const char* folder;
        MailSpec item;
        bool notified;
    };
    const Case cases[] = {
        {"plain unread mail", {}, nullptr, nullptr, NoFolder, "Inbox", mail(), true},
        {"IsEnabled 1", {{isEnabled, 1}}, nullptr, nullptr, NoFolder, "Inbox", mail(), true},
        {"IsEnabled 2", {{isEnabled, 2}}, nullptr, nullptr, NoFolder, "Inbox", mail(), false},
        {"IsEnabled 0", {{isEnabled, 0}}, nullptr, nullptr, NoFolder, "Inbox", mail(), false},
        {"already read", {}, nullptr, nullptr, NoFolder, "Inbox", mail("b@x", false), false},
        {"saved, never sent", {}, nullptr, nullptr, NoFolder, "Inbox", mail("b@x", true, false), false},
        {"unsent in the Outbox", {}, nullptr, nullptr, NoFolder, "Outbox", mail("b@x", true, false), true},
        {"unsent in a folder named outbox", {}, nullptr, nullptr, NoFolder, "Inbox/outbox", mail("b@x", true, false),
         false},
        {"report, NotifyReports 0", {{reports, 0}}, nullptr, nullptr, NoFolder, "Inbox", mail("b@x", true, true, report), false},
        {"report, NotifyReports 1", {{reports, 1}}, nullptr, nullptr, NoFolder, "Inbox", mail("b@x", true, true, report), true},
        {"blocked domain in other capitals", {{listMode, 1}}, "@Example.COM|", nullptr, NoFolder, "Inbox", mail(), false},
        {"blocked first letters", {{listMode, 1}}, "zz|BO|", nullptr, NoFolder, "Inbox", mail(), false},
        {"blocked list, other sender", {{listMode, 1}}, "@example.com|", nullptr, NoFolder, "Inbox", mail("e@o.org"),
         true},
        {"blocked list of empty entries", {{listMode, 1}}, "||", nullptr, NoFolder, "Inbox", mail(), true},
        {"allowed list empty", {{listMode, 2}}, nullptr, nullptr, NoFolder, "Inbox", mail(), false},
        {"allowed sender", {{listMode, 2}}, nullptr, "a@x.org|EXAMPLE.com|", NoFolder, "Inbox", mail(), true},
        {"sender not allowed", {{listMode, 2}}, nullptr, "@example.com|", NoFolder, "Inbox", mail("e@o.org"), false},
        {"allowed sender in an ignored folder", {{listMode, 2}}, nullptr, "bob@|", Spam, "Inbox/Spam", mail(), true},
        {"ListMode 0 tests no sender", {}, "bob|", "x|", NoFolder, "Inbox", mail(), true},
        {"ListMode 3 tests no sender", {{listMode, 3}}, "bob|", "x|", NoFolder, "Inbox", mail(), true},
        {"ignored folder", {}, nullptr, nullptr, Spam, "Inbox/Spam", mail(), false},
        {"another folder ignored", {}, nullptr, nullptr, Spam, "Inbox", mail(), true},
        {"ignored name holding a colon", {}, nullptr, nullptr, SpamNameWithColon, "Inbox/Spam", mail(), true},
        {"ignored piece without a colon", {}, nullptr, nullptr, SpamWithoutName, "Inbox/Spam", mail(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Notifier n;
        for (const auto& [value, number] : c.dwords)
            n.set(*value, number);
        if (c.blocked)
            n.writeList(true, c.blocked);
        if (c.allowed)
            n.writeList(false, c.allowed);
        const std::string ignored[] = {"", "Junk:00AB|Spam:" + n.spamID() + "|", "Sp:am:" + n.spamID() + "|",
                                       n.spamID() + "|"};
        n.services.settings.write(settings::AutodismissFolders, ignored[c.ignored]);

        const std::string id = n.arrive(c.item, c.folder);
        EXPECT_EQ(n.state.NewestSlot, c.notified ? 0 : -1);
        EXPECT_EQ(n.state.HistoryEntryID[0], c.notified ? id : "");
        EXPECT_EQ(n.state.HistoryStoreID[0], c.notified ? n.world.outlook.folderStoreID(c.folder) : "");
        EXPECT_EQ(n.popup.log.empty(), !c.notified);
    }
}

TEST(ScreenNewItem, AcceptedItemIsShownAsAFreshArrivalAndEveryWrapperIsCleanedUp)
{
    Notifier n;
    const std::string id = n.arrive(mail());
    EXPECT_EQ(n.popup.log, (std::vector<std::string>{"next off", "back on", "doevents", "compose 0 arrival"}));
    ASSERT_NE(n.state.LatestItem, nullptr);
    EXPECT_EQ(n.state.LatestItem->EntryID(), id);
    EXPECT_EQ(n.world.outlook.cleanupCount(), 1);
    EXPECT_FALSE(n.state.burstUnderWay());

    n.arrive(mail("b@x", false));  // rejected after the wrapper was used
    EXPECT_EQ(n.world.outlook.cleanupCount(), 2);

    // A report is dropped before any wrapper is asked for; one whose class cannot be read goes on.
    n.set(settings::NotifyReports, 0);
    auto item = n.put("Inbox", mail("b@x", true, true, platform::outlook::olReport));
    n.world.outlook.faults().fail("CreateSafeMailItem", 1);
    n.screening.ScreenNewItem(item);
    EXPECT_TRUE(n.world.outlook.faults().armed("CreateSafeMailItem"));
    EXPECT_EQ(n.world.outlook.cleanupCount(), 2);
    n.world.outlook.faults().clearAll();
    n.world.outlook.faults().fail("Class", 1);
    n.screening.ScreenNewItem(item);
    EXPECT_EQ(n.state.NewestSlot, 1);

    // Without the maker's library nothing is known to be unread, so nothing is notified.
    n.world.outlook.setMapiLibraryPresent(false);
    n.arrive(mail());
    EXPECT_EQ(n.state.NewestSlot, 1);
    EXPECT_EQ(n.world.outlook.cleanupCount(), 4);
}

TEST(ScreenNewItem, FolderThatCannotBeReadIsInNoIgnoredFolder)
{
    const std::pair<const char*, int> faults[] = {
        {"Parent", platform::sim::Faults::Always},  // no folder: no name, no identifiers
        {"EntryID", 1},                             // only the folder's EntryID is refused
    };
    for (const auto& [operation, times] : faults) {
        SCOPED_TRACE(operation);
        Notifier n;
        n.services.settings.write(settings::AutodismissFolders, "Spam:" + n.spamID() + "|");
        auto item = n.put("Inbox", mail());
        const std::string id = item->EntryID();
        n.world.outlook.faults().fail(operation, times);
        n.screening.ScreenNewItem(item);
        EXPECT_EQ(n.state.HistoryEntryID[0], id);
        EXPECT_EQ(n.state.HistoryStoreID[0], times == 1 ? n.world.outlook.folderStoreID("Inbox") : "");
    }
}

TEST(ScreenNewItem, ListsAreReloadedOnlyInTheirOwnModeAndSettingsForEveryItem)
{
    Notifier n;
    n.writeList(true, "bob|");
    n.writeList(false, "eve|");
    n.arrive(mail("bob@example.com"));  // ListMode 0: notified, no list read
    EXPECT_EQ(n.stored(settings::ReReadBList), 1u);
    EXPECT_TRUE(n.state.BList.empty());

    n.set(settings::ListMode, 1);
    n.arrive(mail("bob@example.com"));
    EXPECT_EQ(n.state.NewestSlot, 0);  // blocked
    EXPECT_EQ(n.state.BList, std::vector<std::string>{"bob"});
    EXPECT_EQ(n.stored(settings::ReReadBList), 0u);
    EXPECT_EQ(n.stored(settings::ReReadWList), 1u);

    // Without a raised flag the list in memory stands, whatever the file says now.
    n.world.files.put(n.services.lists.ListFolder() + "\\blist.qln", "");
    n.arrive(mail("bob@example.com"));
    EXPECT_EQ(n.state.NewestSlot, 0);

    n.set(settings::ListMode, 2);
    n.arrive(mail("eve@example.com"));
    EXPECT_EQ(n.state.NewestSlot, 1);  // allowed
    EXPECT_EQ(n.stored(settings::ReReadWList), 0u);

    n.set(settings::IsEnabled, 2);
    n.arrive(mail("eve@example.com"));
    EXPECT_EQ(n.state.NewestSlot, 1);
}

TEST(ScreenNewItem, BurstBookkeeping)
{
    Notifier n;
    n.set(settings::MultMsgDelay, 1);
    n.set(settings::MultMsgDelayTime, 6);
    ASSERT_FALSE(n.stored(settings::MultMsgDelayTimeChanged));  // missing: reads as raised

    n.arrive(mail());  // opens the burst and is shown at once
    EXPECT_EQ(n.state.DelayTicks, 6);
    EXPECT_EQ(n.stored(settings::MultMsgDelayTimeChanged), 0u);
    EXPECT_EQ(n.state.DelayWriteIndex, 1);
    EXPECT_EQ(n.state.DelayCountdown, 6);
    EXPECT_EQ(n.popup.log.back(), "compose 0 arrival");

    const auto logged = n.popup.log.size();
    n.set(settings::MultMsgDelayTime, 9);  // without the flag: not read
    const std::string b = n.arrive(mail());
    EXPECT_EQ(n.state.DelayWriteIndex, 2);
    EXPECT_EQ(n.state.DelayedEntryID[1], b);
    EXPECT_EQ(n.state.DelayedStoreID[1], n.world.outlook.folderStoreID("Inbox"));
    EXPECT_EQ(n.state.DelayTicks, 6);
    EXPECT_EQ(n.state.LatestItem, nullptr);
    EXPECT_EQ(n.state.NewestSlot, 0);
    EXPECT_EQ(n.popup.log.size(), logged);  // neither shown nor arrows touched
    EXPECT_EQ(n.world.outlook.cleanupCount(), 2);

    n.arrive(mail("b@x", false));  // rejected: takes no slot
    n.set(settings::MultMsgDelayTimeChanged, 1);
    EXPECT_EQ(n.state.DelayedEntryID[2], n.arrive(mail()));
    EXPECT_EQ(n.state.DelayTicks, 9);

    // Pacing off: the flag waits, and an item is shown at once even while the burst drains.
    n.set(settings::MultMsgDelay, 0);
    n.set(settings::MultMsgDelayTimeChanged, 1);
    n.arrive(mail());
    EXPECT_EQ(n.stored(settings::MultMsgDelayTimeChanged), 1u);
    EXPECT_EQ(n.state.NewestSlot, 1);
    EXPECT_EQ(n.state.DelayWriteIndex, 3);
}

} // namespace
