// The registry work of the uninstall manager: the Uninstall key, and deleting the keys of the checked
// rows (recorded in the undo history first). Reading the entries lives in UninstallSources.h, the
// columns in UninstallColumns.h. The page
// (UninstallPage) asks the user and starts the uninstallers; this unit does no UI.
#pragma once

#include <optional>
#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "registry/KeyName.h"
#include "undo/UndoHistory.h"
#include "uninstall/UninstallColumns.h"

namespace korvane {

// Under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: one sub-key per installed program.
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The key named in a row's "Key Name" column, when it is an entry directly below one of the Uninstall
// keys; nothing for any other text, so that no deletion reaches a key the list did not come from.
std::optional<KeyName> UninstallKeyOfRow(const ListView& list, int row);

// Registers the keys the uninstall manager and its leftovers read entries from (the Uninstall keys,
// App Paths, Run, SharedDLLs, the classes, ...; both hives, both views): no deletion may take one whole.
void AddUninstallContainers(ContainerKeys& containers);

// Deletes, with everything below it, the key of every checked row, first row to last, in the hive and
// registry view the row names, after recording each key tree in the undo history (one entry per row:
// NAME the display name, TYPE the key's Key Name, PATH the uninstall command) and saving the history.
// The outcome says which keys stayed, and whether the history could not be saved (nothing deleted then).
DeletionOutcome DeleteUninstallEntries(UndoHistory& history, const ListView& list);

}  // namespace korvane
