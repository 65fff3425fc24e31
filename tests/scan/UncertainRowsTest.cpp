// The rows of findings that rest on "cannot tell": listed unchecked with their evidence, never checked
// by a scan or by "Check All", ignored like any other; the selected row's evidence below the list and
// in what Ctrl+C copies.
#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

const std::string kLm = "HKEY_LOCAL_MACHINE\\";

class UncertainRowsTest : public ScanPageTest {
protected:
    void SetUp() override {
        ScanPageTest::SetUp();
        memory.files().SetDriveNotReady("E:");
        memory.registry().SetString(roots::LocalMachine, kAppPathsKey + "\\e.exe", "", "E:\\Setup\\e.exe");
        CheckOnly({0});
    }
    int Row(const std::string& keyName) const {
        for (int i = 0; i < page.lvErrors.Count(); ++i)
            if (page.lvErrors.SubItem(i, 0) == keyName) return i;
        return -1;
    }
};

TEST_F(UncertainRowsTest, AScanListsThemUncheckedAndCheckAllLeavesThemSo) {
    RunScan();
    const int unsure = Row(kLm + kAppPathsKey + "\\e.exe");
    const int missing = Row(kLm + kAppPathsKey + "\\a.exe");
    ASSERT_GE(unsure, 0);
    ASSERT_GE(missing, 0);
    EXPECT_FALSE(page.lvErrors.Checked(unsure));
    EXPECT_TRUE(page.lvErrors.Checked(missing));
    EXPECT_EQ(page.lvScanGroups.SubItem(0, 0), "3");  // counted like any finding

    page.btnCheckAllClick();  // "&Check All" -> "&Uncheck All"
    EXPECT_FALSE(page.lvErrors.Checked(unsure));
    page.btnCheckAllClick();
    EXPECT_FALSE(page.lvErrors.Checked(missing));
    page.btnCheckAllClick();
    EXPECT_TRUE(page.lvErrors.Checked(missing));
    EXPECT_FALSE(page.lvErrors.Checked(unsure));

    // Repair takes only what is checked: the entry that cannot be judged stays.
    page.btnFixSelected.Click();
    EXPECT_TRUE(memory.registry().KeyExistsRaw(roots::LocalMachine, kAppPathsKey + "\\e.exe"));
    EXPECT_FALSE(memory.registry().KeyExistsRaw(roots::LocalMachine, kAppPathsKey + "\\a.exe"));
    ASSERT_EQ(page.lvErrors.Count(), 1);
    EXPECT_EQ(page.lvErrors.SubItem(0, 0), kLm + kAppPathsKey + "\\e.exe");
}

TEST_F(UncertainRowsTest, TheSelectedRowShowsItsEvidenceAndCtrlCCopiesItWithTheRow) {
    RunScan();
    EXPECT_EQ(page.lblEvidence.Caption(), "");
    EXPECT_EQ(page.CopySelectedRow(), "");

    page.lvErrors.SetSelected(Row(kLm + kAppPathsKey + "\\e.exe"), true);
    const std::string unsure =
        "E:\\Setup\\e.exe \u2014 drive not ready: cannot tell, so the row is not checked";
    EXPECT_EQ(page.lblEvidence.Caption(), unsure);
    EXPECT_EQ(page.lvErrors.copyText(), "Application\t" + kLm + kAppPathsKey +
                                            "\\e.exe\tE:\\Setup\\e.exe\te:\\setup\\e.exe\r\n" + unsure +
                                            "\r\n");

    page.lvErrors.SetSelected(Row(kLm + kAppPathsKey + "\\c.exe"), true);
    EXPECT_EQ(page.lblEvidence.Caption(), "C:\\Gone\\c.exe \u2014 folder not found");
    page.lvErrors.ClearSelection();
    EXPECT_EQ(page.lblEvidence.Caption(), "");

    // A new run starts without a selection, and without its evidence.
    page.lvErrors.SetSelected(0, true);
    RunScan();
    EXPECT_EQ(page.lblEvidence.Caption(), "");
}

TEST_F(UncertainRowsTest, TheIgnoreListTakesThemAsAnyOther) {
    RunScan();
    const int unsure = Row(kLm + kAppPathsKey + "\\e.exe");
    page.lvErrors.SetAllChecked(false);
    page.lvErrors.SetChecked(unsure, true);  // the user's own choice
    page.btnAdd2Ignore.Click();
    EXPECT_EQ(Row(kLm + kAppPathsKey + "\\e.exe"), -1);
    RunScan();
    EXPECT_EQ(Row(kLm + kAppPathsKey + "\\e.exe"), -1);
    EXPECT_EQ(page.lvErrors.Count(), 2);
}

}  // namespace
}  // namespace korvane::testing
