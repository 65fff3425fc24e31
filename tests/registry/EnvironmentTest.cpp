// The environment a scanned entry is expanded with: read from where Windows builds it (machine, user,
// volatile keys, the folders Windows sets itself), per registry view, and expanded as
// ExpandEnvironmentStrings expands.
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystemInfo.h"
#include "registry/Environment.h"

namespace korvane {
namespace {

constexpr HKey HKLM = roots::LocalMachine;
constexpr HKey HKCU = roots::CurrentUser;
const std::string kMachineEnv = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

TEST(Environment, ExpandsAsWindowsDoesAndKeepsUnknownReferences) {
    Environment env;
    env.Set("SystemRoot", "C:\\WINDOWS");
    env.Set("X", "%SystemRoot%");  // a value is not expanded again
    EXPECT_EQ(env.Expand("%systemroot%\\a").text, "C:\\WINDOWS\\a");
    EXPECT_EQ(env.Expand("%X%").text, "%SystemRoot%");
    const Expansion unknown = env.Expand("%APP_HOME%\\bin\\%SystemRoot%");
    EXPECT_EQ(unknown.text, "%APP_HOME%\\bin\\C:\\WINDOWS");
    EXPECT_EQ(unknown.unknown, std::vector<std::string>{"%APP_HOME%"});
    // A "%" that opens nothing stays; after an unknown name the second "%" may open a reference.
    EXPECT_EQ(env.Expand("100% sure").text, "100% sure");
    EXPECT_EQ(env.Expand("%nope%SystemRoot%").text, "%nopeC:\\WINDOWS");
    EXPECT_EQ(env.Expand("%%").text, "%%");
    EXPECT_TRUE(env.Expand("%%").Complete());
    env.Set("X", "");
    EXPECT_EQ(env.Find("x"), nullptr);
}

class EnvironmentRead : public ::testing::Test {
protected:
    void SetUp() override {
        system.Use64BitWindows10();
        const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        registry.SetString(HKLM, cv, "ProgramFilesDir", "D:\\Apps");
        registry.SetString(HKLM, cv, "ProgramFilesDir (x86)", "D:\\Apps32");
        registry.SetString(HKLM, cv, "CommonFilesDir", "D:\\Apps\\Shared");
        registry.SetString(HKLM, cv, "CommonFilesDir (x86)", "D:\\Apps32\\Shared");
        registry.SetString(HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                           "ProgramData", "%SystemDrive%\\Data", regtype::ExpandSz);
        registry.SetString(HKLM, kMachineEnv, "windir", "%SystemRoot%", regtype::ExpandSz);
        registry.SetString(HKLM, kMachineEnv, "Path", "%SystemRoot%\\system32;\"C:\\Quoted Tools\";;",
                           regtype::ExpandSz);
        registry.SetString(HKLM, kMachineEnv, "USERNAME", "SYSTEM");
        registry.SetString(HKLM, kMachineEnv, "ProgramFiles", "X:\\Stray");
        registry.SetString(HKCU, "Volatile Environment", "USERPROFILE", "C:\\Users\\bob");
        registry.SetString(HKCU, "Volatile Environment", "USERNAME", "bob");
        registry.SetString(HKCU, "Environment", "TEMP", "%USERPROFILE%\\Temp", regtype::ExpandSz);
        registry.SetString(HKCU, "Environment", "PATH", "%USERPROFILE%\\bin", regtype::ExpandSz);
        registry.SetString(HKCU, "Environment", "APP_HOME", "C:\\App");
    }
    std::string Value(const Environment& env, const char* name) {
        const std::string* value = env.Find(name);
        return value != nullptr ? *value : "<none>";
    }
    MemoryRegistry registry;
    MemorySystemInfo system;
};

TEST_F(EnvironmentRead, MachineUserAndVolatileValuesInWindowsOrder) {
    const Environment env = ReadEnvironment(registry, system, RegistryView::Bits64);
    EXPECT_EQ(Value(env, "SystemRoot"), "C:\\WINDOWS");
    EXPECT_EQ(Value(env, "windir"), "C:\\WINDOWS");
    EXPECT_EQ(Value(env, "SystemDrive"), "C:");
    EXPECT_EQ(Value(env, "ProgramData"), "C:\\Data");
    EXPECT_EQ(Value(env, "TEMP"), "C:\\Users\\bob\\Temp");
    EXPECT_EQ(Value(env, "APP_HOME"), "C:\\App");
    // The logon's own name wins over the machine key's "SYSTEM".
    EXPECT_EQ(Value(env, "USERNAME"), "bob");
    // The user's PATH follows the machine's; the folders come expanded, unquoted, without empty parts.
    EXPECT_EQ(env.PathFolders(), (std::vector<std::string>{"C:\\WINDOWS\\system32\\", "C:\\Quoted Tools\\",
                                                           "C:\\Users\\bob\\bin\\"}));
}

TEST_F(EnvironmentRead, EachViewHasItsOwnProgramFilesAndNoKeyOverridesThem) {
    const Environment native = ReadEnvironment(registry, system, RegistryView::Bits64);
    EXPECT_EQ(Value(native, "ProgramFiles"), "D:\\Apps");
    EXPECT_EQ(Value(native, "CommonProgramFiles"), "D:\\Apps\\Shared");
    EXPECT_EQ(Value(native, "ProgramFiles(x86)"), "D:\\Apps32");
    EXPECT_EQ(Value(native, "ProgramW6432"), "D:\\Apps");
    const Environment wow = ReadEnvironment(registry, system, RegistryView::Bits32);
    EXPECT_EQ(Value(wow, "ProgramFiles"), "D:\\Apps32");
    EXPECT_EQ(Value(wow, "CommonProgramFiles"), "D:\\Apps32\\Shared");
    EXPECT_EQ(Value(wow, "ProgramW6432"), "D:\\Apps");
    EXPECT_EQ(Value(wow, "CommonProgramW6432"), "D:\\Apps\\Shared");
}

TEST(EnvironmentReadOn32BitWindows, HasNoX86FoldersAndTheViewsAgree) {
    MemoryRegistry registry;
    MemorySystemInfo system;  // 32-bit Windows
    registry.SetString(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                       "C:\\Program Files");
    const Environment wow = ReadEnvironment(registry, system, RegistryView::Bits32);
    EXPECT_EQ(wow.Find("ProgramFiles(x86)"), nullptr);
    ASSERT_NE(wow.Find("ProgramFiles"), nullptr);
    EXPECT_EQ(*wow.Find("ProgramFiles"), "C:\\Program Files");
    EXPECT_EQ(*wow.Find("CommonProgramFiles"), "C:\\Program Files\\Common Files");
}

}  // namespace
}  // namespace korvane
