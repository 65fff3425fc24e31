// Deletions that a caller has planned but not yet carried out. A caller that records several entries
// before deleting any of them (to save the history first) hands this to the recording so that each
// record sees the registry as it will be when its own deletion comes: what an earlier planned deletion
// takes away is not there. A repair asks this for every key and value it records, so the lookups make
// no allocation per step.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/RegistryBackend.h"

namespace korvane {

class PendingDeletions {
public:
    // Both return the index of the planned deletion.
    int AddKey(HKey root, const std::string& keyPath);
    int AddValue(HKey root, const std::string& keyPath, const std::string& valueName);
    // The planned deletion that takes the key away (its own or one of a key above it), or -1.
    int KeyTakenBy(HKey root, const std::string& keyPath) const;
    // The planned deletion that takes the value away (of the value or of its key), or -1.
    int ValueTakenBy(HKey root, const std::string& keyPath, const std::string& valueName) const;
    // The planned deletion of the value itself, or -1: for a value of a key already known not taken.
    int ValueItselfTakenBy(HKey root, const std::string& keyPath, const std::string& valueName) const;
    // Whether a deletion of some value of the key is planned (so that a key's values need a look each).
    bool HasValuesIn(HKey root, const std::string& keyPath) const;
    int Count() const { return count_; }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using Index = std::unordered_map<std::string, int, Hash, std::equal_to<>>;

    Index keys_;    // root + folded path -> first planned index
    Index values_;  // root + folded path + "\0" + folded name -> first planned index
    std::unordered_set<std::string, Hash, std::equal_to<>> keysWithValues_;  // root + folded path
    int shallowest_ = 0;  // the fewest backslashes in a planned key's path
    int count_ = 0;
};

}  // namespace korvane
