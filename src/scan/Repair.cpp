// "Fix S&elected": records every checked finding, saves the history, then deletes (see Repair.h).
#include "scan/Repair.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/DeletionReport.h"
#include "scan/ScanErrorList.h"
#include "scanwalk/ScanGroups.h"

namespace korvane {

namespace {

// The day of a repair as the history keeps it: one form on every machine, whatever the date format.
std::string RepairDate(SystemInfo& system) {
    const LocalDateTime now = system.localTime();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year, now.month, now.day);
    return text;
}

// Plans one row into the batch; false when the row is refused (no entry then).
bool PlanRow(UndoBatch& batch, const ContainerKeys& containers, const ListItem& row,
             const std::string& date) {
    const ErrorRowTag* finding = ErrorRowTagOf(row);
    if (finding == nullptr) return false;
    const KeyName& where = finding->where;
    if (where.NamesValue() ? where.keyPath.empty() : containers.Holds(where.root, where.keyPath))
        return false;
    XmlElement entry = batch.AddEntry(finding->errorType, where.Text(), finding->guessPath);
    // Lets a later scan tell a finding that a program recreated since (see RepairedKeys.h).
    entry.AddAttribute("DATE", date);
    batch.RecordForDeletion(where);
    return true;
}

}  // namespace

void btnFixSelectedClick(AppState& state, UndoHistory& history, ListView& lvErrors) {
    UndoBatch batch = history.BeginBatch();
    std::vector<int> rows;  // one per entry of the batch, from the last row to the first
    const std::string date = RepairDate(state.platform.system);
    for (int row = lvErrors.Count() - 1; row >= 0; --row) {
        if (!lvErrors.Checked(row)) continue;
        if (PlanRow(batch, history.Containers(), lvErrors.Item(row), date)) rows.push_back(row);
    }
    if (rows.empty()) return;

    const DeletionOutcome outcome = history.Delete(batch);
    // A row leaves the list only when its entry is gone: one the registry refused to delete stays.
    if (!outcome.saveFailed) {
        ListUpdate update(lvErrors);
        for (size_t entry = 0; entry < rows.size(); ++entry)
            if (outcome.Of(static_cast<int>(entry)) == EntryFate::Deleted) lvErrors.Delete(rows[entry]);
    }
    ReportDeletion(state, history.FilePath(), outcome,
                   {nouns::Entry, "nothing was repaired",
                    "could not be deleted from the registry and stayed in the list"});
}

}  // namespace korvane
