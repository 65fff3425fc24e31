// Scan groups 0 to 5: application paths, COM classes, help files, fonts, the Run dialog's history and
// the Start menu's sort order. Keys are opened for reading only, so a standard user's scan sees what an
// administrator's does; App Paths, the classes and the help files are walked in both registry views.
#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"
#include "scanwalk/ScanGroups.h"
#include "scanwalk/ViewWalk.h"

namespace korvane {

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An application key that does not open ends the whole group, as a stop would.
Walk WalkAppPaths(ScanContext& context, const ViewedKey& base) {
    return WalkEntryKeys(context, base, 0, "", UnopenedEntry::EndsGroup, [&](const std::string& name) {
        return KeyName::Key(base.root, KeyBelow(base.Base(), name));
    });
}

}  // namespace

void ScanAppPaths(ScanContext& context) {
    WalkViews(context, 0, scankeys::AppPaths, WalkAppPaths);
}

namespace {

void CheckClsidSubkey(ScanContext& context, RegistryKey& probe, const ViewedKey& clsid, HKey clsidKey,
                      const std::string& classKey, const char* subkey) {
    if (!probe.OpenReadOnly(clsidKey, classKey + subkey)) return;
    const auto data = probe.ReadText("");
    // A default value that is itself a class identifier refers to a class, not to a file.
    if (!data || (!data->empty() && data->front() == '{')) return;
    context.FileUnlessPresent(
        1, [&] { return KeyName::Key(clsid.root, KeyBelow(clsid.Base(), classKey + subkey)); }, *data,
        clsid.view);
}

// The names of ClsidSubkeyNames that a class key has, found by listing its sub-keys once instead of
// opening eight names that mostly do not exist. Nothing when the class key cannot be listed (or holds
// names the plain A-Z comparison cannot judge): the caller then opens all eight as they are.
std::optional<std::array<bool, 8>> PresentClassSubkeys(RegistryKey& probe, HKey clsid,
                                                       const std::string& classKey) {
    if (!probe.Open(clsid, classKey, access::Read)) return std::nullopt;
    const auto names = probe.TrySubkeys();
    probe.Close();
    if (!names) return std::nullopt;
    std::array<bool, 8> present{};
    for (const std::string& name : *names) {
        if (!IsAscii(name)) return std::nullopt;
        for (std::size_t i = 0; i < ClsidSubkeyNames.size(); ++i) {
            if (EqualsNoCase(name, ClsidSubkeyNames[i] + 1)) present[i] = true;
        }
    }
    return present;
}

Walk WalkClasses(ScanContext& context, const ViewedKey& base) {
    RegistryKey clsid(context.registry);
    if (!clsid.OpenReadOnly(base.root, base.path)) return Walk::NotOpened;
    const std::string prefix = LabelPrefix(base.Base());
    RegistryKey probe(context.registry);
    for (const std::string& classKey : clsid.Subkeys()) {
        context.Examined();
        context.Label([&] { return prefix + classKey; });
        // Only a class key named like "{...}" is ever filed, so no other needs a registry call.
        if (!classKey.empty() && classKey.front() == '{') {
            const auto present = PresentClassSubkeys(probe, clsid.Handle(), classKey);
            for (std::size_t i = 0; i < ClsidSubkeyNames.size(); ++i) {
                if (!present || (*present)[i])
                    CheckClsidSubkey(context, probe, base, clsid.Handle(), classKey, ClsidSubkeyNames[i]);
            }
            probe.Close();
        }
        if (context.StopRequested()) return Walk::EndedEarly;
    }
    return Walk::Completed;
}

}  // namespace

void ScanClsid(ScanContext& context) {
    WalkViews(context, 1, scankeys::Clsid, WalkClasses);
}

namespace {

// One pass of group 2; a stop ends the pass only.
void ScanHelpKey(ScanContext& context, const ViewedKey& base) {
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base.Base());
    for (const NamedRegValue& value : key.ValuesWithData()) {
        context.Examined();
        context.Label([&] { return prefix + value.name; });
        if (auto folder = ValueText(value.value)) {
            const std::string file = WithBackslash(std::move(*folder)) + value.name;
            context.FileUnlessPresent(
                2, [&] { return KeyName::Value(base.root, base.path, value.name); }, file, base.view,
                kOnePath);
        }
        if (context.StopRequested()) return;
    }
}

}  // namespace

