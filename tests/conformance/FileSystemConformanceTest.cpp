// File system behaviour the program relies on, checked against whichever implementation the build
// provides. Listings are compared as sets: the interface promises the file system's own order only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "conformance/ConformanceTarget.h"

namespace korvane::conformance {
namespace {

// Deletes `folder` with everything in it, through the interface alone.
void DeleteFolderTree(ConformanceTarget& target, const std::string& folder) {
    FileSystem& fs = *target.files;
    std::vector<FileEntry> entries;
    if (fs.findFiles(folder + "\\*", entries)) {
        for (const FileEntry& e : entries) {
            if (e.name == "." || e.name == "..") continue;
            std::string path = folder + "\\" + e.name;
            if (target.setFileAttributes && (e.attributes & (fileattr::ReadOnly | fileattr::Hidden)) != 0) {
                target.setFileAttributes(path, fileattr::Normal);
            }
            if (e.attributes & fileattr::Directory) {
                DeleteFolderTree(target, path);
            } else {
                fs.deleteFile(path);
            }
        }
    }
    fs.removeDirectory(folder);
}

// A digest as the usual lower-case hex text, so that expectations read like published test vectors.
std::string Hex(const std::optional<Sha256Digest>& digest) {
    if (!digest) return "<none>";
    std::string text;
    for (std::uint8_t byte : *digest) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

class FileSystemConformance : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = MakeConformanceTarget();
        ASSERT_NE(target_.files, nullptr);
        original_ = fs().currentDirectory();
        DeleteFolderTree(target_, target_.scratchFolder);
        ASSERT_FALSE(fs().directoryExists(target_.scratchFolder));
        ASSERT_TRUE(fs().createDirectory(target_.scratchFolder));
    }
    void TearDown() override {
        if (!target_.files) return;
        fs().setCurrentDirectory(original_);  // a current folder cannot be removed on Windows
        DeleteFolderTree(target_, target_.scratchFolder);
    }

    FileSystem& fs() { return *target_.files; }
    std::string At(const std::string& name) const { return target_.scratchFolder + "\\" + name; }

    // name -> attributes of a listing, for set comparisons.
    std::map<std::string, FileEntry> List(const std::string& pattern) {
        std::vector<FileEntry> entries;
        EXPECT_TRUE(fs().findFiles(At(pattern), entries)) << pattern;
        std::map<std::string, FileEntry> byName;
        for (const FileEntry& e : entries)
            EXPECT_TRUE(byName.emplace(e.name, e).second) << "twice: " << e.name;
        return byName;
    }
    static std::vector<std::string> Names(const std::map<std::string, FileEntry>& listing) {
        std::vector<std::string> names;
        for (const auto& [name, entry] : listing) names.push_back(name);
        return names;
    }

