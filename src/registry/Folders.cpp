// The system, Windows and Program Files folders, each with a trailing "\", and ReplaceFirst, the one
// substitution GuessPath makes of a %...% reference.
#include "registry/Folders.h"

#include "platform/PathText.h"
#include "registry/RegistryAccess.h"

namespace korvane {

// An empty answer stays empty: a lone "\" would turn every guessed path into one on the current drive.
std::string SystemFolder(SystemInfo& system) {
    return WithBackslash(system.systemDirectory());
}

std::string WindowsFolder(SystemInfo& system) {
    const std::string systemFolder = SystemFolder(system);
    // The search starts at the fourth character so that the "\" of "C:\" is passed over.
    const std::size_t cut = systemFolder.find('\\', 3);
    return cut == std::string::npos ? systemFolder : systemFolder.substr(0, cut + 1);
}

std::string ProgramFilesFolder(RegistryBackend& registry) {
    RegistryAccess access(registry);
    access.SetRoot(roots::LocalMachine);
    // Read rights suffice to read one value; asking for full access fails for every user who is not
    // an administrator, and an empty folder here makes the scan report programs that are installed.
    if (!access.OpenRegKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion")) return "";
    try {
        return WithBackslash(access.ReadText("ProgramFilesDir"));
    } catch (const RegistryError&) {
        // Data of another type names no folder; the %programfiles% reference then just disappears.
        return "";
    }
}

std::string ReplaceFirst(const std::string& pattern, const std::string& replacement,
                         const std::string& text) {
    if (pattern.empty()) return text;
    const std::size_t at = text.find(pattern);
    if (at == std::string::npos) return text;
    std::string result = text;
    result.replace(at, pattern.size(), replacement);
    return result;
}

}  // namespace korvane
