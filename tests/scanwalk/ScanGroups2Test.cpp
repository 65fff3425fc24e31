// Groups 6 to 11 on a small seeded machine, and the stop rules of groups 1, 8, 9 and 10.
#include "ScanTestSupport.h"

namespace korvane::testing {
namespace {

using ::testing::ElementsAre;

const std::string kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

TEST_F(ScanGroupTest, SharedDllsJudgesTheValueNameNotItsData) {
    files.AddFile("C:\\WINDOWS\\system32\\here.dll");
    files.AddFolder("C:\\Program Files\\Common");
    registry.SetDword(HKLM, kSharedDlls, "C:\\WINDOWS\\system32\\gone.dll", 3);
    registry.SetDword(HKLM, kSharedDlls, "C:\\WINDOWS\\system32\\here.dll", 1);
    registry.SetDword(HKLM, kSharedDlls, "C:\\Program Files\\Common", 1);
    Text(HKLM, kSharedDlls, "C:\\Other\\gone.ocx", "C:\\WINDOWS\\system32\\here.dll");
    Run(6);
    const std::string prefix = "HKEY_LOCAL_MACHINE\\" + kSharedDlls + "\\";
    EXPECT_THAT(sink.KeyNames(),
                ElementsAre(prefix + "C:\\WINDOWS\\system32\\gone.dll", prefix + "C:\\Other\\gone.ocx"));
    EXPECT_EQ(sink.findings[0].errorType, "Shared DLLs");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\WINDOWS\\system32\\gone.dll");
    EXPECT_EQ(sink.findings[0].guessPath, "c:\\windows\\system32\\gone.dll");
    EXPECT_EQ(sink.labels.size(), 4u);
    EXPECT_EQ(sink.written, (std::map<int, int>{{6, 2}}));
}

const std::string kShares = "SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares";
const std::string kLanMan = "Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan";

class SharedFoldersTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFolder("C:\\a");  // the current folder is C:\ .
        for (const char* name : {"ab", "zz", "c$", "x", "abc", "q\xC3\xA9"})
            Text(HKLM, kShares, name, "C:\\Anything");
        Text(HKLM, kLanMan, "qq", "");
    }
};

TEST_F(SharedFoldersTest, OnlyTwoCharacterNamesAreJudgedByAFolderOfTheirFirstCharacter) {
    Run(7);
    const std::string prefix = "HKEY_LOCAL_MACHINE\\" + kShares + "\\";
    // "q\xC3\xA9" is two characters in three bytes.
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "zz", prefix + "c$", prefix + "q\xC3\xA9"));
    EXPECT_EQ(sink.findings[0].errorType, "Shared Folder");
    EXPECT_EQ(sink.findings[0].keyValue, "zz");
    EXPECT_EQ(sink.findings[1].guessPath, "c:\\");
    EXPECT_EQ(sink.labels.size(), 6u);
    EXPECT_EQ(sink.written, (std::map<int, int>{{7, 3}}));
}

TEST_F(SharedFoldersTest, WindowsNinetyEightUsesTheLanManKeyAndAStopLeavesTheCount) {
    versionClass = 3;
    Run(7);
    EXPECT_THAT(sink.KeyNames(), ElementsAre("HKEY_LOCAL_MACHINE\\" + kLanMan + "\\qq"));
    sink = RecordingSink();
    versionClass = 8;  // NT 6 and later take the NT key
    StopAtLabel("HKEY_LOCAL_MACHINE\\" + kShares + "\\zz");
    Run(7);
    EXPECT_EQ(sink.labels.size(), 2u);
    EXPECT_TRUE(sink.written.empty());
}

const std::string kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

class ShellExtensionsTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFile("C:\\Ext\\here.dll");
        Text(HKLM, kApproved, "{S1}", "gone one");
        Text(HKLM, kApproved, "{S2}", "not registered");
        Text(HKLM, kApproved, "{S3}", "no server key");
        Text(HKLM, kApproved, "{S4}", "server exists");
        Text(HKLM, kApproved, "{S5}", "gone too");
        Text(HKCR, "CLSID\\{S1}\\InprocServer32", "", "C:\\Ext\\gone.dll");
        Text(HKCR, "CLSID\\{S3}\\LocalServer32", "", "C:\\Ext\\gone.exe");
        Text(HKCR, "CLSID\\{S4}\\InprocServer32", "", "C:\\Ext\\here.dll");
        Text(HKCR, "CLSID\\{S5}\\InprocServer32", "", "C:\\Ext\\gone5.dll");
    }
};

