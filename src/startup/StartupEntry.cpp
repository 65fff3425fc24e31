// Making startup entries and their rows (see StartupEntry.h).
#include "startup/StartupEntry.h"

#include "registry/RootKeys.h"

namespace korvane {

StartupEntry RegistryStartupEntry(StartupKind kind, HKey root, std::string keyPath, std::string name,
                                  std::string command) {
    StartupEntry entry;
    entry.kind = kind;
    entry.root = root;
    entry.rootText = RootKeyAbbreviation(root);
    entry.keyPath = std::move(keyPath);
    entry.name = std::move(name);
    entry.command = std::move(command);
    return entry;
}

ListItem StartupRow(const StartupEntry& entry, const std::string& location, bool checked) {
    ListItem row{entry.name, {entry.command, location}, checked};
    row.tag = entry;
    return row;
}

}  // namespace korvane
