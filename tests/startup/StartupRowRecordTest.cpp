// Each startup row keeps its entry (root, key path, name, command, StartupApproved place) in its tag,
// and Apply and Remove act on that entry: two entries may show the same name, a sort may move them, a
// name may hold a backslash or " - ", and the Location text is never read back to find the key.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupRowRecordTest : public StartupTest {
protected:
    // The row whose entry lives below `root`, of the entries named `name`.
    int RowOfEntry(HKey root, const std::string& name) const {
        for (int i = 0; i < page.lvStartup.Count(); ++i)
            if (const auto* entry = page.lvStartup.Tag<StartupEntry>(i);
                entry && entry->root == root && entry->name == name)
                return i;
        return -1;
    }
    // Shows `text` in the row's Location column, as a row that is not what it says would.
    void MislabelLocation(int row, const std::string& text) { page.lvStartup.SetSubItem(row, 1, text); }
};

TEST_F(StartupRowRecordTest, EveryRowsEntryMatchesWhatItShowsAfterASort) {
    registry().SetString(HKLM, kRun, "Agent", "C:\\machine.exe");
    registry().SetString(HKCU, kRun, "Agent", "C:\\user.exe");
    AddRecord("Parked", "Parked - old\\one", "C:\\parked.exe", "HKCU", kRun);
    page.toolStartupClick();
    page.lvStartup.ColumnClick(1);
    page.lvStartup.ColumnClick(1);  // by command, descending
    ASSERT_EQ(page.lvStartup.Count(), 3);
    for (int i = 0; i < page.lvStartup.Count(); ++i) {
        const auto* entry = page.lvStartup.Tag<StartupEntry>(i);
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_EQ(entry->name, page.lvStartup.Item(i).caption) << i;
        EXPECT_EQ(entry->command, page.lvStartup.SubItem(i, 0)) << i;
        EXPECT_EQ(entry->RegistryLocation(), page.lvStartup.SubItem(i, 1)) << i;
    }
    const auto* parked = page.lvStartup.Tag<StartupEntry>(1);
    EXPECT_EQ(parked->kind, StartupKind::ParkedRecord);
    EXPECT_EQ(parked->root, HKCU);
    EXPECT_EQ(parked->keyPath, kRun);
    ASSERT_TRUE(parked->approved.has_value());  // where its state goes when it runs again
    EXPECT_EQ(*parked->approved, (ApprovedPlace{HKCU, "Run", "Parked - old\\one"}));
    const auto* machine = page.lvStartup.Tag<StartupEntry>(2);
    EXPECT_EQ(machine->kind, StartupKind::RunValue);
    EXPECT_EQ(machine->root, HKLM);
}

TEST_F(StartupRowRecordTest, DisablingMovesTheEntryTheRowCarriesNotTheOneItsTextNames) {
    registry().SetString(HKLM, kRun, "Agent", "C:\\machine.exe");
    registry().SetString(HKCU, kRun, "Agent", "C:\\user.exe");
    page.toolStartupClick();
    page.lvStartup.ColumnClick(1);  // C:\machine.exe, C:\user.exe
    const int row = RowOfEntry(HKCU, "Agent");
    ASSERT_EQ(row, 1);
    MislabelLocation(row, "HKLM\\" + kRun);
    page.lvStartup.UserToggleCheck(row);
    page.btnApplyClick();

    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Agent"));
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Agent"), "C:\\machine.exe");
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Agent", "hkey"), "HKCU");
    EXPECT_EQ(registry().GetString(HKLM, kParking + "\\Agent", "command"), "C:\\user.exe");
}

TEST_F(StartupRowRecordTest, ADashSchemeNameWithABackslashAndADashGoesBothWays) {
    UseVersionClass(2);
    const std::string name = "Tools\\Tray - helper";
    registry().SetString(HKLM, kRun, name, "C:\\tray.exe");
    registry().SetString(HKLM, kRun, "Tools", "C:\\tools.exe");
    page.toolStartupClick();
    ClickCheck(name);
    page.btnApplyClick();
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, name));
    EXPECT_EQ(registry().GetString(HKLM, kRun + "-", name), "C:\\tray.exe");
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Tools"), "C:\\tools.exe");

    const int parked = RowOfEntry(HKLM, name);
    ASSERT_GE(parked, 0);
    EXPECT_EQ(page.lvStartup.Tag<StartupEntry>(parked)->keyPath, kRun + "-");
    ClickCheck(name);
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKLM, kRun, name), "C:\\tray.exe");
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun + "-", name));
}

TEST_F(StartupRowRecordTest, EnablingARecordTakesItsKeyFromTheRecordNotFromTheRowText) {
    AddRecord("Helper", "Helper", "C:\\helper.exe", "HKCU", kRun);
    page.toolStartupClick();
    ASSERT_EQ(page.lvStartup.Count(), 1);
    MislabelLocation(0, "HKLM\\Software\\Elsewhere");
    page.btnEnableClick();
    page.btnApplyClick();
    EXPECT_EQ(registry().GetString(HKCU, kRun, "Helper"), "C:\\helper.exe");
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, "Software\\Elsewhere"));
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kParking + "\\Helper"));
}

TEST_F(StartupRowRecordTest, RemoveDeletesTheSelectedEntryOfTwoWithTheSameName) {
    UseVersion(kWindows10);
    registry().SetString(HKLM, kRun, "Gone", "C:\\Apps\\gone-machine.exe");
    registry().SetString(HKCU, kRun, "Gone", "C:\\Apps\\gone-user.exe");
    page.toolStartupClick();
    WaitForPublishers();
    const int row = RowOfEntry(HKCU, "Gone");
    ASSERT_GE(row, 0);
    MislabelLocation(row, "HKLM\\" + kRun);
    page.lvStartup.SetSelected(row, true);
    ASSERT_TRUE(page.btnRemove.Enabled());
    dialogs().ScriptAnswers({true});
    page.btnRemove.Click();

    EXPECT_FALSE(registry().ValueExistsRaw(HKCU, kRun, "Gone"));
    EXPECT_EQ(registry().GetString(HKLM, kRun, "Gone"), "C:\\Apps\\gone-machine.exe");
    ASSERT_EQ(history.EntryCount(), 1);
    EXPECT_EQ(history.Entries()[0].type, "HKEY_CURRENT_USER\\" + kRun + "\\Gone");
    EXPECT_EQ(history.Entries()[0].path, "C:\\Apps\\gone-user.exe");
}

}  // namespace
}  // namespace korvane::testing
