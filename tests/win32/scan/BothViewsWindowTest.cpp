// The scan under Wine on 64-bit Windows, in the real window: a 32-bit program's class is found under
// its Wow6432Node Key Name, repaired and restored into the 32-bit view; a 32-bit entry's System32 is
// SysWOW64; an entry on a server that is not there is listed unchecked with its evidence, which
// "Check All" leaves so and Ctrl+C copies with the row.
#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kClass32[] = L"CLSID\\{4B6F7276-616E-6533-3256-696577476F6E}";
constexpr wchar_t kClass32Server[] = L"CLSID\\{4B6F7276-616E-6533-3256-696577476F6E}\\InprocServer32";
constexpr wchar_t kClassOnly32[] = L"CLSID\\{4B6F7276-616E-6533-3256-4F6E6C793332}";
constexpr wchar_t kClassOnly32Server[] = L"CLSID\\{4B6F7276-616E-6533-3256-4F6E6C793332}\\InprocServer32";
constexpr wchar_t kApp32[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine32.exe";
constexpr wchar_t kApp64[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine64.exe";
constexpr wchar_t kAppNet[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine_net.exe";
constexpr wchar_t kOnly32[] = L"C:\\windows\\system32\\korvanewine_only32.dll";
constexpr wchar_t kNetPath[] = L"\\\\korvane-no-such-server\\share\\app.exe";

// Writes a text value into the 32-bit view, as a 32-bit program (or `reg add ... /reg:32`) would.
void SetText32(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::wstring ReadText32(HKEY root, const wchar_t* path, const wchar_t* name) {
    UniqueHkey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
        return L"<missing>";
    wchar_t buffer[512] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

bool KeyExists32(HKEY root, const wchar_t* path) {
    UniqueHkey key;
    return RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WOW64_32KEY, key.put()) == ERROR_SUCCESS;
}

void RemoveViewEntries() {
    RemoveKeyTree(HKEY_CLASSES_ROOT, (std::wstring(L"Wow6432Node\\") + kClass32).c_str());
    RemoveKeyTree(HKEY_CLASSES_ROOT, (std::wstring(L"Wow6432Node\\") + kClassOnly32).c_str());
    RemoveKeyTree(HKEY_LOCAL_MACHINE,
                  L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine32.exe");
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kApp64);
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kAppNet);
    wchar_t wow[MAX_PATH] = {};
    GetSystemWow64DirectoryW(wow, MAX_PATH);
    DeleteFileW((std::wstring(wow) + L"\\korvanewine_only32.dll").c_str());
}

class BothViewsWindowTest : public StaleEntriesWindowTest {
protected:
    void SetUp() override {
        RemoveViewEntries();
        SetText32(HKEY_CLASSES_ROOT, kClass32, L"", L"Korvane Wine 32-bit class");
        SetText32(HKEY_CLASSES_ROOT, kClass32Server, L"", L"C:\\KorvaneWineGone\\server32.dll");
        SetText32(HKEY_CLASSES_ROOT, kClass32Server, L"ThreadingModel", L"Both");
        // The file is only where a 32-bit program's System32 really is.
        wchar_t wow[MAX_PATH] = {};
        ASSERT_GT(GetSystemWow64DirectoryW(wow, MAX_PATH), 0u) << "not a 64-bit prefix";
        UniqueFile file(CreateFileW((std::wstring(wow) + L"\\korvanewine_only32.dll").c_str(), GENERIC_WRITE,
                                    0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.valid());
        SetText32(HKEY_CLASSES_ROOT, kClassOnly32Server, L"", kOnly32);
        SetText32(HKEY_LOCAL_MACHINE, kApp32, L"", kOnly32);
        SetText(HKEY_LOCAL_MACHINE, kApp64, L"", kOnly32);
        SetText(HKEY_LOCAL_MACHINE, kAppNet, L"", kNetPath);
        StaleEntriesWindowTest::SetUp();
    }
    void TearDown() override {
        StaleEntriesWindowTest::TearDown();
        RemoveViewEntries();
    }
    // Selects one row of a list as a user's click does.
    void Select(HWND list, int row) {
        SetFocus(list);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Pump();
    }

    BackupXmlKeeper backupXml_;
};

TEST_F(BothViewsWindowTest, A32BitClassIsFoundUnderItsWow6432NodeNameRepairedAndRestored) {
    const std::wstring keyName = std::wstring(L"HKEY_CLASSES_ROOT\\Wow6432Node\\") + kClass32Server;
    ScanPage& scan = form->tabScanErrors;
    ASSERT_TRUE(ScanThroughTheWindow());
    HWND errors = Hwnd(scan, scan.lvErrors);
    const int row = ErrorRow(keyName);
    ASSERT_GE(row, 0) << "not reported";
    EXPECT_EQ(ItemText(errors, row, 0), L"COM/ActiveX");
    EXPECT_EQ(ItemText(errors, row, 2), L"C:\\KorvaneWineGone\\server32.dll");
    EXPECT_TRUE(ItemChecked(errors, row));

    // Only this row is repaired.
    Press(scan, scan.btnCheckAll);
    Press(scan, scan.btnCheckAll);
    ToggleRow(errors, ErrorRow(keyName));
    Press(scan, scan.btnFixSelected);
    EXPECT_EQ(ErrorRow(keyName), -1);
    EXPECT_FALSE(KeyExists32(HKEY_CLASSES_ROOT, kClass32Server));
    EXPECT_TRUE(KeyExists32(HKEY_CLASSES_ROOT, kClass32));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClass32));  // the 64-bit view never had it

    HistoryPage& history = form->tabHistory;
    ShowPage(history);
    HWND rows = Hwnd(history, history.lvHistory);
    int entry = -1;
    for (int i = 0; i < ListView_GetItemCount(rows); ++i)
        if (ItemText(rows, i, 1) == keyName) entry = i;
    ASSERT_GE(entry, 0);
    ToggleRow(rows, entry);
    Press(history, history.btnRestore);
    EXPECT_EQ(ReadText32(HKEY_CLASSES_ROOT, kClass32Server, L""), L"C:\\KorvaneWineGone\\server32.dll");
    EXPECT_EQ(ReadText32(HKEY_CLASSES_ROOT, kClass32Server, L"ThreadingModel"), L"Both");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClass32Server));
}

