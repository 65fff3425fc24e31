// Changing startup entries in place through their StartupApproved records (StartupRows.h).
#include "startup/StartupRows.h"

namespace korvane {

InPlaceOutcome ChangeInPlace(RegistryBackend& registry, const StartupEntry& entry, bool useApproved,
                             bool enable, std::uint64_t now) {
    const bool folderFile = entry.kind == StartupKind::FolderFile;
    if (!entry.approved || !(folderFile || entry.kind == StartupKind::RunValue))
        return InPlaceOutcome::NotInPlace;
    if (!useApproved) return folderFile ? InPlaceOutcome::RefusedBeforeWindows8 : InPlaceOutcome::NotInPlace;
    if (!WriteApprovedState(registry, *entry.approved, enable, now)) return InPlaceOutcome::TargetNotOpened;
    return InPlaceOutcome::Changed;
}

void EnableApprovedRecordOf(RegistryBackend& registry, const StartupEntry& entry) {
    if (!entry.approved) return;
    const auto state = ReadApprovedState(registry, *entry.approved);
    if (state && state->disabled) WriteApprovedState(registry, *entry.approved, true, 0);
}

}  // namespace korvane
