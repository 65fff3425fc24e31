// What one korvanec command works with, set up as the window sets itself up at start: the data
// folder (or, for a run as SYSTEM, %ProgramData%\Korvane), the undo history, the ignore list, the
// registry with this run's loaded user hives in place, and the options every command shares.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "console/ConsoleDialogs.h"
#include "console/ConsoleLeftovers.h"
#include "console/ConsoleScan.h"
#include "console/InlineUiThread.h"
#include "console/ProfileRegistry.h"
#include "console/RunDocument.h"
#include "console/UserProfiles.h"
#include "core/AppState.h"
#include "core/DataFolder.h"
#include "scan/IgnoreList.h"
#include "undo/UndoHistory.h"

namespace korvane::console {

// The options of the command line (CLI11 fills them).
struct Options {
    std::vector<int> groups;
    std::string format = "text";
    bool formatGiven = false;
    bool all = false;
    std::vector<std::string> keys;
    std::string from;
    std::vector<int> indexes;
    std::vector<std::string> ignoreEntry;
    std::vector<int> ignoreIndexes;
    bool summary = false;
    std::string out;
    bool exitZero = false;
    bool dryRun = false;
    bool allUsers = false;
    std::string user;
    std::string log;
    bool verify = false;  // startup list: check each program's signature
    LeftoverCommand leftovers;
    std::string leftoverFormat = "json";
};

// A command that cannot go on: its text goes to the error stream and the exit code is 2.
struct CommandError {
    std::string text;
};

class Session {
public:
    // `startFolder` is the folder relative paths of the command line are taken from.
    Session(Platform& outside, std::string startFolder);

    // A path of the command line, made absolute against the folder korvanec was started in.
    std::string PathOfArgument(const std::string& path) const;

    // What a scan covers for `options` (--all-users, --user, or the account's own keys); loads the
    // hives of signed-out users. Throws CommandError for a --user that names no profile.
    ScanScope ScopeFor(const Options& options);
    // Makes the profiles named by these Key Names reachable (a restore into a signed-out user's hive).
    void AttachProfilesOf(const std::vector<KeyName>& names);

    // Takes the undo history's writer lock for the rest of the command; throws CommandError when
    // another Korvane keeps it.
    void LockHistory();

    RunFacts Facts(const std::string& command) const;
    bool ServiceRun() const { return serviceRun_; }
    const DataFolder& Data() const { return data_; }

private:
    void AddProfileContainers(const std::string& sid);

    Platform& outside_;
    std::string startFolder_;
    std::chrono::steady_clock::time_point started_;
    std::string startedUtc_;
    bool serviceRun_ = false;
    DataFolder data_;

public:
    // Declared in this order so that everything holding registry keys is gone before the hives of
    // this run are unloaded (ProfileMounts goes last).
    ProfileRegistry registry;
    ProfileMounts mounts;
    ConsoleDialogs dialogs;

private:
    InlineUiThread ui_;
    Records scope_ = Records::object();
    std::deque<std::string> containerPaths_;

public:
    Platform platform;
    AppState state;
    UndoHistory history;
    IgnoreList ignoreList;
};

}  // namespace korvane::console
