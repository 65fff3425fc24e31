// Key Names: formatting from the structure, parsing a key from text, and the text splitters.
#include <gtest/gtest.h>

#include "registry/KeyName.h"

namespace korvane {
namespace {

TEST(KeyNameSplitters, ParentAndLastPart) {
    EXPECT_EQ(KeyParentPath("HKEY_CURRENT_USER\\Software\\X\\Y"), "\\Software\\X");
    EXPECT_EQ(LastPathPart("HKEY_CURRENT_USER\\Software\\X\\Y"), "Y");
    EXPECT_EQ(KeyParentPath("HKEY_CURRENT_USER\\Software"), "");
    EXPECT_EQ(KeyParentPath("HKEY_CURRENT_USER"), "");
    EXPECT_EQ(LastPathPart("HKEY_CURRENT_USER\\Software\\X\\"), "");
    EXPECT_EQ(LastPathPart("plain"), "plain");
}

TEST(KeyName, TextOfKeysValuesAndTheDefaultValue) {
    EXPECT_EQ(KeyName::Key(roots::LocalMachine, "\\SOFTWARE\\App Paths\\x.exe\\").Text(),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\App Paths\\x.exe");
    EXPECT_EQ(KeyName::Value(roots::CurrentUser, "Software\\RunMRU", "a").Text(),
              "HKEY_CURRENT_USER\\Software\\RunMRU\\a");
    // The default value keeps its trailing backslash, so its text differs from the key's own.
    EXPECT_EQ(KeyName::Value(roots::CurrentUser, "Software\\X", "").Text(),
              "HKEY_CURRENT_USER\\Software\\X\\");
    // A value name holding backslashes (a shared DLL's path) stays one name.
    const KeyName dll = KeyName::Value(roots::LocalMachine, "SOFTWARE\\SharedDlls", "C:\\A\\b.dll");
    EXPECT_EQ(dll.Text(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\SharedDlls\\C:\\A\\b.dll");
    EXPECT_EQ(dll.ParentPath(), "SOFTWARE\\SharedDlls");
    EXPECT_EQ(dll.LastPart(), "C:\\A\\b.dll");
}

TEST(KeyName, ParentAndLastPartOfAKey) {
    const KeyName key = KeyName::Key(roots::ClassesRoot, "CLSID\\{1}\\InprocServer32");
    EXPECT_EQ(key.ParentPath(), "CLSID\\{1}");
    EXPECT_EQ(key.LastPart(), "InprocServer32");
    EXPECT_EQ(key.AbsoluteKeyPath(), "\\CLSID\\{1}\\InprocServer32");
    const KeyName top = KeyName::Key(roots::CurrentUser, "Software");
    EXPECT_EQ(top.ParentPath(), "");
    EXPECT_EQ(top.LastPart(), "Software");
}

TEST(KeyName, ParseKeyReadsTheRootTable) {
    EXPECT_EQ(KeyName::ParseKey("HKEY_CURRENT_USER\\Software\\X"),
              KeyName::Key(roots::CurrentUser, "Software\\X"));
    EXPECT_EQ(KeyName::ParseKey("HKEY_LOCAL_MACHINE"), KeyName::Key(roots::LocalMachine, ""));
    // Any other first part names HKEY_CLASSES_ROOT, as the root table answers for it.
    EXPECT_EQ(KeyName::ParseKey("HKCU\\Software"), KeyName::Key(roots::ClassesRoot, "Software"));
    // Text and parse agree on every key the program formats.
    const KeyName key = KeyName::Key(roots::Users, ".DEFAULT\\Control Panel");
    EXPECT_EQ(KeyName::ParseKey(key.Text()), key);
}

}  // namespace
}  // namespace korvane
