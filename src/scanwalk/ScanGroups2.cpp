// Scan groups 6 to 11: shared DLLs, shared folders, shell extensions, sound events, uninstall entries
// and the shell's file extensions. Keys are opened for reading only; shared DLLs, approved shell
// extensions and uninstall entries are walked in both registry views.
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"
#include "scanwalk/ScanGroups.h"
#include "scanwalk/ViewWalk.h"

namespace korvane {

namespace {

// The first character of a UTF-8 text (its bytes) and the number of characters.
std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string FirstCharacter(const std::string& text) {
    std::size_t end = text.empty() ? 0 : 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return text.substr(0, end);
}

}  // namespace

namespace {

Walk WalkSharedDlls(ScanContext& context, const ViewedKey& base) {
    constexpr int group = 6;
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return Walk::NotOpened;
    const std::string prefix = LabelPrefix(base.Base());
    // The value names are the file paths; their data (use counts) plays no part.
    for (const std::string& name : key.ValueNames()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        context.FileUnlessPresent(
            group, [&] { return KeyName::Value(base.root, base.path, name); }, name, base.view, kOnePath);
        if (context.StopRequested()) return Walk::EndedEarly;
    }
    return Walk::Completed;
}

}  // namespace

void ScanSharedDlls(ScanContext& context) {
    WalkViews(context, 6, scankeys::SharedDlls, WalkSharedDlls);
}

void ScanSharedFolders(ScanContext& context) {
    constexpr int group = 7;
    const int version = context.VersionClass();
    const BaseKey& base = (version >= 1 && version <= 3) ? scankeys::LanMan : scankeys::Shares;
    context.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base);
    for (const std::string& name : key.ValueNames()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        // Only a two-character share name is judged, by a folder named with its first character alone
        // in the current folder.
        if (CharacterCount(name) == 2) {
            const std::string folder = FirstCharacter(name);
            const PathAnswer answer = context.paths.Probe(folder);
            if (!answer.IsFolder()) {
                const bool certain = answer.State() != PathState::CannotTell;
                Evidence evidence{folder, answer.IsFile() ? "a file, not a folder" : answer.Why()};
                context.Finding(group, KeyName::Value(base.root, base.path, name), name,
                                context.paths.Guess(name), std::move(evidence), certain);
            }
        }
        if (context.StopRequested()) return;
    }
    context.WriteCount(group);
}

namespace {

// The names were listed below HKEY_LOCAL_MACHINE; the classes they name live below HKEY_CLASSES_ROOT
// (in the same view), but the finding names the approval value.
Walk WalkShellExtensions(ScanContext& context, const ViewedKey& base) {
    constexpr int group = 8;
    std::vector<std::string> approved;
    {
        RegistryKey key(context.registry);
        if (!key.OpenReadOnly(base.root, base.path)) return Walk::NotOpened;
        approved = key.ValueNames();
    }
    const ViewedKey classes = InView(scankeys::Clsid, base.view);
    RegistryKey server(context.registry);
    for (const std::string& name : approved) {
        context.Examined();
        // An unregistered class, or one without an in-process server, is passed over without a stop test.
        if (!server.OpenReadOnly(classes.root, classes.path + "\\" + name + "\\InprocServer32")) continue;
        if (const auto data = server.ReadText(""))
            context.FileUnlessPresent(
                group, [&] { return KeyName::Value(base.root, base.path, name); }, *data, base.view);
        if (context.StopRequested()) return Walk::EndedEarly;
    }
    return Walk::Completed;
}

}  // namespace

void ScanShellExtensions(ScanContext& context) {
    WalkViews(context, 8, scankeys::ShellExtensions, WalkShellExtensions);
}

namespace {

const std::string kAppsPath = std::string(scankeys::SoundApps.path);

// One sound of one event in one scheme (".Current" or ".Default").
void CheckSoundScheme(ScanContext& context, RegistryKey& scheme, const std::string& prefix,
                      const std::string& application, const std::string& event, const char* schemeName) {
    const std::string relative = application + "\\" + event + "\\" + schemeName;
    context.Label([&] { return prefix + relative; });
    if (!scheme.OpenReadOnly(scankeys::SoundApps.root, kAppsPath + "\\" + relative)) return;
    const auto data = scheme.ReadText("");
    scheme.Close();
    if (data)
        context.FileUnlessPresent(
            9, [&] { return KeyName::Key(scankeys::SoundApps.root, kAppsPath + "\\" + relative); }, *data,
            RegistryView::Bits64, kSoundFile);
}

}  // namespace

void ScanSoundEvents(ScanContext& context) {
    constexpr int group = 9;
    context.BeginGroup(group);
    std::vector<std::string> applications;
    {
        RegistryKey apps(context.registry);
        if (!apps.OpenReadOnly(scankeys::SoundApps.root, kAppsPath)) return;
        // An empty listing is what "no sub-keys" means; no separate question is needed.
        applications = apps.Subkeys();
    }
    const std::string prefix = LabelPrefix(scankeys::SoundApps);
    RegistryKey scheme(context.registry);
    for (const std::string& application : applications) {
        std::vector<std::string> events;
        {
            RegistryKey app(context.registry);
            if (!app.OpenReadOnly(scankeys::SoundApps.root, kAppsPath + "\\" + application)) continue;
            events = app.Subkeys();
        }
        for (const std::string& event : events) {
            context.Examined();
            CheckSoundScheme(context, scheme, prefix, application, event, ".Current");
            CheckSoundScheme(context, scheme, prefix, application, event, ".Default");
            if (context.StopRequested()) return;
        }
    }
    context.WriteCount(group);
}

namespace {

// An entry that does not open is passed over.
Walk WalkUninstall(ScanContext& context, const ViewedKey& base) {
    return WalkEntryKeys(context, base, 10, "UninstallString", UnopenedEntry::PassedOver,
                         [&](const std::string& name) {
                             return KeyName::Value(base.root, KeyBelow(base.Base(), name), "UninstallString");
                         });
}

}  // namespace

void ScanUninstallEntries(ScanContext& context) {
    WalkViews(context, 10, scankeys::Uninstall, WalkUninstall);
}

ClassKeyAnswer ProbeClassKey(RegistryBackend& registry, const std::string& name) {
    RegistryKey key(registry);
    const long result = key.OpenStatus(roots::ClassesRoot, name, access::Read);
    if (result == status::Success) return ClassKeyAnswer::Present;
    return result == status::FileNotFound ? ClassKeyAnswer::Missing : ClassKeyAnswer::CannotTell;
}

bool ClassKeyExists(RegistryBackend& registry, const std::string& name) {
    return ProbeClassKey(registry, name) == ClassKeyAnswer::Present;
}

void ScanFileExtensions(ScanContext& context) {
    constexpr int group = 11;
    const BaseKey& base = scankeys::FileExts;
    context.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return;
    for (const std::string& extension : key.Subkeys()) {
        context.Examined();
        // A class key that exists but refuses to open is no proof that the extension is unknown.
        const ClassKeyAnswer answer = ProbeClassKey(context.registry, extension);
        if (answer != ClassKeyAnswer::Present) {
            Evidence evidence{KeyName::Key(roots::ClassesRoot, extension).Text(),
                              answer == ClassKeyAnswer::Missing ? "key not found" : "key does not open"};
            context.Finding(group, KeyName::Key(base.root, KeyBelow(base, extension)), "", "",
                            std::move(evidence), answer == ClassKeyAnswer::Missing);
        }
        if (context.StopRequested()) return;
    }
    context.WriteCount(group);
}

}  // namespace korvane
