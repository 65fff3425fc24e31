// One wording for every page that deletes or changes entries: the refused save, the entries that
// stayed, and the administrator offer, each with the page's own noun.
#include <gtest/gtest.h>

#include "core/DeletionReport.h"
#include "platform/memory/MemoryPlatform.h"

namespace korvane {
namespace {

class DeletionReportTest : public ::testing::Test {
protected:
    DeletionReportTest() {
        state.restartAsAdministrator = [this](const std::string& page) {
            restartedOn.push_back(page);
            return true;
        };
    }

    static DeletionOutcome Outcome(std::vector<EntryFate> entries) {
        DeletionOutcome outcome;
        outcome.entries = std::move(entries);
        return outcome;
    }

    MemoryPlatform memory;
    AppState state{memory.platform()};
    std::vector<std::string> restartedOn;
    Page page{"tabStartup"};
    const DeletionWording addOns{nouns::AddOn, "no plug-in was removed",
                                 "could not be removed from the registry"};
};

TEST_F(DeletionReportTest, EverythingDeletedSaysNothing) {
    EXPECT_FALSE(ReportDeletion(state, "C:\\K\\Backup.xml",
                                Outcome({EntryFate::Deleted, EntryFate::NothingPlanned}), addOns));
    EXPECT_TRUE(memory.dialogs().Records().empty());
}

TEST_F(DeletionReportTest, ARefusedSaveNamesTheFileWhatWasNotDoneAndWhy) {
    DeletionOutcome outcome = Outcome({EntryFate::NothingPlanned});
    outcome.saveFailed = true;
    outcome.saveError = "The disk is full.";
    ReportDeletion(state, "C:\\K\\Backup.xml", outcome, addOns);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0),
              "The undo history could not be saved to C:\\K\\Backup.xml, so no plug-in was removed.\n"
              "The disk is full.");
    EXPECT_TRUE(restartedOn.empty());
}

TEST_F(DeletionReportTest, EntriesThatStayedAreCountedWithThePagesNoun) {
    ReportDeletion(state, "f", Outcome({EntryFate::Failed, EntryFate::Deleted, EntryFate::Failed}), addOns);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0), "2 add-ons could not be removed from the registry.");
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 0u);
}

TEST_F(DeletionReportTest, EntriesThatNeedRightsComeWithTheRestartOffer) {
    state.MainControl.AddPage(page);
    state.MainControl.SetActivePage(page);
    memory.dialogs().ScriptAnswers({true});
    EXPECT_TRUE(ReportDeletion(state, "f", Outcome({EntryFate::NeedsRights, EntryFate::Failed}),
                               {nouns::StartupEntry, "the entry was not removed", "could not be removed"}));
    ASSERT_EQ(memory.dialogs().Texts().size(), 2u);
    EXPECT_EQ(memory.dialogs().Texts().at(0), "1 startup entry could not be removed.");
    EXPECT_EQ(memory.dialogs().Texts().at(1),
              "1 startup entry could not be removed: it needs administrator rights.\n\n"
              "Restart Korvane as administrator?");
    EXPECT_EQ(restartedOn, std::vector<std::string>{"tabStartup"});
}

TEST_F(DeletionReportTest, AnAdministratorOnlyHearsWhatNeededRights) {
    memory.system().elevated = true;
    EXPECT_FALSE(ReportNeedsRights(state, 2, nouns::Entry, "could not be restored"));
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 0u);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0),
              "2 entries could not be restored: they need administrator rights.");
    EXPECT_TRUE(restartedOn.empty());
    EXPECT_FALSE(ReportNeedsRights(state, 0, nouns::Entry, "could not be restored"));
    EXPECT_EQ(memory.dialogs().Records().size(), 1u);
}

TEST(DeletionReportTexts, CountsAndTheHistoryFileAreSpelledOnce) {
    EXPECT_EQ(CountOf(1, nouns::Entry), "1 entry");
    EXPECT_EQ(CountOf(3, nouns::AddOn), "3 add-ons");
    EXPECT_EQ(CountOf(2, nouns::StartupEntry), "2 startup entries");
    EXPECT_EQ(HistoryNotSavedText("C:\\K\\Backup.xml"),
              "The undo history could not be saved to C:\\K\\Backup.xml");
}

}  // namespace
}  // namespace korvane
