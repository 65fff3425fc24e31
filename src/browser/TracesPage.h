// The IE Traces Cleaning page: the seven fixed trace actions, the list of files found and the four
// buttons. This file owns the page's controls, the fixed rows and the layout; listing and cleaning
// are added with the traces cleaner.
#pragma once

#include "app/AppState.h"
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

private:
    AppState& state_;
};

}  // namespace korvane
