// korvanec's command line (see Korvanec.h): arguments with CLI11, the commands in Commands.h, the
// small list commands here.
#include "console/Korvanec.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <exception>
#include <functional>
#include <set>

#include "console/Commands.h"
#include "console/ConsoleLeftovers.h"
#include "console/Output.h"
#include "console/TableOutput.h"
#include "platform/AsciiCase.h"
#include "startup/StartupPage.h"
#include "uninstall/UninstallPage.h"

namespace korvane::console {

namespace {

// "Display Name" -> "displayName": the window's column captions as identifiers for the document.
std::string Identifier(const std::string& caption) {
    std::string id;
    bool upper = false;
    for (char c : caption) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            upper = !id.empty();
            continue;
        }
        id += upper ? AsciiUpper(c) : (id.empty() ? AsciiLower(c) : c);
        upper = false;
    }
    return id.empty() ? "column" : id;
}

Records IdentifiedRecords(const Records& rows) {
    Records records = Records::array();
    for (const Records& row : rows) {
        Records record = Records::object();
        for (const auto& [key, value] : row.items()) record[Identifier(key)] = value;
        records.push_back(std::move(record));
    }
    return records;
}

int ListCommand(Session& session, const Options& options, const std::string& command, Records rows,
                std::ostream& out, std::ostream& err) {
    CommandResult result{command, {{"records", rows.size()}}, "records", IdentifiedRecords(rows), rows};
    return Emit(session, options, std::move(result), out, err);
}

int IgnoreCommand(Session& session, const std::string& action, const Options& options, std::ostream& out,
                  std::ostream& err) {
    IgnoreList& list = session.ignoreList;
    if (action == "list") {
        Records rows = Records::array();
        int index = 0;
        for (const IgnoreEntry& entry : list.Entries())
            rows.push_back(
                {{"index", index++}, {"root", entry.root}, {"key", entry.key}, {"value", entry.value}});
        CommandResult result{"ignore list", {{"records", rows.size()}}, "records", rows, rows};
        return Emit(session, options, std::move(result), out, err);
    }
    if (action == "add") {
        list.Add(
            IgnoreEntry{options.ignoreEntry.at(0), options.ignoreEntry.at(1), options.ignoreEntry.at(2)});
    } else {
        const std::set<int> indexes(options.ignoreIndexes.begin(), options.ignoreIndexes.end());
        for (int index : indexes)
            if (index < 0 || index >= list.Count())
                throw CommandError{"the ignore list has no entry " + std::to_string(index) + " (it has " +
                                   std::to_string(list.Count()) + ")"};
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) list.Remove(*it);
    }
    try {
        list.Save();
    } catch (const std::exception& error) {
        throw CommandError{error.what()};
    }
    return kExitOk;
}

// The options of every command that lists things.
void AddOutputOptions(CLI::App* command, Options& o) {
    command->add_option("--format", o.format, "json, csv or text")
        ->check(CLI::IsMember({"json", "csv", "text"}))
        ->capture_default_str()
        ->each([&o](const std::string&) { o.formatGiven = true; });
    command->add_option("--out", o.out,
                        "write the output to FILE (JSON unless --format says otherwise); "
                        "the output itself is the summary line");
    command->add_flag("--summary", o.summary, "end with one summary line of at most 2,048 characters");
    command->add_flag("--exit-zero", o.exitZero,
                      "exit 0 when there are findings (the counts are in the output)");
}

void AddScopeOptions(CLI::App* command, Options& o) {
    CLI::Option* all =
        command->add_flag("--all-users", o.allUsers, "the machine's keys and every user profile");
    CLI::Option* user =
        command->add_option("--user", o.user, "the machine's keys and the profile of this SID");
    all->excludes(user);
}

}  // namespace

