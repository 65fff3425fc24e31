// The path tests of one scan run: TargetMissing, GuessPath and the file and folder tests behind them,
// each distinct path asked of the file system at most once per run. Paths are compared without regard
// to the case of A-Z, as Windows file systems do, so "C:\WINDOWS\x.dll" and the lower-cased
// "c:\windows\x.dll" that GuessPath makes of it cost one test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"
#include "registry/GuessPath.h"

namespace korvane {

// A file system that remembers what it was asked about the existence of absolute paths (attributes,
// file and folder tests) for as long as it lives; relative paths and everything else go straight
// through. One run, one thread.
class CachingFileSystem : public FileSystem {
public:
    explicit CachingFileSystem(FileSystem& files) : files_(files) {}

    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    bool findFiles(const std::string& pattern, std::vector<FileEntry>& out) override {
        return files_.findFiles(pattern, out);
    }
    bool createDirectory(const std::string& path) override { return files_.createDirectory(path); }
    bool removeDirectory(const std::string& path) override { return files_.removeDirectory(path); }
    bool deleteFile(const std::string& path) override { return files_.deleteFile(path); }
    std::string currentDirectory() override { return files_.currentDirectory(); }
    bool setCurrentDirectory(const std::string& path) override { return files_.setCurrentDirectory(path); }
    std::optional<std::string> readFile(const std::string& path) override { return files_.readFile(path); }
    bool writeFile(const std::string& path, const std::string& data) override {
        return files_.writeFile(path, data);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return files_.replaceFile(from, to);
    }
    std::optional<Sha256Digest> sha256(const std::string& path) override { return files_.sha256(path); }

    // How many existence questions reached the real file system.
    std::uint64_t Tests() const { return tests_; }

private:
    friend class PathTester;
    FileSystem& files_;
    bool askedRelative_ = false;  // set by every test of a relative path
    std::unordered_map<std::string, std::optional<std::uint32_t>> known_;  // by upper-cased path
    std::uint64_t tests_ = 0;
};

class PathTester {
public:
    // Reads the system, Windows and Program Files folders once for the run.
    PathTester(FileSystem& files, SystemInfo& system, RegistryBackend& registry);
    PathTester(const PathTester&) = delete;
    PathTester& operator=(const PathTester&) = delete;

    // True when the text is not empty and names neither an existing file, nor (through GuessPath) a
    // file that exists, nor an existing folder; tested in this order.
    bool TargetMissing(const std::string& text);
    // GuessPath of the text, worked out once per distinct text. The reference is valid until the
    // next call.
    const std::string& Guess(const std::string& text);
    bool FileExists(const std::string& path) { return cache_.fileExists(path); }
    bool FolderExists(const std::string& path) { return cache_.directoryExists(path); }

    std::uint64_t FileSystemTests() const { return cache_.Tests(); }

private:
    CachingFileSystem cache_;
    PathContext context_;
    std::unordered_map<std::string, std::string> guesses_;
    std::string uncachedGuess_;
};

}  // namespace korvane
