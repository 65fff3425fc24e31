// Resolving HKEY_CLASSES_ROOT to the hive an entry is in (see ClassesRootHive.h).
#include "undo/ClassesRootHive.h"

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

constexpr HKey kMergeOrder[] = {roots::CurrentUser, roots::LocalMachine};

std::string ClassesPath(const std::string& keyPath) {
    const std::string path = BackendPath(keyPath);
    return "\\Software\\Classes" + (path.empty() ? std::string() : "\\" + path);
}

bool Opens(RegistryBackend& registry, HKey root, const std::string& keyPath) {
    RegistryKey key(registry);
    return key.Open(root, keyPath, access::Read);
}

bool HoldsValue(RegistryBackend& registry, HKey root, const std::string& keyPath, const std::string& name) {
    RegistryKey key(registry);
    RegValue value;
    return key.Open(root, keyPath, access::Read) &&
           registry.queryValue(key.Handle(), name, value) == status::Success;
}

}  // namespace

RegistryPlace HiveOfKey(RegistryBackend& registry, HKey root, const std::string& keyPath) {
    if (root != roots::ClassesRoot) return {root, keyPath};
    const std::string inHive = ClassesPath(keyPath);
    for (HKey hive : kMergeOrder)
        if (Opens(registry, hive, inHive)) return {hive, inHive};
    return {root, keyPath};
}

RegistryPlace HiveOfValue(RegistryBackend& registry, HKey root, const std::string& keyPath,
                          const std::string& valueName) {
    if (root != roots::ClassesRoot) return {root, keyPath};
    const std::string inHive = ClassesPath(keyPath);
    for (HKey hive : kMergeOrder)
        if (HoldsValue(registry, hive, inHive, valueName)) return {hive, inHive};
    return HiveOfKey(registry, root, keyPath);
}

}  // namespace korvane
