// Where an entry of HKEY_CLASSES_ROOT really lives. That root is a view Windows merges from
// HKEY_CURRENT_USER\Software\Classes over HKEY_LOCAL_MACHINE\Software\Classes: the undo history
// records, and the delete routines delete, the key in the hive it is in, so that restoring puts it back
// there and not wherever a write through the view would land (the machine's, for a key that was the
// user's). Entries of every other root are where they say.
#pragma once

#include <string>

#include "platform/RegistryBackend.h"

namespace korvane {

struct RegistryPlace {
    HKey root = 0;
    std::string keyPath;  // begins with "\"
};

// The key `keyPath` of `root`: below HKEY_CLASSES_ROOT the per-user key when it exists, else the
// machine's when that exists, else the path through the view unchanged (nothing to resolve).
RegistryPlace HiveOfKey(RegistryBackend& registry, HKey root, const std::string& keyPath);

// The key that holds the value `valueName` of `keyPath`: below HKEY_CLASSES_ROOT the first of the two
// keys that has the value, else the key as HiveOfKey finds it.
RegistryPlace HiveOfValue(RegistryBackend& registry, HKey root, const std::string& keyPath,
                          const std::string& valueName);

}  // namespace korvane
