// FindFirstFile's pattern rules for the in-memory file system: "*" and "?" without regard to case,
// "*.*" matching every name (with a dot or without), "name.*" also matching "name", and a pattern
// ending in "." matching only names without an extension.
#pragma once

#include <string>
#include <string_view>

#include "platform/memory/CaseFolding.h"

namespace korvane::memory {

// Plain glob: "*" any run of characters, "?" exactly one.
inline bool MatchesGlob(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

inline bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern == "*" || pattern == "*.*") return true;
    bool hasDot = name.find('.') != std::string_view::npos;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && !hasDot &&
        MatchesGlob(name, pattern.substr(0, pattern.size() - 2))) {
        return true;
    }
    if (!pattern.empty() && pattern.back() == '.') {
        if (hasDot) return false;
        std::size_t end = pattern.find_last_not_of('.');
        return end != std::string_view::npos && MatchesGlob(name, pattern.substr(0, end + 1));
    }
    return MatchesGlob(name, pattern);
}

}  // namespace korvane::memory
