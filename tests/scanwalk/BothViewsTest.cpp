// On 64-bit Windows the groups whose keys Windows keeps per registry view walk both views, whichever
// build runs: a 32-bit entry is found under its Wow6432Node Key Name, and the files it names are read
// as a 32-bit program sees them (System32 is SysWOW64, %ProgramFiles% is Program Files (x86)). On
// 32-bit Windows nothing changes.
#include "ScanTestSupport.h"
#include "registry/RegistryViews.h"

namespace korvane::testing {
namespace {

using ::testing::ElementsAre;

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kAppPaths = kCurrentVersion + "\\App Paths";
const std::string kWowCurrentVersion = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
const std::string kWowAppPaths = kWowCurrentVersion + "\\App Paths";

TEST(ScanViewsTable, ThePerViewKeysAreExactlyTheOnesWindowsRedirects) {
    for (const BaseKey& base : kPerViewBaseKeys)
        EXPECT_TRUE(Wow64PathOf(base.root, base.path).has_value()) << base.path;
    // Every other key is shared by the views, but for the two only Windows 9x reads.
    for (const BaseKey& base : kScanBaseKeys) {
        const bool perView = std::any_of(std::begin(kPerViewBaseKeys), std::end(kPerViewBaseKeys),
                                         [&](const BaseKey& key) { return key.path == base.path; });
        const bool only9x = base.path == scankeys::Fonts9x.path || base.path == scankeys::LanMan.path;
        if (!perView && !only9x) {
            EXPECT_FALSE(Wow64PathOf(base.root, base.path).has_value()) << base.path;
        }
    }
    // No repair may delete a whole group of either view.
    const auto& containers = ScanContainerKeys();
    EXPECT_EQ(containers.size(), std::size(kScanBaseKeys) + std::size(kPerViewBaseKeys));
    EXPECT_TRUE(std::any_of(containers.begin(), containers.end(),
                            [](const BaseKey& key) { return key.path == "Wow6432Node\\CLSID"; }));
}

class BothViewsTest : public ScanGroupTest {
protected:
    void SetUp() override {
        machine.system().Use64BitWindows10();
        versionClass = 0;
        files.AddFolder("C:\\WINDOWS\\SysWOW64");
        files.AddFile("C:\\WINDOWS\\system32\\only64.dll");
        files.AddFile("C:\\WINDOWS\\SysWOW64\\only32.dll");
        files.AddFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
        files.AddFile("C:\\Program Files\\App64\\app.exe");
        files.AddFile("C:\\Program Files (x86)\\App32\\app.exe");
        Text(HKLM, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    }
};

TEST_F(BothViewsTest, EachPerViewGroupFindsA32BitEntryUnderItsWow6432NodeKeyName) {
    Text(HKLM, kAppPaths + "\\a.exe", "", "C:\\Gone\\a.exe");
    // App Paths is shared: its Wow6432Node name is never walked (on Windows it shows the same key).
    Text(HKLM, kWowAppPaths + "\\b.exe", "", "C:\\Gone\\b.exe");
    Text(HKCR, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\a.dll");
    Text(HKCR, "Wow6432Node\\CLSID\\{B}\\InprocServer32", "", "C:\\Gone\\b.dll");
    Text(HKLM, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help", "b.hlp", "C:\\Gone");
    Text(HKLM, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\HTML Help", "b.chm", "C:\\Gone");
    registry.SetDword(HKLM, kWowCurrentVersion + "\\SharedDlls", "C:\\Gone\\s32.dll", 1);
    Text(HKLM, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", "{B}",
         "");
    Text(HKLM, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\B", "UninstallString",
         "C:\\Gone\\unins.exe");
    for (int group = 0; group < kScanGroupCount; ++group) Run(group);

    const std::string lm = "HKEY_LOCAL_MACHINE\\";
    EXPECT_THAT(
        sink.KeyNames(),
        ElementsAre(lm + kAppPaths + "\\a.exe", "HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32",
                    "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{B}\\InprocServer32",
                    lm + "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help\\b.hlp",
                    lm + "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\HTML Help\\b.chm",
                    lm + kWowCurrentVersion + "\\SharedDlls\\C:\\Gone\\s32.dll",
                    lm + "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\"
                         "Approved\\{B}",
                    lm + "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\B\\"
                         "UninstallString"));
    // A group's count covers both views; a group that finds only its 32-bit key still writes it.
    EXPECT_EQ(sink.written[0], 1);
    EXPECT_EQ(sink.written[1], 2);
    EXPECT_EQ(sink.written[6], 1);
    EXPECT_EQ(sink.written[10], 1);
}

TEST_F(BothViewsTest, A32BitEntryNamesItsFilesAsA32BitProgramSeesThem) {
    const auto server = [&](bool wow, const std::string& name, const std::string& data,
                            std::uint32_t type = regtype::Sz) {
        Text(HKCR, std::string(wow ? "Wow6432Node\\" : "") + "CLSID\\{" + name + "}\\InprocServer32", "",
             data, type);
    };
    server(true, "only32", "C:\\WINDOWS\\system32\\only32.dll");
    server(true, "only64", "C:\\WINDOWS\\system32\\only64.dll");
    server(true, "root", "%SystemRoot%\\System32\\only32.dll", regtype::ExpandSz);
    server(true, "pf", "%ProgramFiles%\\App32\\app.exe", regtype::ExpandSz);
    server(true, "pf64", "%ProgramFiles%\\App64\\app.exe", regtype::ExpandSz);
    server(true, "w6432", "%ProgramW6432%\\App64\\app.exe", regtype::ExpandSz);
    server(true, "hosts", "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
    server(false, "only32", "C:\\WINDOWS\\system32\\only32.dll");
    server(false, "only64", "C:\\WINDOWS\\system32\\only64.dll");
    server(false, "pf64", "%ProgramFiles%\\App64\\app.exe", regtype::ExpandSz);
    Run(1);

    EXPECT_THAT(sink.KeyNames(),
                ElementsAre("HKEY_CLASSES_ROOT\\CLSID\\{only32}\\InprocServer32",
                            "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{only64}\\InprocServer32",
                            "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{pf64}\\InprocServer32"));
    EXPECT_EQ(sink.findings[0].evidence, (Evidence{"C:\\WINDOWS\\system32\\only32.dll", "file not found"}));
    EXPECT_EQ(sink.findings[1].evidence, (Evidence{"C:\\WINDOWS\\SysWOW64\\only64.dll", "file not found"}));
    EXPECT_EQ(sink.findings[2].evidence,
              (Evidence{"C:\\Program Files (x86)\\App64\\app.exe", "folder not found"}));
}

TEST_F(BothViewsTest, SharedKeysAreWalkedOnce) {
    Text(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Gone", "gone.ttf");
    Text(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.xyz", "", "");
    Run(3);
    Run(11);
    EXPECT_EQ(sink.findings.size(), 2u);
}

TEST_F(ScanGroupTest, On32BitWindowsTheWow6432NodeKeysAreNotWalked) {
    Text(HKLM, kWowAppPaths + "\\b.exe", "", "C:\\Gone\\b.exe");
    Text(HKCR, "Wow6432Node\\CLSID\\{B}\\InprocServer32", "", "C:\\Gone\\b.dll");
    Run(0);
    Run(1);
    EXPECT_TRUE(sink.findings.empty());
    // App Paths has no key of its own here; CLSID neither. The Wow6432Node name of App Paths is never
    // walked, whatever Windows.
    EXPECT_TRUE(sink.written.empty());
}

}  // namespace
}  // namespace korvane::testing
