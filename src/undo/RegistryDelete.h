// The delete routines that repair and plug-in removal share. They never create a key and report
// nothing to the user; the result only says whether the entry is gone afterwards, so that a caller
// that recorded several entries ahead can tell which deletions really happened.
#pragma once

#include <string>

#include "platform/RegistryBackend.h"
#include "undo/ContainerKeys.h"

namespace korvane {

// Whether the key `path` (below `root`, leading "\" optional) exists and can be opened for reading.
bool RegKeyExists(RegistryBackend& registry, HKey root, const std::string& path);

// Opens `keyPath` (never creating it) and deletes the value `valueName` ("" is the default value).
// True when the value is not there afterwards (also when the key does not exist).
bool DeleteRegValue(RegistryBackend& registry, HKey root, const std::string& keyPath,
                    const std::string& valueName);
// The same with the key `keyPath` of `root` already opened with all rights as `key` (0: it did not
// open), for a caller deleting many values of one key.
bool DeleteRegValueIn(RegistryBackend& registry, HKey key, HKey root, const std::string& keyPath,
                      const std::string& valueName);

// Deletes the sub-key `subKeyName` of `parentPath` with every key and value below it, never creating a
// key. Does nothing and returns false when `subKeyName` is empty (it must never take the parent
// instead) or when `containers` holds the key. True when the sub-key is gone afterwards, also when it
// was not there; a key that could be deleted only in part gives false.
bool DeleteRegSubKey(RegistryBackend& registry, const ContainerKeys& containers, HKey root,
                     const std::string& parentPath, const std::string& subKeyName);

// DeleteRegSubKey for a caller that ruled out the container keys when it planned the deletion (a
// batch): `keyPath` is the whole path below `root`, without a leading "\".
bool DeleteRegKeyTree(RegistryBackend& registry, HKey root, const std::string& keyPath);

// DeleteRegSubKey on HKEY_CLASSES_ROOT "\CLSID" with the class identifier as sub-key name.
bool DeleteClsidKey(RegistryBackend& registry, const ContainerKeys& containers, const std::string& classId);

}  // namespace korvane
