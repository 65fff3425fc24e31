// Listing, refreshing and deleting restore points: which folders count, their order, what a refresh
// adds, and what a delete removes or reports.
#include "backup/BackupTestSupport.h"
#include "backup/RestorePoints.h"

namespace korvane::testing {
namespace {

std::string Point(const std::string& name) {
    return std::string(kBackupFolder) + name;
}

TEST_F(BackupPageTest, ListingTakesFoldersWhoseAttributesAreExactlyDirectory) {
    memory.files().AddFolder(Point("b plain"));
    memory.files().AddFolder(Point("A plain"));
    memory.files().AddFolder(Point("hidden"), fileattr::Hidden);
    memory.files().AddFolder(Point("read-only"), fileattr::ReadOnly);
    memory.files().AddFolder(Point("archived"), fileattr::Archive);
    memory.files().AddFile(Point("a file"), "x", 0);
    memory.files().AddFile(Point("c.reg"), "x");
    page.ListRestorePoints();
    // In the file system's order; "." and ".." of the folder are never lines.
    EXPECT_EQ(page.ltbk.Items(), (std::vector<std::string>{"A plain", "b plain"}));
}

TEST_F(BackupPageTest, ListingAMissingOrUnreadableBackupFolderGivesAnEmptyList) {
    state.BackupFolder = "C:\\Elsewhere\\Backup\\";
    page.ListRestorePoints();
    EXPECT_EQ(page.ltbk.Count(), 0);
    // The folder without its trailing backslash lists the same points.
    state.BackupFolder = "C:\\Korvane\\Backup";
    memory.files().AddFolder(Point("one"));
    page.ListRestorePoints();
    EXPECT_EQ(page.ltbk.Items(), std::vector<std::string>{"one"});
}

TEST_F(BackupPageTest, RefreshAddsOnlyFoldersThatAreNotYetLines) {
    memory.files().AddFolder(Point("one"));
    page.ListRestorePoints();
    memory.files().AddFolder(Point("two"));
    memory.files().AddFolder(Point("Stale"));
    memory.files().removeDirectory(Point("one"));
    page.ltbk.Add("stale");  // a line that differs only in case is another name
    page.btRefresh.Click();
    EXPECT_EQ(page.ltbk.Items(), (std::vector<std::string>{"one", "stale", "Stale", "two"}));
    page.btRefresh.Click();
    EXPECT_EQ(page.ltbk.Count(), 4);
}

TEST_F(BackupPageTest, DeleteRemovesTheSelectedPointsFilesFolderAndLine) {
    AddRestorePoint("keep");
    AddRestorePoint("drop");
    memory.files().AddFile(Point("drop\\notes\\readme.txt"), "x");
    page.ListRestorePoints();
    ASSERT_EQ(page.ltbk.Items(), (std::vector<std::string>{"drop", "keep"}));
    page.ltbk.SetItemIndex(0);
    page.btDel.Click();
    EXPECT_FALSE(memory.files().ExistsRaw(Point("drop")));
    EXPECT_EQ(page.ltbk.Items(), std::vector<std::string>{"keep"});
    EXPECT_EQ(memory.files().ListRaw(Point("keep")).size(), 6u);
    // No question, no message; the current folder is the program's afterwards.
    EXPECT_TRUE(memory.dialogs().Records().empty());
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Korvane");

    memory.files().setCurrentDirectory("C:\\Work");
    page.btDel.Click();  // nothing selected now
    EXPECT_EQ(page.ltbk.Count(), 1);
    EXPECT_TRUE(memory.files().ExistsRaw(Point("keep")));
}

TEST_F(BackupPageTest, AFileThatCannotBeDeletedIsReportedAndThePointStays) {
    AddRestorePoint("stuck");
    memory.files().AddFolder(Point("stuck\\hidden sub"), fileattr::Hidden);
    memory.files().FailDelete(Point("stuck\\HKEY_CURRENT_USER.reg"));
    page.ListRestorePoints();
    page.ltbk.SetItemIndex(0);
    page.btDel.Click();
    // Each failure has its message, and the other files are gone all the same.
    EXPECT_EQ(memory.dialogs().Texts(), (std::vector<std::string>{" Delete error: hidden sub",
                                                                  " Delete error: HKEY_CURRENT_USER.reg"}));
    EXPECT_EQ(memory.files().ListRaw(Point("stuck")),
              (std::vector<std::string>{"hidden sub", "HKEY_CURRENT_USER.reg"}));
    // The folder is still there and so still a restore point: its line stays.
    EXPECT_EQ(page.ltbk.Items(), std::vector<std::string>{"stuck"});
}

TEST_F(BackupPageTest, DeletingALineWhoseFolderIsGoneRemovesTheLine) {
    page.ltbk.Add("gone");
    page.ltbk.SetItemIndex(0);
    page.btDel.Click();
    EXPECT_EQ(page.ltbk.Count(), 0);
    EXPECT_TRUE(memory.dialogs().Records().empty());
}

TEST(RestorePointsTest, CommandLinesOfTheRegistryEditor) {
    MemoryPlatform memory;
    EXPECT_EQ(ExportArguments("HKEY_USERS"), " /e \"HKEY_USERS.reg\" \"HKEY_USERS\"");
    EXPECT_EQ(ImportArguments("HKEY_USERS"), " /s HKEY_USERS.reg");
    memory.processes().SetBehaviour(
        [](const std::string&, const std::string&) -> std::optional<std::uint32_t> { return 3u; });
    EXPECT_EQ(RunProgramAndWait(memory.processes(), "C:\\Win dows\\regedit.exe", " /s x.reg", "D:\\p"), 3u);
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].commandLine, "\"C:\\Win dows\\regedit.exe\" /s x.reg");
    EXPECT_EQ(calls[0].workingFolder, "D:\\p");
    memory.processes().SetBehaviour([](const std::string&, const std::string&) { return std::nullopt; });
    EXPECT_EQ(RunProgramAndWait(memory.processes(), "C:\\x.exe", "", "C:\\"), std::nullopt);
}

}  // namespace
}  // namespace korvane::testing
