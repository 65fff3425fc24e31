// The RunOnce keys (listed, never disabled) and Startup folders named in User Shell Folders, expanded
// with the user's environment, with Shell Folders as the fallback.
#include "platform/Utf16.h"
#include "startup/StartupFolders.h"
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kRunOnce32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class StartupRunOnceAndFoldersTest : public StartupTest {
protected:
    StartupRunOnceAndFoldersTest() { UseVersion(kWindows10); }

    void SetExpandable(HKey root, const std::string& key, const std::string& name, const std::string& text) {
        registry().SetValue(root, key, name, RegValue{regtype::ExpandSz, RegistryTextBytes(text)});
    }
};

TEST_F(StartupRunOnceAndFoldersTest, RunOnceOfBothViewsAndTheUserAreListedAfterTheRunKeys) {
    registry().SetString(HKLM, kRun, "Tray", "C:\\tray.exe");
    registry().SetString(HKLM, kRunOnce, "Finish64", "C:\\setup64.exe /finish");
    registry().SetString(HKLM, kRunOnce32, "Finish32", "C:\\setup32.exe /finish");
    registry().SetString(HKCU, kRunOnce, "Welcome", "C:\\welcome.exe");
    page.toolStartupClick();
    EXPECT_EQ(Rows(), (std::vector<Row>{
                          {"Tray", "C:\\tray.exe", "HKLM\\" + kRun, true},
                          {"Finish64", "C:\\setup64.exe /finish", "HKLM\\" + kRunOnce, true},
                          {"Finish32", "C:\\setup32.exe /finish", "HKLM\\" + kRunOnce32, true},
                          {"Welcome", "C:\\welcome.exe", "HKCU\\" + kRunOnce, true},
                      }));
}

TEST_F(StartupRunOnceAndFoldersTest, DisablingRunOnceIsRefusedWithItsReasonAndChangesNothing) {
    registry().SetString(HKCU, kRunOnce, "Welcome", "C:\\welcome.exe");
    registry().SetString(HKCU, kRun, "Tray", "C:\\tray.exe");
    page.toolStartupClick();
    ClickCheck("Welcome");
    ClickCheck("Tray");
    page.btnApplyClick();

    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(
        texts[0],
        "The startup entry 'Welcome' was not changed: it is a RunOnce entry, which Windows deletes after "
        "it has run once, so there is nothing to disable.");
    EXPECT_EQ(texts[1], "You must restart the computer to apply the changes.");
    // Neither moved nor given a record: Windows runs it once as before.
    EXPECT_EQ(registry().GetString(HKCU, kRunOnce, "Welcome"), "C:\\welcome.exe");
    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kApproved + "\\Run", "Welcome"));
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Welcome")));
    // The Run entry beside it was disabled in place.
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Tray")));
}

TEST_F(StartupRunOnceAndFoldersTest, UserShellFoldersAreExpandedWithTheUsersEnvironment) {
    const std::string profile = "C:\\Profiles\\ann";
    registry().SetString(HKCU, "Volatile Environment", "USERPROFILE", profile);
    // Log-on writes these as plain text, already expanded; Windows expands only expandable values.
    registry().SetString(HKCU, "Volatile Environment", "APPDATA", profile + "\\Roaming");
    SetExpandable(HKCU, kUserShellFolders, "Startup", "%APPDATA%\\Startup");
    registry().SetString(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", "ProgramData",
                         "%SystemDrive%\\Data");
    SetExpandable(HKLM, kUserShellFolders, "Common Startup", "%ProgramData%\\Common Startup");
    // The older copies are stale: Explorer moved the folders since.
    registry().SetString(HKCU, kShellFolders, "Startup", kUserFolder);
    registry().SetString(HKLM, kShellFolders, "Common Startup", kCommonFolder);
    memory.files().AddFolder(kUserFolder);
    memory.files().AddFile(kUserFolder + "\\Stale.lnk");
    memory.files().AddFile(profile + "\\Roaming\\Startup\\Mine.lnk");
    memory.files().AddFile("C:\\Data\\Common Startup\\Ours.exe", "MZ");

    page.toolStartupClick();
    EXPECT_EQ(
        Rows(),
        (std::vector<Row>{
            {"Mine.lnk", profile + "\\Roaming\\Startup\\Mine.lnk", profile + "\\Roaming\\Startup", true},
            {"Ours.exe", "C:\\Data\\Common Startup\\Ours.exe", "C:\\Data\\Common Startup", true},
        }));
}

TEST_F(StartupRunOnceAndFoldersTest, ShellFoldersAreTheFallbackForAMissingOrUnexpandableValue) {
    NameStartupFolders();
    memory.files().AddFile(kUserFolder + "\\Notes.lnk");
    memory.files().AddFile(kCommonFolder + "\\Sync.exe", "MZ");
    // The user's value names a variable this user does not have; the common one is missing.
    SetExpandable(HKCU, kUserShellFolders, "Startup", "%NOSUCHVAR%\\Startup");
    page.toolStartupClick();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Notes.lnk", "Sync.exe"}));
}

TEST(StartupFolderPathTest, TheUsersStartupFolderIsExpandedWithTheUsersOwnEnvironment) {
    MemoryPlatform memory;
    memory.registry().SetString(HKCU, "Volatile Environment", "USERPROFILE", "C:\\Users\\ann");
    memory.registry().SetString(HKCU, "Environment", "Pct", "50%");
    memory.registry().SetString(HKCU, kUserShellFolders, "Startup", "%UserProfile%\\Start\\",
                                regtype::ExpandSz);
    memory.registry().SetString(HKCU, kUserShellFolders, "Odd", "%Pct%%\\x", regtype::ExpandSz);
    const Environment environment = ReadEnvironment(memory.registry(), memory.system(), RegistryView::Bits64);
    EXPECT_EQ(StartupFolderPath(memory.registry(), environment, HKCU, "Startup"), "C:\\Users\\ann\\Start");
    // A "%" that only closes a value stays as written.
    EXPECT_EQ(StartupFolderPath(memory.registry(), environment, HKCU, "Odd"), "50%%\\x");
}

}  // namespace
}  // namespace korvane::testing
