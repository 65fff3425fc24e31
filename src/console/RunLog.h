// The log of korvanec's changes: one line per entry deleted or written back, with the undo history's
// entry it rests on, appended to a file that is set aside (as <name>.1.log, replacing the one before)
// once it passes a size limit, so that a machine running korvanec every hour never fills its disk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace korvane::console {

inline constexpr std::size_t kLogLimit = 1024 * 1024;

class RunLog {
public:
    // `path` empty: nothing is logged.
    RunLog(FileSystem& files, std::string path, std::size_t limit = kLogLimit)
        : files_(files), path_(std::move(path)), limit_(limit) {}

    void Add(const std::string& line) { lines_.push_back(line); }
    // Appends the lines added; false when the file could not be written (the lines stay).
    bool Write();
    const std::string& Path() const { return path_; }

private:
    FileSystem& files_;
    std::string path_;
    std::size_t limit_;
    std::vector<std::string> lines_;
};

// "<folder>\Logs\korvanec.log", the folder ending in "\".
std::string DefaultLogPath(const std::string& dataFolder);

}  // namespace korvane::console
