// Where the 32-bit view of a key lives, for the keys Windows redirects and the ones it shares.
#include <gtest/gtest.h>

#include "registry/RegistryViews.h"

namespace korvane {
namespace {

TEST(RegistryViews, RedirectedKeysGetTheirWow6432NodePath) {
    EXPECT_EQ(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"),
              "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(
        Wow64PathOf(roots::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\"),
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
    EXPECT_EQ(Wow64PathOf(roots::LocalMachine, "SOFTWARE"), "SOFTWARE\\Wow6432Node");
    EXPECT_EQ(Wow64PathOf(roots::ClassesRoot, "CLSID\\{1}"), "Wow6432Node\\CLSID\\{1}");
    EXPECT_EQ(Wow64PathOf(roots::ClassesRoot, "clsid"), "Wow6432Node\\clsid");
    EXPECT_EQ(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Classes\\CLSID"),
              "SOFTWARE\\Classes\\Wow6432Node\\CLSID");
    EXPECT_EQ(Wow64PathOf(roots::CurrentUser, "Software\\Classes\\Interface\\{2}"),
              "Software\\Classes\\Wow6432Node\\Interface\\{2}");
}

TEST(RegistryViews, SharedKeysAndPathsAlreadyInTheViewHaveNone) {
    EXPECT_FALSE(Wow64PathOf(roots::ClassesRoot, ".txt"));
    EXPECT_FALSE(Wow64PathOf(roots::ClassesRoot, "CLSIDX"));  // a part, not a prefix of letters
    EXPECT_FALSE(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Classes\\.txt"));
    EXPECT_FALSE(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"));
    // App Paths is one key for both views since Windows 7: its Wow6432Node path is a second name.
    EXPECT_FALSE(
        Wow64PathOf(roots::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"));
    EXPECT_FALSE(
        Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"));
    EXPECT_FALSE(
        Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList"));
    EXPECT_TRUE(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App PathsX"));
    EXPECT_FALSE(Wow64PathOf(roots::LocalMachine, "SYSTEM\\ControlSet001\\Services"));
    EXPECT_FALSE(Wow64PathOf(roots::LocalMachine, "SOFTWAREX\\A"));
    EXPECT_FALSE(Wow64PathOf(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_FALSE(Wow64PathOf(roots::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft"));
    EXPECT_FALSE(Wow64PathOf(roots::ClassesRoot, "Wow6432Node\\CLSID"));
    EXPECT_TRUE(IsWow64Path("SOFTWARE\\WOW6432Node\\X"));
    EXPECT_FALSE(IsWow64Path("SOFTWARE\\Wow6432NodeX"));
}

}  // namespace
}  // namespace korvane
