// Apply on each Windows of class 8: from Windows 8 on an entry stays in its Run key or Startup folder
// and its StartupApproved record is written; on Windows 7 the entries of both views are parked as
// before and folder files are refused; records parked by the older schemes are enabled everywhere.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

const std::vector<std::uint8_t> kEnabledRecord = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class StartupApplyInPlaceTest : public StartupTest {
protected:
    StartupApplyInPlaceTest() { UseVersion(kWindows10); }

    // The record Apply writes when disabling at the in-memory clock's time (2024-03-15 13:05:09 UTC).
    static std::vector<std::uint8_t> DisabledNow() {
        return {3, 0, 0, 0, 0x80, 0x30, 0x42, 0x68, 0xD9, 0x76, 0xDA, 0x01};
    }
    std::vector<std::uint8_t> ApprovedBytes(HKey root, const std::string& list, const std::string& name) {
        const auto value = Approved(root, list, name);
        if (!value) return {};
        EXPECT_EQ(value->type, regtype::Binary) << name;
        return value->data;
    }
    void ToggleAndApply(const std::string& name) {
        ClickCheck(name);
        page.btnApply.Click();
    }
};

TEST_F(StartupApplyInPlaceTest, DisablingWritesTheRecordAndLeavesTheEntryInItsRunKey) {
    registry().SetString(HKLM, kRun, "Agent", "%ProgramFiles%\\agent.exe", regtype::ExpandSz);
    registry().SetString(HKLM, kRun, "Other", "C:\\other.exe");
    page.toolStartupClick();

    ToggleAndApply("Agent");
    EXPECT_EQ(ApprovedBytes(HKLM, "Run", "Agent"), DisabledNow());
    EXPECT_FALSE(Approved(HKLM, "Run", "Other"));  // unchanged rows get no record
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Agent"), "%ProgramFiles%\\agent.exe");
    EXPECT_EQ(registry().GetValue(HKLM, kRun, "Agent")->type, regtype::ExpandSz);
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking));
    EXPECT_EQ(MessageBoxTexts(),
              std::vector<std::string>{"You must restart the computer to apply the changes."});
    // Read again: the entry stays where it is, unchecked.
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Agent", "%ProgramFiles%\\agent.exe", "HKLM\\" + kRun, false},
                                        {"Other", "C:\\other.exe", "HKLM\\" + kRun, true}}));

    memory.system().fileTimeNow = 1;
    ToggleAndApply("Agent");
    EXPECT_EQ(ApprovedBytes(HKLM, "Run", "Agent"), kEnabledRecord);
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Agent")));
    EXPECT_EQ(registry().ValueNamesRaw(HKLM, kRun), (std::vector<std::string>{"Agent", "Other"}));
}

TEST_F(StartupApplyInPlaceTest, EachSourceWritesItsOwnRecordOnWindowsEight) {
    UseVersion(kWindows8);
    registry().SetString(HKLM, kRun32, "Machine32", "C:\\m32.exe");
    registry().SetString(HKCU, kRun, "User64", "C:\\u64.exe");
    registry().SetString(HKCU, kRun32, "User32", "C:\\u32.exe");
    NameStartupFolders();
    memory.files().AddFile(kUserFolder + "\\Notes.lnk");
    memory.files().AddFile(kCommonFolder + "\\Sync.exe");
    page.toolStartupClick();
    page.btnDisableClick();
    page.btnApplyClick();

    EXPECT_EQ(ApprovedBytes(HKLM, "Run32", "Machine32"), DisabledNow());
    EXPECT_EQ(ApprovedBytes(HKCU, "Run", "User64"), DisabledNow());
    EXPECT_EQ(ApprovedBytes(HKCU, "Run32", "User32"), DisabledNow());
    EXPECT_EQ(ApprovedBytes(HKCU, "StartupFolder", "Notes.lnk"), DisabledNow());
    EXPECT_EQ(ApprovedBytes(HKLM, "StartupFolder", "Sync.exe"), DisabledNow());
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kApproved + "\\Run"));
    EXPECT_TRUE(memory.files().ExistsRaw(kUserFolder + "\\Notes.lnk"));
    EXPECT_EQ(registry().GetString(HKCU, kRun32, "User32"), "C:\\u32.exe");
    EXPECT_EQ(page.StartupStates, std::vector<bool>(5, false));
}

