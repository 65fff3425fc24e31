// Groups 0 to 5 on a small seeded machine: what each files, under which Key Name, and what it must not
// file; labels; counts.
#include "ScanTestSupport.h"

namespace korvane::testing {
namespace {

using ::testing::ElementsAre;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::string kAppPathsName =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class AppPathsTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFile("C:\\Apps\\good.exe");
        files.AddFolder("C:\\Apps\\Folder");
        files.AddFile("C:\\WINDOWS\\system32\\calc.exe");
        Text(HKLM, kAppPaths + "\\a.exe", "", "C:\\Apps\\good.exe");
        Text(HKLM, kAppPaths + "\\b.exe", "", "C:\\Apps\\gone.exe");
        registry.CreateKey(HKLM, kAppPaths + "\\c.exe");  // no default value
        Text(HKLM, kAppPaths + "\\d.exe", "", "");        // empty default value
        Text(HKLM, kAppPaths + "\\e.exe", "", "C:\\Apps\\Folder");
        Text(HKLM, kAppPaths + "\\f.exe", "", "calc.exe");      // found by GuessPath in the system folder
        registry.SetDword(HKLM, kAppPaths + "\\g.exe", "", 7);  // not text: no finding, the walk goes on
        Text(HKLM, kAppPaths + "\\h.exe", "", "\"C:\\Apps\\Gone Too.exe\" /s", regtype::ExpandSz);
    }
};

TEST_F(AppPathsTest, FilesMissingTargetsOnlyAndWritesItsCount) {
    Run(0);
    ASSERT_EQ(sink.findings.size(), 2u);
    EXPECT_EQ(sink.findings[0].errorType, "Application");
    EXPECT_EQ(sink.findings[0].where.Text(), kAppPathsName + "b.exe");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Apps\\gone.exe");
    EXPECT_EQ(sink.findings[0].guessPath, "c:\\apps\\gone.exe");
    EXPECT_EQ(sink.findings[1].where.Text(), kAppPathsName + "h.exe");
    EXPECT_EQ(sink.findings[1].keyValue, "\"C:\\Apps\\Gone Too.exe\" /s");
    EXPECT_EQ(sink.findings[1].guessPath, "c:\\apps\\gone too.exe");
    EXPECT_EQ(sink.written, (std::map<int, int>{{0, 2}}));
    // One label per sub-key, before it is read, in the registry's order.
    ASSERT_EQ(sink.labels.size(), 8u);
    EXPECT_EQ(sink.labels.front(), kAppPathsName + "a.exe");
    EXPECT_EQ(sink.labels.back(), kAppPathsName + "h.exe");
}

TEST_F(AppPathsTest, AnEntryKeyThatDoesNotOpenEndsTheGroupWithoutItsCount) {
    registry.DenyOpen(HKLM, kAppPaths + "\\c.exe");
    Run(0);
    EXPECT_THAT(sink.KeyNames(), ElementsAre(kAppPathsName + "b.exe"));  // filed before, stays
    EXPECT_TRUE(sink.written.empty());
    EXPECT_EQ(sink.labels.back(), kAppPathsName + "c.exe");
}

TEST_F(AppPathsTest, AReadOnlyEntryKeyIsScannedAsAnyOther) {
    // The scan opens keys for reading only, so a key a standard user may not change is still read.
    registry.DenyWrite(HKLM, kAppPaths);
    Run(0);
    EXPECT_THAT(sink.KeyNames(), ElementsAre(kAppPathsName + "b.exe", kAppPathsName + "h.exe"));
    EXPECT_EQ(sink.written, (std::map<int, int>{{0, 2}}));
}

TEST_F(ScanGroupTest, AppPathsWithoutItsBaseKeyFilesNothingAndKeepsTheCountUnwritten) {
    Run(0);
    EXPECT_TRUE(sink.findings.empty());
    EXPECT_TRUE(sink.labels.empty());
    EXPECT_TRUE(sink.written.empty());
}

const std::string kClsidName = "HKEY_CLASSES_ROOT\\CLSID\\";

