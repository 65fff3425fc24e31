// Listing the files of the Startup folders (StartupFolders.h).
#include "startup/StartupFolders.h"

#include <vector>

#include "platform/PathText.h"
#include "registry/KeyName.h"
#include "registry/RegistryKey.h"
#include "startup/StartupEntry.h"

namespace korvane {

std::string StartupFolderPath(RegistryBackend& registry, const Environment& environment, HKey root,
                              const std::string& valueName) {
    std::string folder;
    RegistryKey key(registry);
    if (key.OpenReadOnly(root, kUserShellFoldersKey)) {
        const std::string named = key.ReadText(valueName).value_or(std::string());
        if (const Expansion expanded = environment.Expand(named); expanded.Complete()) folder = expanded.text;
    }
    if (folder.empty() && key.OpenReadOnly(root, kShellFoldersKey))
        folder = key.ReadText(valueName).value_or(std::string());
    return WithoutTrailingSeparators(folder);
}

void ListStartupFolder(RegistryBackend& registry, FileSystem& files, const Environment& environment,
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
