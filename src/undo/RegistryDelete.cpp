// Deleting registry values and whole key trees (see RegistryDelete.h).
#include "undo/RegistryDelete.h"

#include <vector>

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

// Windows refuses to delete a key that still has sub-keys, so the tree goes bottom up.
void DeleteTree(RegistryBackend& registry, HKey parent, const std::string& name) {
    {
        RegistryKey key(registry);
        if (key.Open(parent, name, access::AllAccess)) {
            std::vector<std::string> subkeys;
            if (registry.enumSubkeys(key.Handle(), subkeys) == status::Success)
                for (const auto& subkey : subkeys) DeleteTree(registry, key.Handle(), subkey);
        }
    }
    registry.deleteKey(parent, name);
}

// Gone means not found; a key that exists but refuses to open is still there.
bool KeyIsGone(RegistryBackend& registry, HKey root, const std::string& path) {
    RegistryKey key(registry);
    return key.OpenStatus(root, BackendPath(path), access::Read) == status::FileNotFound;
}

}  // namespace

bool RegKeyExists(RegistryBackend& registry, HKey root, const std::string& path) {
    RegistryKey key(registry);
    return key.Open(root, BackendPath(path), access::Read);
}

bool DeleteRegValue(RegistryBackend& registry, HKey root, const std::string& keyPath,
                    const std::string& valueName) {
    RegistryKey key(registry);
    if (!key.Open(root, BackendPath(keyPath), access::AllAccess)) return KeyIsGone(registry, root, keyPath);
    long result = registry.deleteValue(key.Handle(), valueName);
    if (result == status::Success || result == status::FileNotFound) return true;
    RegValue value;
    return registry.queryValue(key.Handle(), valueName, value) == status::FileNotFound;
}

bool DeleteRegSubKey(RegistryBackend& registry, const ContainerKeys& containers, HKey root,
                     const std::string& parentPath, const std::string& subKeyName) {
    if (BackendPath(subKeyName).empty()) return false;
    std::string parent = BackendPath(parentPath);
    std::string full = parent.empty() ? BackendPath(subKeyName) : parent + "\\" + BackendPath(subKeyName);
    if (containers.Holds(root, full)) return false;
    {
        RegistryKey key(registry);
        if (!key.Open(root, parent, access::AllAccess)) return KeyIsGone(registry, root, full);
        DeleteTree(registry, key.Handle(), BackendPath(subKeyName));
    }
    return KeyIsGone(registry, root, full);
}

bool DeleteClsidKey(RegistryBackend& registry, const ContainerKeys& containers, const std::string& classId) {
    return DeleteRegSubKey(registry, containers, roots::ClassesRoot, "\\CLSID", classId);
}

}  // namespace korvane
