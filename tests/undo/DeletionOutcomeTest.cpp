// The history runs a batch (plan, save ahead, delete) and says entry by entry what became of it: the
// pages decide which rows leave and what the user hears from this answer alone.
#include "undo/HistoryTestSupport.h"

namespace korvane {
namespace {

class DeletionOutcomeTest : public testing::HistoryTest {
protected:
    DeletionOutcomeTest() {
        registry.SetString(roots::CurrentUser, "Software\\Gone", "v", "1");
        registry.SetString(roots::CurrentUser, "Software\\Stuck\\Sub", "w", "2");
        registry.SetString(roots::LocalMachine, "SOFTWARE\\Machine", "m", "3");
        // A sub-key no one may open: its parent cannot go, yet the parent itself is writable.
        registry.DenyOpen(roots::CurrentUser, "Software\\Stuck\\Sub");
        // What a standard user meets below HKEY_LOCAL_MACHINE.
        registry.DenyWrite(roots::LocalMachine, "SOFTWARE\\Machine");
    }

    // Plans one entry per name, in order; a null name adds an entry that stands for no deletion.
    DeletionOutcome Run(const std::vector<const KeyName*>& names) {
        UndoBatch batch = history.BeginBatch();
        for (const KeyName* name : names) {
            batch.AddEntry("entry", name ? name->Text() : "", "");
            if (name) batch.RecordForDeletion(*name);
        }
        return history.Delete(batch);
    }

    const KeyName gone = KeyName::Key(roots::CurrentUser, "Software\\Gone");
    const KeyName stuck = KeyName::Key(roots::CurrentUser, "Software\\Stuck");
    const KeyName machine = KeyName::Value(roots::LocalMachine, "SOFTWARE\\Machine", "m");
};

TEST_F(DeletionOutcomeTest, EachEntryIsDeletedRefusedForRightsOrFailed) {
    const DeletionOutcome outcome = Run({&gone, &machine, &stuck, nullptr});
    EXPECT_FALSE(outcome.saveFailed);
    EXPECT_EQ(outcome.entries, (std::vector<EntryFate>{EntryFate::Deleted, EntryFate::NeedsRights,
                                                       EntryFate::Failed, EntryFate::NothingPlanned}));
    EXPECT_EQ(outcome.Count(EntryFate::NeedsRights), 1);
    EXPECT_EQ(outcome.Of(9), EntryFate::NothingPlanned);  // no such entry
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Gone"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::LocalMachine, "SOFTWARE\\Machine", "m"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Stuck"));
    // Saved ahead, all four entries: those that stayed can still be compared with the registry.
    EXPECT_EQ(history.EntryCount(), 4);
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
}

TEST_F(DeletionOutcomeTest, AnEntryWithSeveralDeletionsIsDeletedOnlyWhenAllWent) {
    UndoBatch batch = history.BeginBatch();
    batch.AddEntry("both", "", "");
    batch.RecordForDeletion(gone);
    batch.RecordForDeletion(machine);
    const DeletionOutcome outcome = history.Delete(batch);
    EXPECT_EQ(outcome.entries, std::vector<EntryFate>{EntryFate::NeedsRights});
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Gone"));
}

TEST_F(DeletionOutcomeTest, ARefusedSaveStopsEveryDeletion) {
    NewEntry("older");
    memory.files().FailWrite("C:\\Korvane");
    const DeletionOutcome outcome = Run({&gone, &machine});
    EXPECT_TRUE(outcome.saveFailed);
    EXPECT_FALSE(outcome.saveError.empty());
    EXPECT_EQ(outcome.Count(EntryFate::Deleted), 0);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Gone"));
    // The entries stand for deletions that did not happen: they leave the history again.
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "older");
}

TEST_F(DeletionOutcomeTest, ABatchWithoutDeletionsKeepsItsEntriesWithoutASave) {
    const DeletionOutcome outcome = Run({nullptr, nullptr});
    EXPECT_FALSE(outcome.saveFailed);
    EXPECT_EQ(outcome.entries,
              (std::vector<EntryFate>{EntryFate::NothingPlanned, EntryFate::NothingPlanned}));
    EXPECT_EQ(history.EntryCount(), 2);
    EXPECT_FALSE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
}

TEST_F(DeletionOutcomeTest, ContainersRegisteredOnceAreRefusedByEveryBatch) {
    history.Containers().Add(BaseKey{roots::CurrentUser, "Software\\Gone"});
    const DeletionOutcome outcome = Run({&gone});
    EXPECT_EQ(outcome.entries, std::vector<EntryFate>{EntryFate::NothingPlanned});
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Gone"));
    // A value of it is no container.
    const KeyName value = KeyName::Value(roots::CurrentUser, "Software\\Gone", "v");
    EXPECT_EQ(Run({&value}).entries, std::vector<EntryFate>{EntryFate::Deleted});
}

}  // namespace
}  // namespace korvane
