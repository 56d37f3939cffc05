// What the settings store relies on in a registry, in either world.

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

using platform::Failure;
using platform::Hive;
namespace regtype = platform::regtype;

std::vector<std::byte> bytes(std::string_view text)
{
    const auto* first = reinterpret_cast<const std::byte*>(text.data());
    return {first, first + text.size()};
}

std::vector<std::byte> bytes(std::initializer_list<int> values)
{
    std::vector<std::byte> out;
    for (int v : values)
        out.push_back(static_cast<std::byte>(v));
    return out;
}

struct Stored {
    std::uint32_t type;
    std::vector<std::byte> data;
    friend bool operator==(const Stored&, const Stored&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Stored& stored)
    {
        out << "type " << stored.type << ", " << stored.data.size() << " bytes:";
        for (std::byte b : stored.data)
            out << ' ' << std::to_integer<int>(b);
        return out;
    }
};

// Reads a value the way the settings store does: size first, then a buffer of exactly that size.
Stored readBack(platform::RegistryKey& key, std::string_view name)
{
    const auto info = key.queryValueInfo(name);
    std::vector<std::byte> buffer(info.size);
    const auto read = key.queryValue(name, buffer);
    EXPECT_EQ(read.type, info.type);
    buffer.resize(read.size);
    return {read.type, buffer};
}

TEST_P(RegistryContract, CreatingMakesMissingParentsAndPathsIgnoreCase)
{
    EXPECT_THROW(registry().openKey(Hive::CurrentUser, key()), Failure);
    registry().createKey(Hive::CurrentUser, key() + "\\Opt\\Deeper");

    EXPECT_NO_THROW(registry().openKey(Hive::CurrentUser, key()));
    std::string shouted = key() + "\\OPT";
    EXPECT_NO_THROW(registry().openKey(Hive::CurrentUser, shouted));
    EXPECT_NO_THROW(registry().openKey(Hive::CurrentUser, key() + "\\opt\\deeper"));
    EXPECT_THROW(registry().openKey(Hive::CurrentUser, key() + "\\Opt\\Missing"), Failure);
    // Creating an existing key opens it, values and all.
    registry().createKey(Hive::CurrentUser, key() + "\\Opt")->setValue("GetStart", regtype::Dword, bytes({1, 0, 0, 0}));
    auto again = registry().createKey(Hive::CurrentUser, key() + "\\opt");
    EXPECT_EQ(again->queryValueInfo("getstart").size, 4u);
}

TEST_P(RegistryContract, TextIsStoredExactlyAsWrittenWithoutATerminator)
{
    auto key = registry().createKey(Hive::CurrentUser, this->key());
    key->setValue("SwitchTo", regtype::Sz, bytes("Open"));

    const auto info = key->queryValueInfo("SWITCHTO");
    EXPECT_EQ(info.type, regtype::Sz);
    EXPECT_EQ(info.size, 4u);
    EXPECT_EQ(readBack(*key, "switchto"), (Stored{regtype::Sz, bytes("Open")}));

    std::array<std::byte, 3> small{};
    EXPECT_THROW(key->queryValue("SwitchTo", small), Failure);  // ERROR_MORE_DATA

    // A stored terminator, and a NUL inside, are part of the data and come back as they are.
    key->setValue("WithNul", regtype::Sz, bytes(std::string_view("ab\0cd", 5)));
    EXPECT_EQ(readBack(*key, "WithNul"), (Stored{regtype::Sz, bytes(std::string_view("ab\0cd", 5))}));
    key->setValue("Terminated", regtype::Sz, bytes(std::string_view("abc\0", 4)));
    EXPECT_EQ(key->queryValueInfo("Terminated").size, 4u);

    key->setValue("Empty", regtype::Sz, {});
    EXPECT_EQ(readBack(*key, "Empty"), (Stored{regtype::Sz, {}}));
}

TEST_P(RegistryContract, TextIsUtf8AtTheSeam)
{
    auto key = registry().createKey(Hive::CurrentUser, this->key() + "\\Grüße – 日本");
    const std::string text = "Zoë Ångström <zoe@example.com>; 日本語; 🙂";
    key->setValue("Sender ✓", regtype::Sz, bytes(text));
    key->setValue("Path", regtype::ExpandSz, bytes("%TEMP%\\Ünïcode"));

    auto reopened = registry().openKey(Hive::CurrentUser, this->key() + "\\Grüße – 日本");
    EXPECT_EQ(reopened->queryValueInfo("Sender ✓").size, text.size());
    EXPECT_EQ(readBack(*reopened, "Sender ✓"), (Stored{regtype::Sz, bytes(text)}));
    EXPECT_EQ(readBack(*reopened, "Path"), (Stored{regtype::ExpandSz, bytes("%TEMP%\\Ünïcode")}));
}

