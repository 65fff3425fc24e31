// Removing leftovers (see LeftoverRemoval.h).
#include "uninstall/LeftoverRemoval.h"

#include "core/XmlDocument.h"

namespace korvane {

LeftoverRemoval RemoveLeftovers(UndoHistory& history, FileSystem& files, const std::string& programName,
                                const std::vector<Leftover>& leftovers) {
    LeftoverRemoval result;
    UndoBatch batch = history.BeginBatch();
    std::vector<const Leftover*> planned;  // the registry trace of each entry of the batch
    for (const Leftover& trace : leftovers) {
        if (!trace.checked || !trace.key) continue;
        if (!trace.key->NamesValue() && history.Containers().Holds(trace.key->root, trace.key->keyPath)) {
            result.failed.push_back(trace.Where());
            continue;
        }
        batch.AddEntry(LeftoverKindText(trace.kind) + " of " + programName, trace.key->Text(),
                       trace.evidence);
        batch.RecordForDeletion(*trace.key);
        planned.push_back(&trace);
    }
    result.registry = history.Delete(batch);
    if (result.registry.saveFailed) throw XmlError(result.registry.saveError);
    for (size_t entry = 0; entry < planned.size(); ++entry) {
        if (result.registry.Of(static_cast<int>(entry)) == EntryFate::Deleted)
            ++result.removed;
        else
            result.failed.push_back(planned[entry]->Where());
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
