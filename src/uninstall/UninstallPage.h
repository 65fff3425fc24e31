// The Uninstall Manager page: the list of installed programs (sorted by name or by the column the
// user clicked; each row keeps its entry in its tag), the filter box above it, its four buttons and the
// "Quiet" box. The page owns the controls, the layout, the handlers and the entries last read; the registry
// work lives in UninstallSources.h and AddRemove.h. Deleted entries are recorded in the undo history
// first, so Restore History can bring them back.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/EditBox.h"
#include "controls/ListView.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "core/PublisherChecks.h"
#include "undo/UndoHistory.h"
#include "uninstall/LeftoverPanel.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

class UninstallPage : public Page {
public:
    UninstallPage(AppState& state, UndoHistory& history);

    Label lblFilter{"lblFilter"};
    EditBox edFilter{"edFilter"};
    ListView lvAddRemove{"lvAddRemove"};
    GroupBox gbControlPanel{"gbUninstallControlPanel"};
    Button btnUninstall{"btnUninstall"};
    Button btnDeleteEntry{"btnDeleteEntry"};
    Button btnRefresh1{"btnRefresh1"};
    Button btnCheckAlll2{"btnCheckAlll2"};
    CheckBox cbQuiet{"cbQuiet"};
    Button btnLeftovers{"btnLeftovers"};
    // Below the list: the uninstall run and what it left behind.
    LeftoverPanel leftovers;

    // Lists the installed programs into lvAddRemove; the main window calls it on a visit of the page
    // while the list is empty. Set by the constructor to refill the list from the registry.
    std::function<void()> ListUninstallEntries;

    // Reads the entries of every Uninstall key and shows those the filter lets through, unchecked.
    // When no Uninstall key opens the list stays as it is; when a wrongly typed value stops the
    // reading, the entries read before it are shown and the error goes on.
    void ReadAndShowEntries();
    // Refills the list; the enabled state of the two action buttons stays as it is.
    void btnRefresh1Click();
    // Runs the uninstall command of every checked row (UninstallCommandLine, "Quiet" as the box
    // says), first to last, each waited for with all it starts, then lists what they left behind
    // (LeftoverPanel). The program of each is found as ResolveUninstallCommand says; a row whose
    // program cannot be found gets a message, starts nothing, and only its leftovers are looked for.
    void btnUninstallClick();
    // Looks for what the checked programs left behind without uninstalling them (programs already
    // gone, entries whose uninstaller is missing).
    void btnLeftoversClick();
    // Asks "Are you sure to delete the key(s)?"; on Yes records the checked rows' keys in the undo
    // history, deletes them and refills. When the history cannot be saved nothing is deleted and the
    // error box says so.
    void btnDeleteEntryClick();
    // Checks or unchecks every row and enables or disables the actions; the caption carries the
    // state ("&Check All"/"&Uncheck All"), also on an empty list.
    void btnCheckAlll2Click();
    // Enables both actions when some row is checked, else disables them.
    void lvAddRemoveClick();
    // The user typed into the filter box: the list shows the entries whose name or publisher holds the
    // text. Check marks stay with their entries while the filter hides them; the actions work on the
    // rows shown.
    void edFilterChange();

    // Whether a reading starts the signature checks on workers (the window; not the console, whose
    // thread hands nothing over).
    bool checkPublishersAfterReading = true;
    // Whether answers of the signature checks started by the last reading are still to come.
    bool PublishersPending() const { return checks_.Running(); }

private:
    // The signature checks of the entries' programs (UninstallPublishers.cpp): the DisplayIcon's
    // program and the uninstaller, per entry by its Key Name.
    struct EntryPrograms {
        std::string program;
        std::string uninstaller;
    };
    void StartPublisherChecks();
    void ShowPublisherAnswer(const std::string& path, const SignatureAnswer& answer);
    // The Verified Publisher text of row `row` from the answers so far; nothing before the first.
    void FillSignatureColumn(int row);

    void SetActionsEnabled(bool enabled);
    // Fills the list from entries_ through the filter; rows get the check marks remembered for them.
    void ShowEntries();
    // The entries of the checked rows shown, first to last, as their rows' tags hold them.
    std::vector<UninstallEntry> CheckedEntries() const;
    // Notes in checkedKeys_ the check mark of every row shown, before the rows are filled anew.
    void RememberChecks();
    // Reads the entries again after an uninstall run; the entries still there keep their check marks.
    void RefreshKeepingChecks();

    std::vector<UninstallEntry> entries_;
    std::set<std::string> checkedKeys_;  // Key Names of the checked entries, kept across filtering

    AppState& state_;
    UndoHistory& history_;
    std::map<std::string, EntryPrograms> programs_;   // by Key Name
    std::map<std::string, SignatureAnswer> answers_;  // by program path
    PublisherChecks checks_{state_.platform.ui, state_.signatureCache};
};

}  // namespace korvane
