// korvanec's commands (see Korvanec.h): arguments with CLI11, records with nlohmann-json, everything
// else through the same services and routines as the window.
#include "console/Korvanec.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <set>

#include "console/ConsoleDialogs.h"
#include "console/ConsoleLeftovers.h"
#include "console/ConsoleScan.h"
#include "console/InlineUiThread.h"
#include "console/TableOutput.h"
#include "core/DataFolder.h"
#include "scan/IgnoreList.h"
#include "scan/Repair.h"
#include "scan/ScanGroups.h"
#include "startup/StartupPage.h"
#include "undo/UndoHistory.h"
#include "uninstall/UninstallPage.h"

namespace korvane::console {

namespace {

// The services a command works with, set up as the window sets them up at start.
class Session {
public:
    Session(Platform& outside, std::ostream& err)
        : dialogs(err),
          platform{outside.registry, outside.files, outside.system,   outside.processes, ui_,
                   dialogs,          outside.tasks, outside.services, outside.signatures},
          state(platform),
          history(state),
          ignoreList(platform) {
        const DataFolder data = ChooseDataFolder(platform.files, platform.system);
        state.ProgramFolder = data.folder;
        state.BackupFolder = data.folder + "Backup";
        if (!data.besideProgram) platform.files.setCurrentDirectory(data.folder);
        history.Load(data.besideProgram ? std::string() : data.programFolder);
        ignoreList.Load();
    }

