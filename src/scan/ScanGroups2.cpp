// Scan groups 6 to 11: shared DLLs, shared folders, shell extensions, sound events, uninstall entries
// and the shell's file extensions.
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"
#include "scan/ScanGroups.h"

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

void ScanSharedDlls(ScanContext& context) {
    constexpr int group = 6;
    const BaseKey& base = scankeys::SharedDlls;
    context.sink.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.Open(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base);
    // The value names are the file paths; their data (use counts) plays no part.
    for (const std::string& name : key.ValueNames()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        if (context.paths.TargetMissing(name))
            context.Finding(group, KeyName::Value(base.root, base.path, name), name,
                            context.paths.Guess(name));
        if (context.StopRequested()) return;
    }
    context.sink.WriteCount(group);
}

void ScanSharedFolders(ScanContext& context) {
    constexpr int group = 7;
    const int version = context.VersionClass();
    const BaseKey& base = (version >= 1 && version <= 3) ? scankeys::LanMan : scankeys::Shares;
    context.sink.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.Open(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base);
    for (const std::string& name : key.ValueNames()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        // Only a two-character share name is judged, by a folder named with its first character alone
        // in the current folder.
        if (CharacterCount(name) == 2 && !context.paths.FolderExists(FirstCharacter(name)))
            context.Finding(group, KeyName::Value(base.root, base.path, name), name,
                            context.paths.Guess(name));
        if (context.StopRequested()) return;
    }
    context.sink.WriteCount(group);
}

void ScanShellExtensions(ScanContext& context) {
    constexpr int group = 8;
    const BaseKey& base = scankeys::ShellExtensions;
    context.sink.BeginGroup(group);
    std::vector<std::string> approved;
    {
        RegistryKey key(context.registry);
        if (!key.Open(base.root, base.path)) return;
        approved = key.ValueNames();
    }
    // The names were listed below HKEY_LOCAL_MACHINE; the classes they name live below
    // HKEY_CLASSES_ROOT, but the finding names the approval value.
    RegistryKey server(context.registry);
    for (const std::string& name : approved) {
        context.Examined();
        // An unregistered class, or one without an in-process server, is passed over without a stop test.
        if (!server.Open(roots::ClassesRoot, "\\CLSID\\" + name + "\\InprocServer32")) continue;
        const auto data = server.ReadText("");
        if (data && context.paths.TargetMissing(*data))
            context.Finding(group, KeyName::Value(base.root, base.path, name), *data,
                            context.paths.Guess(*data));
        if (context.StopRequested()) return;
    }
    context.sink.WriteCount(group);
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
    if (data && context.paths.TargetMissing(*data))
        context.Finding(9, KeyName::Key(scankeys::SoundApps.root, kAppsPath + "\\" + relative), *data,
                        context.paths.Guess(*data));
}

}  // namespace

void ScanSoundEvents(ScanContext& context) {
    constexpr int group = 9;
    context.sink.BeginGroup(group);
    std::vector<std::string> applications;
    {
        RegistryKey apps(context.registry);
        if (!apps.Open(scankeys::SoundApps.root, kAppsPath)) return;
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
    context.sink.WriteCount(group);
}

void ScanUninstallEntries(ScanContext& context) {
    constexpr int group = 10;
    const BaseKey& base = scankeys::Uninstall;
    context.sink.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.Open(base.root, base.path)) return;
    const std::string prefix = LabelPrefix(base);
    RegistryKey entry(context.registry);
    for (const std::string& name : key.Subkeys()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        // An entry that does not open is passed over without a stop test.
        if (!entry.Open(key.Handle(), name)) continue;
        const auto data = entry.ReadText("UninstallString");
        if (data && context.paths.TargetMissing(*data))
            context.Finding(group, KeyName::Value(base.root, KeyBelow(base, name), "UninstallString"), *data,
                            context.paths.Guess(*data));
        if (context.StopRequested()) return;
    }
    context.sink.WriteCount(group);
}

bool ClassKeyExists(RegistryBackend& registry, const std::string& name) {
    RegistryKey key(registry);
    return key.Open(roots::ClassesRoot, name, access::Read);
}

void ScanFileExtensions(ScanContext& context) {
    constexpr int group = 11;
    const BaseKey& base = scankeys::FileExts;
    context.sink.BeginGroup(group);
    RegistryKey key(context.registry);
    if (!key.Open(base.root, base.path)) return;
    for (const std::string& extension : key.Subkeys()) {
        context.Examined();
        if (!ClassKeyExists(context.registry, extension))
            context.Finding(group, KeyName::Key(base.root, KeyBelow(base, extension)), "", "");
        if (context.StopRequested()) return;
    }
    context.sink.WriteCount(group);
}

}  // namespace korvane
