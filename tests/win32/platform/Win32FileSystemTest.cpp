// Win32FileSystem cases the shared conformance suite cannot express: what the real file system
// stores (UTF-16 names) and the attribute rules of CreateFileW when a file is overwritten.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win32/platform/Text.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32SystemInfo.h"

namespace korvane::win32 {
namespace {

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = Win32SystemInfo().tempDirectory() + "KorvaneWin32FileSystemTests";
        Clean();
        ASSERT_TRUE(files.createDirectory(folder));
    }
    void TearDown() override { Clean(); }
    void Clean() {
        std::vector<FileEntry> entries;
        if (files.findFiles(folder + "\\*", entries))
            for (const FileEntry& entry : entries) {
                const std::string path = folder + "\\" + entry.name;
                ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                files.deleteFile(path);
            }
        files.removeDirectory(folder);
    }

    Win32FileSystem files;
    std::string folder;
};

TEST_F(Win32FileSystemTest, NonAsciiNamesAreStoredAsTheirCharacters) {
    const std::string name =
        "Sch\xC3\xA4"
        "dlich \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x94\x91.txt";
    ASSERT_TRUE(files.writeFile(folder + "\\" + name, "data"));
    const std::wstring wide = Widen(folder) + L"\\Sch\u00E4dlich \u65E5\u672C \U0001F511.txt";
    EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<FileEntry> entries;
    ASSERT_TRUE(files.findFiles(folder + "\\*.txt", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, name);
    EXPECT_EQ(entries[0].size, 4u);
}

TEST_F(Win32FileSystemTest, OverwritingAHiddenFileSucceedsAndKeepsItHidden) {
    // CreateFileW(CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL) is refused on a hidden or system file.
    const std::string path = folder + "\\ignore.xml";
    ASSERT_TRUE(files.writeFile(path, "old"));
    ASSERT_TRUE(::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(files.writeFile(path, "new"));
    EXPECT_EQ(files.readFile(path).value_or(""), "new");
    const auto attributes = files.attributes(path);
    ASSERT_TRUE(attributes.has_value());
    EXPECT_EQ(*attributes & (fileattr::Hidden | fileattr::System), fileattr::Hidden | fileattr::System);
}

TEST_F(Win32FileSystemTest, AFolderIsNeitherReadNorOverwrittenAsAFile) {
    const std::string sub = folder + "\\sub";
    ASSERT_TRUE(files.createDirectory(sub));
    EXPECT_FALSE(files.writeFile(sub, "x"));
    EXPECT_FALSE(files.readFile(sub).has_value());
    EXPECT_TRUE(files.directoryExists(sub));
    EXPECT_TRUE(files.removeDirectory(sub));
}

}  // namespace
}  // namespace korvane::win32
