// The choice of the data folder (see DataFolder.h).
#include "core/DataFolder.h"

namespace korvane {

namespace {

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace

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

}  // namespace korvane
