// The Uninstall Manager page against the in-memory registry: the sorted listing and what it leaves
// out, the error that stops it, starting uninstallers (and refusing those that cannot be found),
// deleting after confirmation, check all and the action buttons.
#include <gtest/gtest.h>

#include "registry/RegistryAccess.h"
#include "support/AppWithHistoryFixture.h"
#include "uninstall/AddRemove.h"
#include "uninstall/UninstallColumns.h"
#include "uninstall/UninstallPage.h"

namespace korvane {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr HKey HKLM = roots::LocalMachine;

class UninstallPageTest : public testing::AppWithHistoryFixture {
protected:
    UninstallPageTest() { history.Load(); }

    void AddEntry(const std::string& key, const std::string& displayName, const std::string& command) {
        registry().SetString(HKLM, kUninstall + "\\" + key, "DisplayName", displayName);
        registry().SetString(HKLM, kUninstall + "\\" + key, "UninstallString", command);
    }
    MemoryRegistry& registry() { return memory.registry(); }
    void WaitForRun() {
        ASSERT_TRUE(memory.ui().PumpUntil([this] { return !page.leftovers.Running(); }));
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const ListItem& row : page.lvAddRemove.Items()) captions.push_back(row.caption);
        return captions;
    }
    int RowOf(const std::string& caption) const {
        for (int i = 0; i < page.lvAddRemove.Count(); ++i)
            if (page.lvAddRemove.Item(i).caption == caption) return i;
        return -1;
    }
    void ClickCheck(const std::string& caption) {
        const int row = RowOf(caption);
        ASSERT_GE(row, 0) << caption;
        page.lvAddRemove.UserToggleCheck(row);
        page.lvAddRemove.Click();
    }

    UninstallPage page{state, history};
};

TEST_F(UninstallPageTest, ListsNamedEntriesSortedByCaptionWithTheirKeys) {
    AddEntry("{B-GUID}", "beta tool", "C:\\beta\\uninst.exe /S");
    AddEntry("Alpha", "Alpha Suite", "MsiExec.exe /X{A}");
    registry().SetString(HKLM, kUninstall + "\\NoCommand", "DisplayName", "Gamma");
    registry().SetString(HKLM, kUninstall + "\\NoName", "UninstallString", "C:\\hidden.exe");
    AddEntry("EmptyName", "", "C:\\empty.exe");
    registry().SetDword(HKLM, kUninstall + "\\Hidden", "SystemComponent", 1);
    AddEntry("Hidden", "Hidden Runtime", "C:\\rt.exe");  // hides itself from Windows' list, so from this one
    page.ListUninstallEntries();

    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha Suite", "beta tool", "Gamma"}));
    const ListItem& beta = page.lvAddRemove.Item(1);
    EXPECT_EQ(beta.subItems,
              (std::vector<std::string>{"C:\\beta\\uninst.exe /S",
                                        "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\{B-GUID}", "", "", "", ""}));
    EXPECT_EQ(page.lvAddRemove.SubItem(RowOf("Gamma"), kUninstallPathColumn), "");
    for (const ListItem& row : page.lvAddRemove.Items()) {
        EXPECT_FALSE(row.checked);
        EXPECT_EQ(row.imageIndex, -1);  // no icons: the scan page's images are not touched
    }
    EXPECT_EQ(page.lvAddRemove.columns.at(2).title, "Key Name");
    EXPECT_EQ(page.lvAddRemove.columns.at(2).width, 1);
    EXPECT_TRUE(page.lvAddRemove.columns.at(2).fixedWidth);
    EXPECT_EQ(registry().OpenHandleCount(), 0u);
}

TEST_F(UninstallPageTest, WronglyTypedValueStopsTheListingWithItsName) {
    AddEntry("A", "Apple", "a.exe");
    registry().SetDword(HKLM, kUninstall + "\\B", "DisplayName", 3);
    AddEntry("C", "Cherry", "c.exe");
    try {
        page.btnRefresh1.Click();
        FAIL() << "the listing should stop";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'DisplayName'");
    }
    EXPECT_EQ(Captions(), std::vector<std::string>{"Apple"});

    registry().DeleteTreeRaw(HKLM, kUninstall + "\\B");
    registry().SetValue(HKLM, kUninstall + "\\B", "UninstallString", RegValue{regtype::MultiSz, {'x', 0, 0}});
    EXPECT_THROW(page.btnRefresh1Click(), RegistryError);  // even without a display name
    EXPECT_EQ(Captions(), std::vector<std::string>{"Apple"});
}

