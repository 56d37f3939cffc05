#include "platform/sim/SimFileSystem.h"

#include <gtest/gtest.h>

#include "platform/Failure.h"

namespace {

using platform::Failure;
using platform::sim::SimFileSystem;
using Journal = std::vector<std::string>;

TEST(SimFileSystem, WindowsPathsAreCanonicalised)
{
    const struct {
        const char* path;
        const char* canonical;  // nullptr: names nothing
    } cases[] = {
        {"C:\\Dir\\File.txt", "c:\\dir\\file.txt"},
        {"c:/dir/file.txt", "c:\\dir\\file.txt"},
        {"C:\\\\alice\\blist.qln", "c:\\alice\\blist.qln"},  // a doubled separator counts once
        {"C:\\dir\\", "c:\\dir"},
        {"C:\\", "c:"},
        {"C:", "c:"},
        {"C:\\a\\.\\b\\..\\c", "c:\\a\\c"},
        {"C:dir", nullptr},
        {"dir\\file", nullptr},
        {"\\dir", nullptr},
        {"", nullptr},
        {"1:\\x", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = SimFileSystem::canonical(c.path);
        if (c.canonical)
            EXPECT_EQ(got, std::optional<std::string>(c.canonical)) << c.path;
        else
            EXPECT_FALSE(got) << c.path;
    }
}

TEST(SimFileSystem, FirstLineEndsAtCrOrLf)
{
    SimFileSystem fs;
    const struct {
        std::string content;
        std::string line;
    } cases[] = {
        {"a|b|\r\nc|", "a|b|"}, {"a|\nb|", "a|"}, {"a|\rb|", "a|"}, {"", ""}, {"\r\n", ""}, {"no end", "no end"},
        {std::string("x\0y|\xFF|", 6), std::string("x\0y|\xFF|", 6)},  // other bytes, NUL too, are kept
    };
    for (const auto& c : cases) {
        fs.put("C:\\q\\f.qln", c.content);
        EXPECT_EQ(fs.readFirstLine("c:\\Q\\F.QLN"), c.line);
    }
    EXPECT_THROW(fs.readFirstLine("C:\\q\\missing.qln"), Failure);
    EXPECT_THROW(fs.readFirstLine("C:\\q"), Failure);  // a folder
    EXPECT_THROW(fs.readFirstLine("relative.qln"), Failure);
}

TEST(SimFileSystem, CreateFolderMakesOneLevel)
{
    SimFileSystem fs;
    fs.createFolder("C:\\\\alice");  // "C:\" + "\" + "alice": Windows takes it
    EXPECT_TRUE(fs.folderExists("C:\\alice"));
    EXPECT_THROW(fs.createFolder("C:\\alice"), Failure);      // exists
    EXPECT_THROW(fs.createFolder("C:\\x\\y"), Failure);       // parent missing
    EXPECT_THROW(fs.createFolder("C:\\"), Failure);           // the root exists
    fs.put("C:\\alice\\f", "");
    EXPECT_THROW(fs.createFolder("C:\\alice\\f"), Failure);   // a file of that name
    fs.faults().fail("createFolder", 1);
    EXPECT_THROW(fs.createFolder("D:\\new"), Failure);
    fs.createFolder("D:\\new");
    EXPECT_EQ(fs.journal(), (Journal{"createFolder C:\\\\alice", "createFolder D:\\new"}));
}

TEST(SimFileSystem, WriteNeedsTheFolderAndAnInjectedFailureLeavesAnEmptyFile)
{
    SimFileSystem fs;
    EXPECT_THROW(fs.writeFile("C:\\none\\f.qln", "x"), Failure);
    EXPECT_FALSE(fs.folderExists("C:\\none"));

    fs.put("C:\\d\\f.qln", "old|");
    fs.writeFile("C:\\d\\f.qln", "new|");
    EXPECT_EQ(fs.content("C:\\D\\f.qln"), "new|");
    EXPECT_THROW(fs.writeFile("C:\\d", "x"), Failure);  // a folder

    fs.faults().fail("writeFile", 1);
    EXPECT_THROW(fs.writeFile("C:\\d\\f.qln", "newer|"), Failure);
    EXPECT_EQ(fs.content("C:\\d\\f.qln"), "");
    EXPECT_EQ(fs.journal(), (Journal{"writeFile C:\\d\\f.qln", "writeFile C:\\d\\f.qln"}));
}

TEST(SimFileSystem, ReplaceAndDelete)
{
    SimFileSystem fs;
    std::vector<std::string> changes;
    fs.on_change = [&](const std::string& op, const std::string& path) { changes.push_back(op + ":" + path); };
    fs.put("C:\\d\\f", "old");
    fs.put("C:\\d\\f.new", "new");

    fs.faults().fail("replaceFile", 1);
    EXPECT_THROW(fs.replaceFile("C:\\d\\f.new", "C:\\d\\f"), Failure);
    EXPECT_EQ(fs.content("C:\\d\\f"), "old");

    fs.replaceFile("C:\\d\\f.new", "C:\\d\\f");
    EXPECT_EQ(fs.content("C:\\d\\f"), "new");
    EXPECT_FALSE(fs.fileExists("C:\\d\\f.new"));
    EXPECT_THROW(fs.replaceFile("C:\\d\\f.new", "C:\\d\\f"), Failure);  // the source is gone
    fs.put("C:\\d\\g", "g");
    EXPECT_THROW(fs.replaceFile("C:\\d\\g", "C:\\nowhere\\g"), Failure);
    EXPECT_EQ(fs.content("C:\\d\\g"), "g");

    fs.deleteFile("C:\\d\\g");
    EXPECT_FALSE(fs.fileExists("C:\\d\\g"));
    EXPECT_THROW(fs.deleteFile("C:\\d\\g"), Failure);
    EXPECT_EQ(fs.journal(), (Journal{"replaceFile C:\\d\\f.new -> C:\\d\\f", "deleteFile C:\\d\\g"}));
    EXPECT_EQ(changes, (Journal{"replaceFile:C:\\d\\f", "deleteFile:C:\\d\\g"}));
}

TEST(SimFileSystem, WorldAccessIsQuietAndRemoveTakesEverythingInside)
{
    SimFileSystem fs;
    fs.put("C:\\a\\b\\c.txt", "x");
    EXPECT_TRUE(fs.folderExists("C:\\a\\b"));
    fs.put("C:\\ab\\keep.txt", "y");
    fs.remove("C:\\a");
    EXPECT_FALSE(fs.folderExists("C:\\a"));
    EXPECT_FALSE(fs.fileExists("C:\\a\\b\\c.txt"));
    EXPECT_TRUE(fs.fileExists("C:\\ab\\keep.txt"));
    EXPECT_TRUE(fs.journal().empty());
    EXPECT_THROW(fs.put("relative", ""), std::invalid_argument);
}

} // namespace
