// The Uninstall Manager page under Wine through the real window and the real registry: a stale entry
// is ticked, "&Delete entries" asks, No keeps it, Yes deletes its key and the list shows the rest; the
// key is in Restore History, and "&Restore" brings it back.
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kStale[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineStale";
constexpr wchar_t kKept[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineKept";
constexpr wchar_t kStaleName[] = L"Korvane Wine Stale Program";
constexpr wchar_t kKeptName[] = L"Korvane Wine Kept Program";

class UninstallWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        Clean();
        SetString(HKEY_LOCAL_MACHINE, kStale, L"DisplayName", kStaleName);
        SetString(HKEY_LOCAL_MACHINE, kStale, L"UninstallString", L"C:\\gone\\uninst.exe /S");
        SetString(HKEY_LOCAL_MACHINE, (std::wstring(kStale) + L"\\Details").c_str(), L"x", L"y");
        SetString(HKEY_LOCAL_MACHINE, kKept, L"DisplayName", kKeptName);
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        Clean();
    }
    static void Clean() {
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kStale);
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kKept);
    }

    BackupXmlKeeper keeper_;  // the deletion writes Backup.xml beside the test program
};

TEST_F(UninstallWindowTest, StaleEntryIsDeletedAfterAnsweringYes) {
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND list = Hwnd(page, page.lvAddRemove);
    const int row = FindRow(list, kStaleName);
    ASSERT_GE(row, 0) << "the seeded entry is not listed";
    EXPECT_EQ(ItemText(list, row, 1), L"C:\\gone\\uninst.exe /S");
    EXPECT_EQ(ItemText(list, row, 2), kStale);
    EXPECT_FALSE(ItemChecked(list, row));
    ASSERT_GE(FindRow(list, kKeptName), 0);

    HWND deleteButton = Hwnd(page, page.btnDeleteEntry);
    EXPECT_FALSE(IsWindowEnabled(deleteButton));
    ToggleRow(list, row);
    EXPECT_TRUE(ItemChecked(list, row));
    EXPECT_TRUE(IsWindowEnabled(deleteButton));

    BoxAnswerer no(IDNO);
    Press(page, page.btnDeleteEntry);
    ASSERT_TRUE(no.Finish()) << "no confirmation was asked";
    EXPECT_EQ(no.Title(), L"Confirm");
    EXPECT_EQ(no.Text(), L"Are you sure to delete the key(s)?");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kStale));
    EXPECT_TRUE(ItemChecked(list, row));

    BoxAnswerer yes(IDYES);
    Press(page, page.btnDeleteEntry);
    ASSERT_TRUE(yes.Finish()) << "no confirmation was asked";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kStale));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kKept));
    EXPECT_EQ(FindRow(list, kStaleName), -1);
    EXPECT_GE(FindRow(list, kKeptName), 0);

    HistoryPage& history = form->tabHistory;
    ShowPage(history);
    HWND rows = Hwnd(history, history.lvHistory);
    const int entry = FindRow(rows, kStaleName);
    ASSERT_GE(entry, 0) << "the deleted entry is not in Restore History";
    EXPECT_EQ(ItemText(rows, entry, 1), std::wstring(L"HKEY_LOCAL_MACHINE\\") + kStale);
    ToggleRow(rows, entry);
    Press(history, history.btnRestore);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kStale, L"UninstallString"), L"C:\\gone\\uninst.exe /S");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, (std::wstring(kStale) + L"\\Details").c_str(), L"x"), L"y");
}

}  // namespace
}  // namespace korvane::win32::testing