TEST_F(ShellExtensionsTest, FilesTheApprovalValueOfAClassWhoseServerIsMissing) {
    Run(8);
    const std::string prefix = "HKEY_LOCAL_MACHINE\\" + kApproved + "\\";
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "{S1}", prefix + "{S5}"));
    EXPECT_EQ(sink.findings[0].errorType, "Shell Extensions");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Ext\\gone.dll");
    EXPECT_TRUE(sink.labels.empty());
    EXPECT_EQ(sink.written, (std::map<int, int>{{8, 2}}));
}

TEST_F(ShellExtensionsTest, NamesWhoseServerKeyDoesNotOpenHaveNoStopTest) {
    // A stop raised before the walk is first noticed after {S1}, the first name whose key opens; a
    // stop raised at {S1} is noticed right after it.
    stop.request_stop();
    Run(8);
    EXPECT_EQ(sink.findings.size(), 1u);
    EXPECT_TRUE(sink.written.empty());
}

const std::string kApps = "AppEvents\\Schemes\\Apps";
const std::string kAppsName = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\";

class SoundEventsTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFile("C:\\WINDOWS\\Media\\ding.wav");
        Text(HKCU, kApps + "\\.Default\\Beep\\.Current", "", "C:\\Gone\\beep.wav");
        Text(HKCU, kApps + "\\.Default\\Beep\\.Default", "", "C:\\Gone\\beep.wav");
        Text(HKCU, kApps + "\\.Default\\Ding\\.Current", "", "%SystemRoot%\\Media\\ding.wav",
             regtype::ExpandSz);
        Text(HKCU, kApps + "\\.Default\\Ding\\.Default", "", "");
        Text(HKCU, kApps + "\\Closed\\Event\\.Current", "", "C:\\Gone\\closed.wav");
        Text(HKCU, kApps + "\\Explorer\\Navigate\\.Current", "", "C:\\Gone\\nav.wav");
        registry.CreateKey(HKCU, kApps + "\\Empty");
    }
};

TEST_F(SoundEventsTest, ChecksCurrentAndDefaultOfEveryEventAndSkipsClosedApplications) {
    registry.DenyOpen(HKCU, kApps + "\\Closed");
    // Read-only keys are still read: this group opens its keys for reading only.
    registry.DenyWrite(HKCU, kApps + "\\Explorer");
    Run(9);
    EXPECT_THAT(sink.KeyNames(),
                ElementsAre(kAppsName + ".Default\\Beep\\.Current", kAppsName + ".Default\\Beep\\.Default",
                            kAppsName + "Explorer\\Navigate\\.Current"));
    EXPECT_EQ(sink.findings[0].errorType, "Sound AppEvent");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Gone\\beep.wav");
    EXPECT_EQ(sink.findings[0].guessPath, "c:\\gone\\beep.wav");
    // Labels for both schemes of every event of the applications that opened.
    EXPECT_THAT(
        sink.labels,
        ElementsAre(kAppsName + ".Default\\Beep\\.Current", kAppsName + ".Default\\Beep\\.Default",
                    kAppsName + ".Default\\Ding\\.Current", kAppsName + ".Default\\Ding\\.Default",
                    kAppsName + "Explorer\\Navigate\\.Current", kAppsName + "Explorer\\Navigate\\.Default"));
    EXPECT_EQ(sink.written, (std::map<int, int>{{9, 3}}));
}

TEST_F(SoundEventsTest, AStopEndsAfterBothChecksOfTheEventInHandWithoutTheCount) {
    StopAtLabel(kAppsName + ".Default\\Beep\\.Current");
    Run(9);
    EXPECT_EQ(sink.findings.size(), 2u);
    EXPECT_EQ(sink.labels.size(), 2u);
    EXPECT_TRUE(sink.written.empty());
}

TEST_F(ScanGroupTest, SoundEventsWithAnEmptyBaseKeyWriteZero) {
    registry.CreateKey(HKCU, kApps);
    Run(9);
    EXPECT_EQ(sink.written, (std::map<int, int>{{9, 0}}));
}

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFile("C:\\Apps\\unins.exe");
        Text(HKLM, kUninstall + "\\A", "UninstallString", "C:\\Gone\\unins000.exe /x");
        Text(HKLM, kUninstall + "\\B", "DisplayName", "No uninstaller");
        Text(HKLM, kUninstall + "\\C", "UninstallString", "C:\\Gone\\c.exe");
        Text(HKLM, kUninstall + "\\D", "UninstallString", "\"C:\\Apps\\unins.exe\" /S");
        Text(HKLM, kUninstall + "\\E", "UninstallString", "C:\\Gone\\e.exe");
    }
};

