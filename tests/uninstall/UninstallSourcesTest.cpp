// The installed programs as Windows 10 and 11 keep them: the Uninstall keys of HKLM in both views and
// of HKCU (and its 32-bit twin), what Windows' own list hides, the new columns, and deletion in the
// hive and view a row names.
#include "registry/RegistryAccess.h"
#include "uninstall/UninstallSources.h"
#include "uninstall/UninstallTestSupport.h"

namespace korvane::testing {
namespace {

class UninstallSourcesTest : public UninstallTest {};

TEST_F(UninstallSourcesTest, EveryHiveAndViewIsListedWithItsLocation) {
    AddProgram(HKLM, kUninstall, "Machine64", "Machine 64", "Contoso", "1.0");
    AddProgram(HKLM, kUninstall32, "Machine32", "Machine 32", "Fabrikam", "2.5.1");
    AddProgram(HKCU, kUninstall, "{11111111-2222-3333-4444-555555555555}", "User Tool", "Me", "0.9");
    AddProgram(HKCU, kUninstall32, "User32", "User 32", "Old Corp", "7");
    page.ListUninstallEntries();

    EXPECT_EQ(Captions(), (std::vector<std::string>{"Machine 32", "Machine 64", "User 32", "User Tool"}));
    EXPECT_EQ(Column("Machine 64", kUninstallKeyNameColumn),
              "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\Machine64");
    EXPECT_EQ(Column("Machine 32", kUninstallKeyNameColumn),
              "HKEY_LOCAL_MACHINE\\" + kUninstall32 + "\\Machine32");
    EXPECT_EQ(Column("User Tool", kUninstallKeyNameColumn),
              "HKEY_CURRENT_USER\\" + kUninstall + "\\{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(Column("User 32", kUninstallKeyNameColumn), "HKEY_CURRENT_USER\\" + kUninstall32 + "\\User32");
    EXPECT_EQ(Column("Machine 32", kPublisherColumn), "Fabrikam");
    EXPECT_EQ(Column("Machine 32", kVersionColumn), "2.5.1");
    EXPECT_EQ(Column("User Tool", kPublisherColumn), "Me");
    EXPECT_EQ(Column("User 32", kVersionColumn), "7");
    EXPECT_EQ(Column("User Tool", kUninstallPathColumn),
              "C:\\{11111111-2222-3333-4444-555555555555}\\uninstall.exe");
    EXPECT_EQ(registry().OpenHandleCount(), 0u);

    const auto& columns = page.lvAddRemove.columns;
    ASSERT_EQ(columns.size(), 8u);
    const std::vector<std::string> titles = {"Display Name", "Uninstall Path",    "Key Name",
                                             "Publisher",    "Version",           "Installed",
                                             "Size",         "Verified Publisher"};
    for (size_t i = 0; i < titles.size(); ++i) EXPECT_EQ(columns[i].title, titles[i]);
    EXPECT_TRUE(columns[2].fixedWidth);
    EXPECT_EQ(columns[2].width, 1);
}

TEST_F(UninstallSourcesTest, WhatWindowsHidesIsNotListed) {
    AddProgram(HKLM, kUninstall, "Shown", "Shown");
    AddProgram(HKLM, kUninstall, "Component", "Component");
    registry().SetDword(HKLM, kUninstall + "\\Component", "SystemComponent", 1);
    AddProgram(HKLM, kUninstall, "NotAComponent", "Not a component");
    registry().SetDword(HKLM, kUninstall + "\\NotAComponent", "SystemComponent", 0);
    AddProgram(HKLM, kUninstall, "TextComponent", "Text component");  // Windows reads a number only
    registry().SetString(HKLM, kUninstall + "\\TextComponent", "SystemComponent", "1");
    AddProgram(HKCU, kUninstall, "KB123", "Update for Shown");
    registry().SetString(HKCU, kUninstall + "\\KB123", "ParentKeyName", "Shown");
    AddProgram(HKLM, kUninstall32, "EmptyParent", "Empty parent");
    registry().SetString(HKLM, kUninstall32 + "\\EmptyParent", "ParentKeyName", "");
    registry().SetString(HKCU, kUninstall32 + "\\Nameless", "UninstallString", "C:\\x.exe");
    registry().SetString(HKCU, kUninstall32 + "\\EmptyName", "DisplayName", "");
    page.ListUninstallEntries();
    EXPECT_EQ(Captions(),
              (std::vector<std::string>{"Empty parent", "Not a component", "Shown", "Text component"}));
}

TEST_F(UninstallSourcesTest, AnySourceThatOpensRefillsTheList) {
    page.lvAddRemove.Add(ListItem{"Left over", {"x.exe", "x"}});
    page.ListUninstallEntries();  // no Uninstall key anywhere: the list stays
    EXPECT_EQ(Captions(), std::vector<std::string>{"Left over"});

    registry().CreateKey(HKCU, kUninstall);  // one empty source is enough to read afresh
    page.ListUninstallEntries();
    EXPECT_EQ(page.lvAddRemove.Count(), 0);

    // A wrongly typed name in a later source stops there; what was read before is shown.
    AddProgram(HKLM, kUninstall, "A", "Apple");
    registry().SetDword(HKCU, kUninstall + "\\B", "DisplayName", 2);
    EXPECT_THROW(page.ListUninstallEntries(), RegistryError);
    EXPECT_EQ(Captions(), std::vector<std::string>{"Apple"});
}

TEST_F(UninstallSourcesTest, ValuesOfOtherTypesReadAsNothing) {
    AddProgram(HKLM, kUninstall, "Odd", "Odd");
    registry().SetDword(HKLM, kUninstall + "\\Odd", "Publisher", 5);
    registry().SetDword(HKLM, kUninstall + "\\Odd", "DisplayVersion", 6);
    registry().SetString(HKLM, kUninstall + "\\Odd", "EstimatedSize", "1024");
    registry().SetDword(HKLM, kUninstall + "\\Odd", "InstallDate", 20240101);
    page.ListUninstallEntries();
    EXPECT_EQ(page.lvAddRemove.Item(0).subItems,
              (std::vector<std::string>{"C:\\Odd\\uninstall.exe",
                                        "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\Odd", "", "", "", ""}));
}

TEST_F(UninstallSourcesTest, DeletingRemovesTheKeyInTheHiveAndViewTheRowNames) {
    // The same key name in every source: only the checked rows' own keys may go.
    AddProgram(HKLM, kUninstall, "Same", "Machine 64");
    AddProgram(HKLM, kUninstall32, "Same", "Machine 32");
    AddProgram(HKCU, kUninstall, "Same", "User");
    AddProgram(HKCU, kUninstall32, "Same", "User 32");
    registry().SetString(HKCU, kUninstall + "\\Same\\Sub", "x", "y");
    page.ListUninstallEntries();
    ClickCheck("Machine 32");
    ClickCheck("User");
    memory.dialogs().ScriptAnswers({true});
    page.btnDeleteEntryClick();

    EXPECT_FALSE(registry().KeyExistsRaw(HKLM, kUninstall32 + "\\Same"));
    EXPECT_FALSE(registry().KeyExistsRaw(HKCU, kUninstall + "\\Same"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\Same"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKCU, kUninstall32 + "\\Same"));
    EXPECT_TRUE(registry().KeyExistsRaw(HKCU, kUninstall));  // the Uninstall keys themselves stay
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Machine 64", "User 32"}));
}

TEST_F(UninstallSourcesTest, EntriesThatNameNoEntryKeyDeleteNothing) {
    registry().SetString(HKLM, kUninstall + "\\Keep", "DisplayName", "Keep");
    registry().SetString(roots::ClassesRoot, kUninstall + "\\Keep", "x", "y");
    const std::vector<KeyName> forged = {
        KeyName::Key(HKLM, kUninstall),                           // the Uninstall key itself
        KeyName::Key(HKLM, kUninstall + "\\Keep\\Deeper"),        // not directly below it
        KeyName::Key(roots::ClassesRoot, kUninstall + "\\Keep"),  // not a source's root
        KeyName::Key(HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
    };
    for (const KeyName& key : forged) {
        UninstallEntry entry;
        entry.key = key;
        entry.displayName = "Forged";
        DeleteUninstallEntries(history, {entry});
        EXPECT_TRUE(registry().KeyExistsRaw(HKLM, kUninstall + "\\Keep")) << key.Text();
        EXPECT_TRUE(registry().KeyExistsRaw(roots::ClassesRoot, kUninstall + "\\Keep")) << key.Text();
    }
    EXPECT_EQ(history.EntryCount(), 0);
}

}  // namespace
}  // namespace korvane::testing
