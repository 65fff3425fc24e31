// One program's uninstall as the page and the console run it: what its entry says is read first,
// then its uninstaller runs and is waited for with every process it starts, then what it left behind
// is looked for. Runs on a worker: it blocks while the uninstaller runs.
#pragma once

#include <functional>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/Leftovers.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

enum class UninstallRunEnd {
    Ended,           // the uninstaller and all it started have ended; leftovers were looked for
    NotFollowed,     // it ran, but its end could not be followed; leftovers were looked for after it
    StoppedWaiting,  // the user stopped waiting: the uninstaller goes on, nothing was looked for
    NotStarted,      // its program exists but would not start; leftovers were looked for
    NoUninstaller,   // the entry has no command or its program is missing; leftovers were looked for
    ScanOnly,        // asked to look for leftovers without uninstalling
};

struct UninstallRun {
    UninstallRunEnd end = UninstallRunEnd::ScanOnly;
    std::string commandLine;  // what was (or would have been) started
    std::vector<Leftover> leftovers;
};

// With `uninstall` false only the leftovers are looked for (a program already gone). `quiet` picks
// the quiet command, as the "Quiet" box does.
UninstallRun UninstallAndFindLeftovers(const Platform& platform, const UninstallEntry& entry, bool uninstall,
                                       bool quiet, const std::function<bool()>& stopWaiting);

}  // namespace korvane
