// korvanec's leftover commands (see ConsoleLeftovers.h).
#include "console/ConsoleLeftovers.h"

#include <exception>
#include <set>

#include "uninstall/LeftoverRemoval.h"
#include "uninstall/LeftoverRun.h"
#include "uninstall/UninstallSources.h"

namespace korvane::console {

namespace {

std::optional<UninstallEntry> EntryNamed(Platform& platform, const std::string& keyName) {
    std::vector<UninstallEntry> entries;
    ReadUninstallEntries(platform.registry, entries);
    for (UninstallEntry& entry : entries)
        if (FoldCase(entry.key.Text()) == FoldCase(keyName)) return std::move(entry);
    return std::nullopt;
}

std::string EndText(UninstallRunEnd end) {
    switch (end) {
        case UninstallRunEnd::Ended:
            return "ended";
        case UninstallRunEnd::NotFollowed:
            return "endNotFollowed";
        case UninstallRunEnd::StoppedWaiting:
            return "stoppedWaiting";
        case UninstallRunEnd::NotStarted:
            return "notStarted";
        case UninstallRunEnd::NoUninstaller:
            return "noUninstaller";
        case UninstallRunEnd::ScanOnly:
            return "notRun";
    }
    return {};
}

}  // namespace

int RunLeftoverCommand(Platform& platform, UndoHistory& history, const LeftoverCommand& command,
                       std::ostream& out, std::ostream& err) {
    const auto entry = EntryNamed(platform, command.key);
    if (!entry) {
        err << "error: no installed program has the key " << command.key << '\n';
        return 2;
    }
    const UninstallRun run =
        UninstallAndFindLeftovers(platform, *entry, command.uninstall, command.quiet, {});
    int status = 0;
    if (command.uninstall && run.end != UninstallRunEnd::Ended) {
        err << (run.end == UninstallRunEnd::NoUninstaller ? "error: the uninstaller cannot be found: "
                                                          : "error: the uninstaller did not run to its end: ")
            << run.commandLine << '\n';
        status = 2;
    }
    std::set<std::string> failed;
    if (command.clean) {
        try {
            const LeftoverRemoval removal =
                RemoveLeftovers(history, platform.files, entry->displayName, run.leftovers);
            failed.insert(removal.failed.begin(), removal.failed.end());
        } catch (const std::exception& error) {
            err << "error: " << error.what() << '\n';
            return 2;
        }
        if (!failed.empty()) status = 2;
    }
    Records records = Records::array();
    for (const Leftover& trace : run.leftovers) {
        Records record = Records::object();
        record["program"] = entry->displayName;
        record["uninstaller"] = EndText(run.end);
        record["kind"] = LeftoverKindId(trace.kind);
        record["where"] = trace.Where();
        record["evidence"] = trace.evidence;
        record["proposed"] = trace.checked;
        record["removed"] = command.clean && trace.checked && !failed.count(trace.Where());
        records.push_back(std::move(record));
    }
    WriteRecords(out, records, command.format);
    return status;
}

}  // namespace korvane::console
