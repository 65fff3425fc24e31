// Deleting registry values and whole key trees (see RegistryDelete.h).
#include "undo/RegistryDelete.h"

#include <vector>

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

// Windows refuses to delete a key that still has sub-keys, so the tree goes bottom up. The status is
// that of the key's own deletion.
long DeleteTree(RegistryBackend& registry, HKey parent, const std::string& name) {
    // Most entries a repair takes are single keys: one call, when the registry lets the key go alone.
    if (registry.deleteKey(parent, name) == status::Success) return status::Success;
    {
        RegistryKey key(registry);
        if (key.Open(parent, name, access::AllAccess)) {
            std::vector<std::string> subkeys;
            if (registry.enumSubkeys(key.Handle(), subkeys) == status::Success)
                for (const auto& subkey : subkeys) DeleteTree(registry, key.Handle(), subkey);
        }
    }
    return registry.deleteKey(parent, name);
}

// Gone means not found; a key that exists but refuses to open is still there.
bool KeyIsGone(RegistryBackend& registry, HKey root, const std::string& path) {
    RegistryKey key(registry);
    return key.OpenStatus(root, path, access::Read) == status::FileNotFound;
}

}  // namespace

bool RegKeyExists(RegistryBackend& registry, HKey root, const std::string& path) {
    RegistryKey key(registry);
    return key.Open(root, path, access::Read);
}

bool DeleteRegValue(RegistryBackend& registry, HKey root, const std::string& keyPath,
                    const std::string& valueName) {
    RegistryKey key(registry);
    key.Open(root, keyPath, access::AllAccess);
    return DeleteRegValueIn(registry, key.Handle(), root, keyPath, valueName);
}

bool DeleteRegValueIn(RegistryBackend& registry, HKey key, HKey root, const std::string& keyPath,
                      const std::string& valueName) {
    if (key == 0) return KeyIsGone(registry, root, keyPath);
    long result = registry.deleteValue(key, valueName);
    if (result == status::Success || result == status::FileNotFound) return true;
    RegValue value;
    return registry.queryValue(key, valueName, value) == status::FileNotFound;
}

bool DeleteRegSubKey(RegistryBackend& registry, const ContainerKeys& containers, HKey root,
                     const std::string& parentPath, const std::string& subKeyName) {
    const std::string name = BackendPath(subKeyName);
    if (name.empty()) return false;
    std::string full = BackendPath(parentPath);
    full += full.empty() ? name : "\\" + name;
    if (containers.Holds(root, full)) return false;
    return DeleteRegKeyTree(registry, root, full);
}

bool DeleteRegKeyTree(RegistryBackend& registry, HKey root, const std::string& keyPath) {
    if (keyPath.empty()) return false;  // never a root
    // Reached from the root in one step (a key's own rights decide whether it goes, not its parent's);
    // a key that went needs no second look.
    return DeleteTree(registry, root, keyPath) == status::Success || KeyIsGone(registry, root, keyPath);
}

bool DeleteClsidKey(RegistryBackend& registry, const ContainerKeys& containers, const std::string& classId) {
    return DeleteRegSubKey(registry, containers, roots::ClassesRoot, "\\CLSID", classId);
}

}  // namespace korvane