class ClsidTest : public ScanGroupTest {
protected:
    void Server(const std::string& classKey, const std::string& subkey, const std::string& data,
                std::uint32_t type = regtype::Sz) {
        Text(HKCR, "CLSID\\" + classKey + "\\" + subkey, "", data, type);
    }
    void SetUp() override {
        files.AddFile("C:\\WINDOWS\\system32\\ole32.dll");
        files.AddFile("C:\\WINDOWS\\system32\\shell32.dll");
        Server("{A}", "InprocServer32", "C:\\Gone\\a.dll");
        Server("{B}", "LocalServer32", "C:\\WINDOWS\\system32\\ole32.dll");
        Server("{B}", "DefaultIcon", "%SystemRoot%\\system32\\shell32.dll,-3", regtype::ExpandSz);
        Server("{C}", "InprocServer32", "{00000000-0000-0000-0000-000000000001}");
        Server("{D}", "inprocserver32", "C:\\Gone\\d.dll");  // other letter case than the table
        Server("{E}", "InprocServer32", "C:\\Gone\\e1.dll");
        Server("{E}", "InprocHandler32", "C:\\Gone\\e2.dll");
        Server("{E}", "InprocServer32x", "C:\\Gone\\e3.dll");  // not a name of the table
        Server("{F}", "InprocServer32", "C:\\Gone\\f.dll");
        Server("{G}", "InprocServer32", "C:\\Gone\\g.dll");
        registry.SetValue(HKCR, "CLSID\\{H}\\InprocServer32", "", RegValue{regtype::Binary, {1, 2, 3}});
        Server("{I}", "Implemented Categories", "C:\\Gone\\i.dll");
        Server("NoBrace", "InprocServer32", "C:\\Gone\\n.dll");
    }
};

TEST_F(ClsidTest, FilesEachMissingServerUnderTheTableSpellingInTableOrder) {
    registry.DenyOpen(HKCR, "CLSID\\{F}");                   // the class key is closed, its server key is not
    registry.DenyWrite(HKCR, "CLSID\\{G}\\InprocServer32");  // read-only: read as any other
    Run(1);
    EXPECT_THAT(sink.KeyNames(),
                ElementsAre(kClsidName + "{A}\\InprocServer32", kClsidName + "{D}\\InprocServer32",
                            kClsidName + "{E}\\InprocHandler32", kClsidName + "{E}\\InprocServer32",
                            kClsidName + "{F}\\InprocServer32", kClsidName + "{G}\\InprocServer32"));
    EXPECT_EQ(sink.findings[0].errorType, "COM/ActiveX");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Gone\\a.dll");
    EXPECT_EQ(sink.findings[0].guessPath, "c:\\gone\\a.dll");
    EXPECT_EQ(sink.findings[0].evidence, (Evidence{"C:\\Gone\\a.dll", "folder not found"}));
    EXPECT_TRUE(sink.findings[0].certain);
    EXPECT_EQ(sink.written, (std::map<int, int>{{1, 6}}));
    // One label per class key, braces or not, in the registry's (upper-cased) order.
    EXPECT_EQ(sink.labels.size(), 10u);
    EXPECT_EQ(sink.labels.front(), kClsidName + "NoBrace");
    EXPECT_EQ(sink.labels.back(), kClsidName + "{I}");
}

