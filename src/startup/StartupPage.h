// The Startup Programs page: the list of startup entries and its four buttons. The page owns the
// controls, the layout, the handlers and StartupStates (the check marks as last listed or applied);
// the registry work lives in Startup.h.
#pragma once

#include <functional>
#include <vector>

#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"

namespace korvane {

class StartupPage : public Page {
public:
    explicit StartupPage(AppState& state);

    ListView lvStartup{"lvStartup"};
    GroupBox gbControlPanel{"gbStartupControlPanel"};
    Button btnRefresh{"btnRefresh"};
    Button btnApply{"btnApply"};
    Button btnEnable{"btnEnable"};
    Button btnDisable{"btnDisable"};

    // Lists the startup entries into the empty lvStartup; the main window calls it on a visit of the
    // page while the list is empty. Set by the constructor to ListStartupSources.
    std::function<void()> ListStartupEntries;

    // One entry per row: its check mark as last listed or applied. Apply moves the rows that differ.
    std::vector<bool> StartupStates;

    // Shows the page and, when the list is empty, reads the sources of the current version class.
    void toolStartupClick();
    // Reads the sources of the version class, asked afresh, into lvStartup, then sets StartupStates
    // to the rows shown (also when a wrongly typed value stops the listing).
    void ListStartupSources();
    // Enables btnApply when some row's check mark differs from StartupStates, else disables it.
    void lvStartupClick();
    void SetAllStartupChecks(bool checked);
    void btnEnableClick() { SetAllStartupChecks(true); }
    void btnDisableClick() { SetAllStartupChecks(false); }
    // Empties the list and reads it again.
    void btnRefreshClick();
    // Changes every row whose check mark changed, tells the user to restart, and reads the list again.
    // On Windows 8 and later a Run entry or Startup folder file stays where it is and its
    // StartupApproved record is written; other rows are moved between their Run key and their parking
    // place. A move that would touch the wrong key is refused with a message naming the entry.
    void btnApplyClick();

private:
    void ReadStartupSources();
    void RememberStartupStates();
    // Keeps StartupStates with its rows when a click on a column header sorted them.
    void FollowReorderedRows(const std::vector<int>& order);
    // Apply's step for a row that Windows 8 and later enable and disable in place (StartupRows.h);
    // false for a row that is to be parked or restored instead.
    bool ChangedInPlace(int row, bool useApproved, bool enable);

    AppState& state_;
};

}  // namespace korvane
