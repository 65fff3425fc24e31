// Listing the startup entries: the sources of each version class in their order, the check marks,
// StartupStates, the parking records, what is skipped, and the error that stops a listing.
#include "registry/RegistryAccess.h"
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupListingTest : public StartupTest {
protected:
    // One entry in every key any class reads, so that a class's listing shows which keys it read.
    void SeedEverySource() {
        registry().SetString(HKLM, kRun, "MachineApp", "C:\\m.exe");
        registry().SetString(HKLM, kRun, "Tray", "%SystemRoot%\\tray.exe", regtype::ExpandSz);
        registry().SetString(HKCU, kRun, "UserApp", "C:\\u.exe");
        registry().SetString(HKLM, kRunServices, "Service", "C:\\s.exe");
        registry().SetString(HKLM, kRun + "-", "ParkedApp", "C:\\p.exe");
        registry().SetString(HKLM, kRunServices + "-", "ParkedService", "C:\\ps.exe");
        AddRecord("Zed", "Zed", "C:\\z.exe", "HKCU", kRun);
        AddRecord("alpha", "alpha", "C:\\a.exe", "HKLM", kRun);
    }
};

TEST_F(StartupListingTest, SystemConfigurationClassesReadBothRunKeysThenTheRecords) {
    SeedEverySource();
    const std::vector<Row> expected = {
        {"MachineApp", "C:\\m.exe", "HKLM\\" + kRun, true},
        {"Tray", "%SystemRoot%\\tray.exe", "HKLM\\" + kRun, true},  // unexpanded
        {"UserApp", "C:\\u.exe", "HKCU\\" + kRun, true},
        // records in the registry's order of sub-keys (case-insensitive), located where they run from
        {"alpha", "C:\\a.exe", "HKLM\\" + kRun, false},
        {"Zed", "C:\\z.exe", "HKCU\\" + kRun, false},
    };
    // NT 6.0 and later (class 8) list exactly as NT 5.x does.
    for (int versionClass : {5, 6, 7, 8}) {
        UseVersionClass(versionClass);
        page.lvStartup.Clear();
        page.toolStartupClick();
        EXPECT_EQ(Rows(), expected) << "class " << versionClass;
        EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, true, true, false, false}));
        EXPECT_EQ(state.MainControl.ActivePage(), &page);
        EXPECT_EQ(registry().OpenHandleCount(), 0u);
    }
}

TEST_F(StartupListingTest, DashClassesReadTheMachineKeysAndTheirDashSiblings) {
    SeedEverySource();
    const std::vector<Row> expected = {
        {"MachineApp", "C:\\m.exe", "HKLM\\" + kRun, true},
        {"Tray", "%SystemRoot%\\tray.exe", "HKLM\\" + kRun, true},
        {"Service", "C:\\s.exe", "HKLM\\" + kRunServices, true},
        {"ParkedApp", "C:\\p.exe", "HKLM\\" + kRun + "-", false},
        {"ParkedService", "C:\\ps.exe", "HKLM\\" + kRunServices + "-", false},
    };
    for (int versionClass : {1, 2, 3, 4}) {
        UseVersionClass(versionClass);
        page.btnRefresh.Click();
        EXPECT_EQ(Rows(), expected) << "class " << versionClass;
        EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, true, true, false, false}));
    }
}

TEST_F(StartupListingTest, UnknownWindowsListsNothing) {
    SeedEverySource();
    UseVersionClass(0);
    page.toolStartupClick();
    EXPECT_EQ(page.lvStartup.Count(), 0);
    EXPECT_TRUE(page.StartupStates.empty());
}

TEST_F(StartupListingTest, MissingAndEmptySourcesAddNoRows) {
    // No HKLM Run key at all, an empty HKCU Run key, a parking key with values but no records.
    registry().CreateKey(HKCU, kRun);
    registry().SetString(HKLM, kParking, "stray", "not a record");
    page.toolStartupClick();
    EXPECT_EQ(page.lvStartup.Count(), 0);

    // Records: one that cannot be opened, one without values, one complete.
    AddRecord("Locked", "Locked", "C:\\l.exe", "HKLM", kRun);
    registry().DenyOpen(HKLM, kParking + "\\Locked");
    registry().CreateKey(HKLM, kParking + "\\Blank");
    AddRecord("Ok", "Ok", "C:\\ok.exe", "HKLM", kRun);
    page.btnRefreshClick();
    const std::vector<Row> expected = {{"", "", "\\", false}, {"Ok", "C:\\ok.exe", "HKLM\\" + kRun, false}};
    EXPECT_EQ(Rows(), expected);
}

TEST_F(StartupListingTest, WronglyTypedValueStopsTheListingAndKeepsTheRowsBeforeIt) {
    registry().SetString(HKLM, kRun, "First", "C:\\1.exe");
    registry().SetDword(HKCU, kRun, "Number", 7);
    registry().SetString(HKCU, kRun, "Later", "C:\\later.exe");
    AddRecord("Never", "Never", "C:\\n.exe", "HKLM", kRun);
    try {
        page.toolStartupClick();
        FAIL() << "the listing should stop";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Number'");
    }
    EXPECT_EQ(Rows(), (std::vector<Row>{{"First", "C:\\1.exe", "HKLM\\" + kRun, true}}));
    EXPECT_EQ(page.StartupStates, std::vector<bool>{true});  // exactly the rows shown

    // A record whose "command" is not text stops the listing the same way.
    registry().DeleteTreeRaw(HKCU, kRun);
    registry().SetValue(HKLM, kParking + "\\Never", "command", RegValue{regtype::Binary, {1, 2}});
    EXPECT_THROW(page.btnRefreshClick(), RegistryError);
    EXPECT_EQ(page.lvStartup.Count(), 1);
    EXPECT_EQ(page.StartupStates.size(), 1u);
}

TEST_F(StartupListingTest, LaterVisitsKeepTheRowsAsTheUserLeftThem) {
    registry().SetString(HKLM, kRun, "App", "C:\\app.exe");
    page.ListStartupEntries();  // the main window's hook on the first visit
    ClickCheck("App");
    registry().SetString(HKLM, kRun, "NewApp", "C:\\new.exe");

    page.toolStartupClick();
    ASSERT_EQ(page.lvStartup.Count(), 1);
    EXPECT_FALSE(page.lvStartup.Checked(0));
    EXPECT_EQ(page.StartupStates, std::vector<bool>{true});

    page.btnRefresh.Click();  // only Refresh reads the registry again
    EXPECT_EQ(page.lvStartup.Count(), 2);
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace korvane::testing
