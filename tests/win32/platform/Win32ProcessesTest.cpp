// Win32Processes with real child processes: cmd.exe, and the stand-in uninstaller that notes its
// command line.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "win32/platform/Text.h"
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
    Win32SystemInfo system;
    EXPECT_FALSE(processes.runHiddenAndWait("Z:\\no\\such\\program-korvane.exe", "").has_value());
    EXPECT_FALSE(processes.runHiddenAndWait("cmd /c exit 0", "Z:\\no\\such\\folder").has_value());
    EXPECT_FALSE(processes.start("Z:\\no\\such\\uninstaller-korvane.exe", "uninstaller-korvane.exe /S"));
    // Without an application name nothing is searched for.
    EXPECT_FALSE(processes.start("", "cmd /c exit 0"));
    EXPECT_TRUE(processes.start(system.systemDirectory() + "\\cmd.exe", "cmd /c exit 0"));
}

TEST(Win32Processes, StartRunsTheApplicationNamedWithTheGivenCommandLine) {
    Win32Processes processes;
    Win32FileSystem files;
    Win32SystemInfo system;
    // The stand-in uninstaller beside this test notes its command line in "<its path>.ran".
    const std::string exe = system.executablePath();
    const std::string uninstaller = exe.substr(0, exe.find_last_of('\\')) + "\\korvane_test_uninstaller.exe";
    const std::string marker = uninstaller + ".ran";
    files.deleteFile(marker);
    // The command line's first word names another program: the application name is what runs.
    ASSERT_TRUE(processes.start(uninstaller, "\"C:\\elsewhere\\other.exe\" /S /x=\"a b\""));
    std::optional<std::string> noted;
    for (int i = 0; i < 500 && !noted; ++i) {
        Sleep(20);
        noted = files.readFile(marker);
    }
    ASSERT_TRUE(noted.has_value()) << "the uninstaller did not run";
    EXPECT_EQ(Narrow(std::wstring(reinterpret_cast<const wchar_t*>(noted->data()), noted->size() / 2)),
              "\"C:\\elsewhere\\other.exe\" /S /x=\"a b\"");
    files.deleteFile(marker);
}

}  // namespace
}  // namespace korvane::win32
