// The monitored and ignored folder lists: what loading makes of the stored text, slot numbers,
// the Browse and Remove buttons with their messages and limits, and what Apply writes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/options/FolderTestWorld.h"

namespace {

using qln::settings::AddInbox;
using qln::settings::AutodismissFolders;
using Rows = std::vector<std::string>;
using Slots = std::vector<std::int32_t>;

const std::string kAddLimit =
    "Error trying to add additional inbox, index exceeded! Contact support@quellin.example and let us know.";
const std::string kIgnoredLimit =
    "You have reached the max number of ignored folders! Contact support@quellin.example and let us know.";
const std::string kAddNotice = "This folder will not be monitored until you restart Outlook!";
const std::string kRemoveNotice = "This folder will continue to be monitored until you restart Outlook!";
const std::string kNotMail = "You must select a folder that can receive e-mail!";

class FolderLists : public ::testing::Test {
protected:
    foldertest::World w;
    forms::ListBox& monitored() { return w.form->lstAddInbox; }
    forms::ListBox& ignored() { return w.form->lstSpamFolders; }
    std::string monitoredEntry(const std::string& path, const std::string& name)
    {
        return w.sim.outlook.folderEntryID(path) + "|" + w.sim.outlook.folderStoreID(path) + "|" + name;
    }
};

// ---- Loading --------------------------------------------------------------------------------------

TEST_F(FolderLists, LoadsIgnoredFoldersSkippingShortPiecesAndToleratingMissingColons)
{
    // Short means characters: "日:b" is three of them in five bytes; "Спам:DD04" is a name in Cyrillic.
    w.store(AutodismissFolders, "Spam:AA01|ab|a:b|Junk:BB02|\u65e5:b|NoColon|Bulk:CC03:extra|\u0421\u043f\u0430\u043c:DD04|");
    auto& lists = w.open();

    EXPECT_EQ(w.rows(ignored()), (Rows{"Spam", "Junk", "NoColon", "Bulk", "\u0421\u043f\u0430\u043c"}));
    EXPECT_EQ(w.slots(ignored()), (Slots{0, 1, 2, 3, 4}));
    EXPECT_EQ(lists.NextIgnoredSlot(), 5);

    // Written back as read: a piece without a colon gets an empty identifier, and text after a
    // second colon is not kept.
    lists.save(w.settings);
    EXPECT_EQ(w.stored(AutodismissFolders), "Spam:AA01|Junk:BB02|NoColon:|Bulk:CC03|\u0421\u043f\u0430\u043c:DD04|");
}

TEST_F(FolderLists, LoadsMonitoredFoldersUpToTheTerminatorToleratingShortValues)
{
    w.store(AddInbox(1), "E1|S1|Work");
    w.store(AddInbox(2), "E2");
    w.store(AddInbox(3), "EOF");
    w.store(AddInbox(4), "E4|S4|Left over");
    auto& lists = w.open();

    EXPECT_EQ(w.rows(monitored()), (Rows{"Work", ""}));
    EXPECT_EQ(w.slots(monitored()), (Slots{1, 2}));
    EXPECT_EQ(lists.NextAddInboxSlot(), 4);

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AddInbox(1)), "E1|S1|Work");
    EXPECT_EQ(w.stored(AddInbox(2)), "E2||");
    EXPECT_EQ(w.stored(AddInbox(3)), "EOF");
    EXPECT_EQ(w.stored(AddInbox(4)), "E4|S4|Left over");
}

TEST_F(FolderLists, RowsNumberedPastTheTablesKeepTheirIdentifiersThroughApply)
{
    std::string ignoredText;
    for (int i = 0; i < 105; ++i)
        ignoredText += "Folder" + std::to_string(i) + ":ID" + std::to_string(i) + "|";
    w.store(AutodismissFolders, ignoredText);
    for (int n = 1; n <= 103; ++n)
        w.store(AddInbox(n), "E" + std::to_string(n) + "|S" + std::to_string(n) + "|Box" + std::to_string(n));
    auto& lists = w.open();

    ASSERT_EQ(ignored().ListCount(), 105);
    ASSERT_EQ(monitored().ListCount(), 103);
    EXPECT_EQ(ignored().ItemData(104), 104);
    EXPECT_EQ(monitored().ItemData(102), 103);

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AutodismissFolders), ignoredText);
    EXPECT_EQ(w.stored(AddInbox(103)), "E103|S103|Box103");
    EXPECT_EQ(w.stored(AddInbox(104)), "EOF");

    // Both lists are full: Browse only says so.
    w.browseIgnored("Inbox");
    w.browseAddInbox("Inbox");
    EXPECT_EQ(w.messages, (Rows{kIgnoredLimit, kAddLimit}));
    EXPECT_EQ(ignored().ListCount(), 105);
    EXPECT_EQ(monitored().ListCount(), 103);
}

// ---- Monitored folders -------------------------------------------------------------------------------

