// The Uninstall Manager page: the list of installed programs (sorted by name, with a hidden key
// column) and its four buttons. The page owns the controls, the layout and the handlers; the
// registry work lives in AddRemove.h. Deleted entries are recorded in the undo history first, so
// Restore History can bring them back.
#pragma once

#include <functional>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "undo/UndoHistory.h"

namespace korvane {

class UninstallPage : public Page {
public:
    UninstallPage(AppState& state, UndoHistory& history);

    ListView lvAddRemove{"lvAddRemove"};
    GroupBox gbControlPanel{"gbUninstallControlPanel"};
    Button btnUninstall{"btnUninstall"};
    Button btnDeleteEntry{"btnDeleteEntry"};
    Button btnRefresh1{"btnRefresh1"};
    Button btnCheckAlll2{"btnCheckAlll2"};

    // Lists the installed programs into lvAddRemove; the main window calls it on a visit of the page
    // while the list is empty. Set by the constructor to refill the list from the registry.
    std::function<void()> ListUninstallEntries;

    // Refills the list; the enabled state of the two action buttons stays as it is.
    void btnRefresh1Click();
    // Starts the "Uninstall Path" of every checked row, first to last, without waiting for any.
    void btnUninstallClick();
    // Asks "Are you sure to delete the key(s)?"; on Yes records the checked rows' keys in the undo
    // history, deletes them and refills. When the history cannot be saved nothing is deleted and the
    // error box says so.
    void btnDeleteEntryClick();
    // Checks or unchecks every row and enables or disables the actions; the caption carries the
    // state ("&Check All"/"&Uncheck All"), also on an empty list.
    void btnCheckAlll2Click();
    // Enables both actions when some row is checked, else disables them.
    void lvAddRemoveClick();

private:
    void SetActionsEnabled(bool enabled);

    AppState& state_;
    UndoHistory& history_;
};

}  // namespace korvane
