// ColorMode: the app mode read from the user's Personalize key, and the choice between the three modes.
#include "core/ColorMode.h"

#include <cstdint>
#include <string>

namespace korvane {

bool AppsUseDarkMode(RegistryBackend& registry) {
    HKey key = 0;
    if (registry.openKey(roots::CurrentUser, std::string(kPersonalizeKey), access::QueryValue, key) !=
        status::Success)
        return false;
    RegValue value;
    const long result = registry.queryValue(key, std::string(kAppsUseLightThemeValue), value);
    registry.closeKey(key);
    if (result != status::Success || value.type != regtype::Dword || value.data.size() != 4) return false;
    const std::uint32_t light = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                (static_cast<std::uint32_t>(value.data[3]) << 24);
    return light == 0;
}

ColorMode ChooseColorMode(bool highContrastOn, bool appsUseDarkMode) {
    if (highContrastOn) return ColorMode::HighContrast;
    return appsUseDarkMode ? ColorMode::Dark : ColorMode::Light;
}

bool IsColorSettingChange(std::string_view area) {
    return area == kColorSettingArea;
}

}  // namespace korvane
