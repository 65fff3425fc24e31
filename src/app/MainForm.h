// The main window's logic: it owns the shared state, the eight pages, the page buttons and the autorun
// box, and runs start-up (FormCreate, FormShow), the navigation between pages and closing (FormClose).
// It holds no window handle: src/win32/window renders it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backup/BackupPage.h"
#include "browser/PluginsPage.h"
#include "browser/TracesPage.h"
#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "core/AppState.h"
#include "core/DataFolder.h"
#include "core/DateFormat.h"
#include "history/HistoryPage.h"
#include "scan/IgnoreList.h"
#include "scan/IgnorePage.h"
#include "scan/ScanPage.h"
#include "startup/StartupPage.h"
#include "undo/UndoHistory.h"
#include "uninstall/UninstallPage.h"

namespace korvane {

class MainForm {
public:
    explicit MainForm(Platform& platform);
    // Pages go first (their workers are waited for while the UI thread keeps working), the shared
    // state and the documents last.
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    AppState state;
    PageControl& MainControl;
    UndoHistory history;
    IgnoreList ignoreList;
    DateFormat& dateFormat;  // the shared state's: the pages show dates with it

    // The page buttons, top to bottom.
    Button toolScanErrors{"toolScanErrors"};
    Button toolToolbar{"toolToolbar"};
    Button toolE{"toolE"};
    Button toolStartup{"toolStartup"};
    Button toolAddRemove{"toolAddRemove"};
    Button toolBackup{"toolBackup"};
    Button toolHistory{"toolHistory"};
    Button toolIgnore{"toolIgnore"};
    CheckBox cbAutoRun{"cbAutoRun"};

    IgnorePage tabIgnoreList;
    ScanPage tabScanErrors;
    HistoryPage tabHistory;
    BackupPage tabBackup;
    StartupPage tabStartup;
    UninstallPage tabAddRemove;
    TracesPage tabIE;
    PluginsPage tabToolbar;

    struct PageLink {
        Button* button;
        Page* page;
    };
    // Each page button with the page it shows, in the order the buttons stand.
    const std::vector<PageLink>& Navigation() const { return navigation_; }

    // Start-up. Errors are shown in the error box and never escape; see MainForm.cpp for the order.
    void FormCreate();
    // Fills the scan groups, then opens the page named by a "/page:<name>" start argument (a restart
    // as administrator brings the user back where they were); the scan page scans again.
    void FormShow();
    // Asks the scan to stop and saves the undo history. Returns false when the user chose to keep the
    // window open after the history could not be written.
    bool FormClose();

    void toolScanErrorsClick();
    void toolToolbarClick();
    void toolEClick();
    void toolStartupClick();
    void toolAddRemoveClick();
    void toolBackupClick();
    void toolHistoryClick();
    void toolIgnoreClick();

    // The autorun option: the value "ZazOru" under HKCU "\Software\Microsoft\Windows\CurrentVersion\Run".
    bool IsAutorunSet();
    void SetAutorun(bool on);
    void cbAutoRunClick();

    // Runs a handler of the window: an error it raises goes to the error box and the program goes on.
    void Run(const std::function<void()>& handler);

    // Saves the undo history, starts Korvane again with administrator rights on the page of that name
    // and closes this window; false when Windows did not start it (the user said no). A history that
    // cannot be saved raises XmlError, and nothing is started.
    bool RestartAsAdministrator(const std::string& pageName);
    // Closes the window as the user would (set by the window that renders this form).
    std::function<void()> closeWindow;

private:
    void SetProgramFolders();
    void OpenStartPage();

    std::vector<PageLink> navigation_;
    std::optional<DataFolder> dataFolder_;
};

}  // namespace korvane
