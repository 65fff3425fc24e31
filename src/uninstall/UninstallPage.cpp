// Builds the Uninstall Manager page: the sorted list with its hidden key column, the buttons (the two
// actions disabled until a row is checked) and the layout; and runs its handlers.
#include "uninstall/UninstallPage.h"

#include <exception>

#include "uninstall/AddRemove.h"

namespace korvane {

namespace {

constexpr const char* kCheckAllCaption = "&Check All";
constexpr const char* kUncheckAllCaption = "&Uncheck All";

}  // namespace

UninstallPage::UninstallPage(AppState& state, UndoHistory& history)
    : Page("tabAddRemove"), state_(state), history_(history) {
    ListColumn keyName{"Key Name", 1};
    keyName.fixedWidth = true;  // carries the entry's key for the handlers; kept out of sight
    lvAddRemove.columns = {
        {"Display Name", ListColumn::kRestWidth}, {"Uninstall Path", ListColumn::kRestWidth}, keyName};
    SystemInfo& system = state.platform.system;
    lvAddRemove.sortComparator = [&system](const std::string& a, const std::string& b) {
        return system.compareText(a, b);
    };
    gbControlPanel.SetCaption("&Control Panel ");
    btnUninstall.SetCaption("&Uninstall");
    btnUninstall.SetEnabled(false);
    btnDeleteEntry.SetCaption("&Delete entries");
    btnDeleteEntry.SetEnabled(false);
    btnRefresh1.SetCaption("&Refresh");
    btnCheckAlll2.SetCaption(kCheckAllCaption);

    Place(lvAddRemove, {0, 0, 532, 370}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(btnUninstall, {10, 24, 100, 28}, &gbControlPanel);
    Place(btnDeleteEntry, {116, 24, 100, 28}, &gbControlPanel);
    Place(btnRefresh1, {222, 24, 100, 28}, &gbControlPanel);
    Place(btnCheckAlll2, {328, 24, 100, 28}, &gbControlPanel);

    // The list has no images: the scan page's image list is left alone.
    ListUninstallEntries = [this] { korvane::ListUninstallEntries(state_.platform.registry, lvAddRemove); };
    lvAddRemove.onClick = [this] { lvAddRemoveClick(); };
    btnUninstall.onClick = [this] { btnUninstallClick(); };
    btnDeleteEntry.onClick = [this] { btnDeleteEntryClick(); };
    btnRefresh1.onClick = [this] { btnRefresh1Click(); };
    btnCheckAlll2.onClick = [this] { btnCheckAlll2Click(); };
}

void UninstallPage::btnRefresh1Click() {
    ListUninstallEntries();
}

void UninstallPage::btnUninstallClick() {
    Processes& processes = state_.platform.processes;
    for (int i = 0; i < lvAddRemove.Count(); ++i) {
        if (!lvAddRemove.Checked(i)) continue;
        const std::string command = lvAddRemove.SubItem(i, kUninstallPathColumn);
        // An entry without an uninstall command has nothing to start; a failed start is not reported.
        if (!command.empty()) processes.start(command);
    }
}

void UninstallPage::btnDeleteEntryClick() {
    Dialogs& dialogs = state_.platform.dialogs;
    if (!dialogs.confirm("Are you sure to delete the key(s)?")) return;
    try {
        DeleteUninstallEntries(history_, lvAddRemove);
    } catch (const std::exception& error) {
        dialogs.error("The undo history could not be saved to " + history_.FilePath() +
                      ", so no entry was deleted.\n" + error.what());
    }
    ListUninstallEntries();
}

void UninstallPage::btnCheckAlll2Click() {
    const bool check = btnCheckAlll2.Caption() == kCheckAllCaption;
    btnCheckAlll2.SetCaption(check ? kUncheckAllCaption : kCheckAllCaption);
    lvAddRemove.SetAllChecked(check);
    SetActionsEnabled(check);
}

void UninstallPage::lvAddRemoveClick() {
    for (int i = 0; i < lvAddRemove.Count(); ++i) {
        if (lvAddRemove.Checked(i)) {
            SetActionsEnabled(true);
            return;
        }
    }
    SetActionsEnabled(false);
}

void UninstallPage::SetActionsEnabled(bool enabled) {
    btnUninstall.SetEnabled(enabled);
    btnDeleteEntry.SetEnabled(enabled);
}

}  // namespace korvane
