// Root-key conversions (exact, case-sensitive, with their fall-backs) and the Windows version class,
// including the class of every NT 6.0 and later Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/RootKeys.h"
#include "registry/WindowsVersion.h"

namespace korvane {
namespace {

TEST(RootKeys, NamesAndAbbreviationsGoBothWays) {
    const HKey table[] = {roots::ClassesRoot, roots::CurrentUser,   roots::LocalMachine,
                          roots::Users,       roots::CurrentConfig, roots::DynData};
    const char* abbreviations[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC", "HKDD"};
    for (std::size_t i = 0; i < std::size(table); ++i) {
        EXPECT_EQ(RootKeyAbbreviation(table[i]), abbreviations[i]);
        EXPECT_EQ(RootKeyFromAbbreviation(abbreviations[i]), table[i]);
    }
    EXPECT_EQ(RootKeyName(roots::LocalMachine), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(RootKeyName(roots::DynData), "HKEY_DYN_DATA");
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER"), roots::CurrentUser);
    EXPECT_EQ(RootKeyFromName("HKEY_LOCAL_MACHINE"), roots::LocalMachine);
    EXPECT_EQ(RootKeyFromName("HKEY_USERS"), roots::Users);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_CONFIG"), roots::CurrentConfig);
}

TEST(RootKeys, UnknownInputsFallBackAsDocumented) {
    // Handles outside the table, the performance-data root among them, have no names.
    EXPECT_EQ(RootKeyName(roots::PerformanceData), "");
    EXPECT_EQ(RootKeyName(0), "");
    EXPECT_EQ(RootKeyAbbreviation(roots::PerformanceData), "");
    EXPECT_EQ(RootKeyAbbreviation(0x12345), "");
    // Every other full name, wrong case included, reads as the classes root.
    EXPECT_EQ(RootKeyFromName("hkey_local_machine"), roots::ClassesRoot);
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA"), roots::ClassesRoot);
    EXPECT_EQ(RootKeyFromName(""), roots::ClassesRoot);
    EXPECT_EQ(RootKeyFromName("HKEY_USERS\\x"), roots::ClassesRoot);
    EXPECT_EQ(RootKeyFromAbbreviation("hklm"), 0u);
    EXPECT_EQ(RootKeyFromAbbreviation(""), 0u);
    EXPECT_EQ(RootKeyFromAbbreviation("HKEY_LOCAL_MACHINE"), 0u);
}

TEST(RootKeys, BackupOrderIsTheFiveExportableRoots) {
    const std::vector<std::string> names(RootKeyNames.begin(), RootKeyNames.end());
    EXPECT_EQ(names, (std::vector<std::string>{"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                               "HKEY_USERS", "HKEY_CURRENT_CONFIG"}));
}

VersionRecord Version(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    return VersionRecord{platformId, major, minor, 0};
}

TEST(WindowsVersion, ClassesOfTheTable) {
    EXPECT_EQ(VersionClassOf(Version(1, 4, 0)), 1);
    EXPECT_EQ(VersionClassOf(Version(1, 4, 10)), 2);
    EXPECT_EQ(VersionClassOf(Version(1, 4, 90)), 3);
    EXPECT_EQ(VersionClassOf(Version(2, 3, 51)), 4);
    EXPECT_EQ(VersionClassOf(Version(2, 4, 0)), 4);
    EXPECT_EQ(VersionClassOf(Version(2, 5, 0)), 5);
    EXPECT_EQ(VersionClassOf(Version(2, 5, 1)), 6);
    EXPECT_EQ(VersionClassOf(Version(2, 5, 2)), 7);
}

TEST(WindowsVersion, EveryNtSixAndLaterIsClassEight) {
    EXPECT_EQ(VersionClassOf(Version(2, 6, 0)), 8);   // Vista
    EXPECT_EQ(VersionClassOf(Version(2, 6, 3)), 8);   // 8.1
    EXPECT_EQ(VersionClassOf(Version(2, 10, 0)), 8);  // 10 and 11
}

TEST(WindowsVersion, EverythingElseIsClassZero) {
    EXPECT_EQ(VersionClassOf(std::nullopt), 0);
    EXPECT_EQ(VersionClassOf(Version(1, 4, 20)), 0);
    EXPECT_EQ(VersionClassOf(Version(1, 5, 0)), 0);
    EXPECT_EQ(VersionClassOf(Version(1, 3, 10)), 0);
    EXPECT_EQ(VersionClassOf(Version(2, 5, 3)), 0);
    EXPECT_EQ(VersionClassOf(Version(0, 4, 0)), 0);  // Win32s
    EXPECT_EQ(VersionClassOf(Version(3, 6, 0)), 0);  // CE
}

}  // namespace
}  // namespace korvane
