// Three-answer target tests and GuessPath of a run, in the registry view of the entry (see PathTester.h).
#include "probe/PathTester.h"

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/Folders.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

// Set by every test of a relative path on this thread: a guess that looked at one depends on the
// current folder and is not kept.
thread_local bool tAskedRelative = false;

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
        if (!IsAbsolutePath(path)) tAskedRelative = true;
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

namespace {

// App Paths of the machine (one key for both views) and of the user: "APP.EXE" → the program's path.
std::unordered_map<std::string, std::string> ReadAppPaths(RegistryBackend& registry,
                                                          const Environment& environment) {
    std::unordered_map<std::string, std::string> paths;
    constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    for (HKey root : {roots::CurrentUser, roots::LocalMachine}) {
        RegistryKey key(registry);
        if (!key.OpenReadOnly(root, kAppPaths)) continue;
        RegistryKey entry(registry);
        for (const std::string& name : key.Subkeys()) {
            if (!entry.OpenReadOnly(key.Handle(), name)) continue;
            auto data = entry.ReadText("");
            if (!data || data->empty()) continue;
            std::string path = environment.Expand(*data).text;
            std::erase(path, '"');
            paths.emplace(UpperAscii(name), std::move(path));  // the user's own entry wins
        }
    }
    return paths;
}

SearchPlaces MakePlaces(const std::string& systemFolder, const std::string& windowsFolder,
                        const Environment& environment,
                        std::unordered_map<std::string, std::string> appPaths) {
    return SearchPlaces{systemFolder, windowsFolder, environment.PathFolders(), std::move(appPaths)};
}

}  // namespace

PathTester::PathTester(FileSystem& files, SystemInfo& system, RegistryBackend& registry,
                       std::chrono::milliseconds budget)
    : files_(files),
      memory_(files, budget),
      nativeFiles_(std::make_unique<ViewFiles>(*this, files, RegistryView::Bits64)),
      wowFiles_(std::make_unique<ViewFiles>(*this, files, RegistryView::Bits32)),
      environment_(ReadEnvironment(registry, system, RegistryView::Bits64)),
      native_{*nativeFiles_, SystemFolder(system), WindowsFolder(system), ProgramFilesFolder(registry),
              &environment_},
      wow_{*wowFiles_, native_.systemFolder, native_.windowsFolder, native_.programFilesFolder,
           &environment_},
      views_{RegistryView::Bits64} {
    nativePlaces_ = MakePlaces(native_.systemFolder, native_.windowsFolder, environment_,
                               ReadAppPaths(registry, environment_));
    const std::string wowSystem = system.is64BitWindows() ? system.systemWow64Directory() : std::string();
    if (wowSystem.empty() || native_.systemFolder.empty()) return;
    // A 32-bit program's %SystemRoot%\System32 is SysWOW64, its %ProgramFiles% Program Files (x86).
    wowEnvironment_ = ReadEnvironment(registry, system, RegistryView::Bits32);
    wowFolder_ = WithBackslash(wowSystem);
    systemPrefix_ = UpperAscii(native_.systemFolder);
    wow_.systemFolder = wowFolder_;
    wow_.programFilesFolder = WithBackslash(system.programFilesX86Directory());
    wow_.environment = &wowEnvironment_;
    wowPlaces_ = MakePlaces(wowFolder_, native_.windowsFolder, wowEnvironment_, nativePlaces_.appPaths);
    views_.push_back(RegistryView::Bits32);
}

PathTester::~PathTester() = default;