TEST_F(UninstallPageTest, MissingOrEmptyUninstallKey) {
    page.lvAddRemove.Add(ListItem{"Left over", {"x.exe", kUninstall + "\\X"}});
    page.ListUninstallEntries();  // no Uninstall key: the list stays as it was
    EXPECT_EQ(Captions(), std::vector<std::string>{"Left over"});

    registry().CreateKey(HKLM, kUninstall);
    page.ListUninstallEntries();
    EXPECT_EQ(page.lvAddRemove.Count(), 0);

    AddEntry("Locked", "Locked", "l.exe");
    registry().DenyOpen(HKLM, kUninstall + "\\Locked");
    AddEntry("Open", "Open", "o.exe");
    page.ListUninstallEntries();
    EXPECT_EQ(Captions(), std::vector<std::string>{"Open"});
}

TEST_F(UninstallPageTest, UninstallRunsEveryCheckedCommandInRowOrderEachWaitedFor) {
    memory.files().AddFile("C:\\one\\uninst.exe");
    memory.files().AddFile("C:\\Program Files\\Two\\remove.exe");
    memory.files().AddFile("C:\\three.exe");
    AddEntry("1", "One", "C:\\one\\uninst.exe");
    AddEntry("2", "Two", "\"C:\\Program Files\\Two\\remove.exe\" /quiet");
    AddEntry("3", "Three", "C:\\three.exe");
    registry().SetString(HKLM, kUninstall + "\\4", "DisplayName", "Four");  // nothing to start
    page.ListUninstallEntries();
    ClickCheck("Two");
    ClickCheck("One");
    ClickCheck("Four");
    page.btnUninstall.Click();
    WaitForRun();

    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, ProcessCallKind::StartAndWaitForTree);
    EXPECT_EQ(calls[0].applicationName, "C:\\one\\uninst.exe");  // "One" sorts before "Two"
    EXPECT_EQ(calls[0].commandLine, "\"C:\\one\\uninst.exe\"");
    EXPECT_EQ(calls[1].kind, ProcessCallKind::StartAndWaitForTree);
    EXPECT_EQ(calls[1].applicationName, "C:\\Program Files\\Two\\remove.exe");
    EXPECT_EQ(calls[1].commandLine, "\"C:\\Program Files\\Two\\remove.exe\" /quiet");
    EXPECT_EQ(page.lvAddRemove.Count(), 4);  // the programs played here leave their entries
    EXPECT_EQ(memory.dialogs().Records().size(), 0u);
}

TEST_F(UninstallPageTest, AnUninstallerThatCannotBeFoundIsReportedAndStartsNothing) {
    memory.files().AddFile("C:\\Program Files\\Here\\uninst.exe");
    memory.files().AddFile("C:\\Program.exe");  // what CreateProcess would have run for "Gone"
    memory.files().AddFile("C:\\WINDOWS\\system32\\msiexec.exe");
    AddEntry("Gone", "Gone App", "C:\\Program Files\\Gone\\uninst.exe /S");
    AddEntry("Here", "Here App", "C:\\Program Files\\Here\\uninst.exe /S");
    AddEntry("Msi", "Msi App", "MsiExec.exe /X{0C1F7A6B-2D1E-4F00-9C55-000000000001}");
    page.ListUninstallEntries();
    page.btnCheckAlll2Click();
    page.btnUninstall.Click();
    WaitForRun();

    // The rows after the missing one still start; msiexec comes from the system folder.
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].applicationName, "C:\\Program Files\\Here\\uninst.exe");
    EXPECT_EQ(calls[1].applicationName, "C:\\WINDOWS\\system32\\MsiExec.exe");
    EXPECT_EQ(calls[1].commandLine,
              "\"C:\\WINDOWS\\system32\\MsiExec.exe\" /X{0C1F7A6B-2D1E-4F00-9C55-000000000001}");
    const auto records = memory.dialogs().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::MessageBox);
    EXPECT_EQ(records[0].icon, MessageIcon::Warning);
    EXPECT_EQ(records[0].title, "Uninstall");
    EXPECT_EQ(records[0].text,
              "The uninstaller of Gone App cannot be found:\nC:\\Program Files\\Gone\\uninst.exe /S\n\n"
              "Nothing was started for it; what it left behind is listed below the programs.");
}

