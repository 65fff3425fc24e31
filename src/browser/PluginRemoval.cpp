// "&Delete" on the plug-in page: what each kind records, deletes or refuses (see PluginRemoval.h).
#include "browser/PluginRemoval.h"

#include <string>
#include <vector>

#include "browser/Toolbar.h"
#include "core/DeletionReport.h"
#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/KeyName.h"
#include "undo/UndoBatch.h"

namespace korvane {

namespace {

constexpr const char* kToolbarRefused = "Links and Address bar cannot be delete. Sorry";
constexpr const char* kExplorerBarRefused =
    "The default Explorer bars such as History, Favourite, Search - cannot be deleted";

// The explorer bars that come with Windows live in these servers.
bool IsBuiltInExplorerBar(const std::string& path) {
    const std::string name = LowerAscii(FileNameOf(path));
    return name == "browseui.dll" || name == "shell32.dll" || name == "shdocvw.dll";
}

// What a removable kind records and then deletes, besides the class registration.
enum class Second { Value, SubKey };
struct KindRule {
    const char* kind;
    bool removesClass;  // HKEY_CLASSES_ROOT\CLSID\<id> goes first
    Second second;
    HKey root;
    const char* key;        // the value's key, or the parent of the sub-key
    const char* valueName;  // a fixed value name; nullptr: the value is named by the class
};

constexpr KindRule kRules[] = {
    {pluginkind::DownloadHandler, true, Second::Value, roots::CurrentUser,
     "\\Software\\Microsoft\\Internet Explorer", "DownloadUI"},
    {pluginkind::ToolbarAllUsers, true, Second::Value, roots::LocalMachine,
     "\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar", nullptr},
    {pluginkind::ToolbarCurrentUser, true, Second::Value, roots::CurrentUser,
     "\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser", nullptr},
    {pluginkind::BrowserExtension, true, Second::SubKey, roots::CurrentUser,
     "\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats", nullptr},
    {pluginkind::ExplorerBarAllUsers, true, Second::SubKey, roots::LocalMachine,
     "\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars", nullptr},
    {pluginkind::ExplorerBarCurrentUser, true, Second::SubKey, roots::CurrentUser,
     "\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars", nullptr},
    {pluginkind::MenuExtension, false, Second::SubKey, roots::CurrentUser,
     "\\Software\\Microsoft\\Internet Explorer\\MenuExt", nullptr},
};

const KindRule* RuleFor(const std::string& kind) {
    for (const KindRule& rule : kRules)
        if (kind == rule.kind) return &rule;
    return nullptr;
}

// The refusal message for a built-in add-on; nullptr when the row may go.
const char* Refusal(const std::string& kind, const std::string& name, const std::string& path) {
    if (kind == pluginkind::ToolbarCurrentUser && (name == "Address Toolbar" || name == "Links Toolbar"))
        return kToolbarRefused;
    if ((kind == pluginkind::ExplorerBarAllUsers || kind == pluginkind::ExplorerBarCurrentUser) &&
        IsBuiltInExplorerBar(path))
        return kExplorerBarRefused;
    return nullptr;
}

// Records one row's entries into the entry added last and plans their deletion, in the order of the
// kind's rule.
void PlanRow(UndoBatch& batch, const KindRule& rule, const PluginEntry& plugin) {
    const std::string& id = plugin.id;
    if (rule.removesClass) batch.RecordForDeletion(KeyName::Key(roots::ClassesRoot, "CLSID\\" + id));
    if (rule.second == Second::Value) {
        batch.RecordForDeletion(KeyName::Value(rule.root, rule.key, rule.valueName ? rule.valueName : id));
        return;
    }
    // A menu extension is its key: the key's own name, not the shown name whose "&" were taken out.
    const std::string& subKey =
        rule.removesClass ? id : (plugin.keyName.empty() ? plugin.name : plugin.keyName);
    if (subKey.empty()) return;  // never the kind's own key
    batch.RecordForDeletion(KeyName::Key(rule.root, std::string(rule.key) + "\\" + subKey));
}

}  // namespace

std::vector<BaseKey> PluginBaseKeys() {
    std::vector<BaseKey> bases{{roots::ClassesRoot, "CLSID"}};
    for (const KindRule& rule : kRules) bases.push_back({rule.root, rule.key});
    return bases;
}

void RemoveCheckedPlugins(AppState& state, UndoHistory& history, ListView& lvBHO) {
    ListUpdate update(lvBHO);

    UndoBatch batch = history.BeginBatch();
    for (int i = lvBHO.Count() - 1; i >= 0; --i) {
        const PluginEntry* tagged = lvBHO.Tag<PluginEntry>(i);
        if (!tagged || !lvBHO.Checked(i)) continue;
        const PluginEntry plugin = *tagged;
        const std::string& kind = plugin.kind;
        // The entry comes first, so a refused row leaves one without ITEMs.
        batch.AddEntry(plugin.name, kind, plugin.path);
        if (const char* refusal = Refusal(kind, plugin.name, plugin.path)) {
            state.platform.dialogs.showMessage(refusal);
            continue;
        }
        if (const KindRule* rule = RuleFor(kind)) PlanRow(batch, *rule, plugin);
    }
    // Refused rows only: their empty entries reach the disk with the rest of the history on closing.
    // An add-on whose entries the registry would not delete is still there, and the user hears so.
    ReportDeletion(state, history.FilePath(), history.Delete(batch),
                   {nouns::AddOn, "no plug-in was removed", "could not be removed from the registry"});
}

}  // namespace korvane
