// Listing the files of the Startup folders (StartupFolders.h).
#include "startup/StartupFolders.h"

#include <vector>

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"
#include "startup/StartupEntry.h"

namespace korvane {

std::string StartupFolderPath(RegistryBackend& registry, const UserEnvironment& environment, HKey root,
                              const std::string& valueName) {
    std::string folder;
    RegistryKey key(registry);
    if (key.OpenReadOnly(root, kUserShellFoldersKey)) {
        const std::string named = key.ReadText(valueName).value_or(std::string());
        if (environment.FullyExpands(named)) folder = environment.Expand(named);
    }
    if (folder.empty() && key.OpenReadOnly(root, kShellFoldersKey))
        folder = key.ReadText(valueName).value_or(std::string());
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

void ListStartupFolder(RegistryBackend& registry, FileSystem& files, const UserEnvironment& environment,
                       ListView& list, HKey root, const std::string& valueName, bool useApproved) {
    const std::string folder = StartupFolderPath(registry, environment, root, valueName);
    if (folder.empty()) return;
    std::vector<FileEntry> entries;
    if (!files.findFiles(folder + "\\*", entries)) return;
    const std::string separator = folder.back() == '\\' ? "" : "\\";
    for (const FileEntry& entry : entries) {
        if ((entry.attributes & fileattr::Directory) || FoldCase(entry.name) == "desktop.ini") continue;
        StartupEntry file = RegistryStartupEntry(StartupKind::FolderFile, root, folder, entry.name,
                                                 folder + separator + entry.name);
        file.approved = ApprovedPlace{root, approved::StartupFolder, entry.name};
        bool checked = true;
        if (useApproved) {
            const auto state = ReadApprovedState(registry, *file.approved);
            checked = !(state && state->disabled);
        }
        list.Add(StartupRow(file, folder, checked));
    }
}

}  // namespace korvane
