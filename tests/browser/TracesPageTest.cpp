// The IE Traces Cleaning page against the in-memory platform: each lister's rules, the order of the
// listing, a second scan, the label and the pump, and what "&Cleanup" deletes, keeps and writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/IE.h"
#include "browser/TracesPage.h"
#include "registry/RegistryAccess.h"
#include "support/AppFixture.h"

namespace korvane {
namespace {

constexpr HKey HKCU = roots::CurrentUser;
const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kAutoComplete = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";

class TracesPageTest : public testing::AppFixture {
protected:
    TracesPageTest() {
        const std::string profile = "C:\\Documents and Settings\\Ann\\";
        SetFolder("Cache", profile + "Local Settings\\Temporary Internet Files");
        SetFolder("Cookies", profile + "Cookies");
        SetFolder("Favorites", profile + "Favorites");
        SetFolder("History", profile + "Local Settings\\History");
    }
    void SetFolder(const std::string& value, const std::string& folder) {
        memory.registry().SetString(HKCU, kShellFolders, value, folder);
        memory.files().AddFolder(folder);
    }
    // Only the given rows of lvIE checked.
    void ChooseRows(std::initializer_list<int> rows) {
        for (int i = 0; i < page.lvIE.Count(); ++i) page.lvIE.SetChecked(i, false);
        for (int row : rows) page.lvIE.SetChecked(row, true);
    }
    // "Section|File Name|Full Path" per row.
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const ListItem& row : page.lvDeletedFiles.Items())
            out.push_back(row.caption + "|" + row.subItems.at(0) + "|" + row.subItems.at(1));
        return out;
    }
    int RowOf(const std::string& name) const {
        for (int i = 0; i < page.lvDeletedFiles.Count(); ++i)
            if (page.lvDeletedFiles.SubItem(i, 0) == name) return i;
        return -1;
    }

    const std::string cache = "C:\\Documents and Settings\\Ann\\Local Settings\\Temporary Internet Files\\";
    const std::string cookies = "C:\\Documents and Settings\\Ann\\Cookies\\";
    const std::string favorites = "C:\\Documents and Settings\\Ann\\Favorites\\";
    const std::string history = "C:\\Documents and Settings\\Ann\\Local Settings\\History\\";
    TracesPage page{state};
};

TEST_F(TracesPageTest, CacheListsEveryFileButDesktopIniAtAnyDepthDepthFirst) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(cache + "a.htm");
    files.AddFile(cache + "Desktop.INI", "", fileattr::Hidden | fileattr::System);
    files.AddFile(cache + "Content.IE5\\X1\\page.gif", "", fileattr::Hidden);
    files.AddFile(cache + "Content.IE5\\X1\\desktop.ini");
    files.AddFile(cache + "Content.IE5\\Y.dat");
    files.AddFile(cache + "z.js");
    ChooseRows({TracesPage::Cache});
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "Cache files|a.htm|" + cache, "Cache files|page.gif|" + cache + "Content.IE5\\X1\\",
                          "Cache files|Y.dat|" + cache + "Content.IE5\\", "Cache files|z.js|" + cache}));
    for (const ListItem& row : page.lvDeletedFiles.Items()) EXPECT_TRUE(row.checked);
    EXPECT_EQ(page.lblDeleting.Caption(), cache + "z.js");  // the file most recently listed
}

TEST_F(TracesPageTest, CookiesEnterOnlyFoldersNamedLikeTextFiles) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(cookies + "ann@site[1].txt");
    files.AddFile(cookies + "index.dat");
    files.AddFile(cookies + "Low\\ann@low[1].txt");       // folder name does not match: left alone
    files.AddFile(cookies + "old.txt\\ann@kept[2].txt");  // folder named *.txt: entered
    files.AddFile(cookies + "old.txt\\notes.log");
    ChooseRows({TracesPage::Cookies});
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Cookie files|ann@site[1].txt|" + cookies,
                                                "Cookie files|ann@kept[2].txt|" + cookies + "old.txt\\"}));
}

