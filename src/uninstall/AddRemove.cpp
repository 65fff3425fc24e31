// Deleting uninstall entries (see AddRemove.h). Each routine makes its own RegistryAccess and lets it
// go before returning.
#include "uninstall/AddRemove.h"

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"
#include "uninstall/UninstallSources.h"

namespace korvane {

namespace {

// Records the entry's key tree into a new entry of the batch and plans its deletion; an entry whose
// key is no entry of an Uninstall key is left alone, without an entry.
void PlanEntryDeletion(UndoBatch& batch, const UninstallEntry& uninstall) {
    const KeyName& key = uninstall.key;
    if (!IsUninstallEntryKey(key)) return;
    XmlElement entry = batch.AddEntry(uninstall.displayName, key.Text(), uninstall.uninstallString);
    batch.RecordKeyForDeletion(entry, key.root, "\\" + key.ParentPath(), key.LastPart());
}

// The Uninstall keys hold every entry: no row may take one whole, in either hive or view.
void GuardUninstallKeys(ContainerKeys& containers) {
    for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
        containers.Add(BaseKey{root, kUninstallKey});
        if (const auto view32 = Wow64PathOf(root, kUninstallKey)) containers.Add(BaseKey{root, *view32});
    }
}

}  // namespace

void DeleteUninstallEntries(UndoHistory& history, const std::vector<UninstallEntry>& entries) {
    GuardUninstallKeys(history.Containers());
    UndoBatch batch = history.BeginBatch();
    for (const UninstallEntry& entry : entries) PlanEntryDeletion(batch, entry);
    // Write-ahead: every key is on disk in the history before the first one goes.
    history.SaveAhead(batch);
    batch.DeleteAll();
}

}  // namespace korvane
