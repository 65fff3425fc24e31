// Whether the registry refuses this process the right to change a key: the question asked after a
// write or a deletion failed, so that a refusal for lack of administrator rights can be told from
// other failures and said as such.
#pragma once

#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

// True when the key `keyPath` below `root`, or the nearest key above it that exists, does not open
// for writing because access is denied. A key that is missing, with the keys above it, is not refused.
bool WriteRefused(RegistryBackend& registry, HKey root, std::string_view keyPath);

}  // namespace korvane
