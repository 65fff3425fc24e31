// Finding what a program left behind (see Leftovers.h). Every registry place is read in both views
// where Windows keeps two (Wow64PathOf says where), and only read: removal is another unit's job.
#include "uninstall/Leftovers.h"

#include <algorithm>
#include <functional>
#include <set>

#include "registry/RegistryKey.h"
#include "registry/RegistryViews.h"
#include "uninstall/LeftoverPaths.h"
#include "uninstall/ShellLink.h"
#include "uninstall/UninstallSources.h"

namespace korvane {

namespace {

constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kSharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr const char* kStartupApproved =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kClasses = "Software\\Classes";
constexpr const char* kRemoved = " \xE2\x80\x94 ";  // an em dash between blanks

// Keys below HKEY_CLASSES_ROOT that are no program's own, though some hold shell\...\command keys.
const std::set<std::string> kSharedClasses = {"*",         "allfilesystemobjects",
                                              "appid",     "clsid",
                                              "directory", "drive",
                                              "folder",    "interface",
                                              "typelib",   "wow6432node",
                                              "unknown",   "systemfileassociations"};
// Keys directly below Software that are Windows' own, whatever a publisher is called.
const std::set<std::string> kSharedSoftwareKeys = {
    "classes", "clients", "microsoft", "policies", "registeredapplications", "wow6432node", "windows"};

// What other installed programs' entries point into: nothing of theirs is ever proposed.
struct OtherPrograms {
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::vector<std::string> names;
};

std::string Text(RegistryKey& key, const std::string& name) {
    return key.ReadText(name).value_or(std::string());
}

// The key itself and, where Windows keeps one, its twin of the 32-bit view.
std::vector<std::string> BothViews(HKey root, const std::string& keyPath) {
    std::vector<std::string> paths{keyPath};
    if (const auto view32 = Wow64PathOf(root, keyPath)) paths.push_back(*view32);
    return paths;
}

// The folders an entry's values point at: InstallLocation, else the folders of its uninstaller and
// of its icon; only those that may be a program's own.
std::vector<std::string> InstallFoldersOf(const Environment& environment, RegistryKey& key,
                                          const std::vector<std::string>& shared) {
    std::vector<std::string> candidates;
    if (const auto location = PathNamedBy(environment, Text(key, "InstallLocation")))
        candidates.push_back(*location);
    if (candidates.empty()) {
        for (const char* name : {"UninstallString", "DisplayIcon"})
            if (const auto file = PathNamedBy(environment, Text(key, name)))
                candidates.push_back(FolderOf(*file));
    }
    std::vector<std::string> folders;
    for (const std::string& folder : candidates) {
        if (!MayBeInstallFolder(folder, shared)) continue;
        if (std::none_of(folders.begin(), folders.end(),
                         [&](const std::string& known) { return IsSameOrInside(folder, known); }))
            folders.push_back(folder);
    }
    return folders;
}

OtherPrograms ReadOtherPrograms(const Platform& platform, const Environment& environment,
                                const KeyName& subjectKey, const std::vector<std::string>& shared) {
    OtherPrograms others;
    const std::string subject = FoldCase(subjectKey.Text());
    for (const UninstallSource& source : UninstallSources()) {
        RegistryKey list(platform.registry);
        if (!list.Open(source.root, source.keyPath, access::Read)) continue;
        for (const std::string& name : list.Subkeys()) {
            const KeyName entryKey = KeyName::Key(source.root, source.keyPath + "\\" + name);
            if (FoldCase(entryKey.Text()) == subject) continue;
            RegistryKey entry(platform.registry);
            if (!entry.Open(source.root, entryKey.keyPath, access::Read)) continue;
            for (const std::string& folder : InstallFoldersOf(environment, entry, shared))
                others.folders.push_back(folder);
            for (const char* value : {"UninstallString", "DisplayIcon", "QuietUninstallString"})
                if (const auto file = PathNamedBy(environment, Text(entry, value)))
                    others.files.push_back(*file);
            const std::string displayName = Text(entry, "DisplayName");
            if (!displayName.empty()) others.names.push_back(displayName);
        }
    }
    return others;
}

class LeftoverSearch {
public:
    LeftoverSearch(const Platform& platform, const LeftoverSubject& subject)
        : platform_(platform), subject_(subject), environment_(UserEnvironment(platform)) {
        others_ = ReadOtherPrograms(platform, environment_, subject.entryKey, SharedFolders(platform));
    }

