// The registry work of the uninstall manager: the Uninstall key, and deleting the keys of the checked
// entries (recorded in the undo history first). Reading the entries lives in UninstallSources.h, the
// columns in UninstallColumns.h. The page
// (UninstallPage) asks the user and starts the uninstallers; this unit does no UI.
#pragma once

#include <vector>

#include "core/DeletionOutcome.h"
#include "undo/UndoHistory.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

// Under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: one sub-key per installed program.
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Registers the keys the uninstall manager and its leftovers read entries from (the Uninstall keys,
// App Paths, Run, SharedDLLs, the classes, ...; both hives, both views): no deletion may take one whole.
void AddUninstallContainers(ContainerKeys& containers);

// Deletes, with everything below it, the key of every entry in order, in the hive and registry view
// the entry was read from, after recording each key tree in the undo history (one history entry per
// uninstall entry: NAME the display name, TYPE the key's Key Name, PATH the uninstall command) and
// saving the history. An entry whose key is not directly below one of the Uninstall keys is skipped,
// so that no deletion reaches a key the list did not come from. The outcome says which keys stayed,
// and whether the history could not be saved (nothing deleted then).
DeletionOutcome DeleteUninstallEntries(UndoHistory& history, const std::vector<UninstallEntry>& entries);

}  // namespace korvane
