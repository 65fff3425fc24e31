// One installed program as its uninstall key describes it, kept in its row's tag so that the columns
// sort by what they mean and "&Uninstall" finds every command the key offers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "registry/KeyName.h"

namespace korvane {

struct UninstallEntry {
    KeyName key;  // root and physical path (either registry view) of the entry's own key
    std::string displayName;
    std::string uninstallString;
    std::string quietUninstallString;
    std::string publisher;
    std::string displayIcon;  // the program whose icon the list shows: usually the program itself
    std::string displayVersion;
    std::string installDate;                     // as stored; Windows writes "YYYYMMDD"
    std::optional<std::uint32_t> estimatedSize;  // in KB
    bool windowsInstaller = false;  // installed by Windows Installer: the key name is the product code
};

}  // namespace korvane
