// What every page shares: the platform, the program's two folders, the page control and the date
// format. The main window owns it and hands it to each page by reference. The two documents have
// owners of their own (the undo history and the ignore list).
#pragma once

#include <functional>
#include <string>

#include "controls/Page.h"
#include "core/DateFormat.h"
#include "core/SignatureCache.h"
#include "platform/Platform.h"
#include "registry/WindowsVersion.h"

namespace korvane {

struct AppState {
    explicit AppState(Platform& p) : platform(p), signatureCache(p.signatures), windowsVersion(p.system) {}

    Platform& platform;
    std::string ProgramFolder;  // where the files live (see core/DataFolder.h); always ends in "\"
    std::string BackupFolder;   // ProgramFolder + "Backup" (+ "\" once the Backup page was shown)
    PageControl MainControl;
    DateFormat dateFormat;  // how the pages show dates; set when the main window is created
    // Starts Korvane again as administrator on the page of that name (the main form sets it); true
    // when it started, and this instance is then closing.
    std::function<bool(const std::string& pageName)> restartAsAdministrator;
    // The signature answers of this session, shared by the pages that show a program's publisher.
    SignatureCache signatureCache;
    // The Windows this state runs on, asked once (the scan and the startup manager read its class).
    WindowsVersion windowsVersion;
};

}  // namespace korvane
