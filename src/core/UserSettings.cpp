// The per-user settings (UserSettings.h).
#include "core/UserSettings.h"

#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"

namespace korvane {

bool ReadSettingFlag(RegistryBackend& registry, const std::string& name, bool fallback) {
    RegistryKey key(registry);
    if (!key.OpenReadOnly(roots::CurrentUser, kSettingsKey)) return fallback;
    RegValue value;
    if (registry.queryValue(key.Handle(), name, value) != status::Success || value.type != regtype::Dword ||
        value.data.size() != 4)
        return fallback;
    return value.data[0] != 0 || value.data[1] != 0 || value.data[2] != 0 || value.data[3] != 0;
}

bool WriteSettingFlag(RegistryBackend& registry, const std::string& name, bool value) {
    RegistryKey key(registry);
    if (!key.Create(roots::CurrentUser, kSettingsKey, access::SetValue | access::QueryValue)) return false;
    const RegValue data{regtype::Dword, {static_cast<std::uint8_t>(value ? 1 : 0), 0, 0, 0}};
    return registry.setValue(key.Handle(), name, data) == status::Success;
}

}  // namespace korvane
