// The uninstall with its leftover scan under Wine, in the real window, the real registry and file
// system: the test uninstaller is installed with traces of every kind pointing into its own folder;
// "&Uninstall" runs it, it hands over to a copy of itself in the temporary folder and quits, and the
// page waits for the copy to end; the leftovers are listed with their evidence, "Re&move" takes the
// checked ones (nothing else in the registry changes) and Restore History brings them back byte for
// byte.
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>
#include <vector>

#include "uninstall/ShellLinkBytes.h"
#include "win32/platform/Text.h"
#include "win32/support/ProgramFolder.h"
#include "win32/support/RealWindowFixture.h"
#include "win32/support/WineTrash.h"

namespace korvane::win32::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = L"C:\\Program Files\\Korvane Leftover Test";
constexpr wchar_t kName[] = L"Korvane Wine Leftover Program";
constexpr wchar_t kPublisher[] = L"Korvane Wine Publisher";
constexpr wchar_t kEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineLeftover";
constexpr wchar_t kAppPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvaneleftover.exe";
constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr wchar_t kApproved[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kSharedDlls[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr wchar_t kClsid[] = L"Software\\Classes\\CLSID\\{4B0A1E2C-5D6F-4A7B-8C9D-0E1F2A3B4C5D}";
constexpr wchar_t kProgId[] = L"Software\\Classes\\KorvaneWineLeftover.Doc";
constexpr wchar_t kSettings[] = L"Software\\Korvane Wine Publisher\\Korvane Wine Leftover Program";
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kValue[] = L"KorvaneWineLeftover";

// Every value below HKLM\Software and HKCU\Software, by root, key and name, with its type and bytes.
using Dump = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

void DumpKey(Dump& dump, HKEY root, const std::wstring& rootName, const std::wstring& path) {
    UniqueHkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) return;
    dump[rootName + L"\\" + path + L"|(key)"] = {};
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size);
        nameLength = 16384;
        RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data.data(), &size);
        data.resize(size);
        dump[rootName + L"\\" + path + L"|" + name] = {type, data};
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name, length);
    }
    for (const std::wstring& subkey : subkeys) DumpKey(dump, root, rootName, path + L"\\" + subkey);
}

Dump DumpSoftware() {
    Dump dump;
    DumpKey(dump, HKEY_LOCAL_MACHINE, L"HKLM", L"Software");
    DumpKey(dump, HKEY_CURRENT_USER, L"HKCU", L"Software");
    return dump;
}

