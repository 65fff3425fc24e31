// Where Korvane keeps its files (the undo history, the ignore list, the restore points): beside the
// program when that folder takes new files, as a portable copy run from a USB stick or a downloads
// folder does; otherwise (installed in Program Files and run by a standard user) in the user's
// %LOCALAPPDATA%\Korvane, created when missing.
#pragma once

#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"

namespace korvane {

struct DataFolder {
    std::string folder;         // where the files live, ending in "\"
    std::string programFolder;  // the exe's own folder, ending in "\"
    bool besideProgram = true;  // folder == programFolder
};

// The folder of `exePath`, ending in "\" (empty for a path without one).
std::string FolderOfProgram(const std::string& exePath);

// Whether a new file can be created in `folder`: tried with a probe file that is deleted again.
bool FolderTakesNewFiles(FileSystem& files, const std::string& folder);

// Decides once per start: beside the program when it can be written, else %LOCALAPPDATA%\Korvane
// (created). When neither can be written the program's folder is kept, so the first save says why.
DataFolder ChooseDataFolder(FileSystem& files, SystemInfo& system);

// Whether the program runs as an account without a user profile of its own (SYSTEM, the local and
// network service accounts, or no %LOCALAPPDATA% outside system32\config\systemprofile): a fleet tool's
// run, whose files must not land in the system folder nor beside a program anyone may replace.
bool RunsAsServiceAccount(SystemInfo& system);

// %ProgramData%\Korvane, created (or taken over) readable and writable by Administrators and SYSTEM
// only. Nothing when it cannot be made so: the caller must not write there then.
std::optional<DataFolder> ChooseServiceDataFolder(FileSystem& files, SystemInfo& system);

// The name of the machine-wide lock that one writer of the undo history in `folder` holds, the same
// for the window and the console companion.
std::string WriterLockName(const std::string& folder);

}  // namespace korvane
