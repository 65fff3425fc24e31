// Profiles and their hives (see UserProfiles.h).
#include "console/UserProfiles.h"

#include <cctype>

#include "registry/KeyName.h"
#include "registry/RegistryKey.h"

namespace korvane::console {

namespace {

const std::string kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const std::string kClassesFile = "AppData\\Local\\Microsoft\\Windows\\UsrClass.dat";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool IsPersonSid(const std::string& sid) {
    return LooksLikeSid(sid) && (StartsWith(sid, "S-1-5-21-") || StartsWith(sid, "S-1-12-1-"));
}

// Replaces `%name%` (any case) by `value` wherever it occurs.
std::string ReplaceVariable(std::string text, const std::string& name, const std::string& value) {
    const std::string folded = FoldCase("%" + name + "%");
    for (std::size_t at = 0; (at = FoldCase(text).find(folded, at)) != std::string::npos;) {
        text.replace(at, folded.size(), value);
        at += value.size();
    }
    return text;
}

std::string ResolveProfileFolder(std::string path, SystemInfo& system) {
    const std::string systemFolder = system.systemDirectory();  // C:\Windows\system32
    const std::size_t slash = systemFolder.rfind('\\');
    const std::string windows = slash == std::string::npos ? systemFolder : systemFolder.substr(0, slash);
    path = ReplaceVariable(std::move(path), "SystemDrive", systemFolder.substr(0, 2));
    path = ReplaceVariable(std::move(path), "SystemRoot", windows);
    if (path.find('%') != std::string::npos) return {};  // a variable this run cannot know
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool UsersHas(RegistryBackend& registry, const std::string& name) {
    RegistryKey key(registry);
    return key.Open(roots::Users, name, access::Read);
}

}  // namespace

bool LooksLikeSid(const std::string& sid) {
    if (!StartsWith(sid, "S-1-") || sid.size() > 184) return false;
    char previous = '-';
    for (std::size_t i = 2; i < sid.size(); ++i) {
        const char c = sid[i];
        if (c == '-' && previous == '-') return false;
        if (c != '-' && !std::isdigit(static_cast<unsigned char>(c))) return false;
        previous = c;
    }
    return previous != '-';
}

std::vector<ProfileEntry> ListProfiles(RegistryBackend& registry, SystemInfo& system) {
    std::vector<ProfileEntry> profiles;
    RegistryKey list(registry);
    if (!list.Open(roots::LocalMachine, kProfileList, access::Read)) return profiles;
    for (const std::string& sid : list.Subkeys()) {
        if (!IsPersonSid(sid)) continue;
        RegistryKey profile(registry);
        std::string folder;
        if (profile.Open(list.Handle(), sid, access::Read))
            folder = ResolveProfileFolder(profile.ReadText("ProfileImagePath").value_or(""), system);
        profiles.push_back(ProfileEntry{sid, folder});
    }
    return profiles;
}

int UnloadLeftoverMounts(RegistryBackend& registry) {
    RegistryKey users(registry);
    if (!users.Open(roots::Users, "", access::Read)) return 0;
    int unloaded = 0;
    for (const std::string& name : users.Subkeys())
        if (StartsWith(name, kMountPrefix) && registry.unloadHive(roots::Users, name) == status::Success)
            ++unloaded;
    return unloaded;
}

ProfileMounts::ProfileMounts(RegistryBackend& registry, FileSystem& files)
    : registry_(registry), files_(files) {}

ProfileMounts::~ProfileMounts() {
    UnloadAll();
}

int ProfileMounts::UnloadAll() {
    int left = 0;
    std::vector<std::string> still;
    // The classes hive was loaded after the user's: unload in the opposite order.
    for (auto it = mounted_.rbegin(); it != mounted_.rend(); ++it) {
        if (registry_.unloadHive(roots::Users, *it) == status::Success) continue;
        ++left;
        still.insert(still.begin(), *it);
    }
    mounted_ = std::move(still);
    return left;
}

std::optional<UserProfile> ProfileMounts::Attach(const ProfileEntry& entry, std::string& why) {
    for (const UserProfile& known : attached_)
        if (FoldCase(known.sid) == FoldCase(entry.sid)) return known;
    UserProfile profile;
    profile.sid = entry.sid;
    if (UsersHas(registry_, entry.sid)) {
        profile.hive = entry.sid;
        profile.signedIn = true;
        if (UsersHas(registry_, entry.sid + "_Classes")) profile.classesHive = entry.sid + "_Classes";
        attached_.push_back(profile);
        return profile;
    }
    if (entry.folder.empty()) {
        why = "the profile folder of " + entry.sid + " is not known";
        return std::nullopt;
    }
    const std::string userFile = entry.folder + "\\NTUSER.DAT";
    if (!files_.fileExists(userFile)) {
        why = userFile + " does not exist";
        return std::nullopt;
    }
    const std::string name = kMountPrefix + entry.sid;
    const long loaded = registry_.loadHive(roots::Users, name, userFile);
    if (loaded != status::Success) {
        why =
            userFile + " could not be loaded (" +
            (loaded == status::PrivilegeNotHeld ? std::string("the backup and restore privileges are needed")
                                                : "error " + std::to_string(loaded)) +
            ")";
        return std::nullopt;
    }
    mounted_.push_back(name);
    profile.hive = name;
    const std::string classesFile = entry.folder + "\\" + kClassesFile;
    if (files_.fileExists(classesFile) &&
        registry_.loadHive(roots::Users, name + "_Classes", classesFile) == status::Success) {
        mounted_.push_back(name + "_Classes");
        profile.classesHive = name + "_Classes";
    }
    attached_.push_back(profile);
    return profile;
}

std::vector<RegistryRedirect> ProfileMounts::Redirects() const {
    std::vector<RegistryRedirect> redirects;
    for (const UserProfile& profile : attached_) {
        if (profile.signedIn) continue;
        // The classes' name is longer than the user's and begins with it: it comes first.
        redirects.push_back(
            {roots::Users, profile.sid + "_Classes", roots::Users,
             profile.classesHive.empty() ? profile.hive + "\\Software\\Classes" : profile.classesHive});
        redirects.push_back({roots::Users, profile.sid, roots::Users, profile.hive});
    }
    return redirects;
}

std::vector<RegistryRedirect> CurrentUserRedirects(const UserProfile& profile) {
    const std::string classes =
        profile.classesHive.empty() ? profile.hive + "\\Software\\Classes" : profile.classesHive;
    return {{roots::CurrentUser, "Software\\Classes", roots::Users, classes},
            {roots::CurrentUser, "", roots::Users, profile.hive},
            {roots::ClassesRoot, "", roots::Users, classes, roots::LocalMachine, "SOFTWARE\\Classes"}};
}

}  // namespace korvane::console
