// Paths as the leftover scan compares them: which file a registry value names, whether a path lies
// inside a folder, and the folders no program owns (the system's, Program Files itself, the user's
// profile folders), which can never stand as a program's install folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "registry/Environment.h"

namespace korvane {

// The file a registry value names: a quoted program, else an unquoted path up to the end of its
// program's or library's name (".exe", ".dll", ...), else the text before an icon index (",0");
// for rundll32 the library it loads. Variables are expanded with `environment` (the user's, as Windows
// expands them for a 64-bit program: UserEnvironment). Nothing for what is no absolute path on a drive
// (a bare name, an unknown variable, a URL): what cannot be told is never taken as evidence.
std::optional<std::string> PathNamedBy(const Environment& environment, const std::string& value);

// The environment PathNamedBy expands with; read once per search, not per value.
Environment UserEnvironment(const Platform& platform);

// The folder of a full file path, without its trailing "\"; empty when the path has none.
std::string FolderOf(const std::string& path);

// Whether `path` is `folder` itself or lies below it; letter case does not matter and trailing "\"s
// are ignored.
bool IsSameOrInside(const std::string& path, const std::string& folder);
bool IsInside(const std::string& path, const std::string& folder);

// The folders that belong to Windows or to everyone rather than to one program, each without a
// trailing "\": the Windows folder, Program Files (both) and their Common Files, the temporary
// folder, ProgramData, the profile's application-data folders, the Start menu and the desktops.
std::vector<std::string> SharedFolders(const Platform& platform);

// Whether `folder` may be taken as a program's install folder: an absolute folder on a drive that is
// none of `shared`, holds none of them and lies neither in the Windows folder nor in the temporary
// folder (the first two of `shared`).
bool MayBeInstallFolder(const std::string& folder, const std::vector<std::string>& shared);

}  // namespace korvane
