// scan and fix: findings as one document, and their repair (or what a repair would do).
#include <map>
#include <optional>
#include <set>

#include "console/Commands.h"
#include "console/FindingRecord.h"
#include "console/Output.h"
#include "console/RunLog.h"
#include "scan/Repair.h"
#include "scan/RepairedKeys.h"
#include "scan/ScanErrorList.h"
#include "scanwalk/ScanGroups.h"

namespace korvane::console {

namespace {

std::vector<int> AllGroups() {
    std::vector<int> groups(static_cast<std::size_t>(kScanGroupCount));
    for (int i = 0; i < kScanGroupCount; ++i) groups[static_cast<std::size_t>(i)] = i;
    return groups;
}

// The Key Names a findings file (what `scan --format json` writes) lists; nothing when it is not one.
std::optional<std::vector<std::string>> KeyNamesOfFile(const std::string& text) {
    const Records parsed = Records::parse(text, nullptr, false);
    const Records* list = &parsed;
    if (parsed.is_object() && parsed.contains("findings")) list = &parsed["findings"];
    if (!list->is_array()) return std::nullopt;
    std::vector<std::string> names;
    for (const Records& finding : *list) {
        if (!finding.is_object() || !finding.contains("keyName") || !finding["keyName"].is_string())
            return std::nullopt;
        names.push_back(finding["keyName"].get<std::string>());
    }
    return names;
}

// What a repair refuses whatever is checked (Repair.cpp's rule): a container key, a value of a root.
// The Key Name of the finding a row of the error list carries.
std::string KeyNameOfRow(const ListView& lvErrors, int row) {
    const KeyName* where = FindingOf(lvErrors.Item(row));
    return where != nullptr ? where->Text() : std::string();
}

bool RepairRefuses(UndoHistory& history, const KeyName& where) {
    return where.NamesValue() ? where.keyPath.empty() : history.Containers().Holds(where.root, where.keyPath);
}

// The number of the newest history entry that names `keyName`; -1 for none.
int HistoryIndexOf(const UndoHistory& history, const std::string& keyName) {
    const std::vector<HistoryEntry> entries = history.Entries();
    for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i)
        if (entries[static_cast<std::size_t>(i)].type == keyName) return i;
    return -1;
}

std::string LogPathOf(Session& session, const Options& options) {
    if (!options.log.empty()) return session.PathOfArgument(options.log);
    return session.ServiceRun() ? DefaultLogPath(session.Data().folder) : std::string();
}

}  // namespace

namespace {

// The scan of `scope`, each finding that a repair deleted before marked as having come back, as the
// window marks it.
std::vector<ScopedFinding> ScanMarked(Session& session, const std::vector<int>& groups,
                                      const ScanScope& scope,
                                      const std::function<void(const std::string&)>& progress) {
    std::vector<ScopedFinding> findings = ScanInScope(session.platform, session.state.windowsVersion,
                                                      session.ignoreList, groups, scope, progress);
    const RepairedKeys repaired = RepairedKeys::From(session.history);
    for (ScopedFinding& found : findings) repaired.Mark(found.finding);
    return findings;
}

}  // namespace

int ScanCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err,
                const std::function<void(const std::string&)>& progress) {
    const ScanScope scope = session.ScopeFor(options);
    const std::vector<ScopedFinding> findings =
        ScanMarked(session, options.groups.empty() ? AllGroups() : options.groups, scope, progress);
    CommandResult result{"scan", {}, "findings", Records::array(), Records::array()};
    bool checked = false;
    for (const ScopedFinding& found : findings) {
        result.records.push_back(FindingRecord(found.finding, found.profile));
        result.rows.push_back(FindingRow(found.finding));
        checked = checked || CheckedForRepair(found.finding);
    }
    result.counts = FindingCounts(result.records);
    result.exitCode = checked ? kExitFindings : kExitOk;
    return Emit(session, options, std::move(result), out, err);
}

int FixCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err) {
    std::vector<std::string> named = options.keys;
    if (!options.from.empty()) {
        const std::string path = session.PathOfArgument(options.from);
        const std::optional<std::string> text = session.platform.files.readFile(path);
        const auto names = text ? KeyNamesOfFile(*text) : std::nullopt;
        if (!names) throw CommandError{path + " cannot be read as a list of findings"};
        named.insert(named.end(), names->begin(), names->end());
    }
    const ScanScope scope = session.ScopeFor(options);
    const std::vector<ScopedFinding> findings = ScanMarked(session, AllGroups(), scope, {});
    ListView lvErrors("lvErrors");
    FindingsToList(findings, lvErrors);

    // Findings named one by one are taken as named, also those the scan leaves unchecked.
    if (!options.all) {
        const std::set<std::string> wanted(named.begin(), named.end());
        std::set<std::string> found;
        for (int row = 0; row < lvErrors.Count(); ++row) {
            const std::string keyName = KeyNameOfRow(lvErrors, row);
            const bool take = wanted.count(keyName) != 0;
            lvErrors.SetChecked(row, take);
            if (take) found.insert(keyName);
        }
        std::string missing;
        for (const std::string& name : wanted)
            if (!found.count(name))
                missing += (missing.empty() ? "" : "\n") + std::string("not a finding of this scan: ") + name;
        if (!missing.empty()) throw CommandError{missing};
    }
    // The chosen findings, by Key Name (the rows keep the findings' order).
    std::vector<const ScopedFinding*> chosen;
    for (int row = 0; row < lvErrors.Count(); ++row) {
        if (!lvErrors.Checked(row)) continue;
        const ScopedFinding* match = nullptr;
        const std::string keyName = KeyNameOfRow(lvErrors, row);
        if (row < static_cast<int>(findings.size()) &&
            findings[static_cast<std::size_t>(row)].finding.where.Text() == keyName)
            match = &findings[static_cast<std::size_t>(row)];
        for (std::size_t i = 0; match == nullptr && i < findings.size(); ++i)
            if (findings[i].finding.where.Text() == keyName) match = &findings[i];
        if (match != nullptr) chosen.push_back(match);
    }

    CommandResult result{"fix", {}, "findings", Records::array(), Records::array()};
    result.dryRun = options.dryRun;
    int changes = 0;
    int left = 0;
    if (options.dryRun) {
        for (const ScopedFinding* found : chosen) {
            Records record = FindingRecord(found->finding, found->profile);
            const bool refused = RepairRefuses(session.history, found->finding.where);
            record["outcome"] = refused ? "refused" : "wouldDelete";
            changes += refused ? 0 : 1;
            result.records.push_back(std::move(record));
            result.rows.push_back(FindingRow(found->finding));
        }
    } else {
        session.LockHistory();
        btnFixSelectedClick(session.state, session.history, lvErrors);
        std::multiset<std::string> remaining;
        for (int row = 0; row < lvErrors.Count(); ++row)
            if (lvErrors.Checked(row)) remaining.insert(KeyNameOfRow(lvErrors, row));
        RunLog log(session.platform.files, LogPathOf(session, options));
        for (const ScopedFinding* found : chosen) {
            Records record = FindingRecord(found->finding, found->profile);
            const std::string keyName = found->finding.where.Text();
            const auto stayed = remaining.find(keyName);
            if (stayed != remaining.end()) {
                remaining.erase(stayed);
                record["outcome"] = "left";
                ++left;
            } else {
                record["outcome"] = "deleted";
                ++changes;
                log.Add(UtcText(session.platform.system.systemTimeAsFileTime()) + " fix deleted " + keyName +
                        " (history entry " + std::to_string(HistoryIndexOf(session.history, keyName)) + ")");
            }
            result.records.push_back(std::move(record));
            result.rows.push_back(FindingRow(found->finding));
        }
        if (!log.Write()) session.dialogs.information("The log " + log.Path() + " cannot be written.");
    }
    result.counts = FindingCounts(result.records);
    result.counts["left"] = left;
    result.changes = changes;
    result.exitCode = left > 0 ? kExitLeft : kExitOk;
    const std::size_t count = chosen.size();
    result.text = (options.dryRun ? "would repair " : "repaired ") + std::to_string(changes) + " of " +
                  std::to_string(count) + (count == 1 ? " finding" : " findings");
    return Emit(session, options, std::move(result), out, err);
}

}  // namespace korvane::console
