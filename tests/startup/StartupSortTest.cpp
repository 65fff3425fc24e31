// Sorting the startup list by a column header: the rows, their check marks and StartupStates move
// together, so that Apply still changes exactly the entries the user changed.
#include "startup/StartupTestSupport.h"

namespace korvane::testing {
namespace {

class StartupSortTest : public StartupTest {
protected:
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Row& row : Rows()) names.push_back(row.name);
        return names;
    }
};

TEST_F(StartupSortTest, EveryColumnSortsAscendingThenDescending) {
    registry().SetString(HKLM, kRun, "beta", "C:\\c.exe");
    registry().SetString(HKLM, kRun, "Alpha", "C:\\b.exe");
    registry().SetString(HKCU, kRun, "gamma", "C:\\a.exe");
    page.toolStartupClick();
    EXPECT_TRUE(page.lvStartup.sortOnHeaderClick);

    page.lvStartup.ColumnClick(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));  // without regard to case
    page.lvStartup.ColumnClick(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
    page.lvStartup.ColumnClick(1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma", "Alpha", "beta"}));
    page.lvStartup.ColumnClick(1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"beta", "Alpha", "gamma"}));
    page.lvStartup.ColumnClick(2);  // HKCU before HKLM; equal locations keep their order
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
    page.lvStartup.ColumnClick(2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"beta", "Alpha", "gamma"}));
}

TEST_F(StartupSortTest, ApplyAfterSortingChangesOnlyTheEntriesTheUserChanged) {
    registry().SetString(HKLM, kRun, "Zulu", "C:\\z.exe");
    registry().SetString(HKLM, kRun, "Mike", "C:\\m.exe");
    AddRecord("Alpha", "Alpha", "C:\\a.exe", "HKLM", kRun);
    page.toolStartupClick();
    ASSERT_EQ(page.StartupStates, (std::vector<bool>{true, true, false}));
    ClickCheck("Mike");  // to be disabled

    page.lvStartup.ColumnClick(0);
    ASSERT_EQ(Names(), (std::vector<std::string>{"Alpha", "Mike", "Zulu"}));
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{false, true, true}));  // as listed, in the new order
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Mike")));
    EXPECT_FALSE(page.lvStartup.Checked(RowOf("Alpha")));
    page.lvStartupClick();
    EXPECT_TRUE(page.btnApply.Enabled());

    page.btnApply.Click();
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "Mike"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Mike"));
    EXPECT_TRUE(registry().ValueExistsRaw(HKLM, kRun, "Zulu"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kParking + "\\Alpha"));
    EXPECT_FALSE(registry().ValueExistsRaw(HKLM, kRun, "Alpha"));

    // The list read again keeps the order the user chose.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Mike", "Zulu"}));
    EXPECT_EQ(page.StartupStates, (std::vector<bool>{false, false, true}));
}

}  // namespace
}  // namespace korvane::testing
