// The two browser pages under Wine through the real window, the real file system and the real
// registry: files seeded in the Wine profile's cache and history folders are listed and deleted; a
// toolbar and a browser extension seeded in the registry are listed, removed, and written back from
// the Restore History page.
#include <filesystem>
#include <fstream>

#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The program saves its history beside itself before it deletes; the tests leave that file as they
// found it.
class KeepsBackupXml : public RealWindowTest {
private:
    BackupXmlKeeper backupXml_;
};

class TracesWindowTest : public KeepsBackupXml {
protected:
    void SetUp() override {
        cache_ = ReadString(HKEY_CURRENT_USER, kShellFolders, L"Cache");
        history_ = ReadString(HKEY_CURRENT_USER, kShellFolders, L"History");
        if (cache_ == L"<missing>" || history_ == L"<missing>")
            GTEST_SKIP() << "the Wine profile has no cache folder";
        cache_ += L"\\KorvaneWine\\";
        history_ += L"\\KorvaneWine\\";
        Clean();
        Seed(cache_ + L"page.htm", FILE_ATTRIBUTE_HIDDEN);
        Seed(cache_ + L"desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        Seed(cache_ + L"Content\\deep.js", FILE_ATTRIBUTE_NORMAL);
        Seed(history_ + L"INDEX.DAT", FILE_ATTRIBUTE_NORMAL);
        Seed(history_ + L"other.dat", FILE_ATTRIBUTE_NORMAL);
        KeepsBackupXml::SetUp();
    }
    void TearDown() override {
        KeepsBackupXml::TearDown();
        Clean();
    }
    void Clean() {
        std::error_code ignored;
        for (const std::wstring& folder : {cache_, history_}) {
            if (!folder.ends_with(L"\\KorvaneWine\\")) continue;  // only what the test made
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
                SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
            std::filesystem::remove_all(folder, ignored);
        }
    }
    static void Seed(const std::wstring& path, DWORD attributes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(std::filesystem::path(path)) << "korvane";
        SetFileAttributesW(path.c_str(), attributes);
    }
    // The row of the file list that shows `name` in `folder`; -1 when none does.
    static int FileRow(HWND list, const std::wstring& name, const std::wstring& folder) {
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ItemText(list, i, 1) == name && ItemText(list, i, 2) == folder) return i;
        return -1;
    }

    std::wstring cache_;
    std::wstring history_;
};

TEST_F(TracesWindowTest, CacheAndHistoryFilesAreListedAndDeletedThroughTheWindow) {
    TracesPage& page = form->tabIE;
    ShowPage(page);
    HWND actions = Hwnd(page, page.lvIE);
    HWND files = Hwnd(page, page.lvDeletedFiles);
    ASSERT_EQ(ListView_GetItemCount(actions), 7);
    EXPECT_EQ(ListView_GetItemCount(files), 0);  // nothing is read before "&Start Scan"
    // Only cache and history: the temporary folder of the prefix is not the test's to empty.
    ASSERT_TRUE(ItemChecked(actions, TracesPage::DownloadedFiles));
    ToggleRow(actions, TracesPage::DownloadedFiles);
    EXPECT_FALSE(page.lvIE.Checked(TracesPage::DownloadedFiles));

    Press(page, page.btnTempScan);
    const int pageRow = FileRow(files, L"page.htm", cache_);
    const int deepRow = FileRow(files, L"deep.js", cache_ + L"Content\\");
    const int indexRow = FileRow(files, L"INDEX.DAT", history_);
    ASSERT_GE(pageRow, 0) << "the hidden cache file is not listed";
    ASSERT_GE(deepRow, 0) << "the cache sub-folder was not entered";
    ASSERT_GE(indexRow, 0) << "INDEX.DAT in capitals is not listed";
    EXPECT_EQ(FileRow(files, L"desktop.ini", cache_), -1);
    EXPECT_EQ(FileRow(files, L"other.dat", history_), -1);
    EXPECT_EQ(ItemText(files, pageRow, 0), L"Cache files");
    EXPECT_EQ(ItemText(files, indexRow, 0), L"History files");
    EXPECT_LT(pageRow, indexRow);  // the cache is listed before the history
    EXPECT_TRUE(ItemChecked(files, pageRow));
    EXPECT_FALSE(TextOfWindow(Hwnd(page, page.lblDeleting)).empty());
    EXPECT_TRUE(IsWindowEnabled(Hwnd(page, page.btnTempScan)));

    // Keep the deep file and anything that is not the test's own.
    for (int i = 0; i < ListView_GetItemCount(files); ++i)
        if (i != pageRow && i != indexRow && ItemChecked(files, i)) ToggleRow(files, i);
    BoxAnswerer ok(IDOK);
    Press(page, page.btnCleanIE);
    ASSERT_TRUE(ok.Finish()) << "no message after the cleanup";
    EXPECT_EQ(ok.Title(), L"Information");
    EXPECT_EQ(ok.Text(), L"The cleaning up has been finished.");
    EXPECT_EQ(ListView_GetItemCount(files), 0);
    EXPECT_FALSE(std::filesystem::exists(cache_ + L"page.htm"));
    EXPECT_FALSE(std::filesystem::exists(history_ + L"INDEX.DAT"));
    EXPECT_TRUE(std::filesystem::exists(cache_ + L"Content\\deep.js"));
    EXPECT_TRUE(std::filesystem::exists(cache_ + L"desktop.ini"));
    EXPECT_TRUE(std::filesystem::exists(history_ + L"other.dat"));
}

