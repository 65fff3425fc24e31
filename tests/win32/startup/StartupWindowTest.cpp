// The Startup Programs page under Wine through the real window and the real registry, with Wine
// reporting Windows 10: a Run entry is disabled and enabled again in place with a click on its check
// box and on "&Apply" (its StartupApproved record says so; the entry stays in Run), an entry disabled
// beforehand through its record shows unchecked, and an entry parked by the system configuration
// scheme is enabled back into its Run key.
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedRun[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kRecord[] = L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg\\KorvaneWineAgent";
constexpr wchar_t kEntry[] = L"KorvaneWineAgent";
constexpr wchar_t kBefore[] = L"KorvaneWineDisabledBefore";
constexpr wchar_t kCommand[] = L"%SystemRoot%\\system32\\notepad.exe /korvane";

std::vector<BYTE> ReadBinary(HKEY root, const wchar_t* path, const wchar_t* name) {
    BYTE buffer[64] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path, name, RRF_RT_REG_BINARY, nullptr, buffer, &size) != ERROR_SUCCESS) return {};
    return std::vector<BYTE>(buffer, buffer + size);
}

void SetBinary(HKEY root, const wchar_t* path, const wchar_t* name, const std::vector<BYTE>& bytes) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key.get(), name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

std::uint64_t Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

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
        for (const wchar_t* name : {kEntry, kBefore}) {
            RemoveValue(HKEY_LOCAL_MACHINE, kRun, name);
            RemoveValue(HKEY_LOCAL_MACHINE, kApprovedRun, name);
        }
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kRecord);
    }

    HWND List() { return Hwnd(form->tabStartup, form->tabStartup.lvStartup); }

    // Ticks or unticks the entry's row, then presses Apply and answers the restart message.
    void ToggleAndApply() {
        HWND list = List();
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

TEST_F(StartupWindowTest, RunEntryIsDisabledAndEnabledInPlaceThroughTheWindow) {
    ShowPage(form->tabStartup);
    HWND list = List();
    int row = FindRow(list, kEntry);
    ASSERT_GE(row, 0) << "the seeded Run entry is not listed";
    EXPECT_TRUE(ItemChecked(list, row));
    EXPECT_EQ(ItemText(list, row, 1), kCommand);
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKLM\\") + kRun);

    const std::uint64_t before = Now();
    ToggleAndApply();
    const std::uint64_t after = Now();
    std::vector<BYTE> record = ReadBinary(HKEY_LOCAL_MACHINE, kApprovedRun, kEntry);
    ASSERT_EQ(record.size(), 12u);
    EXPECT_EQ(record[0], 3);
    std::uint64_t stamp = 0;
    for (int i = 0; i < 8; ++i) stamp |= static_cast<std::uint64_t>(record[4 + i]) << (8 * i);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    DWORD type = 0;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRun, kEntry, &type), kCommand);  // still in Run
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRecord));
    row = FindRow(list, kEntry);  // the list was read again
    ASSERT_GE(row, 0);
    EXPECT_FALSE(ItemChecked(list, row));
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKLM\\") + kRun);

    ToggleAndApply();
    record = ReadBinary(HKEY_LOCAL_MACHINE, kApprovedRun, kEntry);
    EXPECT_EQ(record, std::vector<BYTE>({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRun, kEntry), kCommand);
    row = FindRow(list, kEntry);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(ItemChecked(list, row));
}

TEST_F(StartupWindowTest, EntryDisabledBeforehandThroughItsRecordShowsUnchecked) {
    SetString(HKEY_LOCAL_MACHINE, kRun, kBefore, L"C:\\before.exe");
    SetBinary(HKEY_LOCAL_MACHINE, kApprovedRun, kBefore,
              {3, 0, 0, 0, 0x80, 0x30, 0x42, 0x68, 0xD9, 0x76, 0xDA, 0x01});
    ShowPage(form->tabStartup);  // the first visit lists the page
    HWND list = List();
    const int row = FindRow(list, kBefore);
    ASSERT_GE(row, 0);
    EXPECT_FALSE(ItemChecked(list, row));
    EXPECT_EQ(ItemText(list, row, 2), std::wstring(L"HKLM\\") + kRun);
    const int agent = FindRow(list, kEntry);
    ASSERT_GE(agent, 0);
    EXPECT_TRUE(ItemChecked(list, agent));
}

TEST_F(StartupWindowTest, EntryParkedByTheSystemConfigurationSchemeIsEnabledBackIntoRun) {
    RemoveValue(HKEY_LOCAL_MACHINE, kRun, kEntry);
    SetString(HKEY_LOCAL_MACHINE, kRecord, L"command", kCommand, REG_EXPAND_SZ);
    SetString(HKEY_LOCAL_MACHINE, kRecord, L"hkey", L"HKLM");
    SetString(HKEY_LOCAL_MACHINE, kRecord, L"inimapping", L"0");
    SetString(HKEY_LOCAL_MACHINE, kRecord, L"item", kEntry);
    SetString(HKEY_LOCAL_MACHINE, kRecord, L"key", kRun);
    ShowPage(form->tabStartup);
    HWND list = List();
    const int row = FindRow(list, kEntry);
    ASSERT_GE(row, 0) << "the parked entry is not listed";
    EXPECT_FALSE(ItemChecked(list, row));

    ToggleAndApply();
    DWORD type = 0;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRun, kEntry, &type), kCommand);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRecord));
    const int back = FindRow(list, kEntry);
    ASSERT_GE(back, 0);
    EXPECT_TRUE(ItemChecked(list, back));
}

}  // namespace
}  // namespace korvane::win32::testing
