// Splitting uninstall command lines into the program to start and its arguments: quoted programs,
// unquoted paths with blanks (the longest existing .exe wins over a planted shorter one), ".exe" added
// as CreateProcess adds it, bare names from the system and Windows folders only, and the lines whose
// program cannot be found.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "uninstall/UninstallCommand.h"

namespace korvane {
namespace {

class UninstallCommandTest : public ::testing::Test {
protected:
    UninstallCommandTest() {
        memory.files().AddFile("C:\\Program Files\\My App\\uninst.exe");
        // Where CreateProcess would look first for an unquoted "C:\Program Files\My App\uninst.exe".
        memory.files().AddFile("C:\\Program.exe");
        memory.files().AddFile("C:\\Program Files\\My.exe");
        memory.files().AddFile("C:\\WINDOWS\\system32\\msiexec.exe");
    }
    std::optional<UninstallCommand> Resolve(const std::string& line) {
        return ResolveUninstallCommand(memory.files(), memory.system(), line);
    }
    // "program | command line", or "none", so that a failure shows both halves.
    std::string Resolved(const std::string& line) {
        const auto command = Resolve(line);
        return command ? command->program + " | " + command->commandLine : "none";
    }

    MemoryPlatform memory;
};

TEST_F(UninstallCommandTest, AQuotedProgramIsTakenAsQuoted) {
    EXPECT_EQ(Resolved("\"C:\\Program Files\\My App\\uninst.exe\" /S"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\" /S");
    EXPECT_EQ(Resolved("  \"C:\\Program Files\\My App\\uninst.exe\""),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\"");
    // Without its closing quote the name runs to the end of the line.
    EXPECT_EQ(Resolved("\"C:\\Program Files\\My App\\uninst.exe"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\"");
    // A quoted name without extension gets ".exe", as CreateProcess gives it.
    EXPECT_EQ(Resolved("\"C:\\Program Files\\My App\\uninst\" /x"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\" /x");
}

TEST_F(UninstallCommandTest, AQuotedProgramThatIsNotThereIsNotLookedForElsewhere) {
    // "C:\Program.exe" exists, but the quotes say which program is meant.
    EXPECT_EQ(Resolved("\"C:\\Program Files\\Gone\\uninst.exe\" /S"), "none");
    EXPECT_EQ(Resolved("\"\" /S"), "none");
}

TEST_F(UninstallCommandTest, AnUnquotedPathWithBlanksTakesTheLongestExistingExe) {
    EXPECT_EQ(Resolved("C:\\Program Files\\My App\\uninst.exe"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\"");
    // The arguments stay exactly as written, blanks and all.
    EXPECT_EQ(Resolved("C:\\Program Files\\My App\\uninst.exe /S  /log=\"C:\\a b.txt\""),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\" /S  "
              "/log=\"C:\\a b.txt\"");
    // ".exe" added to a name without one, as CreateProcess does.
    EXPECT_EQ(Resolved("C:\\Program Files\\My App\\uninst /S"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\" /S");
    EXPECT_EQ(Resolved("\tC:\\Program Files\\My App\\uninst.exe\t/S"),
              "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\"\t/S");
}

TEST_F(UninstallCommandTest, OnlyAnExistingExeFileCounts) {
    memory.files().AddFile("C:\\Tools\\setup.dat");
    memory.files().AddFolder("C:\\Tools\\folder.exe");
    EXPECT_EQ(Resolved("C:\\Tools\\setup.dat /u"), "none");
    EXPECT_EQ(Resolved("C:\\Tools\\folder.exe /u"), "none");
    // The planted shorter prefix is not taken when the program the line names is gone, also where
    // the words after the cut hold no folder at first.
    EXPECT_EQ(Resolved("C:\\Program Files\\Gone App\\uninst.exe /S"), "none");
    EXPECT_EQ(Resolved("C:\\Program Files Gone App uninst.exe"), "none");
    memory.files().AddFile("C:\\Temp\\Korvane.exe");
    EXPECT_EQ(Resolved("C:\\Temp\\Korvane Uninstall Test Gone\\uninst.exe /S"), "none");
    // A program named without ".exe" before its switches still gets it.
    memory.files().AddFile("C:\\Temp\\Korvane Tool.exe");
    EXPECT_EQ(Resolved("C:\\Temp\\Korvane Tool -x C:\\y"),
              "C:\\Temp\\Korvane Tool.exe | \"C:\\Temp\\Korvane Tool.exe\" -x C:\\y");
    EXPECT_EQ(Resolved(""), "none");
    EXPECT_EQ(Resolved("   "), "none");
}

TEST_F(UninstallCommandTest, MsiexecLinesRunTheSystemFoldersMsiexec) {
    // A copy beside the program and one in the current folder are never taken.
    memory.files().AddFile("C:\\Korvane\\MsiExec.exe");
    memory.files().AddFolder("C:\\Work");
    memory.files().AddFile("C:\\Work\\MsiExec.exe");
    memory.files().setCurrentDirectory("C:\\Work");
    EXPECT_EQ(Resolved("MsiExec.exe /X{6B3A0C1E-55AA-4D1C-9C2B-1234567890AB}"),
              "C:\\WINDOWS\\system32\\MsiExec.exe | \"C:\\WINDOWS\\system32\\MsiExec.exe\" "
              "/X{6B3A0C1E-55AA-4D1C-9C2B-1234567890AB}");
    EXPECT_EQ(Resolved("msiexec /I{6B3A0C1E-55AA-4D1C-9C2B-1234567890AB} /qb"),
              "C:\\WINDOWS\\system32\\msiexec.exe | \"C:\\WINDOWS\\system32\\msiexec.exe\" "
              "/I{6B3A0C1E-55AA-4D1C-9C2B-1234567890AB} /qb");
    EXPECT_EQ(Resolved("\"MsiExec.exe\" /X{A}"),
              "C:\\WINDOWS\\system32\\MsiExec.exe | \"C:\\WINDOWS\\system32\\MsiExec.exe\" /X{A}");
}

TEST_F(UninstallCommandTest, BareNamesComeFromTheSystemOrWindowsFolderOnly) {
    memory.files().AddFile("C:\\WINDOWS\\IsUninst.exe");
    memory.files().AddFolder("C:\\Work");
    memory.files().AddFile("C:\\Work\\remove.exe");
    memory.files().AddFile("C:\\Work\\bin\\remove.exe");
    memory.files().setCurrentDirectory("C:\\Work");
    EXPECT_EQ(
        Resolved("IsUninst.exe -f\"C:\\Program Files\\X\\Uninst.isu\""),
        "C:\\WINDOWS\\IsUninst.exe | \"C:\\WINDOWS\\IsUninst.exe\" -f\"C:\\Program Files\\X\\Uninst.isu\"");
    EXPECT_EQ(Resolved("remove.exe /S"), "none");
    // A relative path would depend on whatever folder is current.
    EXPECT_EQ(Resolved("bin\\remove.exe /S"), "none");
}

TEST_F(UninstallCommandTest, ArgumentsThatArePathsAreNotTakenForThePrograms) {
    memory.files().AddFile("C:\\WINDOWS\\system32\\rundll32.exe");
    EXPECT_EQ(Resolved("RunDll32 C:\\PROGRA~1\\COMMON~1\\Setup.dll,LaunchSetup \"C:\\Program Files\\X\""),
              "C:\\WINDOWS\\system32\\RunDll32.exe | \"C:\\WINDOWS\\system32\\RunDll32.exe\" "
              "C:\\PROGRA~1\\COMMON~1\\Setup.dll,LaunchSetup \"C:\\Program Files\\X\"");
    // A program named with its ".exe" may be followed by a relative path.
    EXPECT_EQ(
        Resolved("C:\\Program Files\\My App\\uninst.exe Data\\uninst.log"),
        "C:\\Program Files\\My App\\uninst.exe | \"C:\\Program Files\\My App\\uninst.exe\" Data\\uninst.log");
}

TEST_F(UninstallCommandTest, SharesAreAbsolutePathsToo) {
    memory.files().AddFile("\\\\server\\share\\App Dir\\uninst.exe");
    EXPECT_EQ(Resolved("\\\\server\\share\\App Dir\\uninst.exe /S"),
              "\\\\server\\share\\App Dir\\uninst.exe | \"\\\\server\\share\\App Dir\\uninst.exe\" /S");
}

}  // namespace
}  // namespace korvane
