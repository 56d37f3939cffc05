#include "shared/SenderLists.h"

#include <gtest/gtest.h>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"

namespace {

using platform::Hive;
using platform::sim::RegValue;
using qln::ListFolderBase;
using qln::SenderListFiles;
using Entries = std::vector<std::string>;
namespace settings = qln::settings;

constexpr const char* kSettingsKey = "Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings";

// Forwards to the simulated file system and logs each read into a log shared with the registry's
// writes, so a test can see what happened first.
class LoggingFiles final : public platform::FileSystem {
public:
    LoggingFiles(platform::FileSystem& inner, std::vector<std::string>& log) : inner_(inner), log_(log) {}
    std::string readFirstLine(std::string_view path) override
    {
        log_.push_back("read " + std::string(path));
        return inner_.readFirstLine(path);
    }
    void writeFile(std::string_view path, std::string_view content) override { inner_.writeFile(path, content); }
    void replaceFile(std::string_view from, std::string_view to) override { inner_.replaceFile(from, to); }
    void deleteFile(std::string_view path) override { inner_.deleteFile(path); }
    void createFolder(std::string_view path) override { inner_.createFolder(path); }

private:
    platform::FileSystem& inner_;
    std::vector<std::string>& log_;
};

struct World {
    platform::sim::SimRegistry registry;
    platform::sim::SimFileSystem files;
    platform::sim::SimSystemInfo system;
    std::vector<std::string> log;
    LoggingFiles logged{files, log};
    qln::mdlRegistry mdl{registry, system, logged};
    settings::Settings pageSettings{mdl, settings::Reader::Page};
    settings::Settings notifierSettings{mdl, settings::Reader::Notifier};
    SenderListFiles page{pageSettings, ListFolderBase::InstallPath};
    SenderListFiles notifier{notifierSettings, ListFolderBase::ProgramFolder};

    World()
    {
        registry.on_write = [this](Hive, const std::string&, const std::string& name, const RegValue& v) {
            log.push_back(name + "=" + std::to_string(v.asDword().value_or(99)));
        };
    }
    std::optional<std::uint32_t> flag(const char* name) const
    {
        const auto v = registry.get(Hive::CurrentUser, kSettingsKey, name);
        return v ? v->asDword() : std::nullopt;
    }
};

TEST(SenderLists, ListFolderIsResolvedAnewForBothPrograms)
{
    World w;
    EXPECT_EQ(w.page.ListFolder(), "C:\\\\alice");  // QLNPath missing: "C:\" + "\" + user
    EXPECT_EQ(w.notifier.ListFolder(), "C:\\Program Files\\Quellin\\alice");

    w.registry.set(Hive::CurrentUser, "Software\\Korvane\\Quellin\\Main", "QLNPath", RegValue::sz("D:\\Apps\\Quellin"));
    w.system.setProgramFolder("D:\\Apps\\Quellin");
    EXPECT_EQ(w.page.ListFolder(), "D:\\Apps\\Quellin\\alice");
    EXPECT_EQ(w.notifier.ListFolder(), w.page.ListFolder());

    w.system.setUserName(std::nullopt);
    EXPECT_EQ(w.page.ListFolder(), "D:\\Apps\\Quellin\\Default");

    w.registry.set(Hive::CurrentUser, kSettingsKey, "BWPath", RegValue::sz("E:\\Shared\\Lists"));
    EXPECT_EQ(w.page.ListFolder(), "E:\\Shared\\Lists");
    EXPECT_EQ(w.notifier.ListFolder(), "E:\\Shared\\Lists");
}

TEST(SenderLists, PageSavesAndBothProgramsLoadFromTheDoubleBackslashFolder)
{
    World w;
    w.system.setProgramFolder("C:\\");  // the notifier installed at the drive's root
    w.page.SaveBList({"spam@example.com", "@junk.org", "a|b"});
    w.page.SaveWList({});
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "spam@example.com|@junk.org|a|b|");
    EXPECT_EQ(w.files.content("C:\\alice\\wlist.qln"), "");
    EXPECT_FALSE(w.files.fileExists("C:\\alice\\blist.qln.new"));

    // The bar inside an entry is written unchanged and splits it on the way back.
    const Entries expected = {"spam@example.com", "@junk.org", "a", "b"};
    EXPECT_EQ(w.notifier.LoadBList(), expected);
    EXPECT_EQ(w.page.LoadBList(), expected);
    EXPECT_EQ(w.notifier.LoadWList(), Entries{});
}

