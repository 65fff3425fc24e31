// The console's scan (see ConsoleScan.h).
#include "console/ConsoleScan.h"

#include <algorithm>

#include "console/ProfileRegistry.h"
#include "registry/WindowsVersion.h"
#include "scan/ScanErrorList.h"
#include "scanwalk/ScanRun.h"

namespace korvane::console {

namespace {

// Takes each finding straight into a list: there is no other thread to hand it to. `adopt` renames
// or drops a finding before the ignore rule sees it.
class CollectingSink final : public ScanSink {
public:
    using Adopt = std::function<bool(ScanFinding&)>;
    CollectingSink(const IgnoreList& ignoreList, std::vector<ScopedFinding>& findings, std::string profile,
                   Adopt adopt, const std::function<void(const std::string&)>& progress)
        : ignoreList_(ignoreList),
          findings_(findings),
          profile_(std::move(profile)),
          adopt_(std::move(adopt)),
          progress_(progress) {}

    void BeginGroup(int group) override {
        if (progress_) progress_(ScanGroupNames[static_cast<std::size_t>(group)]);
    }
    bool LabelDue() override { return false; }
    void SetLabel(std::string) override {}
    void AddScanError(ScanFinding finding) override {
        // An entry the user chose to ignore is ignored whether it is named through the user's own
        // HKEY_CURRENT_USER or through HKEY_USERS.
        if (ignoreList_.Holds(finding.where)) return;
        if (adopt_ && (!adopt_(finding) || ignoreList_.Holds(finding.where))) return;
        findings_.push_back(ScopedFinding{std::move(finding), profile_});
    }
    void WriteCount(int) override {}

private:
    const IgnoreList& ignoreList_;
    std::vector<ScopedFinding>& findings_;
    std::string profile_;
    Adopt adopt_;
    const std::function<void(const std::string&)>& progress_;
};

// The walk the window's scan makes, with nothing to stop it: a console run ends when it is done.
void RunGroups(Platform& platform, int versionClass, CollectingSink& sink, const std::vector<int>& groups,
               const std::function<bool(int)>& wanted) {
    const ScanRun run{platform.registry, platform.files, platform.system, versionClass};
    RunScan(run, sink, std::stop_token{}, [&](int group) {
        return std::find(groups.begin(), groups.end(), group) != groups.end() && wanted(group);
    });
}

bool StartsWithPart(const std::string& path, const std::string& prefix) {
    return path.size() >= prefix.size() && FoldCase(path.substr(0, prefix.size())) == FoldCase(prefix) &&
           (path.size() == prefix.size() || path[prefix.size()] == '\\');
}

}  // namespace

bool IsPerUserGroup(int group) {
    return std::find(kPerUserGroups.begin(), kPerUserGroups.end(), group) != kPerUserGroups.end();
}

KeyName InProfile(const KeyName& where, const std::string& sid) {
    KeyName named = where;
    named.root = roots::Users;
    const std::string classes = "Software\\Classes";
    if (StartsWithPart(where.keyPath, classes)) {
        const std::string rest = where.keyPath.substr(classes.size());
        named.keyPath = sid + "_Classes" + rest;
    } else {
        named.keyPath = where.keyPath.empty() ? sid : sid + "\\" + where.keyPath;
    }
    return named;
}

std::vector<ScopedFinding> ScanInScope(Platform& platform, WindowsVersion& windowsVersion,
                                       const IgnoreList& ignoreList, const std::vector<int>& groups,
                                       const ScanScope& scope,
                                       const std::function<void(const std::string&)>& progress) {
    windowsVersion.Query();
    const int versionClass = windowsVersion.Class();
    std::vector<ScopedFinding> findings;
    if (scope.machineKeys || scope.currentUser) {
        // The machine's keys, and the account's own HKEY_CURRENT_USER when it is a person's.
        CollectingSink sink(ignoreList, findings, "", {}, progress);
        RunGroups(platform, versionClass, sink, groups,
                  [&](int group) { return IsPerUserGroup(group) ? scope.currentUser : scope.machineKeys; });
        for (ScopedFinding& found : findings)
            if (found.finding.where.root == roots::CurrentUser) found.profile = scope.currentUserSid;
    }
    for (const UserProfile& profile : scope.profiles) {
        ProfileRegistry registry(platform.registry, CurrentUserRedirects(profile));
        Platform seen{registry,           platform.files, platform.system,
                      platform.processes, platform.ui,    platform.dialogs};
        // Only what lies in the user's own keys is the user's: the machine's were scanned once above.
        CollectingSink sink(
            ignoreList, findings, profile.sid,
            [&profile](ScanFinding& finding) {
                if (finding.where.root != roots::CurrentUser) return false;
                finding.where = InProfile(finding.where, profile.sid);
                return true;
            },
            progress);
        RunGroups(seen, versionClass, sink, groups, IsPerUserGroup);
    }
    std::stable_sort(findings.begin(), findings.end(), [](const ScopedFinding& a, const ScopedFinding& b) {
        return a.finding.errorType < b.finding.errorType;
    });
    return findings;
}

void FindingsToList(const std::vector<ScopedFinding>& findings, ListView& lvErrors) {
    SortErrorsByType(lvErrors);
    lvErrors.Clear();
    ListUpdate update(lvErrors);
    for (const ScopedFinding& found : findings) {
        ScanFinding finding = found.finding;
        finding.certain = finding.certain && !finding.cameBack;
        AddErrorRow(lvErrors, std::move(finding));
    }
}

int GroupOfErrorType(const std::string& errorType) {
    for (int group = 0; group < kScanGroupCount; ++group)
        if (errorType == kScanErrorTypes[static_cast<std::size_t>(group)]) return group;
    return -1;
}

}  // namespace korvane::console
