// The uninstall run through the page: an uninstaller that hands over to a copy of itself is waited
// for until the copy has ended, "Stop waiting" leaves it running, the leftovers are listed with their
// evidence, removed (registry through the undo history, files to the Recycle Bin) and brought back
// from the history byte for byte; an entry whose uninstaller is missing offers its leftovers.
#include <future>

#include "uninstall/LeftoverScenario.h"

namespace korvane::testing {
namespace {

class LeftoverPanelTest : public LeftoverTest {
protected:
    LeftoverPanelTest() {
        // Writer's uninstaller, as many are: it copies itself to the temporary folder, starts the
        // copy and quits; the copy removes the program.
        memory.processes().SetTreeBehaviour([this](const std::string& commandLine, MemoryJob& job) {
            if (commandLine.find("uninst.exe") == std::string::npos) return true;
            memory.files().AddFile("C:\\Temp\\Un_A.exe", "MZ");
            job.Start([this](MemoryJob&) {
                copyRan = true;
                RemoveWriterFiles();
            });
            return true;
        });
        page.ListUninstallEntries();
    }

    void CheckProgram(const std::string& name) { ClickCheck(name); }

    std::vector<std::string> LeftoverRows() const {
        std::vector<std::string> rows;
        const ListView& list = page.leftovers.lvLeftovers;
        for (int i = 0; i < list.Count(); ++i)
            rows.push_back(list.Item(i).caption + "|" + list.SubItem(i, kLeftoverWhereColumn) +
                           (list.Checked(i) ? "|checked" : "|unchecked"));
        return rows;
    }

    bool copyRan = false;
};

TEST_F(LeftoverPanelTest, TheUninstallerAndTheCopyItStartsAreWaitedForBeforeTheScan) {
    CheckProgram("Acme Writer");
    UninstallChecked();
    EXPECT_TRUE(copyRan);
    const auto calls = memory.processes().Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, ProcessCallKind::StartAndWaitForTree);
    EXPECT_EQ(calls[0].commandLine, "\"" + kWriter + "\\uninst.exe\" /S");
    // The scan ran after the copy: what it removed is evidence, and its entry left the list.
    const std::vector<std::string> rows = LeftoverRows();
    EXPECT_EQ(rows.size(), 13u);
    EXPECT_THAT(rows, ::testing::Contains("Run entry|HKEY_CURRENT_USER\\" + kCurrentVersion +
                                          "\\Run\\AcmeWriterTray|checked"));
    EXPECT_THAT(rows, ::testing::Contains("Install folder|" + kWriter + "|checked"));
    EXPECT_EQ(RowOf("Acme Writer"), -1);
    EXPECT_GE(RowOf("Acme Paint"), 0);
    EXPECT_EQ(page.leftovers.lblLeftovers.Caption(), "What the uninstalled programs left behind: 13 found");
    EXPECT_TRUE(page.leftovers.btnRemove.Enabled());
    EXPECT_FALSE(page.leftovers.btnStopWaiting.Enabled());
}

TEST_F(LeftoverPanelTest, StopWaitingLeavesTheUninstallerRunningAndLooksForNothing) {
    std::promise<void> started;
    std::promise<void> stopped;
    auto stoppedSeen = stopped.get_future().share();
    memory.processes().SetTreeBehaviour([&, stoppedSeen](const std::string&, MemoryJob& job) {
        started.set_value();
        stoppedSeen.wait();  // the user presses "Stop waiting" while the uninstaller runs
        job.Start([this](MemoryJob&) {
            copyRan = true;
            RemoveWriterFiles();
        });
        return true;
    });
    CheckProgram("Acme Writer");
    page.btnUninstallClick();
    EXPECT_TRUE(page.leftovers.btnStopWaiting.Enabled());
    EXPECT_NE(page.leftovers.lblLeftovers.Caption().find("Waiting"), std::string::npos);
    started.get_future().wait();
    page.leftovers.btnStopWaiting.Click();
    stopped.set_value();
    WaitForRun();
    EXPECT_FALSE(copyRan);
    EXPECT_EQ(page.leftovers.lvLeftovers.Count(), 0);
    EXPECT_EQ(page.leftovers.lblLeftovers.Caption(),
              "Stopped waiting for the uninstaller of Acme Writer; it goes on, and its leftovers were not "
              "looked for.");
    memory.processes().RunLeftRunning();  // the uninstaller was not stopped
    EXPECT_TRUE(copyRan);
}

TEST_F(LeftoverPanelTest, RemoveTakesTheCheckedRowsAndRestoreHistoryBringsTheRegistryBackByteForByte) {
    // Paint gone as well, so that Writer's settings key shows (unchecked).
    registry().DeleteTreeRaw(HKLM, kPaintEntry);
    page.ListUninstallEntries();
    CheckProgram("Acme Writer");
    UninstallChecked();
    const RegistryDump before = Dump();
    ASSERT_THAT(
        LeftoverRows(),
        ::testing::Contains("Settings key|HKEY_CURRENT_USER\\Software\\Acme Corp\\Acme Writer|unchecked"));

    memory.dialogs().ScriptAnswers({false});
    page.leftovers.btnRemove.Click();
    EXPECT_EQ(Dump(), before);  // "No" removes nothing

    memory.dialogs().ScriptAnswers({true});
    page.leftovers.btnRemove.Click();
    EXPECT_EQ(LeftoverRows(),
              std::vector<std::string>{
                  "Settings key|HKEY_CURRENT_USER\\Software\\Acme Corp\\Acme Writer|unchecked"});
    EXPECT_FALSE(page.leftovers.btnRemove.Enabled());
    // Files and folders went to the Recycle Bin, not away for good.
    EXPECT_EQ(memory.files().RecycledRaw(),
              (std::vector<std::string>{kUserDesktop + "\\Acme Writer.lnk",
                                        kCommonPrograms + "\\Acme Writer\\Acme Writer.lnk", kWriter}));
    // Only the traces changed: every other value is as it was.
    const RegistryDump after = Dump();
    for (const auto& [name, value] : after) {
        if (name.ends_with("|(key)")) continue;  // a key whose last value went
        EXPECT_EQ(before.count(name), 1u) << name;
        EXPECT_EQ(before.at(name), value) << name;
    }
    EXPECT_EQ(after.count("2147483649|software\\acme corp\\acme writer\\options|Font"), 1u);
    EXPECT_EQ(after.count("2147483649|software\\microsoft\\windows\\currentversion\\run|AcmePaint"), 1u);
    EXPECT_EQ(after.count("2147483649|software\\microsoft\\windows\\currentversion\\run|AcmeWriterTray"), 0u);

    // One history entry per registry trace, named after the program.
    const auto entries = history.Entries();
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0].name, "App Paths entry of Acme Writer");
    EXPECT_EQ(entries[0].type, "HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\App Paths\\writer.exe");
    EXPECT_EQ(entries[0].path, "points to " + kWriter + "\\writer.exe \xE2\x80\x94 file removed");
    for (int i = history.EntryCount() - 1; i >= 0; --i) history.RestoreEntry(i);
    EXPECT_EQ(Dump(), before);
}