std::string PathTester::PathInView(const std::string& path, RegistryView view) const {
    if (view != RegistryView::Bits32 || systemPrefix_.empty()) return path;
    const std::string folded = UpperAscii(path);
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

const ResolvedTarget& PathTester::Resolve(const std::string& text, RegistryView view,
                                          const TargetForm& form) {
    const bool wow = view == RegistryView::Bits32 && views_.size() > 1;
    auto& resolved = resolved_[wow ? 1 : 0][FormIndex(form)];
    {
        // A found entry stays where it is (the map's nodes do not move), so it is read after the lock.
        std::lock_guard lock(resolveLock_);
        if (const auto found = resolved.find(text); found != resolved.end()) return found->second;
    }
    ResolvedTarget target =
        ResolveTarget(text, form, wow ? wowEnvironment_ : environment_, wow ? wowPlaces_ : nativePlaces_);
    std::lock_guard lock(resolveLock_);
    return resolved.emplace(text, std::move(target)).first->second;
}

// One file Windows must find, tested: found, or the answer that decides (one that could not tell wins
// over "not there"), with the path it was given for.
struct PathTester::FileSearch {
    bool found = false;
    bool answered = false;
    bool notFoundBySearch = false;  // a bare name found nowhere Windows searches
    PathAnswer answer;
    std::string tested;

    bool Unsure() const { return answered && answer.State() == PathState::CannotTell; }
};

PathTester::FileSearch PathTester::Search(const RequiredFile& file, RegistryView view) {
    FileSearch search;
    for (const std::string& candidate : file.candidates) {
        const PathAnswer answer = Probe(candidate, view);
        if (answer.IsFile()) {
            search.found = true;
            return search;
        }
        // The evidence names the path the entry names (for an unquoted line, its first prefix with an
        // extension), unless another test could not tell: then that one.
        const bool named = !file.searched && candidate.rfind(file.shown, 0) == 0;
        if ((answer.State() == PathState::CannotTell && !search.Unsure()) || (!search.answered && named)) {
            search.answered = true;
            search.answer = answer;
            search.tested = candidate;
        }
    }
    if (!file.searched && !search.Unsure()) {
        // A program path that names a folder: say so rather than "file not found" for its ".exe".
        if (const PathAnswer asNamed = Probe(file.shown, view); asNamed.IsFolder()) {
            search.answered = true;
            search.answer = asNamed;
            search.tested = file.shown;
        }
    }
    if (file.searched && !search.Unsure()) {
        search.notFoundBySearch = true;
        search.tested = file.shown;
    } else if (!search.answered && !file.candidates.empty()) {
        search.answered = true;
        search.tested = file.candidates.front();
        search.answer = Probe(search.tested, view);
    }
    return search;
}

TargetVerdict PathTester::JudgeTarget(const std::string& text, RegistryView view, const TargetForm& form) {
    TargetVerdict verdict;
    if (text.empty()) return verdict;
    // Most entries name an existing file exactly as written: one test.
    if (IsAbsolutePath(text) && text.rfind("\\\\?\\", 0) != 0 && Probe(text, view).IsFile()) return verdict;

    const ResolvedTarget& target = Resolve(text, view, form);
    if (target.kind == ResolvedTarget::Kind::NotAFile) return verdict;
    std::optional<FileSearch> decisive;
    bool programFound = false;
    if (target.kind == ResolvedTarget::Kind::Files) {
        for (const RequiredFile& file : target.files) {
            FileSearch search = Search(file, view);
            if (search.found) {
                programFound = programFound || &file == &target.files.front();
                continue;
            }
            if (!decisive || (search.Unsure() && !decisive->Unsure())) decisive = std::move(search);
        }
        if (!decisive) return verdict;  // every file it names is there
    }
    const bool unsure = !decisive || decisive->Unsure();

    // What the resolution may not have understood: an existing folder of the whole text, the file
    // named as written, or GuessPath's reading of it. When the program was found and what is missing
    // is the DLL a rundll32 or regsvr32 line loads, the host found again proves nothing.
    const std::string& guess = GuessRef(text, view);
    if (!programFound) {
        if (!target.wholeText.empty() && Probe(target.wholeText, view).IsFolder()) return verdict;
        if (Probe(text, view).IsFolder()) return verdict;
        if (Probe(guess, view).IsFile()) return verdict;
    }

    verdict.guess = guess;
    verdict.state = unsure ? PathState::CannotTell : PathState::Missing;
    if (target.kind == ResolvedTarget::Kind::Unknown) {
        verdict.evidence = {target.unknownWhat, target.unknownWhy};
    } else if (decisive->notFoundBySearch) {
        verdict.evidence = {decisive->tested,
                            "not found in App Paths, the system folder, the Windows folder or the PATH"};
    } else {
        verdict.evidence = {PathInView(decisive->tested, view),
                            decisive->answer.IsFolder() ? "a folder, not a file" : decisive->answer.Why()};
    }
    return verdict;
}

}  // namespace korvane
