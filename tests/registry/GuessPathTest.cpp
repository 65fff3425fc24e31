// GuessPath on the registry data the scan meets: command lines with quotes and switches, %...%
// references, rundll32 entries, bare names looked up on the file system, shares and odd endings.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "registry/GuessPath.h"

namespace korvane {
namespace {

class GuessPathTest : public ::testing::Test {
protected:
    std::string Guess(const std::string& text) { return GuessPath(text, context); }

    MemoryFileSystem files;
    PathContext context{files, "C:\\WINDOWS\\system32\\", "C:\\WINDOWS\\", "C:\\Program Files\\"};
};

TEST_F(GuessPathTest, EmptyTextAndNetworkPathsComeBackUnchanged) {
    EXPECT_EQ(Guess(""), "");
    EXPECT_EQ(Guess("\\\\Server\\Share\\App.EXE /s"), "\\\\Server\\Share\\App.EXE /s");
    EXPECT_EQ(Guess("\\\\server"), "\\\\server");
}

TEST_F(GuessPathTest, QuotedCommandLinesLoseTheirQuotesAndSwitches) {
    EXPECT_EQ(Guess("\"C:\\Program Files\\App\\App.exe\" /s"), "c:\\program files\\app\\app.exe");
    EXPECT_EQ(Guess("\"C:\\Program Files\\App\\App.exe\" -run now"), "c:\\program files\\app\\app.exe");
    EXPECT_EQ(Guess("C:\\Tools\\Plugin.DLL,DllMain extra"), "c:\\tools\\plugin.dll");
    // The first ".exe" ends the path, then the first ".dll" within what is left.
    EXPECT_EQ(Guess("C:\\Lib.dll.exe --x"), "c:\\lib.dll");
    EXPECT_EQ(Guess("\"C:\\Data\\Notes.txt\""), "c:\\data\\notes.txt");
}

TEST_F(GuessPathTest, ASlashCutsEvenInsideTheQuotes) {
    EXPECT_EQ(Guess("\"C:\\App\\app.exe\"/background"), "c:\\app\\app.exe");
    // A lone switch leaves nothing but the folder that a bare name gets.
    EXPECT_EQ(Guess("/"), "C:\\WINDOWS\\system32\\");
    EXPECT_EQ(Guess("/s"), "C:\\WINDOWS\\system32\\");
}

TEST_F(GuessPathTest, SystemRootAndProgramFilesBecomeTheFoldersAsThePlatformSpellsThem) {
    EXPECT_EQ(Guess("%SystemRoot%\\system32\\shell32.dll,-153"), "C:\\WINDOWS\\system32\\shell32.dll");
    EXPECT_EQ(Guess("%SYSTEMROOT%\\System32\\Drivers\\Beep.sys"), "C:\\WINDOWS\\system32\\drivers\\beep.sys");
    EXPECT_EQ(Guess("%SystemRoot%\\explorer.exe /idlist"), "C:\\WINDOWS\\explorer.exe");
    EXPECT_EQ(Guess("\"%ProgramFiles%\\App\\app.exe\" /min"), "C:\\Program Files\\app\\app.exe");
    // Other references are left as they are, under the system folder.
    EXPECT_EQ(Guess("%windir%\\x.exe"), "C:\\WINDOWS\\system32\\%windir%\\x.exe");
}

TEST_F(GuessPathTest, WithTheEntrysEnvironmentEveryVariableIsKnownAndSlashesSeparateFolders) {
    Environment env;
    env.Set("windir", "C:\\WINDOWS");
    env.Set("CommonProgramFiles", "C:\\Program Files\\Common Files");
    env.Set("ProgramFiles", "C:\\Program Files");
    context.environment = &env;
    EXPECT_EQ(Guess("%windir%\\x.exe"), "C:\\WINDOWS\\x.exe");
    EXPECT_EQ(Guess("%CommonProgramFiles%\\System\\ado\\msado15.dll"),
              "C:\\Program Files\\Common Files\\system\\ado\\msado15.dll");
    EXPECT_EQ(Guess("\"C:/Program Files/App/uninst.exe\" /S"), "c:\\program files\\app\\uninst.exe");
    EXPECT_EQ(Guess("C:/Program Files/App/uninst.exe /S"), "c:\\program files\\app\\uninst.exe");
    // An unknown variable stays as written.
    EXPECT_EQ(Guess("%APP_HOME%\\app.exe"), "C:\\WINDOWS\\system32\\%app_home%\\app.exe");
}

TEST_F(GuessPathTest, ProgramFilesWithoutTheFolderJustDisappears) {
    context.programFilesFolder.clear();
    EXPECT_EQ(Guess("%ProgramFiles%\\App\\app.exe"), "C:\\WINDOWS\\system32\\app\\app.exe");
}

TEST_F(GuessPathTest, RundllEntriesNameRundllItself) {
    EXPECT_EQ(Guess("rundll32.exe shell32.dll,Control_RunDLL"), "C:\\WINDOWS\\system32\\rundll32.exe");
    EXPECT_EQ(Guess("RUNDLL32 C:\\Other\\x.dll,Entry"), "C:\\WINDOWS\\system32\\rundll32.exe");
    files.AddFile("C:\\WINDOWS\\rundll32.exe");
    EXPECT_EQ(Guess("rundll32.exe shell32.dll,Control_RunDLL"), "C:\\WINDOWS\\rundll32.exe");
    // Only a command line that begins with it counts.
    EXPECT_EQ(Guess("C:\\WINDOWS\\system32\\rundll32.exe a.dll,B"), "c:\\windows\\system32\\rundll32.exe");
}

TEST_F(GuessPathTest, BareNamesAreLookedUpWindowsFolderFirst) {
    // Without any file: system folder, no extension added.
    EXPECT_EQ(Guess("notepad"), "C:\\WINDOWS\\system32\\notepad");
    // The file system is asked at the time of the call, not when the context was made.
    files.AddFile("C:\\WINDOWS\\system32\\notepad.exe");
    EXPECT_EQ(Guess("notepad"), "C:\\WINDOWS\\system32\\notepad.exe");
    EXPECT_EQ(Guess("NOTEPAD.EXE"), "C:\\WINDOWS\\system32\\notepad.exe");
    files.AddFile("C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(Guess("notepad.exe"), "C:\\WINDOWS\\notepad.exe");
    // The Windows folder is tried with the name as written, so "notepad" still ends in system32.
    EXPECT_EQ(Guess("notepad"), "C:\\WINDOWS\\system32\\notepad.exe");
    // A folder of that name is no file.
    files.AddFolder("C:\\WINDOWS\\help");
    EXPECT_EQ(Guess("help"), "C:\\WINDOWS\\system32\\help");
}

TEST_F(GuessPathTest, PathsWithoutAnExtensionEndAtTheFirstBlank) {
    EXPECT_EQ(Guess("c:\\program files\\tool"), "c:\\program");
    EXPECT_EQ(Guess("C:\\Tools\\run me"), "c:\\tools\\run");
    files.AddFile("C:\\Tools\\run.exe");
    EXPECT_EQ(Guess("C:\\Tools\\run me"), "c:\\tools\\run.exe");
    // A dot in a folder name is no extension of the file.
    EXPECT_EQ(Guess("C:\\My.App\\launcher arg"), "c:\\my.app\\launcher");
    // With an extension the blanks stay.
    EXPECT_EQ(Guess("C:\\My Files\\a b.txt"), "c:\\my files\\a b.txt");
}

TEST_F(GuessPathTest, AdministrativeSharesBecomeTheDriveRoot) {
    EXPECT_EQ(Guess("c$"), "c:\\");
    EXPECT_EQ(Guess("D$"), "d:\\");
}

TEST_F(GuessPathTest, ResourceIndexAndTrailingJunkGo) {
    EXPECT_EQ(Guess("C:\\Icons\\pack.ico,3"), "c:\\icons\\pack.ico");
    EXPECT_EQ(Guess("\"C:\\Icons\\pack.ico\",3"), "c:\\icons\\pack.ico");
    EXPECT_EQ(Guess("C:\\Docs\\read.txt  \t"), "c:\\docs\\read.txt");
    EXPECT_EQ(Guess("C:\\Docs\\read.txt\r\n"), "c:\\docs\\read.txt");
}

TEST_F(GuessPathTest, PathsWithoutADriveGoUnderTheSystemFolder) {
    EXPECT_EQ(Guess("drivers\\etc\\hosts.txt"), "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.txt");
}

TEST_F(GuessPathTest, OnlyLettersAToZAreLowered) {
    // "Ä" is two UTF-8 bytes that must come through untouched, and so must "É".
    EXPECT_EQ(Guess("C:\\Programme\\\xC3\x84PFEL.EXE"), "c:\\programme\\\xC3\x84pfel.exe");
    EXPECT_EQ(Guess("D:\\\xC3\x89T\xC3\x89\\Setup.exe"), "d:\\\xC3\x89t\xC3\x89\\setup.exe");
}

TEST(PathContext, ReadsTheThreeFoldersFromThePlatform) {
    MemoryPlatform memory;
    memory.system().systemFolder = "D:\\WinNT\\System32";
    memory.registry().SetString(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                "ProgramFilesDir", "D:\\Apps");
    memory.files().AddFile("D:\\WinNT\\System32\\calc.exe");
    const PathContext context = MakePathContext(memory.platform());
    EXPECT_EQ(context.systemFolder, "D:\\WinNT\\System32\\");
    EXPECT_EQ(context.windowsFolder, "D:\\WinNT\\");
    EXPECT_EQ(context.programFilesFolder, "D:\\Apps\\");
    EXPECT_EQ(&context.files, &memory.platform().files);
    EXPECT_EQ(GuessPath("calc", context), "D:\\WinNT\\System32\\calc.exe");
    EXPECT_EQ(GuessPath("%ProgramFiles%\\X\\x.exe", context), "D:\\Apps\\x\\x.exe");
}

}  // namespace
}  // namespace korvane
