// The user profiles of the machine, for a run that serves every user (a run as SYSTEM from a fleet
// tool): who they are (HKEY_LOCAL_MACHINE\...\ProfileList), where their keys are for this run, and the
// hives of signed-out users, loaded under a private name for the run and always unloaded again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/ProfileRegistry.h"
#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"

namespace korvane::console {

inline constexpr const char* kSystemSid = "S-1-5-18";
// Names below HKEY_USERS that a run mounts hives under; a run that was killed leaves them behind.
inline constexpr const char* kMountPrefix = "Korvane.Profile.";

struct ProfileEntry {
    std::string sid;
    std::string folder;  // the profile folder as resolved; empty when it could not be
};

struct UserProfile {
    std::string sid;
    std::string hive;         // where the user's keys are below HKEY_USERS for this run
    std::string classesHive;  // the same for the user's classes; empty when there are none
    bool signedIn = false;    // Windows has the hive loaded (the user is signed in, or a service runs)
};

// Profiles of people (SIDs S-1-5-21-… and S-1-12-1-…; not SYSTEM nor the service accounts), in the
// registry's order. `%SystemDrive%` and `%SystemRoot%` in a profile path are resolved.
std::vector<ProfileEntry> ListProfiles(RegistryBackend& registry, SystemInfo& system);

// Whether `sid` is written as a SID ("S-1-…" with numbers only).
bool LooksLikeSid(const std::string& sid);

// Unloads what an earlier run left mounted (names beginning with kMountPrefix); how many.
int UnloadLeftoverMounts(RegistryBackend& registry);

// The hives of one run: a signed-in user's are used where they are; a signed-out user's NTUSER.DAT
// (and UsrClass.dat when there is one) are loaded under private names. Everything loaded is unloaded
// when this object goes, also after an error; keys opened inside must be closed by then.
class ProfileMounts {
public:
    ProfileMounts(RegistryBackend& registry, FileSystem& files);
    ~ProfileMounts();
    ProfileMounts(const ProfileMounts&) = delete;
    ProfileMounts& operator=(const ProfileMounts&) = delete;

    // Makes `profile`'s keys reachable; nothing (and `why` says so) when they cannot be.
    std::optional<UserProfile> Attach(const ProfileEntry& profile, std::string& why);
    const std::vector<UserProfile>& Attached() const { return attached_; }
    // HKEY_USERS\<SID>[_Classes] to the private names of the loaded hives.
    std::vector<RegistryRedirect> Redirects() const;
    // Unloads now what is loaded; how many could not be.
    int UnloadAll();

private:
    RegistryBackend& registry_;
    FileSystem& files_;
    std::vector<UserProfile> attached_;
    std::vector<std::string> mounted_;
};

// The redirects of one user's scan: HKEY_CURRENT_USER\Software\Classes to the user's classes hive,
// HKEY_CURRENT_USER to the user's hive, and HKEY_CLASSES_ROOT to the user's classes over the machine's.
std::vector<RegistryRedirect> CurrentUserRedirects(const UserProfile& profile);

}  // namespace korvane::console
