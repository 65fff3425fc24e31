// "Fix S&elected": what each kind of row records and deletes, the order of the history, refused
// rows, and the write-ahead save of Backup.xml with failures injected before and during deletion.
#include <gtest/gtest.h>

#include <stdexcept>

#include "history/HistoryPage.h"
#include "platform/memory/MemoryPlatform.h"
#include "scan/Repair.h"

namespace korvane {
namespace {

const char* const BackupFile = "C:\\Korvane\\Backup.xml";
const char* const SharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

// Forwards to the in-memory registry; the deletion numbered `dieAt` (from 1) ends the process, as
// far as the repair can tell.
class DyingRegistry : public RegistryBackend {
public:
    explicit DyingRegistry(RegistryBackend& inner) : inner_(inner) {}
    int dieAt = 0;

    long openKey(HKey p, const std::string& s, std::uint32_t a, HKey& o) override {
        return inner_.openKey(p, s, a, o);
    }
    long createKey(HKey p, const std::string& s, std::uint32_t a, HKey& o) override {
        return inner_.createKey(p, s, a, o);
    }
    long closeKey(HKey k) override { return inner_.closeKey(k); }
    long queryInfo(HKey k, KeyInfo& o) override { return inner_.queryInfo(k, o); }
    long enumSubkeys(HKey k, std::vector<std::string>& o) override { return inner_.enumSubkeys(k, o); }
    long enumValues(HKey k, std::vector<NamedRegValue>& o, bool d) override {
        return inner_.enumValues(k, o, d);
    }
    long queryValue(HKey k, const std::string& n, RegValue& o) override { return inner_.queryValue(k, n, o); }
    long setValue(HKey k, const std::string& n, const RegValue& v) override {
        return inner_.setValue(k, n, v);
    }
    long deleteKey(HKey p, const std::string& s) override {
        Die();
        return inner_.deleteKey(p, s);
    }
    long deleteValue(HKey k, const std::string& n) override {
        Die();
        return inner_.deleteValue(k, n);
    }

private:
    void Die() {
        if (++deletions_ == dieAt) throw std::runtime_error("killed");
    }
    RegistryBackend& inner_;
    int deletions_ = 0;
};

class RepairTest : public ::testing::Test {
protected:
    RepairTest() {
        memory.files().AddFolder("C:\\Korvane");
        state.ProgramFolder = "C:\\Korvane\\";
        state.Restore_XMLDocument.Reset("Korvane");
        lvErrors.columns = {{"Error Type", 130}, {"Key Name", 150}, {"Key Value", 140}, {"Guess Path", -1}};
    }
    void AddRow(const std::string& type, const std::string& keyName, bool checked = true) {
        ListItem row;
        row.caption = type;
        row.subItems = {keyName, "value", "C:\\guess\\" + type};
        row.checked = checked;
        lvErrors.Add(std::move(row));
    }
    XmlElement History() { return state.Restore_XMLDocument.DocumentElement(); }
    std::vector<std::string> Items(int entry) {
        std::vector<std::string> out;
        for (const XmlElement& item : History().Child(entry).Children())
            out.push_back(item.Attribute("SUBKEY") + "|" + item.Attribute("NAME") + "|" +
                          item.Attribute("TYPE") + "|" + item.Attribute("VALUE"));
        return out;
    }
    std::vector<std::string> KeyNames() {
        std::vector<std::string> out;
        for (const auto& row : lvErrors.Items()) out.push_back(row.subItems.at(0));
        return out;
    }
    // A later run of the program: Backup.xml from disk, every entry checked and restored.
    void RestoreEverythingFromDisk() {
        AppState later(memory.platform());
        later.Restore_XMLDocument.Load(memory.files(), BackupFile);
        HistoryPage page(later);
        page.btnRefresh2Click();
        page.btnCheckAll1Click();
        page.btnRestoreClick();
        EXPECT_EQ(later.Restore_XMLDocument.DocumentElement().ChildCount(), 0);
    }

    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    AppState state{memory.platform()};
    ListView lvErrors{"lvErrors"};
};

TEST_F(RepairTest, NothingCheckedChangesNothing) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "1");
    AddRow("Application", "HKEY_CURRENT_USER\\Software\\X\\Y", false);
    btnFixSelectedClick(state, lvErrors);
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
           "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe");
    btnFixSelectedClick(state, lvErrors);
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
    EXPECT_EQ(Items(0),
              (std::vector<std::string>{
                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe||"
                  "rdString|C:\\\\x.exe",
                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe\\Sub|"
                  "Path|rdString|C:\\\\"}));
}

TEST_F(RepairTest, ValueRowTakesOnlyTheValue) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "gone", regtype::ExpandSz);
    registry.SetString(roots::CurrentUser, "Software\\X", "Z", "stays");
    AddRow("Run MRU", "HKEY_CURRENT_USER\\Software\\X\\Y");
    btnFixSelectedClick(state, lvErrors);
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "Y"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "Z"));
    EXPECT_EQ(Items(0), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Y|rdExpandString|gone"}));
}

TEST_F(RepairTest, VanishedEntriesStillGetTheirHistoryEntry) {
    registry.CreateKey(roots::CurrentUser, "Software\\X");
    AddRow("A", "HKEY_CURRENT_USER\\Software\\X\\Vanished");
    AddRow("B", "HKEY_CURRENT_USER\\Software\\NoKey\\V");
    btnFixSelectedClick(state, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    ASSERT_EQ(History().ChildCount(), 2);
    EXPECT_EQ(Items(0), std::vector<std::string>{});  // row B first: its key is gone, no ITEM
    EXPECT_EQ(Items(1), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Vanished|rdString|"}));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\NoKey"));
}

