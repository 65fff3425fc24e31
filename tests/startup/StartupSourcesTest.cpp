// The startup sources of the NT classes as Windows 10 and 11 keep them: the Run keys of both registry
// views, the user's and the common Startup folder, and the StartupApproved records that show an
// entry disabled in place.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupSourcesTest : public StartupTest {
protected:
    StartupSourcesTest() { UseVersion(kWindows10); }

    void SeedBothViewsAndFolders() {
        registry().SetString(HKLM, kRun, "Machine64", "C:\\m64.exe");
        registry().SetString(HKLM, kRun32, "Machine32", "C:\\m32.exe");
        registry().SetString(HKCU, kRun, "User64", "C:\\u64.exe");
        registry().SetString(HKCU, kRun32, "User32", "C:\\u32.exe");
        NameStartupFolders();
        memory.files().AddFile(kUserFolder + "\\Notes.lnk", "L");
        memory.files().AddFile(kUserFolder + "\\desktop.ini", "[.ShellClassInfo]",
                               fileattr::Hidden | fileattr::System);
        memory.files().AddFolder(kUserFolder + "\\Sub");
        memory.files().AddFile(kCommonFolder + "\\Sync.exe", "MZ");
        AddRecord("Old", "Old", "C:\\old.exe", "HKCU", kRun);
    }
};

TEST_F(StartupSourcesTest, BothViewsBothFoldersThenTheRecords) {
    SeedBothViewsAndFolders();
    const std::vector<Row> expected = {
        {"Machine64", "C:\\m64.exe", "HKLM\\" + kRun, true},
        {"Machine32", "C:\\m32.exe", "HKLM\\" + kRun32, true},
        {"User64", "C:\\u64.exe", "HKCU\\" + kRun, true},
        {"User32", "C:\\u32.exe", "HKCU\\" + kRun32, true},
        {"Notes.lnk", kUserFolder + "\\Notes.lnk", kUserFolder, true},
        {"Sync.exe", kCommonFolder + "\\Sync.exe", kCommonFolder, true},
        {"Old", "C:\\old.exe", "HKCU\\" + kRun, false},
    };
    // Every NT class lists the same sources; only Windows 8 and later read the records.
    for (const VersionRecord& version : {kWindows10, kWindows7, *VersionOfClass(6)}) {
        UseVersion(version);
        page.btnRefreshClick();
        EXPECT_EQ(Rows(), expected) << version.major << "." << version.minor;
        EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, true, true, true, true, true, false}));
    }
    EXPECT_EQ(registry().OpenHandleCount(), 0u);
}

TEST_F(StartupSourcesTest, PerUserThirtyTwoBitKeyIsReadOnlyWhereItExists) {
    registry().SetString(HKCU, kRun, "User64", "C:\\u64.exe");
    page.toolStartupClick();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"User64", "C:\\u64.exe", "HKCU\\" + kRun, true}}));
    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, kRun32));  // looked for, never made
    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, "Software\\Wow6432Node"));
}

TEST_F(StartupSourcesTest, FoldersThatAreNotNamedOrMissingAddNothing) {
    registry().SetString(HKCU, kShellFolders, "Startup", "C:\\Nowhere\\Startup");
    registry().SetDword(HKLM, kShellFolders, "Common Startup", 1);  // not text: no folder
    page.toolStartupClick();
    EXPECT_EQ(page.lvStartup.Count(), 0);

    // A folder named with a trailing backslash lists its files once, with single separators.
    registry().SetString(HKCU, kShellFolders, "Startup", kUserFolder + "\\");
    memory.files().AddFile(kUserFolder + "\\Tool.lnk");
    page.btnRefreshClick();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Tool.lnk", kUserFolder + "\\Tool.lnk", kUserFolder, true}}));
}

TEST_F(StartupSourcesTest, DisabledRecordsShowUncheckedForEachByteValue) {
    struct Case {
        const char* name;
        std::uint8_t first;
        bool checked;
    };
    const Case cases[] = {{"Two", 2, true}, {"Three", 3, false}, {"Six", 6, true}, {"Seven", 7, false}};
    for (const Case& c : cases) {
        registry().SetString(HKLM, kRun, c.name, "C:\\x.exe");
        SetApproved(HKLM, "Run", c.name, {c.first, 0, 0, 0, 0x80, 0x30, 0x42, 0x68, 0xD9, 0x76, 0xDA, 0x01});
    }
    registry().SetString(HKLM, kRun, "NoRecord", "C:\\x.exe");
    registry().SetString(HKLM, kRun, "NotBinary", "C:\\x.exe");
    SetApproved(HKLM, "Run", "NotBinary", {3, 0, 0, 0}, regtype::Dword);
    page.toolStartupClick();

    for (const Case& c : cases) EXPECT_EQ(page.lvStartup.Checked(RowOf(c.name)), c.checked) << c.name;
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("NoRecord")));
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("NotBinary")));
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, false, true, false, true, true}));
}

TEST_F(StartupSourcesTest, EachRecordBelongsToItsOwnRootViewAndFolder) {
    SeedBothViewsAndFolders();
    const std::vector<std::uint8_t> off = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    SetApproved(HKLM, "Run32", "Machine32", off);
    SetApproved(HKCU, "Run32", "User32", off);
    SetApproved(HKCU, "StartupFolder", "Notes.lnk", off);
    SetApproved(HKLM, "StartupFolder", "Sync.exe", off);
    // Records of the same names elsewhere say nothing about these entries.
    SetApproved(HKLM, "Run", "Machine32", off);
    SetApproved(HKCU, "Run", "Machine64", off);
    SetApproved(HKLM, "StartupFolder", "Notes.lnk", {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    page.toolStartupClick();

    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Machine64")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Machine32")));
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("User64")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("User32")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Notes.lnk")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Sync.exe")));
}

TEST_F(StartupSourcesTest, RecordsAreIgnoredBeforeWindowsEight) {
    registry().SetString(HKLM, kRun, "App", "C:\\app.exe");
    SetApproved(HKLM, "Run", "App", {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    UseVersion(kWindows7);
    page.toolStartupClick();
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("App")));

    UseVersion(kWindows8);
    page.btnRefreshClick();
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("App")));
}

}  // namespace
}  // namespace korvane::testing
