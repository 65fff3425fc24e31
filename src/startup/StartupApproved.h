// How Windows 8 and later enable and disable a startup entry without moving it: Explorer keeps one
// REG_BINARY record per entry below "...\Explorer\StartupApproved" (the keys "Run", "Run32" and
// "StartupFolder" of HKLM and HKCU), named after the entry. Its first byte tells the state (2 or 6
// enabled, 3 or 7 disabled); bytes 4 to 11 hold the FILETIME of when it was disabled. Task Manager
// writes these records; the entry itself stays in its Run key or Startup folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"

namespace korvane {

inline constexpr const char* kStartupApprovedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";

// The keys below kStartupApprovedKey, one per kind of startup source.
namespace approved {
inline constexpr const char* Run = "Run";      // the Run key of the 64-bit view (or of 32-bit Windows)
inline constexpr const char* Run32 = "Run32";  // the Run key of the 32-bit view
inline constexpr const char* StartupFolder = "StartupFolder";
}  // namespace approved

// Where one entry's record lives: root, key below kStartupApprovedKey, value name (the Run value's
// name, or the file's name in a Startup folder).
struct ApprovedPlace {
    HKey root = 0;
    std::string list;
    std::string name;
    bool operator==(const ApprovedPlace&) const = default;
};

struct ApprovedState {
    bool disabled = false;
    std::uint64_t disabledAt = 0;  // FILETIME (UTC) of the disabling; 0 when enabled or not told
};

// Windows 8 (NT 6.2) and later: Apply writes records instead of parking entries.
bool KeepsStartupApproved(const std::optional<VersionRecord>& version);

// The record's place for a value of the Run key `keyPath` of `root` (either view); nothing for any
// other key, which Windows keeps no records for.
std::optional<ApprovedPlace> ApprovedPlaceOfRunValue(HKey root, const std::string& keyPath,
                                                     const std::string& name);

// What a record says. Nothing for data that is no record (not REG_BINARY, or empty). Only the first
// byte 3 or 7 means disabled; the time is read when the record holds all 12 bytes.
std::optional<ApprovedState> ParseApprovedRecord(const RegValue& value);
// The 12 bytes Task Manager writes: 2 and zeros when enabling, 3 and the time when disabling.
std::vector<std::uint8_t> ApprovedRecord(bool enabled, std::uint64_t disabledAt);

// The record at `place`; nothing when it is missing or is no record.
std::optional<ApprovedState> ReadApprovedState(RegistryBackend& registry, const ApprovedPlace& place);
// Writes the record (creating its key); false when the key cannot be opened or created. A refused
// write raises "Failed to set data for '<name>'".
bool WriteApprovedState(RegistryBackend& registry, const ApprovedPlace& place, bool enabled,
                        std::uint64_t now);

}  // namespace korvane
