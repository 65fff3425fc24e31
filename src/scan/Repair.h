// Repair of the checked findings of the error list: each is recorded in the undo history, the
// history is saved to its file, then the entries are deleted from the registry and their rows
// leave the list. The recording and the delete routines themselves belong to the undo history.
#pragma once

#include "controls/ListView.h"
#include "core/AppState.h"
#include "undo/UndoHistory.h"

namespace korvane {

// The handler behind "Fix S&elected". Rows are handled from the last to the first; each deletes what
// its finding names: a key with its whole tree, or one value. A row that names a container key
// (undo/ContainerKeys.h: the base keys registered where the history is built), a value of a root
// itself, or no finding at all is refused: not recorded, not deleted, left in the list. When the history
// cannot be saved ahead of the deletions, nothing is deleted, every row stays, and the error is shown in the
// error box. A row whose entry the registry would not delete stays in the list, and the user is told
// how many did; those refused for lack of rights come with the offer to restart as administrator.
void btnFixSelectedClick(AppState& state, UndoHistory& history, ListView& lvErrors);

}  // namespace korvane
