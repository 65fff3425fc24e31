// What the pages of the window share: the platform, the two folders, the two documents and the page
// control. The main window owns it and hands it to each page by reference.
#pragma once

#include <string>

#include "core/XmlDocument.h"
#include "controls/Page.h"
#include "platform/Platform.h"

namespace korvane {

struct AppState {
    explicit AppState(Platform& p) : platform(p) {}

    Platform& platform;
    std::string ProgramFolder;  // always ends in "\"
    std::string BackupFolder;   // ProgramFolder + "Backup" (+ "\" once the Backup page was shown)
    XmlDocument Restore_XMLDocument;
    // Backup.xml holds a history that could not be read at start-up nor set aside: nothing may
    // overwrite it, neither a repair's write-ahead save nor closing.
    bool BackupXmlLocked = false;
    XmlDocument IgnoreXML;
    PageControl MainControl;
};

}  // namespace korvane
