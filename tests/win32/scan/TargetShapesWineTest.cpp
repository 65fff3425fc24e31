// The corpus of real-world value shapes against the real registry and file system under Wine, both
// views: every folder a shape names is the one Windows itself gives (ExpandEnvironmentStrings and the
// system folder functions of this process), never one the scan worked out, so the scan's resolution is
// checked against Windows' own. Every trace the corpus seeds is taken away again.
// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "support/TargetShapes.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32Registry.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane::win32::testing {
namespace {

using korvane::testing::CorpusFailures;
using korvane::testing::ParseShapes;
using korvane::testing::ScanCorpusGroups;
using korvane::testing::SeededTwin;
using korvane::testing::ShapeSeeder;

std::string Utf8(const std::wstring& text) {
    return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

std::string Expanded(const wchar_t* text) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(text, buffer, MAX_PATH * 2);
    return length > 0 ? Utf8(buffer) : std::string();
}

// GetSystemDirectoryW and its kin (their calling convention differs between the builds).
template <class Get>
std::string Folder(Get get) {
    wchar_t buffer[MAX_PATH] = {};
    get(buffer, MAX_PATH);
    return Utf8(buffer);
}

constexpr char kPathFolder[] = "C:\\KorvaneCorpusPath";

// The user's PATH pointed at a folder of the test's own, and put back as it was.
class UserPath {
public:
    UserPath() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Environment", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof before_;
        hadOne_ = RegQueryValueExW(key_, L"Path", nullptr, &type_, reinterpret_cast<BYTE*>(before_), &size) ==
                  ERROR_SUCCESS;
        beforeSize_ = size;
        const std::wstring path = L"%SystemDrive%\\KorvaneCorpusPath";
        RegSetValueExW(key_, L"Path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }
    ~UserPath() {
        if (hadOne_)
            RegSetValueExW(key_, L"Path", 0, type_, reinterpret_cast<const BYTE*>(before_), beforeSize_);
        else
            RegDeleteValueW(key_, L"Path");
        RegCloseKey(key_);
    }
    UserPath(const UserPath&) = delete;
    UserPath& operator=(const UserPath&) = delete;

private:
    HKEY key_ = nullptr;
    bool hadOne_ = false;
    DWORD type_ = REG_SZ;
    wchar_t before_[4096] = {};
    DWORD beforeSize_ = 0;
};

TEST(TargetShapesWine, EveryShapeIsJudgedAsWindowsFindsItsTargetInBothViews) {
    Win32Registry registry;
    Win32FileSystem files;
    Win32SystemInfo system;
    const std::string wow = Folder(GetSystemWow64DirectoryW);
    ASSERT_FALSE(wow.empty()) << "not a 64-bit prefix";
    const std::map<std::string, std::string> folders = {
        {"<Windows>", Expanded(L"%SystemRoot%")},
        {"<System32>", Folder(GetSystemDirectoryW)},
        {"<SysWOW64>", wow},
        {"<Fonts>", Expanded(L"%SystemRoot%\\Fonts")},
        {"<SystemDrive>", Expanded(L"%SystemDrive%")},
        {"<ProgramFiles>", Expanded(L"%ProgramW6432%")},
        {"<ProgramFilesX86>", Expanded(L"%ProgramFiles(x86)%")},
        {"<CommonFiles>", Expanded(L"%CommonProgramW6432%")},
        {"<CommonFilesX86>", Expanded(L"%CommonProgramFiles(x86)%")},
        {"<ProgramData>", Expanded(L"%ProgramData%")},
        {"<Public>", Expanded(L"%PUBLIC%")},
        {"<UserProfile>", Expanded(L"%USERPROFILE%")},
        {"<AppData>", Expanded(L"%APPDATA%")},
        {"<LocalAppData>", Expanded(L"%LOCALAPPDATA%")},
        {"<Temp>", Expanded(L"%TEMP%")},
        {"<PathDir>", kPathFolder}};
    for (const auto& [name, folder] : folders) ASSERT_EQ(folder.find('%'), std::string::npos) << name;

    UserPath userPath;
    ShapeSeeder seeder(registry, files, folders);
    if (!files.directoryExists(kPathFolder) && files.createDirectory(kPathFolder))
        seeder.folders.push_back(kPathFolder);
    // A 64-bit Windows has the system's programs in both system folders; a prefix without 32-bit
    // Wine has none in SysWOW64, so stand-ins are put there for the run.
    for (const char* program : {"rundll32.exe", "regsvr32.exe", "msiexec.exe", "cmd.exe"}) {
        const std::string path = wow + "\\" + program;
        if (!files.fileExists(path) && files.writeFile(path, "stand-in")) seeder.files.push_back(path);
    }

    const std::vector<korvane::testing::Shape> shapes = ParseShapes(korvane::testing::kTargetShapesCorpus);
    const std::vector<SeededTwin> twins = seeder.Seed(shapes);  // they point into `shapes`
    EXPECT_GE(twins.size(), 300u);
    const std::vector<ScanFinding> findings = ScanCorpusGroups(registry, files, system);
    for (const std::string& failure : CorpusFailures(twins, findings)) ADD_FAILURE() << failure;
    seeder.Cleanup();

    // Nothing of the corpus is left for a later scan to find.
    for (const ScanFinding& finding : ScanCorpusGroups(registry, files, system))
        EXPECT_EQ(finding.where.Text().find("kvc"), std::string::npos) << finding.where.Text();
}

}  // namespace
}  // namespace korvane::win32::testing
