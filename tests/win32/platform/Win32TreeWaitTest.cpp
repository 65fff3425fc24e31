// Waiting for a program and everything it starts (a job object), with the stand-in uninstaller that
// hands over to a copy of itself and quits; and the Recycle Bin through the shell.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "win32/platform/Text.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Processes.h"
#include "win32/support/ProgramFolder.h"
#include "win32/support/WineTrash.h"

namespace korvane::win32 {
namespace {

namespace fs = std::filesystem;

fs::path Temp() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

class Win32TreeWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        fs::create_directories(folder_);
        fs::copy_file(testing::ProgramFolder() / L"korvane_test_uninstaller.exe", folder_ / L"uninst.exe");
        fs::copy_file(testing::ProgramFolder() / L"korvane_test_uninstaller.exe",
                      folder_ / L"Korvane Tree Wait part.dll");
    }
    void TearDown() override { Clean(); }
    void Clean() {
        std::error_code ignored;
        for (int i = 0; i < 100; ++i) {
            fs::remove_all(folder_, ignored);
            fs::remove(Temp() / L"KorvaneUninstallCopy.exe", ignored);
            if (!fs::exists(folder_, ignored) && !fs::exists(Temp() / L"KorvaneUninstallCopy.exe", ignored))
                break;
            Sleep(50);
        }
        fs::remove(Temp() / L"KorvaneUninstallCopy.exe.ran", ignored);
        testing::RemoveFromWineTrash(L"Korvane Tree Wait");
    }
    std::string Program() const { return Narrow((folder_ / L"uninst.exe").wstring()); }
    std::string Line() const { return "\"" + Program() + "\" /handover"; }

    const fs::path folder_ = Temp() / L"Korvane Tree Wait";
    Win32Processes processes;
};

TEST_F(Win32TreeWaitTest, TheWaitEndsOnlyAfterTheCopyTheProgramStartedHasEnded) {
    EXPECT_EQ(processes.startAndWaitForTree(Program(), Line(), {}), TreeEnd::Ended);
    // The copy deletes the files only after its parent has quit: they are gone when the wait ends.
    EXPECT_TRUE(fs::exists(Temp() / L"KorvaneUninstallCopy.exe.ran"));
    EXPECT_FALSE(fs::exists(folder_ / L"Korvane Tree Wait part.dll"));
    EXPECT_FALSE(fs::exists(folder_ / L"uninst.exe"));
}

TEST_F(Win32TreeWaitTest, StoppingTheWaitLeavesTheProgramsRunning) {
    EXPECT_EQ(processes.startAndWaitForTree(Program(), Line(), [] { return true; }), TreeEnd::StoppedWaiting);
    EXPECT_TRUE(
        fs::exists(folder_ / L"Korvane Tree Wait part.dll"));  // the copy is still waiting to delete it
    bool gone = false;
    for (int i = 0; i < 1000 && !gone; ++i) {
        gone = !fs::exists(folder_ / L"Korvane Tree Wait part.dll");
        if (!gone) Sleep(20);
    }
    EXPECT_TRUE(gone) << "the copy did not go on after the wait was stopped";
}

TEST_F(Win32TreeWaitTest, AProgramThatCannotStartIsReported) {
    EXPECT_EQ(processes.startAndWaitForTree(Program() + ".missing.exe", Line(), {}), TreeEnd::NotStarted);
    EXPECT_EQ(processes.startAndWaitForTree("", Line(), {}), TreeEnd::NotStarted);
}

TEST_F(Win32TreeWaitTest, TheRecycleBinTakesFilesAndFoldersOfALocalDriveOnly) {
    Win32FileSystem files;
    const std::string file = Narrow((folder_ / L"Korvane Tree Wait part.dll").wstring());
    EXPECT_TRUE(files.moveToRecycleBin(file));
    EXPECT_FALSE(fs::exists(folder_ / L"Korvane Tree Wait part.dll"));
    EXPECT_FALSE(files.moveToRecycleBin(file));  // nothing there any more
    EXPECT_TRUE(files.moveToRecycleBin(Narrow(folder_.wstring()) + "\\"));
    EXPECT_FALSE(fs::exists(folder_));
    EXPECT_FALSE(files.moveToRecycleBin("\\\\server\\share\\app"));
    EXPECT_FALSE(files.moveToRecycleBin("relative\\app"));
}

}  // namespace
}  // namespace korvane::win32
