// The system, Windows and Program Files folders as the path helpers read them, ReplaceFirst, and the
// Windows version asked once and remembered.
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystemInfo.h"
#include "registry/Folders.h"
#include "registry/WindowsVersion.h"

namespace korvane {
namespace {

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

TEST(Folders, SystemAndWindowsFoldersEndInABackslash) {
    MemorySystemInfo system;
    system.systemFolder = "C:\\WINDOWS\\system32";
    EXPECT_EQ(SystemFolder(system), "C:\\WINDOWS\\system32\\");
    EXPECT_EQ(WindowsFolder(system), "C:\\WINDOWS\\");

    system.systemFolder = "D:\\WinNT\\System32\\";
    EXPECT_EQ(SystemFolder(system), "D:\\WinNT\\System32\\");
    EXPECT_EQ(WindowsFolder(system), "D:\\WinNT\\");

    // The drive's own "\" is passed over, whatever the depth.
    system.systemFolder = "C:\\System";
    EXPECT_EQ(WindowsFolder(system), "C:\\System\\");
    system.systemFolder = "C:\\";
    EXPECT_EQ(SystemFolder(system), "C:\\");
    EXPECT_EQ(WindowsFolder(system), "C:\\");
    system.systemFolder = "";
    EXPECT_EQ(SystemFolder(system), "");
}

TEST(Folders, ProgramFilesFolderComesFromTheRegistry) {
    MemoryRegistry registry;
    EXPECT_EQ(ProgramFilesFolder(registry), "");  // no key

    registry.CreateKey(roots::LocalMachine, kCurrentVersion);
    EXPECT_EQ(ProgramFilesFolder(registry), "");  // no value: no lone "\"

    registry.SetString(roots::LocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    EXPECT_EQ(ProgramFilesFolder(registry), "C:\\Program Files\\");
    registry.SetString(roots::LocalMachine, kCurrentVersion, "ProgramFilesDir", "E:\\Apps\\");
    EXPECT_EQ(ProgramFilesFolder(registry), "E:\\Apps\\");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(Folders, ProgramFilesFolderIsReadWithoutWriteRights) {
    // Users who are not administrators cannot open this key for writing; the folder must still be found,
    // or every %ProgramFiles% reference would look like a missing file.
    MemoryRegistry registry;
    registry.SetString(roots::LocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE");
    EXPECT_EQ(ProgramFilesFolder(registry), "C:\\Program Files\\");
}

TEST(Folders, ProgramFilesFolderOfAnotherTypeIsEmptyNotAnError) {
    MemoryRegistry registry;
    registry.SetDword(roots::LocalMachine, kCurrentVersion, "ProgramFilesDir", 1);
    EXPECT_EQ(ProgramFilesFolder(registry), "");
}

TEST(Folders, ReplaceFirstReplacesOnlyTheFirstExactMatch) {
    EXPECT_EQ(ReplaceFirst("%a%", "X", "%a%\\%a%"), "X\\%a%");
    EXPECT_EQ(ReplaceFirst("%A%", "X", "%a%\\b"), "%a%\\b");  // case counts
    EXPECT_EQ(ReplaceFirst("%a%", "", "%a%\\b"), "\\b");
    EXPECT_EQ(ReplaceFirst("zz", "X", "abc"), "abc");
    EXPECT_EQ(ReplaceFirst("", "X", "abc"), "abc");
    EXPECT_EQ(ReplaceFirst("abc", "X", "ab"), "ab");
}

// Counts how often the version is asked for.
class CountingSystemInfo : public MemorySystemInfo {
public:
    int asked = 0;
    std::optional<VersionRecord> windowsVersion() override {
        ++asked;
        return MemorySystemInfo::windowsVersion();
    }
};

class WindowsVersionQuery : public ::testing::Test {
protected:
    void SetUp() override { ResetWindowsVersionForTests(); }
    void TearDown() override { ResetWindowsVersionForTests(); }
    CountingSystemInfo system;
};

TEST_F(WindowsVersionQuery, ClassIsZeroUntilAsked) {
    EXPECT_EQ(WindowsVersionClass(), 0);
    system.version = VersionRecord{2, 5, 1, 2600};
    EXPECT_TRUE(QueryWindowsVersion(system));
    EXPECT_EQ(WindowsVersionClass(), 6);
}

TEST_F(WindowsVersionQuery, IsAskedOncePerProcess) {
    system.version = VersionRecord{2, 10, 0, 22631};
    EXPECT_TRUE(QueryWindowsVersion(system));
    system.version = VersionRecord{1, 4, 10, 0};
    EXPECT_TRUE(QueryWindowsVersion(system));
    EXPECT_EQ(system.asked, 1);
    EXPECT_EQ(WindowsVersionClass(), 8);
}

TEST_F(WindowsVersionQuery, AFailedQueryGivesClassZero) {
    system.version = std::nullopt;
    EXPECT_FALSE(QueryWindowsVersion(system));
    EXPECT_EQ(WindowsVersionClass(), 0);
}

}  // namespace
}  // namespace korvane
