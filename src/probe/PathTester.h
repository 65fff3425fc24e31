// The path tests of one scan run: whether an entry's target is there (three answers: present, missing,
// cannot tell, with the evidence), GuessPath, and the file and folder tests behind them through the
// run's ProbeMemory. An entry of the 32-bit registry view names its files as a 32-bit program sees
// them: System32 is SysWOW64 and %ProgramFiles% is Program Files (x86); the tests themselves see the
// file system as a 64-bit program does (the scan's threads hold a native-paths scope), so the 32-bit
// and the 64-bit build give the same answers. Thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"
#include "probe/Evidence.h"
#include "probe/ProbeMemory.h"
#include "registry/Environment.h"
#include "registry/GuessPath.h"
#include "registry/RegistryViews.h"
#include "registry/TargetResolution.h"

namespace korvane {

struct TargetVerdict {
    PathState state = PathState::Present;  // Present: nothing to file
    std::string guess;                     // GuessPath of the text, when it was needed
    Evidence evidence;                     // what a finding rests on
};

class PathTester {
public:
    // Reads the system, Windows and Program Files folders of both views once for the run.
    PathTester(FileSystem& files, SystemInfo& system, RegistryBackend& registry,
               std::chrono::milliseconds budget = kProbeBudget);
    ~PathTester();
    PathTester(const PathTester&) = delete;
    PathTester& operator=(const PathTester&) = delete;

    // TargetMissing with three answers, as Windows would look for the target: present when the text is
    // empty or names an existing file as written, when Windows would find every file it names
    // (TargetResolution.h: expanded, split, searched), when its guessed path names a file, or when the
    // expanded text names an existing folder. Missing only when every test answered "not there"; when
    // one could not tell, or the text holds what is not understood (a variable not defined), so can
    // the verdict, and the evidence names that test.
    TargetVerdict JudgeTarget(const std::string& text, RegistryView view = RegistryView::Bits64,
                              const TargetForm& form = {});
    bool TargetMissing(const std::string& text) { return JudgeTarget(text).state != PathState::Present; }
    // The target as Windows would look for it, worked out once per distinct text, view and form.
    const ResolvedTarget& Resolve(const std::string& text, RegistryView view, const TargetForm& form);
    // The environment of an entry of `view` (the scanned user's, with that view's folders).
    const Environment& EnvironmentOf(RegistryView view) const {
        return view == RegistryView::Bits32 && views_.size() > 1 ? wowEnvironment_ : environment_;
    }
    // GuessPath of the text as an entry of `view` names it, worked out once per distinct text.
    std::string Guess(const std::string& text, RegistryView view = RegistryView::Bits64);
    // One existence test of `path` as named by an entry of `view`.
    PathAnswer Probe(const std::string& path, RegistryView view = RegistryView::Bits64);
    bool FolderExists(const std::string& path) { return Probe(path).IsFolder(); }
    // Whether JudgeTarget of the text can be expected to answer at once (see ProbeMemory::AnswersQuickly);
    // a guess only, from the drive the text begins with.
    bool AnswersQuickly(const std::string& text, RegistryView view);
    // The path a 32-bit program would reach through `path`; unchanged for the 64-bit view.
    std::string PathInView(const std::string& path, RegistryView view) const;

    // The Windows folder with its "\\".
    const std::string& WindowsFolderPath() const { return native_.windowsFolder; }
    // The views this run scans: the 64-bit one alone on 32-bit Windows, both on 64-bit Windows.
    const std::vector<RegistryView>& Views() const { return views_; }
    std::uint64_t FileSystemTests() const { return memory_.Tests(); }
    FileSystem& Files() { return files_; }
    std::chrono::milliseconds Budget() const { return memory_.Budget(); }

private:
    class ViewFiles;
    struct FileSearch;

    // Tests the candidates of one file Windows must find, in Windows' order, until one is there.
    FileSearch Search(const RequiredFile& file, RegistryView view);

    // Guess without a copy; see PathTester.cpp for how long the reference lives.
    const std::string& GuessRef(const std::string& text, RegistryView view);

    FileSystem& files_;
    ProbeMemory memory_;
    std::unique_ptr<ViewFiles> nativeFiles_;
    std::unique_ptr<ViewFiles> wowFiles_;
    Environment environment_;
    Environment wowEnvironment_;
    SearchPlaces nativePlaces_;
    SearchPlaces wowPlaces_;
    PathContext native_;
    PathContext wow_;
    std::string systemPrefix_;  // upper-cased system folder with its "\"; empty without a 32-bit view
    std::string wowFolder_;     // SysWOW64 with its "\"
    std::vector<RegistryView> views_;
    std::mutex guessLock_;
    std::unordered_map<std::string, std::string> guesses_[2];  // by view
    std::mutex resolveLock_;
    std::unordered_map<std::string, ResolvedTarget> resolved_[2][8];  // by view and FormIndex
};

}  // namespace korvane
