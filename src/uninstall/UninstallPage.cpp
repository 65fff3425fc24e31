// Builds the Uninstall Manager page: the sorted list with its hidden key column, the buttons (the two
// actions disabled until a row is checked) and the layout.
#include "uninstall/UninstallPage.h"

namespace korvane {

UninstallPage::UninstallPage(AppState& state) : Page("tabAddRemove"), state_(state) {
    ListColumn keyName{"Key Name", 1};
    keyName.fixedWidth = true;  // carries the entry's key for the handlers; kept out of sight
    lvAddRemove.columns = {
        {"Display Name", ListColumn::RestWidth}, {"Uninstall Path", ListColumn::RestWidth}, keyName};
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
    btnCheckAlll2.SetCaption("&Check All");

    Place(lvAddRemove, {0, 0, 532, 370}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(btnUninstall, {10, 24, 100, 28}, &gbControlPanel);
    Place(btnDeleteEntry, {116, 24, 100, 28}, &gbControlPanel);
    Place(btnRefresh1, {222, 24, 100, 28}, &gbControlPanel);
    Place(btnCheckAlll2, {328, 24, 100, 28}, &gbControlPanel);
}

}  // namespace korvane
