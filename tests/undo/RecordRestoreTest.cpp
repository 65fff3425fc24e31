// RecordRegistryEntry and RestoreItem against the in-memory registry: what the ITEMs hold, in what
// order, and that writing them back gives the same values with the same types.
#include "platform/Utf16.h"
#include "registry/RegistryAccess.h"
#include "undo/HistoryTestSupport.h"
#include "undo/RegistrySnapshot.h"

namespace korvane {
namespace {

using testing::HistoryTest;
using RecordTest = HistoryTest;

TEST_F(RecordTest, OneValueGivesOneItemWithTheHoldingKey) {
    registry.SetString(roots::CurrentUser, "Software\\X", "Y", "C:\\Program Files\\A");
    registry.SetDword(roots::CurrentUser, "Software\\X", "N", 0xFFFFFFFF);
    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\X", "Y");
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\X", "N");
    EXPECT_EQ(Items(entry),
              (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Y|rdString|C:\\\\Program Files\\\\A",
                                        "HKEY_CURRENT_USER\\Software\\X|N|rdInteger|FFFFFFFF"}));
    // Attribute order as written: SUBKEY, NAME, TYPE, VALUE.
    EXPECT_NE(history.Document().SaveText().find("SUBKEY=\"HKEY_CURRENT_USER\\Software\\X\" NAME=\"Y\" "
                                                 "TYPE=\"rdString\" VALUE="),
              std::string::npos);
}

TEST_F(RecordTest, MissingValueAndMissingKey) {
    registry.CreateKey(roots::CurrentUser, "Software\\X");
    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\X", "Gone");
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\Nowhere", "V");
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\Nowhere", "");
    EXPECT_EQ(Items(entry), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X|Gone|rdString|"}));
}

TEST_F(RecordTest, KeyTreeIsDepthFirstEachKeyThenItsValues) {
    registry.SetString(roots::LocalMachine, "SOFTWARE\\K", "b", "2");
    registry.SetString(roots::LocalMachine, "SOFTWARE\\K", "a", "1");
    registry.SetString(roots::LocalMachine, "SOFTWARE\\K\\Zeta", "z", "3");
    registry.SetString(roots::LocalMachine, "SOFTWARE\\K\\alpha\\deep", "d", "4");
    registry.CreateKey(roots::LocalMachine, "SOFTWARE\\K\\Empty");
    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::LocalMachine, "\\SOFTWARE\\K", "");
    EXPECT_EQ(Items(entry), (std::vector<std::string>{
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K|||",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K|b|rdString|2",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K|a|rdString|1",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\alpha|||",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\alpha\\deep|||",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\alpha\\deep|d|rdString|4",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Empty|||",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Zeta|||",
                                "HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Zeta|z|rdString|3",
                            }));
    // A key-only ITEM carries SUBKEY alone, which the restore reads as "re-create the key".
    EXPECT_EQ(entry.Child(0).AttributeCount(), 1);
    XmlElement empty = NewEntry();
    RecordRegistryEntry(empty, registry, roots::LocalMachine, "\\SOFTWARE\\K\\Empty", "");
    EXPECT_EQ(Items(empty), (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\SOFTWARE\\K\\Empty|||"}));
}

// Used to leave empty keys out, so a restored tree lacked them.
TEST_F(RecordTest, EmptyKeysOfATreeComeBackAfterADelete) {
    registry.CreateKey(roots::CurrentUser, "Software\\T\\Empty\\Deeper");
    registry.CreateKey(roots::CurrentUser, "Software\\T\\Also empty");
    registry.SetString(roots::CurrentUser, "Software\\T\\Full", "v", "1");
    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\T", "");
    ASSERT_TRUE(registry.DeleteTreeRaw(roots::CurrentUser, "Software\\T"));
    history.RestoreEntry(0);
    EXPECT_EQ(registry.SubkeyNamesRaw(roots::CurrentUser, "Software\\T"),
              (std::vector<std::string>{"Also empty", "Empty", "Full"}));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\T\\Empty\\Deeper"));
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "Software\\T\\Full", "v"), "1");
    EXPECT_TRUE(registry.ValueNamesRaw(roots::CurrentUser, "Software\\T").empty());
}

TEST_F(RecordTest, KeyThatCannotBeOpenedIsLeftOutWithEverythingBelow) {
    registry.SetString(roots::CurrentUser, "S\\K", "v", "1");
    registry.SetString(roots::CurrentUser, "S\\K\\Locked", "w", "2");
    registry.SetString(roots::CurrentUser, "S\\K\\Locked\\Below", "x", "3");
    registry.DenyOpen(roots::CurrentUser, "S\\K\\Locked");
    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\S\\K", "");
    EXPECT_EQ(Items(entry), (std::vector<std::string>{"HKEY_CURRENT_USER\\S\\K|||",
                                                      "HKEY_CURRENT_USER\\S\\K|v|rdString|1"}));
}

TEST_F(RecordTest, RecordingNeverChangesTheRegistryNorLeaksHandles) {
    registry.SetString(roots::CurrentUser, "S\\K\\L", "v", "1");
    size_t handles = registry.OpenHandleCount();
    RecordRegistryEntry(NewEntry(), registry, roots::CurrentUser, "\\S\\K", "");
    RecordRegistryEntry(NewEntry(), registry, roots::CurrentUser, "\\S\\K\\L", "v");
    EXPECT_EQ(registry.OpenHandleCount(), handles);
    EXPECT_EQ(registry.GetString(roots::CurrentUser, "S\\K\\L", "v"), "1");
}

// Every type, recorded from a key tree, deleted, written back: same types, same bytes.
TEST_F(RecordTest, EveryTypeRoundTripsThroughDeleteAndRestore) {
    std::vector<NamedRegValue> values = {
        {"path", {regtype::Sz, RegistryTextBytes("C:\\Program Files\\A")}},
        {"unc", {regtype::Sz, RegistryTextBytes("\\\\server\\share")}},
        {"", {regtype::Sz, RegistryTextBytes("default")}},
        {"expand", {regtype::ExpandSz, RegistryTextBytes("%SystemRoot%\\system32")}},
        {"small", {regtype::Dword, {0x1A, 0, 0, 0}}},
        {"big", {regtype::Dword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {"bytes", {regtype::Binary, {}}},
        {"empty binary", {regtype::Binary, {}}},
        {"multi", {regtype::MultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}},
        {"qword", {regtype::Qword, {1, 2, 3, 4, 5, 6, 7, 8}}},
        {"none", {regtype::None, {1, 2}}},
        {"\xC3\xA9t\xC3\xA9", {regtype::Sz, RegistryTextBytes("\xE2\x82\xAC <&\"'>")}},
    };
    for (int i = 0; i < 30; ++i) values[6].value.data.push_back(static_cast<std::uint8_t>(i));
    for (const auto& v : values) registry.SetValue(roots::CurrentUser, "Software\\T", v.name, v.value);

    XmlElement entry = NewEntry();
    RecordRegistryEntry(entry, registry, roots::CurrentUser, "\\Software\\T", "");
    ASSERT_EQ(entry.ChildCount(), 1 + static_cast<int>(values.size()));  // the key, then its values
    EXPECT_EQ(entry.Child(7).Attribute("VALUE"),
              "00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\1A,1B,1C,1D");

    // Through the saved text, as after a restart.
    XmlDocument reloaded;
    reloaded.LoadText(history.Document().SaveText());
    ASSERT_TRUE(registry.DeleteTreeRaw(roots::CurrentUser, "Software\\T"));
    for (const XmlElement& item : reloaded.DocumentElement().Child(0).Children())
        RestoreItem(registry, item.Attribute("SUBKEY"), item.Attribute("NAME"), item.Attribute("TYPE"),
                    item.Attribute("VALUE"), item.Attribute("ENCODING"));
    for (const auto& v : values) {
        auto restored = registry.GetValue(roots::CurrentUser, "Software\\T", v.name);
        ASSERT_TRUE(restored) << v.name;
        EXPECT_EQ(restored->type, v.value.type) << v.name;
        EXPECT_EQ(restored->data, v.value.data) << v.name;
    }
}

TEST_F(RecordTest, RestoreDecodesTheClassicForms) {
    RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\R", "n", "rdInteger", "0000001A");
    RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\R", "s", "rdString", "\\\\\\\\server\\\\share");
    RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\R", "e", "rdBinary", "");
    RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\R", "x", "rdUnknown", "1");
    RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\R\\Only\\Key", "", "", "");
    EXPECT_EQ(registry.GetValue(roots::LocalMachine, "SOFTWARE\\R", "n")->data,
              (std::vector<std::uint8_t>{26, 0, 0, 0}));
    EXPECT_EQ(registry.GetString(roots::LocalMachine, "SOFTWARE\\R", "s"), "\\\\server\\share");
    auto empty = registry.GetValue(roots::LocalMachine, "SOFTWARE\\R", "e");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->type, regtype::Binary);
    EXPECT_TRUE(empty->data.empty());
    EXPECT_FALSE(registry.ValueExistsRaw(roots::LocalMachine, "SOFTWARE\\R", "x"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::LocalMachine, "SOFTWARE\\R\\Only\\Key"));
    // Any text that is not another root's name means HKEY_CLASSES_ROOT.
    RestoreItem(registry, "HKCU\\Odd", "v", "rdString", "1");
    EXPECT_TRUE(registry.ValueExistsRaw(roots::ClassesRoot, "Odd", "v"));
}

TEST_F(RecordTest, RestoreFailuresNameTheValue) {
    registry.DenyWrite(roots::LocalMachine, "SOFTWARE\\Locked");
    try {
        RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked", "v", "rdString", "x");
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'v'");
    }
    try {
        RestoreItem(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Open", "bin", "rdBinary", "00,GG");
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("'bin'"), std::string::npos);
    }
    // Bad data is found before anything is written, so not even the key appears.
    EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, "SOFTWARE\\Open"));
}

}  // namespace
}  // namespace korvane
