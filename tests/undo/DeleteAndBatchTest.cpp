// The shared delete routines, the container-key guard and the write-ahead batch.
#include "undo/ContainerKeys.h"
#include "undo/HistoryTestSupport.h"
#include "undo/RegistryDelete.h"
#include "undo/UndoBatch.h"

namespace korvane {
namespace {

using DeleteTest = testing::HistoryTest;

TEST(ContainerKeys, RootsFirstLevelsBaseKeysAndTheirParents) {
    ContainerKeys containers;
    containers.Add(BaseKey{roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"});
    const BaseKey more[] = {
        {roots::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"},
        {roots::CurrentUser, "AppEvents\\Schemes\\Apps"},
        {roots::ClassesRoot, "CLSID"},
        {roots::ClassesRoot, "clsid"}};
    containers.Add(more);
    EXPECT_TRUE(containers.Holds(roots::ClassesRoot, ""));
    EXPECT_TRUE(containers.Holds(roots::ClassesRoot, "\\CLSID"));
    EXPECT_TRUE(containers.Holds(roots::ClassesRoot, "clsid\\"));
    EXPECT_TRUE(containers.Holds(roots::CurrentUser, "\\Software"));
    EXPECT_TRUE(containers.Holds(roots::Users, "\\.DEFAULT"));  // right below a root, whatever was added
    EXPECT_TRUE(
        containers.Holds(roots::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"));
    EXPECT_TRUE(
        containers.Holds(roots::LocalMachine, "\\software\\microsoft\\windows\\currentversion\\uninstall"));
    EXPECT_TRUE(containers.Holds(roots::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_TRUE(containers.Holds(roots::CurrentUser, "\\AppEvents\\Schemes\\Apps"));
    // HKEY_CLASSES_ROOT\CLSID as it is stored, per machine and per user.
    EXPECT_TRUE(containers.Holds(roots::LocalMachine, "\\SOFTWARE\\Classes\\CLSID"));
    EXPECT_TRUE(containers.Holds(roots::CurrentUser, "Software\\Classes\\CLSID"));
    EXPECT_TRUE(containers.Holds(roots::CurrentUser, "Software\\Classes"));
    // Entries inside those keys, and the same path below another root, are no containers.
    EXPECT_FALSE(containers.Holds(roots::LocalMachine,
                                  "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"));
    EXPECT_FALSE(containers.Holds(roots::ClassesRoot, "\\CLSID\\{1}"));
    EXPECT_FALSE(containers.Holds(roots::CurrentUser, "Software\\Classes\\CLSID\\{1}"));
    EXPECT_FALSE(
        containers.Holds(roots::CurrentUser, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_FALSE(
        containers.Holds(roots::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App"));
}

TEST_F(DeleteTest, SubKeyGoesWithEverythingBelowIt) {
    registry.SetString(roots::CurrentUser, "Software\\X\\Y", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\X\\Y\\A\\B", "w", "2");
    registry.SetString(roots::CurrentUser, "Software\\X\\Keep", "k", "3");
    EXPECT_TRUE(DeleteRegSubKey(registry, history.Containers(), roots::CurrentUser, "\\Software\\X\\", "Y"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\X\\Y"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\X\\Keep"));
    EXPECT_TRUE(DeleteRegSubKey(registry, history.Containers(), roots::CurrentUser, "\\Software\\X",
                                "Y"));  // already gone
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// An empty sub-key name used to delete the parent itself.
TEST_F(DeleteTest, EmptyNameAndContainersDeleteNothing) {
    registry.SetString(roots::ClassesRoot, "CLSID\\{1}", "", "x");
    registry.SetString(roots::CurrentUser, "Software\\X", "v", "1");
    EXPECT_FALSE(DeleteRegSubKey(registry, history.Containers(), roots::CurrentUser, "\\Software\\X", ""));
    EXPECT_FALSE(DeleteClsidKey(registry, history.Containers(), ""));
    EXPECT_FALSE(DeleteRegSubKey(registry, history.Containers(), roots::ClassesRoot, "", "CLSID"));
    EXPECT_FALSE(DeleteRegSubKey(registry, history.Containers(), roots::CurrentUser, "", "Software"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\X"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::ClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(DeleteClsidKey(registry, history.Containers(), "{1}"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::ClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::ClassesRoot, "CLSID"));
}

TEST_F(DeleteTest, ValuesAndRefusals) {
    registry.SetString(roots::CurrentUser, "Software\\X", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\X", "", "default");
    EXPECT_TRUE(DeleteRegValue(registry, roots::CurrentUser, "\\Software\\X", "V"));  // names ignore case
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "v"));
    EXPECT_TRUE(DeleteRegValue(registry, roots::CurrentUser, "\\Software\\X", ""));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", ""));
    EXPECT_TRUE(DeleteRegValue(registry, roots::CurrentUser, "\\Software\\Missing", "v"));
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\Missing"));  // never created
    registry.SetString(roots::CurrentUser, "Software\\RO\\K", "v", "1");
    registry.DenyWrite(roots::CurrentUser, "Software\\RO");
    EXPECT_FALSE(DeleteRegValue(registry, roots::CurrentUser, "\\Software\\RO\\K", "v"));
    EXPECT_FALSE(DeleteRegSubKey(registry, history.Containers(), roots::CurrentUser, "\\Software\\RO", "K"));
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\RO\\K", "v"));
}

TEST_F(DeleteTest, BatchSeesEarlierDeletionsAndRecordsNothingTwice) {
    registry.SetString(roots::CurrentUser, "Software\\X\\Y", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\X\\Y\\Z", "w", "2");
    registry.SetString(roots::CurrentUser, "Software\\X", "keep", "3");
    UndoBatch batch = history.BeginBatch();
    XmlElement first = batch.AddEntry("a", "k", "p");
    ASSERT_TRUE(batch.KeyExists(KeyName::Key(roots::CurrentUser, "Software\\X\\Y")));
    EXPECT_TRUE(batch.RecordForDeletion(KeyName::Key(roots::CurrentUser, "Software\\X\\Y")));
    // The same tree again, and a key and a value inside it: gone by then.
    EXPECT_FALSE(batch.KeyExists(KeyName::Key(roots::CurrentUser, "Software\\X\\Y\\Z")));
    XmlElement second = batch.AddEntry("b", "k", "p");
    batch.RecordForDeletion(KeyName::Value(roots::CurrentUser, "Software\\X\\Y", "v"));
    XmlElement third = batch.AddEntry("c", "k", "p");
    batch.RecordForDeletion(KeyName::Value(roots::CurrentUser, "Software\\X", "keep"));
    XmlElement fourth = batch.AddEntry("d", "k", "p");
    batch.RecordForDeletion(KeyName::Value(roots::CurrentUser, "Software\\X", "keep"));
    EXPECT_EQ(first.ChildCount(), 4);  // Y and its value, Z and its value
    EXPECT_EQ(second.ChildCount(), 0);
    EXPECT_EQ(Items(third), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|keep|rdString|3"}));
    EXPECT_EQ(Items(fourth), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|keep|rdString|"}));
    // Nothing is deleted before the save.
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\X\\Y"));
    batch.SaveAhead(memory.files(), "C:\\Korvane\\Backup.xml");
    EXPECT_TRUE(memory.files().ExistsRaw("C:\\Korvane\\Backup.xml"));
    EXPECT_EQ(batch.DeleteAll(), 4);
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\X\\Y"));
    EXPECT_FALSE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X", "keep"));
}

TEST_F(DeleteTest, BatchRefusesContainersAndRollsBackAFailedSave) {
    registry.SetString(roots::ClassesRoot, "CLSID\\{1}", "", "x");
    NewEntry("older");
    UndoBatch batch = history.BeginBatch();
    XmlElement entry = batch.AddEntry("a", "k", "p");
    EXPECT_FALSE(batch.RecordForDeletion(KeyName::Key(roots::ClassesRoot, "CLSID")));
    EXPECT_FALSE(batch.RecordForDeletion(KeyName::Value(roots::ClassesRoot, "", "v")));  // a root's own value
    EXPECT_EQ(batch.PlannedCount(), 0);
    EXPECT_EQ(entry.ChildCount(), 0);
    batch.RecordForDeletion(KeyName::Key(roots::ClassesRoot, "CLSID\\{1}"));
    memory.files().FailWrite("C:\\Korvane");
    EXPECT_THROW(batch.SaveAhead(memory.files(), "C:\\Korvane\\Backup.xml"), XmlError);
    EXPECT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "older");
    EXPECT_EQ(batch.DeleteAll(), 0);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::ClassesRoot, "CLSID\\{1}"));
}

// When an earlier deletion fails, a later one whose record left out what the earlier one was to
// take would delete data that is in no history entry: it is skipped.
TEST_F(DeleteTest, BatchSkipsDeletionsThatRelyOnAFailedOne) {
    registry.SetString(roots::CurrentUser, "Software\\X\\Y", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\X\\Y\\Z", "w", "2");
    // Z cannot be deleted, so neither can Y; Y itself stays writable.
    registry.DenyWrite(roots::CurrentUser, "Software\\X\\Y\\Z");
    UndoBatch batch = history.BeginBatch();
    batch.AddEntry("a", "k", "p");
    batch.RecordForDeletion(KeyName::Key(roots::CurrentUser, "Software\\X\\Y"));
    XmlElement second = batch.AddEntry("b", "k", "p");
    batch.RecordForDeletion(KeyName::Value(roots::CurrentUser, "Software\\X\\Y", "v"));
    EXPECT_EQ(second.ChildCount(), 0);  // left out: the first deletion was to take it
    batch.SaveAhead(memory.files(), "C:\\Korvane\\Backup.xml");
    EXPECT_EQ(batch.DeleteAll(), 0);
    EXPECT_TRUE(registry.ValueExistsRaw(roots::CurrentUser, "Software\\X\\Y", "v"));
}

}  // namespace
}  // namespace korvane
