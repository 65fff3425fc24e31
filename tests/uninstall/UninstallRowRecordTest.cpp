// Each row of the uninstall list keeps its entry in its tag, and the handlers act on that entry: two
// programs may show the same name, a column sort or the filter may move them, and the hidden "Key Name"
// text is never read back to find the key to delete.
#include "uninstall/UninstallTestSupport.h"

namespace korvane::testing {
namespace {

class UninstallRowRecordTest : public UninstallTest {
protected:
    UninstallRowRecordTest() {
        memory.files().AddFolder("C:\\Korvane");
        state.ProgramFolder = "C:\\Korvane\\";
        history.Load();
        // Two programs of the same name, one per hive, told apart only by their publisher.
        AddProgram(HKLM, kUninstall, "MachineCopy", "Same App", "Alpha");
        AddProgram(HKCU, kUninstall, "UserCopy", "Same App", "Beta");
        AddProgram(HKLM, kUninstall32, "Other", "Other - App\\Tools", "Gamma");
        page.ListUninstallEntries();
    }
    // The row whose entry is the key `keyName` (its Key Name text).
    int RowOfKey(const std::string& keyName) const {
        for (int i = 0; i < page.lvAddRemove.Count(); ++i)
            if (const auto* entry = page.lvAddRemove.Tag<UninstallEntry>(i);
                entry && entry->key.Text() == keyName)
                return i;
        return -1;
    }
    void DeleteChecked() {
        memory.dialogs().ScriptAnswers({true});
        page.btnDeleteEntry.Click();
    }

    const std::string machineKey = "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\MachineCopy";
    const std::string userKey = "HKEY_CURRENT_USER\\" + kUninstall + "\\UserCopy";
};

TEST_F(UninstallRowRecordTest, EveryRowKeepsItsEntryThroughAColumnSort) {
    page.lvAddRemove.ColumnClick(kPublisherColumn + 1);
    page.lvAddRemove.ColumnClick(kPublisherColumn + 1);  // descending: Gamma, Beta, Alpha
    ASSERT_EQ(page.lvAddRemove.Count(), 3);
    for (int i = 0; i < page.lvAddRemove.Count(); ++i) {
        const auto* entry = page.lvAddRemove.Tag<UninstallEntry>(i);
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_EQ(entry->publisher, page.lvAddRemove.SubItem(i, kPublisherColumn)) << i;
        EXPECT_EQ(entry->displayName, page.lvAddRemove.Item(i).caption) << i;
        EXPECT_EQ(entry->key.Text(), page.lvAddRemove.SubItem(i, kUninstallKeyNameColumn)) << i;
    }
    EXPECT_EQ(page.lvAddRemove.Tag<UninstallEntry>(1)->key.Text(), userKey);
}

TEST_F(UninstallRowRecordTest, DeleteTakesTheCheckedEntryOfTwoWithTheSameName) {
    page.lvAddRemove.ColumnClick(kPublisherColumn + 1);
    page.lvAddRemove.ColumnClick(kPublisherColumn + 1);
    const int row = RowOfKey(userKey);
    ASSERT_GE(row, 0);
    // What the row shows is not what the handler reads: a forged Key Name text changes nothing.
    page.lvAddRemove.SetSubItem(row, kUninstallKeyNameColumn, machineKey);
    page.lvAddRemove.UserToggleCheck(row);
    page.lvAddRemove.Click();
    DeleteChecked();

    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, kUninstall + "\\UserCopy"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\MachineCopy"));
    ASSERT_EQ(history.EntryCount(), 1);
    EXPECT_EQ(history.Entries()[0].type, userKey);
    EXPECT_EQ(history.Entries()[0].path, "C:\\UserCopy\\uninstall.exe");
    EXPECT_EQ(RowOfKey(userKey), -1);
    EXPECT_GE(RowOfKey(machineKey), 0);
}

TEST_F(UninstallRowRecordTest, TheFilterKeepsCheckMarksWithTheirEntriesNotTheirNames) {
    page.lvAddRemove.UserToggleCheck(RowOfKey(machineKey));
    page.edFilter.SetText("gamma");
    page.edFilterChange();
    ASSERT_EQ(page.lvAddRemove.Count(), 1);
    EXPECT_EQ(page.lvAddRemove.Item(0).caption, "Other - App\\Tools");
    page.edFilter.SetText("");
    page.edFilterChange();
    ASSERT_EQ(page.lvAddRemove.Count(), 3);
    EXPECT_TRUE(page.lvAddRemove.Checked(RowOfKey(machineKey)));
    EXPECT_FALSE(page.lvAddRemove.Checked(RowOfKey(userKey)));  // same name, not checked
}

TEST_F(UninstallRowRecordTest, ANameWithABackslashAndADashDeletesItsOwnKey) {
    page.edFilter.SetText(" - App\\");
    page.edFilterChange();
    ASSERT_EQ(page.lvAddRemove.Count(), 1);
    page.lvAddRemove.UserToggleCheck(0);
    DeleteChecked();
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kUninstall32 + "\\Other"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\MachineCopy"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKCU, kUninstall + "\\UserCopy"));
}

}  // namespace
}  // namespace korvane::testing
