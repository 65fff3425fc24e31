// The console and the window walk the groups through one entry point, so they find the same entries
// even where only the walk's own set-up decides: a 32-bit korvanec on 64-bit Windows must see
// System32 as the window's scan does, not as its own thread would (SysWOW64).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/KorvanecFixture.h"
#include "scan/ScanPage.h"

namespace korvane::console {
namespace {

class SameWalkAsTheWindowTest : public KorvanecFixture {
protected:
    std::vector<std::string> WindowKeyNames() {
        UndoHistory history(state);
        IgnoreList ignoreList(memory.platform());
        ignoreList.Load();
        IgnorePage ignorePage(ignoreList);
        ScanPage page(state, history, ignoreList, ignorePage);
        page.FillScanGroups();
        page.btnStartScan.Click();
        EXPECT_TRUE(memory.ui().PumpUntil([&] { return !page.ScanErrorsThread.Active(); }));
        std::vector<std::string> names;
        for (int row = 0; row < page.lvErrors.Count(); ++row) names.push_back(page.lvErrors.SubItem(row, 0));
        return names;
    }
};

TEST_F(SameWalkAsTheWindowTest, The32BitBuildOn64BitWindowsSeesSystemFilesAsTheWindowDoes) {
    memory.system().Use64BitWindows10();
    memory.files().AddFile("C:\\WINDOWS\\system32\\only64.dll");
    memory.files().AddFile("C:\\WINDOWS\\SysWOW64\\only32.dll");
    memory.files().EmulateWow64Process("C:\\WINDOWS\\system32", "C:\\WINDOWS\\SysWOW64");
    registry.SetString(roots::LocalMachine, kAppPaths + "\\n64.exe", "", "C:\\WINDOWS\\system32\\only64.dll");
    registry.SetString(roots::LocalMachine,
                       "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\n32.exe", "",
                       "C:\\WINDOWS\\system32\\only32.dll");

    ASSERT_EQ(Run({"scan", "--format", "json"}), kExitFindings) << err.str();
    const std::vector<std::string> console = KeyNames();
    EXPECT_EQ(console, (std::vector<std::string>{kLm + kAppPaths + "\\gone.exe",
                                                 kLm + kSharedDlls + "\\C:\\Gone\\shared.dll"}));
    EXPECT_EQ(WindowKeyNames(), console);
}

}  // namespace
}  // namespace korvane::console
