// Where Windows keeps its list of installed programs: the Uninstall key of HKLM in both registry views
// and of HKCU (and HKCU's 32-bit twin where a 32-bit installer made one), and which of their entries
// Windows' own list shows.
#pragma once

#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "registry/KeyName.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

struct UninstallSource {
    HKey root;
    std::string keyPath;
};

// The Uninstall keys in listing order: HKLM, HKLM's 32-bit view, HKCU, HKCU's 32-bit twin.
std::vector<UninstallSource> UninstallSources();

// Appends one entry per sub-key of every source that Windows' list shows: it has a "DisplayName", is
// no system component (SystemComponent = 1) and no update of another entry (a "ParentKeyName").
// Returns false when no source key opens. A "DisplayName" or "UninstallString" that is not text
// raises "Invalid data type for '<name>'" (the entries read before it stay in `entries`); the other
// values read as empty or absent when they are of another type.
bool ReadUninstallEntries(RegistryBackend& registry, std::vector<UninstallEntry>& entries);

// Whether `key` is an entry directly below one of the sources' keys (what a deletion may remove).
bool IsUninstallEntryKey(const KeyName& key);

}  // namespace korvane
