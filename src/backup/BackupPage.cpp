// Builds the Backup and Restore page (controls, captions, the advice text, the layout) and runs its
// handlers: listing, refreshing and deleting restore points, and the backup and restore workers.
#include "backup/BackupPage.h"

#include <thread>

#include "backup/RestorePointManifest.h"
#include "backup/RestorePointName.h"
#include "backup/RestorePoints.h"
#include "registry/Folders.h"
#include "registry/RootKeys.h"

namespace korvane {

namespace {

constexpr const char* kBusyForDelete =
    "A backup or a restore is running: delete restore points when it has finished.";

}  // namespace

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

    ltbk.SetCaption("Restore points");  // the name a screen reader says

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

    Sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
    ListRestorePoints = [this] {
        for (const std::string& name : RestorePointFolders(state_.platform.files, state_.BackupFolder))
            ltbk.Add(name);
    };
    btRefresh.onClick = [this] { btRefreshClick(); };
    btDel.onClick = [this] { btDelClick(); };
    btnBackup.onClick = [this] { btnBackupClick(); };
    btnRestore1.onClick = [this] { btnRestore1Click(); };
    ThreadBackup.OnStart = [this](BMDThread&, WorkerThread&) { ThreadBackupStart(); };
    ThreadBackup.OnExecute = [this](BMDThread&, WorkerThread&) { ThreadBackupExecute(); };
    ThreadRestore.OnStart = [this](BMDThread&, WorkerThread&) { ThreadRestoreStart(); };
    ThreadRestore.OnExecute = [this](BMDThread&, WorkerThread&) { ThreadRestoreExecute(); };
}

void BackupPage::btRefreshClick() {
    for (const std::string& name : RestorePointFolders(state_.platform.files, state_.BackupFolder))
        if (!ltbk.Contains(name)) ltbk.Add(name);
}

void BackupPage::btDelClick() {
    // The registry editor of a running backup or restore may be using that very folder.
    if (ThreadBackup.Active() || ThreadRestore.Active()) {
        lbStatus.SetCaption(kBusyForDelete);
        return;
    }
    FileSystem& files = state_.platform.files;
    files.setCurrentDirectory(state_.ProgramFolder);
    const int index = ltbk.ItemIndex();
    if (index < 0) return;
    const std::string folder = JoinPath(state_.BackupFolder, ltbk.Items()[static_cast<size_t>(index)]);
    DeleteFolderFiles(files, state_.platform.dialogs, folder);
    files.removeDirectory(folder);
    // A folder that stayed (a file could not be deleted, as reported) is still a restore point.
    if (!files.directoryExists(folder)) ltbk.Delete(index);
}

void BackupPage::btnBackupClick() {
    // Both runs use the registry editor on the same registry: one at a time.
    if (ThreadRestore.Active()) {
        lbStatus.SetCaption(kBackupWhileRestoring);
        return;
    }
    try {
        ThreadBackup.Start();
    } catch (const StartRefused& refused) {
        state_.platform.dialogs.showMessage(refused.what());
    }
}

void BackupPage::btnRestore1Click() {
    if (ThreadBackup.Active()) {
        lbStatus.SetCaption(kRestoreWhileBackingUp);
        return;
    }
    try {
        ThreadRestore.Start();
    } catch (const StartRefused& refused) {
        lbStatus.SetCaption(refused.what());
    }
}

std::string BackupPage::RegistryEditor() const {
    return WindowsFolder(state_.platform.system) + "regedit.exe";
}

void BackupPage::Status(const std::string& text) {
    state_.platform.ui.invoke([this, &text] { lbStatus.SetCaption(text); });
}

