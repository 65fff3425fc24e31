// Builds the Backup and Restore page: controls, captions, the advice text and the layout.
#include "backup/BackupPage.h"

namespace korvane {

BackupPage::BackupPage(AppState& state)
    : Page("tabBackup"), state_(state), ThreadBackup(state.platform.ui), ThreadRestore(state.platform.ui) {
    mWarning.SetLines({
        "It is strongly recommended that you make a full backup of the registry prior to any changes you "
        "apply to your ",
        "system using ",
        "this software.",
        "",
        "You can select the backed up registry state to restore your system to from the list above. The "
        "list contains restore ",
        "points ",
        "according to backups you have completed at a past date.",
        "",
        "Go to the 'Backup/Restore' section to restore individual elements erased during the cleaning "
        "process.",
    });
    gbControlPanel.SetCaption("&Control Panel ");
    btnBackup.SetCaption("Start &Backup");
    btnRestore1.SetCaption("Start &Restore");
    btRefresh.SetCaption("Resfresh List");
    btDel.SetCaption("Delete Restore Point");

    Place(ltbk, {0, 0, 532, 190}, nullptr, Anchor::Stretch);
    Place(lbStatus, {2, 195, 528, 16}, nullptr, Anchor::Bottom);
    Place(mWarning, {0, 214, 532, 144}, nullptr, Anchor::StretchWidthBottom);
    Place(gbControlPanel, {0, 362, 532, 78}, nullptr, Anchor::StretchWidthBottom);
    Place(lblBRScan, {10, 18, 250, 16}, &gbControlPanel);
    Place(RestoreBackupStatus_Label, {270, 18, 252, 16}, &gbControlPanel);
    Place(btnBackup, {10, 40, 118, 28}, &gbControlPanel);
    Place(btnRestore1, {134, 40, 118, 28}, &gbControlPanel);
    Place(btRefresh, {258, 40, 118, 28}, &gbControlPanel);
    Place(btDel, {382, 40, 140, 28}, &gbControlPanel);
}

}  // namespace korvane
