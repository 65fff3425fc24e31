// The registry work of the uninstall manager: reading the machine-wide uninstall entries into the
// list and deleting the keys of the checked rows (recorded in the undo history first). The page
// (UninstallPage) asks the user and starts the uninstallers; this unit does no UI.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"
#include "undo/UndoHistory.h"

namespace korvane {

// Under HKEY_LOCAL_MACHINE: one sub-key per installed program.
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Columns of lvAddRemove after the caption (the display name).
inline constexpr int kUninstallPathColumn = 0;
inline constexpr int kUninstallKeyNameColumn = 1;  // the entry's key below HKEY_LOCAL_MACHINE

// Refills the list with one unchecked row per sub-key that has a "DisplayName": the display name,
// the "UninstallString" (empty when missing) and kUninstallKey + "\" + the sub-key's name. When the
// Uninstall key does not open the list is left as it is. A "DisplayName" or "UninstallString" that
// is not text raises "Invalid data type for '<name>'"; the rows added before it stay.
void ListUninstallEntries(RegistryBackend& registry, ListView& list);

// Deletes, with everything below it, the key of every checked row, first row to last, after recording
// each key tree in the undo history (one entry per row: NAME the display name, TYPE the key's Key
// Name, PATH the uninstall command) and saving the history. Keys that cannot be deleted stay without a
// word. When the history cannot be saved nothing is deleted, the rows' entries leave the history
// again, and the XmlError propagates.
void DeleteUninstallEntries(UndoHistory& history, const ListView& list);

}  // namespace korvane
