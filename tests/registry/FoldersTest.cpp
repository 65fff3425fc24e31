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

TEST(WindowsVersionTest, ClassIsZeroUntilAsked) {
    CountingSystemInfo system;
    WindowsVersion version(system);
    system.version = VersionRecord{2, 5, 1, 2600};
    EXPECT_EQ(version.Class(), 0);
    EXPECT_EQ(system.asked, 0);
    EXPECT_TRUE(version.Query());
    EXPECT_EQ(version.Class(), 6);
}

TEST(WindowsVersionTest, IsAskedOnceAndKept) {
    CountingSystemInfo system;
    WindowsVersion version(system);
    system.version = VersionRecord{2, 10, 0, 22631};
    EXPECT_TRUE(version.Query());
    system.version = VersionRecord{1, 4, 10, 0};
    EXPECT_TRUE(version.Query());
    EXPECT_EQ(system.asked, 1);
    EXPECT_EQ(version.Class(), 8);
    EXPECT_EQ(version.Remembered()->major, 10u);
}

TEST(WindowsVersionTest, AFailedQueryGivesClassZero) {
    CountingSystemInfo system;
    system.version = std::nullopt;
    WindowsVersion version(system);
    EXPECT_FALSE(version.Query());
    EXPECT_EQ(version.Class(), 0);
    EXPECT_FALSE(version.Remembered().has_value());
}

TEST(WindowsVersionTest, TwoStatesOnDifferentWindowsDoNotInterfere) {
    CountingSystemInfo xp;
    xp.version = VersionRecord{2, 5, 1, 2600};
    CountingSystemInfo windows98;
    windows98.version = VersionRecord{1, 4, 10, 0};
    WindowsVersion first(xp);
    WindowsVersion second(windows98);
    EXPECT_TRUE(first.Query());
    EXPECT_EQ(second.Class(), 0);  // the other state's answer is not this one's
    EXPECT_TRUE(second.Query());
    EXPECT_EQ(first.Class(), 6);
    EXPECT_EQ(second.Class(), 2);
    EXPECT_EQ(xp.asked, 1);
    EXPECT_EQ(windows98.asked, 1);
}

}  // namespace
}  // namespace korvane
