// "Fix S&elected": records every checked finding, saves the history, then deletes (see Repair.h).
#include "scan/Repair.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/AdminRestart.h"
#include "registry/WriteRights.h"
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

// Plans one row into the batch; false when the row is refused.
bool PlanRow(UndoBatch& batch, const ContainerKeys& containers, const ListItem& row,
             const std::string& date) {
    const KeyName* where = FindingOf(row);
    if (where == nullptr) return false;
    if (where->NamesValue() ? where->keyPath.empty() : containers.Holds(where->root, where->keyPath))
        return false;
    XmlElement entry = batch.AddEntry(row.caption, row.subItems.at(0), row.subItems.at(2));
    // Lets a later scan tell a finding that a program recreated since (see RepairedKeys.h).
    entry.SetAttribute("DATE", date);
    batch.RecordForDeletion(entry, *where);
    return true;
}

}  // namespace

void btnFixSelectedClick(AppState& state, UndoHistory& history, ListView& lvErrors) {
    history.Containers().Add(ScanContainerKeys());
    UndoBatch batch = history.BeginBatch();

    struct Planned {
        int row;
        int plan;  // the batch's deletion for the row, -1 when none was planned
    };
    std::vector<Planned> repaired;  // from the last row to the first
    const std::string date = RepairDate(state.platform.system);
    for (int row = lvErrors.Count() - 1; row >= 0; --row) {
        if (!lvErrors.Checked(row)) continue;
        const int plans = batch.PlannedCount();
        if (PlanRow(batch, history.Containers(), lvErrors.Item(row), date))
            repaired.push_back({row, batch.PlannedCount() > plans ? plans : -1});
    }
    if (repaired.empty()) return;

    // Write-ahead: what is about to be deleted is on disk before the first deletion.
    try {
        history.SaveAhead(batch);
    } catch (const std::exception& error) {
        state.platform.dialogs.error("The undo history could not be saved to " + history.FilePath() +
                                     ", so nothing was repaired.\n" + error.what());
        return;
    }
    batch.DeleteAll();

    // A row leaves the list only when its entry is gone: one the registry refused to delete stays,
    // and the user is told; a refusal for lack of rights comes with the offer to restart as
    // administrator.
    int needRights = 0;
    int failed = 0;
    {
        ListUpdate update(lvErrors);
        for (const Planned& planned : repaired) {
            if (batch.Deleted(planned.plan)) {
                lvErrors.Delete(planned.row);
                continue;
            }
            const KeyName* where = FindingOf(lvErrors.Item(planned.row));
            if (where != nullptr && WriteRefused(state.platform.registry, where->root, where->keyPath))
                ++needRights;
            else
                ++failed;
        }
    }
    if (failed > 0)
        state.platform.dialogs.error(EntryCount(failed) +
                                     " could not be deleted from the registry and stayed in the list.");
    if (needRights > 0)
        OfferRestartAsAdministrator(
            state, EntryCount(needRights) + " could not be deleted from the registry and stayed in the list" +
                       NeedRightsText(needRights));
}

}  // namespace korvane
