// The plug-in list: reads the browser add-ons of the five kinds from the registry into lvBHO. Only
// reads; removal lives in PluginRemoval.h, the page and its check boxes in PluginsPage.h.
#pragma once

#include <string>

#include "controls/ListView.h"
#include "platform/RegistryBackend.h"

namespace korvane {

// The kind texts of the "Type" column.
namespace pluginkind {
inline constexpr const char* ToolbarAllUsers = "Toolbar ALL USER";
inline constexpr const char* ToolbarCurrentUser = "Toolbar CURRENT USER";
inline constexpr const char* BrowserExtension = "Browser Extensions";
inline constexpr const char* ExplorerBarAllUsers = "Exp. ALL USER";
inline constexpr const char* ExplorerBarCurrentUser = "Exp. CURRENT USER";
inline constexpr const char* MenuExtension = "Menu Extensions";
inline constexpr const char* DownloadHandler = "Download Handler";
}  // namespace pluginkind

// One add-on as its row keeps it in its tag: what removal acts on, never the row's texts.
struct PluginEntry {
    std::string name;  // as the list shows it, " Toolbar" and all: the name the history records
    std::string kind;  // one of pluginkind
    std::string id;    // the class identifier; kMenuExtEntry for a menu extension
    std::string path;
    std::string keyName;  // a menu extension's own key name, "&" included; empty for the others
};

// The "Registry Entries" text of every menu extension row.
inline constexpr const char* kMenuExtEntry =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt";

// Which kinds the list shows (the five check boxes of the page).
struct PluginKinds {
    bool toolbars = true;
    bool browserExtensions = true;
    bool downloadHandler = true;
    bool menuExtensions = true;
    bool explorerBars = true;
};

// One class's display name and server file, as registered under HKEY_CLASSES_ROOT\CLSID.
struct TToolbarInfo {
    std::string name;
    std::string path;
};

// The value `valueName` ("" = default value) of `keyPath` under `root`, opened read-only, as text:
// strings unchanged and unexpanded, a 32-bit number in decimal, binary data as "0A,FF"; any other
// type, or a missing key or value, gives "". Binary data over 255 bytes raises RegistryError
// "Invalid data type for '<name>'".
std::string ReadValueText(RegistryBackend& registry, HKey root, const std::string& keyPath,
                          const std::string& valueName);
// Display name and server path of the class `classId`; `serverSubkey` is "InprocServer32" or
// "InProcServer32" (the same key: registry names ignore case).
TToolbarInfo ReadClassInfo(RegistryBackend& registry, const std::string& classId,
                           const std::string& serverSubkey);
// Every "&" removed; "Unknown Toolbar" when nothing is left.
std::string CleanPluginName(const std::string& name);
// Appends one unchecked row unless `entry` is blank: caption = CleanPluginName(name), or "(Unknown)"
// for a blank name, followed by " Toolbar" for a toolbar kind; sub-items kind, entry, path; the
// PluginEntry in its tag (with `keyName`: a menu extension's own key name, "&" included).
void AddPluginRow(ListView& list, const std::string& kind, const std::string& name, const std::string& entry,
                  const std::string& path, const std::string& keyName = {});

// Rebuilds the whole list from the chosen sources in this order: toolbars (machine-wide, then per
// user), browser extensions, explorer bars (machine-wide, then per user), menu extensions, the
// download handler. A source that does not open adds nothing. The list sorts itself by name.
void BuildPluginList(RegistryBackend& registry, ListView& list, const PluginKinds& kinds);

}  // namespace korvane
