// A plug-in whose entries the registry would not delete (machine-wide ones without administrator
// rights) was left installed without a word: the list rebuilt after the removal simply showed it again.
// Now the user hears how many add-ons could not be removed, as the repair does for its rows.
#include "browser/PluginTestSupport.h"

namespace korvane::testing {
namespace {

using PluginRemovalRefusedDeletionTest = PluginTest;

TEST_F(PluginRemovalRefusedDeletionTest, RefusedDeletionsAreCountedAndTold) {
    AddToolbarAll("{A1}", "Machine Bar");
    AddToolbarAll("{A2}", "Other Machine Bar");
    AddExtension("{E1}", "Grabber", "C:\\grab\\grab.dll");
    registry.DenyWrite(HKLM, kToolbarAll);  // the toolbar values stay; their classes could go
    page.ScanToolbar_BitBtn.Click();
    page.lvBHO.SetAllChecked(true);
    page.Del_SpeedButton.Click();

    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kExtStats + "\\{E1}"));
    EXPECT_TRUE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{A1}"));
    EXPECT_TRUE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{A2}"));
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    const std::string text = memory.dialogs().Records().back().text;
    EXPECT_EQ(text.rfind("2 add-ons could not be removed from the registry", 0), 0u) << text;
    EXPECT_NE(text.find("administrator rights"), std::string::npos) << text;
    // Everything that went is in the history, so nothing is lost either way.
    EXPECT_EQ(history.EntryCount(), 3);

    // A removal where everything goes says nothing.
    registry.ClearDenials();
    memory.dialogs().Clear();
    page.ScanToolbar_BitBtn.Click();
    page.lvBHO.SetAllChecked(true);
    page.Del_SpeedButton.Click();
    EXPECT_FALSE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{A1}"));
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 0u);
}

}  // namespace
}  // namespace korvane::testing
