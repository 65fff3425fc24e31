// Which colours the window shows: light or dark as the user's app mode in Windows says, or the system's
// own colours when high contrast is on. This unit only decides and describes; the window applies it.
#pragma once

#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

enum class ColorMode { Light, Dark, HighContrast };

// Where Windows 10 and later keep the app mode of the current user (Settings, Colours, "Choose your
// default app mode"). Windows 7 and 8 have no such value: they are light.
inline constexpr std::string_view kPersonalizeKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
inline constexpr std::string_view kAppsUseLightThemeValue = "AppsUseLightTheme";
// The setting name Windows broadcasts with WM_SETTINGCHANGE when the app mode or accent changes.
inline constexpr std::string_view kColorSettingArea = "ImmersiveColorSet";

// True when the user chose dark apps: AppsUseLightTheme is a DWORD holding 0. A missing key or value,
// or one of another type or size (hand-edited), reads as light, which is what Windows shows then.
bool AppsUseDarkMode(RegistryBackend& registry);

// High contrast wins over the app mode: its colours are the user's, chosen to be readable.
ColorMode ChooseColorMode(bool highContrastOn, bool appsUseDarkMode);

// Whether a WM_SETTINGCHANGE naming `area` can have changed the app mode.
bool IsColorSettingChange(std::string_view area);

}  // namespace korvane
