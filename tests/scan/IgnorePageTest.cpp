// The Ignore List page: adding typed entries, removing checked ones, moving findings from the error
// list, and ignore.xml written after every change into whatever folder is current at that moment.
#include <gtest/gtest.h>

#include "scan/IgnoreList.h"
#include "scan/IgnorePage.h"
#include "scan/ScanErrorList.h"
#include "support/AppFixture.h"

namespace korvane {
namespace {

class IgnorePageTest : public testing::AppFixture {
protected:
    IgnorePageTest() {
        memory.files().AddFolder("C:\\Work");
        memory.files().setCurrentDirectory("C:\\Work");
        ignoreList.Document().Reset("IgnoreList");
    }
    void Type(const std::string& root, const std::string& key, const std::string& value) {
        page.edRoot.SetText(root);
        page.edKeyName.SetText(key);
        page.edValue.SetText(value);
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (const auto& row : page.lvIgnore.Items())
            out.push_back(row.caption + "|" + row.subItems.at(0) + "|" + row.subItems.at(1));
        return out;
    }
    // ROOT|KEY|VALUE of each element of the file on disk.
    std::vector<std::string> SavedIn(const std::string& path) {
        XmlDocument saved;
        saved.Load(memory.files(), path);
        EXPECT_EQ(saved.DocumentElement().Name(), "IgnoreList");
        std::vector<std::string> out;
        for (const auto& e : saved.DocumentElement().Children()) {
            EXPECT_EQ(e.Name(), "ERROR");
            out.push_back(e.Attribute("ROOT") + "|" + e.Attribute("KEY") + "|" + e.Attribute("VALUE"));
        }
        return out;
    }
    void AddError(const std::string& type, const KeyName& where, bool checked) {
        AddErrorRow(lvErrors, ScanFinding{0, type, where, "v", "g"});
        lvErrors.SetChecked(lvErrors.Count() - 1, checked);
    }
    // Whether the list holds a Key Name given as text.
    bool Holds(const std::string& keyName) const { return ignoreList.Holds(KeyName::ParseKey(keyName)); }
    int Elements() { return ignoreList.Document().DocumentElement().ChildCount(); }

    IgnoreList ignoreList{memory.platform()};
    IgnorePage page{ignoreList};
    ListView lvErrors{"lvErrors"};
};

TEST_F(IgnorePageTest, LayoutAndCaptions) {
    EXPECT_EQ(page.Name(), "tabIgnoreList");
    ASSERT_EQ(page.lvIgnore.columns.size(), 3u);
    EXPECT_EQ(page.lvIgnore.columns[0].title, "Root");
    EXPECT_EQ(page.lvIgnore.columns[1].width, 280);
    EXPECT_EQ(page.lvIgnore.columns[2].width, 90);
    EXPECT_FALSE(page.lvIgnore.gridLines);
    EXPECT_EQ(page.gbControlPanel.Caption(), "&Control Panel");
    EXPECT_EQ(page.btnAdd.Caption(), "Add            ");
    EXPECT_EQ(page.btnRemove.Caption(), "Remove    ");
    EXPECT_EQ(page.btnRefresh6.Caption(), "Refresh");
    EXPECT_EQ(page.btnCheckall2.Caption(), "&Check all");
    EXPECT_EQ(page.btnUncheckall.Caption(), "&Uncheck all");
    EXPECT_EQ(page.edRoot.parent, &page.gbRoot);
    EXPECT_EQ(page.gbValue.parent, &page.gbControlPanel);
    for (const Control* control : page.Controls()) {
        int width = control->parent ? control->parent->bounds.width : 532;
        int height = control->parent ? control->parent->bounds.height : 440;
        EXPECT_LE(control->bounds.x + control->bounds.width, width) << control->Name();
        EXPECT_LE(control->bounds.y + control->bounds.height, height) << control->Name();
    }
}

TEST_F(IgnorePageTest, AddNeedsAllThreeBoxes) {
    for (auto [root, key, value] : {std::tuple{"", "K", "V"}, {"R", "", "V"}, {"R", "K", ""}}) {
        Type(root, key, value);
        page.btnAdd.Click();
    }
    EXPECT_EQ(page.lvIgnore.Count(), 0);
    EXPECT_EQ(Elements(), 0);
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Work\\ignore.xml"));
}

TEST_F(IgnorePageTest, AddStoresExactlyAsTypedAndTwiceGivesTwo) {
    Type(" HKLM", "\\Soft ware", "\xC3\xA9t\xC3\xA9 & <x>");
    page.btnAdd.Click();
    page.btnAdd.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>(2, " HKLM|\\Soft ware|\xC3\xA9t\xC3\xA9 & <x>")));
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), Rows());
    EXPECT_EQ(page.edRoot.Text(), " HKLM");  // the boxes keep their text
    // The attributes are written ROOT, KEY, VALUE.
    std::string text = *memory.files().ContentsRaw("C:\\Work\\ignore.xml");
    EXPECT_LT(text.find("ROOT="), text.find("KEY="));
    EXPECT_LT(text.find("KEY="), text.find("VALUE="));
}