TEST_F(ClsidTest, ClassesWithoutServerSubkeysCostNoOpensOfAbsentNames) {
    for (int i = 0; i < 50; ++i) registry.CreateKey(HKCR, "CLSID\\{empty-" + std::to_string(i) + "}");
    registry.ResetCounters();
    Run(1);
    // Per class: open, list, close, plus open, read, close per server key it has. Opening the eight
    // table names one by one would cost at least 8 calls per class.
    const auto classes = registry.SubkeyNamesRaw(HKCR, "CLSID").size();
    EXPECT_LT(registry.CallCount(), classes * 4 + 40);
    EXPECT_GE(classes * 8, classes * 4 + 40);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(ClsidTest, EachDistinctPathIsTestedOnceARun) {
    for (int i = 0; i < 40; ++i)
        Server("{same-" + std::to_string(i) + "}", "InprocServer32", "C:\\Gone\\shared.dll");
    files.ResetCounters();
    Run(1);
    EXPECT_EQ(sink.findings.size(), 46u);
    // Seven distinct missing paths (a, d, e1, e2, f, g, shared), each asked once whatever its letter
    // case; three more for the servers that exist, and one for the root of drive C:, which decides
    // whether the drive answers at all. Without the run's memory it would be three per finding.
    EXPECT_LE(files.ExistenceTestCount(), 11u);
}

const std::string kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
const std::string kHtmlHelp = "SOFTWARE\\Microsoft\\Windows\\HTML Help";

class HelpTest : public ScanGroupTest {
protected:
    void SetUp() override {
        files.AddFile("C:\\Help\\y.hlp");
        files.AddFile("C:\\WINDOWS\\w.hlp");
        Text(HKLM, kHelp, "x.hlp", "C:\\Help");
        Text(HKLM, kHelp, "y.hlp", "C:\\Help\\");
        Text(HKLM, kHelp, "w.hlp", "");  // tested as the bare name, found in the Windows folder
        Text(HKLM, kHelp, "v.hlp", "C:\\Help\\");
        registry.SetDword(HKLM, kHelp, "n.hlp", 1);
        Text(HKLM, kHtmlHelp, "a.chm", "C:\\Docs");
        Text(HKLM, kHtmlHelp, "b.chm", "C:\\Docs");
    }
};

TEST_F(HelpTest, JoinsFolderAndNameWithOneBackslashAndWalksBothKeys) {
    Run(2);
    EXPECT_THAT(sink.KeyNames(), ElementsAre("HKEY_LOCAL_MACHINE\\" + kHelp + "\\x.hlp",
                                             "HKEY_LOCAL_MACHINE\\" + kHelp + "\\v.hlp",
                                             "HKEY_LOCAL_MACHINE\\" + kHtmlHelp + "\\a.chm",
                                             "HKEY_LOCAL_MACHINE\\" + kHtmlHelp + "\\b.chm"));
    EXPECT_EQ(sink.findings[0].errorType, "Help File");
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Help\\x.hlp");
    EXPECT_EQ(sink.findings[1].keyValue, "C:\\Help\\v.hlp");
    EXPECT_EQ(sink.findings[2].guessPath, "c:\\docs\\a.chm");
    EXPECT_EQ(sink.written, (std::map<int, int>{{2, 4}}));
    EXPECT_EQ(sink.labels.size(), 7u);
}

TEST_F(HelpTest, StopInTheFirstPassEndsItButTheSecondExaminesOneValueAndTheCountIsWritten) {
    StopAtLabel("HKEY_LOCAL_MACHINE\\" + kHelp + "\\x.hlp");
    Run(2);
    EXPECT_THAT(sink.labels, ElementsAre("HKEY_LOCAL_MACHINE\\" + kHelp + "\\x.hlp",
                                         "HKEY_LOCAL_MACHINE\\" + kHtmlHelp + "\\a.chm"));
    EXPECT_EQ(sink.findings.size(), 2u);
    EXPECT_EQ(sink.written, (std::map<int, int>{{2, 2}}));
}

TEST_F(ScanGroupTest, HelpWithNeitherKeyStillWritesItsCount) {
    Run(2);
    EXPECT_EQ(sink.written, (std::map<int, int>{{2, 0}}));
}

const std::string kNtFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::string k9xFonts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

class FontsTest : public ScanGroupTest {
protected:
    void SetUp() override {
        machine.system().systemFolder = "E:\\WIN\\system32";  // fonts live where Windows is
        files.AddFile("E:\\WIN\\Fonts\\arial.ttf");
        files.AddFile("C:\\WINDOWS\\FONTS\\gone.ttf");  // not this Windows' fonts folder
        Text(HKLM, kNtFonts, "Arial", "arial.ttf");
        Text(HKLM, kNtFonts, "Gone", "gone.ttf");
        Text(HKLM, kNtFonts, "Full", "D:\\Fonts\\full.ttf");
        Text(HKLM, kNtFonts, "Drive", "D:odd.fon");
        Text(HKLM, k9xFonts, "Old", "old.fon");
    }
};

TEST_F(FontsTest, BareNamesAreTestedInTheWindowsFontsFolderAndOthersUnchanged) {
    Run(3);
    EXPECT_THAT(sink.KeyNames(), ElementsAre("HKEY_LOCAL_MACHINE\\" + kNtFonts + "\\Gone",
                                             "HKEY_LOCAL_MACHINE\\" + kNtFonts + "\\Full",
                                             "HKEY_LOCAL_MACHINE\\" + kNtFonts + "\\Drive"));
    EXPECT_EQ(sink.findings[0].errorType, "Font File");
    EXPECT_EQ(sink.findings[0].keyValue, "E:\\WIN\\Fonts\\gone.ttf");
    EXPECT_EQ(sink.findings[1].keyValue, "D:\\Fonts\\full.ttf");
    EXPECT_EQ(sink.findings[2].keyValue, "D:odd.fon");
    // Relative to the current folder of drive D:, which no scan can know.
    EXPECT_FALSE(sink.findings[2].certain);
    EXPECT_EQ(sink.findings[2].evidence, (Evidence{"D:odd.fon", "relative path"}));
    EXPECT_EQ(sink.written, (std::map<int, int>{{3, 3}}));
}

TEST_F(FontsTest, TheVersionClassChoosesTheKey) {
    versionClass = 2;  // Windows 98
    Run(3);
    EXPECT_THAT(sink.KeyNames(), ElementsAre("HKEY_LOCAL_MACHINE\\" + k9xFonts + "\\Old"));
    sink = RecordingSink();
    for (int version : {0, 4, 7, 8}) {
        versionClass = version;
        sink = RecordingSink();
        Run(3);
        EXPECT_EQ(sink.findings.size(), 3u) << "class " << version;
    }
}

TEST_F(FontsTest, AStopEndsThePassButTheCountIsWritten) {
    StopAtLabel("HKEY_LOCAL_MACHINE\\" + kNtFonts + "\\Gone");
    Run(3);
    EXPECT_EQ(sink.labels.size(), 2u);
    EXPECT_EQ(sink.written, (std::map<int, int>{{3, 1}}));
}

TEST_F(ScanGroupTest, FontsWithoutTheirKeyWriteZero) {
    Run(3);
    EXPECT_EQ(sink.written, (std::map<int, int>{{3, 0}}));
}

const std::string kRunMru = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

TEST_F(ScanGroupTest, RunMruDropsTheMarkerAndNeverExaminesMruList) {
    files.AddFile("C:\\WINDOWS\\system32\\cmd.exe");
    Text(HKCU, kRunMru, "MRUList", "abcd");
    Text(HKCU, kRunMru, "a", "cmd\\1");
    Text(HKCU, kRunMru, "b", "C:\\Tools\\tool\\1");
    Text(HKCU, kRunMru, "c", "C:\\X\\APP.EXE\\1");
    Text(HKCU, kRunMru, "d", "C:\\X\\run.exe\\1");
    Run(4);
    const std::string prefix = "HKEY_CURRENT_USER\\" + kRunMru + "\\";
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "b", prefix + "c", prefix + "d"));
    EXPECT_EQ(sink.findings[0].errorType, "Recent files");
    // What the user typed, as typed: the Run dialog adds the extensions Windows tries itself.
    EXPECT_EQ(sink.findings[0].keyValue, "C:\\Tools\\tool");
    EXPECT_EQ(sink.findings[0].evidence, (Evidence{"C:\\Tools\\tool.exe", "folder not found"}));
    EXPECT_EQ(sink.findings[1].keyValue, "C:\\X\\APP.EXE");
    EXPECT_EQ(sink.findings[2].keyValue, "C:\\X\\run.exe");
    EXPECT_THAT(sink.labels, ElementsAre(prefix + "a", prefix + "b", prefix + "c", prefix + "d"));
    EXPECT_EQ(sink.written, (std::map<int, int>{{4, 3}}));
}

