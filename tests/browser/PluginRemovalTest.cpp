// Plug-in removal against the in-memory platform: what each kind records and deletes, the refusals
// and their messages, one history entry per checked row, shared classes, the write-ahead save, and
// restoring a removed add-on from the history.
#include <memory>

#include "browser/PluginRemoval.h"
#include "browser/PluginTestSupport.h"
#include "browser/Toolbar.h"
#include "support/ForwardingRegistry.h"
#include "support/WatchingRegistry.h"

namespace korvane::testing {
namespace {

using Strings = std::vector<std::string>;

class PluginRemovalTest : public PluginTest {
protected:
    void Remove() { page.Del_SpeedButton.Click(); }
    // NAME|TYPE|PATH of the history entry at `index`.
    std::string Entry(int index) {
        XmlElement entry = History().Child(index);
        return entry.Attribute("NAME") + "|" + entry.Attribute("TYPE") + "|" + entry.Attribute("PATH");
    }
};

TEST_F(PluginRemovalTest, BrowserExtensionRecordsAndDeletesItsClassAndStatsKeys) {
    AddExtension("{E1}", "Grabber", "C:\\grab\\grab.dll");
    AddExtension("{E2}", "Keeper", "C:\\keep\\keep.dll");
    page.ScanToolbar_BitBtn.Click();
    Check("Grabber");
    Remove();

    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{E1}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kExtStats + "\\{E1}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kExtStats));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{E2}"));
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(Entry(0), "Grabber|Browser Extensions|C:\\grab\\grab.dll");
    EXPECT_EQ(
        Items(History().Child(0)),
        (Strings{
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{E1}|||",
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{E1}||rdString|Grabber",
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{E1}\\InprocServer32|||",
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{E1}\\InprocServer32||rdString|C:\\\\grab\\\\grab."
            "dll",
            "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{E1}\\InprocServer32|ThreadingModel|rdString|"
            "Apartment",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{E1}|||",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{E1}\\iexplore|||",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{E1}\\iexplore|"
            "Flags|rdInteger|00000004"}));
    EXPECT_EQ(Rows(), (Strings{"Keeper|Browser Extensions|{E2}|C:\\keep\\keep.dll"}));  // rebuilt

    // Restore History writes both key trees back, the class where it was.
    ASSERT_EQ(history.EntryCount(), 1);
    history.RestoreEntry(0);
    EXPECT_EQ(registry.GetString(HKLM, "Software\\Classes\\CLSID\\{E1}\\InprocServer32", ""),
              "C:\\grab\\grab.dll");
    EXPECT_EQ(registry.GetString(HKCR, "CLSID\\{E1}\\InprocServer32", ""), "C:\\grab\\grab.dll");
    EXPECT_EQ(registry.GetValue(HKCU, kExtStats + "\\{E1}\\iexplore", "Flags")->type, regtype::Dword);
    page.ScanToolbar_BitBtn.Click();
    EXPECT_GE(RowOf("Grabber"), 0);
}