// The folder is made here, on the window's thread, so that a failure stops the backup before any
// export: the registry editor would otherwise write wherever it was started.
void BackupPage::ThreadBackupStart() {
    SystemInfo& system = state_.platform.system;
    FileSystem& files = state_.platform.files;
    const std::string name = RestorePointName(system.localTime(), system.longTimeFormat());
    CurrentBackupFolder = JoinPath(state_.BackupFolder, name);
    backupEditor_ = RegistryEditor();
    if (files.directoryExists(CurrentBackupFolder) || files.fileExists(CurrentBackupFolder))
        throw StartRefused("A restore point named " + name + " exists already. No backup was made.");
    if (!files.createDirectory(CurrentBackupFolder))
        throw StartRefused("The restore point folder " + CurrentBackupFolder +
                           " could not be created. No backup was made.");
}

void BackupPage::ThreadBackupExecute() {
    const std::string folder = CurrentBackupFolder;
    FileSystem& files = state_.platform.files;
    for (const char* root : RootKeyNames) {
        Status("Backup will be started in 1 second");
        Sleep(std::chrono::milliseconds(1000));
        Status(std::string("Backing up ") + root + "...");
        // The editor gets the restore point as its working folder; the program's own current
        // folder (where the ignore list lives) is left alone.
        const auto exitCode =
            RunProgramAndWait(state_.platform.processes, backupEditor_, ExportArguments(root), folder);
        const bool exported = exitCode == 0u && files.fileExists(JoinPath(folder, RootFileName(root)));
        Status(exported ? std::string("Done !") : std::string("Failed: ") + root);
    }
    // The checksums that a restore checks the files against before it imports any.
    std::vector<std::string> unreadable;
    const std::vector<ManifestEntry> entries = DigestRestorePoint(files, folder, unreadable);
    if (!files.writeFile(JoinPath(folder, kManifestFileName), FormatManifest(entries)) || !unreadable.empty())
        Status(std::string("Failed: ") + kManifestFileName);
    state_.platform.ui.invoke([this] { btRefreshClick(); });
}

void BackupPage::ThreadRestoreStart() {
    const int index = ltbk.ItemIndex();
    if (index < 0) throw StartRefused(kChooseRestorePoint);
    const std::string& name = ltbk.Items()[static_cast<size_t>(index)];
    RestoreFolder = JoinPath(state_.BackupFolder, name);
    restoreEditor_ = RegistryEditor();
    if (!state_.platform.files.directoryExists(RestoreFolder))
        throw StartRefused("The restore point " + name + " no longer exists.");
    // Asked here, on the window's thread; the files of a point with checksums are checked by the
    // worker, since hashing a whole registry's exports takes a while.
    restoreUnverified_ = !state_.platform.files.fileExists(JoinPath(RestoreFolder, kManifestFileName));
    if (restoreUnverified_ &&
        !state_.platform.dialogs.confirm("The restore point " + name +
                                         " was made without checksums, so its files cannot be verified. "
                                         "Restore it anyway?"))
        throw StartRefused(kNothingRestored);
}

void BackupPage::ThreadRestoreExecute() {
    const std::string folder = RestoreFolder;
    FileSystem& files = state_.platform.files;
    if (!restoreUnverified_) Status(kCheckingRestorePoint);
    const RestorePointCheck check = CheckRestorePoint(files, folder);
    const bool accepted = check.result == PointCheck::Verified ||
                          (check.result == PointCheck::NoChecksums && restoreUnverified_);
    if (!accepted) {
        Status(kNothingRestored);
        const std::string name = folder.substr(folder.find_last_of('\\') + 1);
        const std::string text = "The restore point " + name + " was not restored: " + check.reason + ".";
        state_.platform.ui.invoke([this, &text] { state_.platform.dialogs.showMessage(text); });
        return;
    }
    for (const char* root : RootKeyNames) {
        Status(std::string("Restoring ") + root);
        // The editor passes over a missing file silently; that root was not restored.
        bool imported = false;
        if (files.fileExists(JoinPath(folder, RootFileName(root)))) {
            const auto exitCode =
                RunProgramAndWait(state_.platform.processes, restoreEditor_, ImportArguments(root), folder);
            imported = exitCode == 0u;
        }
        Status(imported ? std::string("Done !") : std::string("Failed: ") + root);
    }
}

}  // namespace korvane
