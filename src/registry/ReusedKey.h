// One open key kept for the next caller that wants the same one: a repair records and deletes runs of
// values of one key (thousands, in SharedDLLs), and reopening that key for each would cost a
// registry call per value twice over.
#pragma once

#include <cstdint>
#include <string>

#include "platform/RegistryBackend.h"
#include "registry/RegistryKey.h"

namespace korvane {

class ReusedKey {
public:
    ReusedKey(RegistryBackend& registry, std::uint32_t rights) : key_(registry), rights_(rights) {}

    // The key `keyPath` of `root` (leading "\" optional) with the rights given at construction; 0 when
    // it does not open. The key of the previous call is handed out again when it is the same path.
    HKey Open(HKey root, const std::string& keyPath);
    // Forgets the key: for a caller about to delete keys, which could take it away.
    void Close();

private:
    RegistryKey key_;
    std::uint32_t rights_;
    HKey root_ = 0;
    std::string path_;
    bool known_ = false;  // root_ and path_ name the last key asked for (open or not)
};

}  // namespace korvane
