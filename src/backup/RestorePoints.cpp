// Listing and deleting restore-point folders, and the registry editor's command lines and runs.
#include "backup/RestorePoints.h"

#include "platform/PathText.h"

namespace korvane {

std::string JoinPath(const std::string& folder, const std::string& name) {
    return WithBackslash(folder) + name;
}

bool IsRestorePointEntry(const FileEntry& entry) {
    return entry.attributes == fileattr::Directory && entry.name != "." && entry.name != "..";
}

std::vector<std::string> RestorePointFolders(FileSystem& files, const std::string& backupFolder) {
    std::vector<FileEntry> entries;
    std::vector<std::string> names;
    if (!files.findFiles(JoinPath(backupFolder, "*.*"), entries)) return names;
    for (const FileEntry& entry : entries)
        if (IsRestorePointEntry(entry)) names.push_back(entry.name);
    return names;
}

void DeleteFolderFiles(FileSystem& files, Dialogs& dialogs, const std::string& folder) {
    std::vector<FileEntry> entries;
    if (!files.findFiles(JoinPath(folder, "*.*"), entries)) return;
    for (const FileEntry& entry : entries) {
        // "." and ".." are this folder and its parent: never something to delete.
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = JoinPath(folder, entry.name);
        if (IsRestorePointEntry(entry)) {
            DeleteFolderFiles(files, dialogs, path);
            // An emptied sub-folder would otherwise keep the restore point's folder from going.
            files.removeDirectory(path);
        } else if (!files.deleteFile(path)) {
            dialogs.showMessage(" Delete error: " + entry.name);
        }
    }
}

std::optional<std::uint32_t> RunProgramAndWait(Processes& processes, const std::string& program,
                                               const std::string& commandLine,
                                               const std::string& workingFolder) {
    // The program file is quoted: the Windows folder may hold blanks.
    return processes.runHiddenAndWait("\"" + program + "\"" + commandLine, workingFolder);
}

std::string RootFileName(const std::string& root) {
    return root + ".reg";
}

std::string ExportArguments(const std::string& root) {
    return " /e \"" + RootFileName(root) + "\" \"" + root + "\"";
}

// " /s " and the file: the registry editor knows no "/i" switch and would refuse the whole line.
std::string ImportArguments(const std::string& root) {
    return " /s " + RootFileName(root);
}

}  // namespace korvane
