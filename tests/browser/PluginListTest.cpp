// The plug-in list against the in-memory registry: what each source lists and leaves out, the names
// shown, the sort, the kind check boxes, value texts by type, and sources that cannot be read.
#include "browser/PluginTestSupport.h"
#include "browser/Toolbar.h"
#include "registry/RegistryAccess.h"

namespace korvane::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(PluginTest, EachKindIsListedFromItsSourcesWithItsEntryAndServer) {
    AddToolbarAll("{A1}", "Search Helper", "C:\\Program Files\\sh\\sh.dll");
    registry.SetDword(HKLM, kToolbarAll, "Locked", 1);  // a setting, not a toolbar
    AddToolbarUser("{U1}", "Address", "%SystemRoot%\\system32\\browseui.dll");
    AddExtension("{E1}", "Grabber", "C:\\grab\\GRAB.DLL");
    AddExtension("{E2}", "Runner", "C:\\run\\runner.exe");  // not an in-process server: left out
    AddExtension("{E3}", "Gone", "");                       // no server: left out
    AddClass("{B1}", "Research", "C:\\WINDOWS\\system32\\shdocvw.dll");
    registry.CreateKey(HKLM, kBarsAll + "\\{B1}");
    AddClass("{B2}", "Notes Bar", "C:\\notes\\bar.dll");
    registry.CreateKey(HKCU, kBarsUser + "\\{B2}");
    AddMenuExt("E&xport to Microsoft Excel", "res://C:\\office\\EXCEL.EXE/3000");
    AddClass("{D1}", "Download Accelerator", "C:\\dl\\dl.dll");
    registry.SetString(HKCU, kIe, "DownloadUI", "{D1}");

    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(Rows(), (Strings{
                          "Address Toolbar|Toolbar CURRENT USER|{U1}|%SystemRoot%\\system32\\browseui.dll",
                          "Download Accelerator|Download Handler|{D1}|C:\\dl\\dl.dll",
                          "Export to Microsoft Excel|Menu Extensions|" + std::string(kMenuExtEntry) +
                              "|res://C:\\office\\EXCEL.EXE/3000",
                          "Grabber|Browser Extensions|{E1}|C:\\grab\\GRAB.DLL",
                          "Notes Bar|Exp. CURRENT USER|{B2}|C:\\notes\\bar.dll",
                          "Research|Exp. ALL USER|{B1}|C:\\WINDOWS\\system32\\shdocvw.dll",
                          "Search Helper Toolbar|Toolbar ALL USER|{A1}|C:\\Program Files\\sh\\sh.dll",
                      }));
    for (const ListItem& row : page.lvBHO.Items()) EXPECT_FALSE(row.checked);
    // The menu extension keeps its key's own name, "&" included, out of sight.
    EXPECT_EQ(page.lvBHO.Tag<PluginEntry>(RowOf("Export to Microsoft Excel"))->keyName,
              "E&xport to Microsoft Excel");
}

TEST_F(PluginTest, NamesAreCleanedAndUnknownClassesShownAsSuch) {
    AddToolbarAll("{L}", "&Links");
    AddToolbarAll("{AMP}", "&");
    AddToolbarAll("{BLANK}", "   ");
    registry.SetString(HKLM, kToolbarAll, "{NOCLASS}", "");  // no registration at all
    AddToolbarUser("{PAD}", " Pad ");
    AddExtension("{E}", nullptr, "C:\\x.dll");  // no display name
    registry.CreateKey(HKCU, kExtStats + "\\{UNREGISTERED}");

    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(Rows(), (Strings{
                          " Pad  Toolbar|Toolbar CURRENT USER|{PAD}|C:\\t.dll",  // blanks kept
                          "(Unknown)|Browser Extensions|{E}|C:\\x.dll",
                          "(Unknown) Toolbar|Toolbar ALL USER|{BLANK}|C:\\t.dll",
                          "(Unknown) Toolbar|Toolbar ALL USER|{NOCLASS}|",
                          "Links Toolbar|Toolbar ALL USER|{L}|C:\\t.dll",
                          "Unknown Toolbar Toolbar|Toolbar ALL USER|{AMP}|C:\\t.dll",
                      }));
    EXPECT_EQ(CleanPluginName("A&&B&"), "AB");
    EXPECT_EQ(CleanPluginName(""), "Unknown Toolbar");
}

TEST_F(PluginTest, BlankEntriesAddNoRow) {
    ListView list("list");
    AddPluginRow(list, pluginkind::DownloadHandler, "Name", "  ", "C:\\p.dll");
    AddPluginRow(list, pluginkind::DownloadHandler, "Name", "", "C:\\p.dll");
    EXPECT_EQ(list.Count(), 0);
    AddPluginRow(list, pluginkind::DownloadHandler, "Name", " {X} ", "");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.SubItem(0, 1), " {X} ");

    // No DownloadUI value, or an empty one: no download-handler row.
    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(page.lvBHO.Count(), 0);
    registry.SetString(HKCU, kIe, "DownloadUI", "");
    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(page.lvBHO.Count(), 0);
}

