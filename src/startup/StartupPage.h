// The Startup Programs page: the list of startup entries with the verified publisher of each program,
// its buttons and its two switches. The page owns the controls, the layout, the handlers,
// StartupStates (the check marks as last listed or applied) and the rows it hides; the registry work
// lives in Startup.h and StartupKinds.h, the signature checks in core/PublisherChecks.h.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "core/PublisherChecks.h"
#include "startup/StartupEntry.h"
#include "undo/UndoHistory.h"

namespace korvane {

// The settings (core/UserSettings.h) that keep the page's two switches.
inline constexpr const char* kHideMicrosoftSetting = "StartupHideVerifiedMicrosoft";
inline constexpr const char* kShowWindowsSetting = "StartupShowWindowsEntries";

class StartupPage : public Page {
public:
    StartupPage(AppState& state, UndoHistory& history);

    // The columns after the caption.
    static constexpr int kPublisherColumn = 2;

    ListView lvStartup{"lvStartup"};
    GroupBox gbControlPanel{"gbStartupControlPanel"};
    Button btnRefresh{"btnRefresh"};
    Button btnApply{"btnApply"};
    Button btnEnable{"btnEnable"};
    Button btnDisable{"btnDisable"};
    Button btnRemove{"btnRemove"};
    CheckBox cbHideMicrosoft{"cbHideMicrosoft"};
    CheckBox cbShowWindows{"cbShowWindows"};

    // Whether a listing starts the signature checks (the window); the console checks when asked.
    bool checkPublishersAfterListing = true;

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

    // Fills the Publisher column of every row now, on this thread (the console's --verify).
    void CheckPublishersNow();
    // Whether answers of the checks started by the last listing are still to come.
    bool PublishersPending() const { return checks_.Running(); }
    // The switches: rows signed by Microsoft are hidden ("Hide verified Microsoft entries"), and
    // Windows' own services (in the Windows folder, signed by Microsoft) are hidden unless "Show
    // Windows entries" is ticked. Both ticks are kept in the user's settings.
    void cbHideMicrosoftClick();
    void cbShowWindowsClick();
    // Removes the selected entry whose program cannot be found (a Run or RunOnce value), recorded
    // in the undo history first, after the user said yes.
    void btnRemoveClick();
    // Enables "Re&move" when the selected row is an entry whose program cannot be found and which is a
    // registry value that can be recorded and deleted.
    void lvStartupSelectionChanged();
    // Rows taken out of the list by the switches, with their StartupStates entries.
    int HiddenCount() const { return static_cast<int>(hidden_.size()); }

private:
    struct HiddenRow {
        ListItem item;
        bool state = false;
    };
    // After a listing: each row's program (its hidden value) and the checks of their signatures.
    void FindPrograms();
    void StartPublisherChecks();
    void ShowAnswer(const std::string& program, const SignatureAnswer& answer);
    bool ShouldHide(const ListItem& row) const;
    // Moves rows between the list and hidden_ as the switches and the answers say.
    void UpdateHiddenRows();
    void HideRow(int row);
    bool RemovableMissing(int row) const;
    // Apply's step for a RunOnce, task or service row; false for a row of the other kinds.
    bool ChangedOtherKind(int row, const StartupEntry& entry, bool enable, int& changed, int& needRights);

    void ReadStartupSources();
    void RememberStartupStates();
    // Keeps StartupStates with its rows when a click on a column header sorted them.
    void FollowReorderedRows(const std::vector<int>& order);
    // Apply's step for a row that Windows 8 and later enable and disable in place (StartupRows.h);
    // false for a row that is to be parked or restored instead.
    bool ChangedInPlace(const StartupEntry& entry, bool useApproved, bool enable);

    AppState& state_;
    UndoHistory& history_;
    PublisherChecks checks_;
    std::map<std::string, SignatureAnswer> answers_;  // by program path, for this listing
    std::vector<HiddenRow> hidden_;
};

}  // namespace korvane
