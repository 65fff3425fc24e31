// Deleting uninstall entries (see AddRemove.h). Each routine makes its own RegistryAccess and lets it
// go before returning.
#include "uninstall/AddRemove.h"

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"
#include "registry/RunKeys.h"
#include "uninstall/UninstallSources.h"

namespace korvane {

namespace {

// Records the entry's key tree into a new entry of the batch and plans its deletion; an entry whose
// key is no entry of an Uninstall key is left alone, without an entry.
void PlanEntryDeletion(UndoBatch& batch, const UninstallEntry& uninstall) {
    const KeyName& key = uninstall.key;
    if (!IsUninstallEntryKey(key)) return;
    batch.AddEntry(uninstall.displayName, key.Text(), uninstall.uninstallString);
    batch.RecordForDeletion(key);
}

}  // namespace

void AddUninstallContainers(ContainerKeys& containers) {
    // The lists the leftovers are entries of, the Uninstall keys first.
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
    // In either hive and view.
    for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
        for (const char* list : kLists) {
            containers.Add(BaseKey{root, list});
            if (const auto view32 = Wow64PathOf(root, list)) containers.Add(BaseKey{root, *view32});
        }
    }
}

DeletionOutcome DeleteUninstallEntries(UndoHistory& history, const std::vector<UninstallEntry>& entries) {
    UndoBatch batch = history.BeginBatch();
    for (const UninstallEntry& entry : entries) PlanEntryDeletion(batch, entry);
    return history.Delete(batch);
}

}  // namespace korvane
