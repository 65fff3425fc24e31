// The Startup folders: Windows runs every file in the user's and in the common Startup folder at
// log-on. They are named by the shell-folder values of HKCU and HKLM (User Shell Folders, where a
// moved folder is written, else the older Shell Folders); each file is one startup row.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "registry/Environment.h"

namespace korvane {

// Under HKCU and HKLM: the shell folders as Windows reads them (often with %…% references), and the
// expanded copies Explorer keeps for older programs.
inline constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The values there that name the two Startup folders.
namespace startupfolder {
inline constexpr const char* User = "Startup";           // under HKCU
inline constexpr const char* Common = "Common Startup";  // under HKLM
}  // namespace startupfolder

// The folder named by `valueName` of root's kUserShellFoldersKey, expanded with the user's
// environment; when that value is missing, not text or names a variable the user lacks, the one of
// kShellFoldersKey. Without a trailing "\"; empty when neither names a folder.
std::string StartupFolderPath(RegistryBackend& registry, const Environment& environment, HKey root,
                              const std::string& valueName);

// One row per file of the folder (folders and the shell's desktop.ini are not run, so not listed), in
// the file system's order: the file's name, its full path, the folder; checked unless `useApproved`
// and its StartupApproved\StartupFolder record of `root` says disabled. Each row carries its
// StartupEntry with its StartupApproved place. A missing folder adds nothing.
void ListStartupFolder(RegistryBackend& registry, FileSystem& files, const Environment& environment,
                       ListView& list, HKey root, const std::string& valueName, bool useApproved);

}  // namespace korvane
