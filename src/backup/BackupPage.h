// The Backup and Restore page: the list of restore points, the status label, the advice memo and the
// buttons that make, import, refresh and delete restore points. This file owns the page's controls,
// their layout and its two workers; the restore-point work itself is added with its handlers.
#pragma once

#include <functional>

#include "app/AppState.h"
#include "app/BMDThread.h"
#include "controls/Button.h"
#include "controls/EditBox.h"
#include "controls/ListBox.h"
#include "controls/Page.h"

namespace korvane {

class BackupPage : public Page {
public:
    explicit BackupPage(AppState& state);

    ListBox ltbk{"ltbk"};
    Label lbStatus{"lbStatus"};
    Memo mWarning{"mWarning"};
    GroupBox gbControlPanel{"gbBackupControlPanel"};
    Label lblBRScan{"lblBRScan"};
    Label RestoreBackupStatus_Label{"RestoreBackupStatus_Label"};
    Button btnBackup{"btnBackup"};
    Button btnRestore1{"btnRestore1"};
    Button btRefresh{"btRefresh"};
    Button btDel{"btDel"};

    // Lists the restore points of BackupFolder into ltbk. The main window calls it on every visit of
    // the page, after emptying ltbk and setting the folders; unset until restore points are built.
    std::function<void()> ListRestorePoints;

private:
    AppState& state_;

public:
    // Last members: destroyed (and waited for) before the controls they reach.
    BMDThread ThreadBackup;
    BMDThread ThreadRestore;
};

}  // namespace korvane
