#include "shared/mdlRegistry.h"

#include <gtest/gtest.h>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"

namespace {

using platform::Hive;
using platform::sim::RegValue;
namespace regtype = platform::regtype;

constexpr const char* kKey = "Software\\Test\\Key";

RegValue raw(std::uint32_t type, std::string_view bytes)
{
    RegValue v = RegValue::sz(bytes);
    v.type = type;
    return v;
}

struct World {
    platform::sim::SimRegistry registry;
    platform::sim::SimFileSystem files;
    platform::sim::SimSystemInfo system;
    qln::mdlRegistry mdl{registry, system, files};
    int writes = 0;
    World()
    {
        registry.on_write = [this](Hive, const std::string&, const std::string&, const RegValue&) { ++writes; };
    }
};

TEST(MdlRegistry, ReadsTakeOnlyTheirOwnTypeAndOtherwiseGiveTheDefault)
{
    const std::string oneMegabyte(1 << 20, 'm');
    const struct {
        const char* what;
        std::optional<RegValue> stored;  // nullopt: the value is missing
        std::string asString;            // ReadSettingString with default "dflt"
        std::int32_t asDword;            // ReadSettingDword with default -7
    } cases[] = {
        {"missing value", std::nullopt, "dflt", -7},
        {"sz without NUL", RegValue::sz("hello"), "hello", -7},
        {"sz with NUL", raw(regtype::Sz, std::string_view("hello\0", 6)), "hello", -7},
        {"sz with NUL inside", raw(regtype::Sz, std::string_view("ab\0cd", 5)), "ab", -7},
        {"empty sz", RegValue::sz(""), "", -7},
        {"sz of four digits", RegValue::sz("1234"), "1234", -7},
        {"1 MB sz", RegValue::sz(oneMegabyte), oneMegabyte, -7},
        {"sz in UTF-8", RegValue::sz("Gr\u00fc\u00dfe \u65e5\u672c"), "Gr\u00fc\u00dfe \u65e5\u672c", -7},
        {"sz not in UTF-8", RegValue::sz("Gr\xFC\xDF" "e \xE6\x97"), "Gr\uFFFD\uFFFDe \uFFFD", -7},
        {"dword", RegValue::dword(90), "dflt", 90},
        {"dword high bit", RegValue::dword(0x80000012u), "dflt", static_cast<std::int32_t>(0x80000012u)},
        {"dword of 3 bytes", raw(regtype::Dword, "\x01\x02\x03"), "dflt", 0x030201},
        {"dword of 8 bytes", raw(regtype::Dword, std::string_view("\x01\0\0\0\0\0\0\0", 8)), "dflt", -7},
        {"expand sz", raw(regtype::ExpandSz, "C:\\x"), "dflt", -7},
        {"binary of 4 bytes", raw(regtype::Binary, "\x05\0\0\0"), "dflt", -7},
        {"qword", raw(regtype::Qword, std::string_view("\x05\0\0\0\0\0\0\0", 8)), "dflt", -7},
    };
    for (const auto& c : cases) {
        World w;
        w.registry.set(Hive::CurrentUser, kKey, "Other", RegValue::sz("x"));
        if (c.stored)
            w.registry.set(Hive::CurrentUser, kKey, "V", *c.stored);
        EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, kKey, "v", "dflt"), c.asString) << c.what;
        EXPECT_EQ(w.mdl.ReadSettingDword(Hive::CurrentUser, kKey, "V", -7), c.asDword) << c.what;
        // Reading never writes, and the stored value is left as it was.
        EXPECT_EQ(w.writes, 0) << c.what;
        EXPECT_EQ(w.registry.get(Hive::CurrentUser, kKey, "V"), c.stored) << c.what;
    }
}

TEST(MdlRegistry, MissingKeysAndDeniedReadsGiveTheDefault)
{
    World w;
    w.registry.set(Hive::CurrentUser, kKey, "S", RegValue::sz("text"));
    w.registry.set(Hive::CurrentUser, kKey, "D", RegValue::dword(5));
    EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, "Software\\Missing", "S", "d"), "d");
    EXPECT_EQ(w.mdl.ReadSettingDword(Hive::CurrentUser, "Software\\Missing", "D", 3), 3);
    EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, kKey, "S"), "text");  // defaults: empty and 0
    EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, kKey, "Nope"), "");
    EXPECT_EQ(w.mdl.ReadSettingDword(Hive::CurrentUser, kKey, "Nope"), 0);
    EXPECT_EQ(w.mdl.ReadSettingDword(Hive::LocalMachine, kKey, "D", 1), 1);  // another hive

    for (const char* denied : {"RegOpenKey", "RegQueryValueEx"}) {
        w.registry.faults().fail(denied);
        EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, kKey, "S", "d"), "d") << denied;
        EXPECT_EQ(w.mdl.ReadSettingDword(Hive::CurrentUser, kKey, "D", 3), 3) << denied;
        w.registry.faults().clearAll();
    }
    EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, kKey, "S", "d"), "text");
    EXPECT_EQ(w.writes, 0);
}

// A registry whose value changes between the size query and the read, as when the other program
// writes it at that moment.
class RacingRegistry final : public platform::Registry {
public:
    RacingRegistry(platform::sim::SimRegistry& inner, RegValue replacement)
        : inner_(inner), replacement_(std::move(replacement))
    {
    }

