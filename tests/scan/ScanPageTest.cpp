// The scan page driven as a user would: start, stop, group check boxes and the ignore list changed
// during a run, the order of the error list, the end label, and the check-all toggle.
#include <gmock/gmock.h>

#include <map>
#include <stdexcept>

#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;

const std::string kLm = "HKEY_LOCAL_MACHINE\\";

TEST_F(ScanPageTest, IsLaidOutWithItsNamedControls) {
    EXPECT_EQ(page.Name(), "tabScanErrors");
    EXPECT_EQ(page.Controls().size(), 9u);
    EXPECT_EQ(page.gbControlPanel.Caption(), "&Control Panel ");
    EXPECT_EQ(page.btnStartScan.Caption(), "Start &Scan");
    EXPECT_EQ(page.btnFixSelected.Caption(), "Fix S&elected");
    EXPECT_FALSE(page.btnFixSelected.Enabled());
    EXPECT_EQ(page.btnCheckAll.Caption(), "&Check All");
    EXPECT_EQ(page.btnAdd2Ignore.Caption(), "&Add to Ignore List");
    ASSERT_EQ(page.lvErrors.columns.size(), 4u);
    EXPECT_EQ(page.lvErrors.columns[3].title, "Guess Path");
    EXPECT_EQ(page.lvErrors.columns[3].width, ListColumn::kRestWidth);
    EXPECT_EQ(page.lblScanLabel.parent, &page.gbControlPanel);
    // The evidence of the selected finding stands between the list and the control panel.
    EXPECT_EQ(page.lblEvidence.parent, nullptr);
    EXPECT_EQ(page.lblEvidence.bounds.y, page.lvErrors.bounds.y + page.lvErrors.bounds.height + 4);
    EXPECT_LT(page.lblEvidence.bounds.y + page.lblEvidence.bounds.height, page.gbControlPanel.bounds.y);
}

TEST_F(ScanPageTest, FillScanGroupsListsTheTwelveGroupsCheckedWithZeroCounts) {
    page.lvScanGroups.SetChecked(4, false);
    page.lvScanGroups.SetSubItem(4, 0, "9");
    page.FillScanGroups();
    ASSERT_EQ(page.lvScanGroups.Count(), 12);
    EXPECT_EQ(page.lvScanGroups.Item(0).caption, "Application Path");
    EXPECT_EQ(page.lvScanGroups.Item(4).caption, "Most Recently Used List (MRU)");
    EXPECT_EQ(page.lvScanGroups.Item(11).caption, "File Extensions");
    for (const ListItem& row : page.lvScanGroups.Items()) {
        EXPECT_TRUE(row.checked);
        EXPECT_EQ(row.imageIndex, 0);
    }
    EXPECT_THAT(Counts(), Each(std::string("0")));
}

TEST_F(ScanPageTest, AFullRunListsFindingsByErrorTypeInTheOrderFoundAndWritesCounts) {
    PageControl& pages = state.MainControl;
    pages.AddPage(page);
    pages.AddPage(ignorePage);
    pages.SetActivePage(ignorePage);
    RunScan();
    EXPECT_THAT(Column(-1), ElementsAre("Application", "Application", "COM/ActiveX", "File Extensions",
                                        "Font File", "Shared DLLs", "Shared DLLs", "Uninstall"));
    EXPECT_THAT(
        Column(0),
        ElementsAre(kLm + kAppPathsKey + "\\a.exe", kLm + kAppPathsKey + "\\c.exe",
                    "HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32",
                    "HKEY_CURRENT_USER\\" + kFileExtsKey + "\\.xyz", kLm + kFontsKey + "\\Gone",
                    kLm + kSharedDllsKey + "\\C:\\Gone\\s1.dll", kLm + kSharedDllsKey + "\\C:\\Gone\\s2.dll",
                    kLm + kUninstallKey + "\\X\\UninstallString"));
    EXPECT_THAT(Counts(), ElementsAre("2", "1", "0", "1", "0", "0", "2", "0", "0", "0", "1", "1"));
    for (const ListItem& row : page.lvErrors.Items()) {
        EXPECT_TRUE(row.checked);
        EXPECT_EQ(row.imageIndex, 1);
    }
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
    EXPECT_EQ(page.btnStartScan.Caption(), "Start &Scan");
    EXPECT_TRUE(page.btnFixSelected.Enabled());
    EXPECT_EQ(pages.ActivePage(), &page);  // the end of a scan brings its page to the front
}

TEST_F(ScanPageTest, BatchedHandOverGivesTheSameRowsAsOneByOneWithFewerHandOvers) {
    RunScan();
    const auto batchedRows = page.lvErrors.Items();
    const auto batchedCounts = Counts();
    const auto batchedHandOvers = page.LastRunHandOvers();
    HandOverEachAtOnce();
    RunScan();
    ASSERT_EQ(page.lvErrors.Count(), static_cast<int>(batchedRows.size()));
    for (int i = 0; i < page.lvErrors.Count(); ++i) {
        EXPECT_EQ(page.lvErrors.Item(i).caption, batchedRows[static_cast<size_t>(i)].caption);
        EXPECT_EQ(page.lvErrors.Item(i).subItems, batchedRows[static_cast<size_t>(i)].subItems);
    }
    EXPECT_EQ(Counts(), batchedCounts);
    EXPECT_LT(batchedHandOvers, page.LastRunHandOvers());
}