    ConformanceTarget target_;
    std::string original_;
};

TEST_F(FileSystemConformance, FileAndFolderExistenceAreDistinct) {
    ASSERT_TRUE(fs().writeFile(At("a.txt"), "text"));
    ASSERT_TRUE(fs().createDirectory(At("sub")));

    EXPECT_TRUE(fs().fileExists(At("a.txt")));
    EXPECT_FALSE(fs().directoryExists(At("a.txt")));
    EXPECT_TRUE(fs().directoryExists(At("sub")));
    EXPECT_FALSE(fs().fileExists(At("sub")));
    EXPECT_FALSE(fs().fileExists(At("missing.txt")));
    EXPECT_FALSE(fs().directoryExists(At("missing")));
    EXPECT_FALSE(fs().attributes(At("missing")).has_value());

    auto folder = fs().attributes(At("sub"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_NE(*folder & fileattr::Directory, 0u);
    auto file = fs().attributes(At("a.txt"));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(*file & fileattr::Directory, 0u);

    // Other spellings of the same names: case, forward slashes, "." and "..".
    EXPECT_TRUE(fs().fileExists(At("A.TXT")));
    std::string slashed = At("sub/../a.txt");
    EXPECT_TRUE(fs().fileExists(slashed));
    EXPECT_TRUE(fs().directoryExists(At(".\\SUB")));
}

TEST_F(FileSystemConformance, ProbeTellsWhatIsThereFromAMissingNameAndAMissingFolder) {
    ASSERT_TRUE(fs().writeFile(At("a.txt"), "text"));
    ASSERT_TRUE(fs().createDirectory(At("sub")));

    const PathProbe file = fs().probePath(At("A.TXT"));
    EXPECT_EQ(file.state, PathState::Present);
    EXPECT_TRUE(file.IsFile());
    const PathProbe folder = fs().probePath(At("sub"));
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_EQ(folder.reason, PathReason::Found);

    // Windows says which part is not there; both are a certain "missing".
    const PathProbe name = fs().probePath(At("missing.txt"));
    EXPECT_EQ(name.state, PathState::Missing);
    EXPECT_EQ(name.reason, PathReason::FileNotFound);
    EXPECT_EQ(name.error, fserror::FileNotFound);
    const PathProbe path = fs().probePath(At("gone\\missing.txt"));
    EXPECT_EQ(path.state, PathState::Missing);
    EXPECT_EQ(path.reason, PathReason::PathNotFound);
    EXPECT_EQ(path.error, fserror::PathNotFound);
}

TEST_F(FileSystemConformance, ProbeOfANameNoFileCanHaveIsMissing) {
    // A command line with quotes and a switch, as registry data often holds: no file has that name.
    const PathProbe quoted = fs().probePath("\"" + At("app.exe") + "\" /s");
    EXPECT_EQ(quoted.state, PathState::Missing);
    EXPECT_EQ(quoted.reason, PathReason::InvalidName);
}

TEST_F(FileSystemConformance, ProbeOfADriveLetterThatNamesNoDriveCannotTell) {
    ASSERT_FALSE(target_.absentDrive.empty());
    // Windows answers "file not found" here as if the drive had answered; the probe must not.
    for (const std::string& path : {target_.absentDrive + "\\app.exe",
                                    target_.absentDrive + "\\Gone\\app.exe", target_.absentDrive + "\\"}) {
        const PathProbe probe = fs().probePath(path);
        EXPECT_EQ(probe.state, PathState::CannotTell) << path;
        EXPECT_EQ(probe.reason, PathReason::NoSuchDrive) << path;
    }
}

TEST_F(FileSystemConformance, ProbeOfAServerThatIsNotThereCannotTell) {
    const PathProbe probe = fs().probePath("\\\\korvane-no-such-server\\share\\app.exe");
    EXPECT_EQ(probe.state, PathState::CannotTell);
    EXPECT_EQ(probe.reason, PathReason::ServerUnreachable) << probe.error;
}

TEST_F(FileSystemConformance, NativePathsScopeKeepsPathsAndCanBeTakenOnAnyThread) {
    ASSERT_TRUE(fs().writeFile(At("a.txt"), "text"));
    {
        const auto outer = fs().nativePathsOnThisThread();
        ASSERT_NE(outer, nullptr);
        const auto inner = fs().nativePathsOnThisThread();  // nested scopes end in any order
        EXPECT_TRUE(fs().probePath(At("a.txt")).IsFile());
    }
    bool seen = false;
    std::thread other([&] {
        const auto scope = fs().nativePathsOnThisThread();
        seen = fs().probePath(At("a.txt")).IsFile();
    });
    other.join();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(fs().fileExists(At("a.txt")));
}

TEST_F(FileSystemConformance, FindFilesStarDotStarListsEverythingWithDotEntries) {
    ASSERT_TRUE(fs().writeFile(At("b.txt"), "12345"));
    ASSERT_TRUE(fs().writeFile(At("A.log"), ""));
    ASSERT_TRUE(fs().writeFile(At("noext"), "x"));
    ASSERT_TRUE(fs().createDirectory(At("sub")));

    auto listing = List("*.*");
    EXPECT_EQ(Names(listing), (std::vector<std::string>{".", "..", "A.log", "b.txt", "noext", "sub"}));
    EXPECT_NE(listing["."].attributes & fileattr::Directory, 0u);
    EXPECT_NE(listing[".."].attributes & fileattr::Directory, 0u);
    EXPECT_NE(listing["sub"].attributes & fileattr::Directory, 0u);
    EXPECT_EQ(listing["b.txt"].attributes & fileattr::Directory, 0u);
    EXPECT_EQ(listing["b.txt"].size, 5u);
    EXPECT_EQ(listing["A.log"].size, 0u);

    // "*" lists the same entries.
    EXPECT_EQ(Names(List("*")), Names(listing));
}

TEST_F(FileSystemConformance, FindFilesWithExtensionPatternMatchesOnlyThatExtension) {
    for (const char* name : {"one.txt", "TWO.TXT", "three.log", "noext", "readme.md"}) {
        ASSERT_TRUE(fs().writeFile(At(name), name));
    }
    ASSERT_TRUE(fs().createDirectory(At("folder.txt")));
    auto listing = List("*.txt");
    EXPECT_EQ(Names(listing), (std::vector<std::string>{"TWO.TXT", "folder.txt", "one.txt"}));
    EXPECT_NE(listing["folder.txt"].attributes & fileattr::Directory, 0u);

    EXPECT_EQ(Names(List("t*.*")), (std::vector<std::string>{"TWO.TXT", "three.log"}));
    EXPECT_EQ(Names(List("one.txt")), std::vector<std::string>{"one.txt"});
}

TEST_F(FileSystemConformance, FindFilesInEmptyOrMissingFolder) {
    ASSERT_TRUE(fs().createDirectory(At("empty")));
    std::vector<FileEntry> entries;
    // A folder that can be read but has no match is not an error.
    EXPECT_TRUE(fs().findFiles(At("empty\\*.txt"), entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(fs().findFiles(At("missing\\*.*"), entries));
}

TEST_F(FileSystemConformance, FindFilesReportsAttributes) {
    if (!target_.setFileAttributes) GTEST_SKIP() << "this target cannot set attributes";
    ASSERT_TRUE(fs().writeFile(At("locked.txt"), "r"));
    ASSERT_TRUE(fs().writeFile(At("secret.txt"), "h"));
    ASSERT_TRUE(fs().writeFile(At("plain.txt"), "p"));
    ASSERT_TRUE(target_.setFileAttributes(At("locked.txt"), fileattr::ReadOnly));
    ASSERT_TRUE(target_.setFileAttributes(At("secret.txt"), fileattr::Hidden));

    auto listing = List("*.txt");
    ASSERT_EQ(listing.size(), 3u);  // hidden files are listed too
    EXPECT_NE(listing["locked.txt"].attributes & fileattr::ReadOnly, 0u);
    EXPECT_EQ(listing["locked.txt"].attributes & fileattr::Hidden, 0u);
    EXPECT_NE(listing["secret.txt"].attributes & fileattr::Hidden, 0u);
    EXPECT_EQ(listing["plain.txt"].attributes & (fileattr::ReadOnly | fileattr::Hidden), 0u);
    EXPECT_EQ(fs().attributes(At("locked.txt")).value_or(0) & fileattr::ReadOnly, fileattr::ReadOnly);

    // A read-only file cannot be deleted or overwritten.
    EXPECT_FALSE(fs().deleteFile(At("locked.txt")));
    EXPECT_FALSE(fs().writeFile(At("locked.txt"), "new"));
    EXPECT_EQ(fs().readFile(At("locked.txt")).value_or(""), "r");
}

TEST_F(FileSystemConformance, CreateAndRemoveDirectory) {
    EXPECT_TRUE(fs().createDirectory(At("made")));
    EXPECT_FALSE(fs().createDirectory(At("made")));  // exists already
    EXPECT_FALSE(fs().createDirectory(At("MADE")));
    EXPECT_FALSE(fs().createDirectory(At("absent\\deeper")));  // one level at a time
    EXPECT_FALSE(fs().directoryExists(At("absent")));

    ASSERT_TRUE(fs().writeFile(At("made\\inside.txt"), "x"));
    EXPECT_FALSE(fs().removeDirectory(At("made")));  // not empty
    EXPECT_TRUE(fs().directoryExists(At("made")));
    ASSERT_TRUE(fs().deleteFile(At("made\\inside.txt")));
    EXPECT_TRUE(fs().removeDirectory(At("made")));
    EXPECT_FALSE(fs().directoryExists(At("made")));
    EXPECT_FALSE(fs().removeDirectory(At("made")));

    ASSERT_TRUE(fs().writeFile(At("file"), "x"));
    EXPECT_FALSE(fs().removeDirectory(At("file")));
    EXPECT_TRUE(fs().fileExists(At("file")));
}

TEST_F(FileSystemConformance, DeleteFileRemovesFilesOnly) {
    ASSERT_TRUE(fs().writeFile(At("gone.txt"), "x"));
    ASSERT_TRUE(fs().createDirectory(At("folder")));
    EXPECT_TRUE(fs().deleteFile(At("GONE.txt")));
    EXPECT_FALSE(fs().fileExists(At("gone.txt")));
    EXPECT_FALSE(fs().deleteFile(At("gone.txt")));
    EXPECT_FALSE(fs().deleteFile(At("folder")));
    EXPECT_TRUE(fs().directoryExists(At("folder")));
}

TEST_F(FileSystemConformance, ReadWriteAndReplaceWholeFiles) {
    const std::string binary("line one\r\nzero\0byte \xC3\xA9 \xFF end", 29);
    ASSERT_TRUE(fs().writeFile(At("data.bin"), binary));
    EXPECT_EQ(fs().readFile(At("data.bin")), binary);
    ASSERT_TRUE(fs().writeFile(At("data.bin"), "short"));  // truncates
    EXPECT_EQ(fs().readFile(At("data.bin")), "short");
    ASSERT_TRUE(fs().writeFile(At("empty.bin"), ""));
    EXPECT_EQ(fs().readFile(At("empty.bin")), "");

    EXPECT_FALSE(fs().readFile(At("missing.bin")).has_value());
    ASSERT_TRUE(fs().createDirectory(At("folder")));
    EXPECT_FALSE(fs().readFile(At("folder")).has_value());
    EXPECT_FALSE(fs().writeFile(At("folder"), "x"));
    EXPECT_FALSE(fs().writeFile(At("missing\\file.txt"), "x"));

    // Replace onto an existing file and onto a new name.
    ASSERT_TRUE(fs().writeFile(At("target.xml"), "old"));
    ASSERT_TRUE(fs().writeFile(At("target.xml.tmp"), "new"));
    EXPECT_TRUE(fs().replaceFile(At("target.xml.tmp"), At("target.xml")));
    EXPECT_EQ(fs().readFile(At("target.xml")), "new");
    EXPECT_FALSE(fs().fileExists(At("target.xml.tmp")));

    ASSERT_TRUE(fs().writeFile(At("fresh.tmp"), "fresh"));
    EXPECT_TRUE(fs().replaceFile(At("fresh.tmp"), At("fresh.xml")));
    EXPECT_EQ(fs().readFile(At("fresh.xml")), "fresh");
    EXPECT_FALSE(fs().fileExists(At("fresh.tmp")));

    EXPECT_FALSE(fs().replaceFile(At("nothing.tmp"), At("target.xml")));
    EXPECT_EQ(fs().readFile(At("target.xml")), "new");
}

TEST_F(FileSystemConformance, NamesAreCaseInsensitiveAndCasePreserving) {
    ASSERT_TRUE(fs().writeFile(At("MixedCase.TXT"), "first"));
    EXPECT_EQ(fs().readFile(At("mixedcase.txt")), "first");
    ASSERT_TRUE(fs().writeFile(At("MIXEDCASE.txt"), "second"));  // the same file
    EXPECT_EQ(Names(List("*.txt")), std::vector<std::string>{"MixedCase.TXT"});
    EXPECT_EQ(fs().readFile(At("MixedCase.TXT")), "second");
}

TEST_F(FileSystemConformance, NonAsciiNamesSurvive) {
    ASSERT_TRUE(fs().createDirectory(At("日本")));
    ASSERT_TRUE(fs().writeFile(At("日本\\Ünïcødé.txt"), "ü"));
    EXPECT_TRUE(fs().directoryExists(At("日本")));
    EXPECT_TRUE(fs().fileExists(At("日本\\Ünïcødé.txt")));
    EXPECT_EQ(fs().readFile(At("日本\\Ünïcødé.txt")), "ü");
    std::vector<FileEntry> entries;
    ASSERT_TRUE(fs().findFiles(At("日本\\*.txt"), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Ünïcødé.txt");
}

TEST_F(FileSystemConformance, RelativeNamesResolveAgainstTheCurrentFolder) {
    ASSERT_TRUE(fs().setCurrentDirectory(target_.scratchFolder));
    EXPECT_EQ(fs().currentDirectory(), target_.scratchFolder);

    ASSERT_TRUE(fs().writeFile("relative.txt", "r"));
    EXPECT_TRUE(fs().fileExists(At("relative.txt")));
    ASSERT_TRUE(fs().createDirectory("sub"));
    EXPECT_TRUE(fs().directoryExists(At("sub")));
    EXPECT_TRUE(fs().fileExists(".\\relative.txt"));
    EXPECT_TRUE(fs().fileExists("sub\\..\\relative.txt"));
    EXPECT_EQ(fs().readFile("RELATIVE.TXT"), "r");
    std::vector<FileEntry> entries;
    ASSERT_TRUE(fs().findFiles("*.txt", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "relative.txt");

    ASSERT_TRUE(fs().setCurrentDirectory("sub"));
    EXPECT_EQ(fs().currentDirectory(), At("sub"));
    EXPECT_TRUE(fs().fileExists("..\\relative.txt"));
    EXPECT_FALSE(fs().fileExists("relative.txt"));
    ASSERT_TRUE(fs().setCurrentDirectory(".."));
    EXPECT_EQ(fs().currentDirectory(), target_.scratchFolder);

    EXPECT_FALSE(fs().setCurrentDirectory("missing"));
    EXPECT_FALSE(fs().setCurrentDirectory("relative.txt"));
    EXPECT_EQ(fs().currentDirectory(), target_.scratchFolder);
}

TEST_F(FileSystemConformance, CurrentDirectoryAtDriveRootKeepsItsBackslash) {
    const std::string& scratch = target_.scratchFolder;
    ASSERT_GE(scratch.size(), 3u);
    ASSERT_EQ(scratch.substr(1, 2), ":\\") << "the scratch folder must be on a drive";
    const std::string root = scratch.substr(0, 3);
    ASSERT_TRUE(fs().setCurrentDirectory(root));
    EXPECT_EQ(fs().currentDirectory(), root);
    EXPECT_TRUE(fs().directoryExists(scratch.substr(3)));  // relative to the root
    // The root has no "." and ".." entries.
    std::vector<FileEntry> entries;
    ASSERT_TRUE(fs().findFiles(root + "*", entries));
    for (const FileEntry& e : entries) {
        EXPECT_NE(e.name, ".");
        EXPECT_NE(e.name, "..");
    }
}

TEST_F(FileSystemConformance, Sha256OfKnownContents) {
    ASSERT_TRUE(fs().writeFile(At("empty"), ""));
    ASSERT_TRUE(fs().writeFile(At("abc.txt"), "abc"));
    EXPECT_EQ(Hex(fs().sha256(At("empty"))),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(fs().sha256(At("abc.txt"))),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    // Larger than one read, with zero bytes in it; then one bit flipped past the first read.
    std::string big(3 * 1024 * 1024 + 5, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 251);
    ASSERT_TRUE(fs().writeFile(At("big.bin"), big));
    EXPECT_EQ(Hex(fs().sha256(At("BIG.BIN"))),
              "b01669d77761c4dfdfc8fb927821087bcf5c9ef1f917c4f1f8504e529f19edab");
    big[2 * 1024 * 1024 + 7] ^= 1;
    ASSERT_TRUE(fs().writeFile(At("big.bin"), big));
    EXPECT_EQ(Hex(fs().sha256(At("big.bin"))),
              "ef8bcd5fefd9fb72e809e9641afb7f42f9b257d5de11b4daa966ae3abee22013");
}

TEST_F(FileSystemConformance, Sha256OfWhatIsNoFileIsNothing) {
    ASSERT_TRUE(fs().createDirectory(At("sub")));
    EXPECT_FALSE(fs().sha256(At("missing.reg")).has_value());
    EXPECT_FALSE(fs().sha256(At("sub")).has_value());
    EXPECT_FALSE(fs().sha256(At("missing\\x.reg")).has_value());
}

}  // namespace
}  // namespace korvane::conformance
