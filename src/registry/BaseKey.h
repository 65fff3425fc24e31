// A key that a list of entries is read from (the scan groups' tables, the plug-in kinds, the Uninstall
// keys): the scan walks it, and the undo history never lets a deletion take it whole.
#pragma once

#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

// The path may carry leading and trailing backslashes.
struct BaseKey {
    HKey root;
    std::string_view path;
};

}  // namespace korvane