TEST_F(TracesPageTest, TempListsOnlyFilesDirectlyInTheFolder) {
    MemoryFileSystem& files = memory.files();
    files.AddFile("C:\\Temp\\setup.log", "", fileattr::Hidden);
    files.AddFile("C:\\Temp\\Sub\\deep.tmp");
    files.AddFolder("C:\\Temp\\Empty");
    ChooseRows({TracesPage::DownloadedFiles});
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Temporary files|setup.log|C:\\Temp\\"}));

    // Mended fault: the folder is taken at its full length, however long, never cut to another folder.
    const std::string longTemp = "C:\\Users\\" + std::string(90, 'u') + "\\AppData\\Local\\Temp\\";
    files.AddFile(longTemp + "long.tmp");
    files.AddFile("C:\\Users\\" + std::string(90, 'u').substr(0, 60) + "\\wrong.tmp");
    memory.system().tempFolder = longTemp;
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Temporary files|long.tmp|" + longTemp}));

    memory.system().tempFolder = "C:\\Temp";  // without its backslash: still that folder
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Temporary files|setup.log|C:\\Temp\\"}));
}

TEST_F(TracesPageTest, FavoritesNeedTheLowerCaseExtensionHistoryTakesIndexDatInAnyCase) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(favorites + "News.url");
    files.AddFile(favorites + "Shouting.URL");
    files.AddFile(favorites + "Links\\Blog.url");
    files.AddFile(favorites + "notes.url.txt");
    files.AddFile(history + "History.IE5\\INDEX.DAT");
    files.AddFile(history + "History.IE5\\MSHist01\\index.dat");
    files.AddFile(history + "History.IE5\\other.dat");
    ChooseRows({TracesPage::Favorites, TracesPage::History});
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "Favorite files|Blog.url|" + favorites + "Links\\",
                          "Favorite files|News.url|" + favorites,
                          "History files|INDEX.DAT|" + history + "History.IE5\\",
                          "History files|index.dat|" + history + "History.IE5\\MSHist01\\",
                      }));
}

TEST_F(TracesPageTest, InitialRowsListCacheThenTempThenHistoryAndASecondScanListsOnce) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(history + "index.dat");
    files.AddFile("C:\\Temp\\t.tmp");
    files.AddFile(cache + "c.htm");
    files.AddFile(cookies + "k.txt");    // row not checked at start
    files.AddFile(favorites + "f.url");  // row not checked at start
    const std::vector<std::string> expected{"Cache files|c.htm|" + cache, "Temporary files|t.tmp|C:\\Temp\\",
                                            "History files|index.dat|" + history};
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), expected);
    page.btnTempScan.Click();
    EXPECT_EQ(Rows(), expected);
}

TEST_F(TracesPageTest, MissingOrEmptyShellFoldersListNothingAndNeverTheDriveRoot) {
    memory.files().AddFile("C:\\root.txt");
    memory.files().AddFile("C:\\index.dat");
    memory.registry().DeleteTreeRaw(HKCU, kShellFolders);
    memory.registry().SetString(HKCU, kShellFolders, "History", "");  // empty; "Cache" missing
    ChooseRows({TracesPage::Cache, TracesPage::History});
    page.btnTempScan.Click();
    EXPECT_EQ(page.lvDeletedFiles.Count(), 0);
    EXPECT_EQ(ShellFolderPath(memory.registry(), "Cache"), "");
    EXPECT_EQ(ShellFolderPath(memory.registry(), "History"), "");

    memory.registry().DeleteTreeRaw(HKCU, kShellFolders);  // no key at all
    page.btnTempScan.Click();
    EXPECT_EQ(page.lvDeletedFiles.Count(), 0);

    memory.registry().SetString(HKCU, kShellFolders, "Cache", "D:\\Missing");  // a folder that is not there
    page.btnTempScan.Click();
    EXPECT_EQ(page.lvDeletedFiles.Count(), 0);
    EXPECT_EQ(ShellFolderPath(memory.registry(), "Cache"), "D:\\Missing\\");
    memory.registry().SetString(HKCU, kShellFolders, "Cache", "D:\\Ends\\");  // no doubled backslash
    EXPECT_EQ(ShellFolderPath(memory.registry(), "Cache"), "D:\\Ends\\");
}

