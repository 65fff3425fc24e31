// The Restore History page: lists the entries of the undo history (one row per ELEMENT, in document
// order), writes checked entries back into the registry and empties the history. The history, its file
// and its encoding belong to the undo history service.
#pragma once

#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "undo/UndoHistory.h"

namespace korvane {

class HistoryPage : public Page {
public:
    HistoryPage(AppState& state, UndoHistory& history);

    ListView lvHistory{"lvHistory"};
    GroupBox gbControlPanel{"gbHistoryControlPanel"};
    Button btnRestore{"btnRestore"};
    Button btnClearUndo{"btnClearUndo"};
    Button btnRefresh2{"btnRefresh2"};
    Button btnCheckAll1{"btnCheckAll1"};

    // Rebuilds the list from the history document (every visit of the page and "&Refresh").
    void btnRefresh2Click();
    // Writes every checked entry back and removes it from the history. An entry the registry refuses
    // for lack of rights stays (row and entry), the others go on, and the user hears how many need
    // administrator rights, with the offer to restart as administrator; any other value that cannot be
    // written, or an entry whose data cannot be decoded, stops the restore with a RegistryError naming
    // the value.
    void btnRestoreClick();
    // Empties the list and the history; no question asked.
    void btnClearUndoClick();
    // Checks or unchecks every row; the caption carries the state ("Ch&eck All"/"Unch&eck All").
    void btnCheckAll1Click();

private:
    AppState& state_;
    UndoHistory& history_;
};

}  // namespace korvane
