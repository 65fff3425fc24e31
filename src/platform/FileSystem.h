// Files and folders as the program sees them. Paths are UTF-8 Windows paths ("C:\dir\file");
// relative paths are taken against the current folder. Implementations never throw.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PathProbe.h"

namespace korvane {

namespace fileattr {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
}  // namespace fileattr

// The SHA-256 of a file's contents.
using Sha256Digest = std::array<std::uint8_t, 32>;
// While it lives, paths on the thread that asked for it mean what they mean to a 64-bit program.
class NativePathsScope {
public:
    virtual ~NativePathsScope() = default;
};

struct FileEntry {
    std::string name;  // as stored, without folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True for an existing file that is not a folder.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool directoryExists(const std::string& path) = 0;
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
    // Whether something is at `path`, nothing is, or the file system could not say, and why (see
    // PathProbe.h). A path on a server that does not answer can take Windows' own network time-out
    // (tens of seconds): a caller that must not wait that long asks from a thread of its own.
    virtual PathProbe probePath(const std::string& path) = 0;
    // Turns off, for the calling thread only and until the scope goes, what a 32-bit program on 64-bit
    // Windows otherwise gets: System32 turned into SysWOW64 behind its back. Elsewhere it does nothing.
    virtual std::unique_ptr<NativePathsScope> nativePathsOnThisThread() = 0;
    // Like FindFirstFile/FindNextFile on `pattern` ("C:\dir\*.*", "C:\dir\*.txt"): the entries of that
    // folder whose names match, "." and ".." included for a folder other than a drive's root, in the
    // file system's order. Returns false when the folder cannot be read.
    virtual bool findFiles(const std::string& pattern, std::vector<FileEntry>& out) = 0;
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool removeDirectory(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    virtual std::string currentDirectory() = 0;  // without trailing backslash except at a drive root
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Creates or truncates `path`, writes `data` and flushes it to the disk before returning.
    virtual bool writeFile(const std::string& path, const std::string& data) = 0;
    // Moves `from` onto `to`, replacing `to` if it exists, in one step.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    // The SHA-256 of the file's contents, computed by the system's cryptography (never by hand-written
    // hashing). Nothing for a missing file, a folder, or a file that cannot be read to its end.
    virtual std::optional<Sha256Digest> sha256(const std::string& path) = 0;
    // Moves the file or the folder (with everything in it) to the Recycle Bin, where the user can
    // bring it back; false when it is still where it was. Where there is no Recycle Bin nothing moves:
    // deleting instead would lose what the user was promised to get back.
    virtual bool moveToRecycleBin(const std::string& path) { return false; }
    // Creates `folder` readable and writable by Administrators and SYSTEM only (the folder above must
    // exist); false when it cannot be created. A folder that exists already is left as it is.
    virtual bool createPrivateFolder(const std::string& folder) {
        return directoryExists(folder) || createDirectory(folder);
    }
};

}  // namespace korvane
