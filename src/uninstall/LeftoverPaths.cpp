// Paths of the leftover scan (see LeftoverPaths.h).
#include "uninstall/LeftoverPaths.h"

#include <array>
#include <utility>

#include "platform/PathText.h"
#include "registry/Environment.h"
#include "registry/Folders.h"
#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Trim(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string ReadText(RegistryBackend& registry, HKey root, const std::string& keyPath,
                     const std::string& name) {
    RegistryKey key(registry);
    if (!key.Open(root, keyPath, access::Read)) return {};
    return key.ReadText(name).value_or(std::string());
}

bool IsDrivePath(const std::string& path) {
    const char drive = static_cast<char>(path.empty() ? 0 : (path[0] | 0x20));
    return path.size() > 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
}

// The end of the program's or library's name in an unquoted line: the first known extension that
// ends a word ("C:\Program Files\App\app.exe /S" ends after ".exe").
std::optional<std::size_t> EndOfFileName(const std::string& line) {
    static constexpr std::array kExtensions{".exe", ".dll", ".com", ".bat", ".cmd", ".ocx",
                                            ".cpl", ".scr", ".msc", ".lnk", ".ico", ".ax"};
    const std::string folded = FoldCase(line);
    std::optional<std::size_t> best;
    for (const char* extension : kExtensions) {
        const std::string ext = extension;
        for (std::size_t at = folded.find(ext); at != std::string::npos; at = folded.find(ext, at + 1)) {
            const std::size_t end = at + ext.size();
            if (end < folded.size() && folded[end] != ' ' && folded[end] != '\t' && folded[end] != ',' &&
                folded[end] != '"')
                continue;
            if (!best || end < *best) best = end;
            break;
        }
    }
    return best;
}

// The first name of a line: the quoted part, or up to the end of the file's name, or up to an
// icon index.
std::pair<std::string, std::string> SplitFirst(const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        if (close == std::string::npos) return {line.substr(1), {}};
        return {line.substr(1, close - 1), line.substr(close + 1)};
    }
    if (const auto end = EndOfFileName(line)) return {line.substr(0, *end), line.substr(*end)};
    return {Trim(line.substr(0, line.find(','))), {}};
}

// The text with its variables expanded as Windows expands them for the user; nothing when a name is
// unknown or a "%" is left over, since such a path cannot be told.
std::optional<std::string> ExpandVariables(const Environment& environment, const std::string& text) {
    if (text.find('%') == std::string::npos) return text;
    const Expansion expanded = environment.Expand(text);
    if (!expanded.Complete() || expanded.text.find('%') != std::string::npos) return std::nullopt;
    return expanded.text;
}

}  // namespace

Environment UserEnvironment(const Platform& platform) {
    return ReadEnvironment(platform.registry, platform.system, RegistryView::Bits64);
}

std::optional<std::string> PathNamedBy(const Environment& environment, const std::string& value) {
    std::string line = Trim(value);
    for (const char* prefix : {"\\\\?\\", "\\??\\"})
        if (line.rfind(prefix, 0) == 0) line.erase(0, 4);
    auto [first, rest] = SplitFirst(line);
    const std::string name = FoldCase(first.substr(first.find_last_of("\\/") + 1));
    if (name == "rundll32.exe" || name == "rundll32") first = SplitFirst(Trim(rest)).first;
    for (char& c : first)
        if (c == '/') c = '\\';
    const auto expanded = ExpandVariables(environment, Trim(first));
    if (!expanded || !IsDrivePath(*expanded)) return std::nullopt;
    return WithoutTrailingSeparators(*expanded);
}

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos) return {};
    return path.substr(0, cut == 2 ? 3 : cut);
}

bool IsSameOrInside(const std::string& path, const std::string& folder) {
    const std::string p = FoldCase(WithoutTrailingSeparators(path));
    const std::string f = FoldCase(WithoutTrailingSeparators(folder));
    if (f.empty() || p.size() < f.size() || p.compare(0, f.size(), f) != 0) return false;
    return p.size() == f.size() || f.back() == '\\' || p[f.size()] == '\\';
}

bool IsInside(const std::string& path, const std::string& folder) {
    return IsSameOrInside(path, folder) &&
           FoldCase(WithoutTrailingSeparators(path)) != FoldCase(WithoutTrailingSeparators(folder));
}

std::vector<std::string> SharedFolders(const Platform& platform) {
    RegistryBackend& registry = platform.registry;
    SystemInfo& system = platform.system;
    std::vector<std::string> folders{
        WithoutTrailingSeparators(WindowsFolder(system)),
        WithoutTrailingSeparators(system.tempDirectory()),
        WithoutTrailingSeparators(ProgramFilesFolder(registry)),
        system.programFilesX86Directory(),
        system.localAppDataDirectory(),
    };
    if (!system.localAppDataDirectory().empty())
        folders.push_back(system.localAppDataDirectory() + "\\Programs");
    for (const char* name :
         {"ProgramFilesDir (x86)", "CommonFilesDir", "CommonFilesDir (x86)", "CommonW6432Dir"})
        folders.push_back(ReadText(registry, roots::LocalMachine, kCurrentVersionKey, name));
    for (const char* name : {"AppData", "Local AppData", "Programs", "Start Menu", "Startup", "Desktop",
                             "Personal", "Favorites"})
        folders.push_back(ReadText(registry, roots::CurrentUser, kShellFoldersKey, name));
    for (const char* name : {"Common AppData", "Common Programs", "Common Start Menu", "Common Startup",
                             "Common Desktop", "Common Documents"})
        folders.push_back(ReadText(registry, roots::LocalMachine, kShellFoldersKey, name));
    std::vector<std::string> out;
    for (std::string& folder : folders) out.push_back(WithoutTrailingSeparators(std::move(folder)));
    return out;
}

bool MayBeInstallFolder(const std::string& folder, const std::vector<std::string>& shared) {
    if (!IsDrivePath(folder)) return false;
    for (std::size_t i = 0; i < shared.size(); ++i) {
        if (shared[i].empty()) continue;
        if (IsSameOrInside(shared[i], folder)) return false;  // the folder itself, or one that holds it
        if (i < 2 && IsSameOrInside(folder, shared[i])) return false;
    }
    return true;
}

}  // namespace korvane