TEST_F(ScanGroupTest, RunMruStopDoesNotWriteTheCount) {
    const std::string prefix = "HKEY_CURRENT_USER\\" + kRunMru + "\\";
    Text(HKCU, kRunMru, "a", "C:\\Gone\\a\\1");
    Text(HKCU, kRunMru, "b", "C:\\Gone\\b\\1");
    StopAtLabel(prefix + "a");
    Run(4);
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "a"));
    EXPECT_TRUE(sink.written.empty());
}

const std::string kMenu2 =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const std::string kMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs";

TEST_F(ScanGroupTest, StartMenuFilesLeafFoldersOfBothKeysWithoutLabels) {
    registry.CreateKey(HKCU, kMenu2 + "\\Games\\Solitaire");
    registry.CreateKey(HKCU, kMenu2 + "\\Leaf");
    registry.CreateKey(HKCU, kMenu + "\\Leaf");
    registry.CreateKey(HKCU, kMenu + "\\Tools\\Sub");
    Run(5);
    EXPECT_THAT(sink.KeyNames(), ElementsAre("HKEY_CURRENT_USER\\" + kMenu2 + "\\Leaf",
                                             "HKEY_CURRENT_USER\\" + kMenu + "\\Leaf"));
    EXPECT_EQ(sink.findings[0].errorType, "Start Menu");
    EXPECT_EQ(sink.findings[0].keyValue, "Leaf");
    EXPECT_EQ(sink.findings[0].guessPath, "{null value}");
    EXPECT_TRUE(sink.labels.empty());
    EXPECT_EQ(sink.written, (std::map<int, int>{{5, 2}}));
}

