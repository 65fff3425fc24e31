// A standard user: the scan reads machine-wide keys as an administrator's does; a repair the registry
// refuses for lack of rights keeps its rows, says how many entries need administrator rights and offers
// to restart Korvane as administrator on the scan page. Nothing refused is reported as done.
#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

const std::string kLm = "HKEY_LOCAL_MACHINE\\";

class StandardUserTest : public ScanPageTest {
protected:
    void SetUp() override {
        ScanPageTest::SetUp();
        memory.registry().SetStandardUser(true);
        state.restartAsAdministrator = [this](const std::string& page) {
            restartedOn.push_back(page);
            return true;
        };
    }
    std::vector<std::string> restartedOn;
};

TEST_F(StandardUserTest, TheScanFindsTheMachinesEntriesAsForAnAdministrator) {
    RunScan();
    EXPECT_THAT(Counts(), ::testing::ElementsAre("2", "1", "0", "1", "0", "0", "2", "0", "0", "0", "1", "1"));
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
}

TEST_F(StandardUserTest, ARefusedRepairKeepsItsRowsSaysHowManyNeedRightsAndOffersTheRestart) {
    RunScan();
    ASSERT_EQ(page.lvErrors.Count(), 8);
    memory.dialogs().ScriptAnswers({true});
    page.btnFixSelected.Click();

    // The user's own entry went; the seven machine-wide ones stay, checked, in the list.
    EXPECT_FALSE(memory.registry().KeyExistsRaw(roots::CurrentUser, kFileExtsKey + "\\.xyz"));
    EXPECT_EQ(page.lvErrors.Count(), 7);
    EXPECT_TRUE(memory.registry().KeyExistsRaw(roots::LocalMachine, kAppPathsKey + "\\a.exe"));
    for (const ListItem& row : page.lvErrors.Items()) EXPECT_TRUE(row.checked);
    const auto records = memory.dialogs().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DialogKind::Confirm);
    EXPECT_EQ(records[0].text,
              "7 entries could not be deleted from the registry and stayed in the list: they need "
              "administrator rights.\n\nRestart Korvane as administrator?");
    EXPECT_EQ(restartedOn, (std::vector<std::string>{"tabScanErrors"}));
}

TEST_F(StandardUserTest, NoToTheOfferChangesNothingMore) {
    RunScan();
    memory.dialogs().ScriptAnswers({false});
    page.btnFixSelected.Click();
    EXPECT_TRUE(restartedOn.empty());
    EXPECT_EQ(page.lvErrors.Count(), 7);
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 1u);
}

TEST_F(StandardUserTest, AnAdministratorWhoIsStillRefusedIsOnlyTold) {
    memory.system().elevated = true;
    RunScan();
    page.btnFixSelected.Click();
    EXPECT_TRUE(restartedOn.empty());
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Confirm), 0u);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0).rfind("7 entries could not be deleted", 0), 0u);
}

TEST_F(StandardUserTest, AStartThatFailsIsSaid) {
    state.restartAsAdministrator = [](const std::string&) { return false; };
    RunScan();
    memory.dialogs().ScriptAnswers({true});
    page.btnFixSelected.Click();
    EXPECT_EQ(memory.dialogs().Texts().back(), "Korvane could not be started as administrator.");
    EXPECT_EQ(page.lvErrors.Count(), 7);
}

}  // namespace
}  // namespace korvane::testing
