// The filter box of the uninstall list: which entries stay listed while the user types.
#pragma once

#include <string>

#include "uninstall/UninstallEntry.h"

namespace korvane {

// True when `filter` is empty or appears in the display name or the publisher, ignoring the case of
// the letters A to Z.
bool MatchesUninstallFilter(const UninstallEntry& entry, const std::string& filter);

}  // namespace korvane
