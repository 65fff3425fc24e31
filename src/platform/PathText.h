// File paths as text, with Windows' rules: "\" and "/" both separate folders, a colon ends a drive
// part ("C:name" is a file on drive C), and nothing here asks the file system anything.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

constexpr bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The folder with one "\" at its end. An empty text stays empty: it names no folder, and a lone "\"
// would turn the file names joined to it into names at the root of the current drive.
inline std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// The folder without the separators at its end, except the one of a drive's root ("C:\\" stays).
inline std::string WithoutTrailingSeparators(std::string folder) {
    while (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();
    return folder;
}

// Whether the path names one place whatever the current drive and folder: "C:\x" or "C:/x", or a UNC
// or device path ("\\server\share", "\\?\C:\x"). "C:" and "C:x" depend on drive C's current folder,
// "\x" on the current drive: neither is absolute.
constexpr bool IsAbsolutePath(std::string_view path) {
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) return true;
    const bool letter =
        path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path[1] == ':' && IsPathSeparator(path[2]);
}

// Whether the path is read from the current folder alone, so that joining it to another folder keeps
// its meaning: no drive part ("C:x" is on drive C) and no leading separator ("\\x" is on the current drive).
constexpr bool IsRelativeToCurrentFolder(std::string_view path) {
    const bool drivePart = path.size() >= 2 && path[1] == ':';
    return !drivePart && (path.empty() || !IsPathSeparator(path[0]));
}

// The file name: the text after the last separator or colon; the whole text when there is none.
constexpr std::string_view FileNameOf(std::string_view path) {
    const std::size_t at = path.find_last_of("\\/:");
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

// The extension with its dot, from the last "." of the file name; empty when the name has no dot (a dot
// in a folder's name is no extension). A name ending in "." gives "." alone.
constexpr std::string_view ExtensionOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

}  // namespace korvane
