// Restore points under Wine with the real registry editor (C:\windows\regedit.exe), the real registry
// and file system, driven through the real window: a backup writes the five exports and their
// checksums, a value changed afterwards is back after restoring that point, a point whose export was
// edited after the backup is refused with the registry left alone, and deleting the point removes its
// folder and line.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "win32/platform/Text.h"
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kKey[] = L"Software\\KorvaneBackupWineTest";
const char* const kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                              "HKEY_CURRENT_CONFIG"};

// The file's text whichever encoding the editor chose: UTF-16 with its mark, or bytes as they are.
std::wstring ReadExport(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return text;
    }
    return std::wstring(bytes.begin(), bytes.end());
}

std::wstring ListBoxLine(HWND list, int index) {
    wchar_t text[512] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int FindLine(HWND list, const std::wstring& line) {
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ListBoxLine(list, i) == line) return i;
    return -1;
}

class BackupWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        SetString(HKEY_CURRENT_USER, kKey, L"Value", L"before backup");
        RealWindowTest::SetUp();
        if (!window || !window->Handle()) return;
        BackupPage& page = form->tabBackup;
        // Note every status text while the window still shows it.
        auto render = page.lbStatus.onChanged;
        page.lbStatus.onChanged = [this, render](Control& label) {
            statuses.push_back(label.Caption());
            if (render) render(label);
        };
    }
    void TearDown() override {
        std::string leftover = form ? form->tabBackup.CurrentBackupFolder : std::string();
        RealWindowTest::TearDown();
        RemoveKeyTree(HKEY_CURRENT_USER, kKey);
        if (!leftover.empty()) {
            for (const char* root : kRoots) DeleteFileW(Widen(leftover + "\\" + root + ".reg").c_str());
            DeleteFileW(Widen(leftover + "\\Korvane.sha256").c_str());
            RemoveDirectoryW(Widen(leftover).c_str());
        }
    }

    // Serves the window while a worker runs; returns the seconds it took.
    double WaitFor(const BMDThread& worker) {
        const auto start = std::chrono::steady_clock::now();
        const auto limit = start + std::chrono::minutes(10);
        while (worker.Active() && std::chrono::steady_clock::now() < limit) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        Pump();
        EXPECT_FALSE(worker.Active()) << "the worker did not finish in ten minutes";
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // Selects a line as a user does: a click on it.
    void ClickLine(HWND list, int index) {
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
        Pump();
    }

    std::vector<std::string> statuses;
};

TEST_F(BackupWindowTest, BackupRestoreAndDeleteWithTheRealRegistryEditor) {
    BackupPage& page = form->tabBackup;
    ShowPage(page);
    HWND list = Hwnd(page, page.ltbk);
    const int linesBefore = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));

    Press(page, page.btnBackup);
    ASSERT_TRUE(page.ThreadBackup.Active());
    const double backupSeconds = WaitFor(page.ThreadBackup);
    const std::string folder = page.CurrentBackupFolder;
    const std::string name = folder.substr(folder.find_last_of('\\') + 1);
    ASSERT_EQ(statuses.size(), 15u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(statuses[3 * i], "Backup will be started in 1 second");
        EXPECT_EQ(statuses[3 * i + 1], std::string("Backing up ") + kRoots[i] + "...");
        EXPECT_EQ(statuses[3 * i + 2], "Done !");
    }
    // Each root's export is the editor's own file, headed as such and naming that root.
    for (const char* root : kRoots) {
        const std::wstring text = ReadExport(Widen(folder + "\\" + root + ".reg"));
        EXPECT_EQ(text.rfind(L"Windows Registry Editor Version 5.00", 0), 0u) << root;
        EXPECT_NE(text.find(L"[" + Widen(root)), std::wstring::npos) << root;
    }
    EXPECT_NE(ReadExport(Widen(folder + "\\HKEY_CURRENT_USER.reg")).find(L"KorvaneBackupWineTest"),
              std::wstring::npos);
    // The list (as the window shows it) gained the new point at its end.
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), linesBefore + 1);
    EXPECT_EQ(ListBoxLine(list, linesBefore), Widen(name));

    SetString(HKEY_CURRENT_USER, kKey, L"Value", L"changed afterwards");
    statuses.clear();
    ClickLine(list, linesBefore);
    ASSERT_EQ(page.ltbk.ItemIndex(), linesBefore);
    Press(page, page.btnRestore1);
    ASSERT_TRUE(page.ThreadRestore.Active());
    const double restoreSeconds = WaitFor(page.ThreadRestore);
    ASSERT_EQ(statuses.size(), 11u);
    EXPECT_EQ(statuses[0], "Checking the restore point...");
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(statuses[2 * i + 1], std::string("Restoring ") + kRoots[i]);
        EXPECT_EQ(statuses[2 * i + 2], "Done !");
    }
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kKey, L"Value"), L"before backup");

    Press(page, page.btDel);
    EXPECT_EQ(GetFileAttributesW(Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FindLine(list, Widen(name)), -1);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), linesBefore);
    std::printf("[ timing   ] backup of the five roots %.1f s (5 s of it the waits), restore %.1f s\n",
                backupSeconds, restoreSeconds);
}

TEST_F(BackupWindowTest, AnExportEditedAfterTheBackupIsRefusedAndTheRegistryLeftAlone) {
    BackupPage& page = form->tabBackup;
    page.Sleep = [](std::chrono::milliseconds) {};  // the pauses are not what this test is about
    ShowPage(page);
    HWND list = Hwnd(page, page.ltbk);
    Press(page, page.btnBackup);
    WaitFor(page.ThreadBackup);
    const std::string folder = page.CurrentBackupFolder;
    const std::string name = folder.substr(folder.find_last_of('\\') + 1);
    ASSERT_EQ(GetFileAttributesW(Widen(folder + "\\Korvane.sha256").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // Someone makes the export set another value: same length, so only the contents differ.
    const std::wstring file = Widen(folder + "\\HKEY_CURRENT_USER.reg");
    std::string bytes;
    {
        std::ifstream in(file.c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::wstring before = L"before backup", tampered = L"set by intrud";
    const bool utf16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF;
    const std::string from =
        utf16 ? std::string(reinterpret_cast<const char*>(before.data()), before.size() * 2)
              : std::string(before.begin(), before.end());
    const std::string to =
        utf16 ? std::string(reinterpret_cast<const char*>(tampered.data()), tampered.size() * 2)
              : std::string(tampered.begin(), tampered.end());
    const size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << "the export does not hold the test's value";
    bytes.replace(at, from.size(), to);
    std::ofstream(file.c_str(), std::ios::binary | std::ios::trunc) << bytes;
    SetString(HKEY_CURRENT_USER, kKey, L"Value", L"changed afterwards");

    statuses.clear();
    const int line = FindLine(list, Widen(name));
    ASSERT_GE(line, 0);
    ClickLine(list, line);
    BoxAnswerer ok(IDOK);
    Press(page, page.btnRestore1);
    WaitFor(page.ThreadRestore);
    ASSERT_TRUE(ok.Finish()) << "the refusal was not shown";
    EXPECT_EQ(ok.Text(), Widen("The restore point " + name +
                               " was not restored: HKEY_CURRENT_USER.reg has changed since the backup."));
    EXPECT_EQ(statuses, (std::vector<std::string>{"Checking the restore point...", "Nothing was restored."}));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kKey, L"Value"), L"changed afterwards");

    Press(page, page.btDel);
    EXPECT_EQ(GetFileAttributesW(Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace korvane::win32::testing
