// Listing and deleting uninstall entries (see AddRemove.h). Each routine makes its own
// RegistryAccess and lets it go before returning.
#include "uninstall/AddRemove.h"

#include <vector>

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"

namespace korvane {

void ListUninstallEntries(RegistryBackend& backend, ListView& list) {
    RegistryAccess registry(backend);
    registry.SetRoot(roots::LocalMachine);
    if (!registry.OpenRegKeyReadOnly(kUninstallKey)) return;
    ListUpdate update(list);
    list.Clear();
    if (!registry.HasSubkeys()) return;
    std::vector<std::string> entries;
    registry.ListSubkeys(entries);
    registry.CloseRegKey();
    for (const std::string& entry : entries) {
        const std::string keyName = std::string(kUninstallKey) + "\\" + entry;
        if (!registry.OpenRegKeyReadOnly("\\" + keyName)) continue;
        std::string displayName = registry.ReadText("DisplayName");
        std::string uninstallString = registry.ReadText("UninstallString");
        if (!displayName.empty())
            list.Add(ListItem{std::move(displayName), {std::move(uninstallString), keyName}});
        registry.CloseRegKey();
    }
}

namespace {

// Records the row's key tree into a new entry of the batch and plans its deletion; a row naming a key
// that holds other entries is left alone, without an entry.
void PlanEntryDeletion(UndoBatch& batch, const ContainerKeys& containers, const ListView& list, int row) {
    const KeyName key = KeyName::Key(roots::LocalMachine, list.SubItem(row, kUninstallKeyNameColumn));
    if (containers.Holds(key.root, key.keyPath)) return;
    XmlElement entry =
        batch.AddEntry(list.Item(row).caption, key.Text(), list.SubItem(row, kUninstallPathColumn));
    batch.RecordKeyForDeletion(entry, key.root, "\\" + key.ParentPath(), key.LastPart());
}

}  // namespace

void DeleteUninstallEntries(UndoHistory& history, const ListView& list) {
    // The Uninstall key itself holds every entry: no row may take it whole.
    history.Containers().Add(BaseKey{roots::LocalMachine, kUninstallKey});
    UndoBatch batch = history.BeginBatch();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Checked(i)) PlanEntryDeletion(batch, history.Containers(), list, i);
    // Write-ahead: every key is on disk in the history before the first one goes.
    history.SaveAhead(batch);
    batch.DeleteAll();
}

}  // namespace korvane