constexpr wchar_t kToolbarId[] = L"{6B0E5A1C-4D2F-4C1E-9A7B-0C0A4E57AB01}";
constexpr wchar_t kExtensionId[] = L"{6B0E5A1C-4D2F-4C1E-9A7B-0C0A4E57AB02}";
constexpr wchar_t kToolbarKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kStatsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";

std::wstring ClassKey(const wchar_t* id) {
    return std::wstring(L"CLSID\\") + id;
}

class PluginsWindowTest : public KeepsBackupXml {
protected:
    void SetUp() override {
        Clean();
        SetString(HKEY_CLASSES_ROOT, ClassKey(kToolbarId).c_str(), L"", L"Korvane &Wine");
        SetString(HKEY_CLASSES_ROOT, (ClassKey(kToolbarId) + L"\\InprocServer32").c_str(), L"",
                  L"C:\\korvane\\wine-toolbar.dll");
        SetString(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarId, L"");
        SetString(HKEY_CLASSES_ROOT, ClassKey(kExtensionId).c_str(), L"", L"Korvane Wine Extension");
        SetString(HKEY_CLASSES_ROOT, (ClassKey(kExtensionId) + L"\\InprocServer32").c_str(), L"",
                  L"C:\\korvane\\WINE-BHO.DLL");
        SetString(HKEY_CURRENT_USER, (std::wstring(kStatsKey) + L"\\" + kExtensionId + L"\\iexplore").c_str(),
                  L"Type", L"korvane");
        KeepsBackupXml::SetUp();
    }
    void TearDown() override {
        KeepsBackupXml::TearDown();
        Clean();
    }
    static void Clean() {
        for (const wchar_t* id : {kToolbarId, kExtensionId})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(id).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kStatsKey) + L"\\" + kExtensionId).c_str());
        RemoveValue(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarId);
    }
};

TEST_F(PluginsWindowTest, ToolbarAndExtensionAreListedRemovedAndRestoredFromTheHistory) {
    PluginsPage& page = form->tabToolbar;
    ShowPage(page);  // every visit scans
    HWND list = Hwnd(page, page.lvBHO);
    int toolbar = FindRow(list, L"Korvane Wine Toolbar");
    int extension = FindRow(list, L"Korvane Wine Extension");
    ASSERT_GE(toolbar, 0) << "the seeded toolbar is not listed";
    ASSERT_GE(extension, 0) << "the seeded browser extension is not listed";
    EXPECT_EQ(ItemText(list, toolbar, 1), L"Toolbar ALL USER");
    EXPECT_EQ(ItemText(list, toolbar, 2), kToolbarId);
    EXPECT_EQ(ItemText(list, toolbar, 3), L"C:\\korvane\\wine-toolbar.dll");
    EXPECT_EQ(ItemText(list, extension, 1), L"Browser Extensions");
    EXPECT_EQ(ItemText(list, extension, 3), L"C:\\korvane\\WINE-BHO.DLL");
    EXPECT_FALSE(ItemChecked(list, toolbar));

    ToggleRow(list, toolbar);
    ToggleRow(list, extension);
    EXPECT_TRUE(page.lvBHO.Checked(toolbar));
    EXPECT_TRUE(page.lvBHO.Checked(extension));
    const int historyBefore = form->history.Document().DocumentElement().ChildCount();
    Press(page, page.Del_SpeedButton);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(kToolbarId).c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(kExtensionId).c_str()));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarId));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::wstring(kStatsKey) + L"\\" + kExtensionId).c_str()));
    EXPECT_EQ(FindRow(list, L"Korvane Wine Toolbar"), -1);  // the list was rebuilt
    EXPECT_EQ(FindRow(list, L"Korvane Wine Extension"), -1);
    EXPECT_EQ(form->history.Document().DocumentElement().ChildCount(), historyBefore + 2);

    HistoryPage& historyPage = form->tabHistory;
    ShowPage(historyPage);
    HWND history = Hwnd(historyPage, historyPage.lvHistory);
    const int toolbarEntry = FindRow(history, L"Korvane Wine Toolbar");
    const int extensionEntry = FindRow(history, L"Korvane Wine Extension");
    ASSERT_GE(toolbarEntry, 0);
    ASSERT_GE(extensionEntry, 0);
    EXPECT_EQ(ItemText(history, toolbarEntry, 1), L"Toolbar ALL USER");
    ToggleRow(history, toolbarEntry);
    ToggleRow(history, extensionEntry);
    Press(historyPage, historyPage.btnRestore);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ClassKey(kToolbarId).c_str(), L""), L"Korvane &Wine");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, (ClassKey(kExtensionId) + L"\\InprocServer32").c_str(), L""),
              L"C:\\korvane\\WINE-BHO.DLL");
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kToolbarKey, kToolbarId));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER,
                         (std::wstring(kStatsKey) + L"\\" + kExtensionId + L"\\iexplore").c_str(), L"Type"),
              L"korvane");

    ShowPage(page);
    EXPECT_GE(FindRow(list, L"Korvane Wine Toolbar"), 0);
    EXPECT_GE(FindRow(list, L"Korvane Wine Extension"), 0);
}

}  // namespace
}  // namespace korvane::win32::testing