TEST_F(StartupApplyInPlaceTest, WindowsSevenParksBothViewsAndRefusesFolderFiles) {
    UseVersion(kWindows7);
    registry().SetString(HKLM, kRun32, "Machine32", "C:\\m32.exe");
    NameStartupFolders();
    memory.files().AddFile(kUserFolder + "\\Notes.lnk");
    page.toolStartupClick();
    page.btnDisableClick();
    page.btnApplyClick();

    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun32, "Machine32"));
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Machine32", "key"), kRun32);
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Machine32", "hkey"), "HKLM");
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kApproved));
    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, kApproved));
    EXPECT_TRUE(memory.files().ExistsRaw(kUserFolder + "\\Notes.lnk"));
    const auto texts = MessageBoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("'Notes.lnk' in " + kUserFolder + " was not changed"), std::string::npos)
        << texts[0];
    EXPECT_EQ(texts[1], "You must restart the computer to apply the changes.");
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Notes.lnk")));  // read again: it still starts
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Machine32")));

    ToggleAndApply("Machine32");
    EXPECT_EQ(registry().GetString(HKLM, kRun32, "Machine32"), "C:\\m32.exe");
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Machine32"));
}

TEST_F(StartupApplyInPlaceTest, RecordsOfTheOlderSchemesAreEnabledOnEveryVersion) {
    for (const VersionRecord& version : {kWindows7, kWindows8, kWindows10}) {
        SCOPED_TRACE(version.minor);
        UseVersion(version);
        AddRecord("Parked", "Parked", "C:\\parked.exe", "HKCU", kRun);
        page.btnRefreshClick();
        ASSERT_FALSE(page.lvStartup.Checked(RowOf("Parked")));
        ToggleAndApply("Parked");
        EXPECT_EQ(registry().GetString(HKCU, kRun, "Parked"), "C:\\parked.exe");
        EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Parked"));
        EXPECT_TRUE(page.lvStartup.Checked(RowOf("Parked")));
        registry().DeleteTreeRaw(HKCU, kRun);
    }
}

TEST_F(StartupApplyInPlaceTest, EnablingARecordAlsoClearsADisabledStateOfTheSameEntry) {
    AddRecord("Parked", "Parked", "C:\\parked.exe", "HKLM", kRun32);
    SetApproved(HKLM, "Run32", "Parked", {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    SetApproved(HKLM, "Run32", "Unrelated", {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    page.toolStartupClick();
    ToggleAndApply("Parked");
    EXPECT_EQ(registry().GetString(HKLM, kRun32, "Parked"), "C:\\parked.exe");
    EXPECT_EQ(ApprovedBytes(HKLM, "Run32", "Parked"), kEnabledRecord);
    EXPECT_EQ(ApprovedBytes(HKLM, "Run32", "Unrelated")[0], 3);
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Parked")));

    // Where Windows keeps no record for the entry, none is made.
    AddRecord("Fresh", "Fresh", "C:\\fresh.exe", "HKCU", kRun);
    page.btnRefreshClick();
    ToggleAndApply("Fresh");
    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, kApproved));
}

TEST_F(StartupApplyInPlaceTest, RecordKeyThatCannotBeWrittenLeavesTheRowAndTheOthersGoOn) {
    registry().SetString(HKLM, kRun, "Locked", "C:\\locked.exe");
    registry().SetString(HKCU, kRun, "Free", "C:\\free.exe");
    registry().CreateKey(HKLM, kApproved + "\\Run");
    registry().DenyWrite(HKLM, kApproved + "\\Run");
    page.toolStartupClick();
    page.btnDisableClick();
    page.btnApplyClick();
    EXPECT_FALSE(Approved(HKLM, "Run", "Locked"));
    EXPECT_EQ(ApprovedBytes(HKCU, "Run", "Free"), DisabledNow());
    EXPECT_EQ(MessageBoxTexts(),
              std::vector<std::string>{"You must restart the computer to apply the changes."});
    EXPECT_TRUE(page.lvStartup.Checked(RowOf("Locked")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Free")));
}

}  // namespace
}  // namespace korvane::testing