TEST_F(IgnorePageTest, RemoveSecondAndFourthOfFive) {
    for (int i = 1; i <= 5; ++i) {
        Type("R", "K", std::to_string(i));
        page.btnAddClick();
    }
    page.lvIgnore.SetChecked(1, true);
    page.lvIgnore.SetChecked(3, true);
    page.btnRemove.Click();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"R|K|1", "R|K|3", "R|K|5"}));
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), Rows());
}

TEST_F(IgnorePageTest, RemoveOnEmptyWritesNothingAndUncheckedRewrites) {
    page.btnRemoveClick();
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Work\\ignore.xml"));
    Type("R", "K", "V");
    page.btnAddClick();
    memory.files().deleteFile("C:\\Work\\ignore.xml");
    page.btnRemoveClick();
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), (std::vector<std::string>{"R|K|V"}));
    EXPECT_EQ(page.lvIgnore.Count(), 1);
}

TEST_F(IgnorePageTest, CheckAndUncheckAllLeaveTheDocument) {
    Type("R", "K", "V");
    page.btnAddClick();
    page.btnAddClick();
    page.btnCheckall2.Click();
    EXPECT_TRUE(page.lvIgnore.Checked(0) && page.lvIgnore.Checked(1));
    page.btnUncheckall.Click();
    EXPECT_FALSE(page.lvIgnore.Checked(0) || page.lvIgnore.Checked(1));
    EXPECT_EQ(Elements(), 2);
}

TEST_F(IgnorePageTest, MovingFindingsSplitsTheKeyNameSoItMatchesAgain) {
    const std::string app =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe";
    const std::string dll =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:\\Program "
        "Files\\A\\b.dll";
    const std::string uninstall =
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool\\UninstallString";
    AddError(
        "Application",
        KeyName::Key(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"),
        true);
    AddError("Other", KeyName::Value(roots::CurrentUser, "Software\\Keep", "me"), false);
    AddError("Shared DLLs",
             KeyName::Value(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
                            "C:\\Program Files\\A\\b.dll"),
             true);
    AddError(
        "Uninstall",
        KeyName::Value(roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool",
                       "UninstallString"),
        true);
    // The rows show the Key Names as the scan spells them.
    EXPECT_EQ(lvErrors.Item(0).subItems[0], app);
    EXPECT_EQ(lvErrors.Item(2).subItems[0], dll);
    EXPECT_EQ(lvErrors.Item(3).subItems[0], uninstall);
    page.btnAdd2IgnoreClick(lvErrors);
    ASSERT_EQ(lvErrors.Count(), 1);
    EXPECT_EQ(lvErrors.Item(0).caption, "Other");
    // From the last row to the first.
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "HKEY_LOCAL_MACHINE|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool|"
                          "UninstallString",
                          "HKEY_LOCAL_MACHINE|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:"
                          "\\Program Files\\A|b.dll",
                          "HKEY_LOCAL_MACHINE|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths|x.exe",
                      }));
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), Rows());
    for (const auto& name : {app, dll, uninstall}) EXPECT_TRUE(Holds(name)) << name;
    EXPECT_FALSE(Holds("HKEY_CURRENT_USER\\Software\\Keep\\me"));
    EXPECT_FALSE(Holds("hkey_local_machine\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"));
}

