// "Fix S&elected": records every checked finding, saves the history, then deletes (see Repair.h).
#include "scan/Repair.h"

#include <algorithm>
#include <string>
#include <vector>

#include "registry/KeyName.h"
#include "registry/RootKeys.h"
#include "undo/ContainerKeys.h"
#include "undo/UndoBatch.h"

namespace korvane {

namespace {

// The value name of a value row. Shared DLLs names are file paths, so the name starts at the drive
// letter; a name without one is taken like any other, after the last backslash.
std::string ValueNameOf(const std::string& errorType, const std::string& keyName) {
    if (errorType == "Shared DLLs") {
        size_t drive = keyName.find(":\\");
        if (drive != std::string::npos && drive > 0) return keyName.substr(drive - 1);
    }
    return LastPathPart(keyName);
}

// Plans one row into the batch; false when the row is refused.
bool PlanRow(UndoBatch& batch, const ListView& lvErrors, int row) {
    const std::string keyName = lvErrors.SubItem(row, 0);
    const std::string& errorType = lvErrors.Item(row).caption;
    // A single backslash names a key right below a root.
    if (std::count(keyName.begin(), keyName.end(), '\\') < 2) return false;
    HKey root = RootKeyFromName(keyName.substr(0, keyName.find('\\')));
    std::string parent = KeyParentPath(keyName) + "\\";
    std::string last = LastPathPart(keyName);
    // An empty last part (a Key Name ending in "\") is the key's default value, never a sub-key.
    if (!last.empty() && IsContainerKey(root, parent + last)) return false;

    if (!last.empty() && batch.KeyExists(root, parent + last)) {
        XmlElement entry = batch.AddEntry(errorType, keyName, lvErrors.SubItem(row, 2));
        batch.RecordKeyForDeletion(entry, root, parent, last);
        return true;
    }
    std::string valueName = ValueNameOf(errorType, keyName);
    std::string keyPath = KeyParentPath(keyName.substr(0, keyName.size() - valueName.size()));
    XmlElement entry = batch.AddEntry(errorType, keyName, lvErrors.SubItem(row, 2));
    batch.RecordValueForDeletion(entry, root, keyPath, valueName);
    return true;
}

}  // namespace

void btnFixSelectedClick(AppState& state, ListView& lvErrors) {
    XmlDocument& history = state.Restore_XMLDocument;
    if (!history.DocumentElement()) history.Reset("Korvane");
    UndoBatch batch(state.platform.registry, history);

    struct Planned {
        int row;
        int plan;  // the batch's deletion for the row, -1 when none was planned
    };
    std::vector<Planned> repaired;  // from the last row to the first
    for (int row = lvErrors.Count() - 1; row >= 0; --row) {
        if (!lvErrors.Checked(row)) continue;
        const int plans = batch.PlannedCount();
        if (PlanRow(batch, lvErrors, row))
            repaired.push_back({row, batch.PlannedCount() > plans ? plans : -1});
    }
    if (repaired.empty()) return;

    // Write-ahead: what is about to be deleted is on disk before the first deletion.
    const std::string backupFile = state.ProgramFolder + "Backup.xml";
    try {
        SaveHistoryAhead(state, batch);
    } catch (const std::exception& error) {
        state.platform.dialogs.error("The undo history could not be saved to " + backupFile +
                                     ", so nothing was repaired.\n" + error.what());
        return;
    }
    batch.DeleteAll();

    // A row leaves the list only when its entry is gone: one the registry refused to delete (a
    // machine-wide key without administrator rights, say) stays, and the user is told.
    int kept = 0;
    lvErrors.BeginUpdate();
    for (const Planned& planned : repaired) {
        if (batch.Deleted(planned.plan))
            lvErrors.Delete(planned.row);
        else
            ++kept;
    }
    lvErrors.EndUpdate();
    if (kept > 0)
        state.platform.dialogs.error(std::to_string(kept) + (kept == 1 ? " entry" : " entries") +
                                     " could not be deleted from the registry and stayed in the list.\n"
                                     "Deleting machine-wide entries may need administrator rights.");
}

}  // namespace korvane
