// The in-memory signature check (MemorySignatureVerifier.h).
#include "platform/memory/MemorySignatureVerifier.h"

#include "platform/memory/CaseFolding.h"

namespace korvane {

std::optional<FileStamp> MemorySignatureVerifier::stamp(const std::string& path) {
    if (!files_.fileExists(path)) return std::nullopt;
    FileStamp stamp;
    stamp.size = files_.readFile(path).value_or(std::string()).size();
    std::lock_guard lock(mutex_);
    if (auto at = lastWrites_.find(memory::FoldName(path)); at != lastWrites_.end())
        stamp.lastWrite = at->second;
    return stamp;
}

SignatureAnswer MemorySignatureVerifier::verify(const std::string& path) {
    ++checks_;
    // A real check hashes the file and builds the certificate chain: processor time, which is what the
    // cost burns (not a sleep, which would let any number of checks overlap for free). No lock is held.
    if (cost_.count() > 0) {
        const auto until = std::chrono::steady_clock::now() + cost_;
        while (std::chrono::steady_clock::now() < until) {
        }
    }
    if (!files_.fileExists(path)) return SignatureAnswer{SignatureState::FileNotFound, {}, {}};
    std::lock_guard lock(mutex_);
    if (auto at = answers_.find(memory::FoldName(path)); at != answers_.end()) return at->second;
    return SignatureAnswer{};
}

void MemorySignatureVerifier::SetAnswer(const std::string& path, SignatureAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_[memory::FoldName(path)] = std::move(answer);
}

void MemorySignatureVerifier::SetLastWrite(const std::string& path, std::uint64_t fileTime) {
    std::lock_guard lock(mutex_);
    lastWrites_[memory::FoldName(path)] = fileTime;
}

}  // namespace korvane
