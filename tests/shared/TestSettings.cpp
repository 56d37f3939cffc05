#include "shared/Settings.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"

namespace {

using namespace qln::settings;
using platform::Hive;
using platform::sim::RegValue;

struct World {
    platform::sim::SimRegistry registry;
    platform::sim::SimFileSystem files;
    platform::sim::SimSystemInfo system;
    qln::mdlRegistry mdl{registry, system, files};
    Settings page{mdl, Reader::Page};
    Settings notifier{mdl, Reader::Notifier};
};

constexpr const char* kSettingsKey = "Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings";

std::string nameOf(const TwinnedValue& v) { return v.dword ? v.dword->name : v.string->name; }

// The schema as the two programs rely on it: key, name and the default each reader assumes.
struct Expected {
    StoreKey key;
    const char* pageDefault;
    const char* notifierDefault;
};
const std::map<std::string, Expected>& expectedSchema()
{
    static const std::map<std::string, Expected> table{
        {"IsEnabled", {StoreKey::Settings, "1", "1"}},
        {"MarkRead", {StoreKey::Settings, "1", "1"}},
        {"NotifyReports", {StoreKey::Settings, "1", "1"}},
        {"SwitchTo", {StoreKey::Settings, "", "Open"}},
        {"WinState", {StoreKey::Settings, "", "Max"}},
        {"Dismiss", {StoreKey::Settings, "0", "0"}},
        {"DismissTime", {StoreKey::Settings, "90", "90"}},
        {"MultMsgDelay", {StoreKey::Settings, "0", "0"}},
        {"MultMsgDelayTime", {StoreKey::Settings, "4", "4"}},
        {"ListMode", {StoreKey::Settings, "0", "0"}},
        {"BWPath", {StoreKey::Settings, "", ""}},
        {"AutodismissFolders", {StoreKey::Settings, "", ""}},
        {"Autodismiss3rdPartySpam", {StoreKey::Settings, "1", "1"}},
        {"DisableActionButtons", {StoreKey::Settings, "0", "0"}},
        {"ShowInboxSum", {StoreKey::Settings, "1", "1"}},
        {"ShowSenderName", {StoreKey::Settings, "1", "1"}},
        {"ShowRecipient", {StoreKey::Settings, "0", "0"}},
        {"ShowSubject", {StoreKey::Settings, "1", "1"}},
        {"ShowReceivedSize", {StoreKey::Settings, "1", "1"}},
        {"ShowMessageBody", {StoreKey::Settings, "1", "1"}},
        {"BodyAmount", {StoreKey::Settings, "150", "150"}},
        {"BackColor", {StoreKey::Settings, "14811135", "14811135"}},
        {"UseTransparency", {StoreKey::Settings, "0", "0"}},
        {"TransparencyLevel", {StoreKey::Settings, "200", "200"}},
        {"WinAppear", {StoreKey::Settings, "None", "None"}},
        {"WinRate", {StoreKey::Settings, "10", "10"}},
        {"Fade", {StoreKey::Settings, "0", "0"}},
        {"UseSetFormSize", {StoreKey::Settings, "0", "0"}},
        {"SetFormWidth", {StoreKey::Settings, "200", "200"}},
        {"SetFormHeight", {StoreKey::Settings, "75", "75"}},
        {"WindowPosition", {StoreKey::Settings, "0", "0"}},
        {"SpaceWidth", {StoreKey::Settings, "27", "27"}},
        {"SpaceHeight", {StoreKey::Settings, "54", "54"}},
        {"UserFontName", {StoreKey::Settings, "MS Sans Serif", "MS Sans Serif"}},
        {"UserFontSize", {StoreKey::Settings, "8", "8"}},
        {"UserFontColor", {StoreKey::Settings, "-2147483630", "-2147483630"}},  // 0x80000012
        {"HKkDismiss", {StoreKey::Settings, "0", "0"}},
        {"HKmDismiss", {StoreKey::Settings, "0", "0"}},
        {"HKChanged", {StoreKey::Settings, "0", "0"}},
        {"Preview", {StoreKey::Settings, "0", "0"}},
        {"ReReadBList", {StoreKey::Settings, "0", "0"}},
        {"ReReadWList", {StoreKey::Settings, "0", "0"}},
        {"MultMsgDelayTimeChanged", {StoreKey::Settings, "1", "1"}},
        {"IgnoreInbox", {StoreKey::Options, "0", "0"}},
        {"GetStart", {StoreKey::Options, "1", "1"}},
        {"QLNPath", {StoreKey::Install, "C:\\", "C:\\"}},
        {"Help", {StoreKey::Install, "", ""}},
        {"MinToTray", {StoreKey::OutlookPreferences, "0", "0"}},
        {"AddressBarWidth", {StoreKey::OutlookOptions, "0", "0"}},
    };
    return table;
}

TEST(Settings, EveryValueHasItsKeyAndEachReadersDefault)
{
    World w;  // an empty registry: a fresh installation
    const auto values = allValues();
    std::set<std::string> seen;
    for (const auto& v : values) {
        const std::string name = nameOf(v);
        ASSERT_EQ(v.dword == nullptr, v.string != nullptr) << name;
        EXPECT_TRUE(seen.insert(name).second) << "listed twice: " << name;
        const auto it = expectedSchema().find(name);
        ASSERT_NE(it, expectedSchema().end()) << "not in the schema: " << name;
        const Expected& e = it->second;
        if (v.dword) {
            EXPECT_EQ(v.dword->key, e.key) << name;
            EXPECT_EQ(std::to_string(w.page.read(*v.dword)), e.pageDefault) << name;
            EXPECT_EQ(std::to_string(w.notifier.read(*v.dword)), e.notifierDefault) << name;
        } else {
            EXPECT_EQ(v.string->key, e.key) << name;
            EXPECT_EQ(w.page.read(*v.string), e.pageDefault) << name;
            EXPECT_EQ(w.notifier.read(*v.string), e.notifierDefault) << name;
        }
    }
    EXPECT_EQ(seen.size(), expectedSchema().size());
    EXPECT_EQ(SetFormWidthLargeFontsDefault, 265);
    EXPECT_TRUE(w.registry.get(Hive::CurrentUser, kSettingsKey, "IsEnabled") == std::nullopt);  // not written back

    EXPECT_EQ(keyPath(StoreKey::Settings), kSettingsKey);
    EXPECT_EQ(keyPath(StoreKey::Options), "Software\\Korvane\\Quellin\\Opt");
    EXPECT_EQ(keyPath(StoreKey::Install), "Software\\Korvane\\Quellin\\Main");
    EXPECT_EQ(keyPath(StoreKey::OutlookPreferences), "Software\\Microsoft\\Office\\10.0\\Outlook\\Preferences");
    EXPECT_EQ(keyPath(StoreKey::OutlookOptions), "Software\\Microsoft\\Office\\10.0\\Outlook\\Options");
}

TEST(Settings, PreviewTwinsFollowTheWritersOrder)
{
    const std::vector<std::string> order = {
        "ShowInboxSum",   "ShowSenderName", "ShowRecipient",     "ShowSubject",  "ShowReceivedSize", "ShowMessageBody",
        "BodyAmount",     "BackColor",      "UseTransparency",   "TransparencyLevel", "WinRate",     "WinAppear",
        "UseSetFormSize", "SetFormWidth",   "SetFormHeight",     "UserFontName", "UserFontSize",     "UserFontColor",
        "SpaceWidth",     "SpaceHeight",    "WindowPosition",
    };
    const auto sources = previewTwinSources();
    ASSERT_EQ(sources.size(), order.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(nameOf(sources[i]), order[i]);
        if (sources[i].dword) {
            const DwordValue twin = previewTwin(*sources[i].dword);
            EXPECT_EQ(twin.name, "p" + order[i]);
            EXPECT_EQ(twin.key, StoreKey::Settings);
            EXPECT_EQ(twin.pageDefault, sources[i].dword->pageDefault);
            EXPECT_EQ(twin.notifierDefault, sources[i].dword->notifierDefault);
        } else {
            const StringValue twin = previewTwin(*sources[i].string);
            EXPECT_EQ(twin.name, "p" + order[i]);
            EXPECT_EQ(twin.notifierDefault, sources[i].string->notifierDefault);
        }
    }

    // A twin is its own value: writing it leaves the plain setting alone.
    World w;
    w.page.write(previewTwin(BackColor), 255);
    EXPECT_EQ(w.notifier.read(previewTwin(BackColor)), 255);
    EXPECT_EQ(w.notifier.read(BackColor), 14811135);
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, kSettingsKey, "pBackColor"), RegValue::dword(255));
}

