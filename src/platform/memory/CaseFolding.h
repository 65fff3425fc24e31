// Name comparison of the in-memory registry and file system. Windows compares names after upper-casing
// them, which also gives the order in which it enumerates sub-keys and folder entries. Only A-Z/a-z are
// folded; other bytes (UTF-8 sequences included) are compared exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"

namespace korvane::memory {

// The key under which a name is kept in the in-memory maps.
inline std::string FoldName(std::string_view name) {
    return UpperAscii(name);
}

// Splits `path` at `separator`; empty parts are kept so that callers can reject them.
inline std::vector<std::string> SplitPath(std::string_view path, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = path.find(separator, start);
        if (end == std::string_view::npos) {
            parts.emplace_back(path.substr(start));
            return parts;
        }
        parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace korvane::memory