    std::vector<Leftover> Run() {
        UninstallEntryTrace();
        AppPaths();
        RunEntries();
        SharedDlls();
        ClassServers();
        ProgIds();
        Shortcuts();
        SettingsKeys();
        InstallFolders();
        return std::move(found_);
    }

private:
    bool OwnedByOther(const std::string& path) const {
        for (const std::string& folder : others_.folders)
            if (IsSameOrInside(path, folder)) return true;
        for (const std::string& file : others_.files)
            if (IsSameOrInside(path, file)) return true;
        return false;
    }

    // Why the file a value names is the program's: it lies inside the install folder and is gone.
    std::optional<std::string> EvidenceFor(const std::string& path) const {
        for (const std::string& folder : subject_.installFolders) {
            if (!IsInside(path, folder) || OwnedByOther(path)) continue;
            if (platform_.files.probePath(path).state != PathState::Missing) return std::nullopt;
            const bool folderGone = platform_.files.probePath(folder).state == PathState::Missing;
            return "points to " + path + kRemoved + (folderGone ? "folder removed" : "file removed");
        }
        return std::nullopt;
    }
    std::optional<std::string> EvidenceForValue(const std::string& value) const {
        const auto path = PathNamedBy(environment_, value);
        return path ? EvidenceFor(*path) : std::nullopt;
    }

    void Add(LeftoverKind kind, std::optional<KeyName> key, std::string file, std::string evidence,
             bool checked) {
        Leftover trace{kind, std::move(key), std::move(file), std::move(evidence), checked};
        const std::string where = FoldCase(trace.Where());
        for (const Leftover& known : found_)
            if (FoldCase(known.Where()) == where) return;
        found_.push_back(std::move(trace));
    }

    void UninstallEntryTrace() {
        RegistryKey entry(platform_.registry);
        if (!entry.Open(subject_.entryKey.root, subject_.entryKey.keyPath, access::Read)) return;
        std::optional<std::string> evidence;
        for (const char* name : {"UninstallString", "DisplayIcon"}) {
            if (!evidence) evidence = EvidenceForValue(Text(entry, name));
        }
        if (evidence)
            Add(LeftoverKind::UninstallEntry, subject_.entryKey, {}, "uninstaller " + *evidence, true);
    }

    void AppPaths() {
        for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
            // One key for both views: WOW64 shares App Paths since Windows 7, so its Wow6432Node
            // path is only a second name of the same key.
            for (const std::string path : {kAppPaths}) {
                RegistryKey list(platform_.registry);
                if (!list.Open(root, path, access::Read)) continue;
                for (const std::string& name : list.Subkeys()) {
                    RegistryKey app(platform_.registry);
                    if (!app.Open(root, path + "\\" + name, access::Read)) continue;
                    if (const auto evidence = EvidenceForValue(Text(app, "")))
                        Add(LeftoverKind::AppPath, KeyName::Key(root, path + "\\" + name), {}, *evidence,
                            true);
                }
            }
        }
    }