TEST_F(IgnorePageTest, MovingWithNothingCheckedStillSaves) {
    AddError("A", KeyName::Key(roots::CurrentUser, "S\\K"), false);
    page.btnAdd2IgnoreClick(lvErrors);
    EXPECT_EQ(lvErrors.Count(), 1);
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), std::vector<std::string>{});
    // A key right below a root: its text has a single backslash, so KEY is empty.
    ignoreList.AddFinding(KeyName::Key(roots::CurrentUser, "Only"));
    EXPECT_EQ(ignoreList.Entries().back().root, "HKEY_CURRENT_USER");
    EXPECT_EQ(ignoreList.Entries().back().key, "");
    EXPECT_EQ(ignoreList.Entries().back().value, "Only");
}

TEST_F(IgnorePageTest, TheFileFollowsTheCurrentFolder) {
    Type("R", "K", "1");
    page.btnAddClick();
    memory.files().setCurrentDirectory("C:\\Korvane");
    Type("R", "K", "2");
    page.btnAddClick();
    EXPECT_EQ(SavedIn("C:\\Korvane\\ignore.xml"), (std::vector<std::string>{"R|K|1", "R|K|2"}));
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), (std::vector<std::string>{"R|K|1"}));
}

TEST_F(IgnorePageTest, AFailedSaveRaisesKeepsTheChangeAndLeavesTheList) {
    Type("R", "K", "1");
    page.btnAddClick();
    memory.files().FailWrite("C:\\Work");
    Type("R", "K", "2");
    EXPECT_THROW(page.btnAdd.Click(), XmlError);
    EXPECT_EQ(page.lvIgnore.Count(), 1);  // not rebuilt
    EXPECT_EQ(Elements(), 2);
    EXPECT_EQ(ignoreList.Entries().back().value, "2");
    EXPECT_EQ(SavedIn("C:\\Work\\ignore.xml"), (std::vector<std::string>{"R|K|1"}));  // the old file intact
}

TEST_F(IgnorePageTest, RefreshReadsTheDocumentNotTheFile) {
    Type("R", "K", "V");
    page.btnAddClick();
    memory.files().writeFile("C:\\Work\\ignore.xml", "<IgnoreList/>");
    page.btnRefresh6.Click();
    EXPECT_EQ(page.lvIgnore.Count(), 1);
    // A hand-edited element without attributes shows empty texts and never matches by accident.
    ignoreList.Document().DocumentElement().AppendChild("ERROR");
    page.FillFromDocument();
    EXPECT_EQ(Rows().back(), "||");
    // One lacking VALUE would join to the default value's Key Name if an absent attribute counted as empty.
    XmlElement partial = ignoreList.Document().DocumentElement().AppendChild("ERROR");
    partial.SetAttribute("ROOT", "HKEY_CURRENT_USER");
    partial.SetAttribute("KEY", "Software");
    const KeyName defaultValue = KeyName::Value(roots::CurrentUser, "Software", "");
    EXPECT_FALSE(ignoreList.Holds(defaultValue));
    EXPECT_FALSE(ignoreList.TakeSnapshot().Holds(defaultValue));
}

// An unreadable ignore.xml that could not be renamed aside was overwritten by the next change, after
// the user had been told it would be kept.
TEST_F(IgnorePageTest, AnUnreadableFileThatCouldNotBeSetAsideIsNeverOverwritten) {
    memory.files().AddFile("C:\\Work\\ignore.xml", "<IgnoreList><ERROR");
    memory.files().FailDelete("C:\\Work\\ignore.xml");
    ignoreList.Load();
    memory.files().ClearFailures();
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    Type("R", "K", "V");
    try {
        page.btnAdd.Click();
        FAIL() << "the change was saved over the file";
    } catch (const XmlError& error) {
        // The user is told why the change did not reach the file, and what to do.
        const std::string text = error.what();
        EXPECT_NE(text.find("ignore.xml was not written"), std::string::npos) << text;
        EXPECT_NE(text.find("could not be read when Korvane started"), std::string::npos) << text;
        EXPECT_NE(text.find("would lose what it holds"), std::string::npos) << text;
    }
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Work\\ignore.xml"), "<IgnoreList><ERROR");
    EXPECT_EQ(ignoreList.Count(), 1);  // the entry still acts on later scans
}

}  // namespace
}  // namespace korvane
