// The file and process work behind the restore points: which entries of the Backup folder are
// restore points, how a restore point's files are deleted, and how the registry editor is run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace korvane {

// `folder` and `name` joined by exactly one backslash.
std::string JoinPath(const std::string& folder, const std::string& name);

// A restore point is a folder whose attributes are exactly "directory" (no read-only, hidden,
// archive, ...), other than "." and "..".
bool IsRestorePointEntry(const FileEntry& entry);
// The restore points of `backupFolder` in the file system's order; none when it cannot be read.
std::vector<std::string> RestorePointFolders(FileSystem& files, const std::string& backupFolder);

// Deletes the files of `folder` and of the restore-point-like folders below it, and removes those
// emptied sub-folders. A file that cannot be deleted is reported as " Delete error: " and its name;
// the rest goes on. `folder` itself is left for the caller to remove.
void DeleteFolderFiles(FileSystem& files, Dialogs& dialogs, const std::string& folder);

// Runs `program` hidden with `commandLine` (its arguments, starting with a blank; the program is
// not repeated in it) in `workingFolder` and waits for its end. Returns its exit code, or nothing
// when it could not be started.
std::optional<std::uint32_t> RunProgramAndWait(Processes& processes, const std::string& program,
                                               const std::string& commandLine,
                                               const std::string& workingFolder);

// The registry editor's arguments for one root: export to "<root>.reg", and silent import of it.
std::string ExportArguments(const std::string& root);
std::string ImportArguments(const std::string& root);
// "<root>.reg": the file of one root inside a restore point.
std::string RootFileName(const std::string& root);

}  // namespace korvane
