// Listing and deleting uninstall entries (see AddRemove.h). Each routine makes its own
// RegistryAccess and lets it go before returning.
#include "uninstall/AddRemove.h"

#include <vector>

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

void DeleteUninstallEntries(RegistryBackend& backend, const ListView& list) {
    RegistryAccess registry(backend);
    registry.SetRoot(roots::LocalMachine);
    registry.SetAccess(access::AllAccess);
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Checked(i)) continue;
        registry.DeleteRegKey("\\" + list.SubItem(i, kUninstallKeyNameColumn));
    }
}

}  // namespace korvane
