// "Fix S&elected": what each kind of row records and deletes, the order of the history, refused
// rows, and the write-ahead save of Backup.xml with failures injected before and during deletion.
#include <gtest/gtest.h>

#include <stdexcept>

#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
#include "scanwalk/ScanGroups.h"
#include "support/AppFixture.h"
#include "support/ForwardingRegistry.h"

namespace korvane {
namespace {

const char* const BackupFile = "C:\\Korvane\\Backup.xml";
const char* const SharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

// The deletion numbered `dieAt` (from 1) ends the process, as far as the repair can tell.
class DyingRegistry : public testing::ForwardingRegistry {
public:
    using ForwardingRegistry::ForwardingRegistry;
    int dieAt = 0;

    long deleteKey(HKey p, const std::string& s) override {
        Die();
        return ForwardingRegistry::deleteKey(p, s);
    }
    long deleteValue(HKey k, const std::string& n) override {
        Die();
        return ForwardingRegistry::deleteValue(k, n);
    }

private:
    void Die() {
        if (++deletions_ == dieAt) throw std::runtime_error("killed");
    }
    int deletions_ = 0;
};

KeyName Key(HKey root, const std::string& path) {
    return KeyName::Key(root, path);
}
KeyName Value(HKey root, const std::string& path, const std::string& name) {
    return KeyName::Value(root, path, name);
}

// A later run of the program: Backup.xml from disk, every entry restored from the last to the first,
// as the Restore History page does with every row checked.
void RestoreEverything(AppState& later) {
    UndoHistory history(later);
    history.Load();
    for (int i = history.EntryCount() - 1; i >= 0; --i) history.RestoreEntry(i);
    EXPECT_EQ(history.EntryCount(), 0);
}

class RepairTest : public testing::AppFixture {
protected:
    RepairTest() {
        history.Document().Reset("Korvane");
        history.Containers().Add(ScanContainerKeys());  // as the main window does where it builds the history
        lvErrors.columns = {{"Error Type", 130}, {"Key Name", 150}, {"Key Value", 140}, {"Guess Path", -1}};
    }
    void AddRow(const std::string& type, const KeyName& where, bool checked = true) {
        AddErrorRow(lvErrors, ScanFinding{0, type, where, "value", "C:\\guess\\" + type});
        lvErrors.SetChecked(lvErrors.Count() - 1, checked);
    }
    XmlElement History() { return history.Document().DocumentElement(); }
    std::vector<std::string> Items(int entry) { return AppFixture::Items(History().Child(entry)); }
    std::vector<std::string> KeyNames() {
        std::vector<std::string> out;
        for (const auto& row : lvErrors.Items()) out.push_back(row.subItems.at(0));
        return out;
    }
    void RestoreEverythingFromDisk() {
        AppState later(memory.platform());
        later.ProgramFolder = state.ProgramFolder;
        RestoreEverything(later);
    }

    UndoHistory history{state};
    ListView lvErrors{"lvErrors"};
};

TEST_F(RepairTest, NothingCheckedChangesNothing) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "1");
    AddRow("Application", Value(roots::CurrentUser, "Software\\X", "Y"), false);
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 1);
    EXPECT_EQ(History().ChildCount(), 0);
    EXPECT_FALSE(memory.files().ExistsRaw(BackupFile));
}

