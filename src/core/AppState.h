// What every page shares: the platform, the program's two folders and the page control. The main
// window owns it and hands it to each page by reference. The two documents have owners of their
// own (the undo history and the ignore list).
#pragma once

#include <string>

#include "controls/Page.h"
#include "platform/Platform.h"

namespace korvane {

struct AppState {
    explicit AppState(Platform& p) : platform(p) {}

    Platform& platform;
    std::string ProgramFolder;  // where the files live (see core/DataFolder.h); always ends in "\"
    std::string BackupFolder;   // ProgramFolder + "Backup" (+ "\" once the Backup page was shown)
    PageControl MainControl;
};

}  // namespace korvane
