// One scan run over the groups (see ScanRun.h).
#include "scanwalk/ScanRun.h"

#include "scanwalk/ScanContext.h"
#include "scanwalk/ScanGroups.h"

namespace korvane {

void RunScan(const ScanRun& run, ScanSink& sink, std::stop_token stop, const ScanGroupChoice& runs,
             std::uint64_t* examined) {
    // A 32-bit build would otherwise see SysWOW64 where a 64-bit entry names System32.
    const auto native = run.files.nativePathsOnThisThread();
    PathTester paths(run.files, run.system, run.registry, run.probeBudget);
    ScanContext context(run.registry, paths, sink, stop, run.versionClass, run.concurrency);
    for (int group = 0; group < kScanGroupCount; ++group) {
        if (stop.stop_requested()) break;
        if (!runs(group)) continue;
        RunScanGroup(group, context);
        if (examined != nullptr) *examined = context.entriesExamined;
    }
}

}  // namespace korvane