TEST_F(ScanPageTest, WithAllGroupsUncheckedARunEndsAtOnce) {
    CheckOnly({});
    page.lvScanGroups.SetSubItem(3, 0, "7");
    RunScan();
    EXPECT_EQ(page.lvErrors.Count(), 0);
    EXPECT_THAT(Counts(), Each(std::string("0")));
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
    EXPECT_EQ(page.LastRunEntries(), 0u);
}

TEST_F(ScanPageTest, StopDuringGroupZeroKeepsItsRowButNoCountAndRunsNoLaterGroup) {
    HandOverEachAtOnce();
    page.lvErrors.onChanged = [this](Control&) {
        if (page.lvErrors.Count() == 1 && page.btnStartScan.Caption() == "Stop &Scan")
            page.btnStartScan.Click();
    };
    RunScan();
    EXPECT_THAT(Column(0), ElementsAre(kLm + kAppPathsKey + "\\a.exe"));
    EXPECT_THAT(Counts(), Each(std::string("0")));
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");  // a stop asked for is a normal end
    EXPECT_TRUE(page.ScanErrorsThread.LastRunStopped());
}

TEST_F(ScanPageTest, StopDuringGroupThreeStillWritesItsCount) {
    HandOverEachAtOnce();
    memory.registry().SetString(roots::LocalMachine, kFontsKey, "Later", "later.ttf");
    page.lvErrors.onChanged = [this](Control&) {
        if (page.lvErrors.Count() > 0 &&
            page.lvErrors.Item(page.lvErrors.Count() - 1).caption == "Font File" &&
            page.btnStartScan.Caption() == "Stop &Scan")
            page.btnStartScan.Click();
    };
    RunScan();
    EXPECT_THAT(Counts(), ElementsAre("2", "1", "0", "1", "0", "0", "0", "0", "0", "0", "0", "0"));
}

TEST_F(ScanPageTest, GroupCheckBoxesAreReadWhenTheWorkerReachesThem) {
    HandOverEachAtOnce();
    CheckOnly({0, 6});
    page.lvErrors.onChanged = [this](Control&) {
        if (page.lvErrors.Count() == 1) {
            page.lvScanGroups.SetChecked(6, false);
            page.lvScanGroups.SetChecked(10, true);
        }
    };
    RunScan();
    EXPECT_THAT(Column(-1), ElementsAre("Application", "Application", "Uninstall"));
    EXPECT_THAT(Counts(), ElementsAre("2", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "0"));
}

TEST_F(ScanPageTest, IgnoreEntriesTakeEffectForLaterFindingsOfTheSameRun) {
    HandOverEachAtOnce();
    CheckOnly({0, 6});
    // The same Key Name in other letter case does not match; two matching entries act as one.
    Ignore("HKEY_LOCAL_MACHINE", "software\\Microsoft\\Windows\\CurrentVersion\\App Paths", "a.exe");
    Ignore("HKEY_LOCAL_MACHINE", kSharedDllsKey + "\\C:\\Gone", "s1.dll");
    Ignore("HKEY_LOCAL_MACHINE", kSharedDllsKey + "\\C:\\Gone", "s1.dll");
    page.lvErrors.onChanged = [this](Control&) {
        if (page.lvErrors.Count() == 1) Ignore("HKEY_LOCAL_MACHINE", kAppPathsKey, "c.exe");
    };
    RunScan();
    EXPECT_THAT(Column(0),
                ElementsAre(kLm + kAppPathsKey + "\\a.exe", kLm + kSharedDllsKey + "\\C:\\Gone\\s2.dll"));
    EXPECT_THAT(Counts(), ElementsAre("1", "0", "0", "0", "0", "0", "1", "0", "0", "0", "0", "0"));
}

TEST_F(ScanPageTest, AddScanErrorTestsTheKeyNameOnly) {
    Ignore("HKEY_CURRENT_USER", "Software\\X", "v");
    EXPECT_FALSE(page.AddScanError(
        ScanFinding{0, "Other", KeyName::Value(roots::CurrentUser, "Software\\X", "v"), "value", "path"}));
    EXPECT_TRUE(page.AddScanError(
        ScanFinding{0, "Other", KeyName::Value(roots::CurrentUser, "Software\\X", "V"), "value", "path"}));
    EXPECT_EQ(page.lvErrors.Count(), 1);
}

