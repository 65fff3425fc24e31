// Appending to the change log and setting a full one aside (see RunLog.h).
#include "console/RunLog.h"

namespace korvane::console {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SetAsideName(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".1";
    return path.substr(0, dot) + ".1" + path.substr(dot);
}

}  // namespace

bool RunLog::Write() {
    if (path_.empty() || lines_.empty()) return true;
    const std::string folder = FolderOf(path_);
    if (!folder.empty() && !files_.directoryExists(folder)) files_.createDirectory(folder);
    std::string text = files_.readFile(path_).value_or("");
    if (!text.empty() && text.size() >= limit_) {
        if (!files_.replaceFile(path_, SetAsideName(path_))) return false;
        text.clear();
    }
    for (const std::string& line : lines_) text += line + "\r\n";
    // Written beside and moved over the log, so a run cut short never leaves half a log.
    const std::string temporary = path_ + ".tmp";
    if (!files_.writeFile(temporary, text) || !files_.replaceFile(temporary, path_)) return false;
    lines_.clear();
    return true;
}

std::string DefaultLogPath(const std::string& dataFolder) {
    return dataFolder + "Logs\\korvanec.log";
}

}  // namespace korvane::console
