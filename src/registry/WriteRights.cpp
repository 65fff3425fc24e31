// The rights question after a failed change (see WriteRights.h).
#include "registry/WriteRights.h"

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

bool WriteRefused(RegistryBackend& registry, HKey root, std::string_view keyPath) {
    std::string path = BackendPath(keyPath);
    RegistryKey key(registry);
    while (true) {
        const long result = key.OpenStatus(root, path, access::Write);
        if (result == status::AccessDenied) return true;
        if (result != status::FileNotFound || path.empty()) return false;
        // A key that is not there is created below the nearest one that is: its rights decide.
        const std::size_t cut = path.rfind('\\');
        path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
}

}  // namespace korvane