TEST_F(BothViewsWindowTest, A32BitEntrysSystem32IsSysWow64) {
    ASSERT_TRUE(ScanThroughTheWindow());
    EXPECT_EQ(ErrorRow(std::wstring(L"HKEY_CLASSES_ROOT\\Wow6432Node\\") + kClassOnly32Server), -1);
    // App Paths is one key for both views: what a 32-bit installer wrote there is the 64-bit key's
    // entry, listed once under that name, and never under the Wow6432Node name Wine links to it.
    EXPECT_EQ(ErrorRow(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App "
                       L"Paths\\korvanewine32.exe"),
              -1);
    EXPECT_GE(ErrorRow(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                       L"Paths\\korvanewine32.exe"),
              0);
    // The same path in a 64-bit entry names the 64-bit System32, where the file is not.
    const int row = ErrorRow(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kApp64);
    ASSERT_GE(row, 0);
    ScanPage& scan = form->tabScanErrors;
    Select(Hwnd(scan, scan.lvErrors), row);
    EXPECT_EQ(TextOfWindow(Hwnd(scan, scan.lblEvidence)),
              L"C:\\windows\\system32\\korvanewine_only32.dll \u2014 file not found");
}

TEST_F(BothViewsWindowTest, AnEntryOnAServerThatIsNotThereIsListedUncheckedWithItsEvidence) {
    ScanPage& scan = form->tabScanErrors;
    ASSERT_TRUE(ScanThroughTheWindow());
    HWND errors = Hwnd(scan, scan.lvErrors);
    const std::wstring keyName = std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppNet;
    const int row = ErrorRow(keyName);
    ASSERT_GE(row, 0) << "not listed";
    EXPECT_FALSE(ItemChecked(errors, row));
    EXPECT_TRUE(ItemChecked(errors, ErrorRow(SeededFindings()[0].keyName)));

    // "Check All" checks every row it may, and not this one.
    Press(scan, scan.btnCheckAll);
    Press(scan, scan.btnCheckAll);
    Press(scan, scan.btnCheckAll);
    EXPECT_EQ(TextOfWindow(Hwnd(scan, scan.btnCheckAll)), L"&Uncheck All");
    EXPECT_TRUE(ItemChecked(errors, ErrorRow(SeededFindings()[0].keyName)));
    EXPECT_FALSE(ItemChecked(errors, ErrorRow(keyName)));

    // Selected, its evidence shows below the list ...
    Select(errors, ErrorRow(keyName));
    const std::wstring evidence = TextOfWindow(Hwnd(scan, scan.lblEvidence));
    EXPECT_EQ(evidence.rfind(std::wstring(kNetPath) + L" \u2014 server ", 0), 0u)
        << ::testing::PrintToString(evidence);
    EXPECT_NE(evidence.find(L"cannot tell"), std::wstring::npos);

    // ... and Ctrl+C copies it with the row.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE pressed[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(pressed));
    pressed[VK_CONTROL] = 0x80;
    SetKeyboardState(pressed);
    SendMessageW(errors, WM_KEYDOWN, 'C', 0);
    SetKeyboardState(keys);
    Pump();
    ASSERT_TRUE(OpenClipboard(window->Handle()));
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring copied;
    if (data) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            copied = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    EXPECT_EQ(copied.rfind(L"Application\t" + keyName + L"\t" + kNetPath + L"\t" + kNetPath + L"\r\n", 0), 0u)
        << ::testing::PrintToString(copied);
    EXPECT_NE(copied.find(evidence), std::wstring::npos);
}

}  // namespace
}  // namespace korvane::win32::testing