TEST_F(FolderLists, FirstMonitoredFolderGetsSlotThreeAndIsWrittenFirst)
{
    w.sim.outlook.addFolder("Inbox/Work");
    auto& lists = w.open();
    EXPECT_EQ(lists.NextAddInboxSlot(), 2);

    w.browseAddInbox("Inbox/Work");
    EXPECT_EQ(w.rows(monitored()), (Rows{"Work"}));
    EXPECT_EQ(w.slots(monitored()), (Slots{3}));
    EXPECT_EQ(w.dirtyCount, 1);

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AddInbox(1)), monitoredEntry("Inbox/Work", "Work"));
    EXPECT_EQ(w.stored(AddInbox(2)), "EOF");
}

TEST_F(FolderLists, FolderNamesInAnyScriptAndBytesThatAreNotUtf8)
{
    w.sim.outlook.addFolder("Inbox/\u0420\u0430\u0431\u043e\u0442\u0430");
    w.sim.outlook.addFolder("Inbox/Bad\xFF\xC3");
    w.open();
    w.browseAddInbox("Inbox/\u0420\u0430\u0431\u043e\u0442\u0430");
    w.browseAddInbox("Inbox/Bad\xFF\xC3");
    EXPECT_EQ(w.rows(monitored()), (Rows{"\u0420\u0430\u0431\u043e\u0442\u0430", "Bad\uFFFD\uFFFD"}));
}

TEST_F(FolderLists, RemovingTheOnlyMonitoredFolderEndsTheListAtOneAndLeavesOlderValues)
{
    w.store(AddInbox(1), "E1|S1|Work");
    auto& lists = w.open();
    w.store(AddInbox(2), "E2|S2|Older");  // left over from a longer list

    lists.btnRemoveAddInbox_Click();  // nothing selected
    EXPECT_EQ(monitored().ListCount(), 1);
    EXPECT_EQ(w.dirtyCount, 0);
    EXPECT_TRUE(w.messages.empty());

    monitored().setListIndex(0);
    lists.btnRemoveAddInbox_Click();
    EXPECT_EQ(monitored().ListCount(), 0);
    EXPECT_EQ(w.messages, (Rows{kRemoveNotice}));
    EXPECT_EQ(w.dirtyCount, 1);

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AddInbox(1)), "EOF");
    EXPECT_EQ(w.stored(AddInbox(2)), "E2|S2|Older");
}

TEST_F(FolderLists, OnlyMailAndPostFoldersCanBeMonitored)
{
    w.sim.outlook.addFolder("Shared", "IPM.Post");
    w.open();

    w.browseAddInbox("Calendar");
    EXPECT_EQ(w.messages, (Rows{kNotMail}));
    EXPECT_EQ(monitored().ListCount(), 0);
    EXPECT_EQ(w.dirtyCount, 0);

    w.browseAddInbox("Shared");
    w.browseAddInbox("Drafts");
    EXPECT_EQ(w.rows(monitored()), (Rows{"Shared", "Drafts"}));
    EXPECT_EQ(w.slots(monitored()), (Slots{4, 5}));  // the refused pick used slot 3
}

TEST_F(FolderLists, RestartNoticesShowOncePerPageLife)
{
    w.sim.outlook.addFolder("Inbox/A");
    w.sim.outlook.addFolder("Inbox/B");
    auto& lists = w.open();

    w.browseAddInbox("Inbox/A");
    w.browseAddInbox("Inbox/B");
    monitored().setListIndex(0);
    lists.btnRemoveAddInbox_Click();
    monitored().setListIndex(0);
    lists.btnRemoveAddInbox_Click();
    EXPECT_EQ(w.messages, (Rows{kAddNotice, kRemoveNotice}));
    EXPECT_TRUE(lists.AddNoticeShown());
    EXPECT_TRUE(lists.RemoveNoticeShown());
    EXPECT_EQ(w.dirtyCount, 4);

    // Ignored folders have no notice.
    w.browseIgnored("Inbox/A");
    EXPECT_EQ(w.messages.size(), 2u);

    auto& reopened = w.open();
    EXPECT_FALSE(reopened.AddNoticeShown());
    w.browseAddInbox("Inbox/A");
    EXPECT_EQ(w.messages, (Rows{kAddNotice}));
}

TEST_F(FolderLists, LimitsCountCancelledPicksAndNeverWrap)
{
    w.open();  // nothing stored: the next monitored slot is 3, the next ignored one 1
    for (int press = 0; press < 97; ++press)
        w.browseAddInbox(std::nullopt);
    for (int press = 0; press < 99; ++press)
        w.browseIgnored(std::nullopt);
    w.browseAddInbox("Inbox");  // slot 100 is the last of each list
    w.browseIgnored("Inbox");
    EXPECT_EQ(w.slots(monitored()), (Slots{100}));
    EXPECT_EQ(w.slots(ignored()), (Slots{100}));
    w.messages.clear();

    // Far more presses than a 16-bit counter holds: each one is refused with the message.
    for (int press = 0; press < 40000; ++press)
        w.browseAddInbox("Drafts");
    w.browseIgnored("Drafts");
    EXPECT_EQ(monitored().ListCount(), 1);
    EXPECT_EQ(ignored().ListCount(), 1);
    EXPECT_EQ(w.messages.size(), 40001u);
    EXPECT_EQ(w.messages.front(), kAddLimit);
    EXPECT_EQ(w.messages.back(), kIgnoredLimit);
}

