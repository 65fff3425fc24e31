// The checksums of a restore point: the SHA-256 of each .reg file, written beside them when the point
// is made and checked before it is imported, so that a file edited or swapped since the backup is
// never handed to the registry editor (which may run elevated). The file holds one line per .reg
// file, "<64 lower-case hex digits>  <file name>", the layout sha256sum reads.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace korvane {

inline constexpr const char* kManifestFileName = "Korvane.sha256";

struct ManifestEntry {
    std::string fileName;  // a name inside the restore point's folder, never a path
    Sha256Digest digest{};
};

std::string FormatManifest(const std::vector<ManifestEntry>& entries);
// Nothing when a line is not of that form, names a path instead of a file of the folder, or names a
// file twice. Line ends may be CRLF or LF; hex digits may be either case.
std::optional<std::vector<ManifestEntry>> ParseManifest(const std::string& text);

// The digest of each root's .reg file in `folder` that exists, in the roots' order; a file that
// exists but cannot be hashed is left out and named in `unreadable`.
std::vector<ManifestEntry> DigestRestorePoint(FileSystem& files, const std::string& folder,
                                              std::vector<std::string>& unreadable);

enum class PointCheck {
    Verified,     // every file is as it was backed up
    NoChecksums,  // made before restore points had checksums: nothing to check against
    Refused,      // a file differs, is missing, was added, or the checksums themselves are damaged
};

struct RestorePointCheck {
    PointCheck result = PointCheck::Refused;
    std::string reason;  // what is wrong, naming the file: "HKEY_CURRENT_USER.reg has changed since
                         // the backup"; empty when verified
};

// Checks the restore point in `folder`: every file its checksums list must be there with the same
// digest, and every root's .reg file that is there must be listed.
RestorePointCheck CheckRestorePoint(FileSystem& files, const std::string& folder);

}  // namespace korvane