TEST_F(RepairTest, KeyRowTakesTheWholeTree) {
    registry.SetString(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe",
                       "", "C:\\x.exe");
    registry.SetString(roots::LocalMachine,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Sub", "Path", "C:\\");
    AddRow("Application",
           Key(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"));
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine,
                                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine,
                                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"));
    ASSERT_EQ(History().ChildCount(), 1);
    XmlElement entry = History().Child(0);
    EXPECT_EQ(entry.Attribute("NAME"), "Application");
    EXPECT_EQ(entry.Attribute("TYPE"),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe");
    EXPECT_EQ(entry.Attribute("PATH"), "C:\\guess\\Application");
    EXPECT_EQ(
        Items(0),
        (std::vector<std::string>{
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe|||",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe||"
            "rdString|C:\\\\x.exe",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Sub|||",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Sub|"
            "Path|rdString|C:\\\\"}));
}

// The history entry is made from the finding the row carries: what the columns show is not read back,
// so a column changed after the scan (or a text the list cut) cannot name another entry.
TEST_F(RepairTest, HistoryEntryComesFromTheFindingNotFromTheShownTexts) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "gone");
    AddRow("Run MRU", Value(roots::CurrentUser, "Software\\X", "Y"));
    lvErrors.SetSubItem(0, 0, "HKEY_CURRENT_USER\\Software\\Other");
    lvErrors.SetSubItem(0, 2, "shown only");
    btnFixSelectedClick(state, history, lvErrors);
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "Run MRU");
    EXPECT_EQ(History().Child(0).Attribute("TYPE"), "HKEY_CURRENT_USER\\Software\\X\\Y");
    EXPECT_EQ(History().Child(0).Attribute("PATH"), "C:\\guess\\Run MRU");
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "Y"));
}

TEST_F(RepairTest, ValueRowTakesOnlyTheValue) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "gone", regtype::ExpandSz);
    registry.SetString(roots::CurrentUser, "Software\\X", "Z", "stays");
    // A sub-key of the same name used to be taken instead of the value the finding named.
    registry.SetString(roots::CurrentUser, "Software\\X\\Y", "inner", "stays too");
    AddRow("Run MRU", Value(roots::CurrentUser, "Software\\X", "Y"));
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "Y"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "Z"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X\\Y", "inner"));
    EXPECT_EQ(Items(0), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Y|rdExpandString|gone"}));
}

TEST_F(RepairTest, VanishedEntriesStillGetTheirHistoryEntry) {
    registry.CreateKey(roots::CurrentUser, "Software\\X");
    AddRow("A", Value(roots::CurrentUser, "Software\\X", "Vanished"));
    AddRow("B", Value(roots::CurrentUser, "Software\\NoKey", "V"));
    AddRow("C", Key(roots::CurrentUser, "Software\\X\\GoneKey"));
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    ASSERT_EQ(History().ChildCount(), 3);
    EXPECT_EQ(Items(0), std::vector<std::string>{});  // row C first: the key is gone, no ITEM
    EXPECT_EQ(Items(1), std::vector<std::string>{});  // row B: the value's key is gone
    EXPECT_EQ(Items(2), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Vanished|rdString|"}));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "GoneKey"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\NoKey"));
}

TEST_F(RepairTest, SharedDllsValueNamesStartAtTheDriveLetter) {
    registry.SetDword(roots::LocalMachine, SharedDlls, "C:\\Program Files\\A\\b.dll", 3);
    registry.SetDword(roots::LocalMachine, SharedDlls, "stale.dll", 1);
    AddRow("Shared DLLs", Value(roots::LocalMachine, SharedDlls, "C:\\Program Files\\A\\b.dll"));
    AddRow("Shared DLLs", Value(roots::LocalMachine, SharedDlls, "stale.dll"));
    EXPECT_EQ(lvErrors.Item(0).subItems[0],
              std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls + "\\C:\\Program Files\\A\\b.dll");
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_TRUE(registry.ValueNamesRaw(roots::LocalMachine, SharedDlls).empty());
    EXPECT_EQ(Items(0), (std::vector<std::string>{std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls +
                                                  "|stale.dll|rdInteger|00000001"}));
    EXPECT_EQ(Items(1), (std::vector<std::string>{std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls +
                                                  "|C:\\Program Files\\A\\b.dll|rdInteger|00000003"}));
}

TEST_F(RepairTest, RowsTwoAndFiveOfSix) {
    for (int i = 1; i <= 6; ++i) {
        registry.SetString(roots::CurrentUser, "Software\\R", "v" + std::to_string(i), "x");
        AddRow("T" + std::to_string(i), Value(roots::CurrentUser, "Software\\R", "v" + std::to_string(i)),
               i == 2 || i == 5);
    }
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(KeyNames(), (std::vector<std::string>{
                              "HKEY_CURRENT_USER\\Software\\R\\v1", "HKEY_CURRENT_USER\\Software\\R\\v3",
                              "HKEY_CURRENT_USER\\Software\\R\\v4", "HKEY_CURRENT_USER\\Software\\R\\v6"}));
    ASSERT_EQ(History().ChildCount(), 2);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "T5");
    EXPECT_EQ(History().Child(1).Attribute("NAME"), "T2");
    EXPECT_EQ(registry.ValueNamesRaw(roots::CurrentUser, "Software\\R"),
              (std::vector<std::string>{"v1", "v3", "v4", "v6"}));
}

