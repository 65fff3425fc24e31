// A Backup.xml that could not be read at start-up (and not set aside) was overwritten by the first
// repair's write-ahead save, losing every earlier entry although the user had been told it was kept.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "scan/Repair.h"

namespace korvane {
namespace {

TEST(RepairLockedHistory, AnUnreadableBackupXmlIsNeverOverwrittenAndNothingIsDeleted) {
    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    memory.files().AddFile("C:\\Korvane\\Backup.xml", "<Korvane><ELEMENT NAME=\"old\"", 0);
    AppState state{memory.platform()};
    state.ProgramFolder = "C:\\Korvane\\";
    state.Restore_XMLDocument.Reset("Korvane");
    state.BackupXmlLocked = true;
    registry.SetString(roots::CurrentUser, "Software\\Mine", "v", "C:\\Gone\\m.exe");

    ListView lvErrors{"lvErrors"};
    ListItem row;
    row.caption = "Other";
    row.subItems = {"HKEY_CURRENT_USER\\Software\\Mine\\v", "value", "guess"};
    row.checked = true;
    lvErrors.Add(std::move(row));
    btnFixSelectedClick(state, lvErrors);

    EXPECT_EQ(*memory.files().readFile("C:\\Korvane\\Backup.xml"), "<Korvane><ELEMENT NAME=\"old\"");
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\Mine", "v"));
    EXPECT_EQ(lvErrors.Count(), 1);
    EXPECT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
}

}  // namespace
}  // namespace korvane
