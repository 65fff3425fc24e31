// The Startup Programs page under Wine through the real window and the real registry: a Run entry is
// disabled and enabled again with a click on its check box and on "&Apply", answering the restart box.
// Wine reports a current Windows (version class 8), so the system configuration records are used.
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRecord[] = L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg\\KorvaneWineAgent";
constexpr wchar_t kEntry[] = L"KorvaneWineAgent";
constexpr wchar_t kCommand[] = L"%SystemRoot%\\system32\\notepad.exe /korvane";

class StartupWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        Clean();
        SetString(HKEY_LOCAL_MACHINE, kRun, kEntry, kCommand, REG_EXPAND_SZ);
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        Clean();
    }
    static void Clean() {
        RemoveValue(HKEY_LOCAL_MACHINE, kRun, kEntry);
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kRecord);
    }

    // Ticks or unticks the entry's row, then presses Apply and answers the restart message.
    void ToggleAndApply() {
        HWND list = Hwnd(form->tabStartup, form->tabStartup.lvStartup);
        const int row = FindRow(list, kEntry);
        ASSERT_GE(row, 0);
        const bool before = ItemChecked(list, row);
        ToggleRow(list, row);
        EXPECT_NE(form->tabStartup.lvStartup.Checked(row), before);
        HWND apply = Hwnd(form->tabStartup, form->tabStartup.btnApply);
        EXPECT_TRUE(IsWindowEnabled(apply));  // the click in the list found a changed row

        BoxAnswerer ok(IDOK);
        Press(form->tabStartup, form->tabStartup.btnApply);
        ASSERT_TRUE(ok.Finish()) << "the restart message was not shown";
        EXPECT_EQ(ok.Title(), L"Korvane");
        EXPECT_EQ(ok.Text(), L"You must restart the computer to apply the changes.");
        EXPECT_FALSE(IsWindowEnabled(apply));
    }
};

TEST_F(StartupWindowTest, RunEntryIsDisabledAndEnabledThroughTheWindow) {
    ShowPage(form->tabStartup);
    HWND list = Hwnd(form->tabStartup, form->tabStartup.lvStartup);
    int row = FindRow(list, kEntry);
    ASSERT_GE(row, 0) << "the seeded Run entry is not listed";
    EXPECT_TRUE(ItemChecked(list, row));
    EXPECT_EQ(ItemText(list, row, 1), kCommand);
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKLM\\") + kRun);

    ToggleAndApply();
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRun, kEntry), L"<missing>");
    DWORD type = 0;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRecord, L"command", &type), kCommand);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRecord, L"hkey"), L"HKLM");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRecord, L"inimapping"), L"0");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRecord, L"item"), kEntry);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRecord, L"key"), kRun);
    row = FindRow(list, kEntry);  // the list was read again
    ASSERT_GE(row, 0);
    EXPECT_FALSE(ItemChecked(list, row));
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKLM\\") + kRun);

    ToggleAndApply();
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRun, kEntry, &type), kCommand);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRecord));
    row = FindRow(list, kEntry);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(ItemChecked(list, row));
}

}  // namespace
}  // namespace korvane::win32::testing
