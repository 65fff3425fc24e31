// Deleting uninstall entries (see AddRemove.h). Each routine makes its own RegistryAccess and lets it
// go before returning.
#include "uninstall/AddRemove.h"

#include "registry/RegistryAccess.h"
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

void DeleteUninstallEntries(RegistryBackend& backend, const ListView& list) {
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Checked(i)) continue;
        const std::optional<KeyName> key = UninstallKeyOfRow(list, i);
        if (!key) continue;
        RegistryAccess registry(backend);
        registry.SetRoot(key->root);
        registry.SetAccess(access::AllAccess);
        registry.DeleteRegKey(key->AbsoluteKeyPath());
    }
}

}  // namespace korvane
