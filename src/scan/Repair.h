// Repair of the checked findings of the error list: each is recorded in the undo history, the
// history is saved to Backup.xml, then the entries are deleted from the registry and their rows
// leave the list. The recording and the delete routines themselves live in history/.
#pragma once

#include "core/AppState.h"
#include "controls/ListView.h"

namespace korvane {

// The handler behind "Fix S&elected". Rows are handled from the last to the first. A row whose Key
// Name has fewer than two backslashes, or names a container key (history/ContainerKeys.h), is
// refused: not recorded, not deleted, left in the list. When the history cannot be saved ahead of
// the deletions, nothing is deleted, every row stays, and the error is shown in the error box. A row
// whose entry the registry would not delete stays in the list, and the error box says how many did.
void btnFixSelectedClick(AppState& state, ListView& lvErrors);

}  // namespace korvane
