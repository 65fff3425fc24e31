// The leftover scan on a machine in memory: every kind of trace found by its evidence, and what it
// must never propose: traces of a second program of the same publisher, targets that still exist or
// cannot be told, folders no program owns, settings keys that are only a match by name.
#include "uninstall/LeftoverScenario.h"

namespace korvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string HKLMText = "HKEY_LOCAL_MACHINE\\";
const std::string HKCUText = "HKEY_CURRENT_USER\\";

TEST_F(LeftoverTest, EveryKindOfTraceIsFoundByItsEvidenceAndNothingOfTheOtherProgram) {
    const LeftoverSubject subject = ReadLeftoverSubject(memory.platform(), WriterEntry());
    EXPECT_EQ(subject.installFolders, std::vector<std::string>{kWriter});
    // Before the uninstall every target is there: nothing is evidence yet.
    EXPECT_THAT(Summary(ScanWriter(subject)), ElementsAre("installFolder|" + kWriter + "|unchecked"));

    RemoveWriterFiles();
    registry().SetString(HKLM, kWriterEntry, "DisplayName", "Acme Writer");  // an uninstaller that left it
    registry().SetString(HKLM, kWriterEntry, "UninstallString", "\"" + kWriter + "\\uninst.exe\" /S");
    const std::vector<Leftover> found = ScanWriter(subject);
    EXPECT_THAT(
        Summary(found),
        ElementsAre(
            "uninstallEntry|" + HKLMText + kWriterEntry + "|checked",
            "appPath|" + HKLMText + kCurrentVersion + "\\App Paths\\writer.exe|checked",
            "runEntry|" + HKLMText +
                "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run\\AcmeWriterUpdate|checked",
            "startupState|" + HKLMText + kCurrentVersion +
                "\\Explorer\\StartupApproved\\Run32\\AcmeWriterUpdate|checked",
            "runEntry|" + HKLMText + kCurrentVersion + "\\RunOnce\\AcmeFinish|checked",
            "runEntry|" + HKCUText + kCurrentVersion + "\\Run\\AcmeWriterTray|checked",
            "startupState|" + HKCUText + kCurrentVersion +
                "\\Explorer\\StartupApproved\\Run\\AcmeWriterTray|checked",
            "sharedDll|" + HKLMText + kCurrentVersion + "\\SharedDLLs\\" + kWriter + "\\acmecore.dll|checked",
            "classServer|" + HKLMText + kWriterClsid + "|checked",
            "classServer|" + HKLMText + kWriterClsid32 + "|checked",
            "progId|" + HKLMText + "Software\\Classes\\AcmeWriter.Document|checked",
            "shortcut|" + kUserDesktop + "\\Acme Writer.lnk|checked",
            "shortcut|" + kCommonPrograms + "\\Acme Writer\\Acme Writer.lnk|checked",
            "installFolder|" + kWriter + "|checked"));
    // Each row says what it points to and why that is the program's.
    EXPECT_EQ(found[1].evidence, "points to " + kWriter + "\\writer.exe \xE2\x80\x94 file removed");
    EXPECT_EQ(found[0].evidence,
              "uninstaller points to " + kWriter + "\\uninst.exe \xE2\x80\x94 file removed");
    // Acme Paint, same publisher, still installed: its Run entry and its settings stay out, and so
    // does Writer's settings key, for the publisher key holds Paint's too.
    for (const Leftover& trace : found) {
        EXPECT_EQ(trace.Where().find("AcmePaint"), std::string::npos) << trace.Where();
        EXPECT_NE(trace.kind, LeftoverKind::SettingsKey) << trace.Where();
    }
}

TEST_F(LeftoverTest, TheSettingsKeyIsAnUncheckedNameMatchOnlyWhenNothingElseOfThePublisherIsInstalled) {
    const LeftoverSubject subject = ReadLeftoverSubject(memory.platform(), WriterEntry());
    RemoveWriterFiles();
    // Paint gone too, its settings key still there: nothing else installed under "Acme Corp".
    registry().DeleteTreeRaw(HKLM, kPaintEntry);
    std::vector<std::string> settings;
    for (const Leftover& trace : ScanWriter(subject))
        if (trace.kind == LeftoverKind::SettingsKey)
            settings.push_back(trace.Where() + (trace.checked ? " checked" : ""));
    EXPECT_THAT(settings, ElementsAre(HKCUText + "Software\\Acme Corp\\Acme Writer"));

    // A product key whose name only resembles the program's is no match.
    registry().DeleteTreeRaw(HKCU, "Software\\Acme Corp\\Acme Writer");
    registry().SetString(HKCU, "Software\\Acme Corp\\Acme Writer 2", "x", "y");
    for (const Leftover& trace : ScanWriter(subject)) EXPECT_NE(trace.kind, LeftoverKind::SettingsKey);

    // Nor is a key of Windows' own, whatever the entry calls its publisher.
    LeftoverSubject windows = subject;
    windows.publisher = "Microsoft";
    windows.displayName = "Windows";
    registry().SetString(HKCU, "Software\\Microsoft\\Windows", "x", "y");
    for (const Leftover& trace : ScanWriter(windows)) EXPECT_NE(trace.kind, LeftoverKind::SettingsKey);
}

