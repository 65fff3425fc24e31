// The in-memory file system beyond the conformance suite: failing deletes and writes, wildcard rules,
// drives and shares, Windows' path spellings, enumeration order, counters and use from two threads.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "platform/memory/MemoryFileSystem.h"

namespace korvane {
namespace {

std::vector<std::string> Find(MemoryFileSystem& fs, const std::string& pattern) {
    std::vector<FileEntry> entries;
    EXPECT_TRUE(fs.findFiles(pattern, entries)) << pattern;
    std::vector<std::string> names;
    for (const FileEntry& e : entries) names.push_back(e.name);
    return names;
}

TEST(MemoryFileSystemTest, FailDeleteKeepsFilesAndFolders) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Data\\stuck.txt", "s");
    fs.AddFile("C:\\Data\\new.tmp", "n");
    fs.AddFolder("C:\\Data\\Empty");
    fs.FailDelete("c:\\data\\STUCK.txt");
    fs.FailDelete("C:\\Data\\Empty");

    EXPECT_FALSE(fs.deleteFile("C:\\Data\\stuck.txt"));
    EXPECT_FALSE(fs.removeDirectory("C:\\Data\\Empty"));
    // A file that cannot be deleted cannot be replaced or moved away either.
    EXPECT_FALSE(fs.replaceFile("C:\\Data\\new.tmp", "C:\\Data\\stuck.txt"));
    EXPECT_FALSE(fs.replaceFile("C:\\Data\\stuck.txt", "C:\\Data\\moved.txt"));
    EXPECT_EQ(fs.ContentsRaw("C:\\Data\\stuck.txt"), "s");
    EXPECT_TRUE(fs.ExistsRaw("C:\\Data\\new.tmp"));
    // Writing it is still allowed: only deleting fails.
    EXPECT_TRUE(fs.writeFile("C:\\Data\\stuck.txt", "w"));

    fs.ClearFailures();
    EXPECT_TRUE(fs.deleteFile("C:\\Data\\stuck.txt"));
    EXPECT_TRUE(fs.removeDirectory("C:\\Data\\Empty"));
}

TEST(MemoryFileSystemTest, FailWriteMakesAReadOnlyFolder) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Korvane\\Backup.xml", "<old/>");
    fs.AddFile("C:\\Korvane\\Sub\\inner.txt", "i");
    fs.AddFile("C:\\Elsewhere\\x.tmp", "x");
    fs.FailWrite("C:\\Korvane");

    EXPECT_FALSE(fs.writeFile("C:\\Korvane\\Backup.xml.tmp", "<new/>"));
    EXPECT_FALSE(fs.writeFile("C:\\Korvane\\Backup.xml", "<new/>"));
    EXPECT_FALSE(fs.writeFile("C:\\Korvane\\Sub\\inner.txt", "changed"));  // the rule covers sub-folders
    EXPECT_FALSE(fs.createDirectory("C:\\Korvane\\New"));
    EXPECT_FALSE(fs.deleteFile("C:\\Korvane\\Sub\\inner.txt"));
    EXPECT_FALSE(fs.replaceFile("C:\\Elsewhere\\x.tmp", "C:\\Korvane\\Backup.xml"));
    EXPECT_FALSE(fs.replaceFile("C:\\Korvane\\Backup.xml", "C:\\Elsewhere\\b.xml"));
    // Reading goes on, and nothing changed.
    EXPECT_EQ(fs.readFile("C:\\Korvane\\Backup.xml"), "<old/>");
    EXPECT_EQ(fs.ListRaw("C:\\Korvane"), (std::vector<std::string>{"Backup.xml", "Sub"}));
    EXPECT_TRUE(fs.writeFile("C:\\Elsewhere\\y.tmp", "y"));

    // A single file can be made unwritable too, before it exists.
    fs.FailWrite("C:\\Elsewhere\\later.txt");
    EXPECT_FALSE(fs.writeFile("C:\\Elsewhere\\later.txt", "l"));
}

