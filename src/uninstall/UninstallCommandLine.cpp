// The choice of an entry's uninstall command (see UninstallCommandLine.h).
#include "uninstall/UninstallCommandLine.h"

namespace korvane {

bool IsProductCode(const std::string& text) {
    static constexpr char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != sizeof kShape - 1) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (kShape[i] != 'x') {
            if (c != kShape[i]) return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::string UninstallCommandLine(const UninstallEntry& entry, bool quiet, const std::string& systemFolder) {
    const std::string productCode = entry.key.LastPart();
    if (entry.windowsInstaller && IsProductCode(productCode)) {
        // The full path: a program named msiexec.exe beside Korvane must not be the one started.
        const std::string msiexec =
            systemFolder.empty() ? std::string("msiexec.exe") : "\"" + systemFolder + "msiexec.exe\"";
        return msiexec + " /x " + productCode + (quiet ? " /qn" : "");
    }
    if (quiet && !entry.quietUninstallString.empty()) return entry.quietUninstallString;
    return entry.uninstallString;
}

}  // namespace korvane
