// The choice of the data folder (see DataFolder.h).
#include "core/DataFolder.h"

#include <cstdint>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"

namespace korvane {

std::string FolderOfProgram(const std::string& exePath) {
    const size_t slash = exePath.find_last_of("\\:");
    return slash == std::string::npos ? std::string() : WithBackslash(exePath.substr(0, slash + 1));
}

bool FolderTakesNewFiles(FileSystem& files, const std::string& folder) {
    const std::string probe = WithBackslash(folder) + "korvane-write-test.tmp";
    if (!files.writeFile(probe, "")) return false;
    files.deleteFile(probe);
    return true;
}

DataFolder ChooseDataFolder(FileSystem& files, SystemInfo& system) {
    DataFolder choice;
    choice.programFolder = FolderOfProgram(system.executablePath());
    choice.folder = choice.programFolder;
    if (FolderTakesNewFiles(files, choice.programFolder)) return choice;
    const std::string localAppData = system.localAppDataDirectory();
    if (localAppData.empty()) return choice;
    const std::string own = WithBackslash(localAppData) + "Korvane";
    if (!files.directoryExists(own)) files.createDirectory(own);
    if (!FolderTakesNewFiles(files, own)) return choice;
    choice.folder = WithBackslash(own);
    choice.besideProgram = false;
    return choice;
}

bool RunsAsServiceAccount(SystemInfo& system) {
    const std::string sid = system.accountSid();
    if (sid == "S-1-5-18" || sid == "S-1-5-19" || sid == "S-1-5-20") return true;
    const std::string localAppData = system.localAppDataDirectory();
    return localAppData.empty() || FindNoCase(localAppData, "\\config\\systemprofile") != std::string::npos;
}

std::optional<DataFolder> ChooseServiceDataFolder(FileSystem& files, SystemInfo& system) {
    const std::string programData = system.programDataDirectory();
    if (programData.empty()) return std::nullopt;
    const std::string own = WithBackslash(programData) + "Korvane";
    if (!files.createPrivateFolder(own) || !FolderTakesNewFiles(files, own)) return std::nullopt;
    DataFolder choice;
    choice.programFolder = FolderOfProgram(system.executablePath());
    choice.folder = WithBackslash(own);
    choice.besideProgram = false;
    return choice;
}

std::string WriterLockName(const std::string& folder) {
    // Backslashes are not allowed in a lock's name: the folder (one case) is hashed instead.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : folder) {
        hash ^= static_cast<unsigned char>(AsciiUpper(c));
        hash *= 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = "Korvane.History.";
    for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
    return name;
}

}  // namespace korvane