    void RunEntries() {
        for (HKey root : {roots::LocalMachine, roots::CurrentUser}) {
            for (const char* list : {"Run", "RunOnce"}) {
                for (const std::string& path : BothViews(root, std::string(kCurrentVersion) + "\\" + list)) {
                    RegistryKey key(platform_.registry);
                    if (!key.Open(root, path, access::Read)) continue;
                    for (const NamedRegValue& value : key.ValuesWithData()) {
                        const auto text = ValueText(value.value);
                        const auto evidence = text ? EvidenceForValue(*text) : std::nullopt;
                        if (!evidence) continue;
                        Add(LeftoverKind::RunEntry, KeyName::Value(root, path, value.name), {}, *evidence,
                            true);
                        if (std::string(list) == "Run") StartupState(root, IsWow64Path(path), value.name);
                    }
                }
            }
        }
    }

    // Explorer's record of whether a Run entry is enabled goes with the entry.
    void StartupState(HKey root, bool view32, const std::string& name) {
        const std::string path = std::string(kStartupApproved) + (view32 ? "\\Run32" : "\\Run");
        RegistryKey key(platform_.registry);
        if (!key.Open(root, path, access::Read)) return;
        RegValue value;
        if (platform_.registry.queryValue(key.Handle(), name, value) != status::Success) return;
        Add(LeftoverKind::StartupState, KeyName::Value(root, path, name), {},
            "startup state of the Run entry \"" + name + "\", which is left behind too", true);
    }

    void SharedDlls() {
        for (const std::string& path : BothViews(roots::LocalMachine, kSharedDlls)) {
            RegistryKey key(platform_.registry);
            if (!key.Open(roots::LocalMachine, path, access::Read)) continue;
            for (const std::string& name : key.ValueNames())
                if (const auto evidence = EvidenceForValue(name))
                    Add(LeftoverKind::SharedDll, KeyName::Value(roots::LocalMachine, path, name), {},
                        *evidence, true);
        }
    }

    // The classes of HKLM (both views) and of the user.
    std::vector<std::pair<HKey, std::string>> ClassesKeys(const std::string& below) const {
        std::vector<std::pair<HKey, std::string>> keys;
        for (HKey root : {roots::LocalMachine, roots::CurrentUser})
            for (const std::string& path : BothViews(root, std::string(kClasses) + below))
                keys.emplace_back(root, path);
        return keys;
    }

    // Evidence for a key whose values all point to gone files of the program: one at least, and
    // none to anything else.
    std::optional<std::string> EvidenceOfAll(const std::vector<std::string>& values) const {
        std::optional<std::string> evidence;
        for (const std::string& value : values) {
            if (value.empty()) continue;
            const auto found = EvidenceForValue(value);
            if (!found) return std::nullopt;
            if (!evidence) evidence = found;
        }
        return evidence;
    }

    void ClassServers() {
        for (const auto& [root, path] : ClassesKeys("\\CLSID")) {
            RegistryKey list(platform_.registry);
            if (!list.Open(root, path, access::Read)) continue;
            for (const std::string& clsid : list.Subkeys()) {
                std::vector<std::string> servers;
                for (const char* server : {"InprocServer32", "LocalServer32"}) {
                    RegistryKey key(platform_.registry);
                    if (key.Open(root, path + "\\" + clsid + "\\" + server, access::Read))
                        servers.push_back(Text(key, ""));
                }
                if (const auto evidence = EvidenceOfAll(servers))
                    Add(LeftoverKind::ClassServer, KeyName::Key(root, path + "\\" + clsid), {}, *evidence,
                        true);
            }
        }
    }

    void ProgIds() {
        for (const auto& [root, path] : ClassesKeys("")) {
            if (IsWow64Path(path)) continue;  // the 32-bit view holds class registrations only
            RegistryKey list(platform_.registry);
            if (!list.Open(root, path, access::Read)) continue;
            for (const std::string& name : list.Subkeys()) {
                if (name.empty() || name[0] == '.' || kSharedClasses.count(FoldCase(name))) continue;
                const std::string shell = path + "\\" + name + "\\shell";
                RegistryKey verbs(platform_.registry);
                if (!verbs.Open(root, shell, access::Read)) continue;
                std::vector<std::string> commands;
                for (const std::string& verb : verbs.Subkeys()) {
                    RegistryKey command(platform_.registry);
                    if (command.Open(root, shell + "\\" + verb + "\\command", access::Read))
                        commands.push_back(Text(command, ""));
                }
                if (const auto evidence = EvidenceOfAll(commands))
                    Add(LeftoverKind::ProgId, KeyName::Key(root, path + "\\" + name), {}, *evidence, true);
            }
        }
    }

