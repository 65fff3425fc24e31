// The user's choices that outlive the window (ticks of a page's switches): DWORD values under
// HKEY_CURRENT_USER "Software\Korvane", where a Windows program keeps its per-user settings.
#pragma once

#include <string>

#include "platform/RegistryBackend.h"

namespace korvane {

inline constexpr const char* kSettingsKey = "Software\\Korvane";

// The setting `name`; `fallback` when it was never written or is not a number.
bool ReadSettingFlag(RegistryBackend& registry, const std::string& name, bool fallback);
// False when the key cannot be created or the value not written (the tick then lasts this session).
bool WriteSettingFlag(RegistryBackend& registry, const std::string& name, bool value);

}  // namespace korvane
