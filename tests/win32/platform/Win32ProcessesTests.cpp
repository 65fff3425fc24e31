// Win32Processes with real child processes started through cmd.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Processes.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane::win32 {
namespace {

TEST(Win32Processes, RunHiddenAndWaitReturnsTheExitCode) {
    Win32Processes processes;
    EXPECT_EQ(processes.runHiddenAndWait("cmd /c exit 3", ""), 3u);
    EXPECT_EQ(processes.runHiddenAndWait("cmd /c exit 0", ""), 0u);
}

TEST(Win32Processes, RunHiddenAndWaitRunsInTheGivenFolderAndWaitsForTheEnd) {
    Win32Processes processes;
    Win32FileSystem files;
    Win32SystemInfo system;
    const std::string folder = system.tempDirectory() + "KorvaneProcessesTest \xC3\xA9t\xC3\xA9";
    files.createDirectory(folder);
    const std::string output = folder + "\\out.txt";
    files.deleteFile(output);
    // The file exists when the call returns only if it waited; it lands in `folder` only if the child
    // started there.
    ASSERT_EQ(processes.runHiddenAndWait("cmd /c echo done>out.txt", folder), 0u);
    const auto text = files.readFile(output);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->substr(0, 4), "done");
    files.deleteFile(output);
    files.removeDirectory(folder);
}

TEST(Win32Processes, StartElevatedStartsTheProgramWithItsArguments) {
    Win32Processes processes;
    Win32FileSystem files;
    Win32SystemInfo system;
    const std::string output = system.tempDirectory() + "KorvaneElevated.txt";
    files.deleteFile(output);
    ASSERT_TRUE(processes.startElevated("cmd.exe", "/c echo elevated>\"" + output + "\""));
    // It does not wait for the program: the file comes when cmd has run.
    std::optional<std::string> text;
    for (int i = 0; i < 300 && !(text = files.readFile(output)); ++i) ::Sleep(50);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->substr(0, 8), "elevated");
    files.deleteFile(output);
    EXPECT_FALSE(processes.startElevated("Z:\\no\\such\\program-korvane.exe", ""));
}

TEST(Win32Processes, ProgramsThatCannotStartAreReported) {
    Win32Processes processes;
    EXPECT_FALSE(processes.runHiddenAndWait("Z:\\no\\such\\program-korvane.exe", "").has_value());
    EXPECT_FALSE(processes.runHiddenAndWait("cmd /c exit 0", "Z:\\no\\such\\folder").has_value());
    EXPECT_FALSE(processes.start("Z:\\no\\such\\uninstaller-korvane.exe /S"));
    EXPECT_FALSE(processes.start(""));
    EXPECT_TRUE(processes.start("cmd /c exit 0"));
}

}  // namespace
}  // namespace korvane::win32
