// Start-up, navigation, autorun and closing of the main window, on the portable models.
#include "app/MainForm.h"

#include <string_view>

#include "browser/PluginRemoval.h"
#include "core/DeletionReport.h"
#include "core/HandlerRunner.h"
#include "platform/PathText.h"
#include "registry/RegistryAccess.h"
#include "registry/RunKeys.h"
#include "scanwalk/ScanGroups.h"
#include "uninstall/AddRemove.h"

namespace korvane {

namespace {

constexpr const char* kAutorunValue = "ZazOru";
constexpr std::string_view kPageArgument = "/page:";

}  // namespace

MainForm::MainForm(Platform& platform)
    : state(platform),
      MainControl(state.MainControl),
      history(state),
      ignoreList(platform),
      dateFormat(state.dateFormat),
      tabIgnoreList(ignoreList),
      tabScanErrors(state, history, ignoreList, tabIgnoreList),
      tabHistory(state, history),
      tabBackup(state),
      tabStartup(state, history),
      tabAddRemove(state, history),
      tabIE(state),
      tabToolbar(state, history) {
    // Each source of entries guards the keys it reads them from, once, where the history is built.
    history.Containers().Add(ScanContainerKeys());
    history.Containers().Add(PluginBaseKeys());
    AddUninstallContainers(history.Containers());
    navigation_ = {
        {&toolScanErrors, &tabScanErrors}, {&toolToolbar, &tabToolbar},     {&toolE, &tabIE},
        {&toolStartup, &tabStartup},       {&toolAddRemove, &tabAddRemove}, {&toolBackup, &tabBackup},
        {&toolHistory, &tabHistory},       {&toolIgnore, &tabIgnoreList},
    };
    toolScanErrors.SetCaption("Scan and Fix Errors ");
    toolToolbar.SetCaption("IE Plugins                  ");
    toolE.SetCaption("IE Traces Cleaning  ");
    toolStartup.SetCaption("Startup Programs     ");
    toolAddRemove.SetCaption("Uninstall Manager    ");
    toolBackup.SetCaption("Backup and Restore");
    toolHistory.SetCaption("Restore History         ");
    toolIgnore.SetCaption("Ignore List                 ");
    cbAutoRun.SetCaption("Autorun when Windows starts");

    toolScanErrors.onClick = [this] { toolScanErrorsClick(); };
    toolToolbar.onClick = [this] { toolToolbarClick(); };
    toolE.onClick = [this] { toolEClick(); };
    toolStartup.onClick = [this] { toolStartupClick(); };
    toolAddRemove.onClick = [this] { toolAddRemoveClick(); };
    toolBackup.onClick = [this] { toolBackupClick(); };
    toolHistory.onClick = [this] { toolHistoryClick(); };
    toolIgnore.onClick = [this] { toolIgnoreClick(); };
    cbAutoRun.onClick = [this] { cbAutoRunClick(); };

    for (const PageLink& link : navigation_) MainControl.AddPage(*link.page);

    // A worker's end step runs from the UI thread's queue; its errors go to the same error box.
    Dialogs& dialogs = platform.dialogs;
    for (BMDThread* worker :
         {&tabScanErrors.ScanErrorsThread, &tabBackup.ThreadBackup, &tabBackup.ThreadRestore})
        worker->OnHandlerError = [&dialogs](const std::string& message) { dialogs.error(message); };
    state.restartAsAdministrator = [this](const std::string& pageName) {
        return RestartAsAdministrator(pageName);
    };
}

MainForm::~MainForm() = default;

void MainForm::Run(const std::function<void()>& handler) {
    RunHandler(state.platform.dialogs, handler);
}

// FormCreate, in this order: the folders, the undo history, the ignore list and its rows, the start page, the
// autorun box, the date format. A document that cannot be parsed no longer stops the later steps.
void MainForm::FormCreate() {
    Run([this] {
        SetProgramFolders();
        const DataFolder& data = *dataFolder_;
        if (!data.besideProgram) {
            // The ignore list follows the current folder: it lives with the other files.
            state.platform.files.setCurrentDirectory(data.folder);
            history.Load(data.programFolder);
        } else {
            history.Load();
        }
        if (!history.AdoptedFrom().empty())
            state.platform.dialogs.information(
                "The undo history was read from " + history.AdoptedFrom() + ".\n" + data.programFolder +
                " cannot be written, so Korvane keeps its files in " + data.folder +
                " from now on; the file there is left as it is.");
        ignoreList.Load();
        tabIgnoreList.FillFromDocument();
        MainControl.SetActivePage(tabScanErrors);
        cbAutoRun.SetChecked(IsAutorunSet());
        dateFormat = DateFormat{'/', "mm/dd/yyyy"};
    });
}

void MainForm::FormShow() {
    Run([this] {
        tabScanErrors.FillScanGroups();
        OpenStartPage();
    });
}

void MainForm::OpenStartPage() {
    for (const std::string& argument : state.platform.system.startArguments()) {
        if (!argument.starts_with(kPageArgument)) continue;
        const std::string name = argument.substr(kPageArgument.size());
        for (const PageLink& link : navigation_) {
            if (link.page->Name() != name) continue;
            link.button->Click();
            // Findings that needed administrator rights are found again, now that they can be repaired.
            if (link.page == &tabScanErrors) tabScanErrors.btnStartScanClick();
        }
    }
}

bool MainForm::RestartAsAdministrator(const std::string& pageName) {
    Platform& platform = state.platform;
    const std::string arguments = pageName.empty() ? std::string() : std::string(kPageArgument) + pageName;
    // The new instance reads the undo history as it starts, before this one has closed.
    history.Save();
    if (!platform.processes.startElevated(platform.system.executablePath(), arguments)) return false;
    if (closeWindow) closeWindow();
    return true;
}

bool MainForm::FormClose() {
    tabScanErrors.ScanErrorsThread.Stop();
    try {
        history.Save();
        return true;
    } catch (const std::exception& error) {
        Dialogs& dialogs = state.platform.dialogs;
        dialogs.error(error.what());
        // The history lives only in memory: closing now would lose it, so the user decides.
        return dialogs.confirm(HistoryNotSavedText(history.FilePath()) +
                               ".\nClose Korvane anyway and lose the changes made since it was opened?");
    }
}

void MainForm::SetProgramFolders() {
    // Decided once per start: a folder that could be written a moment ago is still the one to use.
    if (!dataFolder_) dataFolder_ = ChooseDataFolder(state.platform.files, state.platform.system);
    state.ProgramFolder = dataFolder_->folder;
    state.BackupFolder = state.ProgramFolder + "Backup";
    FileSystem& files = state.platform.files;
    if (!files.directoryExists(state.BackupFolder)) files.createDirectory(state.BackupFolder);
}

void MainForm::toolScanErrorsClick() {
    MainControl.SetActivePage(tabScanErrors);
    // A running scan writes its counts into the group rows: never rebuild them under it.
    if (tabScanErrors.lvErrors.Count() == 0 && !tabScanErrors.ScanErrorsThread.Active())
        tabScanErrors.FillScanGroups();
}

void MainForm::toolToolbarClick() {
    MainControl.SetActivePage(tabToolbar);
    tabToolbar.ScanToolbar_BitBtn.Click();
}

void MainForm::toolEClick() {
    MainControl.SetActivePage(tabIE);
}

void MainForm::toolStartupClick() {
    MainControl.SetActivePage(tabStartup);
    if (tabStartup.lvStartup.Count() == 0 && tabStartup.ListStartupEntries) tabStartup.ListStartupEntries();
}

void MainForm::toolAddRemoveClick() {
    MainControl.SetActivePage(tabAddRemove);
    if (tabAddRemove.lvAddRemove.Count() == 0 && tabAddRemove.ListUninstallEntries)
        tabAddRemove.ListUninstallEntries();
}

void MainForm::toolBackupClick() {
    tabBackup.ltbk.Clear();
    SetProgramFolders();
    state.BackupFolder = WithBackslash(state.BackupFolder);
    if (tabBackup.ListRestorePoints) tabBackup.ListRestorePoints();
    state.platform.files.setCurrentDirectory(state.ProgramFolder);
    MainControl.SetActivePage(tabBackup);
}

void MainForm::toolHistoryClick() {
    MainControl.SetActivePage(tabHistory);
    tabHistory.btnRefresh2Click();
}

void MainForm::toolIgnoreClick() {
    MainControl.SetActivePage(tabIgnoreList);
    if (tabIgnoreList.lvIgnore.Count() == 0) tabIgnoreList.btnRefresh6Click();
}

bool MainForm::IsAutorunSet() {
    RegistryAccess reg(state.platform.registry);
    reg.SetRoot(roots::CurrentUser);
    if (!reg.OpenRegKey("\\" + std::string(kRunKey), CreateIfMissing::Yes)) return false;
    std::string command;
    // Only a text value can name our program; any other type reads as "not set" instead of an error.
    ValueKind kind = reg.GetValueKind(kAutorunValue);
    if (kind == ValueKind::Text || kind == ValueKind::ExpandText) command = reg.ReadText(kAutorunValue);
    reg.CloseRegKey();
    return command == state.platform.system.executablePath();
}

void MainForm::SetAutorun(bool on) {
    RegistryAccess reg(state.platform.registry);
    reg.SetRoot(roots::CurrentUser);
    if (!reg.OpenRegKey("\\" + std::string(kRunKey), CreateIfMissing::Yes))
        throw RegistryError("Failed to set data for '" + std::string(kAutorunValue) + "'");
    if (on)
        reg.WriteText(kAutorunValue, state.platform.system.executablePath());
    else
        reg.DeleteValue(kAutorunValue);
    reg.CloseRegKey();
}

void MainForm::cbAutoRunClick() {
    try {
        SetAutorun(cbAutoRun.Checked());
    } catch (...) {
        // The box shows what the registry holds, not what the failed click wished for.
        cbAutoRun.SetChecked(IsAutorunSet());
        throw;
    }
}

}  // namespace korvane