    void ShortcutsIn(const std::string& folder, int depth) {
        std::vector<FileEntry> entries;
        if (depth > 4 || !platform_.files.findFiles(folder + "\\*", entries)) return;
        for (const FileEntry& entry : entries) {
            if (entry.name == "." || entry.name == "..") continue;
            const std::string path = folder + "\\" + entry.name;
            if (entry.attributes & fileattr::Directory) {
                // Program groups are plain folders; hidden ones are the system's (a Recycle Bin, a
                // profile folder that a desktop maps onto).
                if (!(entry.attributes & (fileattr::Hidden | fileattr::System))) ShortcutsIn(path, depth + 1);
                continue;
            }
            const std::string name = FoldCase(entry.name);
            if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lnk") != 0) continue;
            const auto bytes = platform_.files.readFile(path);
            const auto target = bytes ? ShellLinkTarget(*bytes) : std::nullopt;
            if (const auto evidence = target ? EvidenceFor(*target) : std::nullopt)
                Add(LeftoverKind::Shortcut, std::nullopt, path, *evidence, true);
        }
    }

    void Shortcuts() {
        const std::pair<HKey, const char*> folders[] = {
            {roots::CurrentUser, "Programs"},        {roots::CurrentUser, "Desktop"},
            {roots::CurrentUser, "Startup"},         {roots::LocalMachine, "Common Programs"},
            {roots::LocalMachine, "Common Desktop"}, {roots::LocalMachine, "Common Startup"},
        };
        for (const auto& [root, name] : folders) {
            RegistryKey key(platform_.registry);
            if (!key.Open(root, kShellFolders, access::Read)) continue;
            const std::string folder = Text(key, name);
            if (!folder.empty()) ShortcutsIn(folder, 0);
        }
    }

    // Whether another installed program goes by `name`, or by `name` and more ("Tool" and "Tool 2.1").
    bool NamesAnotherProgram(const std::string& name) const {
        const std::string folded = FoldCase(name);
        for (const std::string& other : others_.names) {
            const std::string otherFolded = FoldCase(other);
            if (otherFolded == folded || otherFolded.rfind(folded + " ", 0) == 0) return true;
        }
        return false;
    }

    void SettingsKeys() {
        const std::string& publisher = subject_.publisher;
        const std::string& product = subject_.displayName;
        if (publisher.empty() || product.empty() || publisher.find('\\') != std::string::npos ||
            product.find('\\') != std::string::npos || kSharedSoftwareKeys.count(FoldCase(publisher)))
            return;
        const std::pair<HKey, std::string> places[] = {
            {roots::LocalMachine, "Software"},
            {roots::LocalMachine, "Software\\Wow6432Node"},
            {roots::CurrentUser, "Software"},
        };
        for (const auto& [root, software] : places) {
            const std::string publisherKey = software + "\\" + publisher;
            RegistryKey key(platform_.registry);
            if (!key.Open(root, publisherKey, access::Read)) continue;
            const std::vector<std::string> products = key.Subkeys();
            const bool exact = std::find(products.begin(), products.end(), product) != products.end();
            if (!exact) continue;
            const bool sharedWithInstalled = std::any_of(
                products.begin(), products.end(),
                [&](const std::string& other) { return other != product && NamesAnotherProgram(other); });
            if (sharedWithInstalled) continue;
            Add(LeftoverKind::SettingsKey, KeyName::Key(root, publisherKey + "\\" + product), {},
                "named after the program (publisher \"" + publisher + "\", product \"" + product +
                    "\"): a match by name only",
                false);
        }
    }

