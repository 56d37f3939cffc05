#include "notifier/core/FolderMonitor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/sim/SimWorld.h"

namespace qln {
namespace {

using platform::sim::MailSpec;
using Ids = std::vector<std::string>;

// A monitor over the simulated world whose handlers only record what reaches them. Besides the
// default store's Inbox there are "Inbox/Filed" (default store) and "Archive:Inbox" (another store).
struct Monitored {
    explicit Monitored(platform::ObjectFactory* com = nullptr)
        : services(world.registry, world.files, world.system, world.desktop, world.loop, world.loop,
                   com ? *com : world.outlook)
    {
        world.outlook.addStore("Archive");
        world.outlook.addFolder("Inbox", "IPM.Note", "Archive");
        world.outlook.addFolder("Inbox/Filed");
    }
    void addInbox(int n, const std::string& path)
    {
        services.settings.write(settings::AddInbox(n), world.outlook.folderEntryID(path) + "|" +
                                                           world.outlook.folderStoreID(path) + "|" + path);
    }
    void start()
    {
        world.outlookStart();
        monitor.Connect();
        monitor.AttachAdditionalFolders();
    }
    void settle() { world.loop.runPending(); }
    std::string deliver(const std::string& path, MailSpec mail = {})
    {
        std::string id = world.outlook.deliver(path, mail);
        settle();
        return id;
    }

