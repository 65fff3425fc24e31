// Removal of the checked add-ons of the plug-in list: one undo-history entry per checked row, the
// refusals of built-in toolbars and explorer bars, the write-ahead save of the undo history, then the
// deletions. Recording and deleting themselves belong to the undo history.
#pragma once

#include <vector>

#include "controls/ListView.h"
#include "core/AppState.h"
#include "registry/BaseKey.h"
#include "undo/UndoHistory.h"

namespace korvane {

// Walks lvBHO from the last row to the first. Each checked row appends an ELEMENT (NAME, TYPE, PATH
// from the row) to the history, also when it is then refused or its kind is unknown; a refused row
// shows its message. The entries of every row are recorded, the history is saved to its file, and
// only then is anything deleted; when that save fails the click's
// entries leave the history again, nothing is deleted and the error box says so. An add-on whose
// entries the registry refused to delete is told of; a refusal for lack of rights comes with the offer
// to restart as administrator. Does not rebuild the list (the caller does).
void RemoveCheckedPlugins(AppState& state, UndoHistory& history, ListView& lvBHO);

// The keys the plug-in list reads its entries from: no removal may delete one whole. Registered with
// the undo history where it is built.
std::vector<BaseKey> PluginBaseKeys();

}  // namespace korvane
