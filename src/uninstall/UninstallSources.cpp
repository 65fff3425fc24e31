// Reading the uninstall entries of every source (see UninstallSources.h).
#include "uninstall/UninstallSources.h"

#include "registry/RegistryAccess.h"
#include "registry/RegistryKey.h"
#include "registry/RegistryViews.h"
#include "uninstall/AddRemove.h"

namespace korvane {

namespace {

std::string TextOf(RegistryAccess& registry, const std::string& name) {
    RegValue value;
    if (!registry.ReadRaw(name, value)) return {};
    return ValueText(value).value_or(std::string());
}

std::optional<std::uint32_t> NumberOf(RegistryAccess& registry, const std::string& name) {
    RegValue value;
    if (!registry.ReadRaw(name, value) || value.type != regtype::Dword || value.data.size() != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(value.data[0]) | static_cast<std::uint32_t>(value.data[1]) << 8 |
           static_cast<std::uint32_t>(value.data[2]) << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

// Reads the open key of one entry; false for an entry Windows' list does not show.
bool ReadEntry(RegistryAccess& registry, UninstallEntry& entry) {
    entry.displayName = registry.ReadText("DisplayName");
    entry.uninstallString = registry.ReadText("UninstallString");
    if (entry.displayName.empty()) return false;
    if (NumberOf(registry, "SystemComponent") == 1u) return false;
    if (!TextOf(registry, "ParentKeyName").empty()) return false;
    entry.quietUninstallString = TextOf(registry, "QuietUninstallString");
    entry.publisher = TextOf(registry, "Publisher");
    entry.displayIcon = TextOf(registry, "DisplayIcon");
    entry.displayVersion = TextOf(registry, "DisplayVersion");
    entry.installDate = TextOf(registry, "InstallDate");
    entry.estimatedSize = NumberOf(registry, "EstimatedSize");
    entry.windowsInstaller = NumberOf(registry, "WindowsInstaller") == 1u;
    return true;
}

}  // namespace

std::vector<UninstallSource> UninstallSources() {
    // HKCU's Uninstall key is shared by both views; a 32-bit installer's own twin, where one exists,
    // sits at the path HKLM's 32-bit view has.
    const std::string uninstall32 = Wow64PathOf(roots::LocalMachine, kUninstallKey).value_or(kUninstallKey);
    return {
        {roots::LocalMachine, kUninstallKey},
        {roots::LocalMachine, uninstall32},
        {roots::CurrentUser, kUninstallKey},
        {roots::CurrentUser, uninstall32},
    };
}

bool ReadUninstallEntries(RegistryBackend& backend, std::vector<UninstallEntry>& entries) {
    bool opened = false;
    for (const UninstallSource& source : UninstallSources()) {
        RegistryAccess registry(backend);
        registry.SetRoot(source.root);
        if (!registry.OpenRegKeyReadOnly(source.keyPath)) continue;
        opened = true;
        if (!registry.HasSubkeys()) continue;
        std::vector<std::string> names;
        registry.ListSubkeys(names);
        registry.CloseRegKey();
        for (const std::string& name : names) {
            const std::string keyPath = source.keyPath + "\\" + name;
            if (!registry.OpenRegKeyReadOnly("\\" + keyPath)) continue;
            UninstallEntry entry;
            entry.key = KeyName::Key(source.root, keyPath);
            if (ReadEntry(registry, entry)) entries.push_back(std::move(entry));
            registry.CloseRegKey();
        }
    }
    return opened;
}

bool IsUninstallEntryKey(const KeyName& key) {
    if (key.NamesValue() || key.LastPart().empty()) return false;
    const std::string parent = FoldCase(key.ParentPath());
    for (const UninstallSource& source : UninstallSources())
        if (source.root == key.root && FoldCase(source.keyPath) == parent) return true;
    return false;
}

}  // namespace korvane
