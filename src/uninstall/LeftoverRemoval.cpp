// Removing leftovers (see LeftoverRemoval.h).
#include "uninstall/LeftoverRemoval.h"

#include "registry/RegistryViews.h"
#include "registry/RunKeys.h"
#include "uninstall/AddRemove.h"

namespace korvane {

namespace {

// The keys the traces are entries of: none may go whole, whatever a row names.
void GuardListKeys(ContainerKeys& containers) {
    static const char* const kLists[] = {
        kUninstallKey,
        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        kRunKey,
        kRunOnceKey,
        "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32",
        "Software\\Classes\\CLSID",
        "Software\\Classes",
    };
    for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
        for (const char* list : kLists) {
            containers.Add(BaseKey{root, list});
            if (const auto view32 = Wow64PathOf(root, list)) containers.Add(BaseKey{root, *view32});
        }
    }
}

}  // namespace

LeftoverRemoval RemoveLeftovers(UndoHistory& history, FileSystem& files, const std::string& programName,
                                const std::vector<Leftover>& leftovers) {
    LeftoverRemoval result;
    GuardListKeys(history.Containers());
    UndoBatch batch = history.BeginBatch();
    std::vector<std::pair<const Leftover*, int>> planned;  // a registry trace and its plan's number
    for (const Leftover& trace : leftovers) {
        if (!trace.checked || !trace.key) continue;
        if (!trace.key->NamesValue() && history.Containers().Holds(trace.key->root, trace.key->keyPath)) {
            result.failed.push_back(trace.Where());
            continue;
        }
        const int plan = batch.PlannedCount();
        XmlElement entry = batch.AddEntry(LeftoverKindText(trace.kind) + " of " + programName,
                                          trace.key->Text(), trace.evidence);
        if (batch.RecordForDeletion(entry, *trace.key) && batch.PlannedCount() > plan)
            planned.emplace_back(&trace, plan);
        else
            result.failed.push_back(trace.Where());
    }
    history.SaveAhead(batch);
    batch.DeleteAll();
    for (const auto& [trace, plan] : planned) {
        if (batch.Deleted(plan))
            ++result.removed;
        else
            result.failed.push_back(trace->Where());
    }
    for (const Leftover& trace : leftovers) {
        if (!trace.checked || trace.key) continue;
        if (files.moveToRecycleBin(trace.file))
            ++result.removed;
        else
            result.failed.push_back(trace.Where());
    }
    return result;
}

}  // namespace korvane
