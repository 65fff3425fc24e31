// Making and importing restore points through the workers: the registry editor's command lines and
// working folders, the status texts, the waits, the failures it reports, and the refusals.
#include "backup/BackupTestSupport.h"

namespace korvane::testing {
namespace {

const std::string kPoint = "12-06-2026 8_10_32 PM";
const std::string kPointFolder = std::string(kBackupFolder) + kPoint;

std::vector<std::string> BackupStatuses(const std::vector<std::string>& outcomes) {
    std::vector<std::string> texts;
    const auto roots = Roots();
    for (size_t i = 0; i < roots.size(); ++i) {
        texts.push_back("Backup will be started in 1 second");
        texts.push_back(std::string("Backing up ") + roots[i] + "...");
        texts.push_back(outcomes[i]);
    }
    return texts;
}

TEST_F(BackupPageTest, BackupExportsTheFiveRootsIntoANewRestorePoint) {
    page.ltbk.Add("older point");
    memory.files().AddFolder(std::string(kBackupFolder) + "older point");
    page.btnBackup.Click();
    EXPECT_TRUE(page.ThreadBackup.Active());
    EXPECT_TRUE(memory.files().directoryExists(kPointFolder));  // made by the start step
    Finish();

    EXPECT_EQ(page.CurrentBackupFolder, kPointFolder);
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 5u);
    const auto roots = Roots();
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, ProcessCallKind::RunHiddenAndWait);
        EXPECT_EQ(calls[i].commandLine,
                  std::string(kEditor) + " /e \"" + roots[i] + ".reg\" \"" + roots[i] + "\"");
        EXPECT_EQ(calls[i].workingFolder, kPointFolder);
        EXPECT_EQ(memory.files().ContentsRaw(kPointFolder + "\\" + roots[i] + ".reg"),
                  StandInRegistryEditor::ExportText(roots[i]));
    }
    EXPECT_EQ(memory.files().ListRaw(kPointFolder).size(), 6u);  // and the checksums
    EXPECT_EQ(statuses, BackupStatuses({"Done !", "Done !", "Done !", "Done !", "Done !"}));
    EXPECT_EQ(sleeps, std::vector<std::chrono::milliseconds>(5, std::chrono::milliseconds(1000)));
    // The refresh at the end lists the new point after the lines already there.
    EXPECT_EQ(page.ltbk.Items(), (std::vector<std::string>{"older point", kPoint}));
    // The program's own current folder (where ignore.xml lives) is left alone.
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Work");
    EXPECT_EQ(memory.dialogs().Records().size(), 0u);
}

TEST_F(BackupPageTest, AnExportThatFailsOrCannotStartSaysSoAndTheRestGoesOn) {
    editor.FailRoot("HKEY_CURRENT_USER");
    editor.CannotStartFor("HKEY_USERS");
    page.btnBackup.Click();
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);
    EXPECT_EQ(statuses, BackupStatuses({"Done !", "Failed: HKEY_CURRENT_USER", "Done !", "Failed: HKEY_USERS",
                                        "Done !"}));
    EXPECT_EQ(memory.files().ListRaw(kPointFolder),
              (std::vector<std::string>{"HKEY_CLASSES_ROOT.reg", "HKEY_CURRENT_CONFIG.reg",
                                        "HKEY_LOCAL_MACHINE.reg", "Korvane.sha256"}));
    // Only what was exported has a checksum.
    EXPECT_EQ(memory.files().ContentsRaw(kPointFolder + "\\Korvane.sha256"),
              ManifestLine(kPoint, "HKEY_CLASSES_ROOT.reg") + ManifestLine(kPoint, "HKEY_LOCAL_MACHINE.reg") +
                  ManifestLine(kPoint, "HKEY_CURRENT_CONFIG.reg"));
}

TEST_F(BackupPageTest, AnEditorThatExitsWellButWritesNothingIsAFailure) {
    memory.processes().SetBehaviour([](const std::string&, const std::string&) { return 0u; });
    page.btnBackup.Click();
    Finish();
    EXPECT_EQ(statuses, BackupStatuses({"Failed: HKEY_CLASSES_ROOT", "Failed: HKEY_CURRENT_USER",
                                        "Failed: HKEY_LOCAL_MACHINE", "Failed: HKEY_USERS",
                                        "Failed: HKEY_CURRENT_CONFIG"}));
}

TEST_F(BackupPageTest, ARestorePointFolderThatCannotBeMadeStopsTheBackup) {
    memory.files().FailWrite("C:\\Korvane\\Backup");
    page.btnBackup.Click();
    EXPECT_FALSE(page.ThreadBackup.Active());
    EXPECT_TRUE(memory.processes().Calls().empty());
    ASSERT_EQ(memory.dialogs().Records().size(), 1u);
    EXPECT_EQ(memory.dialogs().Records()[0].kind, DialogKind::Message);
    EXPECT_EQ(memory.dialogs().Records()[0].text,
              "The restore point folder " + kPointFolder + " could not be created. No backup was made.");

    // Once the folder can be written, the next press makes the point.
    memory.files().ClearFailures();
    page.btnBackup.Click();
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);
}

TEST_F(BackupPageTest, AnExistingRestorePointOfTheSameNameIsNotOverwritten) {
    memory.files().AddFile(kPointFolder + "\\HKEY_CURRENT_USER.reg", "the earlier export");
    page.btnBackup.Click();
    EXPECT_FALSE(page.ThreadBackup.Active());
    EXPECT_TRUE(memory.processes().Calls().empty());
    EXPECT_EQ(memory.dialogs().Texts(), std::vector<std::string>{"A restore point named " + kPoint +
                                                                 " exists already. No backup was made."});
    EXPECT_EQ(memory.files().ContentsRaw(kPointFolder + "\\HKEY_CURRENT_USER.reg"), "the earlier export");
}

