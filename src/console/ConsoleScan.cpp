// The console's scan (see ConsoleScan.h).
#include "console/ConsoleScan.h"

#include <algorithm>

#include "core/BMDThread.h"
#include "registry/WindowsVersion.h"
#include "scan/PathTester.h"
#include "scan/ScanErrorList.h"
#include "scan/ScanGroups.h"

namespace korvane::console {

namespace {

// Takes each finding straight into the list: there is no other thread to hand it to.
class ListSink final : public ScanSink {
public:
    ListSink(const IgnoreList& ignoreList, ListView& lvErrors,
             const std::function<void(const std::string&)>& progress)
        : ignoreList_(ignoreList), lvErrors_(lvErrors), progress_(progress) {}

    void BeginGroup(int group) override {
        if (progress_) progress_(ScanGroupNames[static_cast<std::size_t>(group)]);
    }
    bool LabelDue() override { return false; }
    void SetLabel(std::string) override {}
    void AddScanError(ScanFinding finding) override {
        if (!ignoreList_.Holds(finding.where)) AddErrorRow(lvErrors_, std::move(finding));
    }
    void WriteCount(int) override {}

private:
    const IgnoreList& ignoreList_;
    ListView& lvErrors_;
    const std::function<void(const std::string&)>& progress_;
};

}  // namespace

void ScanInto(Platform& platform, const IgnoreList& ignoreList, const std::vector<int>& groups,
              ListView& lvErrors, const std::function<void(const std::string&)>& progress) {
    SortErrorsByType(lvErrors);
    lvErrors.Clear();
    QueryWindowsVersion(platform.system);
    WorkerThread thread;
    PathTester paths(platform.files, platform.system, platform.registry);
    ListSink sink(ignoreList, lvErrors, progress);
    ScanContext context(platform.registry, paths, sink, thread, WindowsVersionClass());
    for (int group = 0; group < kScanGroupCount; ++group)
        if (std::find(groups.begin(), groups.end(), group) != groups.end()) RunScanGroup(group, context);
}

int GroupOfErrorType(const std::string& errorType) {
    for (int group = 0; group < kScanGroupCount; ++group)
        if (errorType == kScanErrorTypes[static_cast<std::size_t>(group)]) return group;
    return -1;
}

}  // namespace korvane::console
