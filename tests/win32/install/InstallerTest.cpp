// The setup program under Wine, as an administrator meets it: it installs silently into the 64-bit
// Program Files, the installed Korvane.exe starts and shows its window, the Uninstall key holds what
// Programs and Features and Korvane's own Uninstall Manager read, and the quiet uninstall removes the
// program but none of the data it wrote. The tests change the machine and depend on each other in
// order, so they are disabled in the ordinary run: tools/test runs them (tools/lib/installer-test.sh)
// with the setup program's path in KORVANE_SETUP.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "win32/Version.h"
#include "win32/platform/SystemLibrary.h"
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Korvane";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kAutorunValue[] = L"ZazOru";
constexpr auto kProcessTimeout = std::chrono::seconds(60);

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

fs::path InstallFolder() {
    return KnownFolder(FOLDERID_ProgramFiles) / L"Korvane";
}
fs::path StartMenuShortcut() {
    return KnownFolder(FOLDERID_CommonPrograms) / L"Korvane.lnk";
}
fs::path UserDataFolder() {
    return KnownFolder(FOLDERID_LocalAppData) / L"Korvane";
}

// A value of the 64-bit view of HKEY_LOCAL_MACHINE, where a 64-bit program's entry belongs.
UniqueHkey OpenMachineKey(const wchar_t* path) {
    UniqueHkey key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, key.put());
    return key;
}

