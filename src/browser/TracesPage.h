// The IE Traces Cleaning page: the seven fixed trace actions, the list of files found and the four
// buttons. The page owns the controls, the fixed rows, the layout and the handlers; the registry and
// file work lives in IE.h. Nothing is read until "&Start Scan" is pressed.
#pragma once

#include "core/AppState.h"
#include "controls/Button.h"
#include "controls/ListView.h"
#include "controls/Page.h"

namespace korvane {

class TracesPage : public Page {
public:
    explicit TracesPage(AppState& state);

    // The rows of lvIE are addressed by position; these name them.
    enum IeRow { TypedUrls, AutoComplete, Cache, Cookies, DownloadedFiles, Favorites, History };

    ListView lvIE{"lvIE"};
    Bevel Bevel1{"Bevel1"};
    ListView lvDeletedFiles{"lvDeletedFiles"};
    GroupBox gbControlPanel{"gbTracesControlPanel"};
    Label lblDeleting{"lblDeleting"};
    Button btnTempScan{"btnTempScan"};
    Button btnCleanIE{"btnCleanIE"};
    Button btnCheckIE{"btnCheckIE"};
    Button btnUncheckIE{"btnUncheckIE"};

    // Empties the file list, then runs the lister of every checked row of lvIE, rows 0 to 6. While it
    // lists, "&Start Scan" and "&Cleanup" are disabled: pending messages are processed after every
    // directory entry, and a second listing or a cleanup inside the running one would mix the lists.
    void btnTempScanClick();
    // Rows 0 and 1 of lvIE (typed addresses, auto-complete), then deletes the checked files, empties
    // the list and says "The cleaning up has been finished.".
    void btnCleanIEClick();
    // Check or uncheck every row of lvDeletedFiles; lvIE is left alone.
    void btnCheckIEClick();
    void btnUncheckIEClick();

private:
    AppState& state_;
    bool listing_ = false;
};

}  // namespace korvane