TEST_P(RegistryContract, OtherTypesKeepTheirTypeCodeAndBytes)
{
    auto key = registry().createKey(Hive::CurrentUser, this->key());
    const std::vector<Stored> values = {
        {regtype::Dword, bytes({0x12, 0x00, 0x00, 0x80})},  // a system-colour reference
        {regtype::Dword, bytes({1, 2, 3})},                 // three bytes under REG_DWORD
        {regtype::Binary, bytes({0, 0xFF, 0x80, 0, 7})},
        {regtype::Binary, {}},
        {regtype::Qword, bytes({1, 2, 3, 4, 5, 6, 7, 8})},
        {regtype::None, bytes({9})},
    };
    // Names built by appending (GCC 12's MinGW -O3 sees a false overlap in "V" + text).
    const auto name = [](char letter, std::size_t i) { return std::string(1, letter).append(std::to_string(i)); };
    for (std::size_t i = 0; i < values.size(); ++i)
        key->setValue(name('V', i), values[i].type, values[i].data);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(readBack(*key, name('v', i)), values[i]) << "value V" << i;

    // Writing again replaces type and data together.
    key->setValue("V0", regtype::Sz, bytes("red"));
    EXPECT_EQ(readBack(*key, "V0"), (Stored{regtype::Sz, bytes("red")}));
}

TEST_P(RegistryContract, TheDefaultValueHasTheEmptyName)
{
    auto key = registry().createKey(Hive::CurrentUser, this->key());
    EXPECT_THROW(key->queryValueInfo(""), Failure);
    key->setValue("", regtype::Sz, bytes("default"));
    EXPECT_EQ(readBack(*key, ""), (Stored{regtype::Sz, bytes("default")}));
}

TEST_P(RegistryContract, MissingValuesFailAndOpenKeysSeeEachOthersWrites)
{
    auto writer = registry().createKey(Hive::CurrentUser, key());
    auto reader = registry().openKey(Hive::CurrentUser, key());
    std::array<std::byte, 4> buffer{};
    EXPECT_THROW(reader->queryValueInfo("Flag"), Failure);
    EXPECT_THROW(reader->queryValue("Flag", buffer), Failure);

    writer->setValue("Flag", regtype::Dword, bytes({1, 0, 0, 0}));
    EXPECT_EQ(reader->queryValue("Flag", buffer).size, 4u);
    EXPECT_EQ(buffer[0], std::byte{1});
    writer->setValue("Flag", regtype::Dword, bytes({0, 0, 0, 0}));
    reader->queryValue("Flag", buffer);
    EXPECT_EQ(buffer[0], std::byte{0});  // nothing is cached
}

TEST_P(RegistryContract, AKeyDeletedWhileOpenFailsEveryCall)
{
    auto open = registry().createKey(Hive::CurrentUser, key() + "\\Settings");
    open->setValue("Colour", regtype::Dword, bytes({1, 2, 3, 4}));
    world().removeKey(key());

    std::array<std::byte, 4> buffer{};
    EXPECT_THROW(open->queryValueInfo("Colour"), Failure);
    EXPECT_THROW(open->queryValue("Colour", buffer), Failure);
    EXPECT_THROW(open->setValue("Colour", regtype::Dword, buffer), Failure);
    EXPECT_THROW(registry().openKey(Hive::CurrentUser, key() + "\\Settings"), Failure);
}

// The settings store opens the key for each value it reads or writes, and another program (the
// options page, an uninstaller, a hand edit) may delete the key and make it again at any time: each
// open finds the key as it is then, however often the path was opened before.
TEST_P(RegistryContract, EachOpenFindsTheKeyAsItIsNowAfterItWasDeletedOrMadeAgain)
{
    const std::string path = key() + "\\Settings";
    auto flag = [&](std::string_view spelt) {
        std::array<std::byte, 4> buffer{};
        registry().openKey(Hive::CurrentUser, spelt)->queryValue("Flag", buffer);
        return std::to_integer<int>(buffer[0]);
    };
    auto write = [&](int value) {
        registry().createKey(Hive::CurrentUser, path)->setValue("Flag", regtype::Dword, bytes({value, 0, 0, 0}));
    };
    write(1);
    EXPECT_EQ(flag(path), 1);
    EXPECT_EQ(flag(path), 1);
    auto held = registry().openKey(Hive::CurrentUser, path);
    held->setValue("Flag", regtype::Dword, bytes({2, 0, 0, 0}));
    EXPECT_EQ(flag(path), 2);

    // Deleted: the open, or the first call on what it opened, fails; so does every call on a key
    // that was used before.
    world().removeKey(key());
    EXPECT_THROW(flag(path), Failure);
    EXPECT_THROW(registry().openKey(Hive::CurrentUser, path), Failure);
    std::array<std::byte, 4> buffer{};
    EXPECT_THROW(held->queryValue("Flag", buffer), Failure);

    // Made again: read anew, whether or not a read failed in between.
    write(3);
    EXPECT_EQ(flag(path), 3);
    world().removeKey(key());
    write(4);
    EXPECT_EQ(flag(path), 4);
    // A path spelt otherwise names the same key.
    EXPECT_EQ(flag(key() + "\\SETTINGS"), 4);
    world().removeKey(key());
    write(5);
    EXPECT_EQ(flag(key() + "\\SETTINGS"), 5);

    // A write through a new open reaches the key made again.
    world().removeKey(key());
    registry().createKey(Hive::CurrentUser, path);
    registry().openKey(Hive::CurrentUser, path)->setValue("Flag", regtype::Dword, bytes({6, 0, 0, 0}));
    EXPECT_EQ(flag(path), 6);
    EXPECT_EQ(flag(key() + "\\SETTINGS"), 6);
}

} // namespace
} // namespace contract
