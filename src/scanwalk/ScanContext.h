// What a scan group routine sees of its run: the registry, the run's path tests, the stop token, the
// sink for its labels, and the ordered pipeline that tests the files its entries name while the walk
// goes on and hands findings and counts to the sink in the order a sequential run gives them.
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <utility>

#include "platform/RegistryBackend.h"
#include "probe/PathTester.h"
#include "registry/KeyName.h"
#include "scanwalk/FindingPipeline.h"
#include "scanwalk/ScanSink.h"

namespace korvane {

class ScanContext {
public:
    // Without workers (the default) every file test is made at once, on the calling thread.
    ScanContext(RegistryBackend& registry, PathTester& paths, ScanSink& sink, std::stop_token stop,
                int versionClass, ProbeConcurrency concurrency = {0, 1})
        : registry(registry),
          paths(paths),
          sink(sink),
          stop_(std::move(stop)),
          versionClass_(versionClass),
          pipeline_(sink, paths, paths.Files(), concurrency) {}

    RegistryBackend& registry;
    PathTester& paths;
    ScanSink& sink;

    // Whether the run was asked to stop; read only at a group's stop tests.
    bool StopRequested() const { return stop_.stop_requested(); }
    // WindowsVersionClass as it was when the run started.
    int VersionClass() const { return versionClass_; }

    // One entry examined; `makeLabel` builds its label text, only when the label is due.
    template <class MakeLabel>
    void Label(MakeLabel&& makeLabel) {
        if (sink.LabelDue()) sink.SetLabel(makeLabel());
    }
    void BeginGroup(int group) { pipeline_.BeginGroup(group); }
    void WriteCount(int group) { pipeline_.WriteCount(group); }
    // A finding whose evidence is already known.
    void Finding(int group, KeyName where, std::string keyValue, std::string guessPath, Evidence evidence,
                 bool certain = true) {
        pipeline_.Add(ScanFinding{group, kScanErrorTypes[group], std::move(where), std::move(keyValue),
                                  std::move(guessPath), std::move(evidence), certain});
    }
    // TargetMissing and AddScanError: the entry `makeWhere()` names is filed, with `text` as its Key
    // Value, unless the file or folder `text` names (as an entry of `view` names it) is present. The Key
    // Name is made only for a finding: most entries are fine.
    // `form` says how the text names its target (TargetResolution.h).
    template <class MakeWhere>
    void FileUnlessPresent(int group, MakeWhere&& makeWhere, const std::string& text, RegistryView view,
                           const TargetForm& form = {}) {
        if (pipeline_.JudgesAtOnce(text, view)) {
            TargetVerdict verdict = paths.JudgeTarget(text, view, form);
            if (verdict.state == PathState::Present) return;
            const bool certain = verdict.state == PathState::Missing;
            pipeline_.Add(ScanFinding{group, kScanErrorTypes[group], makeWhere(), text,
                                      std::move(verdict.guess), std::move(verdict.evidence), certain});
            return;
        }
        pipeline_.AddUnlessPresent(
            ScanFinding{group, kScanErrorTypes[group], makeWhere(), text, {}, {}, true}, view, form);
    }
    // Everything filed so far reaches the sink.
    void Flush() { pipeline_.Flush(); }

    // Counts entries examined (for the benchmark's hand-overs per entry).
    void Examined() { ++entriesExamined; }
    std::uint64_t entriesExamined = 0;

private:
    std::stop_token stop_;
    int versionClass_;
    FindingPipeline pipeline_;
};

}  // namespace korvane
