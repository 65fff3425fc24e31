// The Restore History page: the list mirrors the history, restore writes checked entries back from
// the last row to the first, an entry refused for lack of rights stays and is told of, another failure
// stops with the entries not reached kept, clear, check all.
#include "history/HistoryPage.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RegistryAccess.h"
#include "support/ForwardingRegistry.h"
#include "undo/HistoryTestSupport.h"

namespace korvane {
namespace {

class HistoryPageTest : public testing::HistoryTest {
protected:
    // An entry with one string ITEM for value `name` of HKCU\Software\H.
    void AddStringEntry(const std::string& name, const std::string& text) {
        XmlElement item = NewEntry(name).AppendChild("ITEM");
        item.SetAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\H");
        item.SetAttribute("NAME", name);
        item.SetAttribute("TYPE", "rdString");
        item.SetAttribute("VALUE", text);
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& row : page.lvHistory.Items()) out.push_back(row.caption);
        return out;
    }
    std::vector<std::string> EntryNames() {
        std::vector<std::string> out;
        for (const auto& entry : History().Children()) out.push_back(entry.Attribute("NAME"));
        return out;
    }

    HistoryPage page{state, history};
};

TEST_F(HistoryPageTest, LayoutAndCaptions) {
    EXPECT_EQ(page.Name(), "tabHistory");
    ASSERT_EQ(page.lvHistory.columns.size(), 3u);
    EXPECT_EQ(page.lvHistory.columns[0].title, "Name");
    EXPECT_EQ(page.lvHistory.columns[0].width, 223);
    EXPECT_EQ(page.lvHistory.columns[1].width, 200);
    EXPECT_EQ(page.lvHistory.columns[2].width, ListColumn::kRestWidth);
    EXPECT_EQ(page.gbControlPanel.Caption(), "&Control Panel ");
    EXPECT_EQ(page.btnRestore.Caption(), "&Restore");
    EXPECT_EQ(page.btnClearUndo.Caption(), "&Clear");
    EXPECT_EQ(page.btnRefresh2.Caption(), "Re&fresh");
    EXPECT_EQ(page.btnCheckAll1.Caption(), "Ch&eck All");
    for (const Control* control : page.Controls()) {
        const Rect& r = control->bounds;
        int width = control->parent ? control->parent->bounds.width : 532;
        int height = control->parent ? control->parent->bounds.height : 440;
        EXPECT_LE(r.x + r.width, width) << control->Name();
        EXPECT_LE(r.y + r.height, height) << control->Name();
    }
}

TEST_F(HistoryPageTest, RefreshShowsEveryEntryUnchecked) {
    AddStringEntry("one", "1");
    NewEntry("two").SetAttribute("PATH", "C:\\x.dll");
    page.btnRefresh2.Click();
    ASSERT_EQ(page.lvHistory.Count(), 2);
    EXPECT_EQ(page.lvHistory.Item(1).caption, "two");
    EXPECT_EQ(page.lvHistory.SubItem(1, 0), "type");
    EXPECT_EQ(page.lvHistory.SubItem(1, 1), "C:\\x.dll");
    EXPECT_FALSE(page.lvHistory.Checked(0));
}

TEST_F(HistoryPageTest, RestoreRowZeroOfThree) {
    AddStringEntry("a", "1");
    AddStringEntry("b", "2");
    AddStringEntry("c", "3");
    page.btnRefresh2Click();
    page.lvHistory.SetChecked(0, true);
    page.btnRestore.Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\H", "a"), "1");
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\H", "b"));
}

TEST_F(HistoryPageTest, RestoreWithNothingCheckedOnlyRebuilds) {
    AddStringEntry("a", "1");
    page.btnRefresh2Click();
    History().Child(0).SetAttribute("NAME", "renamed");
    page.btnRestoreClick();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"renamed"}));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\H"));
}

