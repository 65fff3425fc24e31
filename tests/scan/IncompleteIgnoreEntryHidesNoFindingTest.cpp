// A hand-edited ignore.xml entry lacking VALUE matched nothing when AddScanError asked, but the scan's
// batched ignore test read it as "ROOT\KEY\" and so hid the finding of a key's default value.
#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

TEST_F(ScanPageTest, AnIgnoreEntryLackingValueHidesNoDefaultValueFinding) {
    const std::string helpKey = "SOFTWARE\\Microsoft\\Windows\\Help";
    // The default value of the help key names a folder that is gone: filed as "...\Help\".
    memory.registry().SetString(roots::LocalMachine, helpKey, "", "C:\\GoneHelp");
    XmlElement partial = ignoreList.Document().DocumentElement().AppendChild("ERROR");
    partial.SetAttribute("ROOT", "HKEY_LOCAL_MACHINE");
    partial.SetAttribute("KEY", helpKey);
    const KeyName defaultValue = KeyName::Value(roots::LocalMachine, helpKey, "");
    const std::string keyName = "HKEY_LOCAL_MACHINE\\" + helpKey + "\\";
    ASSERT_EQ(defaultValue.Text(), keyName);
    ASSERT_FALSE(ignoreList.Holds(defaultValue));

    CheckOnly({2});
    RunScan();
    EXPECT_THAT(Column(0), ::testing::ElementsAre(keyName));
    EXPECT_EQ(page.lvScanGroups.SubItem(2, 0), "1");

    // The complete entry still hides it, in the batched test and in AddScanError alike.
    partial.SetAttribute("VALUE", "");
    RunScan();
    EXPECT_EQ(page.lvErrors.Count(), 0);
    EXPECT_FALSE(page.AddScanError(ScanFinding{2, "Help File", defaultValue, "C:\\GoneHelp\\", ""}));
}

}  // namespace
}  // namespace korvane::testing
