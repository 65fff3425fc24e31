// A Backup.xml that could not be read at start-up (and not set aside) was overwritten by the first
// repair's write-ahead save, losing every earlier entry although the user had been told it was kept.
#include <gtest/gtest.h>

#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
#include "support/AppWithHistoryFixture.h"

namespace korvane {
namespace {

using RepairLockedHistory = testing::AppWithHistoryFixture;

TEST_F(RepairLockedHistory, AnUnreadableBackupXmlIsNeverOverwrittenAndNothingIsDeleted) {
    memory.files().AddFile("C:\\Korvane\\Backup.xml", "<Korvane><ELEMENT NAME=\"old\"", 0);
    // Unreadable, and it cannot be renamed aside either: the history is locked.
    memory.files().FailDelete("C:\\Korvane\\Backup.xml");
    history.Load();
    memory.files().ClearFailures();
    ASSERT_TRUE(history.Locked());
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    registry.SetString(roots::CurrentUser, "Software\\Mine", "v", "C:\\Gone\\m.exe");

    ListView lvErrors{"lvErrors"};
    AddErrorRow(lvErrors, ScanFinding{0, "Other", KeyName::Value(roots::CurrentUser, "Software\\Mine", "v"),
                                      "value", "guess"});
    btnFixSelectedClick(state, history, lvErrors);

    EXPECT_EQ(*memory.files().readFile("C:\\Korvane\\Backup.xml"), "<Korvane><ELEMENT NAME=\"old\"");
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\Mine", "v"));
    EXPECT_EQ(lvErrors.Count(), 1);
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 2u);
    // Nothing was deleted, so the history lists nothing either (it used to keep the refused entry).
    EXPECT_EQ(history.EntryCount(), 0);
    history.Save();  // closing leaves the locked file alone
    EXPECT_EQ(*memory.files().readFile("C:\\Korvane\\Backup.xml"), "<Korvane><ELEMENT NAME=\"old\"");
}

}  // namespace
}  // namespace korvane
