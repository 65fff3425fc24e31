// An in-memory file system with the Windows rules the program can observe: drives ("C:") and UNC shares,
// case-insensitive and case-preserving names, "\" and "/" separators, paths relative to the current
// folder, "." and ".." components, attributes, FindFirstFile-style wildcards, and test hooks for deletes
// and writes that fail. Thread-safe. Drive C: exists from the start and is the current folder.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace korvane {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
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

    // fileExists, directoryExists and attributes calls since the last reset.
    std::uint64_t ExistenceTestCount() const;
    std::uint64_t CallCount() const;
    void ResetCounters();

private:
    struct Node;
    struct Location;

    std::optional<Location> locate(const std::string& path, bool lastIsPattern = false) const;
    Node* find(const Location& where) const;
    Node* parentOf(const Location& where) const;
    Node* createChain(const Location& where, bool lastIsFolder);
    bool deleteFails(const Location& where) const;
    bool writeFails(const Location& where) const;
    bool holdsCurrentDirectory(const Location& where) const;

    mutable std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Node>> volumes_;  // by upper-cased volume name
    std::unique_ptr<Location> current_;
    std::set<std::string> failDelete_;  // upper-cased full paths
    std::set<std::string> failWrite_;
    std::uint64_t existenceTests_ = 0;
    std::uint64_t calls_ = 0;
};

}  // namespace korvane