TEST(SenderLists, SaveRaisesTheFlagFirstAndReplacesTheFileInOneStep)
{
    World w;
    w.files.put("C:\\alice\\blist.qln", "old|");
    std::vector<std::optional<std::uint32_t>> flagAtChange;
    w.files.on_change = [&](const std::string&, const std::string&) { flagAtChange.push_back(w.flag("ReReadBList")); };

    w.page.SaveBList({"new@x.com"});
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "new@x.com|");
    EXPECT_EQ(w.files.journal(), (std::vector<std::string>{
                                     "writeFile C:\\\\alice\\blist.qln.new",
                                     "replaceFile C:\\\\alice\\blist.qln.new -> C:\\\\alice\\blist.qln",
                                 }));  // the folder existed, so MakeFolder changed nothing
    EXPECT_EQ(flagAtChange, (std::vector<std::optional<std::uint32_t>>{1u, 1u}));
    EXPECT_EQ(w.flag("ReReadWList"), std::nullopt);  // the other list's flag is not touched
}

TEST(SenderLists, AFailedSaveKeepsTheOldListWholeAndTheFlagRaised)
{
    const struct {
        const char* what;
        const char* fault;
    } cases[] = {
        {"writing the new file fails", "writeFile"},
        {"putting it in place fails", "replaceFile"},
        {"leftover cannot be deleted either", "deleteFile"},
    };
    for (const auto& c : cases) {
        World w;
        w.files.put("C:\\alice\\blist.qln", "old@x.com|");
        w.files.faults().fail(c.fault);
        if (std::string(c.fault) == "deleteFile")
            w.files.faults().fail("writeFile");
        w.page.SaveBList({"new@x.com"});

        EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "old@x.com|") << c.what;
        for (const auto& entry : w.files.journal())
            EXPECT_NE(entry, "writeFile C:\\\\alice\\blist.qln") << c.what;  // never truncated
        if (std::string(c.fault) != "deleteFile") {
            EXPECT_FALSE(w.files.fileExists("C:\\alice\\blist.qln.new")) << c.what;
        }
        EXPECT_EQ(w.flag("ReReadBList"), 1u) << c.what;
        w.files.faults().clearAll();
        EXPECT_EQ(w.page.LoadBList(), Entries{"old@x.com"}) << c.what;
    }

    // The list folder cannot be made (its parent is missing): nothing is written at all.
    World w;
    w.registry.set(Hive::CurrentUser, kSettingsKey, "BWPath", RegValue::sz("Q:\\gone\\lists"));
    w.page.SaveWList({"x@y.z"});
    EXPECT_FALSE(w.files.folderExists("Q:\\gone"));
    EXPECT_TRUE(w.files.journal().empty());
    EXPECT_EQ(w.flag("ReReadWList"), 1u);

    // A denied flag write does not stop the save.
    w.registry.deleteValue(Hive::CurrentUser, kSettingsKey, "BWPath");
    w.registry.faults().fail("RegSetValueEx");
    w.page.SaveBList({"x@y.z"});
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "x@y.z|");
}

TEST(SenderLists, LoadClearsTheFlagBeforeOpeningTheFileAndSurvivesAnyContent)
{
    std::string manyEntries;
    Entries many;
    for (int i = 0; i < 100'000; ++i) {
        many.push_back("user" + std::to_string(i) + "@example.com");
        manyEntries += many.back() + "|";
    }
    const std::string tenMegabytes(10 << 20, 'z');
    const struct {
        const char* what;
        std::optional<std::string> file;  // nullopt: missing
        Entries entries;
    } cases[] = {
        {"missing", std::nullopt, {}},
        {"empty", "", {}},
        {"no bar", "a,b", {}},
        {"last piece not ended", "a|b", {"a"}},
        {"one empty entry", "|", {""}},
        {"hand-edited empty entry", "a||b|", {"a", "", "b"}},
        {"CR LF and a second line", "a|b|\r\nc|d|\r\n", {"a", "b"}},
        {"LF only", "\na|", {}},
        {"binary bytes", std::string("x\0y|\xFF\xFE|", 7), {std::string("x\0y", 3), "\u00ff\u00fe"}},
        {"100,000 entries", manyEntries, many},
        {"one 10 MB line without a bar", tenMegabytes, {}},
        {"one 10 MB entry", tenMegabytes + "|", {tenMegabytes}},
    };
    for (const auto& c : cases) {
        World w;
        w.registry.set(Hive::CurrentUser, kSettingsKey, "ReReadBList", RegValue::dword(1));
        if (c.file)
            w.files.put("C:\\alice\\blist.qln", *c.file);
        const Entries loaded = w.page.LoadBList();
        EXPECT_EQ(loaded.size(), c.entries.size()) << c.what;
        EXPECT_TRUE(loaded == c.entries) << c.what;
        EXPECT_EQ(w.log, (std::vector<std::string>{"ReReadBList=0", "read C:\\\\alice\\blist.qln"})) << c.what;
        EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), c.file) << c.what;  // untouched
        EXPECT_TRUE(w.files.journal().empty()) << c.what;
    }

    // An unreadable file reads as empty; the flag is cleared all the same.
    World w;
    w.files.put("C:\\alice\\wlist.qln", "a|");
    w.registry.set(Hive::CurrentUser, kSettingsKey, "ReReadWList", RegValue::dword(1));
    w.files.faults().fail("readFirstLine", 1);
    EXPECT_EQ(w.notifier.LoadWList(), Entries{});
    EXPECT_EQ(w.flag("ReReadWList"), 0u);
}