TEST_F(PluginRemovalTest, ToolbarsAndTheDownloadHandlerLoseTheirValueAndClass) {
    AddToolbarAll("{A1}", "Machine Bar");
    AddToolbarUser("{U1}", "User Bar");
    AddClass("{D1}", "Dl", "C:\\d.dll");
    registry.SetString(HKCU, kIe, "DownloadUI", "{D1}");
    registry.SetString(HKCU, kIe, "Other", "kept");
    page.ScanToolbar_BitBtn.Click();
    Check("Machine Bar Toolbar");
    Check("User Bar Toolbar");
    Check("Dl");
    Remove();

    for (const char* id : {"{A1}", "{U1}", "{D1}"})
        EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\" + std::string(id)));
    EXPECT_FALSE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{A1}"));
    EXPECT_FALSE(registry.ValueExistsRaw(HKCU, kToolbarUser, "{U1}"));
    EXPECT_FALSE(registry.ValueExistsRaw(HKCU, kIe, "DownloadUI"));
    EXPECT_TRUE(registry.ValueExistsRaw(HKCU, kIe, "Other"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kToolbarUser));
    EXPECT_EQ(page.lvBHO.Count(), 0);

    // Rows from the last to the first: the list is sorted Dl, Machine Bar, User Bar.
    ASSERT_EQ(History().ChildCount(), 3);
    EXPECT_EQ(Entry(0), "User Bar Toolbar|Toolbar CURRENT USER|C:\\t.dll");
    EXPECT_EQ(Entry(1), "Machine Bar Toolbar|Toolbar ALL USER|C:\\t.dll");
    EXPECT_EQ(Entry(2), "Dl|Download Handler|C:\\d.dll");
    const Strings user = Items(History().Child(0));
    ASSERT_EQ(user.size(), 6u);  // the class key, its value, its server key and two values; the toolbar
    EXPECT_EQ(user.back(),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser|{U1}|"
              "rdBinary|01,02,03");
    EXPECT_EQ(Items(History().Child(1)).back(),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar|{A1}|rdString|");
    EXPECT_EQ(Items(History().Child(2)).back(),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer|DownloadUI|rdString|{D1}");

    // Restoring the download handler writes DownloadUI back as a string.
    history.RestoreEntry(2);
    EXPECT_EQ(registry.GetString(HKCU, kIe, "DownloadUI"), "{D1}");
    EXPECT_EQ(registry.GetValue(HKCU, kIe, "DownloadUI")->type, regtype::Sz);
}

TEST_F(PluginRemovalTest, RefusedRowsKeepTheirEntriesLeaveAnEmptyHistoryEntryAndShowTheirMessage) {
    AddToolbarUser("{LINKS}", "&Links");
    AddToolbarAll("{LINKS-ALL}", "Links");
    AddClass("{HIST}", "History", "C:\\WINDOWS\\system32\\SHDOCVW.DLL");
    registry.CreateKey(HKCU, kBarsUser + "\\{HIST}");
    AddClass("{SRCH}", "Search", "%SystemRoot%\\system32\\browseui.dll");
    registry.CreateKey(HKLM, kBarsAll + "\\{SRCH}");
    page.ScanToolbar_BitBtn.Click();
    Check("Links Toolbar", pluginkind::ToolbarCurrentUser);
    Check("Links Toolbar", pluginkind::ToolbarAllUsers);  // machine-wide: removed without a word
    Check("History");
    Check("Search");
    Remove();

    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{LINKS}"));
    EXPECT_TRUE(registry.ValueExistsRaw(HKCU, kToolbarUser, "{LINKS}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{HIST}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kBarsUser + "\\{HIST}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kBarsAll + "\\{SRCH}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{LINKS-ALL}"));
    EXPECT_FALSE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{LINKS-ALL}"));

    EXPECT_EQ(memory.dialogs().Texts(),
              (Strings{"The default Explorer bars such as History, Favourite, Search - cannot be deleted",
                       "Links and Address bar cannot be delete. Sorry",
                       "The default Explorer bars such as History, Favourite, Search - cannot be deleted"}));
    for (const DialogRecord& record : memory.dialogs().Records()) EXPECT_EQ(record.kind, DialogKind::Message);
    ASSERT_EQ(History().ChildCount(), 4);
    int empty = 0;
    for (const XmlElement& entry : History().Children()) empty += entry.ChildCount() == 0 ? 1 : 0;
    EXPECT_EQ(empty, 3);
    // Refused rows come back, unchecked.
    EXPECT_EQ(page.lvBHO.Count(), 3);
    for (const ListItem& row : page.lvBHO.Items()) EXPECT_FALSE(row.checked);

    EXPECT_EQ(history.EntryCount(), 4);
}

TEST_F(PluginRemovalTest, ExplorerBarsOfBothScopesAreRemovedWithTheirClass) {
    AddClass("{B1}", "Notes", "C:\\notes\\notes.dll");
    registry.SetString(HKLM, kBarsAll + "\\{B1}", "BarSize", "x");
    AddClass("{B2}", "Clips", "C:\\clips\\shell32.dll.bak.dll");  // not one of Windows' own servers
    registry.SetString(HKCU, kBarsUser + "\\{B2}", "BarSize", "y");
    page.ScanToolbar_BitBtn.Click();
    Check("Notes");
    Check("Clips");
    Remove();
    EXPECT_FALSE(registry.KeyExistsRaw(HKLM, kBarsAll + "\\{B1}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kBarsUser + "\\{B2}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{B1}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{B2}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kBarsUser));
    EXPECT_TRUE(memory.dialogs().Texts().empty());
    ASSERT_EQ(History().ChildCount(), 2);
    EXPECT_EQ(Entry(0), "Notes|Exp. ALL USER|C:\\notes\\notes.dll");
    EXPECT_EQ(
        Items(History().Child(1)).back(),
        "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars\\{B2}|BarSize|rdString|y");
}

TEST_F(PluginRemovalTest, MenuExtensionWithAnAmpersandIsRemovedByItsOwnKeyName) {
    AddMenuExt("E&xport to Microsoft Excel", "res://excel.exe/3000");
    AddMenuExt("Export to Microsoft Excel", "res://other/1");  // the name the caption shows: kept
    page.ScanToolbar_BitBtn.Click();
    ASSERT_EQ(page.lvBHO.Count(), 2);
    int row = -1;
    for (int i = 0; i < page.lvBHO.Count(); ++i)
        if (page.lvBHO.Tag<PluginEntry>(i)->keyName == "E&xport to Microsoft Excel") row = i;
    ASSERT_GE(row, 0);
    page.lvBHO.UserToggleCheck(row);
    Remove();

    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kMenuExt + "\\E&xport to Microsoft Excel"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kMenuExt + "\\Export to Microsoft Excel"));
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(Entry(0), "Export to Microsoft Excel|Menu Extensions|res://excel.exe/3000");
    EXPECT_EQ(
        Items(History().Child(0)),
        (Strings{"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\E&xport to Microsoft "
                 "Excel|||",
                 "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\E&xport to Microsoft "
                 "Excel||rdString|res://excel.exe/3000",
                 "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\E&xport to Microsoft "
                 "Excel|Contexts|rdInteger|00000001"}));
    // The menu extension has no class of its own to lose.
    EXPECT_EQ(page.lvBHO.Count(), 1);
}