TEST_F(UninstallPageTest, DeleteAsksFirstAndDeletesOnlyAfterYes) {
    AddEntry("Stale", "Stale App", "C:\\gone.exe");
    registry().SetString(HKLM, kUninstall + "\\Stale\\Sub\\Deeper", "x", "y");
    AddEntry("Kept", "Kept App", "C:\\kept.exe");
    page.ListUninstallEntries();
    ClickCheck("Stale App");

    memory.dialogs().ScriptAnswers({false});
    page.btnDeleteEntry.Click();
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Confirm), 1u);
    EXPECT_EQ(memory.dialogs().Records()[0].text, "Are you sure to delete the key(s)?");
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
    EXPECT_TRUE(page.lvAddRemove.Checked(RowOf("Stale App")));

    memory.dialogs().ScriptAnswers({true});
    page.btnDeleteEntry.Click();
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\Kept"));
    EXPECT_EQ(Captions(), std::vector<std::string>{"Kept App"});
    EXPECT_FALSE(page.lvAddRemove.Checked(0));
    EXPECT_TRUE(page.btnDeleteEntry.Enabled());  // refilling does not change the buttons
}

TEST_F(UninstallPageTest, KeyThatCannotBeDeletedStaysAndIsListedAgain) {
    AddEntry("Protected", "Protected", "p.exe");
    AddEntry("Free", "Free", "f.exe");
    registry().DenyWrite(HKLM, kUninstall + "\\Protected");
    page.ListUninstallEntries();
    page.btnCheckAlll2Click();
    page.btnDeleteEntryClick();
    EXPECT_EQ(Captions(), std::vector<std::string>{"Protected"});
    // Said, not silent: without a way to restart as administrator, the refusal alone.
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Records().back().text,
              "1 entry could not be deleted from the registry: it needs administrator rights.");
}

TEST_F(UninstallPageTest, CheckAllTogglesCaptionRowsAndActions) {
    EXPECT_FALSE(page.btnUninstall.Enabled());
    EXPECT_FALSE(page.btnDeleteEntry.Enabled());
    page.btnCheckAlll2.Click();  // on an empty list
    EXPECT_EQ(page.btnCheckAlll2.Caption(), "&Uncheck All");
    EXPECT_TRUE(page.btnUninstall.Enabled());
    EXPECT_TRUE(page.btnDeleteEntry.Enabled());
    page.btnCheckAlll2.Click();
    EXPECT_EQ(page.btnCheckAlll2.Caption(), "&Check All");
    EXPECT_FALSE(page.btnUninstall.Enabled());

    AddEntry("A", "A", "a.exe");
    AddEntry("B", "B", "b.exe");
    page.ListUninstallEntries();
    page.btnCheckAlll2.Click();
    EXPECT_TRUE(page.lvAddRemove.Checked(0) && page.lvAddRemove.Checked(1));
    page.btnCheckAlll2.Click();
    EXPECT_FALSE(page.lvAddRemove.Checked(0) || page.lvAddRemove.Checked(1));
}

TEST_F(UninstallPageTest, ClickInTheListFollowsTheCheckMarks) {
    AddEntry("A", "A", "a.exe");
    AddEntry("B", "B", "b.exe");
    page.ListUninstallEntries();
    ClickCheck("B");
    EXPECT_TRUE(page.btnUninstall.Enabled());
    EXPECT_TRUE(page.btnDeleteEntry.Enabled());
    ClickCheck("A");
    ClickCheck("B");
    EXPECT_TRUE(page.btnUninstall.Enabled());
    ClickCheck("A");
    EXPECT_FALSE(page.btnUninstall.Enabled());
    EXPECT_FALSE(page.btnDeleteEntry.Enabled());
}

}  // namespace
}  // namespace korvane