// ---- Ignored folders -----------------------------------------------------------------------------

TEST_F(FolderLists, IgnoredFoldersKeepTheirSlotsAcrossGapsAndRemovals)
{
    w.store(AutodismissFolders, "Spam:AA01|Junk:BB02|");
    auto& lists = w.open();

    w.browseIgnored(std::nullopt);       // cancelled: slot 3 is used up
    w.browseIgnored("Calendar");         // any kind of folder is taken
    EXPECT_EQ(w.rows(ignored()), (Rows{"Spam", "Junk", "Calendar"}));
    EXPECT_EQ(w.slots(ignored()), (Slots{0, 1, 4}));
    EXPECT_EQ(w.dirtyCount, 1);

    ignored().setListIndex(0);
    lists.btnSpamRemove_Click();
    lists.btnSpamRemove_Click();  // the removal left nothing selected
    EXPECT_EQ(w.slots(ignored()), (Slots{1, 4}));
    EXPECT_EQ(w.dirtyCount, 2);
    EXPECT_TRUE(w.messages.empty());

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AutodismissFolders), "Junk:BB02|Calendar:" + w.sim.outlook.folderEntryID("Calendar") + "|");
}

TEST_F(FolderLists, IgnoredFolderNameWithColonIsWrittenUnchangedAndReadsBackCut)
{
    w.sim.outlook.addFolder("Re: later");
    auto& lists = w.open();
    w.browseIgnored("Re: later");
    const std::string id = w.sim.outlook.folderEntryID("Re: later");

    lists.save(w.settings);
    EXPECT_EQ(w.stored(AutodismissFolders), "Re: later:" + id + "|");

    w.open();
    EXPECT_EQ(w.rows(ignored()), (Rows{"Re"}));
    w.lists->save(w.settings);
    EXPECT_EQ(w.stored(AutodismissFolders), "Re: later|");
}

// ---- Saving and failures ---------------------------------------------------------------------------

TEST_F(FolderLists, ApplyWritesIgnoredFoldersThenTheNumberedListAndItsEnd)
{
    w.store(AutodismissFolders, "Spam:AA01|");
    w.store(AddInbox(1), "E1|S1|One");
    w.store(AddInbox(2), "E2|S2|Two");
    auto& lists = w.open();

    std::vector<std::string> writes;
    w.sim.registry.on_write = [&](platform::Hive, const std::string&, const std::string& name,
                                  const platform::sim::RegValue& value) {
        writes.push_back(name + "=" + value.asText().value_or("?"));
    };
    lists.save(w.settings);
    EXPECT_EQ(writes, (Rows{"AutodismissFolders=Spam:AA01|", "AddInbox1=EOF", "AddInbox1=E1|S1|One",
                            "AddInbox2=E2|S2|Two", "AddInbox3=EOF"}));

    writes.clear();
    ignored().setListIndex(0);
    lists.btnSpamRemove_Click();
    lists.save(w.settings);
    EXPECT_EQ(writes.front(), "AutodismissFolders=");
}

TEST_F(FolderLists, PickerOrFolderFailuresAddNothing)
{
    w.sim.outlook.addFolder("Inbox/Work");
    auto& lists = w.open();

    for (const char* operation : {"PickFolder", "DefaultMessageClass", "Name", "EntryID", "StoreID"}) {
        SCOPED_TRACE(operation);
        w.sim.outlook.faults().fail(operation, 1);
        w.browseAddInbox("Inbox/Work");
        w.sim.outlook.faults().clearAll();
        EXPECT_EQ(monitored().ListCount(), 0);
    }
    w.sim.outlook.faults().fail("PickFolder", 1);
    w.browseIgnored("Inbox/Work");
    EXPECT_EQ(ignored().ListCount(), 0);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.dirtyCount, 0);

    // Without Outlook's namespace there is no picker: a press uses up its slot and adds nothing.
    const auto before = lists.NextAddInboxSlot();
    lists.btnBrowseAddInbox_Click(nullptr);
    lists.btnAddSpamFolder_Click(nullptr);
    EXPECT_EQ(lists.NextAddInboxSlot(), before + 1);
    EXPECT_EQ(lists.NextIgnoredSlot(), 2);
    EXPECT_EQ(monitored().ListCount(), 0);
    EXPECT_EQ(ignored().ListCount(), 0);
    EXPECT_TRUE(w.messages.empty());

    // The failures used up slots, as cancelled picks do; the next pick works.
    w.browseAddInbox("Inbox/Work");
    EXPECT_EQ(w.slots(monitored()), (Slots{9}));
}

} // namespace