TEST_F(HistoryPageTest, RestoreGoesFromTheLastRowAndItemsInRecordedOrder) {
    // Two entries writing the same value: the earlier entry is restored last and wins.
    AddStringEntry("v", "old");
    AddStringEntry("v", "new");
    XmlElement twice = NewEntry("twice");
    for (const char* text : {"first", "second"}) {
        XmlElement item = twice.AppendChild("ITEM");
        item.SetAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\H");
        item.SetAttribute("NAME", "w");
        item.SetAttribute("TYPE", "rdString");
        item.SetAttribute("VALUE", text);
    }
    page.btnRefresh2Click();
    page.btnCheckAll1Click();
    page.btnRestoreClick();
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\H", "v"), "old");
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\H", "w"), "second");
    EXPECT_EQ(History().ChildCount(), 0);
    EXPECT_EQ(page.lvHistory.Count(), 0);
}

TEST_F(HistoryPageTest, ItemWithOnlyItsKeyRecreatesTheKey) {
    XmlElement item = NewEntry("k").AppendChild("ITEM");
    item.SetAttribute("SUBKEY", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Bare\\Key");
    page.btnRefresh2Click();
    page.lvHistory.SetChecked(0, true);
    page.btnRestoreClick();
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, "SOFTWARE\\Bare\\Key"));
    EXPECT_TRUE(registry.ValueNamesRaw(roots::LocalMachine, "SOFTWARE\\Bare\\Key").empty());
}

TEST_F(HistoryPageTest, AnEntryRefusedForLackOfRightsStaysAndTheOthersAreRestored) {
    AddStringEntry("a", "1");
    XmlElement locked = NewEntry("locked");
    for (const char* name : {"first", "second"}) {
        XmlElement item = locked.AppendChild("ITEM");
        item.SetAttribute("SUBKEY", std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + name);
        item.SetAttribute("NAME", name);
        item.SetAttribute("TYPE", "rdString");
        item.SetAttribute("VALUE", "x");
    }
    AddStringEntry("c", "3");
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\second");  // there, and only an administrator's
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE\\second");
    page.btnRefresh2Click();
    page.btnCheckAll1Click();
    page.btnRestore.Click();

    // "a" and "c" were restored and are gone; "locked" (with its first value already written) stays,
    // and nothing says it was restored.
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"locked"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"locked"}));
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\H", "c"), "3");
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\H", "a"), "1");
    EXPECT_TRUE(registry.ValueExistsRaw(roots::LocalMachine, "SOFTWARE\\first", "first"));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::LocalMachine, "SOFTWARE\\second", "second"));
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0),
              "1 entry could not be restored: it needs administrator rights.");
}

TEST_F(HistoryPageTest, AStandardUserIsOfferedARestartOnThisPage) {
    AddStringEntry("a", "1");
    XmlElement machine = NewEntry("machine");
    XmlElement item = machine.AppendChild("ITEM");
    item.SetAttribute("SUBKEY", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone");
    item.SetAttribute("NAME", "v");
    item.SetAttribute("TYPE", "rdString");
    item.SetAttribute("VALUE", "x");
    registry.SetStandardUser(true);
    std::vector<std::string> restartedOn;
    state.restartAsAdministrator = [&](const std::string& name) {
        restartedOn.push_back(name);
        return true;
    };
    state.MainControl.AddPage(page);
    state.MainControl.SetActivePage(page);
    page.btnRefresh2Click();
    page.btnCheckAll1Click();
    memory.dialogs().ScriptAnswers({true});
    page.btnRestore.Click();

    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"machine"}));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, "SOFTWARE\\Gone"));
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Confirm), 1u);
    EXPECT_EQ(
        memory.dialogs().Texts().at(0),
        "1 entry could not be restored: it needs administrator rights.\n\nRestart Korvane as administrator?");
    EXPECT_EQ(restartedOn, (std::vector<std::string>{"tabHistory"}));
}