TEST_F(PluginTest, KindBoxesRebuildTheListWithTheChosenKindsOnly) {
    AddToolbarAll("{A1}", "Tb");
    AddExtension("{E1}", "Ext", "C:\\e.dll");
    AddClass("{B1}", "Bar", "C:\\b.dll");
    registry.CreateKey(HKLM, kBarsAll + "\\{B1}");
    AddMenuExt("Menu", "C:\\m.htm");
    AddClass("{D1}", "Dl", "C:\\d.dll");
    registry.SetString(HKCU, kIe, "DownloadUI", "{D1}");
    page.ScanToolbar_BitBtn.Click();
    ASSERT_EQ(page.lvBHO.Count(), 5);
    page.lvBHO.UserToggleCheck(0);

    page.DisplayBHO_CheckBox.Click();
    EXPECT_EQ(Rows(), (Strings{"Bar|Exp. ALL USER|{B1}|C:\\b.dll", "Dl|Download Handler|{D1}|C:\\d.dll",
                               "Menu|Menu Extensions|" + std::string(kMenuExtEntry) + "|C:\\m.htm",
                               "Tb Toolbar|Toolbar ALL USER|{A1}|C:\\t.dll"}));
    for (const ListItem& row : page.lvBHO.Items()) EXPECT_FALSE(row.checked);  // rebuilt, unchecked

    for (CheckBox* box : {&page.DisplayToolbar_CheckBox, &page.DisplayExpBar_CheckBox,
                          &page.DisplayMenuExt_CheckBox, &page.DisplayDownHandle_CheckBox})
        box->Click();
    EXPECT_EQ(page.lvBHO.Count(), 0);
    page.DisplayMenuExt_CheckBox.Click();
    EXPECT_EQ(Rows(), (Strings{"Menu|Menu Extensions|" + std::string(kMenuExtEntry) + "|C:\\m.htm"}));
}

TEST_F(PluginTest, RowsAreSortedByTheSystemsComparisonWhateverTheSourceOrder) {
    AddToolbarAll("{1}", "zeta");
    AddToolbarAll("{2}", "Alpha");
    AddMenuExt("beta", "");
    AddMenuExt("Gamma", "");
    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(page.lvBHO.Item(0).caption, "Alpha Toolbar");
    EXPECT_EQ(page.lvBHO.Item(1).caption, "beta");
    EXPECT_EQ(page.lvBHO.Item(2).caption, "Gamma");
    EXPECT_EQ(page.lvBHO.Item(3).caption, "zeta Toolbar");
}

TEST_F(PluginTest, ValueTextsFollowTheValueType) {
    const std::string key = "Software\\Korvane\\Values";
    registry.SetString(HKCU, key, "sz", "C:\\a");
    registry.SetString(HKCU, key, "expand", "%WINDIR%\\b.dll", regtype::ExpandSz);
    registry.SetDword(HKCU, key, "number", 0xFFFFFFFE);
    registry.SetValue(HKCU, key, "bytes", RegValue{regtype::Binary, {0x0A, 0xFF, 0x00}});
    registry.SetValue(HKCU, key, "multi", RegValue{regtype::MultiSz, {'a', 0, 0}});
    registry.SetValue(HKCU, key, "max", RegValue{regtype::Binary, std::vector<std::uint8_t>(255, 0xAB)});
    registry.SetValue(HKCU, key, "toolong", RegValue{regtype::Binary, std::vector<std::uint8_t>(256, 1)});
    registry.SetString(HKCU, key, "", "default");

    auto read = [&](const std::string& name) { return ReadValueText(registry, HKCU, "\\" + key, name); };
    EXPECT_EQ(read("sz"), "C:\\a");
    EXPECT_EQ(read("expand"), "%WINDIR%\\b.dll");  // unexpanded
    EXPECT_EQ(read("number"), "-2");
    EXPECT_EQ(read("bytes"), "0A,FF,00");
    EXPECT_EQ(read("multi"), "");
    EXPECT_EQ(read("max").size(), 255u * 3 - 1);
    EXPECT_EQ(read(""), "default");
    EXPECT_EQ(read("absent"), "");
    EXPECT_EQ(ReadValueText(registry, HKCU, "\\Software\\Absent", "sz"), "");
    EXPECT_THROW(
        {
            try {
                read("toolong");
            } catch (const RegistryError& error) {
                EXPECT_STREQ(error.what(), "Invalid data type for 'toolong'");
                throw;
            }
        },
        RegistryError);
}

TEST_F(PluginTest, OversizedBinaryStopsTheListingButTheListStaysUsable) {
    AddToolbarAll("{A1}", "First");
    registry.SetValue(HKCR, "CLSID\\{A2}", "", RegValue{regtype::Binary, std::vector<std::uint8_t>(300, 1)});
    registry.SetString(HKLM, kToolbarAll, "{A2}", "");
    EXPECT_THROW(page.ScanToolbar_BitBtn.Click(), RegistryError);
    EXPECT_EQ(Rows(), (Strings{"First Toolbar|Toolbar ALL USER|{A1}|C:\\t.dll"}));  // rows before it stay
    EXPECT_FALSE(page.lvBHO.Updating());
}

TEST_F(PluginTest, UnreadableSourcesAreSkippedAndTheOthersStillRead) {
    AddToolbarAll("{A1}", "Machine");
    AddToolbarUser("{U1}", "User");
    AddMenuExt("Menu", "");
    registry.DenyOpen(HKLM, kToolbarAll);
    registry.DenyOpen(HKCU, kMenuExt);
    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(Rows(), (Strings{"User Toolbar|Toolbar CURRENT USER|{U1}|C:\\t.dll"}));

    // Read-only access is enough: the machine-wide keys of a standard user list all the same.
    registry.ClearDenials();
    registry.DenyWrite(HKLM, "SOFTWARE");
    registry.DenyWrite(HKCR, "CLSID");
    page.ScanToolbar_BitBtn.Click();
    EXPECT_EQ(page.lvBHO.Count(), 3);
    EXPECT_EQ(page.lvBHO.Item(RowOf("Machine Toolbar")).subItems.at(2), "C:\\t.dll");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace korvane::testing
