// Three-answer target tests and GuessPath of a run, in the registry view of the entry (see PathTester.h).
#include "scan/PathTester.h"

#include "registry/Folders.h"

namespace korvane {

namespace {

// Set by every test of a relative path on this thread: a guess that looked at one depends on the
// current folder and is not kept.
thread_local bool tAskedRelative = false;

std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

bool IsAbsolute(const std::string& path) {
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// The folders of System32 that Windows does not redirect for 32-bit programs (upper-cased).
constexpr const char* kUnredirected[] = {"CATROOT",      "CATROOT2", "DRIVERSTORE",
                                         "DRIVERS\\ETC", "LOGFILES", "SPOOL"};

}  // namespace

// What GuessPath sees of the file system: its two file checks go through the run's memory, as an
// entry of one view names the path.
class PathTester::ViewFiles final : public FileSystem {
public:
    ViewFiles(PathTester& tester, FileSystem& files, RegistryView view)
        : tester_(tester), files_(files), view_(view) {}

    bool fileExists(const std::string& path) override { return probePath(path).IsFile(); }
    bool directoryExists(const std::string& path) override { return probePath(path).IsFolder(); }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        const PathProbe probe = probePath(path);
        return probe.IsPresent() ? std::optional<std::uint32_t>(probe.attributes) : std::nullopt;
    }
    PathProbe probePath(const std::string& path) override {
        if (!IsAbsolute(path)) tAskedRelative = true;
        return tester_.Probe(path, view_).probe;
    }
    std::unique_ptr<NativePathsScope> nativePathsOnThisThread() override {
        return files_.nativePathsOnThisThread();
    }
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

private:
    PathTester& tester_;
    FileSystem& files_;
    RegistryView view_;
};

PathTester::PathTester(FileSystem& files, SystemInfo& system, RegistryBackend& registry,
                       std::chrono::milliseconds budget)
    : files_(files),
      memory_(files, budget),
      nativeFiles_(std::make_unique<ViewFiles>(*this, files, RegistryView::Bits64)),
      wowFiles_(std::make_unique<ViewFiles>(*this, files, RegistryView::Bits32)),
      native_{*nativeFiles_, SystemFolder(system), WindowsFolder(system), ProgramFilesFolder(registry)},
      wow_{*wowFiles_, native_.systemFolder, native_.windowsFolder, native_.programFilesFolder},
      views_{RegistryView::Bits64} {
    const std::string wowSystem = system.is64BitWindows() ? system.systemWow64Directory() : std::string();
    if (wowSystem.empty() || native_.systemFolder.empty()) return;
    // A 32-bit program's %SystemRoot%\System32 is SysWOW64, its %ProgramFiles% Program Files (x86).
    wowFolder_ = WithBackslash(wowSystem);
    systemPrefix_ = Folded(native_.systemFolder);
    wow_.systemFolder = wowFolder_;
    wow_.programFilesFolder = WithBackslash(system.programFilesX86Directory());
    views_.push_back(RegistryView::Bits32);
}

PathTester::~PathTester() = default;

std::string PathTester::PathInView(const std::string& path, RegistryView view) const {
    if (view != RegistryView::Bits32 || systemPrefix_.empty()) return path;
    const std::string folded = Folded(path);
    const std::string_view folder(systemPrefix_.data(), systemPrefix_.size() - 1);
    if (folded != folder && folded.rfind(systemPrefix_, 0) != 0) return path;
    const std::string rest = folded.size() > systemPrefix_.size() ? folded.substr(systemPrefix_.size()) : "";
    for (const char* name : kUnredirected) {
        const std::string kept(name);
        if (rest == kept || rest.rfind(kept + "\\", 0) == 0) return path;
    }
    if (folded == folder) return wowFolder_.substr(0, wowFolder_.size() - 1);
    return wowFolder_ + path.substr(systemPrefix_.size());
}

bool PathTester::AnswersQuickly(const std::string& text, RegistryView) {
    // A 32-bit entry's paths lie on the same drives as written.
    return memory_.AnswersQuickly(text);
}

PathAnswer PathTester::Probe(const std::string& path, RegistryView view) {
    if (view != RegistryView::Bits32 || systemPrefix_.empty()) return memory_.Probe(path);
    return memory_.Probe(PathInView(path, view));
}

std::string PathTester::Guess(const std::string& text, RegistryView view) {
    return GuessRef(text, view);
}

const std::string& PathTester::GuessRef(const std::string& text, RegistryView view) {
    auto& guesses = guesses_[view == RegistryView::Bits32 ? 1 : 0];
    {
        // A found guess stays where it is (the map's nodes do not move), so it is read after the lock.
        std::lock_guard lock(guessLock_);
        if (const auto found = guesses.find(text); found != guesses.end()) return found->second;
    }
    tAskedRelative = false;
    std::string guess = GuessPath(text, view == RegistryView::Bits32 ? wow_ : native_);
    if (tAskedRelative) {
        // Depends on the current folder: not kept, and valid on this thread until its next guess.
        thread_local std::string uncached;
        uncached = std::move(guess);
        return uncached;
    }
    std::lock_guard lock(guessLock_);
    return guesses.emplace(text, std::move(guess)).first->second;
}

TargetVerdict PathTester::JudgeTarget(const std::string& text, RegistryView view) {
    TargetVerdict verdict;
    if (text.empty()) return verdict;
    const PathAnswer asWritten = Probe(text, view);
    if (asWritten.IsFile()) return verdict;
    const std::string& guess = GuessRef(text, view);
    const PathAnswer asGuessed = Probe(guess, view);
    if (asGuessed.IsFile() || asWritten.IsFolder()) return verdict;

    verdict.guess = guess;
    const bool guessUnsure = asGuessed.State() == PathState::CannotTell;
    const bool unsure = guessUnsure || asWritten.State() == PathState::CannotTell;
    verdict.state = unsure ? PathState::CannotTell : PathState::Missing;
    if (!unsure || guessUnsure)
        verdict.evidence = {PathInView(guess, view),
                            asGuessed.IsFolder() ? "a folder, not a file" : asGuessed.Why()};
    else
        verdict.evidence = {PathInView(text, view), asWritten.Why()};
    return verdict;
}

}  // namespace korvane