// A registry that refuses every value for want of room, not of rights.
class FullRegistry : public testing::ForwardingRegistry {
public:
    using ForwardingRegistry::ForwardingRegistry;
    long setValue(HKey, const std::string&, const RegValue&) override { return 1816; }  // no quota left
};

TEST(HistoryPageRestore, AWriteRefusedForAnotherReasonStillStopsTheRestore) {
    MemoryPlatform memory;
    FullRegistry full(memory.registry());
    Platform platform{full,        memory.files(),  memory.system(), memory.processes(),
                      memory.ui(), memory.dialogs()};
    AppState state(platform);
    state.ProgramFolder = "C:\\Korvane\\";
    UndoHistory history(state);
    history.Document().Reset("Korvane");
    XmlElement entry = history.Document().DocumentElement().AppendChild("ELEMENT");
    entry.SetAttribute("NAME", "full");
    XmlElement item = entry.AppendChild("ITEM");
    item.SetAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\H");
    item.SetAttribute("NAME", "v");
    item.SetAttribute("TYPE", "rdString");
    item.SetAttribute("VALUE", "x");
    HistoryPage page(state, history);
    page.btnRefresh2Click();
    page.btnCheckAll1Click();
    EXPECT_THROW(page.btnRestore.Click(), RegistryError);
    EXPECT_EQ(history.EntryCount(), 1);
    EXPECT_EQ(memory.dialogs().Records().size(), 0u);  // no talk of administrator rights
}

// A hand-edited byte used to be written as a partly decoded value.
TEST_F(HistoryPageTest, BadBinaryStopsTheEntryBeforeAnythingIsWritten) {
    XmlElement entry = NewEntry("edited");
    XmlElement good = entry.AppendChild("ITEM");
    good.SetAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\E");
    good.SetAttribute("NAME", "good");
    good.SetAttribute("TYPE", "rdString");
    good.SetAttribute("VALUE", "1");
    XmlElement bad = entry.AppendChild("ITEM");
    bad.SetAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\E");
    bad.SetAttribute("NAME", "blob");
    bad.SetAttribute("TYPE", "rdRaw7");
    bad.SetAttribute("VALUE", "61,00,XY");
    page.btnRefresh2Click();
    page.lvHistory.SetChecked(0, true);
    try {
        page.btnRestoreClick();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("'blob'"), std::string::npos);
    }
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\E"));
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"edited"}));
    EXPECT_EQ(page.lvHistory.Count(), 1);
}

TEST_F(HistoryPageTest, ClearEmptiesListAndHistoryAndTheSavedFile) {
    AddStringEntry("a", "1");
    AddStringEntry("b", "2");
    page.btnRefresh2Click();
    page.btnClearUndo.Click();
    EXPECT_EQ(page.lvHistory.Count(), 0);
    EXPECT_EQ(History().ChildCount(), 0);
    history.Document().Save(memory.files(), "C:\\Korvane\\Backup.xml");
    XmlDocument saved;
    saved.Load(memory.files(), "C:\\Korvane\\Backup.xml");
    EXPECT_EQ(saved.DocumentElement().Name(), "Korvane");
    EXPECT_EQ(saved.DocumentElement().ChildCount(), 0);
}

TEST_F(HistoryPageTest, CheckAllTogglesByCaption) {
    page.btnCheckAll1Click();
    EXPECT_EQ(page.btnCheckAll1.Caption(), "Ch&eck All");  // empty list: nothing changes
    AddStringEntry("a", "1");
    AddStringEntry("b", "2");
    page.btnRefresh2Click();
    page.btnCheckAll1.Click();
    EXPECT_TRUE(page.lvHistory.Checked(0) && page.lvHistory.Checked(1));
    EXPECT_EQ(page.btnCheckAll1.Caption(), "Unch&eck All");
    page.btnCheckAll1.Click();
    EXPECT_FALSE(page.lvHistory.Checked(0) || page.lvHistory.Checked(1));
    EXPECT_EQ(page.btnCheckAll1.Caption(), "Ch&eck All");
}

}  // namespace
}  // namespace korvane
