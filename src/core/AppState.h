// What every page shares: the platform, the program's two folders and the page control. The main
// window owns it and hands it to each page by reference. The two documents have owners of their
// own (the undo history and the ignore list).
#pragma once

#include <functional>
#include <string>

#include "controls/Page.h"
#include "platform/Platform.h"

namespace korvane {

struct AppState {
    explicit AppState(Platform& p) : platform(p) {}

    Platform& platform;
    std::string ProgramFolder;  // always ends in "\"
    std::string BackupFolder;   // ProgramFolder + "Backup" (+ "\" once the Backup page was shown)
    PageControl MainControl;
    // Starts Korvane again as administrator on the page of that name (the main form sets it); true
    // when it started, and this instance is then closing.
    std::function<bool(const std::string& pageName)> restartAsAdministrator;
};

}  // namespace korvane
