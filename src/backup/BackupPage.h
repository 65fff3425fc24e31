// The Backup and Restore page: the list of restore points, the status label, the advice memo and the
// buttons that make, import, refresh and delete restore points. The page owns its controls, their
// layout, its two workers and their handlers; the file and process work lives in RestorePoints.h.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "controls/Button.h"
#include "controls/EditBox.h"
#include "controls/ListBox.h"
#include "controls/Page.h"
#include "core/AppState.h"
#include "core/BMDThread.h"

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
    // the page, after emptying ltbk and setting the folders. Set by the constructor.
    std::function<void()> ListRestorePoints;

    // The folder of the restore point being made, and of the one being imported.
    std::string CurrentBackupFolder;
    std::string RestoreFolder;
    // The one-second pause before each root of a backup; tests replace it so that they do not wait.
    std::function<void(std::chrono::milliseconds)> Sleep;

    // Appends the restore points that are not yet lines of ltbk; lines whose folder went stay.
    void btRefreshClick();
    // Deletes the selected restore point's files and folder, without a question.
    void btDelClick();
    // Starts a backup: refused with a status text while a restore runs; a backup running already
    // ignores the press; a restore-point folder that cannot be made stops it with a message.
    void btnBackupClick();
    // Starts the import of the selected restore point: refused with a status text while a backup
    // runs or when no restore point is selected. A point without checksums is imported only after the
    // user agreed to a question; a point whose files do not match them is not imported at all.
    void btnRestore1Click();

    // The workers' handlers: start steps on the UI thread, the work on the worker's thread.
    void ThreadBackupStart();
    void ThreadBackupExecute();
    void ThreadRestoreStart();
    void ThreadRestoreExecute();

    static constexpr const char* kBackupWhileRestoring =
        "A restore is running: start the backup when it has finished.";
    static constexpr const char* kRestoreWhileBackingUp =
        "A backup is running: start the restore when it has finished.";
    static constexpr const char* kChooseRestorePoint = "Choose a restore point in the list first.";
    static constexpr const char* kDeleteWhileRestoring =
        "A restore is running: delete restore points when it has finished.";
    static constexpr const char* kCheckingRestorePoint = "Checking the restore point...";
    static constexpr const char* kNothingRestored = "Nothing was restored.";

private:
    // A start step that cannot go on; the click handler reports it and the worker never starts.
    struct StartRefused : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // Sets lbStatus from the worker, on the UI thread.
    void Status(const std::string& text);
    std::string RegistryEditor() const;

    AppState& state_;
    // The registry editor's path, worked out by a start step for its worker.
    std::string backupEditor_;
    std::string restoreEditor_;
    // The user agreed to import the restore point without checksums that the start step found.
    bool restoreUnverified_ = false;

public:
    // Last members: destroyed (and waited for) before the controls they reach.
    BMDThread ThreadBackup;
    BMDThread ThreadRestore;
};

}  // namespace korvane