TEST_F(BackupPageTest, ASecondPressDuringABackupIsIgnored) {
    page.btnBackup.Click();
    memory.system().now.second = 40;  // a second run would make another folder
    page.btnBackup.Click();
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);
    EXPECT_EQ(memory.files().ListRaw("C:\\Korvane\\Backup"), std::vector<std::string>{kPoint});
}

TEST_F(BackupPageTest, RestoreImportsTheSelectedPointRootByRoot) {
    AddRestorePoint("first");
    AddRestorePoint(kPoint);
    page.ltbk.Add("first");
    page.ltbk.Add(kPoint);
    page.ltbk.SetItemIndex(1);
    memory.files().AddFolder(std::string(kBackupFolder) + "made meanwhile");
    page.btnRestore1.Click();
    Finish();

    EXPECT_EQ(page.RestoreFolder, kPointFolder);
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 5u);
    std::vector<std::string> expectedStatuses{"Checking the restore point..."};
    const auto roots = Roots();
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].commandLine, std::string(kEditor) + " /s " + roots[i] + ".reg");
        EXPECT_EQ(calls[i].workingFolder, kPointFolder);
        expectedStatuses.push_back(std::string("Restoring ") + roots[i]);
        expectedStatuses.push_back("Done !");
    }
    EXPECT_EQ(statuses, expectedStatuses);
    EXPECT_EQ(editor.Imported().size(), 5u);
    EXPECT_EQ(editor.Imported()[2], StandInRegistryEditor::ExportText("HKEY_LOCAL_MACHINE"));
    EXPECT_TRUE(sleeps.empty());
    // Nothing is refreshed after a restore, and the current folder stays where it was.
    EXPECT_EQ(page.ltbk.Count(), 2);
    EXPECT_EQ(memory.files().currentDirectory(), "C:\\Work");
}

TEST_F(BackupPageTest, RestoreReportsAMissingFileAndAFailedImport) {
    // A point whose export of HKEY_USERS failed: that file is neither there nor in the checksums.
    AddRestorePointWithoutChecksums(kPoint);
    memory.files().deleteFile(kPointFolder + "\\HKEY_USERS.reg");
    std::string manifest;
    for (const char* root :
         {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_CONFIG"})
        manifest += ManifestLine(kPoint, std::string(root) + ".reg");
    memory.files().AddFile(kPointFolder + "\\Korvane.sha256", manifest);
    editor.FailRoot("HKEY_CLASSES_ROOT");
    page.ltbk.Add(kPoint);
    page.ltbk.SetItemIndex(0);
    page.btnRestore1.Click();
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 4u);  // no editor for the missing file
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Checking the restore point...", "Restoring HKEY_CLASSES_ROOT",
                                        "Failed: HKEY_CLASSES_ROOT", "Restoring HKEY_CURRENT_USER", "Done !",
                                        "Restoring HKEY_LOCAL_MACHINE", "Done !", "Restoring HKEY_USERS",
                                        "Failed: HKEY_USERS", "Restoring HKEY_CURRENT_CONFIG", "Done !"}));
}

TEST_F(BackupPageTest, RestoreWithoutAUsablePointDoesNotStart) {
    page.btnRestore1.Click();
    EXPECT_FALSE(page.ThreadRestore.Active());
    EXPECT_EQ(page.lbStatus.Caption(), BackupPage::kChooseRestorePoint);

    // A line whose folder was deleted outside the program.
    page.ltbk.Add("gone");
    page.ltbk.SetItemIndex(0);
    page.btnRestore1.Click();
    EXPECT_FALSE(page.ThreadRestore.Active());
    EXPECT_EQ(page.lbStatus.Caption(), "The restore point gone no longer exists.");
    EXPECT_TRUE(memory.processes().Calls().empty());
}

TEST_F(BackupPageTest, BackupAndRestoreNeverRunTogether) {
    AddRestorePoint("first");
    page.ltbk.Add("first");
    page.ltbk.SetItemIndex(0);

    page.btnBackup.Click();  // its worker waits for the UI thread to show its first status
    ASSERT_TRUE(page.ThreadBackup.Active());
    page.btnRestore1.Click();
    EXPECT_FALSE(page.ThreadRestore.Active());
    EXPECT_EQ(page.lbStatus.Caption(), BackupPage::kRestoreWhileBackingUp);
    page.btDel.Click();
    EXPECT_TRUE(memory.files().directoryExists(std::string(kBackupFolder) + "first"));
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);

    memory.processes().ClearCalls();
    page.ltbk.SetItemIndex(0);
    page.btnRestore1.Click();
    ASSERT_TRUE(page.ThreadRestore.Active());
    memory.system().now.second = 50;
    page.btnBackup.Click();
    EXPECT_FALSE(page.ThreadBackup.Active());
    EXPECT_EQ(page.lbStatus.Caption(), BackupPage::kBackupWhileRestoring);
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);
    for (const ProcessCall& call : memory.processes().Calls())
        EXPECT_NE(call.commandLine.find(" /s "), std::string::npos) << call.commandLine;
    EXPECT_FALSE(memory.files().directoryExists(std::string(kBackupFolder) + "12-06-2026 8_10_50 PM"));
}

}  // namespace
}  // namespace korvane::testing