// A window's thread that notes what the page looks like at every pump.
class WatchingUi : public UiThread {
public:
    std::function<void()> onPump;
    void invoke(const std::function<void()>& fn) override { fn(); }
    void post(std::function<void()> fn) override { fn(); }
    void pump() override {
        if (onPump) onPump();
    }
    bool isUiThread() const override { return true; }
};

TEST_F(TracesPageTest, PumpsAfterEveryDirectoryEntryWhileScanAndCleanupAreBlocked) {
    WatchingUi ui;
    Platform watched{memory.registry(), memory.files(), memory.system(), memory.processes(), ui,
                     memory.dialogs()};
    AppState watchedState{watched};
    TracesPage watchedPage{watchedState};
    for (int i = 0; i < 3; ++i) memory.files().AddFile(cache + "f" + std::to_string(i) + ".htm");
    memory.files().AddFile(cache + "sub\\g.htm");
    for (int i = 0; i < watchedPage.lvIE.Count(); ++i) watchedPage.lvIE.SetChecked(i, i == TracesPage::Cache);

    std::vector<int> rowsSeen;
    bool anyEnabled = false;
    ui.onPump = [&] {
        rowsSeen.push_back(watchedPage.lvDeletedFiles.Count());
        anyEnabled = anyEnabled || watchedPage.btnTempScan.Enabled() || watchedPage.btnCleanIE.Enabled();
        watchedPage.btnCleanIE.Click();   // a press inside the listing is not carried out
        watchedPage.btnTempScan.Click();  // nor a second listing
    };
    watchedPage.btnTempScan.Click();
    // One pump per entry: ".", "..", f0, f1, f2, sub, then sub's ".", "..", g.
    EXPECT_EQ(rowsSeen, (std::vector<int>{0, 0, 1, 2, 3, 3, 3, 3, 4}));
    EXPECT_FALSE(anyEnabled);
    EXPECT_TRUE(watchedPage.btnTempScan.Enabled());
    EXPECT_TRUE(watchedPage.btnCleanIE.Enabled());
    EXPECT_EQ(watchedPage.lvDeletedFiles.Count(), 4);
    EXPECT_TRUE(memory.files().ExistsRaw(cache + "f0.htm"));
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Information), 0u);
}

TEST_F(TracesPageTest, CleanupDeletesCheckedFilesKeepsUncheckedOnesAndEmptiesTheList) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(cache + "a.htm");
    files.AddFile(cache + "b.htm");
    files.AddFile(cache + "locked.htm");
    files.AddFile("C:\\Temp\\readonly.tmp", "", fileattr::ReadOnly);
    files.FailDelete(cache + "locked.htm");
    ChooseRows({TracesPage::Cache, TracesPage::DownloadedFiles});
    page.btnTempScan.Click();
    ASSERT_EQ(page.lvDeletedFiles.Count(), 4);
    page.lvDeletedFiles.UserToggleCheck(RowOf("b.htm"));
    files.AddFile(cache + "late.htm");  // arrived after the scan: not listed, not deleted
    page.btnCleanIE.Click();

    EXPECT_FALSE(files.ExistsRaw(cache + "a.htm"));
    EXPECT_TRUE(files.ExistsRaw(cache + "b.htm"));
    EXPECT_TRUE(files.ExistsRaw(cache + "locked.htm"));  // failures are skipped without a word
    EXPECT_TRUE(files.ExistsRaw("C:\\Temp\\readonly.tmp"));
    EXPECT_TRUE(files.ExistsRaw(cache + "late.htm"));
    EXPECT_EQ(page.lvDeletedFiles.Count(), 0);
    const auto records = memory.dialogs().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::Information);
    EXPECT_EQ(records[0].text, "The cleaning up has been finished.");
    // Rows 0 and 1 were not checked: the registry is untouched.
    EXPECT_FALSE(memory.registry().KeyExistsRaw(HKCU, kAutoComplete));
}

