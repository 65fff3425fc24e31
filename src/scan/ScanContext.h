// What a scan group routine sees of its run: the registry, the run's path tests, the stop flag, and a
// sink that takes its label texts, findings and count. The page supplies a sink that hands everything
// to the window's thread; tests supply one that records it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/BMDThread.h"
#include "platform/RegistryBackend.h"
#include "registry/KeyName.h"
#include "scan/PathTester.h"

namespace korvane {

inline constexpr int kScanGroupCount = 12;
// Row captions of lvScanGroups; a group's index is its row and its number.
extern const std::array<const char*, kScanGroupCount> ScanGroupNames;
// The Error Type under which each group files its findings.
extern const std::array<const char*, kScanGroupCount> kScanErrorTypes;

struct ScanFinding {
    int group = 0;
    std::string errorType;
    KeyName where;  // the key or value at fault; its text is the row's Key Name
    std::string keyValue;
    std::string guessPath;
};

class ScanSink {
public:
    virtual ~ScanSink() = default;

    // The group's counter starts at 0.
    virtual void BeginGroup(int group) = 0;
    // Whether a label text given now would be shown; progress text may be coalesced, so a group
    // builds its label only when it is due.
    virtual bool LabelDue() = 0;
    virtual void SetLabel(std::string text) = 0;
    // AddScanError: the finding becomes a row (and counts) unless the ignore list holds its Key Name.
    virtual void AddScanError(ScanFinding finding) = 0;
    // Writes the group's counter into its row of lvScanGroups.
    virtual void WriteCount(int group) = 0;
};

class ScanContext {
public:
    ScanContext(RegistryBackend& registry, PathTester& paths, ScanSink& sink, const WorkerThread& thread,
                int versionClass)
        : registry(registry), paths(paths), sink(sink), thread_(thread), versionClass_(versionClass) {}

    RegistryBackend& registry;
    PathTester& paths;
    ScanSink& sink;

    // The worker's Terminated flag, read only at a group's stop tests.
    bool StopRequested() const { return thread_.Terminated(); }
    // WindowsVersionClass as it was when the run started.
    int VersionClass() const { return versionClass_; }

    // One entry examined; `makeLabel` builds its label text, only when the label is due.
    template <class MakeLabel>
    void Label(MakeLabel&& makeLabel) {
        if (sink.LabelDue()) sink.SetLabel(makeLabel());
    }
    void Finding(int group, KeyName where, std::string keyValue, std::string guessPath) {
        sink.AddScanError(ScanFinding{group, kScanErrorTypes[group], std::move(where), std::move(keyValue),
                                      std::move(guessPath)});
    }
    // Counts entries examined (for the benchmark's hand-overs per entry).
    void Examined() { ++entriesExamined; }
    std::uint64_t entriesExamined = 0;

private:
    const WorkerThread& thread_;
    int versionClass_;
};

}  // namespace korvane
