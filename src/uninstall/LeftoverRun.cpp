// One program's uninstall and leftover scan (see LeftoverRun.h).
#include "uninstall/LeftoverRun.h"

#include "registry/Folders.h"
#include "uninstall/UninstallCommand.h"
#include "uninstall/UninstallCommandLine.h"

namespace korvane {

UninstallRun UninstallAndFindLeftovers(const Platform& platform, const UninstallEntry& entry, bool uninstall,
                                       bool quiet, const std::function<bool()>& stopWaiting) {
    UninstallRun run;
    // Read before the start: the uninstaller takes the entry away with it.
    const LeftoverSubject subject = ReadLeftoverSubject(platform, entry);
    if (uninstall) {
        run.commandLine = UninstallCommandLine(entry, quiet, SystemFolder(platform.system));
        const auto command = run.commandLine.empty()
                                 ? std::nullopt
                                 : ResolveUninstallCommand(platform.files, platform.system, run.commandLine);
        if (!command) {
            run.end = UninstallRunEnd::NoUninstaller;
        } else {
            switch (
                platform.processes.startAndWaitForTree(command->program, command->commandLine, stopWaiting)) {
                case TreeEnd::Ended:
                    run.end = UninstallRunEnd::Ended;
                    break;
                case TreeEnd::NotWaited:
                    run.end = UninstallRunEnd::NotFollowed;
                    break;
                case TreeEnd::NotStarted:
                    run.end = UninstallRunEnd::NotStarted;
                    break;
                case TreeEnd::StoppedWaiting:
                    run.end = UninstallRunEnd::StoppedWaiting;
                    return run;
            }
        }
    }
    run.leftovers = FindLeftovers(platform, subject);
    return run;
}

}  // namespace korvane
