// What the sender lists rely on in a file system, in either world.

#include <string>

#include "platform/Failure.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

using platform::Failure;

TEST_P(FileSystemContract, TheFirstLineEndsAtTheFirstCrOrLf)
{
    const std::string file = path("blist.qln");
    const std::pair<std::string, std::string> cases[] = {
        {"alice@example.com|bob@example.com|\r\nsecond", "alice@example.com|bob@example.com|"},
        {"no line end", "no line end"},
        {"cr\ronly", "cr"},
        {"\nleading", ""},
        {"", ""},
        {"Zoë|日本|🙂|\r\n", "Zoë|日本|🙂|"},  // bytes, unchanged
        {std::string(10000, 'x') + "\n" + std::string(10, 'y'), std::string(10000, 'x')},
        {std::string("nul\0inside\n", 11), std::string("nul\0inside", 10)},
    };
    for (const auto& [content, firstLine] : cases) {
        fs().writeFile(file, content);
        EXPECT_EQ(fs().readFirstLine(file), firstLine) << "content of " << content.size() << " bytes";
    }
}

TEST_P(FileSystemContract, WritingTruncatesAndNamesIgnoreCaseAndSlashes)
{
    fs().writeFile(path("Lists.QLN"), "a much longer first line");
    fs().writeFile(path("lists.qln"), "short");
    EXPECT_EQ(fs().readFirstLine(path("LISTS.qln")), "short");

    std::string forward = path("lists.qln");
    for (char& c : forward)
        if (c == '\\')
            c = '/';
    EXPECT_EQ(fs().readFirstLine(forward), "short");

    fs().writeFile(path("Zoë – 日本 🙂.qln"), "named in UTF-8");
    EXPECT_EQ(fs().readFirstLine(path("Zoë – 日本 🙂.qln")), "named in UTF-8");
}

TEST_P(FileSystemContract, MissingFilesAndFoldersFail)
{
    EXPECT_THROW(fs().readFirstLine(path("missing.qln")), Failure);
    EXPECT_THROW(fs().writeFile(path("no folder\\list.qln"), "x"), Failure);
    EXPECT_THROW(fs().readFirstLine(path("no folder\\list.qln")), Failure);
    fs().createFolder(path("sub"));
    EXPECT_THROW(fs().writeFile(path("sub"), "x"), Failure);  // a folder has that name
    EXPECT_THROW(fs().readFirstLine(path("sub")), Failure);
}

TEST_P(FileSystemContract, RelativePathsNameNothing)
{
    EXPECT_THROW(fs().writeFile("relative.qln", "x"), Failure);
    EXPECT_THROW(fs().readFirstLine("relative.qln"), Failure);
    EXPECT_THROW(fs().createFolder("relative"), Failure);
    EXPECT_THROW(fs().writeFile("C:drive-relative.qln", "x"), Failure);
}

TEST_P(FileSystemContract, ReplacingTakesTheNameInOneStep)
{
    const std::string list = path("wlist.qln");
    const std::string fresh = path("wlist.tmp");
    fs().writeFile(list, "old|");
    fs().writeFile(fresh, "new|");

    fs().replaceFile(fresh, list);
    EXPECT_EQ(fs().readFirstLine(list), "new|");
    EXPECT_THROW(fs().readFirstLine(fresh), Failure);  // the source's name is gone
    EXPECT_THROW(fs().replaceFile(fresh, list), Failure);
    EXPECT_EQ(fs().readFirstLine(list), "new|");

    // A target that does not exist yet is simply named.
    fs().writeFile(fresh, "first|");
    fs().replaceFile(fresh, path("blist.qln"));
    EXPECT_EQ(fs().readFirstLine(path("blist.qln")), "first|");

    // A target in a missing folder fails and leaves the source alone.
    fs().writeFile(fresh, "kept|");
    EXPECT_THROW(fs().replaceFile(fresh, path("missing\\wlist.qln")), Failure);
    EXPECT_EQ(fs().readFirstLine(fresh), "kept|");
}

TEST_P(FileSystemContract, DeletingAFileOnce)
{
    fs().writeFile(path("f.qln"), "x");
    fs().deleteFile(path("F.QLN"));
    EXPECT_THROW(fs().readFirstLine(path("f.qln")), Failure);
    EXPECT_THROW(fs().deleteFile(path("f.qln")), Failure);
}

TEST_P(FileSystemContract, CreatingOneFolderWhoseParentExists)
{
    fs().createFolder(path("Quellin"));
    fs().writeFile(path("Quellin\\blist.qln"), "in the new folder");
    EXPECT_EQ(fs().readFirstLine(path("quellin\\blist.qln")), "in the new folder");

    EXPECT_THROW(fs().createFolder(path("Quellin")), Failure);  // exists already
    EXPECT_THROW(fs().createFolder(path("quellin")), Failure);
    EXPECT_THROW(fs().createFolder(path("a\\b")), Failure);     // no chains
    EXPECT_THROW(fs().createFolder(path("Quellin\\blist.qln")), Failure);  // a file has that name
    fs().createFolder(path("a"));
    fs().createFolder(path("a\\b"));
    fs().writeFile(path("a\\b\\c.qln"), "deep");
    EXPECT_EQ(fs().readFirstLine(path("a\\b\\c.qln")), "deep");
}

} // namespace
} // namespace contract
