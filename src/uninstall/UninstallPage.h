// The Uninstall Manager page: the list of installed programs (sorted by name, with a hidden key
// column) and its four buttons. This file owns the page's controls and layout; listing, uninstalling
// and deleting entries are added with the uninstall manager.
#pragma once

#include <functional>

#include "app/AppState.h"
#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"

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
    // while the list is empty. Unset until the uninstall manager is built.
    std::function<void()> ListUninstallEntries;

private:
    AppState& state_;
};

}  // namespace korvane
