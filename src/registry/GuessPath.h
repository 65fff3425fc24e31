// GuessPath turns registry data (a command line, a resource reference, a bare name) into the path
// of the file it refers to.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "registry/Environment.h"

namespace korvane {

struct PathContext {
    FileSystem& files;
    std::string systemFolder;        // with trailing "\"
    std::string windowsFolder;       // with trailing "\"
    std::string programFilesFolder;  // with trailing "\" or empty
    // Every variable of the entry's environment; without one, only %SystemRoot% and %ProgramFiles%
    // are known.
    const Environment* environment = nullptr;
};

// Reads the three folders once, for a run of many GuessPath calls.
PathContext MakePathContext(const Platform& platform);

std::string GuessPath(const std::string& text, const PathContext& context);

}  // namespace korvane
