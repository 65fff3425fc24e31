// Win32SystemInfo on the running system: the true version, folders at full length, locale texts.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <shlobj.h>  // needs windows.h first
// clang-format on

#include <cstdlib>
#include <string>

#include "registry/WindowsVersion.h"
#include "win32/platform/Text.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane::win32 {
namespace {

TEST(Win32SystemInfo, VersionIsTheNtFamilyOfToday) {
    Win32SystemInfo system;
    const auto version = system.windowsVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->platformId, 2u);
    EXPECT_GE(version->major, 6u);
    EXPECT_EQ(VersionClassOf(version), 8);
}

TEST(Win32SystemInfo, ElevationAndArgumentsAreThoseOfThisProcess) {
    Win32SystemInfo system;
    EXPECT_EQ(system.runsElevated(), ::IsUserAnAdmin() != FALSE);
    const std::vector<std::string> arguments = system.startArguments();
    ASSERT_EQ(arguments.size(), static_cast<std::size_t>(__argc - 1));
    for (std::size_t i = 0; i < arguments.size(); ++i) EXPECT_EQ(arguments[i], __argv[i + 1]);
}

TEST(Win32SystemInfo, FoldersAreReadAtFullLength) {
    Win32SystemInfo system;
    Win32FileSystem files;
    const std::string systemFolder = system.systemDirectory();
    EXPECT_TRUE(files.directoryExists(systemFolder)) << systemFolder;
    EXPECT_NE(systemFolder.back(), '\\');
    const std::string executable = system.executablePath();
    EXPECT_TRUE(files.fileExists(executable)) << executable;
    EXPECT_NE(executable.find("korvane_win_tests"), std::string::npos) << executable;

    // A temp folder far beyond MAX_PATH and outside the ANSI code page comes back whole.
    wchar_t saved[32768] = {};
    const DWORD savedLength = ::GetEnvironmentVariableW(L"TMP", saved, 32768);
    const std::string base = system.tempDirectory();
    ASSERT_EQ(base.back(), '\\');
    std::string longFolder = base;
    for (int i = 0; longFolder.size() < 300; ++i)
        longFolder += "T\xC3\xA4mp\xE6\x97\xA5" + std::to_string(i) + "\\";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TMP", Widen(longFolder).c_str()));
    const std::string temp = system.tempDirectory();
    ::SetEnvironmentVariableW(L"TMP", savedLength ? saved : nullptr);
    EXPECT_EQ(temp, longFolder);
}

TEST(Win32SystemInfo, ClockAndTimeFormatComeFromTheSystem) {
    Win32SystemInfo system;
    SYSTEMTIME before{};
    ::GetLocalTime(&before);
    const LocalDateTime now = system.localTime();
    EXPECT_GE(now.year, before.wYear);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    wchar_t format[128] = {};
    ASSERT_GT(::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, 128), 0);
    EXPECT_EQ(system.longTimeFormat(), Narrow(format));
    EXPECT_FALSE(system.longTimeFormat().empty());
}

TEST(Win32SystemInfo, CompareTextSortsWithoutRegardToCase) {
    Win32SystemInfo system;
    EXPECT_EQ(system.compareText("Toolbar", "TOOLBAR"), 0);
    EXPECT_LT(system.compareText("apple", "Banana"), 0);
    EXPECT_GT(system.compareText("Banana", "apple"), 0);
    EXPECT_EQ(system.compareText("\xC3\x84rger", "\xC3\xA4RGER"), 0);  // Ärger / äRGER
    EXPECT_LT(system.compareText("", "a"), 0);
}

}  // namespace
}  // namespace korvane::win32
