// What the notifier and the page rely on in the machine's facts, in either world.

#include <string>

#include "platform/Failure.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

bool isAbsoluteFolder(const std::string& folder)
{
    const bool drive = folder.size() >= 2 && folder[1] == ':';
    const bool unc = folder.starts_with("\\\\");
    return (drive || unc) && folder.back() != '\\' && folder.back() != '/';
}

TEST_P(SystemInfoContract, TheUserNameIsWhole)
{
    const std::string name = info().userName();
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find('\0'), std::string::npos);
    EXPECT_NE(name.back(), ' ');
}

TEST_P(SystemInfoContract, FoldersAreAbsoluteWithoutATrailingBackslash)
{
    EXPECT_TRUE(isAbsoluteFolder(info().programFolder())) << info().programFolder();
    EXPECT_TRUE(isAbsoluteFolder(info().tempFolder())) << info().tempFolder();
}

TEST_P(SystemInfoContract, TheScreenAndItsFonts)
{
    // The popup is placed on the primary screen and sized from its pixels per inch and system font.
    EXPECT_GE(info().screenWidth(), 640);
    EXPECT_GE(info().screenHeight(), 480);
    EXPECT_GE(info().logPixelsX(), 72);
    EXPECT_GE(info().logPixelsY(), 72);
    EXPECT_LE(info().logPixelsX(), 480);
    const int height = info().desktopTextMetricHeight();
    EXPECT_GE(height, 8);
    EXPECT_LE(height, 64);
}

TEST_P(SystemInfoContract, TheSystemIsOfTheNtFamilySinceWindows2000)
{
    const platform::OsVersion version = info().osVersion();
    EXPECT_EQ(version.platformId, platform::OsVersion::NT);
    EXPECT_GE(version.major, 5u);
}

TEST_P(SystemInfoContract, TheLocaleHasAName)
{
    const std::string locale = info().localeName();
    EXPECT_FALSE(locale.empty());
    EXPECT_EQ(locale.find('_'), std::string::npos) << locale;  // "en-US", not "en_US"
}

} // namespace
} // namespace contract
