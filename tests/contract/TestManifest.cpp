// The manifest every Windows program carries, seen from inside the program.

#include <windows.h>

#include <string_view>

#include <gtest/gtest.h>

#include "platform/win32/Win32SystemInfo.h"

namespace {

TEST(Manifest, IsEmbeddedAndMakesTheProgramDpiAware)
{
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    const std::string_view manifest(text, SizeofResource(nullptr, resource));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string_view::npos);
    EXPECT_NE(manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string_view::npos);  // Windows 10
    EXPECT_TRUE(IsProcessDPIAware());
}

TEST(Manifest, TheVersionReportedIsTheSystemsOwn)
{
    // RtlGetVersion never pretends; GetVersionExW does for a program whose manifest does not list
    // the running system.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW truth{};
    truth.dwOSVersionInfoSize = sizeof truth;
    ASSERT_EQ(rtlGetVersion(&truth), 0);

    const platform::OsVersion reported = platform::win32::Win32SystemInfo().osVersion();
    EXPECT_EQ(reported.major, truth.dwMajorVersion);
    EXPECT_EQ(reported.minor, truth.dwMinorVersion);
}

} // namespace