    void InstallFolders() {
        for (const std::string& folder : subject_.installFolders) {
            if (!platform_.files.probePath(folder).IsFolder()) continue;
            const bool shared =
                std::any_of(others_.folders.begin(), others_.folders.end(),
                            [&](const std::string& other) {
                                return IsSameOrInside(other, folder) || IsSameOrInside(folder, other);
                            }) ||
                std::any_of(others_.files.begin(), others_.files.end(),
                            [&](const std::string& file) { return IsInside(file, folder); });
            if (shared) continue;
            const bool uninstallerGone =
                subject_.uninstaller && IsInside(*subject_.uninstaller, folder) &&
                platform_.files.probePath(*subject_.uninstaller).state == PathState::Missing;
            if (uninstallerGone)
                Add(LeftoverKind::InstallFolder, std::nullopt, folder,
                    "install folder; its uninstaller " + *subject_.uninstaller + " is gone, files remain",
                    true);
            else
                Add(LeftoverKind::InstallFolder, std::nullopt, folder, "install folder; files remain", false);
        }
    }

    const Platform& platform_;
    const LeftoverSubject& subject_;
    const Environment environment_;  // what variables in the values expand to, read once a search
    OtherPrograms others_;
    std::vector<Leftover> found_;
};

}  // namespace

std::string LeftoverKindText(LeftoverKind kind) {
    switch (kind) {
        case LeftoverKind::UninstallEntry:
            return "Uninstall entry";
        case LeftoverKind::AppPath:
            return "App Paths entry";
        case LeftoverKind::RunEntry:
            return "Run entry";
        case LeftoverKind::StartupState:
            return "Startup state";
        case LeftoverKind::SharedDll:
            return "Shared DLL count";
        case LeftoverKind::ClassServer:
            return "Class registration";
        case LeftoverKind::ProgId:
            return "File type";
        case LeftoverKind::Shortcut:
            return "Shortcut";
        case LeftoverKind::SettingsKey:
            return "Settings key";
        case LeftoverKind::InstallFolder:
            return "Install folder";
    }
    return {};
}

std::string LeftoverKindId(LeftoverKind kind) {
    switch (kind) {
        case LeftoverKind::UninstallEntry:
            return "uninstallEntry";
        case LeftoverKind::AppPath:
            return "appPath";
        case LeftoverKind::RunEntry:
            return "runEntry";
        case LeftoverKind::StartupState:
            return "startupState";
        case LeftoverKind::SharedDll:
            return "sharedDll";
        case LeftoverKind::ClassServer:
            return "classServer";
        case LeftoverKind::ProgId:
            return "progId";
        case LeftoverKind::Shortcut:
            return "shortcut";
        case LeftoverKind::SettingsKey:
            return "settingsKey";
        case LeftoverKind::InstallFolder:
            return "installFolder";
    }
    return {};
}

LeftoverSubject ReadLeftoverSubject(const Platform& platform, const UninstallEntry& entry) {
    LeftoverSubject subject;
    subject.entryKey = entry.key;
    subject.displayName = entry.displayName;
    subject.publisher = entry.publisher;
    RegistryKey key(platform.registry);
    if (!key.Open(entry.key.root, entry.key.keyPath, access::Read)) return subject;
    const Environment environment = UserEnvironment(platform);
    subject.installFolders = InstallFoldersOf(environment, key, SharedFolders(platform));
    subject.uninstaller = PathNamedBy(environment, Text(key, "UninstallString"));
    return subject;
}

std::vector<Leftover> FindLeftovers(const Platform& platform, const LeftoverSubject& subject) {
    if (subject.installFolders.empty() && subject.publisher.empty()) return {};
    return LeftoverSearch(platform, subject).Run();
}

}  // namespace korvane
