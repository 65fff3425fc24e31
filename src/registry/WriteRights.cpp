// The rights question after a failed change (see WriteRights.h).
#include "registry/WriteRights.h"

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

bool WriteRefusedIn(RegistryBackend& registry, HKey root, std::string path) {
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

}  // namespace

bool WriteRefused(RegistryBackend& registry, HKey root, std::string_view keyPath) {
    const std::string path = BackendPath(keyPath);
    if (root != roots::ClassesRoot) return WriteRefusedIn(registry, root, path);
    // HKEY_CLASSES_ROOT is a view of two hives: a change goes to the user's classes where the key is
    // there, otherwise to the machine's, as Windows does it.
    const std::string below = path.empty() ? std::string() : "\\" + path;
    RegistryKey user(registry);
    if (user.Open(roots::CurrentUser, "Software\\Classes" + below, access::Read))
        return WriteRefusedIn(registry, roots::CurrentUser, "Software\\Classes" + below);
    return WriteRefusedIn(registry, roots::LocalMachine, "SOFTWARE\\Classes" + below);
}

}  // namespace korvane