TEST(MemoryFileSystemTest, WildcardsFollowFindFirstFile) {
    MemoryFileSystem fs;
    for (const char* name : {"readme", "readme.txt", "Read.me", "a.b.c", "x1.log", "x22.log"}) {
        fs.AddFile(std::string("C:\\W\\") + name);
    }
    EXPECT_EQ(Find(fs, "C:\\W\\*.*").size(), 8u);  // with "." and ".."
    EXPECT_EQ(Find(fs, "C:\\W\\readme.*"), (std::vector<std::string>{"readme", "readme.txt"}));
    EXPECT_EQ(Find(fs, "C:\\W\\*."), std::vector<std::string>{"readme"});
    EXPECT_EQ(Find(fs, "C:\\W\\x?.log"), std::vector<std::string>{"x1.log"});
    EXPECT_EQ(Find(fs, "C:\\W\\X*.LOG"), (std::vector<std::string>{"x1.log", "x22.log"}));
    EXPECT_EQ(Find(fs, "C:\\W\\*.c"), std::vector<std::string>{"a.b.c"});
    EXPECT_EQ(Find(fs, "C:\\W\\READ*"), (std::vector<std::string>{"Read.me", "readme", "readme.txt"}));
    std::vector<FileEntry> entries;
    EXPECT_TRUE(fs.findFiles("C:\\W\\", entries));  // names no entry: nothing matches
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(fs.findFiles("C:\\W*\\*.*", entries));  // wildcards only in the last name
}

TEST(MemoryFileSystemTest, EntriesComeInCaseInsensitiveOrderAfterTheDotEntries) {
    MemoryFileSystem fs;
    for (const char* name : {"beta", "Alpha", "_under", "gamma.txt", "10"})
        fs.AddFile(std::string("C:\\O\\") + name);
    fs.AddFolder("C:\\O\\Delta", fileattr::Hidden);
    EXPECT_EQ(Find(fs, "C:\\O\\*"),
              (std::vector<std::string>{".", "..", "10", "Alpha", "beta", "Delta", "gamma.txt", "_under"}));
    std::vector<FileEntry> entries;
    ASSERT_TRUE(fs.findFiles("C:\\O\\Delta", entries));  // a name without wildcards finds that entry
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].attributes, fileattr::Directory | fileattr::Hidden);
}

TEST(MemoryFileSystemTest, DrivesAndShares) {
    MemoryFileSystem fs;
    EXPECT_TRUE(fs.directoryExists("C:\\"));
    EXPECT_FALSE(fs.directoryExists("D:\\"));
    EXPECT_FALSE(fs.fileExists("D:\\file.txt"));
    fs.AddFile("D:\\Tools\\tool.exe");
    EXPECT_TRUE(fs.directoryExists("d:\\"));
    // "D:name" is relative to D:'s root while the current folder is on C:.
    EXPECT_TRUE(fs.directoryExists("D:Tools"));
    EXPECT_TRUE(fs.fileExists("D:Tools\\tool.exe"));

    fs.AddFile("\\\\Server\\Share\\dir\\app.exe");
    EXPECT_TRUE(fs.fileExists("\\\\server\\share\\DIR\\app.exe"));
    EXPECT_TRUE(fs.fileExists("//Server/Share/dir/app.exe"));
    EXPECT_FALSE(fs.fileExists("\\\\Server\\Other\\dir\\app.exe"));
    EXPECT_FALSE(fs.fileExists("\\\\Server"));
    EXPECT_TRUE(fs.setCurrentDirectory("\\\\Server\\Share\\dir"));
    EXPECT_EQ(fs.currentDirectory(), "\\\\Server\\Share\\dir");
    EXPECT_TRUE(fs.fileExists("app.exe"));
    EXPECT_TRUE(fs.fileExists("\\dir\\app.exe"));  // the root of the current share
}

TEST(MemoryFileSystemTest, PathSpellingsOfWindows) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Program Files\\App\\app.exe", "MZ");
    EXPECT_TRUE(fs.fileExists("C:\\Program Files\\App\\app.exe. "));  // trailing dots and blanks drop
    EXPECT_TRUE(fs.fileExists("C:\\Program Files\\App\\.\\..\\App\\app.exe"));
    EXPECT_TRUE(fs.fileExists("C:\\..\\..\\Program Files\\App\\app.exe"));  // ".." stops at the root
    EXPECT_TRUE(fs.fileExists("C:\\\\Program Files\\\\App\\app.exe"));
    EXPECT_TRUE(fs.fileExists("\\\\?\\C:\\Program Files\\App\\app.exe"));
    EXPECT_FALSE(fs.fileExists("C:\\Program Files\\App\\app.exe\\"));  // names a folder
    EXPECT_TRUE(fs.directoryExists("C:\\Program Files\\App\\"));
    EXPECT_FALSE(fs.fileExists("\"C:\\Program Files\\App\\app.exe\""));  // quotes are not part of names
    EXPECT_FALSE(fs.fileExists("C:\\Program Files\\App\\app.exe /s"));
    EXPECT_FALSE(fs.fileExists("C:\\Program Files\\App\\app.exe|x"));
    EXPECT_FALSE(fs.fileExists(""));
    EXPECT_THROW(fs.AddFile("C:\\bad|name.txt"), std::invalid_argument);

    ASSERT_TRUE(fs.setCurrentDirectory("c:\\program files"));
    EXPECT_EQ(fs.currentDirectory(), "c:\\program files");  // kept as spelled, as Windows does
    EXPECT_TRUE(fs.fileExists("App\\app.exe"));
    EXPECT_TRUE(fs.fileExists("C:App\\app.exe"));  // relative to the current folder of C:
    EXPECT_TRUE(fs.directoryExists("\\Program Files"));
    EXPECT_TRUE(fs.directoryExists("C:"));
}

