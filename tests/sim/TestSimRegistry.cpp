#include "platform/sim/SimRegistry.h"

#include <array>

#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace {

using platform::Failure;
using platform::Hive;
using platform::sim::RegValue;
using platform::sim::SimRegistry;
namespace regtype = platform::regtype;

std::span<const std::byte> bytes(std::string_view text) { return std::as_bytes(std::span(text.data(), text.size())); }

TEST(SimRegistry, KeysAndNamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    SimRegistry reg;
    std::string writtenPath, writtenName;
    reg.on_write = [&](Hive, const std::string& path, const std::string& name, const RegValue&) {
        writtenPath = path;
        writtenName = name;
    };

    reg.createKey(Hive::CurrentUser, "Software\\Korvane\\Quellin")->setValue("GetStart", regtype::Dword,
                                                                               RegValue::dword(1).data);
    EXPECT_TRUE(reg.keyExists(Hive::CurrentUser, "Software"));  // parents were created
    EXPECT_TRUE(reg.keyExists(Hive::CurrentUser, "SOFTWARE\\korvane"));
    EXPECT_FALSE(reg.keyExists(Hive::LocalMachine, "Software\\Korvane"));  // hives are apart

    reg.createKey(Hive::CurrentUser, "software\\KORVANE\\quellin")->setValue("GETSTART", regtype::Dword,
                                                                               RegValue::dword(0).data);
    EXPECT_EQ(writtenPath, "Software\\Korvane\\Quellin");
    EXPECT_EQ(writtenName, "GetStart");
    EXPECT_EQ(reg.get(Hive::CurrentUser, "Software\\Korvane\\Quellin", "getstart"), RegValue::dword(0));
}

TEST(SimRegistry, QueriesReportTypeAndSizeAndRefuseShortBuffers)
{
    SimRegistry reg;
    reg.set(Hive::CurrentUser, "K", "S", RegValue::sz("hello"));
    reg.set(Hive::CurrentUser, "K", "Odd", RegValue{regtype::Binary, {std::byte{1}, std::byte{2}, std::byte{3}}});
    auto key = reg.openKey(Hive::CurrentUser, "k");

    const auto info = key->queryValueInfo("s");
    EXPECT_EQ(info.type, regtype::Sz);
    EXPECT_EQ(info.size, 5u);

    std::array<std::byte, 8> big{};
    const auto read = key->queryValue("Odd", big);
    EXPECT_EQ(read.type, regtype::Binary);
    EXPECT_EQ(read.size, 3u);
    EXPECT_EQ(big[2], std::byte{3});

    std::array<std::byte, 4> small{};
    EXPECT_THROW(key->queryValue("S", small), Failure);  // ERROR_MORE_DATA
    EXPECT_THROW(key->queryValueInfo("Missing"), Failure);
    EXPECT_THROW(reg.openKey(Hive::CurrentUser, "K\\Missing"), Failure);
}

TEST(SimRegistry, FaultsAndDeletedKeysFailTheCalls)
{
    SimRegistry reg;
    reg.set(Hive::CurrentUser, "K", "V", RegValue::dword(7));

    reg.faults().fail("RegOpenKey", 1);
    EXPECT_THROW(reg.openKey(Hive::CurrentUser, "K"), Failure);
    auto key = reg.openKey(Hive::CurrentUser, "K");  // only once

    reg.faults().fail("RegQueryValueEx", 1);
    EXPECT_THROW(key->queryValueInfo("V"), Failure);
    EXPECT_EQ(key->queryValueInfo("V").size, 4u);

    reg.faults().fail("RegCreateKey");
    EXPECT_THROW(reg.createKey(Hive::CurrentUser, "New"), Failure);
    EXPECT_FALSE(reg.keyExists(Hive::CurrentUser, "New"));
    reg.faults().clearAll();

    reg.faults().fail("RegSetValueEx", 1);
    EXPECT_THROW(key->setValue("V", regtype::Dword, RegValue::dword(9).data), Failure);
    EXPECT_EQ(reg.get(Hive::CurrentUser, "K", "V"), RegValue::dword(7));

    // The world deletes the key while the system holds it open.
    reg.deleteKey(Hive::CurrentUser, "K");
    EXPECT_THROW(key->queryValueInfo("V"), Failure);
    EXPECT_THROW(key->setValue("V", regtype::Dword, RegValue::dword(9).data), Failure);
}

TEST(SimRegistry, DeleteKeyTakesSubkeysButNotNamesakes)
{
    SimRegistry reg;
    reg.set(Hive::CurrentUser, "A\\B", "x", RegValue::sz("1"));
    reg.set(Hive::CurrentUser, "A\\B\\C", "x", RegValue::sz("2"));
    reg.set(Hive::CurrentUser, "A\\BC", "x", RegValue::sz("3"));
    reg.deleteKey(Hive::CurrentUser, "a\\b");
    EXPECT_FALSE(reg.keyExists(Hive::CurrentUser, "A\\B"));
    EXPECT_FALSE(reg.keyExists(Hive::CurrentUser, "A\\B\\C"));
    EXPECT_TRUE(reg.get(Hive::CurrentUser, "A\\BC", "x").has_value());
    reg.deleteKey(Hive::CurrentUser, "Nowhere");  // ignored

    reg.deleteValue(Hive::CurrentUser, "A\\BC", "X");
    EXPECT_FALSE(reg.get(Hive::CurrentUser, "A\\BC", "x").has_value());
    EXPECT_TRUE(reg.keyExists(Hive::CurrentUser, "A\\BC"));
}

TEST(SimRegistry, ValueEncodings)
{
    const RegValue d = RegValue::dword(0x80000012u);
    ASSERT_EQ(d.data.size(), 4u);
    EXPECT_EQ(d.data[0], std::byte{0x12});
    EXPECT_EQ(d.data[3], std::byte{0x80});
    EXPECT_EQ(d.asDword(), 0x80000012u);
    EXPECT_FALSE((RegValue{regtype::Dword, {std::byte{1}, std::byte{0}, std::byte{0}}}.asDword()));
    EXPECT_FALSE(RegValue::sz("1234").asDword());

    EXPECT_EQ(RegValue::sz("abc").data.size(), 3u);  // no terminating NUL
    EXPECT_EQ(RegValue::sz("").data.size(), 0u);
    EXPECT_EQ(RegValue::sz(std::string_view("ab\0cd", 5)).asText(), "ab");
    EXPECT_FALSE(d.asText());

    // setValue stores exactly the bytes given, under any type code.
    SimRegistry reg;
    reg.createKey(Hive::CurrentUser, "K")->setValue("E", regtype::ExpandSz, bytes("%TEMP%"));
    const auto e = reg.get(Hive::CurrentUser, "K", "E");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, regtype::ExpandSz);
    EXPECT_EQ(e->data.size(), 6u);
}

} // namespace
