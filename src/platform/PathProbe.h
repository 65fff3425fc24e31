// The answer of one existence test: something is there, Windows says nothing is, or Windows could
// not say (a drive that is not there or not ready, a server or share that does not answer or
// refuses, access denied, a time-out, any other error). Only the second answer may make a finding
// that deletes an entry; the third must never be read as "missing".
#pragma once

#include <cstdint>

namespace korvane {

enum class PathState { Present, Missing, CannotTell };

// Why a test answered as it did; the Windows code behind it travels in PathProbe::error.
enum class PathReason {
    Found,
    FileNotFound,       // the folder is there, the name is not (ERROR_FILE_NOT_FOUND)
    PathNotFound,       // a folder on the way is not there (ERROR_PATH_NOT_FOUND)
    InvalidName,        // no file can have this name (ERROR_INVALID_NAME, ERROR_BAD_PATHNAME)
    NoSuchDrive,        // the drive letter names no drive
    DriveNotReady,      // a drive without medium, or one that does not answer (ERROR_NOT_READY)
    ServerUnreachable,  // the server is not found or does not answer (ERROR_BAD_NETPATH, ...)
    ShareUnavailable,   // the server answered, the share is not there (ERROR_BAD_NET_NAME)
    AccessDenied,       // ERROR_ACCESS_DENIED, a refused network logon, ...
    TimedOut,           // no answer within the time given (ERROR_SEM_TIMEOUT, or the caller's budget)
    OtherError,
};

struct PathProbe {
    PathState state = PathState::CannotTell;
    PathReason reason = PathReason::OtherError;
    std::uint32_t attributes = 0;  // of what is there (fileattr::Directory for a folder)
    long error = 0;                // Windows' code when nothing was found or nothing could be said

    static PathProbe Found(std::uint32_t attributes) {
        return {PathState::Present, PathReason::Found, attributes, 0};
    }
    static PathProbe Missing(PathReason reason, long error) { return {PathState::Missing, reason, 0, error}; }
    static PathProbe Unknown(PathReason reason, long error) {
        return {PathState::CannotTell, reason, 0, error};
    }

    bool IsPresent() const { return state == PathState::Present; }
    bool IsFolder() const { return IsPresent() && (attributes & 0x10) != 0; }
    bool IsFile() const { return IsPresent() && (attributes & 0x10) == 0; }
};

// The Windows codes behind the answers, as both file systems report them.
namespace fserror {
inline constexpr long FileNotFound = 2;
inline constexpr long PathNotFound = 3;
inline constexpr long AccessDenied = 5;
inline constexpr long InvalidDrive = 15;
inline constexpr long NotReady = 21;
inline constexpr long BadNetPath = 53;
inline constexpr long BadNetName = 67;
inline constexpr long SemTimeout = 121;
inline constexpr long InvalidName = 123;
}  // namespace fserror

}  // namespace korvane
