// The corpus of real-world value shapes against the in-memory platform, set up as a 64-bit Windows 10
// keeps its environment: the machine's and the user's variables in the registry, the profile folders
// in ProfileList and the volatile environment, the usual programs in the system folders.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "support/TargetShapes.h"

namespace korvane::testing {
namespace {

constexpr HKey HKLM = roots::LocalMachine;
constexpr HKey HKCU = roots::CurrentUser;

class TargetShapesCorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.system().Use64BitWindows10();
        machine.system().localAppDataFolder = "C:\\Users\\alice\\AppData\\Local";
        MemoryRegistry& registry = machine.registry();
        const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        registry.SetString(HKLM, cv, "ProgramFilesDir", "C:\\Program Files");
        registry.SetString(HKLM, cv, "ProgramFilesDir (x86)", "C:\\Program Files (x86)");
        registry.SetString(HKLM, cv, "CommonFilesDir", "C:\\Program Files\\Common Files");
        registry.SetString(HKLM, cv, "CommonFilesDir (x86)", "C:\\Program Files (x86)\\Common Files");
        registry.SetString(HKLM, cv, "ProgramW6432Dir", "C:\\Program Files");
        registry.SetString(HKLM, cv, "CommonW6432Dir", "C:\\Program Files\\Common Files");
        registry.SetString(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                           "C:\\WINDOWS");
        const std::string profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
        registry.SetString(HKLM, profiles, "ProgramData", "%SystemDrive%\\ProgramData", regtype::ExpandSz);
        registry.SetString(HKLM, profiles, "Public", "%SystemDrive%\\Users\\Public", regtype::ExpandSz);
        const std::string env = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
        registry.SetString(HKLM, env, "windir", "%SystemRoot%", regtype::ExpandSz);
        registry.SetString(HKLM, env, "ComSpec", "%SystemRoot%\\system32\\cmd.exe", regtype::ExpandSz);
        registry.SetString(HKLM, env, "Path",
                           "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem;"
                           "%SYSTEMROOT%\\System32\\WindowsPowerShell\\v1.0\\",
                           regtype::ExpandSz);
        registry.SetString(HKLM, env, "PATHEXT", ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC");
        registry.SetString(HKLM, env, "USERNAME", "SYSTEM");
        registry.SetString(HKCU, "Volatile Environment", "USERPROFILE", "C:\\Users\\alice");
        registry.SetString(HKCU, "Volatile Environment", "APPDATA", "C:\\Users\\alice\\AppData\\Roaming");
        registry.SetString(HKCU, "Volatile Environment", "LOCALAPPDATA", "C:\\Users\\alice\\AppData\\Local");
        registry.SetString(HKCU, "Volatile Environment", "USERNAME", "alice");
        registry.SetString(HKCU, "Environment", "TEMP", "%USERPROFILE%\\AppData\\Local\\Temp",
                           regtype::ExpandSz);
        registry.SetString(HKCU, "Environment", "Path", "%SystemDrive%\\KorvaneCorpusPath",
                           regtype::ExpandSz);

        MemoryFileSystem& files = machine.files();
        for (const char* folder : {"C:\\WINDOWS\\system32", "C:\\WINDOWS\\SysWOW64"})
            for (const char* program : {"msiexec.exe", "rundll32.exe", "regsvr32.exe", "cmd.exe"})
                files.AddFile(std::string(folder) + "\\" + program);
        files.AddFile("C:\\WINDOWS\\notepad.exe");
        for (const char* folder :
             {"C:\\WINDOWS\\Fonts", "C:\\WINDOWS\\Media", "C:\\Program Files\\Common Files",
              "C:\\Program Files (x86)\\Common Files", "C:\\ProgramData", "C:\\Users\\Public",
              "C:\\Users\\alice\\AppData\\Roaming", "C:\\Users\\alice\\AppData\\Local\\Temp",
              "C:\\KorvaneCorpusPath"})
            files.AddFolder(folder);
    }

    std::map<std::string, std::string> Folders() const {
        return {{"<Windows>", "C:\\WINDOWS"},
                {"<System32>", "C:\\WINDOWS\\system32"},
                {"<SysWOW64>", "C:\\WINDOWS\\SysWOW64"},
                {"<Fonts>", "C:\\WINDOWS\\Fonts"},
                {"<SystemDrive>", "C:"},
                {"<ProgramFiles>", "C:\\Program Files"},
                {"<ProgramFilesX86>", "C:\\Program Files (x86)"},
                {"<CommonFiles>", "C:\\Program Files\\Common Files"},
                {"<CommonFilesX86>", "C:\\Program Files (x86)\\Common Files"},
                {"<ProgramData>", "C:\\ProgramData"},
                {"<Public>", "C:\\Users\\Public"},
                {"<UserProfile>", "C:\\Users\\alice"},
                {"<AppData>", "C:\\Users\\alice\\AppData\\Roaming"},
                {"<LocalAppData>", "C:\\Users\\alice\\AppData\\Local"},
                {"<Temp>", "C:\\Users\\alice\\AppData\\Local\\Temp"},
                {"<PathDir>", "C:\\KorvaneCorpusPath"}};
    }

    MemoryPlatform machine;
};

TEST_F(TargetShapesCorpusTest, EveryShapeIsJudgedAsWindowsWouldFindItsTarget) {
    const std::vector<Shape> shapes = ParseShapes(kTargetShapesCorpus);
    ASSERT_GE(shapes.size(), 150u);
    ShapeSeeder seeder(machine.registry(), machine.files(), Folders());
    const std::vector<SeededTwin> twins = seeder.Seed(shapes);
    const std::vector<ScanFinding> findings =
        ScanCorpusGroups(machine.registry(), machine.files(), machine.system());
    const std::vector<std::string> failures = CorpusFailures(twins, findings);
    for (const std::string& failure : failures) ADD_FAILURE() << failure;
    // Every absent twin that expects a row made exactly one; nothing else was listed twice.
    std::map<std::string, int> rows;
    for (const ScanFinding& finding : findings) ++rows[finding.where.Text()];
    for (const auto& [keyName, count] : rows) EXPECT_EQ(count, 1) << keyName;
}

TEST_F(TargetShapesCorpusTest, SeedingLeavesNoTraceBehind) {
    const std::vector<Shape> shapes = ParseShapes(kTargetShapesCorpus);
    {
        ShapeSeeder seeder(machine.registry(), machine.files(), Folders());
        seeder.Seed(shapes);
        EXPECT_FALSE(seeder.files.empty());
    }
    const std::vector<ScanFinding> findings =
        ScanCorpusGroups(machine.registry(), machine.files(), machine.system());
    for (const ScanFinding& finding : findings) ADD_FAILURE() << "left behind: " << finding.where.Text();
}

}  // namespace
}  // namespace korvane::testing
