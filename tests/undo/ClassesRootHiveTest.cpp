// Entries of HKEY_CLASSES_ROOT are recorded, deleted and restored in the hive they live in, while
// entries written before that (SUBKEY HKEY_CLASSES_ROOT\...) still restore through the view.
#include "undo/ClassesRootHive.h"
#include "undo/HistoryTestSupport.h"
#include "undo/RegistrySnapshot.h"

namespace korvane {
namespace {

constexpr HKey HKCR = roots::ClassesRoot;
constexpr HKey HKCU = roots::CurrentUser;
constexpr HKey HKLM = roots::LocalMachine;

using ClassesRootHiveTest = testing::HistoryTest;

TEST_F(ClassesRootHiveTest, KeysAndValuesResolveUserFirstThenMachine) {
    registry.SetString(HKCU, "Software\\Classes\\CLSID\\{U}", "", "user");
    registry.SetString(HKLM, "Software\\Classes\\CLSID\\{U}", "Machine only", "m");
    registry.SetString(HKLM, "Software\\Classes\\CLSID\\{M}", "", "machine");
    const RegistryPlace user = HiveOfKey(registry, HKCR, "\\CLSID\\{U}");
    EXPECT_EQ(user.root, HKCU);
    EXPECT_EQ(user.keyPath, "\\Software\\Classes\\CLSID\\{U}");
    EXPECT_EQ(HiveOfKey(registry, HKCR, "\\CLSID\\{M}").root, HKLM);
    // A value lives in the key that holds it, though the user's key hides it from the view.
    EXPECT_EQ(HiveOfValue(registry, HKCR, "\\CLSID\\{U}", "Machine only").root, HKLM);
    EXPECT_EQ(HiveOfValue(registry, HKCR, "\\CLSID\\{U}", "").root, HKCU);
    EXPECT_EQ(HiveOfValue(registry, HKCR, "\\CLSID\\{U}", "absent").root, HKCU);
    // Nowhere: left as it was; other roots are never touched.
    EXPECT_EQ(HiveOfKey(registry, HKCR, "\\CLSID\\{none}").root, HKCR);
    EXPECT_EQ(HiveOfKey(registry, HKCR, "\\CLSID\\{none}").keyPath, "\\CLSID\\{none}");
    EXPECT_EQ(HiveOfKey(registry, HKCU, "\\Software\\Classes\\CLSID\\{U}").keyPath,
              "\\Software\\Classes\\CLSID\\{U}");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// Used to be recorded as HKEY_CLASSES_ROOT\..., which a restore writes to the machine's classes: a
// per-user registration came back for every user, and the user's own key stayed missing.
TEST_F(ClassesRootHiveTest, APerUserClassComesBackInTheUsersHive) {
    registry.SetString(HKCU, "Software\\Classes\\CLSID\\{U}\\InprocServer32", "", "C:\\gone.dll");
    registry.SetString(HKLM, "Software\\Classes\\CLSID\\{U}\\LocalServer32", "", "C:\\keep.exe");
    UndoBatch batch = history.BeginBatch();
    XmlElement entry = batch.AddEntry("COM", "HKEY_CLASSES_ROOT\\CLSID\\{U}", "");
    ASSERT_TRUE(batch.RecordForDeletion(KeyName::Key(HKCR, "CLSID\\{U}")));
    EXPECT_EQ(Items(entry), (std::vector<std::string>{
                                "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{U}|||",
                                "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{U}\\InprocServer32|||",
                                "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{U}\\InprocServer32||rdString|"
                                "C:\\\\gone.dll",
                            }));
    history.SaveAhead(batch);
    EXPECT_EQ(batch.DeleteAll(), 1);
    EXPECT_TRUE(batch.Deleted(0));
    EXPECT_FALSE(registry.KeyExistsRaw(HKCU, "Software\\Classes\\CLSID\\{U}"));
    // The machine's key of the same name is no part of it.
    EXPECT_EQ(registry.GetString(HKLM, "Software\\Classes\\CLSID\\{U}\\LocalServer32", ""), "C:\\keep.exe");

    history.Load();  // as after a restart
    history.RestoreEntry(0);
    EXPECT_EQ(registry.GetString(HKCU, "Software\\Classes\\CLSID\\{U}\\InprocServer32", ""), "C:\\gone.dll");
    EXPECT_FALSE(registry.KeyExistsRaw(HKLM, "Software\\Classes\\CLSID\\{U}\\InprocServer32"));
}

TEST_F(ClassesRootHiveTest, AValueIsDeletedFromTheHiveThatHoldsIt) {
    registry.SetString(HKCU, "Software\\Classes\\.x", "", "user type");
    registry.SetString(HKLM, "Software\\Classes\\.x", "Content Type", "text/x");
    UndoBatch batch = history.BeginBatch();
    XmlElement entry = batch.AddEntry("Ext", "HKEY_CLASSES_ROOT\\.x\\Content Type", "");
    batch.RecordForDeletion(KeyName::Value(HKCR, ".x", "Content Type"));
    EXPECT_EQ(
        Items(entry),
        (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Classes\\.x|Content Type|rdString|text/x"}));
    history.SaveAhead(batch);
    EXPECT_EQ(batch.DeleteAll(), 1);
    EXPECT_FALSE(registry.ValueExistsRaw(HKLM, "Software\\Classes\\.x", "Content Type"));
    EXPECT_EQ(registry.GetString(HKCU, "Software\\Classes\\.x", ""), "user type");
    history.RestoreEntry(0);
    EXPECT_EQ(registry.GetString(HKLM, "Software\\Classes\\.x", "Content Type"), "text/x");
    EXPECT_FALSE(registry.ValueExistsRaw(HKCU, "Software\\Classes\\.x", "Content Type"));
}

// A Backup.xml written before names HKEY_CLASSES_ROOT: it restores through the view, as it always did.
TEST_F(ClassesRootHiveTest, EarlierEntriesRestoreThroughTheView) {
    registry.CreateKey(HKCU, "Software\\Classes\\Shown");
    memory.files().AddFile(
        "C:\\Korvane\\Backup.xml",
        "<Korvane><ELEMENT NAME=\"a\" TYPE=\"b\" PATH=\"c\">"
        "<ITEM SUBKEY=\"HKEY_CLASSES_ROOT\\CLSID\\{OLD}\" NAME=\"\" TYPE=\"rdString\" VALUE=\"x\"/>"
        "<ITEM SUBKEY=\"HKEY_CLASSES_ROOT\\Shown\" NAME=\"v\" TYPE=\"rdString\" VALUE=\"y\"/>"
        "</ELEMENT></Korvane>");
    history.Load();
    history.RestoreEntry(0);
    EXPECT_EQ(registry.GetString(HKLM, "Software\\Classes\\CLSID\\{OLD}", ""),
              "x");                                                             // a new key: the machine's
    EXPECT_EQ(registry.GetString(HKCU, "Software\\Classes\\Shown", "v"), "y");  // the key the view shows
}

}  // namespace
}  // namespace korvane