// Answers every box the window shows until stopped: Yes to a question, OK to a message.
class BoxesAnswerer {
public:
    BoxesAnswerer()
        : thread_([this] {
              while (!stop_.load()) {
                  if (HWND box = FindBoxOfThisProcess()) {
                      const std::wstring title = TextOfWindow(box);
                      wchar_t text[2048] = {};
                      ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
                      texts_.push_back(title + L": " + text);
                      ::PostMessageW(box, WM_COMMAND,
                                     MAKEWPARAM(title == L"Confirm" ? IDYES : IDOK, BN_CLICKED), 0);
                      ::Sleep(300);
                  }
                  ::Sleep(20);
              }
          }) {}
    ~BoxesAnswerer() { Finish(); }
    std::vector<std::wstring> Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return texts_;
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

fs::path TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

void SetDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SetBinary(HKEY root, const wchar_t* path, const wchar_t* name, const std::vector<BYTE>& bytes) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

class LeftoverWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        Clean();
        fs::create_directories(kFolder);
        const fs::path uninstaller = ProgramFolder() / L"korvane_test_uninstaller.exe";
        for (const wchar_t* file : {L"uninst.exe", L"app.exe", L"shell.dll"})
            fs::copy_file(uninstaller, kFolder / file, fs::copy_options::overwrite_existing);
        WriteFile(kFolder / L"user.txt", "the user's own");
        const std::wstring folder = kFolder.wstring();
        SetString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayName", kName);
        SetString(HKEY_LOCAL_MACHINE, kEntry, L"Publisher", kPublisher);
        SetString(HKEY_LOCAL_MACHINE, kEntry, L"InstallLocation", folder);
        SetString(HKEY_LOCAL_MACHINE, kEntry, L"UninstallString",
                  L"\"" + folder + L"\\uninst.exe\" /handover");
        SetString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayIcon", folder + L"\\app.exe,0");
        SetString(HKEY_LOCAL_MACHINE, kAppPath, L"", folder + L"\\app.exe");
        SetString(HKEY_CURRENT_USER, kRun, kValue, L"\"" + folder + L"\\app.exe\" /tray");
        SetBinary(HKEY_CURRENT_USER, kApproved, kValue, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        SetString(HKEY_LOCAL_MACHINE, kRunOnce, kValue, folder + L"\\app.exe /once");
        SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, (folder + L"\\shell.dll").c_str(), 1);
        SetString(HKEY_CURRENT_USER, (std::wstring(kClsid) + L"\\InprocServer32").c_str(), L"",
                  folder + L"\\shell.dll");
        SetString(HKEY_CURRENT_USER, (std::wstring(kProgId) + L"\\shell\\open\\command").c_str(), L"",
                  L"\"" + folder + L"\\app.exe\" \"%1\"");
        SetString(HKEY_CURRENT_USER, kSettings, L"Theme", L"dark");
        desktop_ = ReadString(HKEY_CURRENT_USER, kShellFolders, L"Desktop");
        if (!desktop_.empty()) {
            shortcut_ = fs::path(desktop_) / L"Korvane Wine Leftover.lnk";
            WriteFile(shortcut_, korvane::testing::ShellLinkBytes(Narrow(folder + L"\\app.exe")));
        }
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        Clean();
    }
    static void WriteFile(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    void Clean() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            for (const wchar_t* key : {kEntry, kAppPath, kClsid, kProgId, kSettings})
                RemoveKeyTree(root, key);
            RemoveKeyTree(root, L"Software\\Korvane Wine Publisher");
            for (const wchar_t* list : {kRun, kRunOnce, kApproved}) RemoveValue(root, list, kValue);
        }
        RemoveValue(HKEY_LOCAL_MACHINE, kSharedDlls, (kFolder.wstring() + L"\\shell.dll").c_str());
        std::error_code ignored;
        // The copy in the temporary folder may still be closing.
        for (int i = 0; i < 100; ++i) {
            fs::remove_all(kFolder, ignored);
            fs::remove(TempFolder() / L"KorvaneUninstallCopy.exe", ignored);
            if (!fs::exists(kFolder, ignored) &&
                !fs::exists(TempFolder() / L"KorvaneUninstallCopy.exe", ignored))
                break;
            Sleep(50);
        }
        fs::remove(TempFolder() / L"KorvaneUninstallCopy.exe.ran", ignored);
        if (!shortcut_.empty()) fs::remove(shortcut_, ignored);
        RemoveFromWineTrash(L"Korvane Leftover Test");
        RemoveFromWineTrash(L"Korvane Wine Leftover.lnk");
    }
    void WaitForTheRun(UninstallPage& page) {
        for (int i = 0; i < 3000 && page.leftovers.Running(); ++i) {
            Pump();
            Sleep(20);
        }
        Pump();
    }

    BackupXmlKeeper keeper_;
    std::wstring desktop_;
    fs::path shortcut_;
};

