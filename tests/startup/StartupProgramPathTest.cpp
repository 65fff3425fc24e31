// Which program a startup command runs: read as the scan reads a target, so a program that is there
// is never shown as missing (and offered for removal) because of the way its command is written.
#include <gtest/gtest.h>

#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystemInfo.h"
#include "startup/StartupProgram.h"

namespace korvane {
namespace {

class StartupProgramPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.AddFile("C:\\Program Files\\Kvc App\\app.exe");
        files.AddFile("C:\\WINDOWS\\system32\\svc.exe");
        files.AddFile("C:\\WINDOWS\\notepad.exe");
    }
    std::string Program(const std::string& command) {
        return StartupProgramPath(command, environment, context);
    }

    MemoryFileSystem files;
    MemoryRegistry registry;
    MemorySystemInfo system;
    Environment environment = ReadEnvironment(registry, system, RegistryView::Bits64);
    PathContext context{files, "C:\\WINDOWS\\system32\\", "C:\\WINDOWS\\", "C:\\Program Files\\"};
};

TEST_F(StartupProgramPathTest, ThePresentProgramIsFoundHoweverItsCommandIsWritten) {
    const std::string app = "C:\\Program Files\\Kvc App\\app.exe";
    EXPECT_EQ(Program("\"C:\\Program Files\\Kvc App\\app.exe\" /background"), app);
    EXPECT_EQ(Program("C:\\Program Files\\Kvc App\\app.exe /background"), app);
    EXPECT_EQ(Program("\"C:/Program Files/Kvc App/app.exe\" /S"), app);
    EXPECT_EQ(Program("C:/Program Files/Kvc App/app.exe -minimized"), app);
    EXPECT_EQ(Program("\\??\\C:\\Program Files\\Kvc App\\app.exe"), app);
    EXPECT_EQ(Program("\\SystemRoot\\system32\\svc.exe -k"), "C:\\WINDOWS\\system32\\svc.exe");
    EXPECT_EQ(Program("notepad.exe C:\\notes.txt"), "C:\\WINDOWS\\notepad.exe");
}

TEST_F(StartupProgramPathTest, CommandsSeeTheUsersVariablesAndTheFoldersWindowsSetsItself) {
    registry.SetString(roots::CurrentUser, "Environment", "Tools", "%SystemDrive%\\Tools", regtype::ExpandSz);
    files.AddFile("C:\\Tools\\sync.exe");
    files.AddFile(system.localAppDataFolder + "\\Sync\\agent.exe");
    environment = ReadEnvironment(registry, system, RegistryView::Bits64);
    EXPECT_EQ(Program("%TOOLS%\\sync.exe /start"), "C:\\Tools\\sync.exe");
    // The user's own profile folders, which Windows sets at log-on rather than in a key.
    EXPECT_EQ(Program("\"%LocalAppData%\\Sync\\agent.exe\" -q"),
              system.localAppDataFolder + "\\Sync\\agent.exe");
}

TEST_F(StartupProgramPathTest, AMissingProgramIsNamedAsItsCommandNamesIt) {
    EXPECT_EQ(Program("\"C:\\Program Files\\Gone\\gone.exe\" /x"), "C:\\Program Files\\Gone\\gone.exe");
    EXPECT_EQ(Program("C:\\Gone App\\gone.exe /x"), "C:\\Gone App\\gone.exe");
    EXPECT_EQ(Program(""), "");
}

}  // namespace
}  // namespace korvane
