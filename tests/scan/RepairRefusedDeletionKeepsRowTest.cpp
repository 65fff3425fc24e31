// A repaired row left the list even when the registry refused the deletion (a machine-wide entry for
// a user without administrator rights): the error looked fixed, and nothing said otherwise.
#include <gtest/gtest.h>

#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
#include "support/AppWithHistoryFixture.h"

namespace korvane {
namespace {

using RepairRefusedDeletion = testing::AppWithHistoryFixture;

TEST_F(RepairRefusedDeletion, RowsWhoseEntryStaysStayCheckedAndTheUserIsTold) {
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    const std::string sharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    registry.SetString(roots::LocalMachine, appPaths + "\\x.exe", "", "C:\\Gone\\x.exe");
    registry.SetDword(roots::LocalMachine, sharedDlls, "C:\\Gone\\s.dll", 1);
    registry.SetString(roots::CurrentUser, "Software\\Mine", "v", "C:\\Gone\\m.exe");
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE");

    ListView lvErrors{"lvErrors"};
    auto add = [&](const std::string& type, const KeyName& where) {
        AddErrorRow(lvErrors, ScanFinding{0, type, where, "value", "guess"});
    };
    add("Application", KeyName::Key(roots::LocalMachine, appPaths + "\\x.exe"));
    add("Other", KeyName::Value(roots::CurrentUser, "Software\\Mine", "v"));
    add("Shared DLLs", KeyName::Value(roots::LocalMachine, sharedDlls, "C:\\Gone\\s.dll"));
    btnFixSelectedClick(state, history, lvErrors);

    // The user's own value went; both machine-wide entries are still there, and so are their rows.
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\Mine", "v"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, appPaths + "\\x.exe"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::LocalMachine, sharedDlls, "C:\\Gone\\s.dll"));
    ASSERT_EQ(lvErrors.Count(), 2);
    EXPECT_EQ(lvErrors.Item(0).caption, "Application");
    EXPECT_EQ(lvErrors.Item(1).caption, "Shared DLLs");
    EXPECT_TRUE(lvErrors.Checked(0) && lvErrors.Checked(1));
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_EQ(memory.dialogs().Texts().at(0).rfind("2 entries could not be deleted", 0), 0u);

    // Once allowed, the same click deletes them and says nothing more.
    registry.ClearDenials();
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, appPaths + "\\x.exe"));
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
}

}  // namespace
}  // namespace korvane