    std::unique_ptr<platform::RegistryKey> openKey(Hive hive, std::string_view path) override
    {
        return std::make_unique<Key>(inner_.openKey(hive, path), *this, hive, std::string(path));
    }
    std::unique_ptr<platform::RegistryKey> createKey(Hive hive, std::string_view path) override
    {
        return inner_.createKey(hive, path);
    }

private:
    class Key final : public platform::RegistryKey {
    public:
        Key(std::unique_ptr<platform::RegistryKey> inner, RacingRegistry& owner, Hive hive, std::string path)
            : inner_(std::move(inner)), owner_(owner), hive_(hive), path_(std::move(path))
        {
        }
        platform::RegValueInfo queryValueInfo(std::string_view name) override
        {
            const auto info = inner_->queryValueInfo(name);
            owner_.inner_.set(hive_, path_, name, owner_.replacement_);
            return info;
        }
        platform::RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
        {
            return inner_->queryValue(name, buffer);
        }
        void setValue(std::string_view name, std::uint32_t type, std::span<const std::byte> data) override
        {
            inner_->setValue(name, type, data);
        }

    private:
        std::unique_ptr<platform::RegistryKey> inner_;
        RacingRegistry& owner_;
        Hive hive_;
        std::string path_;
    };

    platform::sim::SimRegistry& inner_;
    RegValue replacement_;
};

TEST(MdlRegistry, AStringThatChangesAfterItsSizeWasAskedFor)
{
    const struct {
        RegValue replacement;
        std::string expected;
    } cases[] = {
        {RegValue::sz("a much longer text"), "dflt"},  // no longer fits: the read fails
        {RegValue::sz("ab"), "ab"},                    // shorter: only what was copied, no padding
        {RegValue::dword(1), "dflt"},                  // another type now
    };
    for (const auto& c : cases) {
        World w;
        w.registry.set(Hive::CurrentUser, kKey, "S", RegValue::sz("original"));
        RacingRegistry racing(w.registry, c.replacement);
        const qln::mdlRegistry mdl(racing, w.system, w.files);
        EXPECT_EQ(mdl.ReadSettingString(Hive::CurrentUser, kKey, "S", "dflt"), c.expected);
    }
}

TEST(MdlRegistry, WritesStoreExactBytesCreateKeysAndFailSilently)
{
    World w;
    const char* deep = "Software\\A\\B\\C";
    w.mdl.WriteSettingString(Hive::CurrentUser, deep, "S", "Open");
    w.mdl.WriteSettingString(Hive::CurrentUser, deep, "Empty", "");
    w.mdl.WriteSettingDword(Hive::CurrentUser, deep, "D", -1);
    w.mdl.WriteSettingDword(Hive::CurrentUser, deep, "Color", static_cast<std::int32_t>(0x80000012u));
    EXPECT_TRUE(w.registry.keyExists(Hive::CurrentUser, "Software\\A\\B"));
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "S"), RegValue::sz("Open"));  // 4 bytes, no NUL
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "Empty"), RegValue::sz(""));
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "D"), RegValue::dword(0xFFFFFFFFu));
    EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "Color"), RegValue::dword(0x80000012u));
    EXPECT_EQ(w.mdl.ReadSettingString(Hive::CurrentUser, deep, "S"), "Open");
    EXPECT_EQ(w.mdl.ReadSettingDword(Hive::CurrentUser, deep, "D"), -1);

    for (const char* denied : {"RegCreateKey", "RegSetValueEx"}) {
        w.registry.faults().fail(denied);
        w.mdl.WriteSettingString(Hive::CurrentUser, deep, "S", "Switch");
        w.mdl.WriteSettingDword(Hive::CurrentUser, deep, "D", 5);
        w.mdl.WriteSettingDword(Hive::CurrentUser, "Software\\Fresh", "D", 5);
        w.registry.faults().clearAll();
        EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "S"), RegValue::sz("Open")) << denied;
        EXPECT_EQ(w.registry.get(Hive::CurrentUser, deep, "D"), RegValue::dword(0xFFFFFFFFu)) << denied;
        EXPECT_FALSE(w.registry.get(Hive::CurrentUser, "Software\\Fresh", "D")) << denied;
    }
}

TEST(MdlRegistry, UserNameAndFolders)
{
    World w;
    EXPECT_EQ(w.mdl.GetWindowsUserName(), "alice");
    w.system.setUserName(std::string(254, 'u'));
    EXPECT_EQ(w.mdl.GetWindowsUserName(), std::string(254, 'u'));  // with its NUL it fills the buffer
    w.system.setUserName(std::string(255, 'u'));
    EXPECT_EQ(w.mdl.GetWindowsUserName(), "Default");
    w.system.setUserName(std::nullopt);
    EXPECT_EQ(w.mdl.GetWindowsUserName(), "Default");

    w.mdl.MakeFolder("C:\\q\\alice");  // parent missing: ignored
    EXPECT_FALSE(w.files.folderExists("C:\\q\\alice"));
    w.mdl.MakeFolder("C:\\q");
    w.mdl.MakeFolder("C:\\q");  // exists: ignored
    w.files.faults().fail("createFolder");
    w.mdl.MakeFolder("C:\\q\\alice");  // denied: ignored
    EXPECT_TRUE(w.files.folderExists("C:\\q"));
    EXPECT_FALSE(w.files.folderExists("C:\\q\\alice"));
}

} // namespace
