// The window's thread changes the ignore list while a scan with batched hand-overs runs: nothing is
// lost or doubled, and (under ThreadSanitizer) the worker never touches the ignore document itself.
#include <gmock/gmock.h>

#include <set>

#include "ScanPageSupport.h"

namespace korvane::testing {
namespace {

TEST_F(ScanPageTest, MovingRowsToTheIgnoreListDuringARunLosesAndDoublesNothing) {
    constexpr int kFiles = 2000;
    memory.registry().DeleteTreeRaw(roots::LocalMachine, kSharedDllsKey);
    for (int i = 0; i < kFiles; ++i)
        memory.registry().SetDword(roots::LocalMachine, kSharedDllsKey,
                                   "C:\\Gone\\f" + std::to_string(i) + ".dll", 1);
    CheckOnly({6});
    page.handOverPolicy = ScanHandOverPolicy{64, std::chrono::milliseconds(2)};

    page.btnStartScan.Click();
    int turns = 0;
    // Between hand-overs the user keeps moving the listed findings to the ignore list, and adds and
    // removes an unrelated entry, as the Ignore List page would.
    ASSERT_TRUE(memory.ui().PumpUntil(
        [&] {
            ++turns;
            if (page.lvErrors.Count() > 0) ignorePage.btnAdd2IgnoreClick(page.lvErrors);
            XmlElement root = ignoreList.Document().DocumentElement();
            if (turns % 2 == 0) {
                Ignore("HKEY_CURRENT_USER", "Software\\Unrelated", std::to_string(turns));
            } else if (root.ChildCount() > 0) {
                const XmlElement last = root.Child(root.ChildCount() - 1);
                if (last.Attribute("ROOT") == "HKEY_CURRENT_USER") root.DeleteChild(root.ChildCount() - 1);
            }
            return !page.ScanErrorsThread.Active();
        },
        std::chrono::seconds(60)));

    std::multiset<std::string> seen;
    for (const ListItem& row : page.lvErrors.Items()) seen.insert(row.subItems[0]);
    for (const XmlElement& entry : ignoreList.Document().DocumentElement().Children()) {
        if (entry.Attribute("ROOT") == "HKEY_LOCAL_MACHINE")
            seen.insert(entry.Attribute("ROOT") + "\\" + entry.Attribute("KEY") + "\\" +
                        entry.Attribute("VALUE"));
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        const std::string keyName =
            "HKEY_LOCAL_MACHINE\\" + kSharedDllsKey + "\\C:\\Gone\\f" + std::to_string(i) + ".dll";
        EXPECT_EQ(seen.count(keyName), 1u) << keyName;
    }
    // Every finding was new when it arrived, so every one counted.
    EXPECT_EQ(page.lvScanGroups.SubItem(6, 0), std::to_string(kFiles));
    EXPECT_EQ(page.lblScanLabel.Caption(), "Scan done !");
}

TEST_F(ScanPageTest, ClosingThePageDuringARunWaitsForTheWorker) {
    for (int i = 0; i < 2000; ++i)
        memory.registry().SetDword(roots::LocalMachine, kSharedDllsKey,
                                   "C:\\Gone\\g" + std::to_string(i) + ".dll", 1);
    auto second = std::make_unique<ScanPage>(state, history, ignoreList, ignorePage);
    second->FillScanGroups();
    second->handOverPolicy = ScanHandOverPolicy{1, std::chrono::milliseconds(0)};
    second->btnStartScan.Click();
    memory.ui().pump();
    second.reset();  // must neither crash nor leave the worker touching freed controls
    EXPECT_EQ(memory.registry().OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace korvane::testing
