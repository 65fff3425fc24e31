// Repair and restore under Wine, end to end in the real window and the real registry: stale entries of
// every value type are found, repaired with "Fix S&elected", written to Backup.xml beside the program,
// and after a restart of the program put back by "&Restore" with their types — as `reg query` (a
// child process) and the registry functions both see them.
#include <pugixml.hpp>
#include <set>

#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

std::wstring ProgramBackupXml() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Backup.xml";
}

// The TYPE of every ELEMENT of a Backup.xml on disk (the Key Names of the repaired rows).
std::set<std::string> KeyNamesIn(const std::wstring& file) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(file.c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    std::set<std::string> names;
    for (const pugi::xml_node& element : document.child("Korvane").children("ELEMENT"))
        names.insert(element.attribute("TYPE").value());
    return names;
}

std::string Utf8(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}  // ASCII only

class RepairRestoreWindowTest : public StaleEntriesWindowTest {
protected:
    void SetUp() override {
        // Korvane keeps Backup.xml beside the program: start with no history.
        DeleteFileW(ProgramBackupXml().c_str());
        StaleEntriesWindowTest::SetUp();
    }
    void TearDown() override {
        StaleEntriesWindowTest::TearDown();
        DeleteFileW(ProgramBackupXml().c_str());
    }

    // Every seeded entry with its type and data, through the registry functions.
    void ExpectEntriesPresent() {
        for (const auto& [name, value] : AppEntryValues())
            EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kAppEntry, name.c_str()), value)
                << ::testing::PrintToString(name);
        EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kAppSubkey.c_str(), L"http"), RawText(L"1"));
        EXPECT_EQ(ReadRaw(HKEY_CLASSES_ROOT, kClassServer, L""), RawText(L"C:\\KorvaneWineGone\\server.dll"));
        EXPECT_EQ(ReadRaw(HKEY_CLASSES_ROOT, kClassServer, L"ThreadingModel"), RawText(L"Both"));
        EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kRunMru, kMruValue), RawText(L"C:\\KorvaneWineGone\\tool\\1"));
        const DWORD uses = 3;
        EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll), Raw(REG_DWORD, &uses, sizeof uses));
        EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, (std::wstring(kFileExt) + L"\\OpenWithList").c_str(), L"a"),
                  RawText(L"korvane.exe"));
        EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kUninstall, L"UninstallString"),
                  RawText(L"C:\\KorvaneWineGone\\unins000.exe", REG_EXPAND_SZ));
        EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayName"), RawText(L"Korvane Wine Gone"));
    }
};