TEST_F(TracesPageTest, CleanupDeletesTheFileEachRowCarriesWhateverItShows) {
    MemoryFileSystem& files = memory.files();
    files.AddFile(cache + "a.htm");
    files.AddFile(cache + "b.htm");
    ChooseRows({TracesPage::Cache});
    page.btnTempScan.Click();
    ASSERT_EQ(page.lvDeletedFiles.Count(), 2);
    const int b = RowOf("b.htm");
    page.lvDeletedFiles.UserToggleCheck(b);
    // The row of a.htm, showing b.htm's name: the shown texts are not what is deleted.
    page.lvDeletedFiles.SetSubItem(1 - b, 0, "b.htm");
    page.btnCleanIE.Click();
    EXPECT_FALSE(files.ExistsRaw(cache + "a.htm"));
    EXPECT_TRUE(files.ExistsRaw(cache + "b.htm"));
}

TEST_F(TracesPageTest, CheckAndUncheckAllTouchOnlyTheFileList) {
    memory.files().AddFile(cache + "a.htm");
    memory.files().AddFile(cache + "b.htm");
    ChooseRows({TracesPage::Cache});
    page.btnTempScan.Click();
    page.btnUncheckIE.Click();
    EXPECT_FALSE(page.lvDeletedFiles.Checked(0));
    EXPECT_FALSE(page.lvDeletedFiles.Checked(1));
    EXPECT_TRUE(page.lvIE.Checked(TracesPage::Cache));
    page.btnCleanIE.Click();  // nothing checked: nothing deleted
    EXPECT_TRUE(memory.files().ExistsRaw(cache + "a.htm"));

    page.btnTempScan.Click();
    page.btnUncheckIE.Click();
    page.btnCheckIE.Click();
    EXPECT_TRUE(page.lvDeletedFiles.Checked(0));
    EXPECT_TRUE(page.lvDeletedFiles.Checked(1));
    EXPECT_FALSE(page.lvIE.Checked(TracesPage::TypedUrls));
}

TEST_F(TracesPageTest, CleanupClearsTypedUrlsKeepingTheKeyAndSetsAppendCompletion) {
    MemoryRegistry& registry = memory.registry();
    registry.SetString(HKCU, kTypedUrls, "url1", "http://a.example/");
    registry.SetString(HKCU, kTypedUrls, "url2", "http://b.example/");
    registry.SetString(HKCU, kTypedUrls + "\\Sub", "keep", "x");
    registry.SetString(HKCU, kAutoComplete, "Append Completion", "no");
    ChooseRows({TracesPage::TypedUrls, TracesPage::AutoComplete});
    page.btnCleanIE.Click();

    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kTypedUrls));
    EXPECT_TRUE(registry.ValueNamesRaw(HKCU, kTypedUrls).empty());
    EXPECT_TRUE(registry.ValueExistsRaw(HKCU, kTypedUrls + "\\Sub", "keep"));
    EXPECT_EQ(registry.GetString(HKCU, kAutoComplete, "Append Completion"), "Yes");
    EXPECT_EQ(registry.GetValue(HKCU, kAutoComplete, "Append Completion")->type, regtype::Sz);
    EXPECT_EQ(memory.dialogs().Texts(), (std::vector<std::string>{"The cleaning up has been finished."}));

    // Without the keys: TypedURLs is not created, AutoComplete is.
    registry.DeleteTreeRaw(HKCU, kTypedUrls);
    registry.DeleteTreeRaw(HKCU, kAutoComplete);
    page.btnCleanIE.Click();
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kTypedUrls));
    EXPECT_EQ(registry.GetString(HKCU, kAutoComplete, "Append Completion"), "Yes");
    SetAppendCompletion(registry, false);
    EXPECT_EQ(registry.GetString(HKCU, kAutoComplete, "Append Completion"), "No");
}

TEST_F(TracesPageTest, WronglyTypedShellFolderStopsTheScanWithTheRegistryMessage) {
    memory.registry().SetDword(HKCU, kShellFolders, "Cache", 7);
    ChooseRows({TracesPage::Cache});
    try {
        page.btnTempScan.Click();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Cache'");
    }
    EXPECT_TRUE(page.btnTempScan.Enabled());  // the page is usable again
    EXPECT_TRUE(page.btnCleanIE.Enabled());
}

}  // namespace
}  // namespace korvane