// A Key Name with one backslash, or naming a group's base key, used to delete the whole group.
TEST_F(RepairTest, ContainerKeysAreRefusedAndStay) {
    registry.SetString(roots::ClassesRoot, "CLSID\\{1}", "", "x");
    registry.SetString(roots::CurrentUser,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x", "a", "1");
    AddRow("Top", Key(roots::ClassesRoot, "CLSID"));
    AddRow("Base",
           Key(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"));
    AddRow("Above", Key(roots::CurrentUser, "Software\\Microsoft\\Windows"));
    AddRow("Root", Key(roots::CurrentUser, ""));
    AddRow("File Extension",
           Key(roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x"));
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 4);
    EXPECT_EQ(lvErrors.Item(3).caption, "Root");
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "File Extension");
    EXPECT_TRUE(registry.KeyExistsRaw(roots::ClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser,
                                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"));
    EXPECT_FALSE(registry.KeyExistsRaw(
        roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x"));
}

TEST_F(RepairTest, DuplicateRowsAreRecordedAsTheRowOrderGivesThem) {
    registry.SetString(roots::CurrentUser, "Software\\D\\K", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\D", "w", "2");
    AddRow("Inner", Value(roots::CurrentUser, "Software\\D\\K", "v"));
    AddRow("Outer", Key(roots::CurrentUser, "Software\\D\\K"));
    AddRow("Value", Value(roots::CurrentUser, "Software\\D", "w"));
    AddRow("Value again", Value(roots::CurrentUser, "Software\\D", "w"));
    btnFixSelectedClick(state, history, lvErrors);
    ASSERT_EQ(History().ChildCount(), 4);
    // "Value again" comes first (the last row) and takes the data; "Value" finds it gone.
    EXPECT_EQ(Items(0), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D|w|rdString|2"}));
    EXPECT_EQ(Items(1), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D|w|rdString|"}));
    EXPECT_EQ(Items(2), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D\\K|||",
                                                  "HKEY_CURRENT_USER\\Software\\D\\K|v|rdString|1"}));
    EXPECT_EQ(Items(3), std::vector<std::string>{});  // "Inner": its key went with "Outer"
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\D\\K"));
}

TEST_F(RepairTest, HistoryIsOnDiskBeforeTheFirstDeletion) {
    registry.SetString(roots::CurrentUser, "Software\\W", "a", "1");
    DyingRegistry dying(registry);
    dying.dieAt = 1;
    Platform platform{dying,       memory.files(),  memory.system(), memory.processes(),
                      memory.ui(), memory.dialogs()};
    AppState dyingState(platform);
    dyingState.ProgramFolder = "C:\\Korvane\\";
    UndoHistory dyingHistory(dyingState);
    AddRow("A", Value(roots::CurrentUser, "Software\\W", "a"));
    EXPECT_THROW(btnFixSelectedClick(dyingState, dyingHistory, lvErrors), std::runtime_error);
    XmlDocument onDisk;
    onDisk.Load(memory.files(), BackupFile);
    ASSERT_EQ(onDisk.DocumentElement().ChildCount(), 1);
    EXPECT_EQ(onDisk.DocumentElement().Child(0).Child(0).Attribute("NAME"), "a");
}

// Killed after each possible number of deletions: whatever left the registry is in Backup.xml on
// disk, and restoring it from there brings every value back.
TEST_F(RepairTest, KilledMidWayLosesNothing) {
    for (int dieAt = 1; dieAt <= 5; ++dieAt) {
        SCOPED_TRACE(dieAt);
        MemoryPlatform fresh;
        MemoryRegistry& reg = fresh.registry();
        fresh.files().AddFolder("C:\\Korvane");
        fresh.files().AddFile(BackupFile, "<Korvane><ELEMENT NAME=\"older\" TYPE=\"\" PATH=\"\"/></Korvane>");
        reg.SetString(roots::CurrentUser, "Software\\K\\One", "a", "1");
        reg.SetString(roots::CurrentUser, "Software\\K\\One\\Deep", "b", "2", regtype::ExpandSz);
        reg.SetDword(roots::CurrentUser, "Software\\K", "n", 7);
        reg.SetValue(roots::CurrentUser, "Software\\K\\Two", "m", {regtype::MultiSz, {'x', 0, 0}});
        DyingRegistry dying(reg);
        dying.dieAt = dieAt;
        Platform platform{dying,      fresh.files(),  fresh.system(), fresh.processes(),
                          fresh.ui(), fresh.dialogs()};
        AppState run(platform);
        run.ProgramFolder = "C:\\Korvane\\";
        UndoHistory runHistory(run);
        runHistory.Load();
        ListView errors("lvErrors");
        for (const KeyName& name :
             {Key(roots::CurrentUser, "Software\\K\\One"), Value(roots::CurrentUser, "Software\\K", "n"),
              Key(roots::CurrentUser, "Software\\K\\Two")})
            AddErrorRow(errors, ScanFinding{0, "T", name, "", ""});
        try {
            btnFixSelectedClick(run, runHistory, errors);
        } catch (const std::runtime_error&) {
        }

        AppState later(fresh.platform());
        later.ProgramFolder = "C:\\Korvane\\";
        XmlDocument onDisk;
        onDisk.Load(fresh.files(), BackupFile);
        EXPECT_EQ(onDisk.DocumentElement().Child(0).Attribute("NAME"), "older");
        RestoreEverything(later);
        EXPECT_EQ(reg.GetString(roots::CurrentUser, "Software\\K\\One", "a"), "1");
        EXPECT_EQ(reg.GetValue(roots::CurrentUser, "Software\\K\\One\\Deep", "b")->type, regtype::ExpandSz);
        EXPECT_EQ(reg.GetValue(roots::CurrentUser, "Software\\K", "n")->data,
                  (std::vector<std::uint8_t>{7, 0, 0, 0}));
        EXPECT_EQ(reg.GetValue(roots::CurrentUser, "Software\\K\\Two", "m")->data,
                  (std::vector<std::uint8_t>{'x', 0, 0}));
    }
}

// Used to delete first and save only at close: a failed save now means nothing is deleted.
TEST_F(RepairTest, FailedWriteAheadDeletesNothing) {
    registry.SetString(roots::CurrentUser, "Software\\F\\K", "a", "1");
    registry.SetString(roots::CurrentUser, "Software\\F", "v", "2");
    AddRow("Key", Key(roots::CurrentUser, "Software\\F\\K"));
    AddRow("Value", Value(roots::CurrentUser, "Software\\F", "v"));
    memory.files().FailWrite("C:\\Korvane");
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 2);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\F\\K"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\F", "v"));
    EXPECT_EQ(History().ChildCount(), 0);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_NE(memory.dialogs().Texts().at(0).find("Backup.xml"), std::string::npos);
    // Once the folder can be written again, the same click repairs.
    memory.files().ClearFailures();
    btnFixSelectedClick(state, history, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\F\\K"));
    RestoreEverythingFromDisk();
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\F\\K", "a"), "1");
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\F", "v"), "2");
}

TEST_F(RepairTest, OneSavePerClick) {
    for (int i = 0; i < 20; ++i) {
        registry.SetString(roots::CurrentUser, "Software\\S", "v" + std::to_string(i), "x");
        AddRow("T", Value(roots::CurrentUser, "Software\\S", "v" + std::to_string(i)));
    }
    memory.files().ResetCounters();
    btnFixSelectedClick(state, history, lvErrors);
    std::uint64_t calls = memory.files().CallCount();
    EXPECT_GT(calls, 0u);
    EXPECT_LE(calls, 6u);  // a write, a replace and what a save may check: not one per row
}

}  // namespace
}  // namespace korvane