void ScanHelpFiles(ScanContext& context) {
    context.BeginGroup(2);
    // Each view's two keys are passes of their own.
    const std::vector<ViewedKey> help = ViewsOf(context, scankeys::Help);
    const std::vector<ViewedKey> htmlHelp = ViewsOf(context, scankeys::HtmlHelp);
    for (std::size_t view = 0; view < help.size(); ++view) {
        ScanHelpKey(context, help[view]);
        if (view < htmlHelp.size()) ScanHelpKey(context, htmlHelp[view]);
    }
    context.WriteCount(2);
}

void ScanFonts(ScanContext& context) {
    constexpr int group = 3;
    const int version = context.VersionClass();
    const BaseKey& base = (version >= 1 && version <= 3) ? scankeys::Fonts9x : scankeys::FontsNt;
    context.BeginGroup(group);
    const std::string fontsFolder = context.paths.WindowsFolderPath() + "Fonts\\";
    {
        // A key that does not open simply lists no fonts.
        RegistryKey key(context.registry);
        key.OpenReadOnly(base.root, base.path);
        const std::string prefix = LabelPrefix(base);
        for (const NamedRegValue& value : key.ValuesWithData()) {
            context.Examined();
            context.Label([&] { return prefix + value.name; });
            if (auto data = ValueText(value.value)) {
                // A bare file name lives in the Windows folder's Fonts folder, wherever Windows is.
                std::string file = std::move(*data);
                if (file.find_first_of("\\:") == std::string::npos) file = fontsFolder + file;
                context.FileUnlessPresent(
                    group, [&] { return KeyName::Value(base.root, base.path, value.name); }, file,
                    RegistryView::Bits64, kOnePath);
            }
            if (context.StopRequested()) break;
        }
    }
    context.WriteCount(group);
}

void ScanRunMru(ScanContext& context) {
    constexpr int group = 4;
    const BaseKey& base = scankeys::RunMru;
    context.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base);
    for (const NamedRegValue& value : key.ValuesWithData()) {
        if (value.name == "MRUList") continue;  // the order of the entries, not an entry
        context.Examined();
        context.Label([&] { return prefix + value.name; });
        if (auto data = ValueText(value.value)) {
            // Each entry ends in "\1", the dialog's marker; what is left is what the user typed: a
            // command, a folder, a web address or a shell folder, opened as the Run dialog opens it.
            std::string command = std::move(*data);
            if (command.size() >= 2 && command.compare(command.size() - 2, 2, "\\1") == 0)
                command.erase(command.size() - 2);
            context.FileUnlessPresent(
                group, [&] { return KeyName::Value(base.root, base.path, value.name); }, command,
                RegistryView::Bits64, kRunDialogEntry);
        }
        if (context.StopRequested()) return;
    }
    context.WriteCount(group);
}

namespace {

// One pass of group 5: a folder whose sort-order key has no sub-keys of its own is obsolete.
void ScanMenuOrderKey(ScanContext& context, const BaseKey& base) {
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return;
    RegistryKey entry(context.registry);
    for (const std::string& name : key.Subkeys()) {
        context.Examined();
        // A key that does not open is filed as having no sub-keys, unchecked: it proves nothing.
        const bool opened = entry.OpenReadOnly(key.Handle(), name).has_value();
        const bool hasSubkeys = opened && entry.HasSubkeys();
        entry.Close();
        if (!hasSubkeys) {
            const KeyName where = KeyName::Key(base.root, KeyBelow(base, name));
            Evidence evidence{where.Text(), opened ? "no sub-keys" : "key does not open"};
            context.Finding(5, where, name, "{null value}", std::move(evidence), opened);
        }
        if (context.StopRequested()) return;
    }
}

}  // namespace

void ScanStartMenuOrder(ScanContext& context) {
    context.BeginGroup(5);
    ScanMenuOrderKey(context, scankeys::StartMenu2);
    ScanMenuOrderKey(context, scankeys::StartMenu);
    context.WriteCount(5);
}

}  // namespace korvane