TEST_F(ScanGroupTest, AStartMenuKeyThatDoesNotOpenIsListedButNotChecked) {
    registry.CreateKey(HKCU, kMenu2 + "\\Leaf");
    registry.CreateKey(HKCU, kMenu2 + "\\Locked\\Sub");
    registry.DenyOpen(HKCU, kMenu2 + "\\Locked");
    Run(5);
    ASSERT_EQ(sink.findings.size(), 2u);
    EXPECT_TRUE(sink.findings[0].certain);
    EXPECT_EQ(sink.findings[0].evidence,
              (Evidence{"HKEY_CURRENT_USER\\" + kMenu2 + "\\Leaf", "no sub-keys"}));
    EXPECT_FALSE(sink.findings[1].certain);
    EXPECT_EQ(sink.findings[1].evidence.answer, "key does not open");
}

TEST_F(ScanGroupTest, StartMenuStopEndsThePassTheSecondExaminesOneAndTheCountIsWritten) {
    registry.CreateKey(HKCU, kMenu2 + "\\A");
    registry.CreateKey(HKCU, kMenu2 + "\\B");
    registry.CreateKey(HKCU, kMenu + "\\C");
    registry.CreateKey(HKCU, kMenu + "\\D");
    StopAtFinding("HKEY_CURRENT_USER\\" + kMenu2 + "\\A");
    Run(5);
    EXPECT_THAT(sink.KeyNames(),
                ElementsAre("HKEY_CURRENT_USER\\" + kMenu2 + "\\A", "HKEY_CURRENT_USER\\" + kMenu + "\\C"));
    EXPECT_EQ(sink.written, (std::map<int, int>{{5, 2}}));
}

TEST_F(ScanGroupTest, IgnoredFindingsAreNotCounted) {
    const std::string prefix = "HKEY_CURRENT_USER\\" + kMenu2 + "\\";
    registry.CreateKey(HKCU, kMenu2 + "\\A");
    registry.CreateKey(HKCU, kMenu2 + "\\B");
    sink.ignored = {prefix + "A", "hkey_current_user\\" + kMenu2 + "\\B"};  // other case: not ignored
    Run(5);
    EXPECT_THAT(sink.KeyNames(), ElementsAre(prefix + "B"));
    EXPECT_EQ(sink.written, (std::map<int, int>{{5, 1}}));
}

}  // namespace
}  // namespace korvane::testing
