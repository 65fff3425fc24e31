// The Uninstall Manager page under Wine through the real window and the real registry: a stale entry
// is ticked, "&Delete entries" asks, No keeps it, Yes deletes its key and the list shows the rest, and
// the key is in Restore History and "&Restore" brings it back; an
// unquoted uninstall path under a folder with blanks starts that program, not one planted at a
// shorter cut, and an entry whose program is gone says so and starts nothing; a per-user entry and an
// entry of the 32-bit view are listed with their publisher and version.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "win32/platform/Text.h"
#include "win32/support/ProgramFolder.h"
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

constexpr wchar_t kSpaces[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineSpaces";
constexpr wchar_t kGone[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineGone";
constexpr wchar_t kSpacesName[] = L"Korvane Wine Program With Spaces";
constexpr wchar_t kGoneName[] = L"Korvane Wine Program Gone";

std::filesystem::path TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

// The stand-in uninstaller (built beside the tests) copied to `to`.
void PlaceUninstaller(const std::filesystem::path& to) {
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy_file(ProgramFolder() / L"korvane_test_uninstaller.exe", to,
                               std::filesystem::copy_options::overwrite_existing);
}

// What the uninstaller at `program` noted of its command line, once it has run; nothing after about
// twenty seconds.
std::optional<std::wstring> NotedCommandLine(const std::filesystem::path& program) {
    std::filesystem::path marker = program;
    marker += L".ran";
    for (int i = 0; i < 1000; ++i) {
        std::ifstream in(marker, std::ios::binary);
        if (in) {
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        }
        Sleep(20);
    }
    return std::nullopt;
}

class UninstallStartWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        Clean();
        PlaceUninstaller(uninstaller_);
        PlaceUninstaller(planted_);  // what CreateProcess would run for the unquoted line
        SetString(HKEY_LOCAL_MACHINE, kSpaces, L"DisplayName", kSpacesName);
        SetString(HKEY_LOCAL_MACHINE, kSpaces, L"UninstallString", uninstaller_.wstring() + L" /S /log=x");
        SetString(HKEY_LOCAL_MACHINE, kGone, L"DisplayName", kGoneName);
        SetString(HKEY_LOCAL_MACHINE, kGone, L"UninstallString", gone_.wstring() + L" /S");
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        Clean();
    }
    void Clean() {
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kSpaces);
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kGone);
        std::error_code ignored;
        // A child still closing may hold its file a moment longer.
        for (int i = 0; i < 50 && std::filesystem::exists(folder_, ignored); ++i) {
            std::filesystem::remove_all(folder_, ignored);
            if (std::filesystem::exists(folder_, ignored)) Sleep(20);
        }
        for (const wchar_t* suffix : {L"", L".ran"}) {
            std::filesystem::path file = planted_;
            file += suffix;
            std::filesystem::remove(file, ignored);
        }
    }

    const std::filesystem::path folder_ = TempFolder() / L"Korvane Uninstall Test";
    const std::filesystem::path uninstaller_ = folder_ / L"uninst.exe";
    const std::filesystem::path planted_ = TempFolder() / L"Korvane.exe";
    const std::filesystem::path gone_ = TempFolder() / L"Korvane Uninstall Test Gone" / L"uninst.exe";
};

TEST_F(UninstallStartWindowTest, AnUnquotedPathWithBlanksStartsThatProgramAndAMissingOneSaysSo) {
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND list = Hwnd(page, page.lvAddRemove);
    const int spaces = FindRow(list, kSpacesName);
    const int gone = FindRow(list, kGoneName);
    ASSERT_GE(spaces, 0);
    ASSERT_GE(gone, 0);
    ToggleRow(list, spaces);
    ToggleRow(list, gone);
    ASSERT_TRUE(ItemChecked(list, spaces) && ItemChecked(list, gone));

    BoxAnswerer ok(IDOK);
    Press(page, page.btnUninstall);
    ASSERT_TRUE(ok.Finish()) << "the missing uninstaller was not reported";
    EXPECT_EQ(ok.Title(), L"Uninstall");
    EXPECT_NE(ok.Text().find(kGoneName), std::wstring::npos) << Narrow(ok.Text());
    EXPECT_NE(ok.Text().find(gone_.wstring()), std::wstring::npos) << Narrow(ok.Text());

    const auto noted = NotedCommandLine(uninstaller_);
    ASSERT_TRUE(noted.has_value()) << "the uninstaller under the folder with blanks did not run";
    EXPECT_EQ(*noted, L"\"" + uninstaller_.wstring() + L"\" /S /log=x");
    std::filesystem::path plantedMarker = planted_;
    plantedMarker += L".ran";
    EXPECT_FALSE(std::filesystem::exists(plantedMarker));
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
