// The ASCII case and path text helpers every layer shares: the edge cases that decide what a
// comparison or a path test answers.
#include <gtest/gtest.h>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"

namespace korvane {
namespace {

TEST(AsciiCase, FoldsOnlyLatinLettersAndLeavesOtherBytesAlone) {
    EXPECT_EQ(LowerAscii("C:\\Program Files\\APP.EXE"), "c:\\program files\\app.exe");
    EXPECT_EQ(UpperAscii("c:\\[x]_@`{~"), "C:\\[X]_@`{~");
    // "Ä" and "É" as UTF-8: no byte of a multi-byte sequence may change, nor may "ä" become "Ä".
    EXPECT_EQ(LowerAscii("\xC3\x84\xC3\x89Z"), "\xC3\x84\xC3\x89z");
    EXPECT_EQ(UpperAscii("\xC3\xA4z"), "\xC3\xA4Z");
    EXPECT_FALSE(EqualsNoCase("\xC3\xA4", "\xC3\x84"));
    EXPECT_EQ(LowerAscii(""), "");
}

TEST(AsciiCase, ComparisonsWithEmptyAndLongerTexts) {
    EXPECT_TRUE(EqualsNoCase("", ""));
    EXPECT_FALSE(EqualsNoCase("abc", "ab"));
    EXPECT_TRUE(EqualsNoCase("InprocServer32", "INPROCSERVER32"));
    // "@" and "`" sit next to the letters: folding by a bit flip would take them for one another.
    EXPECT_FALSE(EqualsNoCase("@", "`"));
    EXPECT_FALSE(EqualsNoCase("[", "{"));

    EXPECT_TRUE(StartsWithNoCase("\\SystemRoot\\x", "\\systemroot\\"));
    EXPECT_TRUE(StartsWithNoCase("anything", ""));
    EXPECT_FALSE(StartsWithNoCase("\\Sys", "\\SystemRoot\\"));
    EXPECT_TRUE(EndsWithNoCase("C:\\A\\B.DLL", ".dll"));
    EXPECT_FALSE(EndsWithNoCase("dll", ".dll"));
    EXPECT_FALSE(EndsWithNoCase("", ".exe"));

    EXPECT_EQ(FindNoCase("C:\\Windows\\System32\\Config\\SystemProfile", "\\config\\systemprofile"), 19u);
    EXPECT_EQ(FindNoCase("aXbxc", "X", 2), 3u);
    EXPECT_EQ(FindNoCase("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("abc", "", 3), 3u);
    EXPECT_EQ(FindNoCase("abc", "a", 4), std::string_view::npos);
}

TEST(PathText, WithBackslashAddsOneAndLeavesEmptyEmpty) {
    EXPECT_EQ(WithBackslash("C:\\Korvane"), "C:\\Korvane\\");
    EXPECT_EQ(WithBackslash("C:\\Korvane\\"), "C:\\Korvane\\");
    EXPECT_EQ(WithBackslash("C:"), "C:\\");
    // No folder must not become the root of the current drive.
    EXPECT_EQ(WithBackslash(""), "");

    EXPECT_EQ(WithoutTrailingSeparators("C:\\Windows\\\\"), "C:\\Windows");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\Temp/"), "C:\\Temp");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\"), "C:\\");  // the root keeps its backslash
    EXPECT_EQ(WithoutTrailingSeparators("\\\\server\\share\\"), "\\\\server\\share");
    EXPECT_EQ(WithoutTrailingSeparators(""), "");
}

TEST(PathText, AbsoluteOnlyWhenNoCurrentFolderTakesPart) {
    EXPECT_TRUE(IsAbsolutePath("C:\\"));
    EXPECT_TRUE(IsAbsolutePath("c:/Windows"));
    EXPECT_FALSE(IsAbsolutePath("C:"));         // drive C's current folder
    EXPECT_FALSE(IsAbsolutePath("C:app.exe"));  // ditto
    EXPECT_FALSE(IsAbsolutePath("\\Windows"));  // the current drive
    EXPECT_FALSE(IsAbsolutePath("1:\\x"));
    EXPECT_FALSE(IsAbsolutePath(""));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\x"));
    EXPECT_TRUE(IsAbsolutePath("//server/share"));
    EXPECT_TRUE(IsAbsolutePath("\\\\?\\C:\\x"));
    EXPECT_FALSE(IsAbsolutePath("app.exe"));

    // What may be joined to another folder: neither absolute nor tied to a drive or its root.
    EXPECT_TRUE(IsRelativeToCurrentFolder("..\\reports\\a.json"));
    EXPECT_TRUE(IsRelativeToCurrentFolder("a.json"));
    EXPECT_FALSE(IsRelativeToCurrentFolder("C:a.json"));
    EXPECT_FALSE(IsRelativeToCurrentFolder("\\a.json"));
    EXPECT_FALSE(IsRelativeToCurrentFolder("/a.json"));
    EXPECT_FALSE(IsRelativeToCurrentFolder("C:\\a.json"));
    EXPECT_FALSE(IsRelativeToCurrentFolder("\\\\server\\share\\a.json"));
}

TEST(PathText, FileNameAndExtension) {
    EXPECT_EQ(FileNameOf("C:\\A\\b.dll"), "b.dll");
    EXPECT_EQ(FileNameOf("C:/A/b.dll"), "b.dll");
    EXPECT_EQ(FileNameOf("C:b.dll"), "b.dll");
    EXPECT_EQ(FileNameOf("\\\\server\\share"), "share");
    EXPECT_EQ(FileNameOf("C:\\A\\"), "");
    EXPECT_EQ(FileNameOf("b.dll"), "b.dll");

    EXPECT_EQ(ExtensionOf("C:\\A\\b.DLL"), ".DLL");
    EXPECT_EQ(ExtensionOf("C:\\A\\b.tar.gz"), ".gz");
    // A dot in a folder's name is no extension of the file.
    EXPECT_EQ(ExtensionOf("C:\\App 1.2\\setup"), "");
    EXPECT_EQ(ExtensionOf("C:\\App.d/setup"), "");
    EXPECT_EQ(ExtensionOf("setup."), ".");
    EXPECT_EQ(ExtensionOf(""), "");
}

}  // namespace
}  // namespace korvane
