// The in-memory signature check: a file of the in-memory file system is unsigned unless the test
// gave it an answer; a path the file system does not hold is not found. A test can give each check a
// cost (the processor time a real one takes, for benchmarks) and count the checks made.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "platform/SignatureVerifier.h"
#include "platform/memory/MemoryFileSystem.h"

namespace korvane {

class MemorySignatureVerifier : public SignatureVerifier {
public:
    explicit MemorySignatureVerifier(MemoryFileSystem& files) : files_(files) {}

    std::optional<FileStamp> stamp(const std::string& path) override;
    SignatureAnswer verify(const std::string& path) override;

    // Test hooks; paths are compared without regard to case.
    void SetAnswer(const std::string& path, SignatureAnswer answer);
    void SetLastWrite(const std::string& path, std::uint64_t fileTime);  // as a save of the file does
    void SetCost(std::chrono::microseconds cost) { cost_ = cost; }
    int CheckCount() const { return checks_.load(); }

private:
    MemoryFileSystem& files_;
    std::mutex mutex_;
    std::map<std::string, SignatureAnswer> answers_;  // by folded path
    std::map<std::string, std::uint64_t> lastWrites_;
    std::chrono::microseconds cost_{0};
    std::atomic<int> checks_{0};
};

}  // namespace korvane