TEST(MemoryFileSystemTest, FoldersInUseOrReadOnlyCannotBeRemoved) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Work\\Here");
    fs.AddFolder("C:\\Work\\Locked", fileattr::ReadOnly);
    ASSERT_TRUE(fs.setCurrentDirectory("C:\\Work\\Here"));
    EXPECT_FALSE(fs.removeDirectory("C:\\Work\\Here"));
    EXPECT_FALSE(fs.removeDirectory("C:\\Work\\Locked"));
    EXPECT_FALSE(fs.removeDirectory("C:\\"));
    ASSERT_TRUE(fs.setCurrentDirectory(".."));
    EXPECT_TRUE(fs.removeDirectory("Here"));
}

TEST(MemoryFileSystemTest, AttributesOfNewAndRewrittenFiles) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\a.txt", "", 0);
    EXPECT_EQ(fs.attributes("C:\\a.txt"), fileattr::Normal);
    fs.AddFile("C:\\h.txt", "old", fileattr::Hidden);
    ASSERT_TRUE(fs.writeFile("C:\\h.txt", "new"));
    EXPECT_EQ(fs.attributes("C:\\h.txt"), fileattr::Hidden | fileattr::Archive);
    ASSERT_TRUE(fs.writeFile("C:\\n.txt", "n"));
    EXPECT_EQ(fs.attributes("C:\\n.txt"), fileattr::Archive);
    fs.SetAttributes("C:\\n.txt", fileattr::ReadOnly | fileattr::Directory);  // the kind cannot change
    EXPECT_EQ(fs.attributes("C:\\n.txt"), fileattr::ReadOnly);
    EXPECT_FALSE(fs.replaceFile("C:\\h.txt", "C:\\n.txt"));  // onto a read-only file
    // Replacing keeps the moved file's attributes and takes the target's spelling.
    ASSERT_TRUE(fs.replaceFile("C:\\h.txt", "C:\\H2.TXT"));
    EXPECT_EQ(fs.ListRaw("C:\\"), (std::vector<std::string>{"a.txt", "H2.TXT", "n.txt"}));
    EXPECT_EQ(fs.attributes("C:\\h2.txt"), fileattr::Hidden | fileattr::Archive);
}

TEST(MemoryFileSystemTest, CountsExistenceTests) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\x.txt");
    EXPECT_EQ(fs.ExistenceTestCount(), 0u);
    fs.fileExists("C:\\x.txt");
    fs.directoryExists("C:\\x.txt");
    fs.attributes("C:\\missing");
    fs.readFile("C:\\x.txt");  // not an existence test
    EXPECT_EQ(fs.ExistenceTestCount(), 3u);
    EXPECT_EQ(fs.CallCount(), 4u);
    fs.ResetCounters();
    EXPECT_EQ(fs.ExistenceTestCount(), 0u);
}

TEST(MemoryFileSystemTest, TwoThreadsMayUseItAtOnce) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\T");
    auto work = [&fs](const std::string& prefix) {
        for (int i = 0; i < 200; ++i) {
            std::string path = "C:\\T\\" + prefix + std::to_string(i) + ".tmp";
            fs.writeFile(path, prefix);
            fs.replaceFile(path, path + ".done");
            std::vector<FileEntry> entries;
            fs.findFiles("C:\\T\\*.done", entries);
        }
    };
    std::thread other(work, "w");
    work("t");
    other.join();
    EXPECT_EQ(fs.ListRaw("C:\\T").size(), 400u);
}

}  // namespace
}  // namespace korvane