TEST_F(RepairTest, SharedDllsValueNamesStartAtTheDriveLetter) {
    registry.SetDword(roots::LocalMachine, SharedDlls, "C:\\Program Files\\A\\b.dll", 3);
    registry.SetDword(roots::LocalMachine, SharedDlls, "stale.dll", 1);
    AddRow("Shared DLLs", std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls + "\\C:\\Program Files\\A\\b.dll");
    // No drive part: taken like any other value row (used to be cut from a drive that is not there).
    AddRow("Shared DLLs", std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls + "\\stale.dll");
    btnFixSelectedClick(state, lvErrors);
    EXPECT_TRUE(registry.ValueNamesRaw(roots::LocalMachine, SharedDlls).empty());
    EXPECT_EQ(Items(0), (std::vector<std::string>{std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls +
                                                  "|stale.dll|rdInteger|00000001"}));
    EXPECT_EQ(Items(1), (std::vector<std::string>{std::string("HKEY_LOCAL_MACHINE\\") + SharedDlls +
                                                  "|C:\\Program Files\\A\\b.dll|rdInteger|00000003"}));
}

TEST_F(RepairTest, RowsTwoAndFiveOfSix) {
    for (int i = 1; i <= 6; ++i) {
        registry.SetString(roots::CurrentUser, "Software\\R", "v" + std::to_string(i), "x");
        AddRow("T" + std::to_string(i), "HKEY_CURRENT_USER\\Software\\R\\v" + std::to_string(i),
               i == 2 || i == 5);
    }
    btnFixSelectedClick(state, lvErrors);
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
    AddRow("Top", "HKEY_CLASSES_ROOT\\CLSID");
    AddRow("Base", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
    AddRow("Above", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows");
    AddRow("Root", "HKEY_CURRENT_USER");
    AddRow("File Extension",
           "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x");
    btnFixSelectedClick(state, lvErrors);
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
    AddRow("Inner", "HKEY_CURRENT_USER\\Software\\D\\K\\v");
    AddRow("Outer", "HKEY_CURRENT_USER\\Software\\D\\K");
    AddRow("Value", "HKEY_CURRENT_USER\\Software\\D\\w");
    AddRow("Value again", "HKEY_CURRENT_USER\\Software\\D\\w");
    btnFixSelectedClick(state, lvErrors);
    ASSERT_EQ(History().ChildCount(), 4);
    // "Value again" comes first (the last row) and takes the data; "Value" finds it gone.
    EXPECT_EQ(Items(0), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D|w|rdString|2"}));
    EXPECT_EQ(Items(1), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D|w|rdString|"}));
    EXPECT_EQ(Items(2), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\D\\K|v|rdString|1"}));
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
    AddRow("A", "HKEY_CURRENT_USER\\Software\\W\\a");
    EXPECT_THROW(btnFixSelectedClick(dyingState, lvErrors), std::runtime_error);
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
        run.Restore_XMLDocument.Load(fresh.files(), BackupFile);
        ListView errors("lvErrors");
        for (const char* name : {"HKEY_CURRENT_USER\\Software\\K\\One", "HKEY_CURRENT_USER\\Software\\K\\n",
                                 "HKEY_CURRENT_USER\\Software\\K\\Two"}) {
            ListItem row;
            row.caption = "T";
            row.subItems = {name, "", ""};
            row.checked = true;
            errors.Add(row);
        }
        try {
            btnFixSelectedClick(run, errors);
        } catch (const std::runtime_error&) {
        }

        AppState later(fresh.platform());
        later.Restore_XMLDocument.Load(fresh.files(), BackupFile);
        EXPECT_EQ(later.Restore_XMLDocument.DocumentElement().Child(0).Attribute("NAME"), "older");
        HistoryPage page(later);
        page.btnRefresh2Click();
        page.btnCheckAll1Click();
        page.btnRestoreClick();
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
    AddRow("Key", "HKEY_CURRENT_USER\\Software\\F\\K");
    AddRow("Value", "HKEY_CURRENT_USER\\Software\\F\\v");
    memory.files().FailWrite("C:\\Korvane");
    btnFixSelectedClick(state, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 2);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\F\\K"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\F", "v"));
    EXPECT_EQ(History().ChildCount(), 0);
    ASSERT_EQ(memory.dialogs().Count(DialogKind::Error), 1u);
    EXPECT_NE(memory.dialogs().Texts().at(0).find("Backup.xml"), std::string::npos);
    // Once the folder can be written again, the same click repairs.
    memory.files().ClearFailures();
    btnFixSelectedClick(state, lvErrors);
    EXPECT_EQ(lvErrors.Count(), 0);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\F\\K"));
    RestoreEverythingFromDisk();
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\F\\K", "a"), "1");
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\F", "v"), "2");
}

TEST_F(RepairTest, OneSavePerClick) {
    for (int i = 0; i < 20; ++i) {
        registry.SetString(roots::CurrentUser, "Software\\S", "v" + std::to_string(i), "x");
        AddRow("T", "HKEY_CURRENT_USER\\Software\\S\\v" + std::to_string(i));
    }
    memory.files().ResetCounters();
    btnFixSelectedClick(state, lvErrors);
    std::uint64_t calls = memory.files().CallCount();
    EXPECT_GT(calls, 0u);
    EXPECT_LE(calls, 6u);  // a write, a replace and what a save may check: not one per row
}

}  // namespace
}  // namespace korvane