    platform::sim::SimWorld world;
    NotifierServices services;
    Ids screened;
    std::vector<platform::WindowHandle> foregrounds;  // the recorded foreground at each screening
    std::vector<bool> readOrRemoved;
    FolderMonitor monitor{services,
                          {.screen =
                               [this](std::shared_ptr<platform::outlook::Item> item) {
                                   screened.push_back(item->EntryID());
                                   foregrounds.push_back(monitor.previousForeground());
                               },
                           .shownItemReadOrRemoved = [this](bool removal) { readOrRemoved.push_back(removal); }}};
};

TEST(FolderMonitorTest, EachArrivalIsScreenedByItsSources)
{
    struct Case {
        const char* folder;
        bool additional;
        int ignoreInbox;
        int screenings;
    };
    const Case cases[] = {
        {"Inbox", false, 0, 1},         // ItemAdd; its NewMail is dropped
        {"Inbox/Filed", false, 0, 1},   // filed by a rule in the default store: NewMail
        {"Inbox/Filed", true, 0, 2},    // both sources
        {"Archive:Inbox", true, 0, 1},  // another store raises no NewMail
        {"Archive:Inbox", false, 0, 0}, {"Inbox", false, 1, 0}, {"Inbox/Filed", false, 1, 0},
        {"Inbox/Filed", true, 1, 1},    // additional folders do not consult IgnoreInbox
        {"Archive:Inbox", true, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + (c.additional ? " additional" : "") + " IgnoreInbox " +
                     std::to_string(c.ignoreInbox));
        Monitored m;
        m.services.settings.write(settings::IgnoreInbox, c.ignoreInbox);
        if (c.additional)
            m.addInbox(1, c.folder);
        m.start();
        const auto editor = m.world.desktop.addWindow("editor", "Notepad", "notes - Notepad");
        m.world.desktop.setForeground(editor);
        const std::string id = m.deliver(c.folder);
        EXPECT_EQ(m.screened, Ids(c.screenings, id));
        EXPECT_EQ(m.foregrounds, std::vector<platform::WindowHandle>(c.screenings, editor));
    }
}

TEST(FolderMonitorTest, AdditionalFoldersAreAttachedUpToTheFirstFailure)
{
    struct Case {
        const char* what;
        Ids values;        // AddInbox1, 2, ...: a folder of the Archive store, or a raw value
        int attached;
    };
    Ids hundredAndOne;
    for (int n = 1; n <= 101; ++n)
        hundredAndOne.push_back("F" + std::to_string(n));
    const Case cases[] = {
        {"AddInbox1 EOF hides AddInbox2", {"=EOF", "F1"}, 0},
        {"AddInbox2 names a deleted folder", {"F1", "Gone", "F2"}, 1},
        {"a value without its StoreID", {"F1", "=0000ABCD"}, 1},
        {"more than 100 values", hundredAndOne, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Monitored m;
        m.world.outlook.addFolder("Gone", "IPM.Note", "Archive");
        for (const auto& folder : hundredAndOne)
            m.world.outlook.addFolder(folder, "IPM.Note", "Archive");
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (c.values[i].starts_with("="))
                m.services.settings.write(settings::AddInbox(int(i) + 1), c.values[i].substr(1));
            else
                m.addInbox(int(i) + 1, "Archive:" + c.values[i]);
        }
        m.world.outlook.deleteFolder("Archive:Gone");
        m.start();
        EXPECT_EQ(m.monitor.attachedFolderCount(), c.attached);
        for (const auto& folder : hundredAndOne)
            m.deliver("Archive:" + folder);
        EXPECT_EQ(m.screened.size(), std::size_t(c.attached));
    }
}

TEST(FolderMonitorTest, ReadElsewhereAndRemovalReachTheShownItemHandling)
{
    Monitored m;
    m.addInbox(1, "Archive:Inbox");
    m.start();
    MailSpec readReport;
    readReport.itemClass = platform::outlook::olReport;
    readReport.unread = false;
    for (const char* folder : {"Inbox", "Archive:Inbox"}) {
        SCOPED_TRACE(folder);
        m.readOrRemoved.clear();
        const std::string mail = m.deliver(folder);
        const std::string report = m.deliver(folder, readReport);
        // Each event is handled before the next change, as the handler reads the item's state then.
        m.world.outlook.setUnread(mail, false);   // read elsewhere
        m.settle();
        m.world.outlook.setUnread(mail, true);    // marked unread: nothing
        m.settle();
        m.world.outlook.setUnread(report, true);  // not a mail item: counts as read
        m.settle();
        m.world.outlook.purge(mail);
        m.settle();
        EXPECT_EQ(m.readOrRemoved, (std::vector<bool>{false, false, true}));
    }
}

// --- The order of release at shutdown, over objects that log their end ---------------------------

using Log = std::vector<std::string>;

struct LoggedConnection final : platform::Connection {
    LoggedConnection(Log& log, std::string what) : log(log), what(std::move(what)) {}
    ~LoggedConnection() override { log.push_back(what + " events stop"); }
    Log& log;
    std::string what;
};

struct LoggedFolder final : platform::outlook::MAPIFolder, platform::outlook::Items {
    LoggedFolder(Log& log, std::string name) : log(log), name(std::move(name)) {}
    ~LoggedFolder() override { log.push_back("release " + name); }
    std::shared_ptr<platform::outlook::Items> Items() override { return std::make_shared<LoggedFolder>(log, "-"); }
    std::unique_ptr<platform::Connection> advise(platform::outlook::ItemsEvents) override
    {
        return std::make_unique<LoggedConnection>(log, "items");
    }
    std::int32_t Count() override { return 0; }
    std::string EntryID() override { return name; }
    std::string StoreID() override { return "S"; }
    std::string Name() override { return name; }
    std::string DefaultMessageClass() override { return "IPM.Note"; }
    std::int32_t UnReadItemCount() override { return 0; }
    Log& log;
    std::string name;
};

struct LoggedOutlook final : platform::outlook::Application, platform::outlook::NameSpace, platform::mapi::MAPIUtils {
    LoggedOutlook(Log& log, std::string name) : log(log), name(std::move(name)) {}
    ~LoggedOutlook() override { log.push_back("release " + name); }
    std::shared_ptr<platform::outlook::NameSpace> GetNamespace(const std::string&) override
    {
        return std::make_shared<LoggedOutlook>(log, "NameSpace");
    }
    std::shared_ptr<platform::outlook::MAPIFolder> GetDefaultFolder(std::int32_t) override
    {
        return std::make_shared<LoggedFolder>(log, "Inbox");
    }
    std::shared_ptr<platform::outlook::MAPIFolder> GetFolderFromID(const std::string& id, const std::string&) override
    {
        return std::make_shared<LoggedFolder>(log, id);
    }
    std::shared_ptr<platform::outlook::Item> GetItemFromID(const std::string&,
                                                           const std::optional<std::string>&) override
    {
        throw platform::Failure("no items here");
    }
    std::shared_ptr<platform::outlook::MAPIFolder> PickFolder() override { return nullptr; }
    std::unique_ptr<platform::Connection> adviseNewMail(
        std::function<void(std::shared_ptr<platform::outlook::Item>)>) override
    {
        return std::make_unique<LoggedConnection>(log, "NewMail");
    }
    void Cleanup() override { log.push_back("Cleanup"); }
    Log& log;
    std::string name;
};

struct LoggedFactory final : platform::ObjectFactory {
    std::shared_ptr<platform::outlook::Application> createOutlookApplication() override
    {
        return std::make_shared<LoggedOutlook>(log, "Application");
    }
    std::shared_ptr<platform::mapi::SafeMailItem> createSafeMailItem() override { throw platform::Failure("absent"); }
    std::shared_ptr<platform::mapi::MAPIUtils> createMAPIUtils() override
    {
        return std::make_shared<LoggedOutlook>(log, "MAPIUtils");
    }
    Log log;
};

TEST(FolderMonitorTest, ShutdownReleasesInTheOrderOfTheSequence)
{
    LoggedFactory com;
    Monitored m(&com);
    m.services.settings.write(settings::AddInbox(1), "F1|S|one");
    m.services.settings.write(settings::AddInbox(2), "F2|S|two");
    m.monitor.Connect();
    m.monitor.AttachAdditionalFolders();
    EXPECT_EQ(m.monitor.attachedFolderCount(), 2);
    com.log.clear();
    m.monitor.Disconnect();
    EXPECT_EQ(com.log, (Log{"items events stop", "release Inbox", "items events stop", "items events stop",
                            "release NameSpace", "release Application", "Cleanup", "NewMail events stop",
                            "release MAPIUtils"}));
}

} // namespace
} // namespace qln