TEST(SenderLists, HandEditedEntriesAreKeptAndRewrittenUnchanged)
{
    World w;
    w.files.put("C:\\alice\\blist.qln", "a@x.com||@y.org|");
    const Entries loaded = w.page.LoadBList();
    w.page.SaveBList(loaded);
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "a@x.com||@y.org|");
}

TEST(SenderLists, TwoUsersKeepSeparateLists)
{
    World w;
    w.page.SaveBList({"alice@x.com"});
    w.system.setUserName("bob");
    EXPECT_EQ(w.page.LoadBList(), Entries{});
    w.page.SaveBList({"bob@x.com"});
    EXPECT_EQ(w.files.content("C:\\bob\\blist.qln"), "bob@x.com|");
    w.system.setUserName("alice");
    EXPECT_EQ(w.page.LoadBList(), Entries{"alice@x.com"});
}

TEST(SenderLists, AnEntryMatchesWhereverItOccursAndAnEmptyOneNowhere)
{
    const struct {
        const char* entry;
        const char* sender;
        bool matches;
    } cases[] = {
        {"bob@example.com", "bob@example.com", true},
        {"BOB@Example.com", "bob@example.COM", true},
        {"@example.com", "anyone@example.com", true},
        {"example.com", "anyone@mail.example.com", true},
        {"ob@ex", "bob@example.com", true},
        {"example.org", "bob@example.com", false},
        {"bob@example.com.au", "bob@example.com", false},
        {"", "bob@example.com", false},
        {"", "", false},
        {"x", "", false},
        // Case is ignored in every script that has it.
        {"J\u00dcRGEN.GRO\u00df@", "j\u00fcrgen.gro\u00df@k\u00f6ln.example", true},
        {"\u0414\u041c\u0418\u0422\u0420\u0418\u0419@", "\u0434\u043c\u0438\u0442\u0440\u0438\u0439@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444", true},
        {"\u03a3\u03a9\u03a3", "\u03c3\u03c9\u03c2@example.gr", true},
        {"\u0434\u043c\u0438\u0442\u0440\u0438\u0439@", "dmitrij@example.ru", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qln::SenderMatches(c.entry, c.sender), c.matches) << '"' << c.entry << "\" in \"" << c.sender << '"';
        EXPECT_EQ(qln::SenderAddress(c.sender).matches(c.entry), c.matches) << c.entry << " in " << c.sender;
    }
}

TEST(SenderLists, FilesAreUtf8AndOldAnsiFilesStillLoad)
{
    World w;
    // Written as UTF-8 without a byte-order mark; read back as written.
    const Entries international = {"j\u00fcrgen@k\u00f6ln.example", "@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444", "\u65e5\u672c"};
    w.page.SaveBList(international);
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"),
              "j\u00fcrgen@k\u00f6ln.example|@\u043f\u043e\u0447\u0442\u0430.\u0440\u0444|\u65e5\u672c|");
    EXPECT_EQ(w.page.LoadBList(), international);

    // An ASCII list stays byte for byte what it was.
    w.files.put("C:\\alice\\wlist.qln", "a@x.com|@y.org|");
    w.page.SaveWList(w.page.LoadWList());
    EXPECT_EQ(w.files.content("C:\\alice\\wlist.qln"), "a@x.com|@y.org|");

    // An older file in Windows-1252, and a byte-order mark an editor put in front.
    w.files.put("C:\\alice\\blist.qln", "j\xFCrgen@k\xF6ln.example|\x80uro@x|");
    EXPECT_EQ(w.page.LoadBList(), (Entries{"j\u00fcrgen@k\u00f6ln.example", "\u20acuro@x"}));
    w.files.put("C:\\alice\\blist.qln", "\xEF\xBB\xBF@example.com|\u00e9@x|");
    EXPECT_EQ(w.page.LoadBList(), (Entries{"@example.com", "\u00e9@x"}));

    // One entry in another encoding leaves its neighbours as written; broken bytes never reach
    // a file, so the list reads back whole.
    w.files.put("C:\\alice\\blist.qln", "\u00e9@x|\xE9@y|\xF0\x9F|");
    EXPECT_EQ(w.page.LoadBList(), (Entries{"\u00e9@x", "\u00e9@y", "\u00f0\u0178"}));
    w.page.SaveBList({"ok\u00e9", "bad\xFF\xC3"});
    EXPECT_EQ(w.files.content("C:\\alice\\blist.qln"), "ok\u00e9|bad\uFFFD\uFFFD|");
    EXPECT_EQ(w.page.LoadBList(), (Entries{"ok\u00e9", "bad\uFFFD\uFFFD"}));
}

} // namespace
