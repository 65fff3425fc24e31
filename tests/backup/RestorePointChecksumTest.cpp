// The checksums of restore points through the page: a backup writes them, a restore checks every file
// against them before the first import and refuses the whole point when one differs, is missing or
// was added; a point made without checksums is imported only after the user agrees.
#include "backup/BackupTestSupport.h"

namespace korvane::testing {
namespace {

const std::string kPoint = "12-06-2026 8_10_32 PM";
const std::string kPointFolder = std::string(kBackupFolder) + kPoint;
const std::string kManifest = kPointFolder + "\\Korvane.sha256";

class RestorePointChecksumTest : public BackupPageTest {
protected:
    void Restore() {
        page.ltbk.Add(kPoint);
        page.ltbk.SetItemIndex(page.ltbk.Count() - 1);
        page.btnRestore1.Click();
        Finish();
    }
    // What a refused restore leaves: no editor run, one message naming the file, the status saying so.
    void ExpectRefused(const std::string& reason) {
        EXPECT_TRUE(memory.processes().Calls().empty());
        EXPECT_TRUE(editor.Imported().empty());
        EXPECT_EQ(memory.dialogs().Texts(), std::vector<std::string>{"The restore point " + kPoint +
                                                                     " was not restored: " + reason + "."});
        EXPECT_EQ(statuses,
                  (std::vector<std::string>{"Checking the restore point...", "Nothing was restored."}));
    }
};

TEST_F(RestorePointChecksumTest, BackupWritesTheDigestOfEachExportBesideThem) {
    page.btnBackup.Click();
    Finish();
    const auto manifest = memory.files().ContentsRaw(kManifest);
    ASSERT_TRUE(manifest.has_value());
    // The stand-in editor's export of HKEY_CURRENT_USER, hashed by sha256sum.
    EXPECT_NE(manifest->find("db025a2a494dfd26c0cb63bae866b4bc48d245ae3b24bb0d42638c01291db48b"
                             "  HKEY_CURRENT_USER.reg\r\n"),
              std::string::npos);
    std::string expected;
    for (const char* root : Roots()) expected += ManifestLine(kPoint, std::string(root) + ".reg");
    EXPECT_EQ(*manifest, expected);
    EXPECT_EQ(statuses.back(), "Done !");
}

TEST_F(RestorePointChecksumTest, ChecksumsThatCannotBeWrittenAreReported) {
    memory.files().FailWrite(kManifest);
    page.btnBackup.Click();
    Finish();
    EXPECT_EQ(memory.processes().Calls().size(), 5u);
    EXPECT_EQ(statuses.back(), "Failed: Korvane.sha256");
    EXPECT_FALSE(memory.files().ExistsRaw(kManifest));
}

TEST_F(RestorePointChecksumTest, AVerifiedPointIsImported) {
    AddRestorePoint(kPoint);
    Restore();
    EXPECT_EQ(editor.Imported().size(), 5u);
    EXPECT_EQ(memory.dialogs().Records().size(), 0u);
    EXPECT_EQ(statuses.front(), "Checking the restore point...");
}

TEST_F(RestorePointChecksumTest, OneChangedByteRefusesTheWholePoint) {
    AddRestorePoint(kPoint);
    std::string edited = StandInRegistryEditor::ExportText("HKEY_LOCAL_MACHINE");
    edited.back() = ' ';
    memory.files().AddFile(kPointFolder + "\\HKEY_LOCAL_MACHINE.reg", edited);
    Restore();
    // HKEY_CLASSES_ROOT, checked and imported first otherwise, is not imported either.
    ExpectRefused("HKEY_LOCAL_MACHINE.reg has changed since the backup");
}

TEST_F(RestorePointChecksumTest, AMissingFileRefusesTheWholePoint) {
    AddRestorePoint(kPoint);
    memory.files().deleteFile(kPointFolder + "\\HKEY_CURRENT_CONFIG.reg");
    Restore();
    ExpectRefused("HKEY_CURRENT_CONFIG.reg is missing");
}

TEST_F(RestorePointChecksumTest, AFileAddedAfterTheBackupRefusesThePoint) {
    editor.FailRoot("HKEY_USERS");
    page.btnBackup.Click();
    Finish();
    memory.files().AddFile(kPointFolder + "\\HKEY_USERS.reg",
                           StandInRegistryEditor::ExportText("HKEY_USERS"));
    memory.processes().ClearCalls();
    statuses.clear();
    page.ltbk.SetItemIndex(0);
    page.btnRestore1.Click();
    Finish();
    ExpectRefused("HKEY_USERS.reg was not part of the backup");
}

TEST_F(RestorePointChecksumTest, DamagedChecksumsRefuseThePoint) {
    AddRestorePoint(kPoint);
    memory.files().AddFile(kManifest, "not a checksum line\r\n");
    Restore();
    ExpectRefused("its checksum file Korvane.sha256 is damaged");
}

TEST_F(RestorePointChecksumTest, ChecksumsRemovedAfterThePressDoNotLetThePointThrough) {
    AddRestorePoint(kPoint);
    page.ltbk.Add(kPoint);
    page.ltbk.SetItemIndex(0);
    page.btnRestore1.Click();  // no question: the point had checksums when it was chosen
    memory.files().deleteFile(kManifest);
    Finish();
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 0u);
    ExpectRefused("it has no checksums");
}

TEST_F(RestorePointChecksumTest, APointWithoutChecksumsIsImportedOnlyAfterYes) {
    AddRestorePointWithoutChecksums(kPoint);
    memory.dialogs().ScriptAnswers({false});
    Restore();
    ASSERT_EQ(memory.dialogs().Records().size(), 1u);
    EXPECT_EQ(memory.dialogs().Records()[0].kind, DialogKind::Confirm);
    EXPECT_EQ(memory.dialogs().Records()[0].text,
              "The restore point " + kPoint +
                  " was made without checksums, so its files cannot be verified. Restore it anyway?");
    EXPECT_FALSE(page.ThreadRestore.Active());
    EXPECT_TRUE(memory.processes().Calls().empty());
    EXPECT_EQ(page.lbStatus.Caption(), "Nothing was restored.");

    memory.dialogs().Clear();
    memory.dialogs().ScriptAnswers({true});
    statuses.clear();
    page.btnRestore1.Click();
    Finish();
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 1u);
    EXPECT_EQ(editor.Imported().size(), 5u);
    EXPECT_EQ(statuses.front(), "Restoring HKEY_CLASSES_ROOT");  // nothing to check
}

}  // namespace
}  // namespace korvane::testing