TEST(Settings, AddInboxValuesAndRoundTrips)
{
    World w;
    EXPECT_EQ(AddInbox(1).name, "AddInbox1");
    EXPECT_EQ(AddInbox(12).name, "AddInbox12");
    EXPECT_EQ(w.notifier.read(AddInbox(3)), "EOF");
    EXPECT_EQ(w.page.read(AddInbox(3)), "EOF");

    w.page.write(AddInbox(1), "00AB|00CD|Spam");
    w.page.write(SwitchTo, "Both");
    w.page.write(UserFontColor, static_cast<std::int32_t>(0x80000012u));
    w.notifier.write(GetStart, 0);
    EXPECT_EQ(w.notifier.read(AddInbox(1)), "00AB|00CD|Spam");
    EXPECT_EQ(w.notifier.read(SwitchTo), "Both");
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, kSettingsKey, "UserFontColor"), RegValue::dword(2147483666u));
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, "Software\\Korvane\\Quellin\\Opt", "GetStart"), RegValue::dword(0));

    // Deleting the settings key brings back every default.
    w.registry.deleteKey(Hive::CurrentUser, kSettingsKey);
    EXPECT_EQ(w.notifier.read(SwitchTo), "Open");
    EXPECT_EQ(w.page.read(SwitchTo), "");
    EXPECT_EQ(w.notifier.read(AddInbox(1)), "EOF");
}

} // namespace
