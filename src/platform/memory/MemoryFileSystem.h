// An in-memory file system with the Windows rules the program can observe: drives ("C:") and UNC shares
// (their model and reachability are MemoryVolumes), case-insensitive and case-preserving names, "\" and "/"
// separators, paths relative to the current folder, "." and ".." components, attributes, FindFirstFile-style
// wildcards, and test hooks for deletes and writes that fail, drives that are not ready, slow or unreachable
// volumes (waiting on a clock the test may move), paths that refuse access, and the file-system redirection a
// 32-bit program gets on 64-bit Windows. Thread-safe. Drive C: exists from the start and is the current
// folder.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/memory/MemoryClock.h"
#include "platform/memory/MemoryFileNode.h"
#include "platform/memory/MemoryVolumes.h"

namespace korvane {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();
    // Wakes every test still waiting on a slow volume and lets it leave first.
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    PathProbe probePath(const std::string& path) override;
    std::unique_ptr<NativePathsScope> nativePathsOnThisThread() override;
    bool findFiles(const std::string& pattern, std::vector<FileEntry>& out) override;
    bool createDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    std::string currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& data) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    std::optional<Sha256Digest> sha256(const std::string& path) override;
    // Takes the file or folder out of the tree into the bin; it fails as a delete would (a failing
    // delete or write, the current folder).
    bool moveToRecycleBin(const std::string& path) override;

    // Test set-up; missing folders on the way are created (and a missing drive with them). They bypass
    // the failure hooks and the counters. AddFolder/AddFile throw std::invalid_argument for a path
    // Windows would refuse.
    void AddDrive(const std::string& volume);  // "D:" or "\\server\share"
    void AddFolder(const std::string& path, std::uint32_t attributes = 0);
    void AddFile(const std::string& path, const std::string& contents = {},
                 std::uint32_t attributes = fileattr::Archive);
    void SetAttributes(const std::string& path, std::uint32_t attributes);
    bool ExistsRaw(const std::string& path) const;
    std::optional<std::string> ContentsRaw(const std::string& path) const;
    // Names in a folder (no "." or ".."), in enumeration order.
    std::vector<std::string> ListRaw(const std::string& folder) const;

    // Deleting `path` (a file or a folder, also by replaceFile) fails.
    void FailDelete(const std::string& path);
    // Nothing in `path` or below it can be created, written, replaced or deleted: a read-only folder.
    void FailWrite(const std::string& path);
    void ClearFailures();
    // What moveToRecycleBin took, by the full paths it had, in order.
    std::vector<std::string> RecycledRaw() const;

    // Volumes that do not answer as a healthy disk does. `volume` is "D:", "\\server\share" or a whole
    // server "\\server". Existence tests there answer "cannot tell" (or, for a slow one, the truth)
    // only after `delay` has passed on the clock; other operations are not delayed.
    void SetDriveNotReady(const std::string& volume);
    void SetVolumeDelay(const std::string& volume, std::chrono::milliseconds delay);
    // A server that does not answer: its tests wait `answerAfter` (by default longer than any test
    // runs) and then say the server cannot be reached.
    void SetVolumeUnreachable(const std::string& volume,
                              std::chrono::milliseconds answerAfter = std::chrono::hours(24));
    // Existence tests of `path` and of everything below it answer "access denied".
    void DenyAccess(const std::string& path);
    // Delays are measured in real time until a test asks for a clock of its own, which moves only
    // when the test moves it. Ask before any test waits.
    MemoryClock& UseManualClock();
    // How many existence tests are waiting for a slow or unreachable volume now.
    int WaitingTests() const;

    // Plays a 32-bit program on 64-bit Windows: on a thread without a native-paths scope, a path in
    // `systemFolder` (but for the folders Windows leaves alone) is taken from `wow64Folder`.
    void EmulateWow64Process(const std::string& systemFolder, const std::string& wow64Folder);

    // fileExists, directoryExists and attributes calls since the last reset.
    std::uint64_t ExistenceTestCount() const;
    std::uint64_t CallCount() const;
    // Existence tests on a volume ("D:", "\\server\share") or on every share of a server ("\\server").
    std::uint64_t TestsOn(const std::string& volume) const;
    void ResetCounters();

private:
    using Node = memory::FileNode;
    struct Location;
    struct NativeThreads;

    // `redirect`: as the calling thread sees the path (see EmulateWow64Process); test set-up sees it as is.
    std::optional<Location> locate(const std::string& path, bool lastIsPattern = false,
                                   bool redirect = true) const;
    Node* find(const Location& where) const;
    Node* parentOf(const Location& where) const;
    Node* createChain(const Location& where, bool lastIsFolder);
    // Takes a file (`folder` false) or an empty folder out of its parent, as DeleteFile and
    // RemoveDirectory do.
    bool removeEntry(const std::string& path, bool folder);
    bool deleteFails(const Location& where) const;
    bool writeFails(const Location& where) const;
    bool holdsCurrentDirectory(const Location& where) const;
    bool accessDenied(const Location& where) const;
    // Whether `where` or a folder above it is one of `paths` (upper-cased full paths).
    static bool InOrBelow(const std::set<std::string>& paths, const Location& where);
    void redirectForWow64(Location& where) const;

    mutable std::mutex mutex_;
    memory::MemoryVolumes volumes_;
    std::unique_ptr<Location> current_;
    std::set<std::string> failDelete_;  // upper-cased full paths
    std::set<std::string> failWrite_;
    std::uint64_t existenceTests_ = 0;
    std::uint64_t calls_ = 0;

    std::set<std::string> denied_;       // upper-cased full paths
    std::string wowSystem_, wowFolder_;  // upper-cased; empty when not emulating
    std::shared_ptr<NativeThreads> nativeThreads_;
    std::vector<std::pair<std::string, std::unique_ptr<Node>>> recycled_;  // full path as it was, tree
};

}  // namespace korvane
