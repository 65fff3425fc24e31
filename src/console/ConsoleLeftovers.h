// korvanec's "uninstall remove" and "uninstall leftovers": one program's uninstall, waited for with
// every process it starts, and what it left behind, listed with the evidence of each trace and,
// with --clean, removed as the window removes it (registry through the undo history, files to the
// Recycle Bin). Only traces with evidence are removed; a match by name never is.
#pragma once

#include <ostream>
#include <string>

#include "console/TableOutput.h"
#include "platform/Platform.h"
#include "undo/UndoHistory.h"

namespace korvane::console {

struct LeftoverCommand {
    std::string key;         // the entry's Key Name, as "uninstall list" shows it
    bool uninstall = false;  // run the uninstaller first
    bool quiet = false;
    bool clean = false;
    Format format = Format::Json;
};

// Exit code 0, or 2 when the entry is not listed, its uninstaller did not run to its end, or a trace
// could not be removed.
int RunLeftoverCommand(Platform& platform, UndoHistory& history, const LeftoverCommand& command,
                       std::ostream& out, std::ostream& err);

}  // namespace korvane::console
