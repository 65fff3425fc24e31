// Deleting uninstall entries (see AddRemove.h). Each routine makes its own RegistryAccess and lets it
// go before returning.
#include "uninstall/AddRemove.h"

#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"
#include "uninstall/UninstallSources.h"

namespace korvane {

std::optional<KeyName> UninstallKeyOfRow(const ListView& list, int row) {
    const std::string text = list.SubItem(row, kUninstallKeyNameColumn);
    // Only a root's own full name: ParseKey reads anything else as HKEY_CLASSES_ROOT.
    const std::string rootName = text.substr(0, text.find('\\'));
    if (RootKeyName(RootKeyFromName(rootName)) != rootName) return std::nullopt;
    KeyName key = KeyName::ParseKey(text);
    if (!IsUninstallEntryKey(key)) return std::nullopt;
    return key;
}

namespace {

// Records the row's key tree into a new entry of the batch and plans its deletion; a row that names
// no entry of an Uninstall key is left alone, without an entry.
void PlanEntryDeletion(UndoBatch& batch, const ListView& list, int row) {
    const std::optional<KeyName> key = UninstallKeyOfRow(list, row);
    if (!key) return;
    XmlElement entry =
        batch.AddEntry(list.Item(row).caption, key->Text(), list.SubItem(row, kUninstallPathColumn));
    batch.RecordKeyForDeletion(entry, key->root, "\\" + key->ParentPath(), key->LastPart());
}

// The Uninstall keys hold every entry: no row may take one whole, in either hive or view.
void GuardUninstallKeys(ContainerKeys& containers) {
    for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
        containers.Add(BaseKey{root, kUninstallKey});
        if (const auto view32 = Wow64PathOf(root, kUninstallKey)) containers.Add(BaseKey{root, *view32});
    }
}

}  // namespace

void DeleteUninstallEntries(UndoHistory& history, const ListView& list) {
    GuardUninstallKeys(history.Containers());
    UndoBatch batch = history.BeginBatch();
    for (int i = 0; i < list.Count(); ++i)
        if (list.Checked(i)) PlanEntryDeletion(batch, list, i);
    // Write-ahead: every key is on disk in the history before the first one goes.
    history.SaveAhead(batch);
    batch.DeleteAll();
}

}  // namespace korvane
