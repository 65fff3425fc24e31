// Which program an uninstall command line starts. Uninstall strings are often unquoted paths with
// blanks ("C:\Program Files\App\uninst.exe /S"). Left to CreateProcess, such a line runs the first
// existing program among "C:\Program.exe", "C:\Program Files\App\uninst.exe", ...; and a bare name
// ("MsiExec.exe /X{...}") is looked for in the program's and the current folder before the system's.
// Korvane may run elevated, so the program is found here, and only where the line means it to be.
#pragma once

#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"

namespace korvane {

struct UninstallCommand {
    std::string program;      // the full path of an existing file: the application name to start
    std::string commandLine;  // the program quoted, then the arguments exactly as the entry wrote them
};

// A quoted program is taken as quoted; an unquoted line is cut at its blanks, and the longest part
// that names an existing .exe file (as written or with ".exe" added, as CreateProcess adds it to a
// name without extension) is the program; ".exe" is not added where the program's path goes on after
// the cut ("C:\Program" of "C:\Program Files\App\u.exe /S": a planted "C:\Program.exe"). A
// name without a folder is looked for in the system folder, then in the Windows folder, and nowhere
// else; a relative path with a folder is not looked for. Nothing when no program is found.
std::optional<UninstallCommand> ResolveUninstallCommand(FileSystem& files, SystemInfo& system,
                                                        const std::string& line);

}  // namespace korvane
