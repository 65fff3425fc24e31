// "&Delete entries" used to delete uninstall keys with no way back. Each key tree is now recorded in
// the undo history and the history saved before the first deletion, so the entry shows in Restore
// History and comes back as it was, empty sub-keys and all.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "support/AppWithHistoryFixture.h"
#include "support/WatchingRegistry.h"
#include "uninstall/AddRemove.h"
#include "uninstall/UninstallPage.h"

namespace korvane {
namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr HKey HKLM = roots::LocalMachine;

class UninstallDeleteRecordsHistoryTest : public testing::AppWithHistoryFixture {
protected:
    UninstallDeleteRecordsHistoryTest() {
        history.Load();
        registry.SetString(HKLM, kUninstall + "\\Stale", "DisplayName", "Stale App");
        registry.SetString(HKLM, kUninstall + "\\Stale", "UninstallString", "C:\\gone\\u.exe",
                           regtype::ExpandSz);
        registry.SetValue(HKLM, kUninstall + "\\Stale", "Odd", RegValue{regtype::Sz, {'a', 0, 'b'}});
        registry.SetDword(HKLM, kUninstall + "\\Stale", "EstimatedSize", 1234);
        registry.CreateKey(HKLM, kUninstall + "\\Stale\\Empty\\Deeper");
        registry.SetString(HKLM, kUninstall + "\\Kept", "DisplayName", "Kept App");
    }
    void DeleteChecked(const std::string& caption) {
        page.ListUninstallEntries();
        for (int i = 0; i < page.lvAddRemove.Count(); ++i)
            if (page.lvAddRemove.Item(i).caption == caption) page.lvAddRemove.UserToggleCheck(i);
        memory.dialogs().ScriptAnswers({true});
        page.btnDeleteEntry.Click();
    }

    UninstallPage page{state, history};
};

TEST_F(UninstallDeleteRecordsHistoryTest, TheDeletedKeyIsInTheHistoryAndComesBack) {
    const RegValue odd = *registry.GetValue(HKLM, kUninstall + "\\Stale", "Odd");
    DeleteChecked("Stale App");
    EXPECT_FALSE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Kept"));

    ASSERT_EQ(history.EntryCount(), 1);
    const HistoryEntry entry = history.Entries()[0];
    EXPECT_EQ(entry.name, "Stale App");
    EXPECT_EQ(entry.type, "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\Stale");
    EXPECT_EQ(entry.path, "C:\\gone\\u.exe");

    // After a restart, from the file.
    history.Load();
    history.RestoreEntry(0);
    EXPECT_EQ(registry.GetString(HKLM, kUninstall + "\\Stale", "DisplayName"), "Stale App");
    EXPECT_EQ(registry.GetValue(HKLM, kUninstall + "\\Stale", "UninstallString")->type, regtype::ExpandSz);
    EXPECT_EQ(registry.GetValue(HKLM, kUninstall + "\\Stale", "Odd")->data, odd.data);
    EXPECT_EQ(registry.GetValue(HKLM, kUninstall + "\\Stale", "EstimatedSize")->data,
              (std::vector<std::uint8_t>{0xD2, 0x04, 0, 0}));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stale\\Empty\\Deeper"));
    page.ListUninstallEntries();
    EXPECT_EQ(page.lvAddRemove.Count(), 2);
}

TEST_F(UninstallDeleteRecordsHistoryTest, TheHistoryIsOnDiskBeforeTheFirstDeletion) {
    testing::WatchingRegistry watching(registry, memory.files());
    Platform watched{watching,           memory.files(), memory.system(),
                     memory.processes(), memory.ui(),    memory.dialogs()};
    AppState watchedState{watched};
    watchedState.ProgramFolder = "C:\\Korvane\\";
    UndoHistory watchedHistory{watchedState};
    watchedHistory.Load();
    UninstallPage watchedPage{watchedState, watchedHistory};
    watchedPage.ListUninstallEntries();
    watchedPage.btnCheckAlll2Click();
    memory.dialogs().ScriptAnswers({true});
    watchedPage.btnDeleteEntryClick();

    ASSERT_GT(watching.deletions, 0);
    ASSERT_TRUE(watching.onDisk.has_value()) << "nothing was saved before the first deletion";
    XmlDocument saved;
    saved.LoadText(*watching.onDisk);
    ASSERT_EQ(saved.DocumentElement().ChildCount(), 2);  // both rows, first to last
    EXPECT_EQ(saved.DocumentElement().Child(0).Attribute("NAME"), "Kept App");
    EXPECT_EQ(saved.DocumentElement().Child(1).Attribute("NAME"), "Stale App");
    EXPECT_EQ(saved.DocumentElement().Child(1).ChildCount(), 7);  // 3 keys, 4 values
    EXPECT_FALSE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
}

TEST_F(UninstallDeleteRecordsHistoryTest, AHistoryThatCannotBeSavedDeletesNothing) {
    memory.files().FailWrite("C:\\Korvane");
    DeleteChecked("Stale App");
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
    EXPECT_EQ(history.EntryCount(), 0);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    const std::string text = memory.dialogs().Records().back().text;
    EXPECT_NE(text.find("C:\\Korvane\\Backup.xml, so no entry was deleted"), std::string::npos) << text;
    EXPECT_EQ(page.lvAddRemove.Count(), 2);  // listed again, both still there
}

TEST_F(UninstallDeleteRecordsHistoryTest, TheUninstallKeyItselfIsNeverTaken) {
    // A row whose entry names the Uninstall key (a hand-made list) deletes nothing.
    UninstallEntry everything;
    everything.key = KeyName::Key(HKLM, kUninstall);
    everything.displayName = "Everything";
    ListItem row{"Everything", {"", everything.key.Text()}, true};
    row.tag = everything;
    page.lvAddRemove.Add(std::move(row));
    memory.dialogs().ScriptAnswers({true});
    page.btnDeleteEntry.Click();
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Stale"));
    EXPECT_TRUE(registry.KeyExistsRaw(HKLM, kUninstall + "\\Kept"));
    EXPECT_EQ(history.EntryCount(), 0);
}

}  // namespace
}  // namespace korvane
