// Which command line "&Uninstall" starts for an entry. Kept in one place so that the way the line is
// started can change without touching the choice.
#pragma once

#include <string>

#include "uninstall/UninstallEntry.h"

namespace korvane {

// A Windows Installer entry (WindowsInstaller = 1, its key named after a product code "{...}") is
// removed through msiexec from the system folder (`systemFolder`, ending in "\"; empty for plain
// "msiexec.exe"): "<system folder>msiexec.exe" /x {code}, with /qn when `quiet`. Otherwise
// "QuietUninstallString" when `quiet` and the entry has one, else "UninstallString" (empty when the
// entry offers no command).
std::string UninstallCommandLine(const UninstallEntry& entry, bool quiet, const std::string& systemFolder);

// "{" + 8-4-4-4-12 hexadecimal digits + "}".
bool IsProductCode(const std::string& text);

}  // namespace korvane
