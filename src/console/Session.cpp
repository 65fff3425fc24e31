// One command's services (see Session.h).
#include "console/Session.h"

#include <stdexcept>

#include "platform/PathText.h"
#include "registry/RootKeys.h"
#include "scanwalk/ScanGroups.h"
#include "uninstall/AddRemove.h"

namespace korvane::console {

namespace {

// A writer waits this long for another Korvane to finish with the history.
constexpr std::chrono::seconds kLockWait{5};

// "S-1-5-21-…" from the first part of a key path below HKEY_USERS ("S-1-5-21-…_Classes" too).
std::string SidOfUsersPath(const std::string& keyPath) {
    std::string first = keyPath.substr(0, keyPath.find('\\'));
    const std::string classes = "_Classes";
    if (first.size() > classes.size() &&
        FoldCase(first.substr(first.size() - classes.size())) == FoldCase(classes))
        first.resize(first.size() - classes.size());
    return LooksLikeSid(first) ? first : std::string();
}

}  // namespace

Session::Session(Platform& outside, std::string startFolder)
    : outside_(outside),
      startFolder_(std::move(startFolder)),
      started_(std::chrono::steady_clock::now()),
      startedUtc_(UtcText(outside.system.systemTimeAsFileTime())),
      registry(outside.registry, {}),
      mounts(outside.registry, outside.files),
      platform{registry, outside.files, outside.system,   outside.processes, ui_,
               dialogs,  outside.tasks, outside.services, outside.signatures},
      state(platform),
      history(state),
      ignoreList(platform) {
    // The keys the fixes and the leftover removal read entries from: guarded once, here.
    history.Containers().Add(ScanContainerKeys());
    AddUninstallContainers(history.Containers());
    serviceRun_ = RunsAsServiceAccount(outside.system);
    if (serviceRun_) {
        std::optional<DataFolder> own = ChooseServiceDataFolder(outside.files, outside.system);
        if (!own)
            throw CommandError{"the data folder " + outside.system.programDataDirectory() +
                               "\\Korvane cannot be made private to Administrators and SYSTEM"};
        data_ = *own;
    } else {
        data_ = ChooseDataFolder(outside.files, outside.system);
    }
    state.ProgramFolder = data_.folder;
    state.BackupFolder = data_.folder + "Backup";
    if (!data_.besideProgram) platform.files.setCurrentDirectory(data_.folder);
    // Hives a killed run left loaded: nobody else unloads them.
    UnloadLeftoverMounts(outside.registry);
    history.Load(data_.besideProgram || serviceRun_ ? std::string() : data_.programFolder);
    ignoreList.Load();
}

std::string Session::PathOfArgument(const std::string& path) const {
    if (path.empty() || !IsRelativeToCurrentFolder(path) || startFolder_.empty()) return path;
    return WithBackslash(startFolder_) + path;
}

void Session::AddProfileContainers(const std::string& sid) {
    for (const BaseKey& base : ScanContainerKeys()) {
        if (base.root != roots::CurrentUser) continue;
        const KeyName named = InProfile(KeyName::Key(base.root, BackendPath(base.path)), sid);
        containerPaths_.push_back(named.keyPath);
        history.Containers().Add(BaseKey{named.root, containerPaths_.back()});
    }
}

ScanScope Session::ScopeFor(const Options& options) {
    ScanScope scope;
    Records profiles = Records::array();
    Records skipped = Records::array();
    const std::string account = outside_.system.accountSid();
    if (options.allUsers || !options.user.empty()) {
        scope.currentUser = false;
        std::vector<ProfileEntry> wanted = ListProfiles(outside_.registry, outside_.system);
        if (!options.user.empty()) {
            if (!LooksLikeSid(options.user)) throw CommandError{"not a SID: " + options.user};
            std::vector<ProfileEntry> one;
            for (const ProfileEntry& entry : wanted)
                if (FoldCase(entry.sid) == FoldCase(options.user)) one.push_back(entry);
            if (one.empty()) one.push_back(ProfileEntry{options.user, ""});  // loaded, but not listed
            wanted = one;
        }
        for (const ProfileEntry& entry : wanted) {
            std::string why;
            if (std::optional<UserProfile> profile = mounts.Attach(entry, why)) {
                scope.profiles.push_back(*profile);
                AddProfileContainers(profile->sid);
                profiles.push_back({{"sid", profile->sid}, {"signedIn", profile->signedIn}});
            } else {
                if (!options.user.empty())
                    throw CommandError{"the profile " + entry.sid + " cannot be read: " + why};
                skipped.push_back({{"sid", entry.sid}, {"reason", why}});
            }
        }
        registry.SetRedirects(mounts.Redirects());
    } else if (serviceRun_) {
        // SYSTEM's own HKEY_CURRENT_USER is no user's: only the machine's keys are scanned.
        scope.currentUser = false;
    } else {
        scope.currentUserSid = account;
    }
    scope_ = Records::object();
    scope_["machineKeys"] = scope.machineKeys;
    scope_["currentUser"] = scope.currentUser;
    scope_["machineKeysOnly"] = !scope.currentUser && scope.profiles.empty();
    scope_["profiles"] = profiles;
    scope_["skipped"] = skipped;
    if (!scope.currentUser && !options.allUsers && options.user.empty())
        scope_["note"] = "run as " + (account.empty() ? std::string("a service account") : account) +
                         ": machine keys only; --all-users or --user SID scans user profiles";
    return scope;
}

void Session::AttachProfilesOf(const std::vector<KeyName>& names) {
    std::vector<ProfileEntry> listed;
    bool read = false;
    for (const KeyName& name : names) {
        if (name.root != roots::Users) continue;
        const std::string sid = SidOfUsersPath(name.keyPath);
        if (sid.empty()) continue;
        if (!read) listed = ListProfiles(outside_.registry, outside_.system);
        read = true;
        ProfileEntry entry{sid, ""};
        for (const ProfileEntry& known : listed)
            if (FoldCase(known.sid) == FoldCase(sid)) entry = known;
        std::string why;
        if (!mounts.Attach(entry, why)) dialogs.information("The profile " + sid + " cannot be read: " + why);
    }
    registry.SetRedirects(mounts.Redirects());
}

void Session::LockHistory() {
    std::unique_ptr<NamedLock> lock =
        outside_.system.lockNamed(WriterLockName(state.ProgramFolder), kLockWait);
    if (!lock)
        throw CommandError{
            "another Korvane program (the window or korvanec) is writing the undo history in " +
            state.ProgramFolder + "; try again when it has finished"};
    history.KeepWriterLock(std::move(lock));
}

RunFacts Session::Facts(const std::string& command) const {
    RunFacts facts;
    facts.command = command;
    facts.version = KORVANE_VERSION;
    facts.machine = outside_.system.machineName();
    facts.accountSid = outside_.system.accountSid();
    facts.accountName = outside_.system.accountName();
    facts.elevated = outside_.system.runsElevated();
    facts.startedUtc = startedUtc_;
    facts.elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_)
            .count();
    facts.scope = scope_;
    facts.messages = dialogs.Messages();
    return facts;
}

}  // namespace korvane::console