std::wstring MachineString(const wchar_t* path, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    UniqueHkey key = OpenMachineKey(path);
    if (!key ||
        RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

bool MachineKeyExists(const wchar_t* path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Runs a command line and waits for it; its exit code, or -1 when it could not start or timed out.
int RunAndWait(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    UniqueHandle thread(process.hThread);
    UniqueHandle handle(process.hProcess);
    const auto wait = static_cast<DWORD>(std::chrono::milliseconds(kProcessTimeout).count());
    if (WaitForSingleObject(handle.get(), wait) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(handle.get(), &code);
    return static_cast<int>(code);
}

// Polls `done` every 100 ms for up to a minute.
template <class Condition>
bool WaitFor(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + kProcessTimeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK TakeMainWindowOf(HWND window, LPARAM out) {
    auto* search = reinterpret_cast<WindowSearch*>(out);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process != search->process || !IsWindowVisible(window) ||
        std::wstring(className) != MainWindow::kClassName || TextOfWindow(window) != L"Korvane")
        return TRUE;
    search->found = window;
    return FALSE;
}

std::wstring VersionString(const fs::path& file, const wchar_t* name) {
    // version.dll is not one of the DLLs Windows always takes from the system folder: loaded from
    // there at run time, as the program does with such DLLs, so the test executable imports none.
    const SystemLibrary versionDll(L"version.dll");
    const auto infoSize = versionDll.Find<decltype(::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    const auto info = versionDll.Find<decltype(::GetFileVersionInfoW)>("GetFileVersionInfoW");
    const auto query = versionDll.Find<decltype(::VerQueryValueW)>("VerQueryValueW");
    if (!infoSize || !info || !query) return L"<no version.dll>";
    DWORD ignored = 0;
    const DWORD size = infoSize(file.c_str(), &ignored);
    if (!size) return L"<none>";
    std::vector<char> data(size);
    if (!info(file.c_str(), 0, size, data.data())) return L"<none>";
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!query(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return L"<none>";
    return text;
}

std::wstring Widened(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// One suite, so that the tests run in the order written; only the Uninstall Manager's test opens the
// program's window.
class Installer : public RealWindowTest {
protected:
    void SetUp() override {}
    void OpenWindow() { RealWindowTest::SetUp(); }
};

TEST_F(Installer, DISABLED_SetupInstallsSilentlyIntoTheProgramFiles) {
    const char* setup = std::getenv("KORVANE_SETUP");
    ASSERT_NE(setup, nullptr) << "KORVANE_SETUP names the setup program";
    ASSERT_FALSE(fs::exists(InstallFolder() / L"Korvane.exe")) << "left over from an earlier run";
    EXPECT_EQ(RunAndWait(L"\"" + Widened(setup) + L"\" /S"), 0);
    EXPECT_TRUE(fs::exists(InstallFolder() / L"Korvane.exe"));
    EXPECT_TRUE(fs::exists(InstallFolder() / L"Uninstall.exe"));
    EXPECT_TRUE(fs::exists(StartMenuShortcut())) << StartMenuShortcut();
    // The 64-bit Program Files, not the one of 32-bit programs.
    EXPECT_NE(KnownFolder(FOLDERID_ProgramFiles), KnownFolder(FOLDERID_ProgramFilesX86));
}

TEST_F(Installer, DISABLED_TheUninstallKeyDescribesTheInstallation) {
    const std::wstring folder = InstallFolder().wstring();
    EXPECT_EQ(MachineString(kUninstallKey, L"DisplayName"), L"Korvane");
    EXPECT_EQ(MachineString(kUninstallKey, L"Publisher"), L"Korvane");
    EXPECT_EQ(MachineString(kUninstallKey, L"DisplayVersion"), Widened(KORVANE_VERSION_TEXT));
    EXPECT_EQ(MachineString(kUninstallKey, L"InstallLocation"), folder);
    EXPECT_EQ(MachineString(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
    EXPECT_EQ(MachineString(kUninstallKey, L"QuietUninstallString"),
              L"\"" + folder + L"\\Uninstall.exe\" /S");
    DWORD size = 0, bytes = sizeof size;
    UniqueHkey key = OpenMachineKey(kUninstallKey);
    ASSERT_TRUE(key);
    ASSERT_EQ(RegGetValueW(key.get(), nullptr, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes),
              ERROR_SUCCESS);
    // In KiB: at least the program itself, at most what the folder holds (every program installed
    // beside it counts) and a little more.
    const auto program = fs::file_size(InstallFolder() / L"Korvane.exe") / 1024;
    std::uintmax_t installed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(InstallFolder()))
        if (entry.is_regular_file()) installed += entry.file_size();
    EXPECT_GE(size, program);
    EXPECT_LE(size, installed / 1024 + 1024);
    // Written to the 64-bit view only: a 64-bit program's entry has no place in Wow6432Node.
    EXPECT_FALSE(MachineKeyExists(kUninstallKey, KEY_WOW64_32KEY));
}

TEST_F(Installer, DISABLED_TheInstalledProgramStartsShowsItsWindowAndCarriesTheVersion) {
    const fs::path program = InstallFolder() / L"Korvane.exe";
    EXPECT_EQ(VersionString(program, L"ProductVersion"), Widened(KORVANE_VERSION_TEXT));
    EXPECT_EQ(VersionString(program, L"FileVersion"), Widened(KORVANE_VERSION_FOUR_PART));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               InstallFolder().c_str(), &startup, &process));
    UniqueHandle thread(process.hThread);
    UniqueHandle handle(process.hProcess);
    WindowSearch search{process.dwProcessId, nullptr};
    const bool shown = WaitFor([&] {
        EnumWindows(&TakeMainWindowOf, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    EXPECT_TRUE(shown) << "no window titled Korvane appeared";
    if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
    const auto wait = static_cast<DWORD>(std::chrono::milliseconds(kProcessTimeout).count());
    if (WaitForSingleObject(handle.get(), wait) != WAIT_OBJECT_0) {
        TerminateProcess(handle.get(), 1);
        FAIL() << "the program did not close";
    }
    // Closing saves the undo history beside the program: the data the uninstaller must leave alone.
    EXPECT_TRUE(fs::exists(InstallFolder() / L"Backup.xml"));
}

TEST_F(Installer, DISABLED_KorvanesUninstallManagerListsIt) {
    OpenWindow();
    ASSERT_TRUE(window && window->Handle());
    UninstallPage& page = form->tabAddRemove;
    ShowPage(page);
    HWND list = Hwnd(page, page.lvAddRemove);
    const int row = FindRow(list, L"Korvane");
    ASSERT_GE(row, 0) << "Korvane is not listed";
    EXPECT_EQ(ItemText(list, row, 1), L"\"" + InstallFolder().wstring() + L"\\Uninstall.exe\"");
}

TEST_F(Installer, DISABLED_UninstallsSilentlyAndKeepsTheUsersData) {
    const fs::path folder = InstallFolder();
    // What the program and its user leave: beside the program and in the user's local data.
    std::ofstream(folder / L"ignore.xml") << "<ignore/>";
    fs::create_directories(folder / L"Backup");
    std::ofstream(folder / L"Backup" / L"point.reg") << "REGEDIT4";
    fs::create_directories(UserDataFolder());
    std::ofstream(UserDataFolder() / L"settings.xml") << "<settings/>";
    SetString(HKEY_CURRENT_USER, kRunKey, kAutorunValue, L"\"" + (folder / L"Korvane.exe").wstring() + L"\"");

    const std::wstring quiet = MachineString(kUninstallKey, L"QuietUninstallString");
    ASSERT_NE(quiet, L"<missing>");
    EXPECT_EQ(RunAndWait(quiet), 0);
    // The uninstaller hands over to a copy of itself in the temporary folder and returns at once.
    EXPECT_TRUE(WaitFor([&] {
        return !MachineKeyExists(kUninstallKey, KEY_WOW64_64KEY) && !fs::exists(folder / L"Uninstall.exe");
    })) << "the uninstaller did not finish";
    EXPECT_FALSE(fs::exists(folder / L"Korvane.exe"));
    EXPECT_FALSE(fs::exists(StartMenuShortcut()));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, kAutorunValue));

    EXPECT_TRUE(fs::exists(folder / L"Backup.xml"));
    EXPECT_TRUE(fs::exists(folder / L"ignore.xml"));
    EXPECT_TRUE(fs::exists(folder / L"Backup" / L"point.reg"));
    EXPECT_TRUE(fs::exists(UserDataFolder() / L"settings.xml"));

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::remove_all(UserDataFolder(), ignored);
}

}  // namespace
}  // namespace korvane::win32::testing