TEST_F(ScanPageTest, ADataTypeThatIsNotTextIsNoFindingAndTheRunGoesOn) {
    memory.registry().SetDword(roots::LocalMachine, kAppPathsKey + "\\b.exe", "", 5);
    memory.registry().SetValue(roots::ClassesRoot, "CLSID\\{B}\\InprocServer32", "",
                               RegValue{regtype::MultiSz, {'x', 0, 0}});
    RunScan();
    EXPECT_EQ(page.lvErrors.Count(), 8);
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
}

TEST_F(ScanPageTest, AnErrorThatEndsTheRunIsShownNotReportedAsSuccess) {
    HandOverEachAtOnce();
    page.lvErrors.onChanged = [this](Control&) {
        if (page.lvErrors.Count() > 0) throw std::runtime_error("the list refused a row");
    };
    RunScan();
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan stopped: the list refused a row");
    EXPECT_EQ(page.lvErrors.Count(), 1);  // rows already added stay
    EXPECT_THAT(Counts(), Each(std::string("0")));
    EXPECT_EQ(page.btnStartScan.Caption(), "Start &Scan");
    EXPECT_TRUE(page.btnFixSelected.Enabled());
    // The next run starts normally.
    page.lvErrors.onChanged = nullptr;
    RunScan();
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
}

TEST_F(ScanPageTest, ANewRunEmptiesTheListAndZeroesCountsButKeepsTheCheckAllCaption) {
    RunScan();
    page.btnCheckAll.Click();
    EXPECT_EQ(page.btnCheckAll.Caption(), "&Uncheck All");
    page.btnCheckAll.Click();
    EXPECT_EQ(page.btnCheckAll.Caption(), "&Check All");
    for (const ListItem& row : page.lvErrors.Items()) EXPECT_FALSE(row.checked);
    memory.registry().DeleteTreeRaw(roots::LocalMachine, kAppPathsKey + "\\a.exe");
    CheckOnly({0, 1});
    page.btnCheckAll.Click();  // "&Uncheck All" stays through the next run
    RunScan();
    EXPECT_THAT(Column(-1), ElementsAre("Application", "COM/ActiveX"));
    EXPECT_THAT(Counts(), ElementsAre("1", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"));
    EXPECT_EQ(page.btnCheckAll.Caption(), "&Uncheck All");
    for (const ListItem& row : page.lvErrors.Items()) EXPECT_TRUE(row.checked);  // new rows arrive checked
    page.btnCheckAll.Click();
    for (const ListItem& row : page.lvErrors.Items()) EXPECT_FALSE(row.checked);
}

TEST_F(ScanPageTest, TheStartStepPreparesThePageAndTheButtonTogglesByItsCaption) {
    CheckOnly({0});
    RunScan();
    ASSERT_TRUE(page.btnFixSelected.Enabled());
    page.lvScanGroups.SetSubItem(5, 0, "3");
    bool sawStart = false;
    // The list is emptied last in the start step: by then the button reads "Stop &Scan", repair is
    // disabled and every count reads "0".
    page.lvErrors.onChanged = [&](Control&) {
        if (page.lvErrors.Count() != 0) return;
        sawStart = true;
        EXPECT_EQ(page.btnStartScan.Caption(), "Stop &Scan");
        EXPECT_FALSE(page.btnFixSelected.Enabled());
        EXPECT_THAT(Counts(), Each(std::string("0")));
    };
    RunScan();
    EXPECT_TRUE(sawStart);
    // While idle, any caption other than "Start &Scan" only asks for a stop: nothing starts.
    page.btnStartScan.SetCaption("Stop &Scan");
    page.btnStartScan.Click();
    EXPECT_FALSE(page.ScanErrorsThread.Active());
}

}  // namespace
}  // namespace korvane::testing

namespace korvane::testing {
namespace {

// Repair and "Add to Ignore List" read what a row names from the row itself, never from its text.
TEST_F(ScanPageTest, EveryRowKeepsTheKeyOrValueItsKeyNameNames) {
    RunScan();
    ASSERT_GT(page.lvErrors.Count(), 0);
    std::map<std::string, bool> namesValue;  // by Error Type
    for (const ListItem& row : page.lvErrors.Items()) {
        const KeyName* where = FindingOf(row);
        ASSERT_NE(where, nullptr) << row.subItems[0];
        EXPECT_EQ(where->Text(), row.subItems[0]);
        namesValue[row.caption] = where->NamesValue();
        if (row.caption == "Shared DLLs") {
            EXPECT_EQ(where->keyPath, kSharedDllsKey);
            EXPECT_EQ(where->valueName->substr(0, 3), "C:\\");  // the whole path is the value's name
        }
        if (row.caption == "Uninstall") {
            EXPECT_EQ(where->valueName, "UninstallString");
        }
    }
    EXPECT_EQ(namesValue, (std::map<std::string, bool>{{"Application", false},
                                                       {"COM/ActiveX", false},
                                                       {"File Extensions", false},
                                                       {"Font File", true},
                                                       {"Shared DLLs", true},
                                                       {"Uninstall", true}}));
}

}  // namespace
}  // namespace korvane::testing