TEST_F(UninstallTest, FilesTheUninstallStringValueAndPassesOverKeysThatDoNotOpen) {
    registry.DenyOpen(HKLM, kUninstall + "\\C");
    Run(10);
    const std::string prefix = "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\";
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "A\\UninstallString", prefix + "E\\UninstallString"));
    EXPECT_EQ(sink.findings[0].errorType, "Uninstall");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Gone\\unins000.exe /x");
    EXPECT_EQ(sink.findings[0].guessPath, "c:\\gone\\unins000.exe");
    EXPECT_EQ(sink.labels.size(), 5u);
    EXPECT_EQ(sink.written, (std::map<int, int>{{10, 2}}));
}

TEST_F(UninstallTest, AStopRaisedOnAnEntryThatDoesNotOpenIsNoticedAfterTheNextThatDoes) {
    registry.DenyOpen(HKLM, kUninstall + "\\C");
    StopAtLabel("HKEY_LOCAL_MACHINE\\" + kUninstall + "\\C");
    Run(10);
    EXPECT_EQ(sink.labels.size(), 4u);  // C has no stop test; D is examined, then the group ends
    EXPECT_EQ(sink.findings.size(), 1u);
    EXPECT_TRUE(sink.written.empty());
}

const std::string kFileExts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

TEST_F(ScanGroupTest, FileExtensionsFilesExtensionsWithoutAClassKeyWhateverTheirCase) {
    registry.CreateKey(HKCR, ".txt");
    registry.CreateKey(HKCR, ".doc");
    registry.CreateKey(HKCR, ".locked");
    registry.DenyOpen(HKCR, ".locked");  // exists but cannot be read: filed, but cannot tell
    for (const char* extension : {".txt", ".Doc", ".xyz", ".locked"})
        registry.CreateKey(HKCU, kFileExts + "\\" + extension);
    Run(11);
    const std::string prefix = "HKEY_CURRENT_USER\\" + kFileExts + "\\";
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + ".locked", prefix + ".xyz"));
    // A class key that is there but does not open proves nothing: listed, not checked.
    EXPECT_FALSE(sink.findings[0].certain);
    EXPECT_EQ(sink.findings[0].evidence, (Evidence{"HKEY_CLASSES_ROOT\\.locked", "key does not open"}));
    EXPECT_TRUE(sink.findings[1].certain);
    EXPECT_EQ(sink.findings[1].evidence, (Evidence{"HKEY_CLASSES_ROOT\\.xyz", "key not found"}));
    EXPECT_EQ(sink.findings[1].errorType, "File Extensions");
    EXPECT_EQ(sink.findings[1].keyValue, "");
    EXPECT_EQ(sink.findings[1].guessPath, "");
    EXPECT_TRUE(sink.labels.empty());
    EXPECT_EQ(sink.written, (std::map<int, int>{{11, 2}}));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(ScanGroupTest, ClsidStopTakesEffectAfterAllChecksOfTheClassInHand) {
    Text(HKCR, "CLSID\\{A}\\InprocHandler32", "", "C:\\Gone\\h.dll");
    Text(HKCR, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\s.dll");
    Text(HKCR, "CLSID\\{B}\\InprocServer32", "", "C:\\Gone\\b.dll");
    StopAtFinding("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocHandler32");
    Run(1);
    EXPECT_EQ(sink.findings.size(), 2u);
    EXPECT_TRUE(sink.written.empty());
}

TEST_F(ScanGroupTest, EveryGroupClosesEveryKeyItOpened) {
    Text(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe", "", "C:\\x.exe");
    Text(HKCR, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\s.dll");
    Text(HKCU, kApps + "\\A\\E\\.Current", "", "C:\\Gone\\e.wav");
    Text(HKLM, kUninstall + "\\A", "UninstallString", "C:\\x.exe");
    Text(HKLM, kApproved, "{A}", "");
    registry.CreateKey(HKCU, kFileExts + "\\.xyz");
    Text(HKCU, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", "a", "x\\1");
    registry.SetDword(HKLM, kSharedDlls, "C:\\x.dll", 1);
    Text(HKLM, kShares, "ab", "");
    for (int group = 0; group < kScanGroupCount; ++group) Run(group);
    EXPECT_EQ(sink.written.size(), 12u);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace korvane::testing