TEST_F(LeftoverTest, WhatAnotherInstalledProgramPointsIntoIsNeverProposed) {
    // Paint lives inside Writer's folder: its files and the folder around them are Paint's too.
    registry().SetString(HKLM, kPaintEntry, "InstallLocation", kWriter + "\\Plugins\\Paint");
    registry().SetString(HKLM, kCurrentVersion + "\\Run", "PaintHelper",
                         kWriter + "\\Plugins\\Paint\\helper.exe");
    const LeftoverSubject subject = ReadLeftoverSubject(memory.platform(), WriterEntry());
    RemoveWriterFiles();
    const std::vector<std::string> found = Summary(ScanWriter(subject));
    EXPECT_THAT(found, Contains("runEntry|" + HKCUText + kCurrentVersion + "\\Run\\AcmeWriterTray|checked"));
    EXPECT_THAT(found,
                Not(Contains("runEntry|" + HKLMText + kCurrentVersion + "\\Run\\PaintHelper|checked")));
    for (const std::string& row : found) EXPECT_EQ(row.rfind("installFolder|", 0), std::string::npos) << row;
}

TEST_F(LeftoverTest, TargetsThatExistOrCannotBeToldAreNoEvidence) {
    const LeftoverSubject subject = ReadLeftoverSubject(memory.platform(), WriterEntry());
    RemoveWriterFiles();
    memory.files().AddFile(kWriter + "\\tray.exe", "MZ");  // put back by something else
    memory.files().AddDrive("D:");
    memory.files().SetDriveNotReady("D:");
    LeftoverSubject onD = subject;
    onD.installFolders = {"D:\\Apps\\Writer"};
    registry().SetString(HKCU, kCurrentVersion + "\\Run", "OnD", "D:\\Apps\\Writer\\w.exe");
    for (const std::string& row : Summary(ScanWriter(subject)))
        EXPECT_EQ(row.find("AcmeWriterTray"), std::string::npos) << row;
    EXPECT_THAT(ScanWriter(onD), IsEmpty());
}

TEST_F(LeftoverTest, AFolderNoProgramOwnsIsNeverTakenAsTheInstallFolder) {
    // An entry that names Program Files itself (or the Windows or temporary folder) proves nothing
    // about what lies there.
    registry().SetString(HKLM, kWriterEntry, "InstallLocation", "C:\\Program Files");
    memory.files().AddFile("C:\\Program Files\\gone-later.exe", "MZ");
    registry().SetString(HKCU, kCurrentVersion + "\\Run", "Loose", "C:\\Program Files\\gone-later.exe");
    LeftoverSubject subject = ReadLeftoverSubject(memory.platform(), WriterEntry());
    EXPECT_THAT(subject.installFolders, IsEmpty());
    memory.files().deleteFile("C:\\Program Files\\gone-later.exe");
    for (const Leftover& trace : ScanWriter(subject)) EXPECT_FALSE(trace.checked) << trace.Where();

    const std::vector<std::string> shared = SharedFolders(memory.platform());
    for (const char* folder :
         {"C:\\Program Files", "C:\\Program Files\\", "C:\\Program Files (x86)", "C:\\", "C:\\WINDOWS\\Acme",
          "C:\\Temp\\Setup", "C:\\Users\\user", "C:\\ProgramData", "C:\\Program Files\\Common Files", "Acme",
          "\\\\server\\share\\Acme", "C:\\Users\\user\\AppData\\Local\\Programs"})
        EXPECT_FALSE(MayBeInstallFolder(folder, shared)) << folder;
    for (const char* folder : {"C:\\Program Files\\Acme Corp", "C:\\Games\\Acme",
                               "C:\\Users\\user\\AppData\\Local\\Programs\\Acme", "C:\\ProgramData\\Acme"})
        EXPECT_TRUE(MayBeInstallFolder(folder, shared)) << folder;
}

}  // namespace
}  // namespace korvane::testing
