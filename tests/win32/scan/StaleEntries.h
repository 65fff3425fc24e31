// Stale entries seeded into the real registry under Wine for the scan and repair tests: what they are,
// what the scan must report for each, how to seed and remove them, a scan run through the real window,
// and `reg query` run as a child process. Every name carries "KorvaneWine" so that cleaning up can
// never touch anything else.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "win32/platform/UniqueHandle.h"
#include "win32/support/RealWindowFixture.h"

namespace korvane::win32::testing {

inline constexpr wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr wchar_t kAppEntry[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine_gone.exe";
inline constexpr wchar_t kAppPresent[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvanewine_present.exe";
inline constexpr wchar_t kClass[] = L"CLSID\\{4B6F7276-616E-6557-696E-65476F6E6521}";
inline constexpr wchar_t kClassServer[] = L"CLSID\\{4B6F7276-616E-6557-696E-65476F6E6521}\\InprocServer32";
inline constexpr wchar_t kRunMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline constexpr wchar_t kMruValue[] = L"KorvaneWineMRU";
inline constexpr wchar_t kSharedDlls[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
inline constexpr wchar_t kSharedDll[] = L"C:\\KorvaneWineGone\\shared.dll";
inline constexpr wchar_t kFileExt[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.korvanewinegone";
inline constexpr wchar_t kUninstall[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineGone";
// An uninstall entry whose UninstallString is a number: it names no file and must not end the scan.
inline constexpr wchar_t kUninstallNumber[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KorvaneWineNumber";

// One finding the scan must report, as the window shows it.
struct ExpectedFinding {
    int group;
    std::wstring errorType;
    std::wstring keyName;
    std::wstring keyValue;
};

inline std::vector<ExpectedFinding> SeededFindings() {
    const std::wstring lm = L"HKEY_LOCAL_MACHINE\\", cu = L"HKEY_CURRENT_USER\\";
    return {
        {0, L"Application", lm + kAppEntry, L"C:\\KorvaneWineGone\\app.exe"},
        {1, L"COM/ActiveX", std::wstring(L"HKEY_CLASSES_ROOT\\") + kClassServer,
         L"C:\\KorvaneWineGone\\server.dll"},
        // The group's key is written with the upper-case SOFTWARE in its Key Names.
        {4, L"Recent files",
         cu + L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU\\" + kMruValue,
         L"C:\\KorvaneWineGone\\tool"},
        {6, L"Shared DLLs", lm + kSharedDlls + L"\\" + kSharedDll, kSharedDll},
        {10, L"Uninstall", lm + kUninstall + L"\\UninstallString", L"C:\\KorvaneWineGone\\unins000.exe"},
        {11, L"File Extensions", cu + kFileExt, L""},
    };
}

// Raw registry access past the program's own layers.
inline void SetRaw(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                   DWORD size) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS)
        << "cannot create the key";
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}
inline void SetText(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text,
                    DWORD type = REG_SZ) {
    SetRaw(root, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};
inline RawValue ReadRaw(HKEY root, const wchar_t* path, const wchar_t* name) {
    RawValue value;
    UniqueHkey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    if (RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.found = true;
    return value;
}
inline RawValue Raw(DWORD type, const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return RawValue{true, type, std::vector<BYTE>(bytes, bytes + size)};
}
inline RawValue RawText(const std::wstring& text, DWORD type = REG_SZ) {
    return Raw(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Every value type the history must keep, in one App Paths entry (a key row: the whole key is taken).
inline const std::vector<std::pair<std::wstring, RawValue>>& AppEntryValues() {
    static const std::vector<std::pair<std::wstring, RawValue>> values = [] {
        std::vector<std::pair<std::wstring, RawValue>> v;
        v.emplace_back(L"", RawText(L"C:\\KorvaneWineGone\\app.exe"));
        v.emplace_back(L"Path", RawText(L"%ProgramFiles%\\KorvaneWineGone", REG_EXPAND_SZ));
        const DWORD runs = 0x1A;
        v.emplace_back(L"Runs", Raw(REG_DWORD, &runs, sizeof runs));
        const DWORD all = 0xFFFFFFFF;
        v.emplace_back(L"Flags", Raw(REG_DWORD, &all, sizeof all));
        BYTE blob[30];
        for (int i = 0; i < 30; ++i) blob[i] = static_cast<BYTE>(i);
        v.emplace_back(L"Blob", Raw(REG_BINARY, blob, sizeof blob));
        v.emplace_back(L"Empty", Raw(REG_BINARY, nullptr, 0));
        const wchar_t verbs[] = L"open\0print /p\0";
        v.emplace_back(L"Verbs", Raw(REG_MULTI_SZ, verbs, sizeof verbs));
        const unsigned long long big = 0x0123456789ABCDEFull;
        v.emplace_back(L"Big", Raw(REG_QWORD, &big, sizeof big));
        return v;
    }();
    return values;
}
inline const std::wstring kAppSubkey = std::wstring(kAppEntry) + L"\\SupportedProtocols";

inline void RemoveStaleEntries() {
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kAppEntry);
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kAppPresent);
    RemoveKeyTree(HKEY_CLASSES_ROOT, kClass);
    RemoveValue(HKEY_CURRENT_USER, kRunMru, kMruValue);
    RemoveValue(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll);
    RemoveKeyTree(HKEY_CURRENT_USER, kFileExt);
    RemoveKeyTree(HKEY_CLASSES_ROOT, L".korvanewinegone");
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kUninstall);
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kUninstallNumber);
}

inline void SeedStaleEntries() {
    RemoveStaleEntries();
    for (const auto& [name, value] : AppEntryValues())
        SetRaw(HKEY_LOCAL_MACHINE, kAppEntry, name.c_str(), value.type, value.data.data(),
               static_cast<DWORD>(value.data.size()));
    SetText(HKEY_LOCAL_MACHINE, kAppSubkey.c_str(), L"http", L"1");
    // Present on every Wine prefix: must not be reported.
    SetText(HKEY_LOCAL_MACHINE, kAppPresent, L"", L"C:\\windows\\system32\\notepad.exe");

    SetText(HKEY_CLASSES_ROOT, kClass, L"", L"Korvane Wine test class");
    SetText(HKEY_CLASSES_ROOT, kClassServer, L"", L"C:\\KorvaneWineGone\\server.dll");
    SetText(HKEY_CLASSES_ROOT, kClassServer, L"ThreadingModel", L"Both");
    SetText(HKEY_CURRENT_USER, kRunMru, kMruValue, L"C:\\KorvaneWineGone\\tool\\1");
    const DWORD uses = 3;
    SetRaw(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedDll, REG_DWORD, &uses, sizeof uses);
    SetText(HKEY_CURRENT_USER, (std::wstring(kFileExt) + L"\\OpenWithList").c_str(), L"a", L"korvane.exe");
    SetText(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayName", L"Korvane Wine Gone");
    SetText(HKEY_LOCAL_MACHINE, kUninstall, L"UninstallString", L"C:\\KorvaneWineGone\\unins000.exe",
            REG_EXPAND_SZ);
    SetText(HKEY_LOCAL_MACHINE, kUninstallNumber, L"DisplayName", L"Korvane Wine Number");
    const DWORD number = 7;
    SetRaw(HKEY_LOCAL_MACHINE, kUninstallNumber, L"UninstallString", REG_DWORD, &number, sizeof number);
}

// Runs `commandLine` hidden with its standard output on a pipe; returns the output (ASCII expected)
// and the exit code, or exit code -1 when it could not be started.
struct ChildOutput {
    long exitCode = -1;
    std::wstring text;
};
inline ChildOutput RunAndRead(std::wstring commandLine) {
    ChildOutput result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return result;
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return result;
    UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    writeEnd.reset();  // the child holds the only write end now: its exit ends the reads
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    WaitForSingleObject(processHandle.get(), 60000);
    DWORD code = 0;
    GetExitCodeProcess(processHandle.get(), &code);
    result.exitCode = static_cast<long>(code);
    result.text.assign(bytes.begin(), bytes.end());
    return result;
}

// `reg query KEY` through C:\windows\system32\reg.exe: value name -> "TYPE    DATA" as it printed them.
inline std::map<std::wstring, std::wstring> RegQuery(const std::wstring& key) {
    const ChildOutput out = RunAndRead(L"C:\\windows\\system32\\reg.exe query \"" + key + L"\"");
    std::map<std::wstring, std::wstring> values;
    EXPECT_EQ(out.exitCode, 0) << "reg query " << ::testing::PrintToString(key) << ":\n"
                               << ::testing::PrintToString(out.text);
    size_t start = 0;
    while (start < out.text.size()) {
        size_t end = out.text.find(L'\n', start);
        if (end == std::wstring::npos) end = out.text.size();
        std::wstring line = out.text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        // Value lines are indented by four blanks: NAME, TYPE and DATA apart by four blanks each.
        if (line.rfind(L"    ", 0) != 0) continue;
        line.erase(0, 4);
        const size_t gap = line.find(L"    REG_");
        if (gap == std::wstring::npos) continue;
        values[line.substr(0, gap)] = line.substr(gap + 4);
    }
    return values;
}

// The real window with the real platform, and a scan run the way a user starts it.
class StaleEntriesWindowTest : public RealWindowTest {
protected:
    void SetUp() override {
        // ignore.xml lives in the current folder: a fresh one, so that no earlier run's list hides a row.
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"KorvaneWineScan" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        DeleteFileW((folder_ + L"\\ignore.xml").c_str());
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        previousFolder_ = current;
        SetCurrentDirectoryW(folder_.c_str());
        SeedStaleEntries();
        RealWindowTest::SetUp();
    }
    void TearDown() override {
        RealWindowTest::TearDown();
        RemoveStaleEntries();
        SetCurrentDirectoryW(previousFolder_.c_str());
        DeleteFileW((folder_ + L"\\ignore.xml").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // Clicks "Start &Scan" and pumps the window's messages until the run has ended; false when it has
    // not ended within five minutes.
    bool ScanThroughTheWindow() {
        ScanPage& page = form->tabScanErrors;
        // The page button refills the group list (all ticked) while the error list is empty: pressed
        // only when another page is showing, so that a user's choice of groups stands.
        if (form->MainControl.ActivePage() != &page) ShowPage(page);
        HWND start = Hwnd(page, page.btnStartScan);
        EXPECT_EQ(TextOfWindow(start), L"Start &Scan");
        SendMessageW(start, BM_CLICK, 0, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        Pump();
        while (page.ScanErrorsThread.Active() && std::chrono::steady_clock::now() < deadline) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        Pump();
        return !page.ScanErrorsThread.Active();
    }
    // The row of the window's error list whose Key Name is `keyName`; -1 when it shows none.
    int ErrorRow(const std::wstring& keyName) {
        HWND list = Hwnd(form->tabScanErrors, form->tabScanErrors.lvErrors);
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ItemText(list, i, 1) == keyName) return i;
        return -1;
    }

    std::wstring folder_;
    std::wstring previousFolder_;
};

}  // namespace korvane::win32::testing
