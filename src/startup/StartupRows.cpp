// Listing the Run keys with their StartupApproved records and changing rows in place (StartupRows.h).
#include "startup/StartupRows.h"

#include <any>
#include <vector>

#include "registry/RegistryAccess.h"
#include "registry/RootKeys.h"

namespace korvane {

void ListApprovedRunKey(RegistryBackend& backend, ListView& list, HKey root, const std::string& keyPath,
                        bool useApproved) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    if (!registry.OpenRegKeyReadOnly(keyPath)) return;
    std::vector<std::string> names;
    registry.ListValueNames(names);
    const std::string location = RootKeyAbbreviation(root) + "\\" + keyPath;
    for (const std::string& name : names) {
        ListItem row{name, {registry.ReadText(name), location}, true};
        if (const auto place = ApprovedPlaceOfRunValue(root, keyPath, name)) {
            if (useApproved) {
                const auto state = ReadApprovedState(backend, *place);
                row.checked = !(state && state->disabled);
            }
            row.tag = StartupRowPlace{*place, false};
        }
        list.Add(std::move(row));
    }
}

InPlaceOutcome ChangeInPlace(RegistryBackend& registry, const ListItem& row, bool useApproved, bool enable,
                             std::uint64_t now) {
    const auto* place = std::any_cast<StartupRowPlace>(&row.tag);
    if (!place) return InPlaceOutcome::NotInPlace;
    if (!useApproved)
        return place->folderFile ? InPlaceOutcome::RefusedBeforeWindows8 : InPlaceOutcome::NotInPlace;
    if (!WriteApprovedState(registry, place->approved, enable, now)) return InPlaceOutcome::TargetNotOpened;
    return InPlaceOutcome::Changed;
}

void EnableApprovedRecordOf(RegistryBackend& registry, const std::string& location, const std::string& name) {
    const std::size_t slash = location.find('\\');
    if (slash == std::string::npos) return;
    const HKey root = RootKeyFromAbbreviation(location.substr(0, slash));
    const auto place = ApprovedPlaceOfRunValue(root, location.substr(slash + 1), name);
    if (!place) return;
    const auto state = ReadApprovedState(registry, *place);
    if (state && state->disabled) WriteApprovedState(registry, *place, true, 0);
}

}  // namespace korvane