int RunKorvanec(Platform& platform, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, bool progress) {
    Options o;
    CLI::App app{"Korvane's registry scan and repair for the console: the same rules as the window.",
                 "korvanec"};
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", std::string(KORVANE_VERSION));
    app.footer(
        "Exit codes: 0 nothing to fix; 1 checked findings exist; 2 bad arguments or an error; 3 a fix or "
        "restore left entries as they were.");

    CLI::App* scan =
        app.add_subcommand("scan", "List every finding; exit code 1 when checked findings exist");
    scan->add_option("--group", o.groups, "scan group numbers, 0 to 11 (default: all)")
        ->check(CLI::Range(0, 11));
    AddOutputOptions(scan, o);
    AddScopeOptions(scan, o);

    CLI::App* fix = app.add_subcommand("fix", "Repair findings, recorded first in the undo history");
    CLI::Option* all = fix->add_flag("--all", o.all, "every checked finding");
    CLI::Option* key = fix->add_option("--key", o.keys, "a finding by its Key Name (repeatable)");
    CLI::Option* from =
        fix->add_option("--from", o.from, "the findings listed in a file from scan --format json");
    all->excludes(key)->excludes(from);
    fix->add_flag("--dry-run", o.dryRun, "list what would be deleted; change nothing");
    fix->add_option("--log", o.log, "append one line per change to FILE");
    AddOutputOptions(fix, o);
    AddScopeOptions(fix, o);

    CLI::App* history = app.add_subcommand("history", "List the undo history");
    AddOutputOptions(history, o);

    CLI::App* restore = app.add_subcommand("restore", "Write entries of the undo history back");
    CLI::Option* restoreAll = restore->add_flag("--all", o.all, "every entry");
    CLI::Option* index =
        restore->add_option("--index", o.indexes, "an entry by its number in the history list");
    restoreAll->excludes(index);
    restore->add_flag("--dry-run", o.dryRun, "list what would be written; change nothing");
    restore->add_option("--log", o.log, "append one line per change to FILE");
    AddOutputOptions(restore, o);

    CLI::App* ignore = app.add_subcommand("ignore", "The ignore list");
    ignore->require_subcommand(1, 1);
    CLI::App* ignoreListCommand = ignore->add_subcommand("list", "List the ignore list");
    AddOutputOptions(ignoreListCommand, o);
    CLI::App* ignoreAdd = ignore->add_subcommand("add", "Add an entry: ROOT KEY VALUE");
    ignoreAdd->add_option("entry", o.ignoreEntry, "ROOT KEY VALUE, e.g. HKEY_CURRENT_USER Software\\X v")
        ->expected(3)
        ->required();
    CLI::App* ignoreRemove = ignore->add_subcommand("remove", "Remove entries by their numbers");
    ignoreRemove->add_option("index", o.ignoreIndexes, "entry numbers from ignore list")->required();

    CLI::App* startup = app.add_subcommand("startup", "Startup programs");
    startup->require_subcommand(1, 1);
    CLI::App* startupList = startup->add_subcommand("list", "List the startup entries");
    AddOutputOptions(startupList, o);
    startupList->add_flag("--verify", o.verify, "check each program's signature (the Publisher column)");
    CLI::App* uninstall = app.add_subcommand("uninstall", "Installed programs");
    uninstall->require_subcommand(1, 1);
    AddOutputOptions(uninstall->add_subcommand("list", "List the uninstall entries"), o);
    CLI::App* uninstallRemove = uninstall->add_subcommand(
        "remove", "Run a program's uninstaller, wait for it, list what it left behind");
    CLI::App* uninstallLeftovers =
        uninstall->add_subcommand("leftovers", "List what a program already gone left behind");
    for (CLI::App* command : {uninstallRemove, uninstallLeftovers}) {
        command->add_option("--key", o.leftovers.key, "the entry's Key Name, as uninstall list shows it")
            ->required();
        command->add_flag("--clean", o.leftovers.clean, "remove the leftovers that have evidence");
        command->add_option("--format", o.leftoverFormat, "json, csv or text")
            ->check(CLI::IsMember({"json", "csv", "text"}))
            ->capture_default_str();
    }
    uninstallRemove->add_flag("--quiet", o.leftovers.quiet, "the entry's quiet uninstall command");

    std::vector<const char*> argv{"korvanec"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        if ((fix->parsed() && !o.all && o.keys.empty() && o.from.empty()) ||
            (restore->parsed() && !o.all && o.indexes.empty()))
            throw CLI::RequiredError("--all, or what to take");
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? kExitOk : kExitError;
    }
    std::function<void(const std::string&)> report;
    if (progress) report = [&err](const std::string& group) { err << "scanning: " << group << '\n'; };
    try {
        Session session(platform, platform.files.currentDirectory());
        try {
            if (scan->parsed()) return ScanCommand(session, o, out, err, report);
            if (fix->parsed()) return FixCommand(session, o, out, err);
            if (history->parsed()) return HistoryCommand(session, o, out, err);
            if (restore->parsed()) return RestoreCommand(session, o, out, err);
            if (ignore->parsed())
                return IgnoreCommand(session,
                                     ignoreListCommand->parsed() ? "list"
                                     : ignoreAdd->parsed()       ? "add"
                                                                 : "remove",
                                     o, out, err);
            if (startup->parsed()) {
                StartupPage page(session.state, session.history);
                // The window checks signatures on workers after showing the list; here they are asked for.
                page.checkPublishersAfterListing = false;
                page.ListStartupEntries();
                if (o.verify) page.CheckPublishersNow();
                return ListCommand(session, o, "startup list", RecordsOfList(page.lvStartup), out, err);
            }
            if (uninstallRemove->parsed() || uninstallLeftovers->parsed()) {
                o.leftovers.uninstall = uninstallRemove->parsed();
                o.leftovers.format = *ParseFormat(o.leftoverFormat);
                return RunLeftoverCommand(session.platform, session.history, o.leftovers, out, err);
            }
            if (uninstall->parsed()) {
                UninstallPage page(session.state, session.history);
                page.checkPublishersAfterReading = false;
                page.ListUninstallEntries();
                return ListCommand(session, o, "uninstall list", RecordsOfList(page.lvAddRemove), out, err);
            }
        } catch (const CommandError&) {
            session.dialogs.WriteTo(err);
            throw;
        } catch (const std::exception&) {
            session.dialogs.WriteTo(err);
            throw;
        }
    } catch (const CommandError& error) {
        err << "error: " << error.text << '\n';
    } catch (const std::exception& error) {
        err << "error: " << error.what() << '\n';
    }
    return kExitError;
}

}  // namespace korvane::console