TEST_F(LeftoverWindowTest, TheUninstallIsWaitedForItsLeftoversRemovedAndRestoredByteForByte) {
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND programs = Hwnd(page, page.lvAddRemove);
    const int row = FindRow(programs, kName);
    ASSERT_GE(row, 0) << "the test program is not listed";
    ToggleRow(programs, row);
    Press(page, page.btnUninstall);
    WaitForTheRun(page);
    ASSERT_FALSE(page.leftovers.Running()) << "the uninstall did not end";

    // The page waited for the copy, which only then removed the program's files.
    EXPECT_TRUE(fs::exists(TempFolder() / L"KorvaneUninstallCopy.exe.ran"));
    EXPECT_FALSE(fs::exists(kFolder / L"app.exe"));
    HWND list = Hwnd(page, page.leftovers.lvLeftovers);
    std::map<std::wstring, std::pair<std::wstring, bool>> rows;  // where -> kind, checked
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
        rows[ItemText(list, i, 1)] = {ItemText(list, i, 0), ItemChecked(list, i)};
    const std::wstring folder = kFolder.wstring();
    const std::map<std::wstring, std::pair<std::wstring, bool>> expected = [&] {
        std::map<std::wstring, std::pair<std::wstring, bool>> e{
            {std::wstring(L"HKEY_LOCAL_MACHINE\\") + kEntry, {L"Uninstall entry", true}},
            {std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppPath, {L"App Paths entry", true}},
            {std::wstring(L"HKEY_LOCAL_MACHINE\\") + kRunOnce + L"\\" + kValue, {L"Run entry", true}},
            {std::wstring(L"HKEY_CURRENT_USER\\") + kRun + L"\\" + kValue, {L"Run entry", true}},
            {std::wstring(L"HKEY_CURRENT_USER\\") + kApproved + L"\\" + kValue, {L"Startup state", true}},
            {std::wstring(L"HKEY_LOCAL_MACHINE\\") + kSharedDlls + L"\\" + folder + L"\\shell.dll",
             {L"Shared DLL count", true}},
            {std::wstring(L"HKEY_CURRENT_USER\\") + kClsid, {L"Class registration", true}},
            {std::wstring(L"HKEY_CURRENT_USER\\") + kProgId, {L"File type", true}},
            {std::wstring(L"HKEY_CURRENT_USER\\") + kSettings, {L"Settings key", false}},
            {folder, {L"Install folder", true}},
        };
        if (!shortcut_.empty()) e[shortcut_.wstring()] = {L"Shortcut", true};
        return e;
    }();
    EXPECT_EQ(rows, expected);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        if (ItemText(list, i, 1) == std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppPath) {
            EXPECT_EQ(ItemText(list, i, 2), L"points to " + folder + L"\\app.exe \x2014 file removed");
        }
    }

    const Dump before = DumpSoftware();
    BoxesAnswerer answers;
    Press(page, page.leftovers.btnRemove);
    const std::vector<std::wstring> boxes = answers.Finish();
    ASSERT_FALSE(boxes.empty()) << "no confirmation was asked";
    EXPECT_EQ(boxes.size(), 1u) << Narrow(boxes.back());
    EXPECT_FALSE(fs::exists(kFolder)) << "the install folder is not in the Recycle Bin";
    if (!shortcut_.empty()) {
        EXPECT_FALSE(fs::exists(shortcut_));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPath));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClsid));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings));  // a match by name is left to the user

    // Nothing but the traces changed.
    const Dump removed = DumpSoftware();
    for (const auto& [name, value] : removed) {
        const auto it = before.find(name);
        ASSERT_NE(it, before.end()) << "new: " << Narrow(name);
        EXPECT_EQ(it->second, value) << "changed: " << Narrow(name);
    }
    int gone = 0;
    for (const auto& [name, value] : before) {
        if (removed.count(name)) continue;
        ++gone;
        const bool trace = name.find(L"KorvaneWineLeftover") != std::wstring::npos ||
                           name.find(L"korvaneleftover.exe") != std::wstring::npos ||
                           name.find(L"{4B0A1E2C-5D6F-4A7B-8C9D-0E1F2A3B4C5D}") != std::wstring::npos ||
                           name.find(L"Korvane Leftover Test\\shell.dll") != std::wstring::npos;
        EXPECT_TRUE(trace) << "removed: " << Narrow(name);
    }
    EXPECT_GT(gone, 0);

    HistoryPage& history = form->tabHistory;
    ShowPage(history);
    HWND entries = Hwnd(history, history.lvHistory);
    int restored = 0;
    for (int i = 0; i < ListView_GetItemCount(entries); ++i) {
        if (ItemText(entries, i, 0).find(std::wstring(L" of ") + kName) == std::wstring::npos) continue;
        ToggleRow(entries, i);
        ++restored;
    }
    EXPECT_EQ(restored, 8);
    Press(history, history.btnRestore);
    const Dump back = DumpSoftware();
    EXPECT_EQ(back.size(), before.size());
    for (const auto& [name, value] : before) {
        const auto it = back.find(name);
        ASSERT_NE(it, back.end()) << "not restored: " << Narrow(name);
        EXPECT_EQ(it->second, value) << "restored differently: " << Narrow(name);
    }
}

}  // namespace
}  // namespace korvane::win32::testing