    ConsoleDialogs dialogs;

private:
    InlineUiThread ui_;

public:
    Platform platform;
    AppState state;
    UndoHistory history;
    IgnoreList ignoreList;
};

std::vector<int> AllGroups() {
    std::vector<int> groups(static_cast<std::size_t>(kScanGroupCount));
    for (int i = 0; i < kScanGroupCount; ++i) groups[static_cast<std::size_t>(i)] = i;
    return groups;
}

Records FindingRecords(const ListView& lvErrors) {
    Records records = Records::array();
    for (const ListItem& row : lvErrors.Items()) {
        const int group = GroupOfErrorType(row.caption);
        Records record = Records::object();
        record["group"] = group;
        record["groupName"] = group >= 0 ? ScanGroupNames[static_cast<std::size_t>(group)] : "";
        record["errorType"] = row.caption;
        record["keyName"] = row.subItems.at(0);
        record["keyValue"] = row.subItems.at(1);
        record["guessPath"] = row.subItems.at(2);
        record["checked"] = row.checked;
        records.push_back(std::move(record));
    }
    return records;
}

// The Key Names a findings file (what `scan --format json` writes) lists; nothing when it is not one.
std::optional<std::vector<std::string>> KeyNamesOfFile(const std::string& text) {
    const Records parsed = Records::parse(text, nullptr, false);
    const Records* list = &parsed;
    if (parsed.is_object() && parsed.contains("findings")) list = &parsed["findings"];
    if (!list->is_array()) return std::nullopt;
    std::vector<std::string> names;
    for (const Records& finding : *list) {
        if (!finding.is_object() || !finding.contains("keyName") || !finding["keyName"].is_string())
            return std::nullopt;
        names.push_back(finding["keyName"].get<std::string>());
    }
    return names;
}

struct Commands {
    std::vector<int> groups;
    std::string format = "text";
    bool all = false;
    std::vector<std::string> keys;
    std::string from;
    std::vector<int> indexes;
    std::vector<std::string> ignoreEntry;
    std::vector<int> ignoreIndexes;
    bool verify = false;
    LeftoverCommand leftovers;
    std::string leftoverFormat = "json";
};

int Scan(Session& session, const Commands& c, std::ostream& out, std::ostream& err, bool progress) {
    ListView lvErrors("lvErrors");
    std::function<void(const std::string&)> report;
    if (progress) report = [&err](const std::string& group) { err << "scanning: " << group << '\n'; };
    ScanInto(session.platform, session.ignoreList, c.groups.empty() ? AllGroups() : c.groups, lvErrors,
             report);
    WriteRecords(out, FindingRecords(lvErrors), *ParseFormat(c.format));
    return lvErrors.Count() == 0 ? kExitOk : kExitFindings;
}

int Fix(Session& session, const Commands& c, std::ostream& out, std::ostream& err) {
    std::vector<std::string> named = c.keys;
    if (!c.from.empty()) {
        const std::optional<std::string> text = session.platform.files.readFile(c.from);
        const auto names = text ? KeyNamesOfFile(*text) : std::nullopt;
        if (!names) {
            err << "error: " << c.from << " cannot be read as a list of findings\n";
            return kExitError;
        }
        named.insert(named.end(), names->begin(), names->end());
    }
    ListView lvErrors("lvErrors");
    ScanInto(session.platform, session.ignoreList, AllGroups(), lvErrors);
    if (!c.all) {
        // Findings named one by one are taken as named, also those the scan leaves unchecked.
        std::set<std::string> wanted(named.begin(), named.end());
        std::set<std::string> found;
        for (int row = 0; row < lvErrors.Count(); ++row) {
            const bool take = wanted.count(lvErrors.SubItem(row, 0)) != 0;
            lvErrors.SetChecked(row, take);
            if (take) found.insert(lvErrors.SubItem(row, 0));
        }
        bool missing = false;
        for (const std::string& name : wanted) {
            if (found.count(name)) continue;
            err << "error: not a finding of this scan: " << name << '\n';
            missing = true;
        }
        if (missing) return kExitError;
    }
    int chosen = 0;
    for (int row = 0; row < lvErrors.Count(); ++row) chosen += lvErrors.Checked(row) ? 1 : 0;
    const int before = lvErrors.Count();
    btnFixSelectedClick(session.state, session.history, lvErrors);
    const int repaired = before - lvErrors.Count();
    out << "repaired " << repaired << " of " << chosen << (chosen == 1 ? " finding" : " findings") << '\n';
    return session.dialogs.Errors() == 0 ? kExitOk : kExitError;
}

int History(Session& session, const Commands& c, std::ostream& out) {
    Records records = Records::array();
    int index = 0;
    for (const HistoryEntry& entry : session.history.Entries()) {
        Records record = Records::object();
        record["index"] = index++;
        record["name"] = entry.name;
        record["type"] = entry.type;
        record["path"] = entry.path;
        records.push_back(std::move(record));
    }
    WriteRecords(out, records, *ParseFormat(c.format));
    return kExitOk;
}

int Restore(Session& session, const Commands& c, std::ostream& out, std::ostream& err) {
    const int count = session.history.EntryCount();
    std::set<int> chosen(c.indexes.begin(), c.indexes.end());
    if (c.all)
        for (int i = 0; i < count; ++i) chosen.insert(i);
    for (int index : chosen) {
        if (index < 0 || index >= count) {
            err << "error: the history has no entry " << index << " (it has " << count << ")\n";
            return kExitError;
        }
    }
    int restored = 0;
    int status = kExitOk;
    try {
        // From the last entry: restoring one removes it, which moves the later ones up.
        for (auto it = chosen.rbegin(); it != chosen.rend(); ++it, ++restored)
            session.history.RestoreEntry(*it);
    } catch (const std::exception& error) {
        err << "error: " << error.what() << '\n';
        status = kExitError;
    }
    try {
        session.history.Save();
    } catch (const std::exception& error) {
        err << "error: " << error.what() << '\n';
        status = kExitError;
    }
    out << "restored " << restored << " of " << chosen.size() << (chosen.size() == 1 ? " entry" : " entries")
        << '\n';
    return status;
}

int IgnoreCommand(Session& session, const std::string& action, const Commands& c, std::ostream& out,
                  std::ostream& err) {
    IgnoreList& list = session.ignoreList;
    if (action == "list") {
        Records records = Records::array();
        int index = 0;
        for (const IgnoreEntry& entry : list.Entries()) {
            Records record = Records::object();
            record["index"] = index++;
            record["root"] = entry.root;
            record["key"] = entry.key;
            record["value"] = entry.value;
            records.push_back(std::move(record));
        }
        WriteRecords(out, records, *ParseFormat(c.format));
        return kExitOk;
    }
    if (action == "add") {
        list.Add(IgnoreEntry{c.ignoreEntry.at(0), c.ignoreEntry.at(1), c.ignoreEntry.at(2)});
    } else {
        const std::set<int> indexes(c.ignoreIndexes.begin(), c.ignoreIndexes.end());
        for (int index : indexes) {
            if (index < 0 || index >= list.Count()) {
                err << "error: the ignore list has no entry " << index << " (it has " << list.Count()
                    << ")\n";
                return kExitError;
            }
        }
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) list.Remove(*it);
    }
    try {
        list.Save();
    } catch (const std::exception& error) {
        err << "error: " << error.what() << '\n';
        return kExitError;
    }
    return kExitOk;
}

int StartupList(Session& session, const Commands& c, std::ostream& out) {
    StartupPage page(session.state, session.history);
    // The window checks signatures on workers after showing the list; here they are asked for.
    page.checkPublishersAfterListing = false;
    page.ListStartupEntries();
    if (c.verify) page.CheckPublishersNow();
    WriteRecords(out, RecordsOfList(page.lvStartup), *ParseFormat(c.format));
    return kExitOk;
}

int UninstallList(Session& session, const Commands& c, std::ostream& out) {
    UninstallPage page(session.state, session.history);
    page.checkPublishersAfterReading = false;
    page.ListUninstallEntries();
    WriteRecords(out, RecordsOfList(page.lvAddRemove), *ParseFormat(c.format));
    return kExitOk;
}

void AddFormat(CLI::App* command, Commands& c) {
    command->add_option("--format", c.format, "json, csv or text")
        ->check(CLI::IsMember({"json", "csv", "text"}))
        ->capture_default_str();
}

}  // namespace

