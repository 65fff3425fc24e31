// A scan without the window: the chosen groups run one after the other on the calling thread, and
// each finding passes the same ignore rule as in the window. A scan covers a scope: the keys of the
// machine, the current user's keys, and the keys of chosen user profiles (a run as SYSTEM serving
// every user), each user's through a registry that shows that user's hive as HKEY_CURRENT_USER; the
// findings of a profile are named under HKEY_USERS\<SID> so that a fix or a restore reaches that
// user's hive.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "console/UserProfiles.h"
#include "controls/ListView.h"
#include "platform/Platform.h"
#include "registry/WindowsVersion.h"
#include "scan/IgnoreList.h"
#include "scanwalk/ScanSink.h"

namespace korvane::console {

// The groups that read the user's keys (HKEY_CURRENT_USER): Run-dialog history, Start menu order,
// sound events, file extensions. The others read only the machine's keys.
inline constexpr std::array<int, 4> kPerUserGroups = {4, 5, 9, 11};
bool IsPerUserGroup(int group);

struct ScanScope {
    bool machineKeys = true;  // the groups that read the machine's keys
    bool currentUser = true;  // the per-user groups in HKEY_CURRENT_USER (the account's own profile)
    std::string currentUserSid;
    std::vector<UserProfile> profiles;  // the per-user groups in each of these profiles
};

struct ScopedFinding {
    ScanFinding finding;
    std::string profile;  // the SID of the user whose keys hold it; empty for the machine's keys
};

// The findings of `groups` (numbers 0 to 11, in any order; each runs once per scope, in number
// order), in the window's order (by Error Type, then as found). `progress`, when set, is told the name
// of each group as it starts.
std::vector<ScopedFinding> ScanInScope(Platform& platform, WindowsVersion& windowsVersion,
                                       const IgnoreList& ignoreList, const std::vector<int>& groups,
                                       const ScanScope& scope,
                                       const std::function<void(const std::string&)>& progress = {});

// Fills `lvErrors` (emptied first) with rows for `findings`, as the window's scan would; a finding
// that came back is never checked.
void FindingsToList(const std::vector<ScopedFinding>& findings, ListView& lvErrors);

// Where a finding read through a profile's HKEY_CURRENT_USER really is: HKEY_USERS\<SID>\… (or
// HKEY_USERS\<SID>_Classes\… for the user's classes).
KeyName InProfile(const KeyName& where, const std::string& sid);

// The group an Error Type belongs to; -1 for none.
int GroupOfErrorType(const std::string& errorType);

}  // namespace korvane::console