TEST_F(PluginRemovalTest, AStandardUserHearsWhichAddOnsNeedAdministratorRightsAndIsOfferedARestart) {
    AddToolbarAll("{T}", "Machine Bar");
    AddMenuExt("Own Entry", "res://own/1");
    registry.SetStandardUser(true);
    std::vector<std::string> restartedOn;
    state.restartAsAdministrator = [&](const std::string& page) {
        restartedOn.push_back(page);
        return false;
    };
    state.MainControl.AddPage(page);
    state.MainControl.SetActivePage(page);
    page.ScanToolbar_BitBtn.Click();
    Check("Machine Bar Toolbar");
    Check("Own Entry");
    memory.dialogs().ScriptAnswers({true});
    Remove();

    // The user's own entry went; the machine's toolbar stays listed, with its class and value.
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kMenuExt + "\\Own Entry"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{T}"));
    EXPECT_TRUE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{T}"));
    EXPECT_GE(RowOf("Machine Bar Toolbar"), 0);
    const auto records = memory.dialogs().Records();
    ASSERT_GE(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::Confirm);
    EXPECT_EQ(records[0].text.rfind("1 add-on could not be removed from the registry: it needs administrator "
                                    "rights.\n\nRestart Korvane as administrator?",
                                    0),
              0u);
    EXPECT_EQ(restartedOn, (std::vector<std::string>{page.Name()}));
}

