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

void AddUninstallContainers(ContainerKeys& containers) {
    // The lists the leftovers are entries of, the Uninstall keys first.
    static const char* const kLists[] = {
        kUninstallKey,
        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
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

DeletionOutcome DeleteUninstallEntries(UndoHistory& history, const ListView& list) {
    UndoBatch batch = history.BeginBatch();
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Checked(i)) continue;
        // A row that names no entry of an Uninstall key is left alone, without an entry.
        const std::optional<KeyName> key = UninstallKeyOfRow(list, i);
        if (!key) continue;
        batch.AddEntry(list.Item(i).caption, key->Text(), list.SubItem(i, kUninstallPathColumn));
        batch.RecordForDeletion(*key);
    }
    return history.Delete(batch);
}

}  // namespace korvane