TEST_F(RepairRestoreWindowTest, RepairedEntriesComeBackWithTheirTypesAfterARestart) {
    ScanPage& scan = form->tabScanErrors;
    ASSERT_TRUE(ScanThroughTheWindow());
    ASSERT_EQ(TextOfWindow(Hwnd(scan, scan.lblScanLabel)), L"Scan done !");

    // Only the seeded rows are ticked: "&Check All" twice leaves every row unticked, then one by one.
    HWND errors = Hwnd(scan, scan.lvErrors);
    Press(scan, scan.btnCheckAll);
    EXPECT_EQ(TextOfWindow(Hwnd(scan, scan.btnCheckAll)), L"&Uncheck All");
    Press(scan, scan.btnCheckAll);
    for (int i = 0; i < ListView_GetItemCount(errors); ++i) ASSERT_FALSE(ItemChecked(errors, i)) << i;
    std::set<std::string> repaired;
    for (const ExpectedFinding& finding : SeededFindings()) {
        const int row = ErrorRow(finding.keyName);
        ASSERT_GE(row, 0) << ::testing::PrintToString(finding.keyName);
        ToggleRow(errors, row);
        ASSERT_TRUE(ItemChecked(errors, row));
        repaired.insert(Utf8(finding.keyName));
    }
    const int rowsBefore = ListView_GetItemCount(errors);

    Press(scan, scan.btnFixSelected);
    EXPECT_EQ(ListView_GetItemCount(errors), rowsBefore - static_cast<int>(repaired.size()));
    for (const ExpectedFinding& finding : SeededFindings()) EXPECT_EQ(ErrorRow(finding.keyName), -1);
    // Gone from the registry, and already on disk before the window closes.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppEntry));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassServer));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClass));  // the class key itself was not a finding
    EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kRunMru, kMruValue).found);
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll).found);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kFileExt));
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, kUninstall, L"UninstallString").found);
    EXPECT_TRUE(
        ReadRaw(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayName").found);  // a value row takes one value
    // Nothing else was touched: the entry whose file exists is still there.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAppPresent));
    EXPECT_EQ(KeyNamesIn(ProgramBackupXml()), repaired);

    // Closing writes Backup.xml again; it holds exactly the repaired entries.
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_FALSE(IsWindow(window->Handle()));
    EXPECT_EQ(KeyNamesIn(ProgramBackupXml()), repaired);

    // The program starts again in the same folder.
    window.reset();
    form.reset();
    Pump();
    form = std::make_unique<MainForm>(platform->platform());
    window = std::make_unique<MainWindow>(*form);
    ASSERT_TRUE(window->Handle());
    form->FormCreate();
    window->Show(SW_SHOWNORMAL);
    Pump();
    HistoryPage& history = form->tabHistory;
    ShowPage(history);
    HWND rows = Hwnd(history, history.lvHistory);
    ASSERT_EQ(ListView_GetItemCount(rows), static_cast<int>(repaired.size()));
    for (const ExpectedFinding& finding : SeededFindings()) {
        const int row = FindRow(rows, finding.errorType);
        ASSERT_GE(row, 0) << ::testing::PrintToString(finding.errorType);
        EXPECT_EQ(ItemText(rows, row, 1), finding.keyName);
    }
    Press(history, history.btnCheckAll1);
    for (int i = 0; i < ListView_GetItemCount(rows); ++i) EXPECT_TRUE(ItemChecked(rows, i)) << i;
    Press(history, history.btnRestore);
    EXPECT_EQ(ListView_GetItemCount(rows), 0);

    ExpectEntriesPresent();

    // The registry editor's command line tool sees the same types and data.
    const std::wstring lm = L"HKEY_LOCAL_MACHINE\\";
    auto app = RegQuery(lm + kAppEntry);
    EXPECT_EQ(app[L"(Default)"], L"REG_SZ    C:\\KorvaneWineGone\\app.exe");
    EXPECT_EQ(app[L"Path"], L"REG_EXPAND_SZ    %ProgramFiles%\\KorvaneWineGone");
    EXPECT_EQ(app[L"Runs"], L"REG_DWORD    0x1a");
    EXPECT_EQ(app[L"Flags"], L"REG_DWORD    0xffffffff");
    EXPECT_EQ(app[L"Blob"], L"REG_BINARY    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D");
    EXPECT_EQ(app[L"Empty"].rfind(L"REG_BINARY", 0), 0u) << ::testing::PrintToString(app[L"Empty"]);
    EXPECT_EQ(app[L"Verbs"], L"REG_MULTI_SZ    open\\0print /p");
    // This Wine's reg.exe prints no data for a 64-bit number; its type still shows (the bytes were
    // checked above through the registry functions).
    EXPECT_EQ(app[L"Big"].rfind(L"REG_QWORD", 0), 0u) << ::testing::PrintToString(app[L"Big"]);
    EXPECT_EQ(RegQuery(lm + kAppSubkey)[L"http"], L"REG_SZ    1");
    EXPECT_EQ(RegQuery(std::wstring(L"HKEY_CLASSES_ROOT\\") + kClassServer)[L"(Default)"],
              L"REG_SZ    C:\\KorvaneWineGone\\server.dll");
    EXPECT_EQ(RegQuery(std::wstring(L"HKEY_CURRENT_USER\\") + kRunMru)[kMruValue],
              L"REG_SZ    C:\\KorvaneWineGone\\tool\\1");
    EXPECT_EQ(RegQuery(lm + kSharedDlls)[kSharedDll], L"REG_DWORD    0x3");
    EXPECT_EQ(RegQuery(std::wstring(L"HKEY_CURRENT_USER\\") + kFileExt + L"\\OpenWithList")[L"a"],
              L"REG_SZ    korvane.exe");
    EXPECT_EQ(RegQuery(lm + kUninstall)[L"UninstallString"],
              L"REG_EXPAND_SZ    C:\\KorvaneWineGone\\unins000.exe");
}

}  // namespace
}  // namespace korvane::win32::testing
