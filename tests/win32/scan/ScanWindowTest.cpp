// The scan under Wine as a user runs it: stale entries seeded into the real registry are found by a
// click on "Start &Scan" in the real window, through the Win32 platform, with the counts in the group
// list and "Scan done !" at the end.
#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

class ScanWindowTest : public StaleEntriesWindowTest {};

TEST_F(ScanWindowTest, ClickOnStartScanFindsTheSeededEntries) {
    ScanPage& page = form->tabScanErrors;
    ASSERT_TRUE(ScanThroughTheWindow()) << "the scan did not end";
    EXPECT_EQ(TextOfWindow(Hwnd(page, page.lblScanLabel)), L"Scan done !");
    EXPECT_EQ(TextOfWindow(Hwnd(page, page.btnStartScan)), L"Start &Scan");
    EXPECT_TRUE(IsWindowEnabled(Hwnd(page, page.btnFixSelected)));

    HWND errors = Hwnd(page, page.lvErrors);
    for (const ExpectedFinding& finding : SeededFindings()) {
        const int row = ErrorRow(finding.keyName);
        ASSERT_GE(row, 0) << "not reported: " << ::testing::PrintToString(finding.keyName);
        EXPECT_EQ(ItemText(errors, row, 0), finding.errorType);
        EXPECT_EQ(ItemText(errors, row, 2), finding.keyValue) << ::testing::PrintToString(finding.keyName);
        EXPECT_TRUE(ItemChecked(errors, row));
    }
    // An entry whose file exists is no finding, and an uninstall entry whose UninstallString is a
    // number names no file: passed over, and the groups after it still ran (File Extensions above).
    EXPECT_EQ(ErrorRow(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kAppPresent), -1);
    EXPECT_EQ(ErrorRow(std::wstring(L"HKEY_LOCAL_MACHINE\\") + kUninstallNumber + L"\\UninstallString"), -1);

    // Every group's count in the window is the number of its rows in the error list; the rows are in
    // ascending Error Type.
    HWND groups = Hwnd(page, page.lvScanGroups);
    ASSERT_EQ(ListView_GetItemCount(groups), 12);
    std::map<std::wstring, int> rowsOfType;
    std::wstring previous;
    for (int i = 0; i < ListView_GetItemCount(errors); ++i) {
        const std::wstring type = ItemText(errors, i, 0);
        EXPECT_LE(previous, type) << "row " << i;
        previous = type;
        ++rowsOfType[type];
    }
    const wchar_t* const types[] = {L"Application",    L"COM/ActiveX",   L"Help File",
                                    L"Font File",      L"Recent files",  L"Start Menu",
                                    L"Shared DLLs",    L"Shared Folder", L"Shell Extensions",
                                    L"Sound AppEvent", L"Uninstall",     L"File Extensions"};
    for (int group = 0; group < 12; ++group)
        EXPECT_EQ(ItemText(groups, group, 1), std::to_wstring(rowsOfType[types[group]]))
            << ::testing::PrintToString(ItemText(groups, group, 0));
    for (const ExpectedFinding& finding : SeededFindings())
        EXPECT_GE(std::stoi(ItemText(groups, finding.group, 1)), 1) << finding.group;
}

TEST_F(ScanWindowTest, UncheckedGroupIsNotScannedAndAClickOnStopEndsTheRunAsDone) {
    ScanPage& page = form->tabScanErrors;
    ShowPage(page);
    // The user unticks "Shared DLLs" in the group list: its entry is not looked at.
    HWND groups = Hwnd(page, page.lvScanGroups);
    ToggleRow(groups, 6);
    ASSERT_FALSE(page.lvScanGroups.Checked(6));
    ASSERT_TRUE(ScanThroughTheWindow());
    EXPECT_EQ(TextOfWindow(Hwnd(page, page.lblScanLabel)), L"Scan done !");
    EXPECT_EQ(ErrorRow(SeededFindings()[3].keyName), -1);
    EXPECT_EQ(ItemText(groups, 6, 1), L"0");
    EXPECT_GE(ErrorRow(SeededFindings()[0].keyName), 0);

    // A second click while a run is going asks it to stop. The worker cannot end before this thread
    // pumps again (its end step runs here), so the second click always meets the running scan.
    HWND start = Hwnd(page, page.btnStartScan);
    SendMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(page.ScanErrorsThread.Active());
    EXPECT_EQ(page.btnStartScan.Caption(), "Stop &Scan");
    SendMessageW(start, BM_CLICK, 0, 0);
    for (int i = 0; i < 6000 && page.ScanErrorsThread.Active(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    Pump();
    ASSERT_FALSE(page.ScanErrorsThread.Active());
    EXPECT_TRUE(page.ScanErrorsThread.LastRunStopped());
    EXPECT_EQ(TextOfWindow(start), L"Start &Scan");
    // A stop asked for by the user is a normal end; the last group was never reached.
    EXPECT_EQ(TextOfWindow(Hwnd(page, page.lblScanLabel)), L"Scan done !");
    EXPECT_EQ(ErrorRow(SeededFindings()[5].keyName), -1);
    EXPECT_EQ(ItemText(groups, 11, 1), L"0");
}

}  // namespace
}  // namespace korvane::win32::testing
