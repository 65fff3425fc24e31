// The list of keys that hold whole groups of entries (see ContainerKeys.h).
#include "undo/ContainerKeys.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/KeyName.h"

namespace korvane {

namespace {

struct BaseKey {
    HKey root;
    std::string_view path;
};

// What the scan groups walk (both version variants of the fonts and shares keys) and where the
// plug-in list finds its entries.
constexpr BaseKey BaseKeys[] = {
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"},
    {roots::ClassesRoot, "CLSID"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\Help"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\HTML Help"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"},
    {roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"},
    {roots::CurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs"},
    {roots::CurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"},
    {roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan"},
    {roots::LocalMachine, "SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares"},
    {roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"},
    {roots::CurrentUser, "AppEvents\\Schemes\\Apps"},
    {roots::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"},
    {roots::CurrentUser, "Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser"},
    {roots::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats"},
    {roots::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars"},
    {roots::CurrentUser, "Software\\Microsoft\\Internet Explorer\\Explorer Bars"},
    {roots::CurrentUser, "Software\\Microsoft\\Internet Explorer\\MenuExt"},
    {roots::CurrentUser, "Software\\Microsoft\\Internet Explorer"},
    // HKEY_CLASSES_ROOT\CLSID as it is stored.
    {roots::LocalMachine, "SOFTWARE\\Classes\\CLSID"},
    {roots::CurrentUser, "Software\\Classes\\CLSID"},
};

}  // namespace

bool IsContainerKey(HKey root, const std::string& keyPath) {
    // Folded once: the check runs for every row of a repair.
    static const std::vector<std::pair<HKey, std::string>> folded = [] {
        std::vector<std::pair<HKey, std::string>> out;
        for (const BaseKey& base : BaseKeys) out.emplace_back(base.root, FoldCase(base.path));
        return out;
    }();
    std::string path = FoldCase(BackendPath(keyPath));
    if (path.find('\\') == std::string::npos) return true;  // a root or a key directly below one
    return std::any_of(folded.begin(), folded.end(), [&](const auto& base) {
        if (base.first != root) return false;
        // The base key itself or any key above it.
        return base.second == path || (base.second.starts_with(path) && base.second[path.size()] == '\\');
    });
}

}  // namespace korvane
