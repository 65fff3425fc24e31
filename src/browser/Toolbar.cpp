// Reading the browser add-ons into the plug-in list (see Toolbar.h).
#include "browser/Toolbar.h"

#include <cstdint>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/RegistryAccess.h"

namespace korvane {

namespace {

constexpr const char* kHex = "0123456789ABCDEF";

// Blanks and control characters off both ends.
std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

class ListBuilder {
public:
    ListBuilder(RegistryBackend& registry, ListView& list) : registry_(registry), list_(list) {}

    void ListToolbarValues(HKey root, const char* key, const char* serverSubkey, const char* kind) {
        std::vector<std::string> names;
        if (!ReadNames(root, key, names, Names::Values)) return;
        for (const std::string& name : names) {
            if (name.empty() || name.front() != '{') continue;  // layout settings and the like
            const TToolbarInfo info = ReadClassInfo(registry_, name, serverSubkey);
            AddPluginRow(list_, kind, info.name, name, info.path);
        }
    }

    void ListClsidSubkeys(HKey root, const char* key, const char* kind) {
        std::vector<std::string> names;
        if (!ReadNames(root, key, names, Names::Subkeys)) return;
        for (const std::string& name : names) {
            const TToolbarInfo info = ReadClassInfo(registry_, name, "InprocServer32");
            // Only in-process servers are add-ons the browser loads.
            if (EqualsNoCase(ExtensionOf(info.path), ".dll"))
                AddPluginRow(list_, kind, info.name, name, info.path);
        }
    }

    void ListMenuExtensions() {
        constexpr const char* key = "\\Software\\Microsoft\\Internet Explorer\\MenuExt";
        std::vector<std::string> names;
        if (!ReadNames(roots::CurrentUser, key, names, Names::Subkeys)) return;
        for (const std::string& name : names) {
            const std::string path =
                ReadValueText(registry_, roots::CurrentUser, std::string(key) + "\\" + name, "");
            // The key's own name goes with the row: the caption loses its "&".
            AddPluginRow(list_, pluginkind::MenuExtension, name, kMenuExtEntry, path, name);
        }
    }

    void ListDownloadHandler() {
        const std::string id = ReadValueText(registry_, roots::CurrentUser,
                                             "\\Software\\Microsoft\\Internet Explorer", "DownloadUI");
        const TToolbarInfo info = ReadClassInfo(registry_, id, "InprocServer32");
        AddPluginRow(list_, pluginkind::DownloadHandler, info.name, id, info.path);
    }

private:
    enum class Names { Values, Subkeys };
    bool ReadNames(HKey root, const char* key, std::vector<std::string>& names, Names which) {
        RegistryAccess reg(registry_);
        reg.SetRoot(root);
        if (!reg.OpenRegKeyReadOnly(key)) return false;
        if (which == Names::Values)
            reg.ListValueNames(names);
        else
            reg.ListSubkeys(names);
        return true;
    }

    RegistryBackend& registry_;
    ListView& list_;
};

}  // namespace

std::string ReadValueText(RegistryBackend& registry, HKey root, const std::string& keyPath,
                          const std::string& valueName) {
    RegistryAccess reg(registry);
    reg.SetRoot(root);
    if (!reg.OpenRegKeyReadOnly(keyPath)) return {};
    switch (reg.GetValueKind(valueName)) {
        case ValueKind::Text:
        case ValueKind::ExpandText:
            return reg.ReadText(valueName);
        case ValueKind::Number:
            return std::to_string(reg.ReadNumber(valueName));
        case ValueKind::Bytes: {
            std::uint8_t buffer[255];
            const int size = reg.ReadBytes(valueName, buffer, sizeof buffer);
            std::string text;
            for (int i = 0; i < size; ++i) {
                if (i > 0) text += ',';
                text += kHex[buffer[i] >> 4];
                text += kHex[buffer[i] & 0x0F];
            }
            return text;
        }
        case ValueKind::Unknown:
            break;
    }
    return {};
}

TToolbarInfo ReadClassInfo(RegistryBackend& registry, const std::string& classId,
                           const std::string& serverSubkey) {
    const std::string classKey = "\\CLSID\\" + classId;
    return {ReadValueText(registry, roots::ClassesRoot, classKey, ""),
            ReadValueText(registry, roots::ClassesRoot, classKey + "\\" + serverSubkey, "")};
}

std::string CleanPluginName(const std::string& name) {
    std::string cleaned;
    for (char c : name)
        if (c != '&') cleaned += c;
    return cleaned.empty() ? "Unknown Toolbar" : cleaned;
}

void AddPluginRow(ListView& list, const std::string& kind, const std::string& name, const std::string& entry,
                  const std::string& path, const std::string& keyName) {
    if (Trim(entry).empty()) return;
    ListItem row;
    row.caption = Trim(name).empty() ? "(Unknown)" : CleanPluginName(name);
    if (kind.find("Toolbar") != std::string::npos) row.caption += " Toolbar";
    row.subItems = {kind, entry, path};
    row.tag = PluginEntry{row.caption, kind, entry, path, keyName};
    list.Add(std::move(row));
}

void BuildPluginList(RegistryBackend& registry, ListView& list, const PluginKinds& kinds) {
    // Repainting resumes however the listing ends: an oversized binary value stops it with an error.
    ListUpdate update(list);
    list.Clear();

    ListBuilder builder(registry, list);
    if (kinds.toolbars) {
        builder.ListToolbarValues(roots::LocalMachine, "\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar",
                                  "InprocServer32", pluginkind::ToolbarAllUsers);
        builder.ListToolbarValues(roots::CurrentUser,
                                  "\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser",
                                  "InProcServer32", pluginkind::ToolbarCurrentUser);
    }
    if (kinds.browserExtensions)
        builder.ListClsidSubkeys(roots::CurrentUser,
                                 "\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats",
                                 pluginkind::BrowserExtension);
    if (kinds.explorerBars) {
        builder.ListClsidSubkeys(roots::LocalMachine,
                                 "\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars",
                                 pluginkind::ExplorerBarAllUsers);
        builder.ListClsidSubkeys(roots::CurrentUser,
                                 "\\Software\\Microsoft\\Internet Explorer\\Explorer Bars",
                                 pluginkind::ExplorerBarCurrentUser);
    }
    if (kinds.menuExtensions) builder.ListMenuExtensions();
    if (kinds.downloadHandler) builder.ListDownloadHandler();
}

}  // namespace korvane
