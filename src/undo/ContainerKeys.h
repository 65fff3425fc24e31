// The keys the program must never delete whole: a root, a key directly below a root, the base keys
// that the lists of entries are read from (each source of entries adds its own), and every key above
// one of those. Deleting one would take a whole group of entries (or far more) with it, so repair and
// plug-in removal refuse.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/RegistryBackend.h"
#include "registry/BaseKey.h"

namespace korvane {

class ContainerKeys {
public:
    // A base below HKEY_CLASSES_ROOT also guards the two keys that view merges, HKEY_LOCAL_MACHINE
    // and HKEY_CURRENT_USER "Software\Classes\<path>". Adding a base twice changes nothing.
    void Add(BaseKey base);
    void Add(std::span<const BaseKey> bases);

    // `keyPath` is below `root`, with or without leading and trailing backslashes; letter case does
    // not matter.
    bool Holds(HKey root, const std::string& keyPath) const;

private:
    void AddFolded(HKey root, std::string folded);

    // Root number, "|", path folded to lower case without outer backslashes: every base key and
    // every key above one.
    std::unordered_set<std::string> held_;
};

}  // namespace korvane
