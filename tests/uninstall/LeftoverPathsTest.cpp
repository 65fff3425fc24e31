// Reading what a value or a shortcut names, as the leftover scan compares it.
#include <gtest/gtest.h>

#include "uninstall/LeftoverPaths.h"
#include "uninstall/LeftoverScenario.h"
#include "uninstall/ShellLink.h"

namespace korvane::testing {
namespace {

TEST_F(LeftoverTest, PathNamedByTakesTheFileAWindowsValueNames) {
    const Environment p = UserEnvironment(memory.platform());
    const std::string app = "C:\\Program Files\\App\\app.exe";
    EXPECT_EQ(PathNamedBy(p, "\"" + app + "\" /S --x=\"y\""), app);
    EXPECT_EQ(PathNamedBy(p, app + " /S"), app);
    EXPECT_EQ(PathNamedBy(p, "  " + app + ",-153"), app);
    EXPECT_EQ(PathNamedBy(p, "C:\\App\\lib.DLL,0"), "C:\\App\\lib.DLL");
    EXPECT_EQ(PathNamedBy(p, "C:/App/app.exe"), "C:\\App\\app.exe");
    EXPECT_EQ(PathNamedBy(p, "C:\\App\\Data\\"), "C:\\App\\Data");
    EXPECT_EQ(PathNamedBy(p, "rundll32.exe \"C:\\App\\x.dll\",Entry 1"), "C:\\App\\x.dll");
    EXPECT_EQ(PathNamedBy(p, "C:\\WINDOWS\\system32\\rundll32.exe C:\\App\\x.dll,Entry"), "C:\\App\\x.dll");
    EXPECT_EQ(PathNamedBy(p, "%ProgramFiles%\\App\\app.exe"), app);
    EXPECT_EQ(PathNamedBy(p, "%ProgramFiles(x86)%\\App\\a.exe"), "C:\\Program Files (x86)\\App\\a.exe");
    EXPECT_EQ(PathNamedBy(p, "%SystemRoot%\\x.exe"), "C:\\WINDOWS\\x.exe");
    // What cannot be told is nothing, never a path that would look missing.
    for (const char* unknown : {"%APP_HOME%\\a.exe", "notepad.exe", "app.exe /S", "https://example.com/",
                                "\\\\server\\share\\a.exe", "", "   ", "%ProgramFiles"})
        EXPECT_EQ(PathNamedBy(p, unknown), std::nullopt) << unknown;
}

TEST_F(LeftoverTest, PathNamedBySeesTheUsersOwnVariables) {
    memory.registry().SetString(roots::CurrentUser, "Environment", "APP_HOME", "%SystemDrive%\\Apps\\Home",
                                regtype::ExpandSz);
    const Environment p = UserEnvironment(memory.platform());
    EXPECT_EQ(PathNamedBy(p, "%APP_HOME%\\a.exe /uninstall"), "C:\\Apps\\Home\\a.exe");
    EXPECT_EQ(PathNamedBy(p, "\"%LocalAppData%\\App\\u.exe\""),
              memory.system().localAppDataFolder + "\\App\\u.exe");
    // A reference that is still not known after that stays "cannot tell".
    EXPECT_EQ(PathNamedBy(p, "%APP_HOME%\\%NOPE%\\a.exe"), std::nullopt);
}

TEST(LeftoverPathTest, InsideMeansBelowAtAFolderBoundary) {
    EXPECT_TRUE(IsInside("C:\\App\\a.exe", "C:\\App"));
    EXPECT_TRUE(IsInside("c:\\app\\sub\\a.exe", "C:\\App\\"));
    EXPECT_FALSE(IsInside("C:\\App", "C:\\App"));
    EXPECT_TRUE(IsSameOrInside("C:\\App\\", "C:\\App"));
    EXPECT_FALSE(IsSameOrInside("C:\\Apple\\a.exe", "C:\\App"));
    EXPECT_FALSE(IsSameOrInside("C:\\App", ""));
    EXPECT_EQ(FolderOf("C:\\App\\a.exe"), "C:\\App");
    EXPECT_EQ(FolderOf("C:\\a.exe"), "C:\\");
}

TEST(ShellLinkTest, TheTargetComesFromTheLocationBlock) {
    EXPECT_EQ(ShellLinkTarget(ShellLinkBytes("C:\\App\\app.exe")), "C:\\App\\app.exe");
    EXPECT_EQ(ShellLinkTarget(ShellLinkBytes("C:\\App\\app.exe", false)), "C:\\App\\app.exe");
    EXPECT_EQ(ShellLinkTarget(ShellLinkBytes("C:\\Programme\\Café\\app.exe")),
              "C:\\Programme\\Café\\app.exe");
    // ANSI outside ASCII depends on the writer's code page: not told.
    EXPECT_EQ(ShellLinkTarget(ShellLinkBytes("C:\\Caf\xE9\\app.exe", false)), std::nullopt);
    // Broken or foreign files never read past their end.
    const std::string link = ShellLinkBytes("C:\\App\\app.exe");
    for (std::size_t size = 0; size < link.size() - 4; size += 7)
        EXPECT_NO_THROW(ShellLinkTarget(link.substr(0, size))) << size;
    EXPECT_EQ(ShellLinkTarget(link.substr(0, 0x60)), std::nullopt);
    EXPECT_EQ(ShellLinkTarget("MZ not a link at all"), std::nullopt);
    std::string noInfo = link;
    noInfo[0x14] = 0;  // no location block: a shell item only
    EXPECT_EQ(ShellLinkTarget(noInfo), std::nullopt);
}

}  // namespace
}  // namespace korvane::testing
