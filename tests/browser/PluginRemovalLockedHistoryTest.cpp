// A Backup.xml that could be neither read nor set aside at start-up locks the history: a plug-in
// removal then deletes nothing, leaves no entry behind, says why, and never replaces the file.
#include "browser/PluginTestSupport.h"

namespace korvane::testing {
namespace {

using PluginRemovalLockedHistoryTest = PluginTest;

TEST_F(PluginRemovalLockedHistoryTest, StopsTheRemovalWithoutEntriesAndLeavesTheFileAlone) {
    memory.files().AddFile("C:\\Korvane\\Backup.xml", "<Korvane><ELEMENT", 0);
    memory.files().FailDelete("C:\\Korvane\\Backup.xml");
    history.Load();
    memory.files().ClearFailures();
    ASSERT_TRUE(history.Locked());
    memory.dialogs().Clear();
    AddMenuExt("Menu", "C:\\m.htm");
    page.ScanToolbar_BitBtn.Click();
    page.lvBHO.SetAllChecked(true);
    page.Del_SpeedButton.Click();
    EXPECT_EQ(history.EntryCount(), 0);
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kMenuExt + "\\Menu"));
    EXPECT_NE(memory.dialogs().Records().back().text.find("could not be read when Korvane started"),
              std::string::npos);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_NE(memory.dialogs().Records().back().text.find("no plug-in was removed"), std::string::npos);
    EXPECT_EQ(*memory.files().readFile("C:\\Korvane\\Backup.xml"), "<Korvane><ELEMENT");
}

}  // namespace
}  // namespace korvane::testing