int RunKorvanec(Platform& platform, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, bool progress) {
    Commands c;
    CLI::App app{"Korvane's registry scan and repair for the console: the same rules as the window.",
                 "korvanec"};
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", std::string(KORVANE_VERSION));

    CLI::App* scan = app.add_subcommand("scan", "List every finding; exit code 1 when there are findings");
    scan->add_option("--group", c.groups, "scan group numbers, 0 to 11 (default: all)")
        ->check(CLI::Range(0, 11));
    AddFormat(scan, c);

    CLI::App* fix = app.add_subcommand("fix", "Repair findings, recorded first in the undo history");
    CLI::Option* all = fix->add_flag("--all", c.all, "every checked finding");
    CLI::Option* key = fix->add_option("--key", c.keys, "a finding by its Key Name (repeatable)");
    CLI::Option* from =
        fix->add_option("--from", c.from, "the findings listed in a file from scan --format json");
    all->excludes(key)->excludes(from);
    fix->require_option(1, 2);

    CLI::App* history = app.add_subcommand("history", "List the undo history");
    AddFormat(history, c);

    CLI::App* restore = app.add_subcommand("restore", "Write entries of the undo history back");
    CLI::Option* restoreAll = restore->add_flag("--all", c.all, "every entry");
    CLI::Option* index =
        restore->add_option("--index", c.indexes, "an entry by its number in the history list");
    restoreAll->excludes(index);
    restore->require_option(1);

    CLI::App* ignore = app.add_subcommand("ignore", "The ignore list");
    ignore->require_subcommand(1, 1);
    CLI::App* ignoreListCommand = ignore->add_subcommand("list", "List the ignore list");
    AddFormat(ignoreListCommand, c);
    CLI::App* ignoreAdd = ignore->add_subcommand("add", "Add an entry: ROOT KEY VALUE");
    ignoreAdd->add_option("entry", c.ignoreEntry, "ROOT KEY VALUE, e.g. HKEY_CURRENT_USER Software\\X v")
        ->expected(3)
        ->required();
    CLI::App* ignoreRemove = ignore->add_subcommand("remove", "Remove entries by their numbers");
    ignoreRemove->add_option("index", c.ignoreIndexes, "entry numbers from ignore list")->required();

    CLI::App* startup = app.add_subcommand("startup", "Startup programs");
    startup->require_subcommand(1, 1);
    CLI::App* startupList = startup->add_subcommand("list", "List the startup entries");
    AddFormat(startupList, c);
    startupList->add_flag("--verify", c.verify, "check each program's signature (the Publisher column)");
    CLI::App* uninstall = app.add_subcommand("uninstall", "Installed programs");
    uninstall->require_subcommand(1, 1);
    AddFormat(uninstall->add_subcommand("list", "List the uninstall entries"), c);
    CLI::App* uninstallRemove = uninstall->add_subcommand(
        "remove", "Run a program's uninstaller, wait for it, list what it left behind");
    CLI::App* uninstallLeftovers =
        uninstall->add_subcommand("leftovers", "List what a program already gone left behind");
    for (CLI::App* command : {uninstallRemove, uninstallLeftovers}) {
        command->add_option("--key", c.leftovers.key, "the entry's Key Name, as uninstall list shows it")
            ->required();
        command->add_flag("--clean", c.leftovers.clean, "remove the leftovers that have evidence");
        command->add_option("--format", c.leftoverFormat, "json, csv or text")
            ->check(CLI::IsMember({"json", "csv", "text"}))
            ->capture_default_str();
    }
    uninstallRemove->add_flag("--quiet", c.leftovers.quiet, "the entry's quiet uninstall command");

    std::vector<const char*> argv{"korvanec"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? kExitOk : kExitError;
    }
    try {
        Session session(platform, err);
        if (scan->parsed()) return Scan(session, c, out, err, progress);
        if (fix->parsed()) return Fix(session, c, out, err);
        if (history->parsed()) return History(session, c, out);
        if (restore->parsed()) return Restore(session, c, out, err);
        if (ignore->parsed())
            return IgnoreCommand(session,
                                 ignoreListCommand->parsed() ? "list"
                                 : ignoreAdd->parsed()       ? "add"
                                                             : "remove",
                                 c, out, err);
        if (startup->parsed()) return StartupList(session, c, out);
        if (uninstallRemove->parsed() || uninstallLeftovers->parsed()) {
            c.leftovers.uninstall = uninstallRemove->parsed();
            c.leftovers.format = *ParseFormat(c.leftoverFormat);
            return RunLeftoverCommand(session.platform, session.history, c.leftovers, out, err);
        }
        if (uninstall->parsed()) return UninstallList(session, c, out);
    } catch (const std::exception& error) {
        err << "error: " << error.what() << '\n';
    }
    return kExitError;
}

}  // namespace korvane::console
