// The Uninstall Manager page: the list of installed programs (sorted by name, with a hidden key
// column) and its four buttons. The page owns the controls, the layout and the handlers; the
// registry work lives in AddRemove.h. Deleted entries are not recorded in the undo history.
#pragma once

#include <functional>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"

namespace korvane {

class UninstallPage : public Page {
public:
    explicit UninstallPage(AppState& state);

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
    // Starts the "Uninstall Path" of every checked row, first to last, without waiting for any. The
    // program of each is found as ResolveUninstallCommand says; a row whose program cannot be found
    // gets a message and starts nothing, and the rows after it go on.
    void btnUninstallClick();
    // Asks "Are you sure to delete the key(s)?"; on Yes deletes the checked rows' keys and refills.
    void btnDeleteEntryClick();
    // Checks or unchecks every row and enables or disables the actions; the caption carries the
    // state ("&Check All"/"&Uncheck All"), also on an empty list.
    void btnCheckAlll2Click();
    // Enables both actions when some row is checked, else disables them.
    void lvAddRemoveClick();

private:
    void SetActionsEnabled(bool enabled);

    AppState& state_;
};

}  // namespace korvane
