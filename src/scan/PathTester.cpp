// Per-run memory of path tests, and TargetMissing on top of it.
#include "scan/PathTester.h"

#include "registry/Folders.h"

namespace korvane {

namespace {

std::string FoldedPath(const std::string& path) {
    std::string folded = path;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

// "C:\..." or "\\server\...": the answer does not depend on the current folder, which a backup run
// may change while the scan goes on.
bool IsAbsolute(const std::string& path) {
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
    const char drive = static_cast<char>(path.empty() ? 0 : (path[0] | 0x20));
    return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::optional<std::uint32_t> CachingFileSystem::attributes(const std::string& path) {
    if (!IsAbsolute(path)) {
        ++tests_;
        askedRelative_ = true;
        return files_.attributes(path);
    }
    auto [entry, inserted] = known_.try_emplace(FoldedPath(path));
    if (inserted) {
        ++tests_;
        entry->second = files_.attributes(path);
    }
    return entry->second;
}

bool CachingFileSystem::fileExists(const std::string& path) {
    const auto found = attributes(path);
    return found && (*found & fileattr::Directory) == 0;
}

bool CachingFileSystem::directoryExists(const std::string& path) {
    const auto found = attributes(path);
    return found && (*found & fileattr::Directory) != 0;
}

PathTester::PathTester(FileSystem& files, SystemInfo& system, RegistryBackend& registry)
    : cache_(files),
      context_{cache_, SystemFolder(system), WindowsFolder(system), ProgramFilesFolder(registry)} {}

const std::string& PathTester::Guess(const std::string& text) {
    auto found = guesses_.find(text);
    if (found != guesses_.end()) return found->second;
    cache_.askedRelative_ = false;
    std::string guess = GuessPath(text, context_);
    // A guess that looked at a relative path depends on the current folder: not kept.
    if (cache_.askedRelative_) {
        uncachedGuess_ = std::move(guess);
        return uncachedGuess_;
    }
    return guesses_.emplace(text, std::move(guess)).first->second;
}

bool PathTester::TargetMissing(const std::string& text) {
    if (text.empty()) return false;
    if (cache_.fileExists(text)) return false;
    if (cache_.fileExists(Guess(text))) return false;
    return !cache_.directoryExists(text);
}

}  // namespace korvane
