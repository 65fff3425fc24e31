// A finding repaired before and found again is recreated by something: the next scan lists it
// unchecked with the date of that repair, "Check All" leaves it so, and the ignore list takes it like
// any other row. An entry the user restored from the history is judged afresh.
#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

const std::string kGone = "HKEY_LOCAL_MACHINE\\" + kAppPathsKey + "\\a.exe";

class CameBackTest : public ScanPageTest {
protected:
    void SetUp() override {
        ScanPageTest::SetUp();
        memory.system().now = LocalDateTime{2026, 12, 8, 9, 30, 0};
        CheckOnly({0});
    }
    int Row(const std::string& keyName) const {
        for (int i = 0; i < page.lvErrors.Count(); ++i)
            if (page.lvErrors.SubItem(i, 0) == keyName) return i;
        return -1;
    }
    // Repairs every checked row, then puts a.exe back as the program that keeps writing it would.
    void RepairAndRecreate() {
        page.btnFixSelected.Click();
        ASSERT_EQ(Row(kGone), -1);
        memory.registry().SetString(roots::LocalMachine, kAppPathsKey + "\\a.exe", "", "C:\\Gone\\a.exe");
    }
};

TEST_F(CameBackTest, ARecreatedFindingIsListedUncheckedWithTheDateOfItsRepair) {
    RunScan();
    ASSERT_TRUE(page.lvErrors.Checked(Row(kGone)));
    RepairAndRecreate();
    RunScan();

    const int row = Row(kGone);
    ASSERT_GE(row, 0);
    EXPECT_FALSE(page.lvErrors.Checked(row));
    page.lvErrors.SetSelected(row, true);
    EXPECT_EQ(page.lblEvidence.Caption(),
              "C:\\Gone\\a.exe \u2014 folder not found; came back after a repair on 2026-12-08: a program "
              "recreates it, so the row is not checked");
    // c.exe was repaired too but nothing recreated it.
    EXPECT_EQ(Row("HKEY_LOCAL_MACHINE\\" + kAppPathsKey + "\\c.exe"), -1);

    page.btnCheckAllClick();
    EXPECT_FALSE(page.lvErrors.Checked(Row(kGone)));
    page.btnCheckAllClick();

    // The ignore list takes it as any row.
    page.lvErrors.SetChecked(Row(kGone), true);
    page.btnAdd2Ignore.Click();
    RunScan();
    EXPECT_EQ(Row(kGone), -1);
}

TEST_F(CameBackTest, AnEntryRestoredFromTheHistoryIsJudgedAfresh) {
    RunScan();
    RepairAndRecreate();
    // The user brings back every repaired entry: the history no longer holds them.
    while (history.EntryCount() > 0) history.RestoreEntry(0);
    RunScan();
    ASSERT_GE(Row(kGone), 0);
    EXPECT_TRUE(page.lvErrors.Checked(Row(kGone)));
}

}  // namespace
}  // namespace korvane::testing
