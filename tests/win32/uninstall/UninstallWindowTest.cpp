// The Uninstall Manager page under Wine through the real window and the real registry: a stale entry
// is ticked, "&Delete entries" asks, No keeps it, Yes deletes its key and the list shows the rest; a
// per-user entry and an entry of the 32-bit view are listed with their publisher and version.
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
};

TEST_F(UninstallWindowTest, StaleEntryIsDeletedAfterAnsweringYes) {
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND list = Hwnd(page, page.lvAddRemove);
    const int row = FindRow(list, kStaleName);
    ASSERT_GE(row, 0) << "the seeded entry is not listed";
    EXPECT_EQ(ItemText(list, row, 1), L"C:\\gone\\uninst.exe /S");
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKEY_LOCAL_MACHINE\\") + kStale);
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
}

constexpr wchar_t kUser[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineUser";
constexpr wchar_t kView32[] =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWine32";

class UninstallSourcesWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        Clean();
        SetString(HKEY_CURRENT_USER, kUser, L"DisplayName", L"Korvane Wine Per-User Tool");
        SetString(HKEY_CURRENT_USER, kUser, L"Publisher", L"Korvane Testers");
        SetString(HKEY_CURRENT_USER, kUser, L"DisplayVersion", L"3.1.4");
        SetString(HKEY_LOCAL_MACHINE, kView32, L"DisplayName", L"Korvane Wine 32-bit Tool");
        SetString(HKEY_LOCAL_MACHINE, kView32, L"Publisher", L"Korvane 32 Corp");
        SetString(HKEY_LOCAL_MACHINE, kView32, L"DisplayVersion", L"2.7");
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        Clean();
    }
    static void Clean() {
        RemoveKeyTree(HKEY_CURRENT_USER, kUser);
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kView32);
    }
};

TEST_F(UninstallSourcesWindowTest, PerUserAndThirtyTwoBitEntriesAreListedWithPublisherAndVersion) {
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND list = Hwnd(page, page.lvAddRemove);
    const int user = FindRow(list, L"Korvane Wine Per-User Tool");
    ASSERT_GE(user, 0) << "the per-user entry is not listed";
    EXPECT_EQ(ItemText(list, user, 2), std::wstring(L"HKEY_CURRENT_USER\\") + kUser);
    EXPECT_EQ(ItemText(list, user, 3), L"Korvane Testers");
    EXPECT_EQ(ItemText(list, user, 4), L"3.1.4");
    const int view32 = FindRow(list, L"Korvane Wine 32-bit Tool");
    ASSERT_GE(view32, 0) << "the 32-bit view's entry is not listed";
    EXPECT_EQ(ItemText(list, view32, 2), std::wstring(L"HKEY_LOCAL_MACHINE\\") + kView32);
    EXPECT_EQ(ItemText(list, view32, 3), L"Korvane 32 Corp");
    EXPECT_EQ(ItemText(list, view32, 4), L"2.7");
}

}  // namespace
}  // namespace korvane::win32::testing