TEST_F(PluginRemovalTest, TwoRowsSharingAClassRecordItOnceAndDeleteBothEntries) {
    AddClass("{SHARED}", "Helper", "C:\\h.dll");
    registry.SetString(HKLM, kToolbarAll, "{SHARED}", "");
    registry.SetString(HKCU, kExtStats + "\\{SHARED}", "Count", "3");
    page.ScanToolbar_BitBtn.Click();
    ASSERT_EQ(Rows(), (Strings{"Helper|Browser Extensions|{SHARED}|C:\\h.dll",
                               "Helper Toolbar|Toolbar ALL USER|{SHARED}|C:\\h.dll"}));
    page.lvBHO.SetAllChecked(true);
    Remove();

    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{SHARED}"));
    EXPECT_FALSE(registry.ValueExistsRaw(HKLM, kToolbarAll, "{SHARED}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kExtStats + "\\{SHARED}"));
    ASSERT_EQ(History().ChildCount(), 2);
    // The toolbar (the last row) goes first and takes the class with it; the extension's entry holds
    // only its own key.
    EXPECT_EQ(Items(History().Child(0)).size(), 6u);
    EXPECT_EQ(
        Items(History().Child(1)),
        (Strings{
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{SHARED}|||",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\{SHARED}|Count|"
            "rdString|3"}));
}

TEST_F(PluginRemovalTest, RemovalActsOnTheAddOnTheRowCarriesNotOnItsTexts) {
    AddExtension("{E1}", "Same", "C:\\one\\one.dll");
    AddExtension("{E2}", "Same", "C:\\two\\two.dll");
    page.ScanToolbar_BitBtn.Click();
    ASSERT_EQ(page.lvBHO.Count(), 2);
    int second = -1;
    for (int i = 0; i < page.lvBHO.Count(); ++i)
        if (page.lvBHO.Tag<PluginEntry>(i)->id == "{E2}") second = i;
    ASSERT_GE(second, 0);
    // Texts that name the other add-on change nothing: the row's entry is what goes.
    page.lvBHO.SetSubItem(second, 1, "{E1}");
    page.lvBHO.SetSubItem(second, 2, "C:\\one\\one.dll");
    page.lvBHO.UserToggleCheck(second);
    Remove();
    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{E2}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{E1}"));
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(Entry(0), "Same|Browser Extensions|C:\\two\\two.dll");
}

TEST_F(PluginRemovalTest, NothingCheckedRecordsNothingAndRebuildsTheList) {
    AddToolbarAll("{A1}", "Bar");
    page.ScanToolbar_BitBtn.Click();
    registry.DeleteTreeRaw(HKLM, kToolbarAll);  // gone meanwhile: the rebuild shows it
    Remove();
    EXPECT_EQ(History().ChildCount(), 0);
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{A1}"));
    EXPECT_EQ(page.lvBHO.Count(), 0);
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
}

TEST_F(PluginRemovalTest, RowOfAnUnknownKindLeavesAnEmptyEntryAndTouchesNothing) {
    AddClass("{X}", "Thing", "C:\\x.dll");
    ListItem row{"Thing", {"Toolbar", "{X}", "C:\\x.dll"}, true};
    row.tag = PluginEntry{"Thing", "Toolbar", "{X}", "C:\\x.dll", ""};
    page.lvBHO.Add(std::move(row));
    RemoveCheckedPlugins(state, history, page.lvBHO);
    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{X}"));
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(Entry(0), "Thing|Toolbar|C:\\x.dll");
    EXPECT_EQ(History().Child(0).ChildCount(), 0);
    EXPECT_TRUE(memory.dialogs().Texts().empty());
}

// Notes, at the first deletion, what Backup.xml on disk holds.
TEST_F(PluginRemovalTest, TheHistoryIsOnDiskBeforeTheFirstDeletion) {
    AddExtension("{E1}", "Grabber", "C:\\grab\\grab.dll");
    AddMenuExt("Menu", "C:\\m.htm");
    WatchingRegistry watching(registry, memory.files());
    Platform watched{watching,           memory.files(), memory.system(),
                     memory.processes(), memory.ui(),    memory.dialogs()};
    AppState watchedState{watched};
    watchedState.ProgramFolder = "C:\\Korvane\\";
    UndoHistory watchedHistory{watchedState};
    PluginsPage watchedPage{watchedState, watchedHistory};
    watchedPage.ScanToolbar_BitBtn.Click();
    watchedPage.lvBHO.SetAllChecked(true);
    watchedPage.Del_SpeedButton.Click();

    ASSERT_GT(watching.deletions, 0);
    ASSERT_TRUE(watching.onDisk.has_value()) << "nothing was saved before the first deletion";
    XmlDocument saved;
    saved.LoadText(*watching.onDisk);
    ASSERT_EQ(saved.DocumentElement().ChildCount(), 2);
    EXPECT_EQ(saved.DocumentElement().Child(0).Attribute("NAME"), "Menu");
    EXPECT_EQ(saved.DocumentElement().Child(0).ChildCount(), 3);  // its key and two values
    EXPECT_EQ(saved.DocumentElement().Child(1).Attribute("NAME"), "Grabber");
    EXPECT_EQ(saved.DocumentElement().Child(1).ChildCount(), 8);  // two key trees of 2 + 3 and 1 + 2
    EXPECT_FALSE(registry.KeyExistsRaw(HKCR, "CLSID\\{E1}"));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, kMenuExt + "\\Menu"));
}

TEST_F(PluginRemovalTest, AHistoryThatCannotBeSavedStopsTheRemovalBeforeAnyDeletion) {
    AddExtension("{E1}", "Grabber", "C:\\grab\\grab.dll");
    AddToolbarUser("{LINKS}", "Links");
    page.ScanToolbar_BitBtn.Click();
    page.lvBHO.SetAllChecked(true);
    memory.files().FailWrite("C:\\Korvane");
    Remove();

    EXPECT_TRUE(registry.KeyExistsRaw(HKCR, "CLSID\\{E1}"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKCU, kExtStats + "\\{E1}"));
    EXPECT_EQ(History().ChildCount(), 0);  // the click's entries left the history again
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_NE(memory.dialogs().Records().back().text.find("C:\\Korvane\\Backup.xml"), std::string::npos);
    EXPECT_EQ(page.lvBHO.Count(), 2);

    // Refused rows alone delete nothing and need no save: their entries stay in memory.
    memory.dialogs().Clear();
    page.lvBHO.SetChecked(RowOf("Grabber"), false);
    page.lvBHO.SetChecked(RowOf("Links Toolbar"), true);
    Remove();
    EXPECT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(memory.dialogs().Texts(), (Strings{"Links and Address bar cannot be delete. Sorry"}));
}

}  // namespace
}  // namespace korvane::testing
