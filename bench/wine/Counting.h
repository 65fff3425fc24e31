// Counting decorators for the Wine scan benchmark: every registry call and every existence test that
// reaches the real platform is counted, so that calls and tests per entry can be reported for the
// full scan and the bare walk alike. Counters are atomic: the scan calls from its worker thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"

namespace korvane::bench {

class CountingRegistry final : public RegistryBackend {
public:
    explicit CountingRegistry(RegistryBackend& inner) : inner_(inner) {}

    long openKey(HKey parent, const std::string& path, std::uint32_t mask, HKey& out) override {
        return Count(), inner_.openKey(parent, path, mask, out);
    }
    long createKey(HKey parent, const std::string& path, std::uint32_t mask, HKey& out) override {
        return Count(), inner_.createKey(parent, path, mask, out);
    }
    long closeKey(HKey key) override { return Count(), inner_.closeKey(key); }
    long queryInfo(HKey key, KeyInfo& out) override { return Count(), inner_.queryInfo(key, out); }
    long enumSubkeys(HKey key, std::vector<std::string>& out) override {
        return Count(), inner_.enumSubkeys(key, out);
    }
    long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) override {
        return Count(), inner_.enumValues(key, out, withData);
    }
    long queryValue(HKey key, const std::string& name, RegValue& out) override {
        return Count(), inner_.queryValue(key, name, out);
    }
    long setValue(HKey key, const std::string& name, const RegValue& value) override {
        return Count(), inner_.setValue(key, name, value);
    }
    long deleteKey(HKey parent, const std::string& subkey) override {
        return Count(), inner_.deleteKey(parent, subkey);
    }
    long deleteValue(HKey key, const std::string& name) override {
        return Count(), inner_.deleteValue(key, name);
    }

    // Calls made through this object (one listing counts as one call, however many items it holds).
    std::uint64_t Calls() const { return calls_.load(std::memory_order_relaxed); }
    void Reset() { calls_ = 0; }

private:
    void Count() { calls_.fetch_add(1, std::memory_order_relaxed); }
    RegistryBackend& inner_;
    std::atomic<std::uint64_t> calls_{0};
};

class CountingFileSystem final : public FileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}

    bool fileExists(const std::string& path) override { return Test(), inner_.fileExists(path); }
    bool directoryExists(const std::string& path) override { return Test(), inner_.directoryExists(path); }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        return Test(), inner_.attributes(path);
    }
    PathProbe probePath(const std::string& path) override { return Test(), inner_.probePath(path); }
    std::unique_ptr<NativePathsScope> nativePathsOnThisThread() override {
        return inner_.nativePathsOnThisThread();
    }
    bool findFiles(const std::string& pattern, std::vector<FileEntry>& out) override {
        return inner_.findFiles(pattern, out);
    }
    bool createDirectory(const std::string& path) override { return inner_.createDirectory(path); }
    bool removeDirectory(const std::string& path) override { return inner_.removeDirectory(path); }
    bool deleteFile(const std::string& path) override { return inner_.deleteFile(path); }
    std::string currentDirectory() override { return inner_.currentDirectory(); }
    bool setCurrentDirectory(const std::string& path) override { return inner_.setCurrentDirectory(path); }
    std::optional<std::string> readFile(const std::string& path) override { return inner_.readFile(path); }
    bool writeFile(const std::string& path, const std::string& data) override {
        return inner_.writeFile(path, data);
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return inner_.replaceFile(from, to);
    }
    std::optional<Sha256Digest> sha256(const std::string& path) override { return inner_.sha256(path); }

    // Existence questions (file, folder, attributes) that reached the file system.
    std::uint64_t Tests() const { return tests_.load(std::memory_order_relaxed); }
    void Reset() { tests_ = 0; }

private:
    void Test() { tests_.fetch_add(1, std::memory_order_relaxed); }
    FileSystem& inner_;
    std::atomic<std::uint64_t> tests_{0};
};

}  // namespace korvane::bench
