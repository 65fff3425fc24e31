// Builds the Startup Programs page: the list with its columns, the buttons and the layout.
#include "startup/StartupPage.h"

namespace korvane {

StartupPage::StartupPage(AppState& state) : Page("tabStartup"), state_(state) {
    lvStartup.columns = {{"Startup Items", 150}, {"Command", 210}, {"Location", ListColumn::RestWidth}};
    gbControlPanel.SetCaption("&Control Panel ");
    btnRefresh.SetCaption("&Refresh");
    btnApply.SetCaption("&Apply");
    btnEnable.SetCaption("&Check All");
    btnDisable.SetCaption("&UnCheck All");

    Place(lvStartup, {0, 0, 532, 370}, nullptr, Anchor::Stretch);
    Place(gbControlPanel, {0, 374, 532, 66}, nullptr, Anchor::StretchWidthBottom);
    Place(btnRefresh, {10, 24, 100, 28}, &gbControlPanel);
    Place(btnApply, {116, 24, 100, 28}, &gbControlPanel);
    Place(btnEnable, {222, 24, 100, 28}, &gbControlPanel);
    Place(btnDisable, {328, 24, 100, 28}, &gbControlPanel);
}

}  // namespace korvane
