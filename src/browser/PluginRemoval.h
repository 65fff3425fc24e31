// Removal of the checked add-ons of the plug-in list: one undo-history entry per checked row, the
// refusals of built-in toolbars and explorer bars, the write-ahead save of the undo history, then the
// deletions. Recording and deleting themselves belong to the undo history.
#pragma once

#include <vector>

#include "controls/ListView.h"
#include "core/AppState.h"
#include "undo/UndoHistory.h"

namespace korvane {

// Walks lvBHO from the last row to the first. Each checked row appends an ELEMENT (NAME, TYPE, PATH
// from the row) to the history, also when it is then refused or its kind is unknown; a refused row
// shows its message. The entries of every row are recorded, the history is saved to its file, and
// only then is anything deleted; when that save fails the click's
// entries leave the history again, nothing is deleted and the error box says so. When the registry
// refuses some deletion of an add-on, the error box says how many add-ons could not be deleted. Does
// not rebuild the list (the caller does).
void RemoveCheckedPlugins(AppState& state, UndoHistory& history, ListView& lvBHO);

// The keys the plug-in list reads its entries from: no removal may delete one whole.
std::vector<BaseKey> PluginBaseKeys();

}  // namespace korvane