TEST_F(LeftoverPanelTest, AnEntryWhoseUninstallerIsMissingOffersItsLeftoversTheEntryIncluded) {
    RemoveWriterFiles();
    registry().SetString(HKLM, kWriterEntry, "DisplayName", "Acme Writer");
    registry().SetString(HKLM, kWriterEntry, "Publisher", "Acme Corp");
    registry().SetString(HKLM, kWriterEntry, "UninstallString", "\"" + kWriter + "\\uninst.exe\" /S");
    page.ListUninstallEntries();
    CheckProgram("Acme Writer");
    EXPECT_TRUE(page.btnLeftovers.Enabled());
    page.btnLeftovers.Click();
    WaitForRun();
    EXPECT_TRUE(memory.processes().Calls().empty());
    ASSERT_GT(page.leftovers.lvLeftovers.Count(), 0);
    EXPECT_EQ(LeftoverRows()[0], "Uninstall entry|HKEY_LOCAL_MACHINE\\" + kWriterEntry + "|checked");

    // "&Uninstall" on it says the uninstaller is missing and looks for the same leftovers.
    page.btnUninstallClick();
    WaitForRun();
    EXPECT_TRUE(memory.processes().Calls().empty());
    EXPECT_EQ(memory.dialogs().Records().size(), 1u);
    EXPECT_EQ(LeftoverRows()[0], "Uninstall entry|HKEY_LOCAL_MACHINE\\" + kWriterEntry + "|checked");

    memory.dialogs().ScriptAnswers({true});
    page.leftovers.btnRemove.Click();
    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kWriterEntry));
    EXPECT_EQ(RowOf("Acme Writer"), -1);  // the list follows
    EXPECT_EQ(history.Entries()[0].name, "Uninstall entry of Acme Writer");
}

TEST_F(LeftoverPanelTest, ARemovalThatCannotBeRecordedRemovesNothing) {
    CheckProgram("Acme Writer");
    UninstallChecked();
    const RegistryDump before = Dump();
    memory.files().FailWrite("C:\\Korvane");  // Backup.xml cannot be saved
    memory.dialogs().ScriptAnswers({true});
    page.leftovers.btnRemove.Click();
    EXPECT_EQ(Dump(), before);
    EXPECT_TRUE(memory.files().RecycledRaw().empty());
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(page.leftovers.lvLeftovers.Count(), 13);
}

}  // namespace
}  // namespace korvane::testing
