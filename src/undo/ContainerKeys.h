// The keys the program must never delete whole: a root, a key directly below a root, the base keys
// the scan groups and the plug-in list walk, and every key above one of those. Deleting one would
// take a whole group of entries (or far more) with it, so repair and plug-in removal refuse.
#pragma once

#include <string>

#include "platform/RegistryBackend.h"

namespace korvane {

// `keyPath` is below `root`, with or without leading and trailing backslashes; letter case does
// not matter.
bool IsContainerKey(HKey root, const std::string& keyPath);

}  // namespace korvane
